#pragma once

namespace Nubra {

class MemoryImage;
class NativeDisplay;

// What images need of the application they are made for: its registry of live images, its
// display and its accelerated path. The application object implements it; images made
// without an application (a null host) work alone, with no display and no acceleration.
class ImageHost {
public:
    virtual ~ImageHost() = default;

    virtual void AddMemoryImage(MemoryImage* image) = 0;
    // Forgets the image and drops its textures.
    virtual void RemoveMemoryImage(MemoryImage* image) = 0;
    // Drops the image's textures (its 3-D data); nothing without a display.
    virtual void Remove3DData(MemoryImage* image) = 0;
    virtual bool Is3DAccelerated() = 0;
    // The display whose pixel format native image data takes; null before there is one.
    virtual NativeDisplay* GetNativeDisplay() = 0;
    // Some shared image lost its last reference; the application frees such images later.
    virtual void RequestSharedImageCleanup() = 0;
};

// The application's host, which images made without one use. Null until it is set.
ImageHost* GetImageHost();
void SetImageHost(ImageHost* host);

} // namespace Nubra

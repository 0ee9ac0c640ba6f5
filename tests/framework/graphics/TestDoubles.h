#pragma once
#include "framework/app/StringUtils.h"
#include "framework/graphics/ImageHost.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/NativeDisplay.h"
#include "framework/graphics/TextureData.h"

#include <set>
#include <string>
#include <vector>

namespace NubraTest {

using namespace Nubra;

// An application's image registry without a window.
struct FakeImageHost : ImageHost {
    std::set<MemoryImage*> images;
    bool accelerated = false;
    NativeDisplay* display = nullptr;
    int cleanupRequests = 0;

    void AddMemoryImage(MemoryImage* image) override { images.insert(image); }
    void RemoveMemoryImage(MemoryImage* image) override
    {
        images.erase(image);
        Remove3DData(image);
    }
    void Remove3DData(MemoryImage* image) override
    {
        delete image->d3dData;
        image->d3dData = nullptr;
    }
    bool Is3DAccelerated() override { return accelerated; }
    NativeDisplay* GetNativeDisplay() override { return display; }
    void RequestSharedImageCleanup() override { ++cleanupRequests; }
};

// Installs a host as the application's for the life of a test.
struct ScopedImageHost {
    FakeImageHost host;
    ScopedImageHost() { SetImageHost(&host); }
    ~ScopedImageHost() { SetImageHost(nullptr); }
};

inline std::string Str(const Rect& r) { return StrFormat("%d,%d,%d,%d", r.x, r.y, r.width, r.height); }

} // namespace NubraTest

#pragma once
#include <atomic>
#include <cstdint>

namespace Nubra {

class MemoryImage;

// The application's record of one image shared by file name. Handles on the loading thread
// and the main thread count on it at the same time.
struct SharedImage {
    MemoryImage* image = nullptr;
    std::atomic<int32_t> refCount{0};
};

// A counted handle: to a shared record, or to an image of its own that it may own. Each
// handle holding a record adds one to its count until it releases it.
class SharedImageRef {
public:
    SharedImageRef() = default;
    SharedImageRef(SharedImage* shared);
    // Shares the record, and borrows (never owns) the other's own image: the copy must not
    // outlive the handle that owns it.
    SharedImageRef(const SharedImageRef& other);
    ~SharedImageRef();

    // Takes the other's record only, not its own image.
    SharedImageRef& operator=(const SharedImageRef& other);
    SharedImageRef& operator=(SharedImage* shared);
    // Owns the image from now on.
    SharedImageRef& operator=(MemoryImage* image);

    // Deletes an owned image and drops the record; the last reference to a record asks the
    // application to clean shared images up.
    void Release();

    MemoryImage* GetImage() const; // the record's image
    operator MemoryImage*() const; // the own image, else the record's
    MemoryImage* operator->() const { return *this; }

private:
    void Hold(SharedImage* shared);

    SharedImage* shared_ = nullptr;
    MemoryImage* unshared_ = nullptr;
    bool ownsUnshared_ = false;
};

} // namespace Nubra

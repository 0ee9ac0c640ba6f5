#include "framework/graphics/SharedImage.h"

#include "framework/graphics/ImageHost.h"
#include "framework/graphics/MemoryImage.h"

namespace Nubra {

SharedImageRef::SharedImageRef(SharedImage* shared) { Hold(shared); }

SharedImageRef::SharedImageRef(const SharedImageRef& other) : unshared_(other.unshared_)
{
    Hold(other.shared_);
}

SharedImageRef::~SharedImageRef() { Release(); }

SharedImageRef& SharedImageRef::operator=(const SharedImageRef& other)
{
    if (this == &other)
        return *this;
    Release();
    Hold(other.shared_);
    return *this;
}

SharedImageRef& SharedImageRef::operator=(SharedImage* shared)
{
    if (shared == shared_ && !unshared_)
        return *this;
    Release();
    Hold(shared);
    return *this;
}

SharedImageRef& SharedImageRef::operator=(MemoryImage* image)
{
    if (image == unshared_ && ownsUnshared_)
        return *this;
    Release();
    unshared_ = image;
    ownsUnshared_ = true;
    return *this;
}

void SharedImageRef::Hold(SharedImage* shared)
{
    shared_ = shared;
    if (shared_)
        ++shared_->refCount;
}

void SharedImageRef::Release()
{
    if (ownsUnshared_)
        delete unshared_;
    unshared_ = nullptr;
    ownsUnshared_ = false;
    if (shared_ && --shared_->refCount == 0) {
        if (ImageHost* host = GetImageHost())
            host->RequestSharedImageCleanup();
    }
    shared_ = nullptr;
}

MemoryImage* SharedImageRef::GetImage() const { return shared_ ? shared_->image : nullptr; }

SharedImageRef::operator MemoryImage*() const { return unshared_ ? unshared_ : GetImage(); }

} // namespace Nubra

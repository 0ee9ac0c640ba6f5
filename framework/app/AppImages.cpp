// The application object's images: the registry walks, images shared by file name, and the
// developer's reports on them.
#include <algorithm>
#include <ctime>
#include <filesystem>
#include <vector>

#include "framework/app/ImageMemoryReport.h"
#include "framework/app/NubraAppBase.h"
#include "framework/graphics/DDImage.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/ImageLib.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/util/PathUtils.h"
#include "framework/util/StringUtils.h"
#include "framework/widgets/WidgetManager.h"
#include "platform/Files.h"

namespace Nubra {

SharedImageRef NubraAppBase::GetSharedImage(const std::string& fileName, const std::string& variant, bool* created)
{
    std::promise<void> loading;
    std::shared_future<void> otherLoad;
    SharedImageRecord* record = nullptr;
    SharedImageRef ref;
    bool isNew = false;
    {
        AutoCrit lock(imageLock);
        auto [entry, inserted] = sharedImages_.try_emplace({fileName, variant});
        record = &entry->second;
        isNew = inserted;
        if (isNew)
            record->loaded = loading.get_future().share();
        else
            otherLoad = record->loaded;
        ref = &record->shared;
    }
    if (created)
        *created = isNew;
    if (!isNew) {
        // Ready at once unless the first caller, on another thread, is still loading.
        otherLoad.wait();
        return ref;
    }
    // Should the load throw, the broken promise still lets the waiters go.
    MemoryImage* image = fileName.starts_with('!') ? NewDisplayImage() : GetImage(fileName, false);
    {
        AutoCrit lock(imageLock);
        record->shared.image = image;
    }
    loading.set_value();
    return ref;
}

void NubraAppBase::CleanSharedImages()
{
    AutoCrit lock(imageLock);
    // Cleared before the walk: a handle released meanwhile on another thread asks again.
    if (!sharedImageCleanup.exchange(false))
        return;
    for (auto entry = sharedImages_.begin(); entry != sharedImages_.end();) {
        if (entry->second.shared.refCount == 0) {
            delete entry->second.shared.image;
            entry = sharedImages_.erase(entry);
        } else {
            ++entry;
        }
    }
}

void NubraAppBase::DeleteSharedImages()
{
    AutoCrit lock(imageLock);
    // The records stay until the object goes, for handles released in the meantime.
    for (auto& [key, record] : sharedImages_) {
        delete record.shared.image;
        record.shared.image = nullptr;
    }
}

MemoryImage* NubraAppBase::NewDisplayImage()
{
    if (ddInterface)
        return new DDImage(ddInterface.get());
    return new MemoryImage(this);
}

MemoryImage* NubraAppBase::GetImage(const std::string& fileName, bool commitBits)
{
    ImageLib::ImagePtr picture = ImageLib::GetImage(fileName, true);
    if (!picture)
        return nullptr;
    MemoryImage* image = NewDisplayImage();
    image->filePath = fileName;
    image->SetBits(picture->GetBits(), picture->GetWidth(), picture->GetHeight(), commitBits);
    return image;
}

MemoryImage* NubraAppBase::CopyImage(Image* image, const Rect& rect)
{
    MemoryImage* copy = NewDisplayImage();
    copy->Create(rect.width, rect.height);
    Graphics g(copy);
    g.DrawImage(image, 0, 0, rect);
    return copy;
}

MemoryImage* NubraAppBase::CopyImage(Image* image)
{
    return CopyImage(image, Rect(0, 0, image->GetWidth(), image->GetHeight()));
}

void NubraAppBase::ForEachImage(void (MemoryImage::*operation)())
{
    // Under the lock, since the loading thread makes images meanwhile; over a snapshot, since an
    // operation may make or free images.
    AutoCrit lock(imageLock);
    const std::vector<MemoryImage*> images(imageRegistry.begin(), imageRegistry.end());
    for (MemoryImage* image : images)
        (image->*operation)();
}

void NubraAppBase::ApplyImageLoadOptions() { ForEachImage(&MemoryImage::ApplyLoadOptions); }

void NubraAppBase::DeleteImagesNativeData() { ForEachImage(&MemoryImage::DeleteNativeData); }

void NubraAppBase::DeleteImagesDerivedBuffers() { ForEachImage(&MemoryImage::DeleteDerivedBuffers); }

std::string NubraAppBase::DataFolder() const
{
    std::string base = GetAppDataFolder();
    return AddTrailingSlash(base.empty() ? plat::UserDataDir(makerName, productName) : base);
}

std::string NubraAppBase::OutputFolder(const std::string& name, bool empty) const
{
    // Without a trailing slash, so that a symbolic link in its place is removed, not followed.
    const std::string folder = DataFolder() + name;
    if (empty)
        Deltree(folder);
    plat::MakeDirs(folder);
    return folder + "/";
}

void NubraAppBase::DumpProgramInfo()
{
    const std::string folder = OutputFolder("_dump", true);
    // Held throughout: the report reads every image while the loading thread may free some.
    AutoCrit lock(imageLock);
    const std::vector<MemoryImage*> images(imageRegistry.begin(), imageRegistry.end());
    WriteImageMemoryReport(images, folder, std::time(nullptr));
}

bool NubraAppBase::TakeScreenshot()
{
    auto* screen = dynamic_cast<MemoryImage*>(widgetManager->screenImage);
    if (!screen)
        return false;
    auto picture = ImageLib::Image::Create(screen->GetWidth(), screen->GetHeight());
    if (!picture)
        return false;
    // A surface that cannot be read back (write-only or lost) gives no picture.
    const uint32_t* pixels = screen->GetBits();
    if (!pixels)
        return false;
    // The screen shows every pixel opaque, whatever its alpha byte holds.
    std::transform(pixels, pixels + picture->PixelCount(), picture->GetBits(),
                   [](uint32_t pixel) { return pixel | 0xFF000000u; });
    const std::string folder = OutputFolder("_screenshots", false);
    int number = 0;
    while (std::filesystem::exists(folder + StrFormat("%d.png", number)))
        ++number;
    return ImageLib::WritePNGImage(folder + StrFormat("%d.png", number), *picture);
}

} // namespace Nubra

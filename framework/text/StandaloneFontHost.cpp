#include "framework/text/StandaloneFontHost.h"

#include "framework/graphics/ImageLib.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/util/StringUtils.h"
#include "platform/DebugOut.h"

namespace Nubra {

StandaloneFontHost::~StandaloneFontHost()
{
    for (auto& [name, shared] : images)
        delete shared->image;
}

SharedImageRef StandaloneFontHost::GetSharedImage(const std::string& fileName, const std::string& variant,
                                                  bool* created)
{
    auto& shared = images[fileName + "|" + variant];
    *created = !shared;
    if (!shared) {
        shared = std::make_unique<SharedImage>();
        if (auto picture = ImageLib::GetImage(fileName)) {
            shared->image = new MemoryImage();
            shared->image->SetBits(picture->GetBits(), picture->GetWidth(), picture->GetHeight(), true);
            shared->image->filePath = fileName;
        }
    }
    return SharedImageRef(shared.get());
}

void StandaloneFontHost::PopupW(const std::wstring& text) { plat::DebugOut(WStringToString(text) + "\n"); }

} // namespace Nubra

#pragma once
#include "framework/graphics/SharedImage.h"
#include "framework/text/ImageFontHost.h"

#include <map>
#include <memory>
#include <string>

namespace Nubra {

// Glyph sheets for programs without an application object (content tools, tests): each file
// is read once through the image readers; pop-ups go to the debugger output. The fonts made
// with it must go before it.
class StandaloneFontHost : public ImageFontHost {
public:
    StandaloneFontHost() = default;
    StandaloneFontHost(const StandaloneFontHost&) = delete;
    StandaloneFontHost& operator=(const StandaloneFontHost&) = delete;
    ~StandaloneFontHost() override;

    SharedImageRef GetSharedImage(const std::string& fileName, const std::string& variant, bool* created) override;
    void PopupW(const std::wstring& text) override;

    std::map<std::string, std::unique_ptr<SharedImage>> images; // by file name and variant
};

} // namespace Nubra

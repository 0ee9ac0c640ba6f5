#pragma once
#include "framework/graphics/SharedImage.h"

#include <string>

namespace Nubra {

// What font descriptions need of the application object: its shared images (the glyph sheets)
// and its error pop-up. The application object implements it.
class ImageFontHost {
public:
    virtual ~ImageFontHost() = default;

    // A handle to the image shared under (file name, variant), loading it on first use;
    // `created` tells whether this call made the entry. The handle holds no image when the
    // file could not be read.
    virtual SharedImageRef GetSharedImage(const std::string& fileName, const std::string& variant,
                                          bool* created) = 0;
    // A fatal-error message box.
    virtual void PopupW(const std::wstring& text) = 0;
};

} // namespace Nubra

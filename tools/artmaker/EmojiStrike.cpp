#include "tools/artmaker/EmojiStrike.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdlib>

namespace art {

struct EmojiStrike::Impl {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    ~Impl()
    {
        if (face)
            FT_Done_Face(face);
        if (library)
            FT_Done_FreeType(library);
    }
};

namespace {

// The file of the family itself: fontconfig's nearest match would quietly be another face.
std::string FindFamilyFile(const std::string& family)
{
    static const bool started = [] {
        FcInit();
        std::atexit([] { FcFini(); });
        return true;
    }();
    (void)started;
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(family.c_str()));
    FcObjectSet* fields = FcObjectSetBuild(FC_FILE, nullptr);
    FcFontSet* fonts = pattern && fields ? FcFontList(nullptr, pattern, fields) : nullptr;
    std::string path;
    FcChar8* file = nullptr;
    if (fonts && fonts->nfont > 0 && FcPatternGetString(fonts->fonts[0], FC_FILE, 0, &file) == FcResultMatch)
        path = reinterpret_cast<const char*>(file);
    if (fonts)
        FcFontSetDestroy(fonts);
    if (fields)
        FcObjectSetDestroy(fields);
    if (pattern)
        FcPatternDestroy(pattern);
    return path;
}

} // namespace

EmojiStrike::EmojiStrike(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
EmojiStrike::~EmojiStrike() = default;

std::unique_ptr<EmojiStrike> EmojiStrike::Open(const std::string& family, std::string& error)
{
    const std::string path = FindFamilyFile(family);
    if (path.empty()) {
        error = "the font family '" + family + "' is not installed";
        return nullptr;
    }
    auto impl = std::make_unique<Impl>();
    if (FT_Init_FreeType(&impl->library) != 0 || FT_New_Face(impl->library, path.c_str(), 0, &impl->face) != 0) {
        error = "cannot open " + path;
        return nullptr;
    }
    if (!FT_HAS_COLOR(impl->face) || impl->face->num_fixed_sizes < 1) {
        error = path + " has no colour bitmap strike";
        return nullptr;
    }
    // The largest strike gives the most detail to scale down from.
    int best = 0;
    for (int i = 1; i < impl->face->num_fixed_sizes; ++i)
        if (impl->face->available_sizes[i].height > impl->face->available_sizes[best].height)
            best = i;
    if (FT_Select_Size(impl->face, best) != 0) {
        error = "cannot select the colour strike of " + path;
        return nullptr;
    }
    return std::unique_ptr<EmojiStrike>(new EmojiStrike(std::move(impl)));
}

bool EmojiStrike::Render(char32_t codePoint, ColourGlyph& glyph)
{
    FT_Face face = impl_->face;
    const FT_UInt index = FT_Get_Char_Index(face, FT_ULong(codePoint));
    if (index == 0 || FT_Load_Glyph(face, index, FT_LOAD_COLOR) != 0)
        return false;
    const FT_Bitmap& bitmap = face->glyph->bitmap;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_BGRA)
        return false;
    glyph.width = int(bitmap.width);
    glyph.height = int(bitmap.rows);
    glyph.pixels.assign(size_t(glyph.width) * size_t(glyph.height) * 4, 0.0f);
    // A negative pitch stores the rows bottom-up. The strike is premultiplied BGRA already.
    const unsigned char* topRow = bitmap.pitch >= 0 ? bitmap.buffer : bitmap.buffer - (glyph.height - 1) * bitmap.pitch;
    for (int y = 0; y < glyph.height; ++y) {
        const unsigned char* row = topRow + y * bitmap.pitch;
        for (int x = 0; x < glyph.width; ++x) {
            float* out = &glyph.pixels[(size_t(y) * size_t(glyph.width) + size_t(x)) * 4];
            out[0] = float(row[x * 4 + 2]) / 255.0f;
            out[1] = float(row[x * 4 + 1]) / 255.0f;
            out[2] = float(row[x * 4 + 0]) / 255.0f;
            out[3] = float(row[x * 4 + 3]) / 255.0f;
        }
    }
    return true;
}

} // namespace art

#include "platform/FontFace.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <optional>

namespace plat {

namespace {

// FreeType's library object is not locked by FreeType, and fontconfig's configuration is
// shared: faces are opened and freed under this lock (fonts are made on the loading thread).
std::mutex gLibraryMutex;
std::weak_ptr<FT_LibraryRec_> gLibrary;

std::shared_ptr<FT_LibraryRec_> Library()
{
    if (auto library = gLibrary.lock())
        return library;
    FT_Library raw = nullptr;
    if (FT_Init_FreeType(&raw) != 0)
        return nullptr;
    std::shared_ptr<FT_LibraryRec_> library(raw, [](FT_Library lib) { FT_Done_FreeType(lib); });
    gLibrary = library;
    return library;
}

// fontconfig keeps its configuration and caches for the process; freeing them at exit keeps
// the leak checker quiet.
void InitFontconfig()
{
    static const bool registered = [] {
        FcInit();
        std::atexit([] { FcFini(); });
        return true;
    }();
    (void)registered;
}

struct FontFile {
    std::string path;
    int index = 0;
};

// The installed file that best matches; an empty family asks for the default one.
std::optional<FontFile> MatchFile(const std::string& family, int pixelSize, bool bold, bool italic)
{
    InitFontconfig();
    FcPattern* pattern = FcPatternCreate();
    if (!pattern)
        return std::nullopt;
    if (!family.empty())
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddDouble(pattern, FC_PIXEL_SIZE, pixelSize);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match)
        return std::nullopt;
    std::optional<FontFile> found;
    FcChar8* path = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch) {
        found = FontFile{reinterpret_cast<const char*>(path), 0};
        FcPatternGetInteger(match, FC_INDEX, 0, &found->index);
    }
    FcPatternDestroy(match);
    return found;
}

// value x pixelSize / unitsPerEm, rounded to nearest with halves away from zero.
int ScaleRounded(long value, int pixelSize, int unitsPerEm)
{
    long long product = static_cast<long long>(value) * pixelSize * 2;
    long long half = product >= 0 ? unitsPerEm : -unitsPerEm;
    return static_cast<int>((product + half) / (2LL * unitsPerEm));
}

void CopyCoverage(const FT_Bitmap& bitmap, Glyph& glyph)
{
    bool mono = bitmap.pixel_mode == FT_PIXEL_MODE_MONO;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY && !mono)
        return;
    glyph.width = static_cast<int>(bitmap.width);
    glyph.rows = static_cast<int>(bitmap.rows);
    glyph.coverage.resize(size_t(glyph.width) * size_t(glyph.rows));
    // A negative pitch stores the rows bottom-up.
    const uint8_t* topRow = bitmap.pitch >= 0 ? bitmap.buffer : bitmap.buffer - (glyph.rows - 1) * bitmap.pitch;
    for (int r = 0; r < glyph.rows; ++r) {
        const uint8_t* row = topRow + r * bitmap.pitch;
        uint8_t* out = glyph.coverage.data() + size_t(r) * size_t(glyph.width);
        for (int c = 0; c < glyph.width; ++c)
            out[c] = mono ? ((row[c >> 3] >> (7 - (c & 7))) & 1) * 255 : row[c];
    }
}

} // namespace

struct FontFace::Impl {
    std::shared_ptr<FT_LibraryRec_> library;
    FT_Face face = nullptr;

    ~Impl()
    {
        std::lock_guard lock(gLibraryMutex);
        FT_Done_Face(face);
        face = nullptr;
        library.reset();
    }
};

std::unique_ptr<FontFace> FontFace::Open(const std::string& family, int pixelSize, bool bold, bool italic)
{
    pixelSize = std::max(pixelSize, 1);
    std::unique_ptr<Impl> impl;
    std::string path;
    {
        std::lock_guard lock(gLibraryMutex);
        auto library = Library();
        if (!library)
            return nullptr;
        for (const std::string& candidate : {family, std::string()}) {
            auto file = MatchFile(candidate, pixelSize, bold, italic);
            FT_Face face = nullptr;
            if (!file || FT_New_Face(library.get(), file->path.c_str(), file->index, &face) != 0)
                continue;
            if (FT_Set_Pixel_Sizes(face, 0, FT_UInt(pixelSize)) != 0) {
                FT_Done_Face(face);
                continue;
            }
            impl = std::make_unique<Impl>();
            impl->library = library;
            impl->face = face;
            path = file->path;
            break;
        }
    }
    if (!impl)
        return nullptr;
    std::unique_ptr<FontFace> result(new FontFace(std::move(impl)));
    result->filePath_ = std::move(path);
    result->ReadMetrics(pixelSize);
    return result;
}

FontFace::FontFace(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

FontFace::~FontFace() = default;

void FontFace::ReadMetrics(int pixelSize)
{
    FT_Face face = impl_->face;
    int unitsPerEm = face->units_per_EM;
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->version != 0xFFFF && unitsPerEm > 0) {
        // The Windows metrics cover every glyph the face draws: the line height follows them.
        ascent_ = ScaleRounded(os2->usWinAscent, pixelSize, unitsPerEm);
        descent_ = ScaleRounded(os2->usWinDescent, pixelSize, unitsPerEm);
    } else {
        ascent_ = int((face->size->metrics.ascender + 32) >> 6);
        descent_ = int((-face->size->metrics.descender + 32) >> 6);
    }
    if (unitsPerEm > 0) {
        underlineThickness_ = std::max(1, ScaleRounded(face->underline_thickness, pixelSize, unitsPerEm));
        // The position is the stroke's centre, negative below the baseline.
        int centre = ScaleRounded(-face->underline_position, pixelSize, unitsPerEm);
        underlineOffset_ = std::max(0, centre - underlineThickness_ / 2);
    }
}

const Glyph& FontFace::GlyphFor(char32_t c)
{
    auto found = glyphs_.find(c);
    if (found != glyphs_.end())
        return found->second;
    Glyph glyph;
    FT_Face face = impl_->face;
    // Outlines only, hinted: the advance is a whole number of pixels.
    if (FT_Load_Char(face, c, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) == 0) {
        glyph.advance = int(face->glyph->advance.x >> 6);
        if (FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) == 0) {
            glyph.left = face->glyph->bitmap_left;
            glyph.top = face->glyph->bitmap_top;
            CopyCoverage(face->glyph->bitmap, glyph);
        }
    }
    return glyphs_.emplace(c, std::move(glyph)).first->second;
}

std::string FontFace::FamilyName() const
{
    const char* name = impl_->face->family_name;
    return name ? name : "";
}

bool FontFace::IsBold() const { return (impl_->face->style_flags & FT_STYLE_FLAG_BOLD) != 0; }

bool FontFace::IsItalic() const { return (impl_->face->style_flags & FT_STYLE_FLAG_ITALIC) != 0; }

} // namespace plat

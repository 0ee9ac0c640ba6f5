#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace plat {

// One character of a face at its pixel size: the hinted whole-pixel advance and the 8-bit
// coverage of its shape, placed relative to the pen on the baseline.
struct Glyph {
    int advance = 0;
    int left = 0; // from the pen to the first column
    int top = 0; // from the baseline up to the first row
    int width = 0;
    int rows = 0;
    std::vector<uint8_t> coverage; // rows x width bytes, 0 outside the shape, 255 inside
};

// An installed scalable font face, found by family name and style and set to one pixel size
// at which the em square is the given number of pixels high. Loading and freeing faces may
// happen on any thread; one face is used by one thread at a time.
class FontFace {
public:
    // The installed face that best matches the family (UTF-8) and style; a default family
    // stands in for a name that nothing matches. Null when no face loads at all.
    static std::unique_ptr<FontFace> Open(const std::string& family, int pixelSize, bool bold, bool italic);
    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    // Pixels above and below the baseline, from the face's Windows metrics where it has them.
    int Ascent() const { return ascent_; }
    int Descent() const { return descent_; }
    // The underline's first row below the baseline, and its rows.
    int UnderlineOffset() const { return underlineOffset_; }
    int UnderlineThickness() const { return underlineThickness_; }

    // Characters the face lacks get its missing-glyph shape.
    const Glyph& GlyphFor(char32_t c);

    const std::string& FilePath() const { return filePath_; }
    std::string FamilyName() const;
    bool IsBold() const;
    bool IsItalic() const;

    struct Impl;

private:
    explicit FontFace(std::unique_ptr<Impl> impl);
    void ReadMetrics(int pixelSize);

    std::unique_ptr<Impl> impl_;
    std::string filePath_;
    int ascent_ = 0;
    int descent_ = 0;
    int underlineOffset_ = 0;
    int underlineThickness_ = 1;
    std::unordered_map<char32_t, Glyph> glyphs_;
};

} // namespace plat

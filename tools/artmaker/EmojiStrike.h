#pragma once
#include <memory>
#include <string>
#include <vector>

namespace art {

// A colour glyph taken from the bitmap strike of a colour emoji font: premultiplied r, g, b,
// a (0..1) per pixel, rows from the top.
struct ColourGlyph {
    int width = 0;
    int height = 0;
    std::vector<float> pixels;
};

// The installed colour emoji face. Its glyphs are fixed-size colour bitmaps, which the
// ordinary text path (grey coverage of scalable outlines) cannot draw.
class EmojiStrike {
public:
    // Null, with the reason in error, when the family is not installed or has no colour strike.
    static std::unique_ptr<EmojiStrike> Open(const std::string& family, std::string& error);
    ~EmojiStrike();
    EmojiStrike(const EmojiStrike&) = delete;
    EmojiStrike& operator=(const EmojiStrike&) = delete;

    // False when the face has no colour glyph for the code point.
    bool Render(char32_t codePoint, ColourGlyph& glyph);

private:
    struct Impl;
    explicit EmojiStrike(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

} // namespace art

#pragma once
#include "framework/data/DescParser.h"
#include "framework/graphics/Color.h"
#include "framework/graphics/Rect.h"
#include "framework/graphics/SharedImage.h"

#include <cstdint>
#include <list>
#include <map>
#include <string>
#include <vector>

namespace Nubra {

class FontData;
class ImageFontHost;

// One character of a font layer.
struct CharData {
    Rect imageRect; // the glyph's cell in the layer's sheet
    Point offset; // glyph position relative to the pen
    std::map<wchar_t, int8_t> kerningOffsets; // extra advance when the keyed character follows
    int width = 0; // advance
    int order = 0; // drawing order, added to the layer's base order
};

// One bitmap of a font with its character map. A font draws every character once per layer
// that its point size and tags make active.
struct FontLayer {
    explicit FontLayer(FontData* fontData) : fontData(fontData) {}

    // The character's data; all zero for a character the layer lacks.
    const CharData& GetCharData(wchar_t c) const;
    // The extra advance of `c` when `next` follows it.
    int GetKerning(wchar_t c, wchar_t next) const;

    FontData* fontData;
    std::vector<std::string> requiredTags; // upper case; all must be on the font
    std::vector<std::string> excludedTags; // upper case; none may be on the font
    std::map<wchar_t, CharData> charData;
    Color colorMult{255, 255, 255, 255};
    Color colorAdd{0, 0, 0, 0};
    SharedImageRef image; // the glyph sheet
    int drawMode = -1; // -1 leaves the context's mode
    int offsetX = 0;
    int offsetY = 0;
    int spacing = 0; // added to the advance between two characters
    int minPointSize = -1;
    int maxPointSize = -1; // -1: no maximum
    int pointSize = 0; // the size the sheet was drawn at; 0: never scaled by point size
    int ascent = 0;
    int ascentPadding = 0;
    int height = 0; // 0: the measured height
    int defaultHeight = 0; // measured: the largest glyph height plus its vertical offset
    int lineSpacingOffset = 0;
    int baseOrder = 0;
};

// A font description: named layers read from a description file, shared by the image fonts
// made from it and deleted with the last of them.
class FontData : public DescParser {
public:
    // Parses the file once; false only when already loaded. A failed parse leaves the font
    // unloaded, so that it measures and draws nothing; the error has been shown.
    bool Load(ImageFontHost* host, const std::string& fileName);
    bool HandleCommand(const ListDataElement& params) override;
    // Shows the error with the file and the statement's line through the application.
    bool Error(const std::wstring& text) override;
    // The layer a token names (any case); false for a list, and "Undefined Layer" for an
    // unknown name.
    bool GetLayer(const DataElement* element, FontLayer** layer);

    void Ref() { ++refCount; }
    void DeRef(); // deletes this with the last reference

    bool initialized = false; // a file was parsed without error
    int refCount = 0;
    ImageFontHost* app = nullptr;
    int defaultPointSize = 0;
    std::list<FontLayer> fontLayers; // in order of creation
    std::map<std::string, FontLayer*> fontLayerMap; // by upper-case name
    std::string sourceFile;
    std::wstring fontErrorHeader;
};

// Font arithmetic saturates: description files may hold any 32-bit values.
int ClampToInt(int64_t value);
int TruncToInt(double value); // toward zero; NaN gives 0

} // namespace Nubra

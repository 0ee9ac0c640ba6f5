#pragma once
#include "framework/text/Font.h"

#include <list>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace Nubra {

class FontData;
class ImageFontHost;
class MemoryImage;
struct FontLayer;

// A layer of a font as its current point size, scale and tags draw it: from the layer's own
// sheet, or from a copy scaled to the font's size that it owns.
class ActiveFontLayer {
public:
    ActiveFontLayer() = default;
    ActiveFontLayer(const ActiveFontLayer& other); // an owned sheet is copied
    ActiveFontLayer& operator=(const ActiveFontLayer&) = delete;
    virtual ~ActiveFontLayer();

    // The character's source rectangle in the sheet; empty for one the layer lacks.
    Rect GetCharRect(wchar_t c) const;

    FontLayer* baseFontLayer = nullptr;
    MemoryImage* scaledImage = nullptr; // the sheet drawn from; null draws nothing
    std::unique_ptr<MemoryImage> ownedImage; // the scaled copy, when there is one
    std::map<wchar_t, Rect> scaledCharImageRects;
};

// A bitmap font made of the layers of a font description. Every character is drawn once per
// active layer, in the layers' glyph orders; layers are chosen by point size and tags.
class ImageFont : public Font {
public:
    static constexpr int kMaxDrawCommands = 4096; // glyph draws per DrawStringEx call
    // Scaled sheets of one font hold no more pixels than this together; a layer beyond it
    // draws nothing.
    static constexpr int64_t kMaxScaledPixels = int64_t(1) << 24;

    // Loads the description; a description that fails to load gives a font that measures 0
    // and draws nothing (the error has been shown through the host).
    ImageFont(ImageFontHost* app, const std::string& fontDescFileName);
    ImageFont(const ImageFont& other); // shares the description
    ImageFont& operator=(const ImageFont&) = delete;
    ~ImageFont() override;

    // The metrics follow the current size, scale and tags.
    int GetAscent() override;
    int GetAscentPadding() override;
    int GetDescent() override;
    int GetHeight() override;
    int GetLineSpacingOffset() override;
    int GetLineSpacing() override;
    int StringWidth(const std::wstring& text) override;
    int CharWidth(wchar_t c) override;
    int CharWidthKern(wchar_t c, wchar_t previous) override;
    // The clip argument is unused: the context's own clip applies.
    void DrawString(Graphics* g, int x, int y, const std::wstring& text, const Color& color,
                    const Rect& clip) override;
    Font* Duplicate() override;

    virtual void GenerateActiveFontLayers();
    // As DrawString; `drawnRects` (when given) receives each glyph's destination and
    // `width` (when given) the advance of the whole text.
    virtual void DrawStringEx(Graphics* g, int x, int y, const std::wstring& text, const Color& color,
                              const Rect& clip, std::vector<Rect>* drawnRects, int* width);
    virtual void SetPointSize(int size);
    virtual int GetPointSize();
    virtual void SetScale(double newScale);
    virtual int GetDefaultPointSize();
    // Tags are stored upper-cased; HasTag compares exactly, so it wants the upper-case form.
    virtual bool AddTag(const std::string& tag);
    virtual bool RemoveTag(const std::string& tag);
    virtual bool HasTag(const std::string& tag);
    // The text of the description's define of that name; empty when there is none.
    virtual std::wstring GetDefine(const std::wstring& name);
    // Rebuilds the active layers after a change of size, scale or tags.
    virtual void Prepare();

    FontData* fontData;
    int pointSize = 0;
    std::vector<std::string> tags; // upper case
    bool activeLayersValid = false;
    std::list<ActiveFontLayer> activeLayers;
    double scale = 1.0;
    bool forceScaledImagesWhite = false; // scaled sheets keep their alpha and turn white

private:
    bool IsActive(const FontLayer& layer) const;
    // The factor by which the layer's glyphs are measured and drawn.
    double LayerScale(const FontLayer& layer) const;
    void BuildScaledSheet(ActiveFontLayer& active, double ratio, int64_t* pixelBudget) const;
    void SetMetrics(const FontLayer& layer, double ratio, bool first);
};

} // namespace Nubra

#include "framework/text/ImageFont.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/ImageLib.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/text/FontData.h"
#include "framework/util/CriticalSection.h"
#include "framework/util/StringUtils.h"

#include <algorithm>
#include <array>

namespace Nubra {
namespace {

constexpr int kOrderBuckets = 256;
constexpr int kNoCommand = -1;

int Scaled(double value, double ratio) { return TruncToInt(value * ratio); }

int TintChannel(int color, int mult, int add)
{
    return int(std::clamp<int64_t>(int64_t(color) * mult / 255 + add, 0, 255));
}

Color Tint(const Color& color, const FontLayer& layer)
{
    const Color& m = layer.colorMult;
    const Color& a = layer.colorAdd;
    return Color(TintChannel(color.red, m.red, a.red), TintChannel(color.green, m.green, a.green),
                 TintChannel(color.blue, m.blue, a.blue), TintChannel(color.alpha, m.alpha, a.alpha));
}

// One glyph to draw.
struct DrawCommand {
    MemoryImage* image;
    int x, y;
    Rect source;
    int drawMode;
    Color color;
    int next; // the next command of its bucket
};

// The glyphs of one DrawStringEx call, chained into buckets by drawing order so that a call
// allocates nothing per glyph. Shared by every image font, so used under the drawing lock.
class DrawPool {
public:
    void Clear()
    {
        count_ = 0;
        first_.fill(kNoCommand);
        last_.fill(kNoCommand);
    }

    bool Full() const { return count_ == ImageFont::kMaxDrawCommands; }

    void Append(int bucket, const DrawCommand& command)
    {
        int index = count_++;
        commands_[index] = command;
        commands_[index].next = kNoCommand;
        if (last_[bucket] == kNoCommand)
            first_[bucket] = index;
        else
            commands_[last_[bucket]].next = index;
        last_[bucket] = index;
    }

    // Bucket by bucket, each in the order of appending.
    template <typename Visit>
    void ForEach(Visit visit) const
    {
        for (int bucket = 0; bucket < kOrderBuckets; ++bucket)
            for (int i = first_[bucket]; i != kNoCommand; i = commands_[i].next)
                visit(commands_[i]);
    }

private:
    std::array<DrawCommand, ImageFont::kMaxDrawCommands> commands_;
    std::array<int, kOrderBuckets> first_;
    std::array<int, kOrderBuckets> last_;
    int count_ = 0;
};

CriticalSection& DrawLock()
{
    static CriticalSection lock;
    return lock;
}

DrawPool& Pool()
{
    static DrawPool pool;
    return pool;
}

int OrderBucket(const FontLayer& layer, const CharData& data)
{
    return int(std::clamp<int64_t>(int64_t(data.order) + layer.baseOrder + 128, 0, kOrderBuckets - 1));
}

bool Contains(const std::vector<std::string>& list, const std::string& item)
{
    return std::find(list.begin(), list.end(), item) != list.end();
}

} // namespace

ActiveFontLayer::ActiveFontLayer(const ActiveFontLayer& other)
    : baseFontLayer(other.baseFontLayer), scaledImage(other.scaledImage),
      scaledCharImageRects(other.scaledCharImageRects)
{
    if (other.ownedImage) {
        ownedImage = std::make_unique<MemoryImage>(*other.ownedImage);
        scaledImage = ownedImage.get();
    }
}

ActiveFontLayer::~ActiveFontLayer() = default;

Rect ActiveFontLayer::GetCharRect(wchar_t c) const
{
    auto it = scaledCharImageRects.find(c);
    return it == scaledCharImageRects.end() ? Rect() : it->second;
}

ImageFont::ImageFont(ImageFontHost* app, const std::string& fontDescFileName) : fontData(new FontData)
{
    fontData->Ref();
    fontData->Load(app, fontDescFileName);
    pointSize = fontData->defaultPointSize;
    GenerateActiveFontLayers();
    activeLayersValid = true;
}

ImageFont::ImageFont(const ImageFont& other)
    : Font(other), fontData(other.fontData), pointSize(other.pointSize), tags(other.tags),
      activeLayersValid(other.activeLayersValid), scale(other.scale),
      forceScaledImagesWhite(other.forceScaledImagesWhite)
{
    fontData->Ref();
    if (activeLayersValid)
        for (const ActiveFontLayer& active : other.activeLayers)
            activeLayers.emplace_back(active);
}

ImageFont::~ImageFont()
{
    activeLayers.clear(); // before the layers they stand for go
    fontData->DeRef();
}

Font* ImageFont::Duplicate() { return new ImageFont(*this); }

int ImageFont::GetAscent()
{
    Prepare();
    return Font::GetAscent();
}

int ImageFont::GetAscentPadding()
{
    Prepare();
    return Font::GetAscentPadding();
}

int ImageFont::GetDescent()
{
    Prepare();
    return Font::GetDescent();
}

int ImageFont::GetHeight()
{
    Prepare();
    return Font::GetHeight();
}

int ImageFont::GetLineSpacingOffset()
{
    Prepare();
    return Font::GetLineSpacingOffset();
}

int ImageFont::GetLineSpacing()
{
    Prepare();
    return Font::GetLineSpacing();
}

void ImageFont::SetPointSize(int size)
{
    pointSize = size;
    activeLayersValid = false;
}

int ImageFont::GetPointSize() { return pointSize; }

void ImageFont::SetScale(double newScale)
{
    scale = newScale;
    activeLayersValid = false;
}

int ImageFont::GetDefaultPointSize() { return fontData->defaultPointSize; }

bool ImageFont::AddTag(const std::string& tag)
{
    if (HasTag(tag))
        return false;
    tags.push_back(Upper(tag));
    activeLayersValid = false;
    return true;
}

bool ImageFont::RemoveTag(const std::string& tag)
{
    auto it = std::find(tags.begin(), tags.end(), Upper(tag));
    if (it == tags.end())
        return false;
    tags.erase(it);
    activeLayersValid = false;
    return true;
}

bool ImageFont::HasTag(const std::string& tag) { return Contains(tags, tag); }

std::wstring ImageFont::GetDefine(const std::wstring& name)
{
    const DataElement* define = fontData->FindDefine(name);
    if (!define || define->isList)
        return L"";
    return DescParser::Unquote(static_cast<const SingleDataElement*>(define)->value);
}

void ImageFont::Prepare()
{
    if (!activeLayersValid)
        GenerateActiveFontLayers();
    activeLayersValid = true;
}

bool ImageFont::IsActive(const FontLayer& layer) const
{
    if (pointSize < layer.minPointSize || (layer.maxPointSize != -1 && pointSize > layer.maxPointSize))
        return false;
    for (const auto& required : layer.requiredTags)
        if (!Contains(tags, required))
            return false;
    for (const auto& tag : tags)
        if (Contains(layer.excludedTags, tag))
            return false;
    return true;
}

double ImageFont::LayerScale(const FontLayer& layer) const
{
    return layer.pointSize != 0 ? double(pointSize) * scale / layer.pointSize : scale;
}

void ImageFont::GenerateActiveFontLayers()
{
    activeLayers.clear();
    ascent = ascentPadding = height = lineSpacingOffset = 0;
    if (!fontData->initialized)
        return;
    int64_t pixelBudget = kMaxScaledPixels;
    for (FontLayer& layer : fontData->fontLayers) {
        if (!IsActive(layer))
            continue;
        ActiveFontLayer& active = activeLayers.emplace_back();
        active.baseFontLayer = &layer;
        double ratio = LayerScale(layer);
        if (scale == 1.0 && (layer.pointSize == 0 || layer.pointSize == pointSize)) {
            active.scaledImage = layer.image;
            for (const auto& [c, data] : layer.charData)
                active.scaledCharImageRects[c] = data.imageRect;
        } else {
            BuildScaledSheet(active, ratio, &pixelBudget);
        }
        SetMetrics(layer, ratio, activeLayers.size() == 1);
    }
}

// Lays the glyphs, scaled, side by side in a sheet of their own.
void ImageFont::BuildScaledSheet(ActiveFontLayer& active, double ratio, int64_t* pixelBudget) const
{
    const FontLayer& layer = *active.baseFontLayer;
    int64_t sheetWidth = 0;
    int sheetHeight = 0;
    for (const auto& [c, data] : layer.charData) {
        int w = std::max(0, Scaled(data.imageRect.width, ratio));
        int h = std::max(0, Scaled(data.imageRect.height, ratio));
        active.scaledCharImageRects[c] = Rect(ClampToInt(sheetWidth), 0, w, h);
        sheetWidth += w;
        sheetHeight = std::max(sheetHeight, h);
    }
    if (sheetWidth == 0 || sheetHeight == 0 || !ImageLib::WithinImageLimits(sheetWidth, sheetHeight) ||
        sheetWidth * sheetHeight > *pixelBudget)
        return;
    *pixelBudget -= sheetWidth * sheetHeight;

    auto sheet = std::make_unique<MemoryImage>();
    sheet->Create(int(sheetWidth), sheetHeight);
    if (MemoryImage* source = layer.image) {
        Graphics g(sheet.get());
        for (const auto& [c, data] : layer.charData) {
            const Rect& dest = active.scaledCharImageRects[c];
            if (dest.width > 0 && dest.height > 0)
                g.DrawImage(source, dest, data.imageRect);
        }
    }
    if (forceScaledImagesWhite) {
        uint32_t* bits = sheet->GetBits();
        std::for_each(bits, bits + sheetWidth * sheetHeight, [](uint32_t& pixel) { pixel |= 0x00FFFFFF; });
        sheet->BitsChanged();
    }
    sheet->Palletize();
    active.scaledImage = sheet.get();
    active.ownedImage = std::move(sheet);
}

void ImageFont::SetMetrics(const FontLayer& layer, double ratio, bool first)
{
    ascent = std::max(ascent, Scaled(layer.ascent, ratio));
    height = std::max(height, Scaled(layer.height != 0 ? layer.height : layer.defaultHeight, ratio));
    int padding = Scaled(layer.ascentPadding, ratio);
    int spacingOffset = Scaled(layer.lineSpacingOffset, ratio);
    ascentPadding = first ? padding : std::min(ascentPadding, padding);
    lineSpacingOffset = first ? spacingOffset : std::max(lineSpacingOffset, spacingOffset);
}

int ImageFont::CharWidthKern(wchar_t c, wchar_t previous)
{
    Prepare();
    int widest = 0;
    for (const ActiveFontLayer& active : activeLayers) {
        const FontLayer& layer = *active.baseFontLayer;
        double ratio = LayerScale(layer);
        int width = Scaled(layer.GetCharData(c).width, ratio);
        int kerning = previous ? Scaled(double(layer.spacing) + layer.GetKerning(previous, c), ratio) : 0;
        widest = std::max(widest, ClampToInt(int64_t(width) + kerning));
    }
    return widest;
}

int ImageFont::CharWidth(wchar_t c) { return CharWidthKern(c, 0); }

int ImageFont::StringWidth(const std::wstring& text)
{
    int64_t width = 0;
    wchar_t previous = 0;
    for (wchar_t c : text) {
        width += CharWidthKern(c, previous);
        previous = c;
    }
    return ClampToInt(width);
}

void ImageFont::DrawString(Graphics* g, int x, int y, const std::wstring& text, const Color& color, const Rect& clip)
{
    DrawStringEx(g, x, y, text, color, clip, nullptr, nullptr);
}

void ImageFont::DrawStringEx(Graphics* g, int x, int y, const std::wstring& text, const Color& color, const Rect&,
                             std::vector<Rect>* drawnRects, int* width)
{
    AutoCrit lock(DrawLock());
    DrawPool& pool = Pool();
    pool.Clear();
    if (drawnRects)
        drawnRects->clear();
    if (!fontData->initialized) {
        if (width)
            *width = 0;
        return;
    }
    Prepare();

    int64_t pen = x;
    bool placedAll = true;
    for (size_t i = 0; i < text.size() && placedAll; ++i) {
        const wchar_t c = text[i];
        const wchar_t next = i + 1 < text.size() ? text[i + 1] : 0;
        int64_t nextPen = pen;
        for (const ActiveFontLayer& active : activeLayers) {
            if (pool.Full()) {
                placedAll = false;
                break;
            }
            const FontLayer& layer = *active.baseFontLayer;
            const CharData& glyph = layer.GetCharData(c);
            // The same factor measuring uses, so that text fits the width it was measured at.
            const double ratio = LayerScale(layer);
            const double spacing = next ? double(layer.spacing) + layer.GetKerning(c, next) : 0.0;
            int64_t destX, destY, advance;
            if (ratio == 1.0) {
                destX = pen + layer.offsetX + glyph.offset.x;
                destY = int64_t(y) + layer.offsetY - layer.ascent + glyph.offset.y;
                advance = int64_t(glyph.width) + int64_t(spacing);
            } else {
                destX = pen + Scaled(double(glyph.offset.x) + layer.offsetX, ratio);
                destY = y - int64_t(Scaled(double(layer.ascent) - layer.offsetY - glyph.offset.y, ratio));
                advance = int64_t(Scaled(glyph.width, ratio)) + Scaled(spacing, ratio);
            }
            Rect source = active.GetCharRect(c);
            pool.Append(OrderBucket(layer, glyph), {active.scaledImage, ClampToInt(destX), ClampToInt(destY), source,
                                                    layer.drawMode, Tint(color, layer), kNoCommand});
            if (drawnRects)
                drawnRects->push_back(Rect(ClampToInt(destX), ClampToInt(destY), source.width, source.height));
            nextPen = std::max(nextPen, pen + advance);
        }
        if (placedAll) // the pen stops after the last character placed whole
            pen = nextPen;
    }
    if (width)
        *width = ClampToInt(pen - x);

    const Color savedColor = g->GetColor();
    const bool savedColorize = g->GetColorizeImages();
    g->SetColorizeImages(true);
    pool.ForEach([g](const DrawCommand& command) {
        const int savedMode = g->GetDrawMode();
        if (command.drawMode != -1)
            g->SetDrawMode(command.drawMode);
        g->SetColor(command.color);
        if (command.image)
            g->DrawImage(command.image, command.x, command.y, command.source);
        g->SetDrawMode(savedMode);
    });
    g->SetColor(savedColor);
    g->SetColorizeImages(savedColorize);
}

} // namespace Nubra

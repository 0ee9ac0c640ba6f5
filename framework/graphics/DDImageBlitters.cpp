// The surface blitters: drawing straight into the locked surface of a surface-backed image.
// Nothing is clipped here; the drawing context hands over rectangles inside both images.
#include "framework/graphics/SurfaceAccess.h"

#include <algorithm>

namespace Nubra {

namespace {

uint32_t Scaled(int component, int alpha) { return uint32_t(component * alpha / 255); }

// One pixel of the 32-bit run road, by colourisation case.
struct RunBlend32 {
    enum Kind { White, Grey, Colored } kind;
    uint32_t alpha; // the colour's
    uint32_t kr, kg, kb; // the colour's components scaled by its alpha
    Channels channels;

    uint32_t operator()(uint32_t s, uint32_t d, bool opaqueRun) const
    {
        uint32_t sa = opaqueRun ? 255 : s >> 24;
        if (kind == White) {
            if (opaqueRun)
                return s;
            return ((((d & 0xFF00) * (256 - sa)) >> 8) & 0xFF00) + ((((d & 0xFF00FF) * (256 - sa)) >> 8) & 0xFF00FF)
                   + s;
        }
        const bool solid = opaqueRun && alpha == 255;
        const uint32_t w = 256 - sa * alpha / 255;
        if (kind == Grey) {
            const uint32_t k = kr;
            if (solid)
                return (((s & 0xFF00FF) * k >> 8) & 0xFF00FF) + (((s & 0xFF00) * k >> 8) & 0xFF00);
            return ((((d & 0xFF00FF) * w + (s & 0xFF00FF) * k) >> 8) & 0xFF00FF)
                   + ((((d & 0xFF00) * w + (s & 0xFF00) * k) >> 8) & 0xFF00);
        }
        auto part = [&](const Channel& c, uint32_t k) {
            if (solid)
                return (((s & c.mask) * k) >> 8) & c.mask;
            return (((d & c.mask) * w + (s & c.mask) * k) >> 8) & c.mask;
        };
        return part(channels.red, kr) + part(channels.green, kg) + part(channels.blue, kb);
    }
};

// The source's display-format word of a pixel, through the colour table when it has one.
uint32_t NativeWord(const MemoryImage& source, const uint32_t* native, size_t pixel)
{
    return source.colorIndices ? native[source.colorIndices[pixel]] : native[pixel];
}

} // namespace

void DDImage::NormalFillRect(const Rect& rect, const Color& color)
{
    LockedSurface target(*this);
    if (!target.Usable() || videoMemoryWriteOnly)
        return;
    const Channels channels(surfaceDesc.format, *display);
    const uint32_t a = uint32_t(color.alpha);
    const bool is16 = target.Is16();
    if (a == 255) {
        // 16-bit fields round up; 8-bit ones keep 255 x m >> 8 (254 for a full channel).
        const uint32_t value = channels.Sum(color, [is16](const Channel& ch, uint32_t c) {
            return ((is16 ? c + 1 : c) * ch.mask >> 8) & ch.mask;
        });
        target.Each(rect, [value](uint32_t) { return value; });
        return;
    }
    const uint32_t bias = is16 ? 128 : 127;
    const uint32_t source = channels.Sum(color, [a, bias](const Channel& ch, uint32_t c) {
        return ((((c * a + bias) >> 8) + 1) * ch.mask >> 8) & ch.mask;
    });
    const Channel* all[3] = {&channels.red, &channels.green, &channels.blue};
    target.Each(rect, [&](uint32_t d) {
        uint32_t out = source;
        for (const Channel* ch : all)
            out += ((((d & ch->mask) * (256 - a)) + (is16 ? ch->mask : 0)) >> 8) & ch->mask;
        return out;
    });
}

void DDImage::AdditiveFillRect(const Rect& rect, const Color& color)
{
    LockedSurface target(*this);
    if (!target.Usable() || videoMemoryWriteOnly)
        return;
    const Channels channels(surfaceDesc.format, *display);
    auto add = [&color](const Channel& ch, int component) {
        return uint32_t(component * color.alpha / 255) >> (8 - ch.bits);
    };
    const uint32_t addRed = add(channels.red, color.red), addGreen = add(channels.green, color.green),
                   addBlue = add(channels.blue, color.blue);
    auto field = [](const Channel& ch, uint32_t d, uint32_t amount) {
        return (*ch.saturation)[((d & ch.mask) >> ch.shift) + amount] << ch.shift;
    };
    target.Each(rect, [&](uint32_t d) {
        return field(channels.red, d, addRed) | field(channels.green, d, addGreen) | field(channels.blue, d, addBlue);
    });
}

bool DDImage::BltFromSurface(DDImage* source, const plat::PixelRect& to, const plat::PixelRect& from)
{
    plat::Surface* fromSurface = source->GetSurface();
    plat::Surface* toSurface = GetSurface();
    if (!fromSurface || !toSurface)
        return false;
    // A locked surface refuses blits: let go for the copy, and take the lock again after.
    const bool held = lockCount > 0;
    if (held)
        toSurface->Unlock();
    toSurface->Blt(to, *fromSurface, from, source->hasTrans);
    return !held || toSurface->Lock(&surfaceDesc);
}

void DDImage::NormalBlt(Image* image, int x, int y, const Rect& srcRect, const Color& color)
{
    auto* source = dynamic_cast<MemoryImage*>(image);
    if (!source)
        return;
    source->CommitBits();
    auto* surfaceSource = dynamic_cast<DDImage*>(image);
    const bool white = color == Color::White;

    if (source->optionFlag && !(surfaceSource && surfaceSource->surface) && !videoMemoryWriteOnly && white) {
        OptionFlagBlt(*source, x, y, srcRect);
        return;
    }
    if (white && !source->hasAlpha) {
        if (surfaceSource && (wantsVideoMemory || !surfaceSource->wantsVideoMemory) && surfaceSource->GetSurface()) {
            BltFromSurface(surfaceSource, {x, y, srcRect.width, srcRect.height},
                           {srcRect.x, srcRect.y, srcRect.width, srcRect.height});
            return;
        }
        CopyNativeWords(*source, x, y, srcRect);
        return;
    }
    RunBlt(*source, x, y, srcRect, color);
}

void DDImage::CopyNativeWords(MemoryImage& source, int x, int y, const Rect& srcRect)
{
    LockedSurface target(*this);
    if (!target.Usable() || videoMemoryWriteOnly)
        return;
    const uint32_t* native = source.GetNativeAlphaData(display);
    if (!native)
        return;
    const bool keyed = source.hasTrans;
    for (int row = 0; row < srcRect.height; ++row) {
        size_t first = size_t(srcRect.y + row) * size_t(source.width) + size_t(srcRect.x);
        for (int col = 0; col < srcRect.width; ++col) {
            uint32_t word = NativeWord(source, native, first + size_t(col));
            if (keyed && word >> 24 == 0)
                continue;
            if (target.Is16())
                target.Row<uint16_t>(y + row)[x + col] = uint16_t(word);
            else
                target.Row<uint32_t>(y + row)[x + col] = word;
        }
    }
}

void DDImage::RunBlt(MemoryImage& source, int x, int y, const Rect& srcRect, const Color& color)
{
    LockedSurface target(*this);
    if (!target.Usable() || videoMemoryWriteOnly || target.Is16())
        return;
    const uint32_t* native = source.GetNativeAlphaData(display);
    const uint8_t* runs = source.GetRLAlphaData();
    if (!native || !runs)
        return;
    const uint32_t kr = Scaled(color.red, color.alpha), kg = Scaled(color.green, color.alpha),
                   kb = Scaled(color.blue, color.alpha);
    const auto kind = color == Color::White   ? RunBlend32::White
                      : kr == kg && kg == kb ? RunBlend32::Grey
                                              : RunBlend32::Colored;
    const RunBlend32 blend{kind, uint32_t(color.alpha), kr, kg, kb, Channels(surfaceDesc.format, *display)};
    for (int row = 0; row < srcRect.height; ++row) {
        uint32_t* out = target.Row<uint32_t>(y + row) + x;
        const size_t first = size_t(srcRect.y + row) * size_t(source.width) + size_t(srcRect.x);
        for (int col = 0; col < srcRect.width;) {
            const int run = std::min<int>(runs[first + size_t(col)], srcRect.width - col);
            const uint32_t runClass = NativeWord(source, native, first + size_t(col)) >> 24;
            if (runClass != 0) {
                for (int k = col; k < col + run; ++k)
                    out[k] = blend(NativeWord(source, native, first + size_t(k)), out[k], runClass == 255);
            }
            col += run;
        }
    }
}

void DDImage::OptionFlagBlt(MemoryImage& source, int x, int y, const Rect& srcRect)
{
    LockedSurface target(*this);
    if (!target.Usable() || target.Is16())
        return;
    const uint32_t* pixels = source.colorTable ? source.colorTable.get() : source.GetBits();
    if (!pixels)
        return;
    const Channels channels(surfaceDesc.format, *display);
    const bool rgbOrder = display->rgbOrder;
    for (int row = 0; row < srcRect.height; ++row) {
        uint32_t* out = target.Row<uint32_t>(y + row) + x;
        const size_t first = size_t(srcRect.y + row) * size_t(source.width) + size_t(srcRect.x);
        for (int col = 0; col < srcRect.width; ++col) {
            const size_t i = first + size_t(col);
            const uint32_t e = source.colorTable ? pixels[source.colorIndices[i]] : pixels[i];
            const uint32_t ea = e >> 24, d = out[col];
            if (rgbOrder) {
                const uint32_t rb = d & 0xFF00FF, g = d & 0xFF00;
                out[col] = ((((((e & 0xFF00FF) - rb) * ea) >> 8) + rb) & 0xFF00FF)
                           | ((((((e & 0xFF00) - g) * ea) >> 8) + g) & 0xFF00);
                continue;
            }
            const Color entry(int((e >> 16) & 255), int((e >> 8) & 255), int(e & 255));
            out[col] = channels.Sum(entry, [d, ea](const Channel& ch, uint32_t ec) {
                return (((d & ch.mask) * (256 - ea) + ((ec * ea) >> 8) * ch.mask + (ch.mask >> 1)) >> 8) & ch.mask;
            });
        }
    }
}

// Built with the rest of the surface blitters; until then they draw nothing.
void DDImage::AdditiveBlt(Image*, int, int, const Rect&, const Color&) {}
void DDImage::NormalDrawLine(double, double, double, double, const Color&) {}
void DDImage::AdditiveDrawLine(double, double, double, double, const Color&) {}
void DDImage::NormalDrawLineAA(double, double, double, double, const Color&) {}
void DDImage::AdditiveDrawLineAA(double, double, double, double, const Color&) {}
void DDImage::NormalBltMirror(Image*, int, int, const Rect&, const Color&) {}
void DDImage::AdditiveBltMirror(Image*, int, int, const Rect&, const Color&) {}
void DDImage::FillScanLinesWithCoverageOnSurface(const Span*, int, const Color&, const uint8_t*, int, int, int, int) {}

} // namespace Nubra

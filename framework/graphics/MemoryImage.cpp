#include "framework/graphics/MemoryImage.h"

#include "framework/graphics/D3DInterface.h"
#include "framework/graphics/ImageHost.h"
#include "framework/graphics/NativeDisplay.h"
#include "framework/graphics/TextureData.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace Nubra {

namespace {

template <typename T>
std::unique_ptr<T[]> CopyBuffer(const std::unique_ptr<T[]>& from, size_t count)
{
    if (!from)
        return nullptr;
    auto to = std::make_unique_for_overwrite<T[]>(count);
    std::copy_n(from.get(), count, to.get());
    return to;
}

// A shift right by `right` (left when negative), so that channel widths above 8 bits stay defined.
uint32_t ShiftRight(uint32_t value, int right)
{
    if (right >= 32 || right <= -32)
        return 0;
    return right >= 0 ? value >> right : value << -right;
}

uint32_t NativeChannel(uint32_t color, uint32_t channelMask, int topBit, uint32_t m, int bits, int shift,
                       uint32_t displayMask)
{
    uint32_t premultiplied = (color & channelMask) * m / 256;
    return (ShiftRight(premultiplied, topBit - bits) << shift) & displayMask;
}

uint32_t ToNative(uint32_t color, const NativeDisplay& d)
{
    uint32_t alpha = color >> 24;
    uint32_t m = alpha + 1;
    return (alpha << 24) | NativeChannel(color, 0xFF0000, 24, m, d.redBits, d.redShift, d.redMask) |
           NativeChannel(color, 0xFF00, 16, m, d.greenBits, d.greenShift, d.greenMask) |
           NativeChannel(color, 0xFF, 8, m, d.blueBits, d.blueShift, d.blueMask);
}

// Undoes the premultiplication; the low bits lost to the display's format stay lost.
uint32_t ChannelFromNative(uint32_t word, uint32_t alpha, uint32_t mask, int shift, int bits)
{
    uint32_t channel = ((word & mask) * 256 / (alpha + 1)) & mask;
    return ShiftRight(channel << 8, shift + bits) & 0xFF;
}

uint32_t FromNative(uint32_t word, const NativeDisplay& d)
{
    uint32_t alpha = word >> 24;
    return (alpha << 24) | (ChannelFromNative(word, alpha, d.redMask, d.redShift, d.redBits) << 16) |
           (ChannelFromNative(word, alpha, d.greenMask, d.greenShift, d.greenBits) << 8) |
           ChannelFromNative(word, alpha, d.blueMask, d.blueShift, d.blueBits);
}

template <typename ClassOf>
std::unique_ptr<uint8_t[]> BuildRunLengths(int width, int height, ClassOf classOf)
{
    auto runs = std::make_unique_for_overwrite<uint8_t[]>(size_t(width) * size_t(height));
    for (int y = 0; y < height; ++y) {
        int run = 0;
        int runClass = -1;
        for (int x = width - 1; x >= 0; --x) {
            size_t i = size_t(y) * size_t(width) + size_t(x);
            int pixelClass = classOf(i);
            run = pixelClass == runClass ? run + 1 : 1;
            runClass = pixelClass;
            runs[i] = uint8_t(std::min(run, 255));
        }
    }
    return runs;
}

int AlphaClass(uint32_t color)
{
    uint32_t alpha = color >> 24;
    return alpha == 0 ? 0 : alpha == 255 ? 1 : 2;
}

} // namespace

MemoryImage::MemoryImage() : MemoryImage(GetImageHost()) {}

MemoryImage::MemoryImage(ImageHost* app) : app(app)
{
    if (app)
        app->AddMemoryImage(this);
}

MemoryImage::MemoryImage(const MemoryImage& other)
    : Image(other), bitsChangedCount(other.bitsChangedCount), d3dFlags(other.d3dFlags),
      forcedMode(other.forcedMode), hasTrans(other.hasTrans), hasAlpha(other.hasAlpha),
      optionFlag(other.optionFlag), purgeRequested(other.purgeRequested),
      palettizeRequested(other.palettizeRequested), alphaFlagsStale(other.alphaFlagsStale), app(other.app),
      nativeDisplay_(other.nativeDisplay_)
{
    size_t count = PixelCount();
    if (other.bits) {
        bits = CopyBuffer(other.bits, count + 1);
    } else if (!other.colorTable) {
        bits = std::make_unique_for_overwrite<uint32_t[]>(count + 1);
        other.RebuildPixels(bits.get());
        bits[count] = kGuardWord;
    }
    colorTable = CopyBuffer(other.colorTable, 256);
    colorIndices = CopyBuffer(other.colorIndices, count);
    nativeAlphaData = CopyBuffer(other.nativeAlphaData, other.NativeWordCount());
    rlAlphaData = CopyBuffer(other.rlAlphaData, count);
    rlAdditiveData = CopyBuffer(other.rlAdditiveData, count);
    if (app)
        app->AddMemoryImage(this);
}

MemoryImage::~MemoryImage()
{
    if (app)
        app->RemoveMemoryImage(this);
    // An image without a host still leaves the accelerated path's set.
    if (d3dData && d3dData->owner)
        d3dData->owner->RemoveImage(this);
    delete d3dData;
}

size_t MemoryImage::PixelCount() const { return size_t(std::max(width, 0)) * size_t(std::max(height, 0)); }

size_t MemoryImage::NativeWordCount() const { return colorTable ? 256 : PixelCount(); }

void MemoryImage::RebuildPixels(uint32_t* out) const
{
    size_t count = PixelCount();
    if (colorTable) {
        for (size_t i = 0; i < count; ++i)
            out[i] = colorTable[colorIndices[i]];
    } else if (nativeAlphaData && nativeDisplay_) {
        for (size_t i = 0; i < count; ++i)
            out[i] = FromNative(nativeAlphaData[i], *nativeDisplay_);
    } else if (!d3dData || !d3dData->CopyTexturesToBits(*this, out)) {
        std::fill_n(out, count, 0u);
    }
}

uint32_t* MemoryImage::GetBits()
{
    if (!bits) {
        size_t count = PixelCount();
        bits = std::make_unique_for_overwrite<uint32_t[]>(count + 1);
        RebuildPixels(bits.get());
        bits[count] = kGuardWord;
        if (colorTable) {
            FreePalette();
            nativeAlphaData.reset(); // it was the palette's
        }
    }
    return bits.get();
}

void MemoryImage::BuildNativeData(NativeDisplay* display)
{
    if (!display)
        return;
    const uint32_t* colors = colorTable ? colorTable.get() : GetBits();
    size_t count = NativeWordCount();
    nativeAlphaData = std::make_unique_for_overwrite<uint32_t[]>(count);
    for (size_t i = 0; i < count; ++i)
        nativeAlphaData[i] = ToNative(colors[i], *display);
    nativeDisplay_ = display;
}

uint32_t* MemoryImage::GetNativeAlphaData(NativeDisplay* display)
{
    if (!nativeAlphaData) {
        CommitBits();
        BuildNativeData(display);
    }
    return nativeAlphaData.get();
}

uint32_t MemoryImage::AlphaSourceAt(size_t pixel) const
{
    if (colorTable)
        return colorTable[colorIndices[pixel]];
    return nativeAlphaData ? nativeAlphaData[pixel] : bits[pixel];
}

uint32_t MemoryImage::NativeAt(size_t pixel) const
{
    return nativeAlphaData[colorTable ? colorIndices[pixel] : pixel];
}

uint8_t* MemoryImage::GetRLAlphaData()
{
    if (!rlAlphaData) {
        CommitBits();
        if (!colorTable && !nativeAlphaData)
            GetBits();
        rlAlphaData = BuildRunLengths(width, height, [this](size_t i) { return AlphaClass(AlphaSourceAt(i)); });
    }
    return rlAlphaData.get();
}

uint8_t* MemoryImage::GetRLAdditiveData(NativeDisplay* display)
{
    if (!rlAdditiveData && GetNativeAlphaData(display)) {
        rlAdditiveData = BuildRunLengths(width, height,
                                         [this](size_t i) { return (NativeAt(i) & 0xFFFFFF) == 0 ? 0 : 1; });
    }
    return rlAdditiveData.get();
}

void MemoryImage::PurgeBits()
{
    purgeRequested = true;
    // Textures cannot be read back: with the graphics card drawing, the bits stay.
    if (app && app->Is3DAccelerated())
        return;
    NativeDisplay* display = app ? app->GetNativeDisplay() : nullptr;
    if ((bits || colorIndices) && GetNativeAlphaData(display))
        bits.reset();
}

void MemoryImage::DeleteSWBuffers()
{
    if (!bits && !colorIndices)
        GetBits();
    FreeNativeAndRunLengths(false);
}

void MemoryImage::DeleteNativeData()
{
    if (!bits && !colorIndices)
        GetBits();
    FreeNativeAndRunLengths(true);
}

void MemoryImage::Delete3DBuffers()
{
    if (app)
        app->Remove3DData(this);
}

void MemoryImage::DeleteDerivedBuffers()
{
    DeleteSWBuffers();
    Delete3DBuffers();
}

void MemoryImage::ApplyLoadOptions()
{
    if (palettizeRequested)
        Palletize();
    if (purgeRequested)
        PurgeBits();
}

void MemoryImage::BitsChanged()
{
    ++bitsChangedCount;
    alphaFlagsStale = true;
    FreeNativeAndRunLengths(false);
}

void MemoryImage::CommitBits()
{
    if (!alphaFlagsStale || forcedMode)
        return;
    hasAlpha = false;
    const uint32_t* colors = bits ? bits.get() : colorTable.get();
    if (!colors) {
        hasTrans = true;
    } else {
        hasTrans = false;
        size_t count = bits ? PixelCount() : 256;
        for (size_t i = 0; i < count; ++i) {
            uint32_t alpha = colors[i] >> 24;
            if (alpha == 0)
                hasTrans = true;
            else if (alpha != 255)
                hasAlpha = true;
        }
    }
    alphaFlagsStale = false;
}

void MemoryImage::Clear()
{
    std::fill_n(GetBits(), PixelCount(), 0u);
    BitsChanged();
}

void MemoryImage::SetBits(const uint32_t* pixels, int newWidth, int newHeight, bool commit)
{
    if (pixels && bits && pixels == bits.get())
        return;
    FreePalette();
    newWidth = std::max(newWidth, 0);
    newHeight = std::max(newHeight, 0);
    if (!bits || newWidth != width || newHeight != height) {
        width = newWidth;
        height = newHeight;
        bits = std::make_unique_for_overwrite<uint32_t[]>(PixelCount() + 1);
    }
    size_t count = PixelCount();
    if (pixels)
        std::copy_n(pixels, count, bits.get());
    else
        std::fill_n(bits.get(), count, 0u);
    bits[count] = kGuardWord;
    BitsChanged();
    if (commit)
        CommitBits();
}

void MemoryImage::Create(int newWidth, int newHeight)
{
    bits.reset();
    FreePalette(); // a stale palette would otherwise come back as the picture
    hasTrans = true;
    hasAlpha = true;
    width = std::max(newWidth, 0);
    height = std::max(newHeight, 0);
    BitsChanged();
}

void MemoryImage::SetImageMode(bool newHasTrans, bool newHasAlpha)
{
    forcedMode = true;
    hasTrans = newHasTrans;
    hasAlpha = newHasAlpha;
}

void MemoryImage::SetOptionFlag(bool flag) { optionFlag = flag; }

bool MemoryImage::Palletize()
{
    CommitBits();
    if (colorTable)
        return true;
    size_t count = PixelCount();
    if (count == 0)
        return false;
    const uint32_t* pixels = GetBits();

    auto table = std::make_unique<uint32_t[]>(256);
    auto indices = std::make_unique_for_overwrite<uint8_t[]>(count);
    std::vector<std::pair<uint32_t, uint8_t>> known; // sorted by colour
    known.reserve(256);
    for (size_t i = 0; i < count; ++i) {
        uint32_t color = pixels[i];
        auto it = std::lower_bound(known.begin(), known.end(), color,
                                   [](const auto& entry, uint32_t c) { return entry.first < c; });
        if (it == known.end() || it->first != color) {
            if (known.size() == 256) {
                palettizeRequested = false;
                return false;
            }
            uint8_t entry = uint8_t(known.size());
            table[entry] = color;
            it = known.insert(it, {color, entry});
        }
        indices[i] = it->second;
    }
    colorTable = std::move(table);
    colorIndices = std::move(indices);
    bits.reset();
    nativeAlphaData.reset();
    palettizeRequested = true;
    return true;
}

void MemoryImage::FreePalette()
{
    colorTable.reset();
    colorIndices.reset();
}

void MemoryImage::FreeNativeAndRunLengths(bool keepRLAlpha)
{
    nativeAlphaData.reset();
    rlAdditiveData.reset();
    if (!keepRLAlpha)
        rlAlphaData.reset();
}

} // namespace Nubra

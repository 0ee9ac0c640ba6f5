#include "framework/graphics/ImageLib.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cctype>
#include <span>

// The readers store pixels as the bytes B, G, R, A, which are the words 0xAARRGGBB only here.
static_assert(std::endian::native == std::endian::little);

namespace ImageLib {
namespace {

std::atomic<bool> alphaLookup{true};
std::atomic<uint32_t> alphaOnlyColor{0xFFFFFF};
thread_local std::optional<uint32_t> threadAlphaOnlyColor;

using Reader = ImagePtr (*)(const std::string&);
struct Format {
    const char* extension;
    Reader read;
};
constexpr Format kFormats[] = {
    {".tga", GetTGAImage},       {".jpg", GetJPEGImage},      {".png", GetPNGImage},
    {".gif", GetGIFImage},       {".j2k", GetJPEG2000Image}, {".jp2", GetJPEG2000Image},
};

bool EqualsIgnoringCase(const std::string& a, const char* b)
{
    return std::equal(a.begin(), a.end(), b, b + std::char_traits<char>::length(b),
                      [](unsigned char x, unsigned char y) { return std::tolower(x) == std::tolower(y); });
}

// Index just past the last separator of either kind; 0 when there is none.
size_t FilePartStart(const std::string& name)
{
    size_t slash = name.find_last_of("\\/");
    return slash == std::string::npos ? 0 : slash + 1;
}

ImagePtr ReadColourPicture(const std::string& name)
{
    size_t dot = name.rfind('.');
    bool hasExtension = dot != std::string::npos && dot >= FilePartStart(name);
    std::string base = hasExtension ? name.substr(0, dot) : name;
    std::string extension = hasExtension ? name.substr(dot) : std::string();
    for (const Format& format : kFormats) {
        if (hasExtension && !EqualsIgnoringCase(extension, format.extension))
            continue;
        if (ImagePtr image = format.read(base + format.extension))
            return image;
    }
    return nullptr;
}

ImagePtr ReadAlphaPicture(const std::string& name)
{
    size_t filePart = FilePartStart(name);
    if (ImagePtr alpha = GetImage(name.substr(0, filePart) + "_" + name.substr(filePart), false))
        return alpha;
    return GetImage(name + "_", false);
}

void TakeAlphaFromBlue(Image& colour, const Image& alpha)
{
    uint32_t* out = colour.GetBits();
    const uint32_t* in = alpha.GetBits();
    for (size_t i = 0; i < colour.PixelCount(); ++i)
        out[i] = (out[i] & 0x00FFFFFF) | (in[i] << 24);
}

} // namespace

bool WithinImageLimits(int64_t width, int64_t height)
{
    return width > 0 && height > 0 && width <= kMaxImageSide && height <= kMaxImageSide &&
           width * height <= kMaxImagePixels;
}

Image::Image(int width, int height)
    : mWidth(width), mHeight(height), mBits(std::make_unique<uint32_t[]>(PixelCount()))
{
}

std::unique_ptr<Image> Image::Create(int64_t width, int64_t height)
{
    if (!WithinImageLimits(width, height))
        return nullptr;
    return std::make_unique<Image>(int(width), int(height));
}

void SetAlphaImageLookup(bool on) { alphaLookup.store(on); }
bool GetAlphaImageLookup() { return alphaLookup.load(); }
void SetAlphaOnlyColor(uint32_t rgb) { alphaOnlyColor.store(rgb & 0xFFFFFF); }
uint32_t GetAlphaOnlyColor() { return threadAlphaOnlyColor.value_or(alphaOnlyColor.load()); }

ScopedAlphaOnlyColor::ScopedAlphaOnlyColor(uint32_t rgb) : previous_(threadAlphaOnlyColor)
{
    threadAlphaOnlyColor = rgb & 0xFFFFFF;
}

ScopedAlphaOnlyColor::~ScopedAlphaOnlyColor() { threadAlphaOnlyColor = previous_; }

ImagePtr GetImage(const std::string& name, bool lookForAlpha)
{
    ImagePtr colour = ReadColourPicture(name);
    if (!lookForAlpha || !GetAlphaImageLookup())
        return colour;

    ImagePtr alpha = ReadAlphaPicture(name);
    if (!alpha)
        return colour;
    if (!colour) {
        uint32_t rgb = GetAlphaOnlyColor();
        for (uint32_t& pixel : std::span(alpha->GetBits(), alpha->PixelCount()))
            pixel = (pixel << 24) | rgb;
        return alpha;
    }
    if (colour->GetWidth() == alpha->GetWidth() && colour->GetHeight() == alpha->GetHeight())
        TakeAlphaFromBlue(*colour, *alpha);
    return colour;
}

} // namespace ImageLib

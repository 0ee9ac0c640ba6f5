#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

// Image files: decoding PNG, JPEG, GIF, TGA and JPEG 2000 into 32-bit ARGB pictures, and
// writing pictures as PNG or JPEG. Every read goes through the data-file layer (archives, else
// loose files); writes go to plain files.
namespace ImageLib {

// Hostile headers can declare gigantic pictures; anything larger than this is refused.
constexpr int kMaxImageSide = 16384;
constexpr int64_t kMaxImagePixels = int64_t(1) << 24; // 4096 x 4096

bool WithinImageLimits(int64_t width, int64_t height);

// A decoded picture: width x height words 0xAARRGGBB, rows from the top, no gaps.
class Image {
public:
    // Transparent black pixels. The size must be within the limits above.
    Image(int width, int height);
    virtual ~Image() = default;
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    // Null when the size is not positive or not within the limits.
    static std::unique_ptr<Image> Create(int64_t width, int64_t height);

    int GetWidth() const { return mWidth; }
    int GetHeight() const { return mHeight; }
    uint32_t* GetBits() { return mBits.get(); }
    const uint32_t* GetBits() const { return mBits.get(); }
    uint32_t* Row(int y) { return mBits.get() + size_t(y) * size_t(mWidth); }
    const uint32_t* Row(int y) const { return mBits.get() + size_t(y) * size_t(mWidth); }
    size_t PixelCount() const { return size_t(mWidth) * size_t(mHeight); }

private:
    int mWidth;
    int mHeight;
    std::unique_ptr<uint32_t[]> mBits;
};

using ImagePtr = std::unique_ptr<Image>;

// Library settings, application-wide. While the lookup is off, GetImage never looks for alpha
// pictures. A picture that exists only as an alpha picture gets the alpha-only colour (RGB).
void SetAlphaImageLookup(bool on);
bool GetAlphaImageLookup();
void SetAlphaOnlyColor(uint32_t rgb);
uint32_t GetAlphaOnlyColor(); // this thread's while a scope below is open

// For its lifetime, pictures this thread reads take their own alpha-only colour; other threads
// keep the application-wide one. Scopes nest.
class ScopedAlphaOnlyColor {
public:
    explicit ScopedAlphaOnlyColor(uint32_t rgb);
    ~ScopedAlphaOnlyColor();
    ScopedAlphaOnlyColor(const ScopedAlphaOnlyColor&) = delete;
    ScopedAlphaOnlyColor& operator=(const ScopedAlphaOnlyColor&) = delete;

private:
    std::optional<uint32_t> previous_;
};

// Finds and decodes a picture. A bare name ("ui/button") tries .tga, .jpg, .png, .gif, .j2k and
// .jp2 in that order; a name with an extension tries only that format (the extension's case is
// ignored). With lookForAlpha (and the lookup on), a grey companion "ui/_button" or else
// "ui/button_" supplies the alpha channel from its blue byte. Null when nothing could be read.
ImagePtr GetImage(const std::string& name, bool lookForAlpha = true);

// Readers, each on one file name (extension included). Null for a missing, unsupported,
// corrupt or oversized file; the file is always closed.
ImagePtr GetTGAImage(const std::string& name);  // uncompressed 32-bit, top-left origin only
ImagePtr GetJPEGImage(const std::string& name); // grey, colour or CMYK; a truncated file still gives a picture
ImagePtr GetPNGImage(const std::string& name);  // any kind of PNG
ImagePtr GetGIFImage(const std::string& name);  // the first image of a GIF87a/GIF89a file
ImagePtr GetJPEG2000Image(const std::string& name); // codestream or JP2 file; null while the codec is closed

// The JPEG 2000 codec is available between these two calls (made by the application object).
bool InitJPEG2000();
void CloseJPEG2000();
bool IsJPEG2000Open();

// Writers to plain files (data names resolved as for reading). False when the file cannot be
// written or the picture is empty; a half-written file is removed.
bool WritePNGImage(const std::string& name, const Image& image);  // RGBA, 8 bits a channel
bool WriteJPEGImage(const std::string& name, const Image& image); // RGB, quality 80

} // namespace ImageLib

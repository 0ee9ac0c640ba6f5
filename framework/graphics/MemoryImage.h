#pragma once
#include "framework/graphics/Image.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace Nubra {

class ImageHost;
class NativeDisplay;
class TextureData;

// An image held as 0xAARRGGBB words in memory. The bits are the master form; the palette form,
// the display-format copy (native data) and the run-length tables are caches built on demand
// and dropped when the pixels change. The bits may be absent while another form holds the
// picture (palettised, purged to native data, or only in textures).
class MemoryImage : public Image {
public:
    static constexpr uint32_t kGuardWord = 0x4BEEFADE; // written after the last pixel
    static constexpr uint32_t TextureFlag_No565 = 8;

    MemoryImage(); // for the application's host (GetImageHost)
    explicit MemoryImage(ImageHost* app);
    // Copies every form the other holds; the textures are not shared.
    MemoryImage(const MemoryImage& other);
    ~MemoryImage() override;

    // The pixels in the display's format, premultiplied by (alpha + 1) / 256 with the alpha
    // kept in the top byte (256 words for a palettised image).
    virtual uint32_t* GetNativeAlphaData(NativeDisplay* display);
    // Per pixel, how many pixels of its class (alpha 0, 255, other) follow in its row, itself
    // included, capped at 255.
    virtual uint8_t* GetRLAlphaData();
    // The same over the native data, classed black (low 24 bits 0) or not.
    virtual uint8_t* GetRLAdditiveData(NativeDisplay* display);
    // Asks to keep the picture in the display's form only; without acceleration the bits go
    // now, with it once textures exist.
    virtual void PurgeBits();
    virtual void DeleteSWBuffers(); // native and run-length data; rebuilds the bits first
    virtual void Delete3DBuffers();
    virtual void DeleteDerivedBuffers();
    virtual void ApplyLoadOptions(); // palettise, then purge, as requested
    virtual void BitsChanged(); // after any write to the pixels
    virtual void CommitBits(); // recomputes the alpha flags when stale and not forced
    virtual void DeleteNativeData(); // as DeleteSWBuffers but keeps the run-length alpha data
    virtual void Clear();
    virtual void SetBits(const uint32_t* pixels, int width, int height, bool commit);
    virtual void Create(int width, int height);
    virtual uint32_t* GetBits(); // rebuilt from the other forms when absent
    virtual void SetImageMode(bool hasTrans, bool hasAlpha); // forces the alpha flags
    virtual void SetOptionFlag(bool flag);
    // Replaces the bits by a colour table of at most 256 entries and one index per pixel;
    // false (the bits kept) when the picture has more colours.
    virtual bool Palletize();

    std::unique_ptr<uint32_t[]> bits; // width x height words and the guard word
    uint32_t bitsChangedCount = 0;
    TextureData* d3dData = nullptr; // owned by the accelerated path
    uint32_t d3dFlags = TextureFlag_No565;
    std::unique_ptr<uint32_t[]> colorTable; // 256 entries, with colorIndices
    std::unique_ptr<uint8_t[]> colorIndices;
    bool forcedMode = false;
    bool hasTrans = false; // some pixel has alpha 0
    bool hasAlpha = false; // some pixel has alpha strictly between 0 and 255
    bool optionFlag = false;
    bool purgeRequested = false;
    bool palettizeRequested = false;
    std::unique_ptr<uint32_t[]> nativeAlphaData;
    std::unique_ptr<uint8_t[]> rlAlphaData;
    std::unique_ptr<uint8_t[]> rlAdditiveData;
    bool alphaFlagsStale = false;
    ImageHost* app = nullptr;

private:
    size_t PixelCount() const;
    size_t NativeWordCount() const;
    // The picture from the palette, the native data or the textures, else transparent black.
    void RebuildPixels(uint32_t* out) const;
    void BuildNativeData(NativeDisplay* display);
    void FreePalette();
    void FreeNativeAndRunLengths(bool keepRLAlpha);
    uint32_t AlphaSourceAt(size_t pixel) const;
    uint32_t NativeAt(size_t pixel) const;

    const NativeDisplay* nativeDisplay_ = nullptr; // the format of nativeAlphaData
};

} // namespace Nubra

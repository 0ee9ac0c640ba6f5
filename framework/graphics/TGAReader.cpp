#include "framework/graphics/ImageFileIO.h"
#include "framework/graphics/ImageLib.h"

#include <cstring>

namespace ImageLib {
namespace {

constexpr size_t kHeaderSize = 18;
constexpr uint8_t kUncompressedTrueColour = 2;
constexpr uint8_t kColourMapPresent = 1;
constexpr uint8_t kEightAlphaBitsTopLeft = 0x28;

unsigned U16(const uint8_t* bytes) { return bytes[0] | unsigned(bytes[1]) << 8; }

} // namespace

ImagePtr GetTGAImage(const std::string& name)
{
    std::optional<std::vector<uint8_t>> file = ReadImageFile(name);
    if (!file || file->size() < kHeaderSize)
        return nullptr;
    const uint8_t* header = file->data();
    uint8_t idLength = header[0];
    uint8_t colourMapType = header[1];
    uint8_t imageType = header[2];
    unsigned colourMapLength = U16(header + 5);
    uint8_t colourMapDepth = header[7];
    unsigned width = U16(header + 12);
    unsigned height = U16(header + 14);
    uint8_t pixelDepth = header[16];
    uint8_t descriptor = header[17];
    if (imageType != kUncompressedTrueColour || pixelDepth != 32 || descriptor != kEightAlphaBitsTopLeft)
        return nullptr;

    // The ID field and any colour map lie between the header and the pixels.
    size_t skipped = idLength;
    if (colourMapType == kColourMapPresent)
        skipped += size_t(colourMapLength) * ((colourMapDepth + 7u) / 8u);
    ImagePtr image = Image::Create(width, height);
    if (!image)
        return nullptr;
    size_t pixelBytes = image->PixelCount() * 4;
    if (file->size() - kHeaderSize < skipped + pixelBytes)
        return nullptr;
    std::memcpy(image->GetBits(), header + kHeaderSize + skipped, pixelBytes);
    return image;
}

} // namespace ImageLib

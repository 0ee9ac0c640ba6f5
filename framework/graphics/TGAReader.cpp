#include "framework/graphics/ImageFileIO.h"
#include "framework/graphics/ImageLib.h"

namespace ImageLib {
namespace {

constexpr size_t kHeaderSize = 18;
constexpr uint8_t kUncompressedTrueColour = 2;
constexpr uint8_t kColourMapPresent = 1;
constexpr uint8_t kEightAlphaBitsTopLeft = 0x28;

unsigned U16(const uint8_t* bytes) { return bytes[0] | unsigned(bytes[1]) << 8; }

} // namespace

// Reads the header, steps over the ID field and any colour map, then reads the pixels straight
// into the picture: whatever follows them in the file is never read.
ImagePtr GetTGAImage(const std::string& name)
{
    PakFilePtr file = OpenImageFile(name);
    uint8_t header[kHeaderSize];
    if (!file || Nubra::PakFileRead(header, 1, kHeaderSize, file.get()) != kHeaderSize)
        return nullptr;
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

    long skipped = idLength;
    if (colourMapType == kColourMapPresent)
        skipped += long(colourMapLength) * ((colourMapDepth + 7) / 8);
    ImagePtr image = Image::Create(width, height);
    if (!image || Nubra::PakFileSeek(file.get(), skipped, 1) != 0)
        return nullptr;
    size_t pixels = image->PixelCount();
    if (Nubra::PakFileRead(image->GetBits(), 4, pixels, file.get()) != pixels)
        return nullptr;
    return image;
}

} // namespace ImageLib

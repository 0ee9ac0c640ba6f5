#pragma once
// Image files made for the tests: PNG, JPEG and JPEG 2000 written by their libraries, GIF and TGA
// put together byte by byte, and an in-memory archive that records what is opened.
#include "framework/data/PakFile.h"
#include "framework/graphics/ImageLib.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace fixtures {

using Bytes = std::vector<uint8_t>;

// A registered archive of named entries; every open is recorded, found or not.
class MemoryArchive : public Nubra::IPakFiles {
public:
    MemoryArchive();
    ~MemoryArchive() override;

    void Add(const std::string& name, Bytes data) { mEntries[name] = std::move(data); }
    const std::vector<std::string>& Opens() const { return mOpens; }
    void ClearOpens() { mOpens.clear(); }
    size_t BytesRead() const { return mBytesRead; } // by every file, since the archive was made

    Nubra::PFILE* FOpen(const char* name, const char* mode) override;
    int FClose(Nubra::PFILE* file) override;
    int FSeek(Nubra::PFILE* file, long offset, int origin) override;
    long FTell(Nubra::PFILE* file) override;
    size_t FRead(void* buffer, size_t size, size_t count, Nubra::PFILE* file) override;
    unsigned FGetWC(Nubra::PFILE* file) override;
    bool FEof(Nubra::PFILE* file) override;

private:
    std::map<std::string, Bytes> mEntries;
    std::vector<std::string> mOpens;
    size_t mBytesRead = 0;
};

using Reader = ImageLib::ImagePtr (*)(const std::string&);

// Runs readers on bytes served by an archive of its own.
class ImageReaderTest : public ::testing::Test {
protected:
    ImageLib::ImagePtr Read(Reader reader, Bytes data);

    struct NamedBytes {
        const char* what;
        Bytes data;
    };
    void ExpectRefused(Reader reader, const std::vector<NamedBytes>& files);

    MemoryArchive archive;
};

// A fresh folder, removed again at the end of the test.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    std::string Path(const std::string& name) const { return (mRoot / name).string(); }
    void Write(const std::string& name, const Bytes& data) const;
    Bytes Read(const std::string& name) const;

private:
    std::filesystem::path mRoot;
};

// Pixels as 0xAARRGGBB words, rows from the top.
struct Picture {
    int width;
    int height;
    std::vector<uint32_t> pixels;
};
Picture PictureOf(const ImageLib::Image& image);
Picture Gradient(int width, int height); // smooth colours with varied alpha
ImageLib::ImagePtr ImageFrom(const Picture& picture);

// TGA: 18-byte header, ID field, colour map, then 4-byte pixels B, G, R, A.
struct TGASpec {
    uint8_t imageType = 2;
    uint8_t pixelDepth = 32;
    uint8_t descriptor = 0x28;
    std::string id = {};
    uint16_t colourMapEntries = 0; // 24-bit entries
};
Bytes MakeTGA(const Picture& picture, const TGASpec& spec = {});

// GIF: palette indices packed with our own LZW encoder.
struct GIFSpec {
    const char* signature = "GIF89a";
    std::vector<uint32_t> globalColours = {}; // 0xRRGGBB, padded to a power of two
    std::vector<uint32_t> localColours = {};
    int transparentIndex = -1;
    bool interlaced = false;
    bool extras = false;         // a comment and a looping application extension before the image
    bool clearWhenFull = true;   // else the encoder keeps 12-bit codes with a full table
    int minCodeSize = 8;
};
Bytes MakeGIF(int width, int height, const std::vector<uint8_t>& indices, const GIFSpec& spec = {});

// PNG written by libpng from raw rows in the file's own layout.
struct PNGSpec {
    int colourType = 0;
    int bitDepth = 8;
    bool interlaced = false;
    std::vector<uint32_t> palette = {}; // 0xRRGGBB
    std::vector<uint8_t> paletteAlpha = {}; // tRNS for palette files
};
Bytes MakePNG(int width, int height, const std::vector<Bytes>& rows, const PNGSpec& spec);

// JPEG written by libjpeg: components 1 (grey), 3 (RGB) or 4 (CMYK), samples interleaved.
// Four-component files are stored as CMYK or YCCK, with or without Adobe's marker.
struct JPEGInks {
    bool ycck = false;
    bool adobeMarker = true;
};
Bytes MakeJPEG(int width, int height, int components, const Bytes& samples, int quality = 95, JPEGInks inks = {});

// JPEG 2000 written by OpenJPEG, lossless: one plane of samples per component. A JP2 file names
// the alpha component, when there is one, in its channel definitions.
Bytes MakeJPEG2000(int width, int height, const std::vector<std::vector<int>>& planes, bool jp2, int alphaComponent = -1);

// A file of tests/framework/graphics/images.
Bytes ReadTestImage(const std::string& name);

// The largest difference of one channel, alpha included, between two pictures of one size.
int LargestChannelDifference(const Picture& a, const Picture& b, uint32_t channels = 0xFFFFFFFF);

} // namespace fixtures

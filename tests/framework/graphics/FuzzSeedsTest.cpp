#include "ImageFixtures.h"

#include <png.h>

#include <gtest/gtest.h>

#include <algorithm>

#include <cstdlib>
#include <fstream>

using namespace fixtures;

namespace {

// The fuzzing script runs this with NUBRA_FUZZ_SEEDS set to make each reader's seed corpus.
TEST(FuzzSeeds, WriteTheCorpus)
{
    const char* root = std::getenv("NUBRA_FUZZ_SEEDS");
    if (!root)
        GTEST_SKIP() << "NUBRA_FUZZ_SEEDS is not set";
    std::filesystem::path folder(root);
    auto write = [&](const std::string& format, const std::string& name, const Bytes& data) {
        std::filesystem::create_directories(folder / format);
        std::ofstream(folder / format / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
    };

    Picture picture = Gradient(9, 7);
    write("tga", "plain", MakeTGA(picture));
    write("tga", "id-and-map", MakeTGA(picture, {.id = "seed", .colourMapEntries = 2}));

    std::vector<uint8_t> indices;
    for (int i = 0; i < 12 * 10; ++i)
        indices.push_back(uint8_t(i * 7 % 13));
    std::vector<uint32_t> colours(16, 0x336699);
    write("gif", "plain", MakeGIF(12, 10, indices, {.globalColours = colours}));
    write("gif", "interlaced-transparent",
          MakeGIF(12, 10, indices, {.globalColours = colours, .transparentIndex = 3, .interlaced = true, .extras = true}));
    write("gif", "local-table", MakeGIF(12, 10, indices, {.localColours = colours, .minCodeSize = 4}));

    std::vector<Bytes> rows(7, Bytes(9 * 4, 0x9C));
    write("png", "rgba", MakePNG(9, 7, rows, {PNG_COLOR_TYPE_RGB_ALPHA}));
    write("png", "interlaced-16", MakePNG(9, 7, std::vector<Bytes>(7, Bytes(9 * 8, 0x42)), {PNG_COLOR_TYPE_RGB_ALPHA, 16, true}));
    write("png", "palette", MakePNG(9, 7, std::vector<Bytes>(7, Bytes(9, 1)), {PNG_COLOR_TYPE_PALETTE, 8, false, {0x102030, 0x405060}, {0x80}}));

    Bytes samples(16 * 16 * 3);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = uint8_t(i * 5);
    write("jpeg", "colour", MakeJPEG(16, 16, 3, samples, 80));
    write("jpeg", "grey", MakeJPEG(16, 16, 1, Bytes(samples.begin(), samples.begin() + 256), 80));
    // Four inks a pixel: the first half of the samples, twice.
    Bytes inks(samples.begin(), samples.begin() + 16 * 16 * 2);
    inks.resize(16 * 16 * 4);
    std::copy_n(inks.begin(), 16 * 16 * 2, inks.begin() + 16 * 16 * 2);
    write("jpeg", "adobe-cmyk", MakeJPEG(16, 16, 4, inks, 80));
    write("jpeg", "plain-cmyk", MakeJPEG(16, 16, 4, inks, 80, {.adobeMarker = false}));
    write("jpeg", "ycck", ReadTestImage("ycck.jpg"));

    std::vector<int> plane(8 * 6);
    for (size_t i = 0; i < plane.size(); ++i)
        plane[i] = int(i * 9 % 256);
    write("j2k", "codestream", MakeJPEG2000(8, 6, {plane, plane, plane}, false));
    write("j2k", "jp2-grey-alpha", MakeJPEG2000(8, 6, {plane, plane}, true));
    write("j2k", "jp2-five-named-alpha", MakeJPEG2000(8, 6, {plane, plane, plane, plane, plane}, true, 4));
    for (const char* layout : {"ycc420.jp2", "ycc422-offset.j2k", "sycc.jp2", "esycc.jp2", "lab.jp2", "cmyk.jp2", "five.jp2"})
        write("j2k", layout, ReadTestImage(layout));
}

} // namespace

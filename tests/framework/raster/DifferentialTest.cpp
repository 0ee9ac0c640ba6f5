#include "RasterTestSupport.h"
#include "ReferenceFiller.h"

#include "framework/raster/SWTriFillerTable.h"
#include "framework/raster/SWTriFillers.h"
#include "framework/raster/SWTriVectorised.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <sstream>

using namespace rastertest;

namespace {

constexpr int kCanvas = 32;
constexpr int kTrianglesPerFiller = 300;
constexpr int kTextureWidth = 7, kTextureHeight = 5;

class Random {
public:
    explicit Random(uint32_t seed) : engine_(seed) {}
    uint32_t Bits() { return uint32_t(engine_()); }
    int32_t Range(int32_t lo, int32_t hi) { return lo + int32_t(Bits() % uint32_t(hi - lo + 1)); } // inclusive
    bool OneIn(int n) { return Bits() % uint32_t(n) == 0; }

    // A channel value 0-255 that often sits on a threshold of the fillers.
    uint32_t Channel()
    {
        static constexpr uint32_t kEdges[] = {0, 1, 7, 8, 9, 127, 128, 239, 240, 241, 254, 255};
        return OneIn(2) ? kEdges[Bits() % std::size(kEdges)] : Bits() & 0xFF;
    }
    uint32_t Argb() { return Channel() << 24 | Channel() << 16 | Channel() << 8 | Channel(); }

private:
    std::mt19937 engine_;
};

// A position in 16.16 inside the canvas, sometimes on a whole or half pixel.
int32_t Position(Random& rnd, int32_t lo, int32_t hi)
{
    int32_t p = rnd.Range(lo, hi);
    if (rnd.OneIn(4))
        p &= rnd.OneIn(2) ? ~0xFFFF : ~0x7FFF;
    return std::max(p, lo);
}

SWTri_FixedVertex RandomVertex(Random& rnd, int32_t x0, int32_t y0, int32_t size)
{
    const uint32_t c = rnd.Argb();
    SWTri_FixedVertex v{Position(rnd, x0, x0 + size), Position(rnd, y0, y0 + size), int32_t((c >> 24) << 16),
                        int32_t(c & 0xFF0000), int32_t((c & 0xFF00) << 8), int32_t((c & 0xFF) << 16),
                        rnd.Range(-2 << 16, (kTextureWidth + 2) << 16), rnd.Range(-2 << 16, (kTextureHeight + 2) << 16)};
    return v;
}

// Large, small and sliver triangles, all inside the canvas.
void RandomTriangle(Random& rnd, SWTri_FixedVertex* tri)
{
    const int32_t full = kCanvas << 16;
    const int kind = rnd.Range(0, 3);
    const int32_t size = kind == 0 ? full : rnd.Range(1 << 16, 6 << 16);
    const int32_t x0 = rnd.Range(0, full - size), y0 = rnd.Range(0, full - size);
    for (int i = 0; i < 3; ++i)
        tri[i] = RandomVertex(rnd, x0, y0, size);
    if (kind == 3) { // a sliver: two vertices a few units apart in y
        tri[1].y = std::clamp(tri[0].y + rnd.Range(-3, 3), 0, full);
        if (rnd.OneIn(2))
            tri[1].u = tri[0].u + rnd.Range(-100000, 100000);
    }
}

struct FillerUnderTest {
    int index;
    SWTri_FillerFn filler;
    reference::Filler flags;
};

// Every distinct filler of the table, with the format and bits of the first slot it serves.
std::vector<FillerUnderTest> DistinctFillers()
{
    static constexpr SWTri_Format kFormats[4] = {SWTri_Format::ARGB8888, SWTri_Format::RGB888,
                                                 SWTri_Format::RGB565, SWTri_Format::RGB555};
    std::vector<FillerUnderTest> out;
    std::set<SWTri_FillerFn> seen = {nullptr, &SWTri_NoFill};
    for (int index = 0; index < 128; ++index) {
        const SWTri_FillerFn f = SWTri_Fillers()[size_t(index)];
        if (!seen.insert(f).second)
            continue;
        out.push_back({index, f,
                       {kFormats[index >> 5], bool(index & 16), bool(index & 8), bool(index & 4), bool(index & 2),
                        bool(index & 1)}});
    }
    return out;
}

std::string Describe(const SWTri_FixedVertex* tri)
{
    std::ostringstream s;
    for (int i = 0; i < 3; ++i)
        s << "(" << tri[i].x << "," << tri[i].y << " a" << tri[i].a << " r" << tri[i].r << " g" << tri[i].g << " b"
          << tri[i].b << " u" << tri[i].u << " v" << tri[i].v << ") ";
    return s.str();
}

} // namespace

class SWTriDifferential : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override { SWTri_SetVectorisedSpans(GetParam()); }
    void TearDown() override { SWTri_SetVectorisedSpans(true); }
};

TEST_P(SWTriDifferential, EveryFillerMatchesTheReferenceBitForBit)
{
    const std::vector<FillerUnderTest> fillers = DistinctFillers();
    EXPECT_EQ(fillers.size(), 55u);
    for (const FillerUnderTest& f : fillers) {
        Random rnd(uint32_t(1000 + f.index));
        std::vector<uint32_t> texels(kTextureWidth * kTextureHeight);
        for (uint32_t& t : texels)
            t = rnd.Argb();
        const SWTri_TextureInfo texture{texels.data(), kTextureWidth, kTextureWidth * kTextureHeight};
        int mismatches = 0;
        for (int n = 0; n < kTrianglesPerFiller && mismatches < 3; ++n) {
            SWTri_FixedVertex tri[3];
            RandomTriangle(rnd, tri);
            const SWTri_ConstColor k{int32_t(rnd.Channel()), int32_t(rnd.Channel()), int32_t(rnd.Channel()),
                                     int32_t(rnd.Channel())};
            Canvas ours(f.flags.format, kCanvas, kCanvas);
            for (int y = 0; y < kCanvas; ++y)
                for (int x = 0; x < kCanvas; ++x)
                    ours.Set(x, y, rnd.Argb());
            Canvas theirs = ours;
            f.filler(tri, ours.Origin(), ours.Pitch(), &texture, &k);
            reference::Fill(f.flags, tri, theirs.Origin(), theirs.Pitch(), &texture, &k);
            if (ours.Bytes() != theirs.Bytes()) {
                ++mismatches;
                ADD_FAILURE() << "filler at index " << f.index << ", triangle " << n << ": " << Describe(tri)
                              << " K(" << k.a << "," << k.r << "," << k.g << "," << k.b << ")";
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(PlainAndVectorSpans, SWTriDifferential, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Vectorised" : "Plain"; });

// Rotated (bilinear) and stretched (nearest) blits of a 256 x 256 sprite onto the display's
// 1024 x 768 surface, ours beside pixman's transformed composites (OVER) doing the same work on
// the same pixels. Rates count the pixels of the destination box each draw covers, the same for
// both. After the runs, per case:
//   ratio: <case> <our rate / pixman's>
//   checksum: <case> <implementation> <FNV-1a of the destination after one draw>
//   maxdiff: <case> <largest difference of one 8-bit colour channel between the two>
// pixman's sampling is moved half a pixel so that both read the source where our blits do
// (at destination pixels' top-left corners); the small differences left come from rounding and
// from the rotated blit leaving out its rectangle's first column and last column and row.
#include "BenchSupport.h"

#include "framework/app/NubraAppBase.h"
#include "framework/graphics/DDImage.h"
#include "framework/graphics/DDInterface.h"
#include "platform/Presenter.h"

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using bench::kSprite;
using bench::Pixels;
using namespace Nubra;

constexpr int kDestWidth = 1024, kDestHeight = 768;
constexpr uint32_t kBackground = 0x406080;
constexpr double kAngle = 0.5;
constexpr int kStretched = 384; // the stretch grows the sprite by half

enum class Op { Rotate, Stretch };

struct Case {
    std::string name;
    Op op;
    bool is565;
};

// Where draw n goes: six rotated places (the turned sprite's centre) or four stretched ones
// (the corner), all inside the destination.
Point Place(Op op, int64_t n)
{
    if (op == Op::Rotate) {
        const int slot = int(n % 6);
        return Point(192 + slot % 3 * 320, 192 + slot / 3 * 384);
    }
    const int slot = int(n % 4);
    return Point(slot % 2 * 512, slot / 2 * 384);
}

// The destination box of the rotated sprite about its centre at the origin, in whole pixels.
Rect RotatedBox()
{
    const double half = kSprite / 2.0;
    const double extent = half * (std::fabs(std::cos(kAngle)) + std::fabs(std::sin(kAngle)));
    const int first = int(std::floor(-extent)), last = int(std::ceil(extent));
    return Rect(first, first, last - first, last - first);
}

int64_t PixelsPerDraw(Op op)
{
    const Rect box = RotatedBox();
    return op == Op::Rotate ? int64_t(box.width) * box.height : int64_t(kStretched) * kStretched;
}

// 0xRRGGBB of a destination pixel, a 16-bit one widened by its top bits.
uint32_t Widened(uint32_t pixel, bool is565)
{
    if (!is565)
        return pixel & 0xFFFFFF;
    const uint32_t r = pixel >> 11 & 0x1F, g = pixel >> 5 & 0x3F, b = pixel & 0x1F;
    return (r << 3 | r >> 2) << 16 | (g << 2 | g >> 4) << 8 | (b << 3 | b >> 2);
}

class Drawer {
public:
    explicit Drawer(const Case& c) : case_(c) {}
    virtual ~Drawer() = default;
    virtual void Draw(int64_t n) = 0;
    virtual uint32_t Pixel(int x, int y) const = 0; // 0xRRGGBB

    uint64_t Checksum() const
    {
        uint64_t hash = 14695981039346656037ull;
        for (int y = 0; y < kDestHeight; ++y)
            for (int x = 0; x < kDestWidth; ++x) {
                hash ^= Pixel(x, y);
                hash *= 1099511628211ull;
            }
        return hash;
    }

protected:
    const Case case_;
};

// Ours: the display's frame, a surface-backed image, in the case's format.
class OurDrawer : public Drawer {
public:
    explicit OurDrawer(const Case& c) : Drawer(c), display_(&app_)
    {
        auto presenter = std::make_unique<plat::HeadlessPresenter>();
        presenter->desktop.format = c.is565 ? plat::PixelFormat::RGB565() : plat::PixelFormat::XRGB8888();
        display_.UsePresenter(std::move(presenter));
        display_.is3D = false;
        if (display_.Init(nullptr, true) != RESULT_OK)
            std::fprintf(stderr, "display: %s\n", display_.errorText.c_str());
        plat::Surface& frame = *display_.drawSurface;
        frame.Fill({0, 0, kDestWidth, kDestHeight}, c.is565 ? 0x4310 : kBackground);
        static const Pixels sprite = bench::TypicalSprite();
        sprite_.SetBits(sprite.data(), kSprite, kSprite, true);
    }
    void Draw(int64_t n) override
    {
        DDImage& screen = *display_.GetScreenImage();
        const Point at = Place(case_.op, n);
        const Rect all(0, 0, kSprite, kSprite), clip(0, 0, kDestWidth, kDestHeight);
        const float half = kSprite / 2.0f;
        if (case_.op == Op::Rotate)
            screen.BltRotated(&sprite_, float(at.x) - half, float(at.y) - half, all, clip, Color::White, 0, kAngle,
                              half, half);
        else
            screen.StretchBlt(&sprite_, Rect(at.x, at.y, kStretched, kStretched), all, clip, Color::White, 0, true);
    }
    uint32_t Pixel(int x, int y) const override { return Widened(display_.drawSurface->PixelAt(x, y), case_.is565); }

private:
    NubraAppBase app_;
    DDInterface display_;
    MemoryImage sprite_{nullptr};
};

using PixmanImage = std::unique_ptr<pixman_image_t, decltype(&pixman_image_unref)>;

class PixmanDrawer : public Drawer {
public:
    explicit PixmanDrawer(const Case& c)
        : Drawer(c), dest_(size_t(kDestWidth) * kDestHeight, c.is565 ? 0x4310 : kBackground),
          sprite_(bench::Premultiplied(bench::TypicalSprite())),
          dstImage_(nullptr, pixman_image_unref), srcImage_(nullptr, pixman_image_unref)
    {
        if (c.is565) {
            dest16_.assign(dest_.begin(), dest_.end());
            dstImage_.reset(pixman_image_create_bits(PIXMAN_r5g6b5, kDestWidth, kDestHeight,
                                                     reinterpret_cast<uint32_t*>(dest16_.data()), kDestWidth * 2));
        } else {
            dstImage_.reset(pixman_image_create_bits(PIXMAN_x8r8g8b8, kDestWidth, kDestHeight, dest_.data(),
                                                     kDestWidth * 4));
        }
        srcImage_.reset(pixman_image_create_bits(PIXMAN_a8r8g8b8, kSprite, kSprite, sprite_.data(), kSprite * 4));
        pixman_image_set_filter(srcImage_.get(), c.op == Op::Rotate ? PIXMAN_FILTER_BILINEAR : PIXMAN_FILTER_NEAREST,
                                nullptr, 0);
    }
    void Draw(int64_t n) override
    {
        const Point at = Place(case_.op, n);
        const Rect box = case_.op == Op::Rotate ? RotatedBox() : Rect(0, 0, kStretched, kStretched);
        pixman_transform_t toSource;
        if (case_.op == Op::Rotate)
            RotationAbout(at, &toSource);
        else
            ScaleFrom(at, &toSource);
        pixman_image_set_transform(srcImage_.get(), &toSource);
        pixman_image_composite32(PIXMAN_OP_OVER, srcImage_.get(), nullptr, dstImage_.get(), at.x + box.x,
                                 at.y + box.y, 0, 0, at.x + box.x, at.y + box.y, box.width, box.height);
    }
    uint32_t Pixel(int x, int y) const override
    {
        const size_t i = size_t(y) * kDestWidth + size_t(x);
        return Widened(case_.is565 ? dest16_[i] : dest_[i], case_.is565);
    }

private:
    // Destination to source, moved by the draw's place, so the composite's source origin is 0.
    // Our rotated blit maps a destination pixel's top-left corner q to a source position p whose
    // texel i lies at i; pixman maps pixel centres, and its texel i lies at i + 0.5. So pixman's
    // map is T(q) = M(q - 0.5) + 0.5, with M ours.
    static void RotationAbout(const Point& centre, pixman_transform_t* t)
    {
        const double c = std::cos(kAngle), s = std::sin(kAngle), half = kSprite / 2.0;
        const double ax = -0.5 - centre.x, ay = -0.5 - centre.y;
        pixman_f_transform f{{{c, -s, c * ax - s * ay + half + 0.5}, {s, c, s * ax + c * ay + half + 0.5}, {0, 0, 1}}};
        pixman_transform_from_pixman_f_transform(t, &f);
    }
    // Our nearest stretch steps 16.16 from each destination pixel's corner and truncates; pixman
    // takes the pixel under a centre less its smallest step. The same step, moved half a step
    // back and one unit on, picks the same pixels.
    static void ScaleFrom(const Point& corner, pixman_transform_t* t)
    {
        const pixman_fixed_t step = pixman_fixed_t(int64_t(kSprite) * 65536 / kStretched);
        pixman_transform_init_identity(t);
        t->matrix[0][0] = t->matrix[1][1] = step;
        t->matrix[0][2] = -step * corner.x - step / 2 + pixman_fixed_e;
        t->matrix[1][2] = -step * corner.y - step / 2 + pixman_fixed_e;
    }

    Pixels dest_;
    std::vector<uint16_t> dest16_;
    Pixels sprite_;
    PixmanImage dstImage_;
    PixmanImage srcImage_;
};

using MakeDrawer = std::function<std::unique_ptr<Drawer>(const Case&)>;

const MakeDrawer kOurs = [](const Case& c) -> std::unique_ptr<Drawer> { return std::make_unique<OurDrawer>(c); };
const MakeDrawer kPixman = [](const Case& c) -> std::unique_ptr<Drawer> { return std::make_unique<PixmanDrawer>(c); };

void RunCase(benchmark::State& state, const Case& c, const MakeDrawer& make)
{
    auto drawer = make(c);
    int64_t n = 0;
    for (auto _ : state) {
        drawer->Draw(n++);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * PixelsPerDraw(c.op));
}

// One draw each from fresh destinations: each one's checksum and their largest difference.
void Compare(const Case& c)
{
    auto ours = kOurs(c), theirs = kPixman(c);
    ours->Draw(0);
    theirs->Draw(0);
    int worst = 0;
    for (int y = 0; y < kDestHeight; ++y)
        for (int x = 0; x < kDestWidth; ++x)
            for (int shift : {0, 8, 16})
                worst = std::max(worst, std::abs(int(ours->Pixel(x, y) >> shift & 0xFF) -
                                                 int(theirs->Pixel(x, y) >> shift & 0xFF)));
    std::printf("checksum: %s ours %016llx\n", c.name.c_str(), static_cast<unsigned long long>(ours->Checksum()));
    std::printf("checksum: %s pixman %016llx\n", c.name.c_str(), static_cast<unsigned long long>(theirs->Checksum()));
    std::printf("maxdiff: %s %d\n", c.name.c_str(), worst);
}

} // namespace

int main(int argc, char** argv)
{
    static const std::vector<Case> cases = {
        {"rotated_bilinear_xrgb8888", Op::Rotate, false},
        {"rotated_bilinear_rgb565", Op::Rotate, true},
        {"stretched_nearest_xrgb8888", Op::Stretch, false},
        {"stretched_nearest_rgb565", Op::Stretch, true},
    };
    for (const Case& c : cases) {
        benchmark::RegisterBenchmark((c.name + "/ours").c_str(),
                                     [&c](benchmark::State& state) { RunCase(state, c, kOurs); });
        benchmark::RegisterBenchmark((c.name + "/pixman").c_str(),
                                     [&c](benchmark::State& state) { RunCase(state, c, kPixman); });
    }

    benchmark::Initialize(&argc, argv);
    bench::RateReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    for (const Case& c : cases) {
        const auto mine = reporter.rates.find(c.name + "/ours");
        const auto theirs = reporter.rates.find(c.name + "/pixman");
        if (mine != reporter.rates.end() && theirs != reporter.rates.end())
            std::printf("ratio: %s %.2f\n", c.name.c_str(), mine->second / theirs->second);
        Compare(c);
    }
    benchmark::Shutdown();
    return 0;
}

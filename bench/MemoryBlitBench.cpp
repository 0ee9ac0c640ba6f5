// Blits of 256 x 256 sprites onto a 1024 x 768 32-bit memory image, ours beside pixman and SDL2
// doing the same work on the same pixels. After the runs, one line per comparison:
//   ratio: <case>_vs_<library> <our rate / theirs>
//   maxdiff: <case>_vs_<library> <largest difference of one colour channel after one blit>
// The libraries round with /255 where we floor /256, so small differences are expected; pixman's
// component-alpha mask also weighs the destination by each tint channel, not by the alpha alone,
// hence the colourised case's larger difference. They are speed yardsticks, not references.
#include "BenchSupport.h"

#include "framework/graphics/MemoryImage.h"

#include <SDL.h>
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

using bench::kSprite;
using bench::Pixels;
using bench::Premultiplied;
using Nubra::Color;
using Nubra::MemoryImage;
using Nubra::Rect;
constexpr int kDestWidth = 1024, kDestHeight = 768;
constexpr uint32_t kBackground = 0xFF406080;

// Every pixel partly transparent.
Pixels TranslucentSprite()
{
    std::mt19937 random(11);
    Pixels pixels;
    for (int i = 0; i < kSprite * kSprite; ++i)
        pixels.push_back((0x30 + random() % 0xA0) << 24 | (random() & 0xFFFFFF));
    return pixels;
}

Rect Place(int64_t n) { return bench::GridPlace(n); }

enum class Op { Normal, Additive, Colourised, SmoothStretch };

const Color kTint(200, 160, 120, 255);
const Rect kStretchTo(0, 0, 384, 384); // the smooth stretch grows the sprite by half

struct Case {
    std::string name;
    Op op;
    const Pixels* sprite;
};

// One implementation of a case: draws once into its own destination at a place.
class Drawer {
public:
    explicit Drawer(Op op) : op_(op) {}
    virtual ~Drawer() = default;
    virtual void Draw(const Rect& place) = 0;
    virtual const uint32_t* Destination() = 0;
    int64_t PixelsPerDraw() const
    {
        return op_ == Op::SmoothStretch ? int64_t(kStretchTo.width) * kStretchTo.height : int64_t(kSprite) * kSprite;
    }

protected:
    const Op op_;
};

// A library's drawer, over plain pixel arrays of its own.
class LibraryDrawer : public Drawer {
public:
    LibraryDrawer(const Case& c, Pixels sprite)
        : Drawer(c.op), dest_(size_t(kDestWidth) * kDestHeight, kBackground), sprite_(std::move(sprite))
    {
    }
    const uint32_t* Destination() override { return dest_.data(); }

protected:
    Pixels dest_;
    Pixels sprite_;
};

class OurDrawer : public Drawer {
public:
    explicit OurDrawer(const Case& c) : Drawer(c.op), dest_(nullptr), sprite_(nullptr)
    {
        Pixels background(size_t(kDestWidth) * kDestHeight, kBackground);
        dest_.SetBits(background.data(), kDestWidth, kDestHeight, true);
        sprite_.SetBits(c.sprite->data(), kSprite, kSprite, true);
    }
    void Draw(const Rect& place) override
    {
        const Rect all(0, 0, kSprite, kSprite);
        switch (op_) {
        case Op::Normal: dest_.Blt(&sprite_, place.x, place.y, all, Color::White, 0); break;
        case Op::Additive: dest_.Blt(&sprite_, place.x, place.y, all, Color::White, 1); break;
        case Op::Colourised: dest_.Blt(&sprite_, place.x, place.y, all, kTint, 0); break;
        case Op::SmoothStretch: {
            const Rect to(place.x, place.y, kStretchTo.width, kStretchTo.height);
            dest_.StretchBlt(&sprite_, to, all, Rect(0, 0, kDestWidth, kDestHeight), Color::White, 0, false);
            break;
        }
        }
    }
    const uint32_t* Destination() override { return dest_.GetBits(); }

private:
    MemoryImage dest_;
    MemoryImage sprite_;
};

pixman_color_t PixmanColor(const Color& c)
{
    auto wide = [](int v) { return uint16_t(v << 8 | v); };
    return {wide(c.red), wide(c.green), wide(c.blue), wide(c.alpha)};
}

class PixmanDrawer : public LibraryDrawer {
public:
    explicit PixmanDrawer(const Case& c) : LibraryDrawer(c, Premultiplied(*c.sprite))
    {
        dstImage_ = pixman_image_create_bits(PIXMAN_x8r8g8b8, kDestWidth, kDestHeight, dest_.data(), kDestWidth * 4);
        srcImage_ = pixman_image_create_bits(PIXMAN_a8r8g8b8, kSprite, kSprite, sprite_.data(), kSprite * 4);
        if (op_ == Op::Colourised) {
            const pixman_color_t tint = PixmanColor(kTint);
            mask_ = pixman_image_create_solid_fill(&tint);
            pixman_image_set_component_alpha(mask_, 1);
        }
        if (op_ == Op::SmoothStretch)
            SetScaleFilter();
    }
    ~PixmanDrawer() override
    {
        pixman_image_unref(dstImage_);
        pixman_image_unref(srcImage_);
        if (mask_)
            pixman_image_unref(mask_);
    }
    void Draw(const Rect& place) override
    {
        const bool stretch = op_ == Op::SmoothStretch;
        const int w = stretch ? kStretchTo.width : kSprite, h = stretch ? kStretchTo.height : kSprite;
        const pixman_op_t op = op_ == Op::Additive ? PIXMAN_OP_ADD : PIXMAN_OP_OVER;
        pixman_image_composite32(op, srcImage_, mask_, dstImage_, 0, 0, 0, 0, place.x, place.y, w, h);
    }

private:
    // The sprite scaled to the stretch's size, filtered linearly as it grows.
    void SetScaleFilter()
    {
        const double ratio = double(kSprite) / kStretchTo.width;
        pixman_transform_t transform;
        pixman_transform_init_scale(&transform, pixman_double_to_fixed(ratio), pixman_double_to_fixed(ratio));
        pixman_image_set_transform(srcImage_, &transform);
        int count = 0;
        pixman_fixed_t* params = pixman_filter_create_separable_convolution(
            &count, pixman_double_to_fixed(1.0), pixman_double_to_fixed(1.0), PIXMAN_KERNEL_LINEAR,
            PIXMAN_KERNEL_LINEAR, PIXMAN_KERNEL_BOX, PIXMAN_KERNEL_BOX, 4, 4);
        pixman_image_set_filter(srcImage_, PIXMAN_FILTER_SEPARABLE_CONVOLUTION, params, count);
        pixman_image_set_repeat(srcImage_, PIXMAN_REPEAT_PAD);
        free(params);
    }

    pixman_image_t* dstImage_ = nullptr;
    pixman_image_t* srcImage_ = nullptr;
    pixman_image_t* mask_ = nullptr;
};

class SDLDrawer : public LibraryDrawer {
public:
    explicit SDLDrawer(const Case& c) : LibraryDrawer(c, *c.sprite)
    {
        dstSurface_ = SDL_CreateRGBSurfaceWithFormatFrom(dest_.data(), kDestWidth, kDestHeight, 32, kDestWidth * 4,
                                                         SDL_PIXELFORMAT_RGB888);
        srcSurface_ = SDL_CreateRGBSurfaceWithFormatFrom(sprite_.data(), kSprite, kSprite, 32, kSprite * 4,
                                                         SDL_PIXELFORMAT_ARGB8888);
        SDL_SetSurfaceBlendMode(srcSurface_, op_ == Op::Additive ? SDL_BLENDMODE_ADD : SDL_BLENDMODE_BLEND);
        if (op_ == Op::Colourised) {
            SDL_SetSurfaceColorMod(srcSurface_, Uint8(kTint.red), Uint8(kTint.green), Uint8(kTint.blue));
            SDL_SetSurfaceAlphaMod(srcSurface_, Uint8(kTint.alpha));
        }
        if (op_ == Op::SmoothStretch) // SDL's linear stretch needs one format on both sides and copies
            stretched_ = SDL_CreateRGBSurfaceWithFormat(0, kStretchTo.width, kStretchTo.height, 32,
                                                        SDL_PIXELFORMAT_ARGB8888);
    }
    ~SDLDrawer() override
    {
        SDL_FreeSurface(dstSurface_);
        SDL_FreeSurface(srcSurface_);
        SDL_FreeSurface(stretched_);
    }
    void Draw(const Rect& place) override
    {
        if (op_ == Op::SmoothStretch) {
            SDL_Rect to{0, 0, kStretchTo.width, kStretchTo.height};
            SDL_SoftStretchLinear(srcSurface_, nullptr, stretched_, &to);
            SDL_Rect at{place.x, place.y, 0, 0};
            SDL_BlitSurface(stretched_, nullptr, dstSurface_, &at);
            return;
        }
        SDL_Rect at{place.x, place.y, 0, 0};
        SDL_BlitSurface(srcSurface_, nullptr, dstSurface_, &at);
    }

private:
    SDL_Surface* dstSurface_ = nullptr;
    SDL_Surface* srcSurface_ = nullptr;
    SDL_Surface* stretched_ = nullptr;
};

using MakeDrawer = std::function<std::unique_ptr<Drawer>(const Case&)>;

const std::map<std::string, MakeDrawer>& Libraries()
{
    static const std::map<std::string, MakeDrawer> libraries = {
        {"ours", [](const Case& c) { return std::make_unique<OurDrawer>(c); }},
        {"pixman", [](const Case& c) { return std::make_unique<PixmanDrawer>(c); }},
        {"sdl", [](const Case& c) { return std::make_unique<SDLDrawer>(c); }},
    };
    return libraries;
}

void RunCase(benchmark::State& state, const Case& c, const MakeDrawer& make)
{
    auto drawer = make(c);
    bench::RunDraws(
        state, drawer->PixelsPerDraw(), [&](int64_t n) { drawer->Draw(Place(n)); },
        [&] { return drawer->Destination(); });
}

// The largest difference of one colour channel between two destinations after one draw each.
int MaxChannelDifference(const Case& c, const MakeDrawer& ours, const MakeDrawer& theirs)
{
    auto a = ours(c), b = theirs(c);
    a->Draw(Place(0));
    b->Draw(Place(0));
    int worst = 0;
    for (size_t i = 0; i < size_t(kDestWidth) * kDestHeight; ++i)
        for (int shift : {0, 8, 16})
            worst = std::max(worst, std::abs(int(a->Destination()[i] >> shift & 0xFF) -
                                             int(b->Destination()[i] >> shift & 0xFF)));
    return worst;
}

} // namespace

int main(int argc, char** argv)
{
    static const Pixels typical = bench::TypicalSprite(), translucent = TranslucentSprite();
    static const std::vector<Case> cases = {
        {"normal_typical", Op::Normal, &typical},
        {"normal_translucent", Op::Normal, &translucent},
        {"additive_typical", Op::Additive, &typical},
        {"additive_translucent", Op::Additive, &translucent},
        {"colourised_typical", Op::Colourised, &typical},
        {"colourised_translucent", Op::Colourised, &translucent},
        {"smooth_stretch_typical", Op::SmoothStretch, &typical},
    };
    for (const Case& c : cases)
        for (const auto& [library, make] : Libraries())
            benchmark::RegisterBenchmark((c.name + "/" + library).c_str(),
                                         [&c, make = make](benchmark::State& state) { RunCase(state, c, make); });

    benchmark::Initialize(&argc, argv);
    bench::RateReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    const MakeDrawer& ours = Libraries().at("ours");
    for (const Case& c : cases)
        for (const char* library : {"pixman", "sdl"}) {
            const auto mine = reporter.rates.find(c.name + "/ours");
            const auto theirs = reporter.rates.find(c.name + "/" + library);
            if (mine == reporter.rates.end() || theirs == reporter.rates.end())
                continue;
            const std::string comparison = c.name + "_vs_" + library;
            std::printf("ratio: %s %.2f\n", comparison.c_str(), mine->second / theirs->second);
            std::printf("maxdiff: %s %d\n", comparison.c_str(),
                        MaxChannelDifference(c, ours, Libraries().at(library)));
        }
    benchmark::Shutdown();
    return 0;
}

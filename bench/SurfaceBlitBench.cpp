// The surface blitters: 256 x 256 sprites and full-screen fills onto a 1024 x 768 display
// surface at 32 bits (XRGB8888) and 16 bits (RGB565), ours beside pixman and SDL2 doing the same
// work on the same pixels; ours alone on the other formats. After the runs, one line per
// comparison and one per case of ours:
//   ratio: <case>_vs_<library> <our rate / theirs>
//   maxdiff: <case>_vs_<library> <largest difference of one colour channel after one draw, with
//            16-bit channels widened to 8 bits (one step of a 5-bit channel reads 8)>
//   checksum: <case> <hash of our surface after one draw> ok | CHANGED (was ...) | new
// A changed checksum means the pixels changed, which no speed-up may do: the program then ends
// with status 1. The libraries round with /255 where we floor /256 and cut 16-bit weights to 5
// bits, so they are speed yardsticks, not references.
#include "BenchSupport.h"

#include "framework/app/NubraAppBase.h"
#include "framework/graphics/DDImage.h"
#include "framework/graphics/DDInterface.h"
#include "platform/Presenter.h"

#include <SDL.h>
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace Nubra;
using bench::kSprite;
using bench::Pixels;

constexpr int kWidth = 1024, kHeight = 768;
constexpr uint32_t kBackground = 0xFF406080;
const Color kWhite(255, 255, 255, 255);
const Color kTint(200, 160, 120, 255);
const Color kShade(0, 0, 0, 128); // a dimmed dialog background
const Color kGlow(40, 30, 20, 255);

enum class Op { Copy, Keyed, Run, Coloured, Additive, Fill, AdditiveFill };

// Sprites made of runs: about 40% transparent, 45% opaque and 15% edge pixels of partial alpha
// in runs of 1 to 4, over a colour gradient with noise.
Pixels TypicalSprite()
{
    std::mt19937 random(5);
    Pixels pixels;
    for (int y = 0; y < kSprite; ++y) {
        for (int x = 0; x < kSprite;) {
            const int pick = int(random() % 100);
            const bool edge = pick < 15, opaque = pick >= 55;
            const int length = edge ? 1 + int(random() % 4) : 8 + int(random() % 32);
            for (int k = 0; k < length && x < kSprite; ++k, ++x) {
                const uint32_t alpha = edge ? 1 + random() % 254 : opaque ? 255 : 0;
                const uint32_t noise = random() & 0x1F;
                pixels.push_back(alpha << 24 | (uint32_t(x) ^ noise) << 16 | uint32_t(y) << 8 | (0x80 + noise));
            }
        }
    }
    return pixels;
}

// Every pixel opaque, or (keyed) transparent or opaque.
Pixels Binary(const Pixels& pixels, bool keepTransparent)
{
    Pixels out;
    for (uint32_t p : pixels)
        out.push_back(keepTransparent && p >> 24 < 128 ? p & 0xFFFFFF : p | 0xFF000000);
    return out;
}

uint16_t To565(uint32_t p) { return uint16_t((p >> 8 & 0xF800) | (p >> 5 & 0x7E0) | (p >> 3 & 0x1F)); }

struct Case {
    std::string name;
    Op op;
    plat::PixelFormat format;
    const Pixels* sprite;
};

bool Is16(const Case& c) { return c.format.bitsPerPixel == 16; }
bool IsFill(Op op) { return op == Op::Fill || op == Op::AdditiveFill; }
int64_t PixelsPerDraw(const Case& c) { return IsFill(c.op) ? int64_t(kWidth) * kHeight : int64_t(kSprite) * kSprite; }

Rect Place(int64_t n) { return bench::GridPlace(n); }

// A destination's pixels as drawn.
struct View {
    const uint8_t* pixels;
    int pitch;
    int bytesPerPixel;

    uint32_t At(int x, int y) const
    {
        const uint8_t* p = pixels + size_t(y) * size_t(pitch) + size_t(x) * size_t(bytesPerPixel);
        return bytesPerPixel == 2 ? uint32_t(*reinterpret_cast<const uint16_t*>(p))
                                  : *reinterpret_cast<const uint32_t*>(p);
    }
};

// One implementation of a case: draws once into its own destination at a place.
class Drawer {
public:
    virtual ~Drawer() = default;
    virtual void Draw(const Rect& place) = 0;
    virtual View Destination() = 0;
};

class OurDrawer : public Drawer {
public:
    explicit OurDrawer(const Case& c) : op_(c.op)
    {
        app_.test3D = app_.autoEnable3D = false; // the software road only
        auto presenter = std::make_unique<plat::HeadlessPresenter>();
        presenter->desktop.format = c.format;
        display_ = std::make_unique<DDInterface>(&app_);
        display_->UsePresenter(std::move(presenter));
        display_->is3D = false;
        if (display_->Init(nullptr, true) != RESULT_OK) {
            std::fprintf(stderr, "no display: %s\n", display_->errorText.c_str());
            std::exit(1);
        }
        screen_ = display_->GetScreenImage();
        display_->drawSurface->Fill({0, 0, kWidth, kHeight}, Is16(c) ? To565(kBackground) : kBackground & 0xFFFFFF);
        sprite_ = std::make_unique<MemoryImage>(&app_);
        sprite_->SetBits(c.sprite->data(), kSprite, kSprite, true);
    }
    ~OurDrawer() override
    {
        sprite_.reset();
        display_.reset();
    }
    void Draw(const Rect& place) override
    {
        const Rect all(0, 0, kSprite, kSprite), screen(0, 0, kWidth, kHeight);
        switch (op_) {
        case Op::Copy:
        case Op::Keyed:
        case Op::Run: screen_->Blt(sprite_.get(), place.x, place.y, all, kWhite, DRAWMODE_NORMAL); break;
        case Op::Coloured: screen_->Blt(sprite_.get(), place.x, place.y, all, kTint, DRAWMODE_NORMAL); break;
        case Op::Additive: screen_->Blt(sprite_.get(), place.x, place.y, all, kWhite, DRAWMODE_ADDITIVE); break;
        case Op::Fill: screen_->FillRect(screen, kShade, DRAWMODE_NORMAL); break;
        case Op::AdditiveFill: screen_->FillRect(screen, kGlow, DRAWMODE_ADDITIVE); break;
        }
    }
    View Destination() override
    {
        plat::SurfaceLock lock;
        display_->drawSurface->Lock(&lock);
        display_->drawSurface->Unlock();
        return {lock.pixels, lock.pitch, lock.format.BytesPerPixel()};
    }

private:
    Op op_;
    NubraAppBase app_;
    std::unique_ptr<DDInterface> display_;
    std::unique_ptr<MemoryImage> sprite_;
    DDImage* screen_ = nullptr;
};

// A library's destination: the background in XRGB8888 or RGB565, rows without gaps.
class LibraryDrawer : public Drawer {
public:
    explicit LibraryDrawer(const Case& c) : op_(c.op), is16_(Is16(c))
    {
        if (is16_)
            dest16_.assign(size_t(kWidth) * kHeight, To565(kBackground));
        else
            dest32_.assign(size_t(kWidth) * kHeight, kBackground);
    }
    View Destination() override { return {Bytes(), Pitch(), is16_ ? 2 : 4}; }

protected:
    uint8_t* Bytes()
    {
        return is16_ ? reinterpret_cast<uint8_t*>(dest16_.data()) : reinterpret_cast<uint8_t*>(dest32_.data());
    }
    int Pitch() const { return kWidth * (is16_ ? 2 : 4); }

    const Op op_;
    const bool is16_;
    std::vector<uint32_t> dest32_;
    std::vector<uint16_t> dest16_;
};

pixman_color_t PixmanColor(const Color& c, bool premultiply)
{
    auto wide = [&](int v) {
        const int scaled = premultiply ? (v * c.alpha + 127) / 255 : v;
        return uint16_t(scaled << 8 | scaled);
    };
    return {wide(c.red), wide(c.green), wide(c.blue), uint16_t(c.alpha << 8 | c.alpha)};
}

class PixmanDrawer : public LibraryDrawer {
public:
    explicit PixmanDrawer(const Case& c) : LibraryDrawer(c)
    {
        dst_ = pixman_image_create_bits(is16_ ? PIXMAN_r5g6b5 : PIXMAN_x8r8g8b8, kWidth, kHeight,
                                        reinterpret_cast<uint32_t*>(Bytes()), Pitch());
        if (c.op == Op::Copy) {
            // The same format on both sides, as our copy road copies display-format words.
            if (is16_)
                for (uint32_t p : *c.sprite)
                    sprite16_.push_back(To565(p));
            else
                sprite32_ = *c.sprite;
            src_ = is16_ ? pixman_image_create_bits(PIXMAN_r5g6b5, kSprite, kSprite,
                                                    reinterpret_cast<uint32_t*>(sprite16_.data()), kSprite * 2)
                         : pixman_image_create_bits(PIXMAN_x8r8g8b8, kSprite, kSprite, sprite32_.data(), kSprite * 4);
        } else if (IsFill(c.op)) {
            const pixman_color_t colour = PixmanColor(c.op == Op::Fill ? kShade : kGlow, true);
            src_ = pixman_image_create_solid_fill(&colour);
        } else {
            sprite32_ = bench::Premultiplied(*c.sprite);
            src_ = pixman_image_create_bits(PIXMAN_a8r8g8b8, kSprite, kSprite, sprite32_.data(), kSprite * 4);
        }
        if (c.op == Op::Coloured) {
            const pixman_color_t tint = PixmanColor(kTint, false);
            mask_ = pixman_image_create_solid_fill(&tint);
            pixman_image_set_component_alpha(mask_, 1);
        }
    }
    ~PixmanDrawer() override
    {
        pixman_image_unref(dst_);
        pixman_image_unref(src_);
        if (mask_)
            pixman_image_unref(mask_);
    }
    void Draw(const Rect& place) override
    {
        const pixman_op_t op = op_ == Op::Copy                                     ? PIXMAN_OP_SRC
                               : op_ == Op::Additive || op_ == Op::AdditiveFill ? PIXMAN_OP_ADD
                                                                                  : PIXMAN_OP_OVER;
        if (IsFill(op_))
            pixman_image_composite32(op, src_, nullptr, dst_, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
        else
            pixman_image_composite32(op, src_, mask_, dst_, 0, 0, 0, 0, place.x, place.y, kSprite, kSprite);
    }

private:
    Pixels sprite32_;
    std::vector<uint16_t> sprite16_;
    pixman_image_t* dst_ = nullptr;
    pixman_image_t* src_ = nullptr;
    pixman_image_t* mask_ = nullptr;
};

// SDL2's surface blits, with or without its run-length acceleration; fills go through its
// software renderer, since surfaces fill only opaquely.
class SDLDrawer : public LibraryDrawer {
public:
    SDLDrawer(const Case& c, bool rle) : LibraryDrawer(c)
    {
        const Uint32 destFormat = is16_ ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_RGB888;
        dst_ = SDL_CreateRGBSurfaceWithFormatFrom(Bytes(), kWidth, kHeight, is16_ ? 16 : 32, Pitch(), destFormat);
        if (IsFill(c.op)) {
            renderer_ = SDL_CreateSoftwareRenderer(dst_);
            const Color& colour = c.op == Op::Fill ? kShade : kGlow;
            SDL_SetRenderDrawBlendMode(renderer_, c.op == Op::Fill ? SDL_BLENDMODE_BLEND : SDL_BLENDMODE_ADD);
            SDL_SetRenderDrawColor(renderer_, Uint8(colour.red), Uint8(colour.green), Uint8(colour.blue),
                                   Uint8(colour.alpha));
            return;
        }
        sprite_ = *c.sprite;
        SDL_Surface* argb = SDL_CreateRGBSurfaceWithFormatFrom(sprite_.data(), kSprite, kSprite, 32, kSprite * 4,
                                                               SDL_PIXELFORMAT_ARGB8888);
        if (c.op == Op::Copy || c.op == Op::Keyed) {
            // Converted to the destination's format first, as our copy road reads display words.
            if (c.op == Op::Keyed)
                for (uint32_t& p : sprite_)
                    p = p >> 24 ? p : 0xFFFF00FF; // the key: magenta
            src_ = SDL_ConvertSurfaceFormat(argb, destFormat, 0);
            SDL_FreeSurface(argb);
            if (c.op == Op::Keyed)
                SDL_SetColorKey(src_, SDL_TRUE, SDL_MapRGB(src_->format, 255, 0, 255));
        } else {
            src_ = argb;
            SDL_SetSurfaceBlendMode(src_, c.op == Op::Additive ? SDL_BLENDMODE_ADD : SDL_BLENDMODE_BLEND);
            if (c.op == Op::Coloured)
                SDL_SetSurfaceColorMod(src_, Uint8(kTint.red), Uint8(kTint.green), Uint8(kTint.blue));
        }
        SDL_SetSurfaceRLE(src_, rle ? 1 : 0);
    }
    ~SDLDrawer() override
    {
        if (renderer_)
            SDL_DestroyRenderer(renderer_);
        SDL_FreeSurface(src_);
        SDL_FreeSurface(dst_);
    }
    void Draw(const Rect& place) override
    {
        if (renderer_) {
            SDL_RenderFillRect(renderer_, nullptr);
            SDL_RenderFlush(renderer_);
            return;
        }
        SDL_Rect at{place.x, place.y, 0, 0};
        SDL_BlitSurface(src_, nullptr, dst_, &at);
    }

private:
    Pixels sprite_;
    SDL_Surface* dst_ = nullptr;
    SDL_Surface* src_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
};

using MakeDrawer = std::function<std::unique_ptr<Drawer>(const Case&)>;

// The libraries that do the work of a case: SDL's run-length road only for blits.
std::map<std::string, MakeDrawer> Libraries(const Case& c)
{
    std::map<std::string, MakeDrawer> libraries = {
        {"ours", [](const Case& k) { return std::make_unique<OurDrawer>(k); }},
    };
    const bool compared = c.format == plat::PixelFormat::XRGB8888() || c.format == plat::PixelFormat::RGB565();
    if (!compared)
        return libraries;
    libraries["pixman"] = [](const Case& k) { return std::make_unique<PixmanDrawer>(k); };
    libraries["sdl"] = [](const Case& k) { return std::make_unique<SDLDrawer>(k, false); };
    if (!IsFill(c.op))
        libraries["sdl_rle"] = [](const Case& k) { return std::make_unique<SDLDrawer>(k, true); };
    return libraries;
}

void RunCase(benchmark::State& state, const Case& c, const MakeDrawer& make)
{
    auto drawer = make(c);
    bench::RunDraws(
        state, PixelsPerDraw(c), [&](int64_t n) { drawer->Draw(Place(n)); },
        [&] { return drawer->Destination().pixels; });
}

// A pixel's channels widened to 8 bits, 0xRRGGBB.
uint32_t Channels8(uint32_t p, bool is16)
{
    if (!is16)
        return p & 0xFFFFFF;
    return (p >> 11 & 0x1F) << 19 | (p >> 5 & 0x3F) << 10 | (p & 0x1F) << 3;
}

// The largest difference of one colour channel between two destinations after one draw each.
int MaxChannelDifference(const Case& c, const MakeDrawer& ours, const MakeDrawer& theirs)
{
    auto a = ours(c), b = theirs(c);
    a->Draw(Place(0));
    b->Draw(Place(0));
    const View va = a->Destination(), vb = b->Destination();
    int worst = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const uint32_t pa = Channels8(va.At(x, y), Is16(c)), pb = Channels8(vb.At(x, y), Is16(c));
            for (int shift : {0, 8, 16})
                worst = std::max(worst, std::abs(int(pa >> shift & 0xFF) - int(pb >> shift & 0xFF)));
        }
    return worst;
}

// FNV-1a over the destination's pixels after one draw at the first place.
uint64_t Checksum(const Case& c)
{
    OurDrawer drawer(c);
    drawer.Draw(Place(0));
    const View view = drawer.Destination();
    uint64_t hash = 0xCBF29CE484222325ull;
    for (int y = 0; y < kHeight; ++y) {
        const uint8_t* row = view.pixels + size_t(y) * size_t(view.pitch);
        for (int i = 0; i < kWidth * view.bytesPerPixel; ++i)
            hash = (hash ^ row[i]) * 0x100000001B3ull;
    }
    return hash;
}

// The checksums of the unit-tested blitters; a change of pixels shows against them.
const std::map<std::string, uint64_t> kGolden = {
    {"run_typical_x888", 0x3ee9dd5ec8fc8e21ull},
    {"copy_opaque_x888", 0x1d37db68b168bd59ull},
    {"copy_keyed_x888", 0x9411c9e9a6002ec8ull},
    {"coloured_typical_x888", 0x942bc627bae69417ull},
    {"additive_typical_x888", 0xdc203a87589531d2ull},
    {"fill_translucent_x888", 0xfe450ff1c1a22325ull},
    {"fill_additive_x888", 0x757af519a1e22325ull},
    {"run_typical_565", 0x4ce47f68a73a5729ull},
    {"copy_opaque_565", 0x3acf36eb57072ab8ull},
    {"copy_keyed_565", 0x869ae0c9884d5940ull},
    {"coloured_typical_565", 0xf22af113d5e15271ull},
    {"additive_typical_565", 0x256cffcd4c17006aull},
    {"fill_translucent_565", 0xc8091adbbdb22325ull},
    {"fill_additive_565", 0x6ddeba0afeba2325ull},
    {"run_typical_xbgr", 0x76f830218d20020dull},
    {"run_typical_555", 0x7a8a70c5c67c0441ull},
    {"run_typical_bgr565", 0x9cc81f8ef4e39b63ull},
};

} // namespace

int main(int argc, char** argv)
{
    static const Pixels typical = TypicalSprite(), opaque = Binary(typical, false), keyed = Binary(typical, true);
    struct Format {
        const char* name;
        plat::PixelFormat format;
    };
    const Format formats[] = {{"x888", plat::PixelFormat::XRGB8888()}, {"565", plat::PixelFormat::RGB565()},
                              {"xbgr", plat::PixelFormat::XBGR8888()}, {"555", plat::PixelFormat::RGB555()},
                              {"bgr565", plat::PixelFormat::BGR565()}};
    static std::vector<Case> cases;
    for (const Format& f : formats) {
        const std::string at = std::string("_") + f.name;
        cases.push_back({"run_typical" + at, Op::Run, f.format, &typical});
        if (f.format != plat::PixelFormat::XRGB8888() && f.format != plat::PixelFormat::RGB565())
            continue;
        cases.push_back({"copy_opaque" + at, Op::Copy, f.format, &opaque});
        cases.push_back({"copy_keyed" + at, Op::Keyed, f.format, &keyed});
        cases.push_back({"coloured_typical" + at, Op::Coloured, f.format, &typical});
        cases.push_back({"additive_typical" + at, Op::Additive, f.format, &typical});
        cases.push_back({"fill_translucent" + at, Op::Fill, f.format, &typical});
        cases.push_back({"fill_additive" + at, Op::AdditiveFill, f.format, &typical});
    }
    for (const Case& c : cases)
        for (const auto& [library, make] : Libraries(c))
            benchmark::RegisterBenchmark((c.name + "/" + library).c_str(),
                                         [&c, make = make](benchmark::State& state) { RunCase(state, c, make); });

    benchmark::Initialize(&argc, argv);
    bench::RateReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    int status = 0;
    for (const Case& c : cases) {
        const auto mine = reporter.rates.find(c.name + "/ours");
        if (mine == reporter.rates.end())
            continue;
        const auto libraries = Libraries(c);
        for (const auto& [library, make] : libraries) {
            const auto theirs = reporter.rates.find(c.name + "/" + library);
            if (library == "ours" || theirs == reporter.rates.end())
                continue;
            const std::string comparison = c.name + "_vs_" + library;
            std::printf("ratio: %s %.2f\n", comparison.c_str(), mine->second / theirs->second);
            std::printf("maxdiff: %s %d\n", comparison.c_str(),
                        MaxChannelDifference(c, libraries.at("ours"), make));
        }
        const uint64_t hash = Checksum(c);
        const auto golden = kGolden.find(c.name);
        if (golden == kGolden.end()) {
            std::printf("checksum: %s %016llx new\n", c.name.c_str(), (unsigned long long)hash);
        } else if (golden->second != hash) {
            std::printf("checksum: %s %016llx CHANGED (was %016llx)\n", c.name.c_str(), (unsigned long long)hash,
                        (unsigned long long)golden->second);
            status = 1;
        } else {
            std::printf("checksum: %s %016llx ok\n", c.name.c_str(), (unsigned long long)hash);
        }
    }
    benchmark::Shutdown();
    return status;
}

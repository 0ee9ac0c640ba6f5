// Pixels per second of the software rasteriser's span fillers on fixed scenes, and the nearest
// equivalent work through pixman and SDL2's software renderer in the same run. Each comparison
// ends in a line "ratio: <case> <our rate / their rate>". Rates count the pixels our fillers
// cover, for every implementation, so a ratio compares times for the same picture.
//
// Case names are <scene>/<destination format>/<filler letters>/<input>[/<other implementation>]:
//   scenes: quad (a 256 x 256 image scaled to 512 x 512), rotated (the image turned 30 degrees),
//           small (2,000 triangles of 16-32 pixels, one call each), clipped (the 512 x 512 quad
//           half outside the clip rectangle);
//   inputs: the alpha of the texels, vertices or constant colour: skip (0), opaque (255),
//           blend (128), mixed (a fixed pattern of the three).
// pixman has no vertex colours: it draws the untextured cases as flat-colour triangles and none
// of the vertex-coloured textured ones. --csv keeps the rates in bench/results/RasterBench-<date>.csv.
#include "framework/raster/SWTri.h"
#include "framework/raster/SWTriFillers.h"
#include "framework/raster/SWTriFrame.h"
#include "framework/raster/SWTriVectorised.h"

#include <SDL.h>
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace Nubra;

namespace {

constexpr int kWidth = 1024, kHeight = 768, kImage = 256;
constexpr SWTri_Color kTint{230, 200, 170, 255};

enum class Scene { Quad, Rotated, Small, Clipped };
enum class Input { Skip, Opaque, Blend, Mixed };

const char* Name(Scene s)
{
    static const char* names[] = {"quad", "rotated", "small", "clipped"};
    return names[int(s)];
}
const char* Name(Input i)
{
    static const char* names[] = {"skip", "opaque", "blend", "mixed"};
    return names[int(i)];
}
const char* Name(SWTri_Format f)
{
    switch (f) {
    case SWTri_Format::ARGB8888: return "8888";
    case SWTri_Format::RGB888: return "888";
    case SWTri_Format::RGB565: return "565";
    default: return "555";
    }
}

uint32_t InputAlpha(Input input, int x, int y)
{
    static constexpr uint32_t kPattern[3] = {0, 255, 128};
    switch (input) {
    case Input::Skip: return 0;
    case Input::Opaque: return 255;
    case Input::Blend: return 128;
    default: return kPattern[((x >> 3) + (y >> 3)) % 3];
    }
}

// ---- the fillers ----------------------------------------------------------------------------

struct Filler {
    std::string letters;
    SWTri_Format format;
    bool T, A, V, C, B;

    std::string Case(Scene scene, Input input) const
    {
        return std::string(Name(scene)) + "/" + Name(format) + "/" + letters + "/" + Name(input);
    }
    // Where the constant colour alone decides the coverage, it carries the input's alpha.
    SWTri_Color Color(Input input) const
    {
        SWTri_Color c = C ? kTint : SWTri_Color::White;
        if (C && !A && !V)
            c.a = int32_t(InputAlpha(input, 0, 0));
        return c;
    }
    bool HasInputs() const { return A || V || C; }
};

std::vector<Filler> AllFillers()
{
    std::vector<Filler> out;
#define SWTRI_BENCH_FILLER(name, F, T, A, V, C, B)                                                                \
    {                                                                                                          \
        std::string letters = #name;                                                                           \
        letters = letters.substr(letters.find('_', 6) + 1);                                                    \
        out.push_back({letters.empty() ? "-" : letters, swtri::F, T, A, V, C, B});                             \
    }
    SWTRI_FILLERS(SWTRI_BENCH_FILLER)
#undef SWTRI_BENCH_FILLER
    // The opaque copy serves both 32-bit formats.
    for (const Filler& f : std::vector<Filler>(out))
        if (f.T && !f.A && !f.V && !f.C && f.format == SWTri_Format::ARGB8888)
            out.push_back({f.letters, SWTri_Format::RGB888, true, false, false, false, false});
    return out;
}

// ---- the work -------------------------------------------------------------------------------

class Texture : public SWTri_TextureSource {
public:
    Texture(Input input, bool alphaFlags) : alphaFlags_(alphaFlags), texels_(kImage * kImage)
    {
        for (int y = 0; y < kImage; ++y)
            for (int x = 0; x < kImage; ++x)
                texels_[size_t(y * kImage + x)] = InputAlpha(input, x, y) << 24 | uint32_t((x * 7) & 0xFF) << 16 |
                                                  uint32_t((y * 5) & 0xFF) << 8 | uint32_t((x ^ y) & 0xFF);
    }
    int32_t Width() const override { return kImage; }
    int32_t Height() const override { return kImage; }
    bool HasTransparency() const override { return alphaFlags_; }
    bool HasPartialAlpha() const override { return alphaFlags_; }
    void CommitBits() override {}
    const uint32_t* GetBits() override { return texels_.data(); }
    const std::vector<uint32_t>& Texels() const { return texels_; }

private:
    bool alphaFlags_;
    std::vector<uint32_t> texels_;
};

struct Placement {
    float m[6]; // image (x, y) to destination: (m0 x + m1 y + m2, m3 x + m4 y + m5)

    SWTri_Vertex Corner(float x, float y, uint32_t color) const
    {
        return {m[0] * x + m[1] * y + m[2] - 0.5f, m[3] * x + m[4] * y + m[5] - 0.5f, x / kImage, y / kImage, color};
    }
};

Placement PlacementOf(Scene scene)
{
    const float c = std::cos(float(M_PI) / 6), s = std::sin(float(M_PI) / 6);
    switch (scene) {
    case Scene::Rotated: return {{c, -s, 512 - 128 * c + 128 * s, s, c, 384 - 128 * s - 128 * c}};
    case Scene::Clipped: return {{2, 0, 768, 0, 2, 128}};
    default: return {{2, 0, 256, 0, 2, 128}};
    }
}

// The scene's triangles: one strip of 4, or (small) 2,000 separate triangles.
std::vector<SWTri_Vertex> Geometry(Scene scene, Input input)
{
    std::vector<SWTri_Vertex> v;
    if (scene != Scene::Small) {
        const Placement p = PlacementOf(scene);
        for (int i = 0; i < 4; ++i) {
            const float x = float((i & 1) * kImage), y = float((i >> 1) * kImage);
            v.push_back(p.Corner(x, y, InputAlpha(input, i * 8, 0) << 24 | 0xC0A080u));
        }
        return v;
    }
    uint32_t seed = 12345;
    auto next = [&] { return (seed = seed * 1103515245u + 12345u) >> 8; };
    for (int i = 0; i < 2000; ++i) {
        const float x = float(next() % (kWidth - 16)), y = float(next() % (kHeight - 16));
        const float size = 6.0f + float(next() % 3); // areas of about 18 to 32 pixels
        const float u = float(next() % 200) / kImage, t = float(next() % 200) / kImage, du = size / kImage;
        const uint32_t color = InputAlpha(input, i * 8, 0) << 24 | (next() & 0xFFFFFF);
        v.push_back({x, y, u, t, color});
        v.push_back({x + size, y + 1, u + du, t, color ^ 0x3F3F3F});
        v.push_back({x + 2, y + size, u, t + du, color ^ 0x7F007F});
    }
    return v;
}

struct Destination {
    explicit Destination(SWTri_Format format)
        : format(format), pitch(kWidth * SWTri_PixelSize(format)), bytes(size_t(pitch) * kHeight)
    {
    }
    void Refill()
    {
        if (SWTri_PixelSize(format) == 4) {
            auto* p = reinterpret_cast<uint32_t*>(bytes.data());
            std::fill(p, p + kWidth * kHeight, 0x80808080u);
        } else {
            auto* p = reinterpret_cast<uint16_t*>(bytes.data());
            std::fill(p, p + kWidth * kHeight, format == SWTri_Format::RGB565 ? 0x8410 : 0x4210);
        }
    }
    SWTri_Dest Dest() { return {bytes.data(), pitch, kWidth, kHeight, format}; }

    SWTri_Format format;
    int32_t pitch;
    std::vector<uint8_t> bytes;
};

void Draw(const Filler& f, Scene scene, Input input, const std::vector<SWTri_Vertex>& geometry, Texture* texture,
          Destination& dest, const SWTri_FillerTable& table = SWTri_Fillers())
{
    const SWTri_Rect clip{0, 0, kWidth, kHeight};
    const SWTri_Color color = f.Color(input);
    if (scene == Scene::Small) {
        for (size_t i = 0; i + 2 < geometry.size(); i += 3)
            SWTri_DrawTriangles(&geometry[i], 3, texture, color, 0, clip, dest.Dest(), f.B, f.V, table);
    } else {
        SWTri_DrawTriangles(geometry.data(), 4, texture, color, 0, clip, dest.Dest(), f.B, f.V, table);
    }
}

// Covered pixels, counted by the same frame through a table of counting fillers.
int64_t gCovered = 0;

template <int PixelSize>
struct CountingOp {
    static constexpr int kFirstWord = swtri::kWordU, kLastWord = swtri::kWordU, kPixelSize = PixelSize;
    static constexpr int32_t kUVBias = 0;
    void Spans(const swtri::Span* spans, int count, const int32_t*) const
    {
        for (int i = 0; i < count; ++i)
            gCovered += spans[i].n;
    }
};

template <int PixelSize>
void Count(const SWTri_FixedVertex* v, uint8_t* dest, int32_t pitch, const SWTri_TextureInfo*, const SWTri_ConstColor*)
{
    SWTri_RunFrame(v, dest, pitch, CountingOp<PixelSize>{});
}

int64_t CoveredPixels(const Filler& f, Scene scene, Input input)
{
    SWTri_FillerTable counting = SWTri_Fillers();
    for (SWTri_FillerFn& entry : counting)
        if (entry && entry != &SWTri_NoFill)
            entry = SWTri_PixelSize(f.format) == 4 ? &Count<4> : &Count<2>;
    Texture texture(input, f.A);
    Destination dest(f.format);
    gCovered = 0;
    Draw(f, scene, input, Geometry(scene, input), f.T ? &texture : nullptr, dest, counting);
    return gCovered;
}

void SetRate(benchmark::State& state, int64_t pixels)
{
    state.counters["px/s"] = benchmark::Counter(double(pixels), benchmark::Counter::kIsIterationInvariantRate);
}

void Ours(benchmark::State& state, Filler f, Scene scene, Input input)
{
    Texture texture(input, f.A);
    Destination dest(f.format);
    const std::vector<SWTri_Vertex> geometry = Geometry(scene, input);
    for (auto _ : state) {
        state.PauseTiming();
        dest.Refill();
        state.ResumeTiming();
        Draw(f, scene, input, geometry, f.T ? &texture : nullptr, dest);
        benchmark::ClobberMemory();
    }
    SetRate(state, CoveredPixels(f, scene, input));
}

// ---- pixman ---------------------------------------------------------------------------------

pixman_format_code_t PixmanFormat(SWTri_Format f)
{
    switch (f) {
    case SWTri_Format::ARGB8888: return PIXMAN_a8r8g8b8;
    case SWTri_Format::RGB888: return PIXMAN_x8r8g8b8;
    case SWTri_Format::RGB565: return PIXMAN_r5g6b5;
    default: return PIXMAN_x1r5g5b5;
    }
}

using PixmanImage = std::unique_ptr<pixman_image_t, decltype(&pixman_image_unref)>;

// Textured fillers as a transformed image composited over the destination; untextured ones as
// flat-colour triangles (pixman has no Gouraud shading).
void Pixman(benchmark::State& state, Filler f, Scene scene, Input input)
{
    Texture texture(input, f.A);
    std::vector<uint32_t> premultiplied(texture.Texels());
    for (uint32_t& t : premultiplied) {
        const uint32_t a = t >> 24;
        auto scale = [&](int shift) { return (((t >> shift) & 0xFF) * a / 255) << shift; };
        t = a << 24 | scale(16) | scale(8) | scale(0);
    }
    Destination dest(f.format);
    PixmanImage dst(pixman_image_create_bits(PixmanFormat(f.format), kWidth, kHeight,
                                             reinterpret_cast<uint32_t*>(dest.bytes.data()), dest.pitch),
                    pixman_image_unref);
    const SWTri_Color k = f.Color(input);
    pixman_color_t tint{uint16_t(k.r * 257), uint16_t(k.g * 257), uint16_t(k.b * 257), uint16_t(k.a * 257)};
    PixmanImage mask(f.C ? pixman_image_create_solid_fill(&tint) : nullptr, pixman_image_unref);
    if (mask)
        pixman_image_set_component_alpha(mask.get(), 1);
    const pixman_op_t op = f.A || f.C || f.V ? PIXMAN_OP_OVER : PIXMAN_OP_SRC;

    std::function<void()> draw;
    PixmanImage src(nullptr, pixman_image_unref);
    std::vector<pixman_triangle_t> triangles;
    if (f.T) {
        src.reset(pixman_image_create_bits(f.A ? PIXMAN_a8r8g8b8 : PIXMAN_x8r8g8b8, kImage, kImage,
                                           f.A ? premultiplied.data() : const_cast<uint32_t*>(texture.Texels().data()),
                                           kImage * 4));
        const Placement p = PlacementOf(scene);
        pixman_f_transform forward{{{p.m[0], p.m[1], p.m[2]}, {p.m[3], p.m[4], p.m[5]}, {0, 0, 1}}}, inverse;
        pixman_f_transform_invert(&inverse, &forward);
        pixman_transform_t transform;
        pixman_transform_from_pixman_f_transform(&transform, &inverse);
        pixman_image_set_transform(src.get(), &transform);
        pixman_image_set_filter(src.get(), f.B ? PIXMAN_FILTER_BILINEAR : PIXMAN_FILTER_NEAREST, nullptr, 0);
        pixman_box16_t box{0, 0, kImage, kImage};
        pixman_f_transform_bounds(&forward, &box);
        const int x0 = std::max<int>(box.x1, 0), y0 = std::max<int>(box.y1, 0);
        const int x1 = std::min<int>(box.x2, kWidth), y1 = std::min<int>(box.y2, kHeight);
        draw = [&, x0, y0, x1, y1] {
            pixman_image_composite32(op, src.get(), mask.get(), dst.get(), x0, y0, 0, 0, x0, y0, x1 - x0, y1 - y0);
        };
    } else {
        pixman_color_t solid{0xC0C0, 0xA0A0, 0x8080, uint16_t(InputAlpha(input, 0, 0) * 257)};
        src.reset(pixman_image_create_solid_fill(&solid));
        const std::vector<SWTri_Vertex> g = Geometry(scene, input);
        auto point = [](const SWTri_Vertex& v) {
            return pixman_point_fixed_t{pixman_double_to_fixed(v.x), pixman_double_to_fixed(v.y)};
        };
        for (size_t i = 0; i + 2 < g.size(); i += scene == Scene::Small ? 3 : 1)
            triangles.push_back({point(g[i]), point(g[i + 1]), point(g[i + 2])});
        draw = [&] {
            pixman_composite_triangles(PIXMAN_OP_OVER, src.get(), dst.get(), PIXMAN_a1, 0, 0, 0, 0,
                                       int(triangles.size()), triangles.data());
        };
    }
    for (auto _ : state) {
        state.PauseTiming();
        dest.Refill();
        state.ResumeTiming();
        draw();
        benchmark::ClobberMemory();
    }
    SetRate(state, CoveredPixels(f, scene, input));
}

// ---- SDL2 software renderer -----------------------------------------------------------------

uint32_t SdlFormat(SWTri_Format f)
{
    switch (f) {
    case SWTri_Format::ARGB8888: return SDL_PIXELFORMAT_ARGB8888;
    case SWTri_Format::RGB888: return SDL_PIXELFORMAT_RGB888;
    case SWTri_Format::RGB565: return SDL_PIXELFORMAT_RGB565;
    default: return SDL_PIXELFORMAT_RGB555;
    }
}

// SDL_RenderGeometry on a software renderer over the destination; SDL samples the nearest texel
// whatever the scale mode, and places pixel centres half a pixel further on.
void Sdl(benchmark::State& state, Filler f, Scene scene, Input input)
{
    Texture texture(input, f.A);
    Destination dest(f.format);
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(dest.bytes.data(), kWidth, kHeight,
                                                              SWTri_PixelSize(f.format) * 8, dest.pitch,
                                                              SdlFormat(f.format));
    SDL_Renderer* renderer = SDL_CreateSoftwareRenderer(surface);
    SDL_Texture* tex = nullptr;
    if (f.T) {
        tex = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, kImage, kImage);
        SDL_UpdateTexture(tex, nullptr, texture.Texels().data(), kImage * 4);
        SDL_SetTextureBlendMode(tex, f.A ? SDL_BLENDMODE_BLEND : SDL_BLENDMODE_NONE);
        SDL_SetTextureScaleMode(tex, f.B ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
    }
    const SWTri_Color k = f.Color(input);
    std::vector<SDL_Vertex> vertices;
    std::vector<int> indices;
    const std::vector<SWTri_Vertex> g = Geometry(scene, input);
    for (const SWTri_Vertex& v : g) {
        const uint32_t c = f.V ? v.color : 0xFFFFFFFFu;
        vertices.push_back({{v.x + 0.5f, v.y + 0.5f},
                            {Uint8(((c >> 16) & 0xFF) * uint32_t(k.r) / 255), Uint8(((c >> 8) & 0xFF) * uint32_t(k.g) / 255),
                             Uint8((c & 0xFF) * uint32_t(k.b) / 255), Uint8((c >> 24) * uint32_t(k.a) / 255)},
                            {v.u, v.v}});
    }
    if (scene == Scene::Small) {
        for (int i = 0; i < int(g.size()); ++i)
            indices.push_back(i);
    } else {
        indices = {0, 1, 2, 1, 3, 2};
    }
    if (!f.T)
        SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_BLEND);
    for (auto _ : state) {
        state.PauseTiming();
        dest.Refill();
        state.ResumeTiming();
        SDL_RenderGeometry(renderer, tex, vertices.data(), int(vertices.size()), indices.data(), int(indices.size()));
        SDL_RenderFlush(renderer);
    }
    SetRate(state, CoveredPixels(f, scene, input));
    if (tex)
        SDL_DestroyTexture(tex);
    SDL_DestroyRenderer(renderer);
    SDL_FreeSurface(surface);
}

// ---- registration and the ratio lines -------------------------------------------------------

// Which of our cases the other libraries draw too.
bool PixmanDraws(const Filler& f, Scene scene) { return !f.V || (!f.T && scene != Scene::Clipped); }
bool SdlDraws(const Filler& f, Scene scene)
{
    // SDL turns axis-aligned quads into copies, so only the turned and the small triangles.
    return (scene == Scene::Rotated || scene == Scene::Small) && (f.T || f.V);
}

void RegisterAll()
{
    for (const Filler& f : AllFillers()) {
        for (Scene scene : {Scene::Quad, Scene::Rotated, Scene::Small, Scene::Clipped}) {
            for (Input input : {Input::Skip, Input::Opaque, Input::Blend, Input::Mixed}) {
                if (!f.HasInputs() && input != Input::Opaque)
                    continue;
                const std::string name = f.Case(scene, input);
                benchmark::RegisterBenchmark(name.c_str(), Ours, f, scene, input);
                if (PixmanDraws(f, scene) && !(scene == Scene::Small && f.T))
                    benchmark::RegisterBenchmark((name + "/pixman").c_str(), Pixman, f, scene, input);
                if (SdlDraws(f, scene))
                    benchmark::RegisterBenchmark((name + "/sdl").c_str(), Sdl, f, scene, input);
            }
        }
    }
}

bool IsOtherLibrary(const std::string& name) { return name == "pixman" || name == "sdl"; }

// Keeps each case's rate (the median where repetitions give one) while printing as usual.
class RateCollector : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            const auto rate = run.counters.find("px/s");
            if (rate == run.counters.end() || run.error_occurred)
                continue;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (median || (run.run_type == Run::RT_Iteration && !medians_.count(run.run_name.function_name)))
                rates_[run.run_name.function_name] = rate->second.value;
            if (median)
                medians_[run.run_name.function_name] = true;
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void PrintRatios() const
    {
        for (const auto& [name, rate] : rates_) {
            const size_t slash = name.rfind('/');
            if (!IsOtherLibrary(name.substr(slash + 1)))
                continue;
            const auto ours = rates_.find(name.substr(0, slash));
            if (ours != rates_.end() && rate > 0)
                std::printf("ratio: %s %.2f\n", name.c_str(), ours->second / rate);
        }
    }

    // One row per case of ours: our rate, the other libraries' rates and our rate over theirs.
    bool WriteCsv(const std::string& path) const
    {
        std::FILE* file = std::fopen(path.c_str(), "w");
        if (!file)
            return false;
        std::fprintf(file, "case,ours_px_per_s,pixman_px_per_s,sdl_px_per_s,ours_over_pixman,ours_over_sdl\n");
        for (const auto& [name, ours] : rates_) {
            if (IsOtherLibrary(name.substr(name.rfind('/') + 1)))
                continue;
            std::fprintf(file, "%s,%.0f", name.c_str(), ours);
            std::string ratios;
            for (const char* library : {"pixman", "sdl"}) {
                const auto theirs = rates_.find(name + "/" + library);
                const bool known = theirs != rates_.end() && theirs->second > 0;
                std::fprintf(file, ",%s", known ? std::to_string(std::llround(theirs->second)).c_str() : "");
                char ratio[32] = "";
                if (known)
                    std::snprintf(ratio, sizeof ratio, "%.2f", ours / theirs->second);
                ratios += std::string(",") + ratio;
            }
            std::fprintf(file, "%s\n", ratios.c_str());
        }
        return std::fclose(file) == 0;
    }

private:
    std::map<std::string, double> rates_;
    std::map<std::string, bool> medians_;
};

// --csv writes the rates to bench/results/RasterBench-<date>.csv, --csv=<file> elsewhere.
std::string TakeCsvArgument(int& argc, char** argv)
{
    std::string path;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--csv") {
            char date[16];
            const std::time_t now = std::time(nullptr);
            std::strftime(date, sizeof date, "%Y-%m-%d", std::localtime(&now));
            path = std::string(NUBRA_BENCH_RESULTS) + "/RasterBench-" + date + ".csv";
        } else if (arg.rfind("--csv=", 0) == 0) {
            path = arg.substr(6);
        } else {
            argv[kept++] = argv[i];
        }
    }
    argc = kept;
    return path;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string csv = TakeCsvArgument(argc, argv);
    RegisterAll();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RateCollector reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    if (!csv.empty() && !reporter.WriteCsv(csv)) {
        std::fprintf(stderr, "could not write %s\n", csv.c_str());
        return 1;
    }
    return 0;
}

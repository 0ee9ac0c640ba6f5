// The graphics card test's scenes: drawn into an off-screen target, read back and compared.
#include "framework/graphics/D3DTester.h"

#include "platform/Gpu.h"

#include <vector>

namespace Nubra {

namespace {

constexpr int kTargetSize = 100;
constexpr int kTextureSize = 64;
constexpr uint32_t kOpaqueBlack = 0xFF000000;
constexpr uint32_t kWhite = 0xFFFFFFFF;
// The clip test draws from (-2, -2); this much of the top left must show the pattern.
constexpr int kClipOffset = -2;
constexpr int kClipArea = kTextureSize + kClipOffset;

uint16_t ToARGB4444(uint32_t argb)
{
    return uint16_t(((argb >> 16) & 0xF000) | ((argb >> 12) & 0x0F00) | ((argb >> 8) & 0x00F0) | ((argb >> 4) & 0x000F));
}

D3DTestImage Filled(uint32_t color)
{
    D3DTestImage image;
    image.Create(kTextureSize, kTextureSize);
    image.FillRect(0, 0, kTextureSize, kTextureSize, color);
    return image;
}

} // namespace

// Background drawn first, then the foreground with the test's blending; colours 0xAARRGGBB.
struct D3DTester::BlendTest {
    plat::GpuBlend blend;
    uint32_t background;
    uint32_t foreground;
    uint32_t foregroundVertexColor;
    uint32_t expected; // red, green and blue
    const char* notUniform;
    const char* wrong;
};

void D3DTester::CreateTarget()
{
    target_ = gpu_->CreateTarget(kTargetSize, kTargetSize);
    Step(target_ != nullptr, "CreateSurface (Primary)");
    readBack.Create(kTargetSize, kTargetSize);
    Step(gpu_->SetTarget(target_.get()), "CreateDevice");
}

void D3DTester::CreateTextures()
{
    const plat::GpuFormat format = textures32Bit_ ? plat::GpuFormat::ARGB8888 : plat::GpuFormat::ARGB4444;
    texture1_ = gpu_->CreateTexture(format, kTextureSize, kTextureSize);
    Step(texture1_ && gpu_->SetLinear(*texture1_, false), "CreateSurface (TextureSurface1)");
    texture2_ = gpu_->CreateTexture(format, kTextureSize, kTextureSize);
    Step(texture2_ && gpu_->SetLinear(*texture2_, false), "CreateSurface (TextureSurfacd2)");
}

bool D3DTester::RunRenderTests()
{
    static const BlendTest kBlendTests[] = {
        {plat::GpuBlend::Blend, 0xFF0000FF, 0x80FF0000, kWhite, 0x7F007F, "Alpha blend test not uniform.",
         "Alpha blend Not Supported"},
        {plat::GpuBlend::Sum, 0xFF404040, 0xFF404040, kWhite, 0x808080, "Additive blend test not uniform.",
         "Additive blend not supported."},
        {plat::GpuBlend::Add, 0xFF404040, 0x80808080, kWhite, 0x808080, "AlphaAdd blend test not uniform.",
         "AlphaAdd blend not supported."},
        {plat::GpuBlend::Blend, 0xFF0000FF, 0xFFFF0000, 0x80FFFFFF, 0x7F007F,
         "AlphaModulated blend test not uniform.", "AlphaModulated blend not supported."},
    };
    for (const BlendTest& test : kBlendTests)
        if (!RunBlendTest(test))
            return false;
    return RunClipTest();
}

bool D3DTester::RunBlendTest(const BlendTest& test)
{
    try {
        ClearTarget();
        if (!gpu_->SupportsBlend(test.blend))
            return SetFailure(test.wrong);
        FillTexture(*texture1_, Filled(test.background));
        DrawTexture(*texture1_, 0, 0, test.blend, kWhite);
        FillTexture(*texture2_, Filled(test.foreground));
        DrawTexture(*texture2_, 0, 0, test.blend, test.foregroundVertexColor);
        ReadTarget();
        return CompareResult(test.expected, test.notUniform, test.wrong);
    } catch (const TestException& error) {
        return SetFailure(error.what());
    }
}

// A quad that starts off the target must be cut at its edge, not shifted or stretched.
bool D3DTester::RunClipTest()
{
    try {
        ClearTarget();
        D3DTestImage pattern;
        pattern.Create(kTextureSize, kTextureSize);
        pattern.DrawVerticalLinePattern();
        FillTexture(*texture1_, pattern);
        DrawTexture(*texture1_, kClipOffset, kClipOffset, plat::GpuBlend::Blend, kWhite);
        ReadTarget();
        if (readBack.CountMismatches(pattern, kClipArea, kClipArea) > 0)
            return SetWarning("Clip problem detected.");
        return true;
    } catch (const TestException& error) {
        return SetFailure(error.what());
    }
}

void D3DTester::ClearTarget()
{
    Step(gpu_->SetTarget(target_.get()), "SetRenderTarget");
    Step(gpu_->Clear(kOpaqueBlack), "Clear");
}

void D3DTester::FillTexture(plat::GpuTexture& texture, const D3DTestImage& pixels)
{
    bool uploaded;
    if (textures32Bit_) {
        uploaded = gpu_->Upload(texture, pixels.bits.data(), pixels.width * 4);
    } else {
        std::vector<uint16_t> texels;
        for (uint32_t pixel : pixels.bits)
            texels.push_back(ToARGB4444(pixel));
        uploaded = gpu_->Upload(texture, texels.data(), pixels.width * 2);
    }
    Step(uploaded, "Lock Texture");
}

// Tiles of the texture from (x, y) on, as far as the target reaches. Corners lie on whole pixels:
// the renderer samples at pixel centres, so each pixel takes its own texel.
void D3DTester::DrawTexture(plat::GpuTexture& texture, int x, int y, plat::GpuBlend blend, uint32_t vertexColor)
{
    std::vector<plat::GpuVertex> corners;
    std::vector<int> indices;
    auto corner = [&](int cx, int cy, float u, float v) {
        plat::GpuVertex vertex;
        vertex.x = float(cx);
        vertex.y = float(cy);
        vertex.a = uint8_t(vertexColor >> 24);
        vertex.r = uint8_t(vertexColor >> 16);
        vertex.g = uint8_t(vertexColor >> 8);
        vertex.b = uint8_t(vertexColor);
        vertex.u = u;
        vertex.v = v;
        corners.push_back(vertex);
    };
    for (int top = y; top < kTargetSize; top += kTextureSize) {
        for (int left = x; left < kTargetSize; left += kTextureSize) {
            const int first = int(corners.size());
            corner(left, top, 0.0f, 0.0f);
            corner(left + kTextureSize, top, 1.0f, 0.0f);
            corner(left, top + kTextureSize, 0.0f, 1.0f);
            corner(left + kTextureSize, top + kTextureSize, 1.0f, 1.0f);
            for (int index : {0, 1, 2, 1, 3, 2})
                indices.push_back(first + index);
        }
    }
    Step(gpu_->DrawGeometry(&texture, corners.data(), int(corners.size()), indices.data(), int(indices.size()), blend),
         "DrawPrimitive");
}

void D3DTester::ReadTarget()
{
    Step(gpu_->ReadPixels({0, 0, kTargetSize, kTargetSize}, readBack.Bits(), kTargetSize * 4), "CopyPrimary Lock");
    for (uint32_t& pixel : readBack.bits)
        pixel &= 0xFFFFFF;
}

} // namespace Nubra

#include "platform/RecordingGpu.h"

#include <cstring>

namespace plat {

namespace {

int BytesPerTexel(GpuFormat format) { return format == GpuFormat::ARGB8888 ? 4 : 2; }

std::string RectText(const PixelRect& r)
{
    return std::to_string(r.x) + "," + std::to_string(r.y) + "," + std::to_string(r.width) + ","
           + std::to_string(r.height);
}

int TextureId(const GpuTexture* texture)
{
    return texture ? static_cast<const RecordingGpu::Texture*>(texture)->id : 0;
}

} // namespace

RecordingGpu::Texture::~Texture() { --gpu_.texturesAlive; }

bool RecordingGpu::Note(const std::string& call)
{
    calls.push_back(call);
    if (!failing.empty() && call.rfind(failing, 0) == 0) {
        error = failing + ": refused";
        return false;
    }
    return true;
}

std::unique_ptr<GpuTexture> RecordingGpu::CreateTexture(GpuFormat format, int width, int height)
{
    if (!Note("CreateTexture " + std::to_string(width) + "x" + std::to_string(height)))
        return nullptr;
    ++texturesAlive;
    return std::make_unique<Texture>(*this, ++texturesMade, width, height, format, false);
}

std::unique_ptr<GpuTexture> RecordingGpu::CreateTarget(int width, int height)
{
    if (!Note("CreateTarget " + std::to_string(width) + "x" + std::to_string(height)))
        return nullptr;
    ++texturesAlive;
    return std::make_unique<Texture>(*this, ++texturesMade, width, height, GpuFormat::ARGB8888, true);
}

bool RecordingGpu::Upload(GpuTexture& texture, const void* pixels, int pitch)
{
    auto& recorded = static_cast<Texture&>(texture);
    if (!Note("Upload " + std::to_string(recorded.id)))
        return false;
    const size_t rowBytes = size_t(texture.width) * size_t(BytesPerTexel(texture.format));
    recorded.texels.resize(rowBytes * size_t(texture.height));
    for (int y = 0; y < texture.height; ++y)
        std::memcpy(&recorded.texels[size_t(y) * rowBytes], static_cast<const uint8_t*>(pixels) + size_t(y) * size_t(pitch),
                    rowBytes);
    ++recorded.uploads;
    return true;
}

bool RecordingGpu::SetLinear(GpuTexture& texture, bool linear)
{
    static_cast<Texture&>(texture).linear = linear;
    return Note(std::string("SetLinear ") + std::to_string(TextureId(&texture)) + (linear ? " linear" : " nearest"));
}

bool RecordingGpu::SetTarget(GpuTexture* target) { return Note("SetTarget " + std::to_string(TextureId(target))); }

bool RecordingGpu::SetViewport(const PixelRect& rect) { return Note("SetViewport " + RectText(rect)); }

bool RecordingGpu::Clear(uint32_t argb) { return Note("Clear " + std::to_string(argb)); }

bool RecordingGpu::DrawGeometry(GpuTexture* texture, const GpuVertex* vertices, int, const int* indices,
                                int indexCount, GpuBlend blend)
{
    if (!Note("DrawGeometry " + std::to_string(TextureId(texture)) + " " + std::to_string(indexCount / 3)))
        return false;
    Draw draw{TextureId(texture), blend, {}};
    for (int i = 0; i < indexCount; ++i)
        draw.corners.push_back(vertices[indices[i]]);
    draws.push_back(std::move(draw));
    return true;
}

bool RecordingGpu::DrawLines(const GpuPoint*, int count, uint32_t, GpuBlend)
{
    return Note("DrawLines " + std::to_string(count));
}

bool RecordingGpu::Copy(GpuTexture& texture, const PixelRect& from, const PixelRect& to, GpuBlend)
{
    return Note("Copy " + std::to_string(TextureId(&texture)) + " " + RectText(from) + " " + RectText(to));
}

bool RecordingGpu::ReadPixels(const PixelRect& rect, uint32_t* argb, int pitch)
{
    for (int y = 0; y < rect.height; ++y)
        std::memset(reinterpret_cast<uint8_t*>(argb) + size_t(y) * size_t(pitch), 0, size_t(rect.width) * 4);
    return Note("ReadPixels " + RectText(rect));
}

bool RecordingGpu::Present(GpuTexture& frame, const PixelRect& from, const PixelRect& to, int, int)
{
    ++presents;
    return Note("Present " + std::to_string(TextureId(&frame)) + " " + RectText(from) + " " + RectText(to));
}

GpuResets RecordingGpu::TakeResets()
{
    GpuResets taken = pendingResets;
    pendingResets = {};
    return taken;
}

} // namespace plat

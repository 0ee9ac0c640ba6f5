#pragma once
#include "platform/Gpu.h"

#include <functional>
#include <string>
#include <vector>

namespace plat {

// A Gpu that draws nothing and writes down what it is asked, for tests. Textures are numbered
// from 1 in the order they are made; each keeps its last upload.
class RecordingGpu : public Gpu {
public:
    class Texture : public GpuTexture {
    public:
        Texture(RecordingGpu& gpu, int id, int width, int height, GpuFormat format, bool target)
            : GpuTexture(width, height, format, target), id(id), gpu_(gpu)
        {
        }
        ~Texture() override;

        const int id;
        std::vector<uint8_t> texels; // the last upload, rows packed
        int uploads = 0;
        bool linear = false;

    private:
        RecordingGpu& gpu_;
    };

    // One DrawGeometry call, its triangles spelt out as vertex triples.
    struct Draw {
        int texture = 0; // 0 untextured
        GpuBlend blend = GpuBlend::Blend;
        std::vector<GpuVertex> corners; // three per triangle
    };

    GpuInfo Info() override { return info; }
    std::string DriverString(GpuString) override { return info.name; }
    std::unique_ptr<GpuTexture> CreateTexture(GpuFormat format, int width, int height) override;
    std::unique_ptr<GpuTexture> CreateTarget(int width, int height) override;
    bool Upload(GpuTexture& texture, const void* pixels, int pitch) override;
    bool SetLinear(GpuTexture& texture, bool linear) override;
    bool SupportsBlend(GpuBlend blend) override
    {
        return (blend != GpuBlend::MultiplyDestAlpha && blend != GpuBlend::Sum) || customBlends;
    }
    bool SetTarget(GpuTexture* target) override;
    bool SetViewport(const PixelRect& rect) override;
    bool Clear(uint32_t argb) override;
    bool DrawGeometry(GpuTexture* texture, const GpuVertex* vertices, int vertexCount, const int* indices,
                      int indexCount, GpuBlend blend) override;
    bool DrawLines(const GpuPoint* points, int count, uint32_t argb, GpuBlend blend) override;
    bool Copy(GpuTexture& texture, const PixelRect& from, const PixelRect& to, GpuBlend blend) override;
    bool ReadPixels(const PixelRect& rect, uint32_t* argb, int pitch) override;
    bool Flush() override { return Note("Flush"); }
    bool Present(GpuTexture& frame, const PixelRect& from, const PixelRect& to, int displayWidth,
                 int displayHeight) override;
    GpuResets TakeResets() override;
    const std::string& Error() const override { return error; }

    GpuInfo info{"recording", true, true, 2048, 2048, {GpuFormat::ARGB8888, GpuFormat::ARGB4444, GpuFormat::RGB565}};
    bool customBlends = true;
    // The call whose name starts with this fails (with error "<name>: refused").
    std::string failing;
    GpuResets pendingResets;

    std::vector<std::string> calls; // one line per call
    std::vector<Draw> draws;
    int texturesMade = 0;
    int texturesAlive = 0;
    int presents = 0;
    std::string error;

private:
    bool Note(const std::string& call);
};

} // namespace plat

#include "framework/graphics/DDImage.h"

#include "framework/app/NubraAppBase.h" // the display's owner is the images' host
#include "framework/graphics/D3DInterface.h"
#include "framework/graphics/DDInterface.h"
#include "framework/raster/SWTriTypes.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <vector>

namespace Nubra {

namespace {

// Moves the top `bits` of an 8-bit channel (whose lowest bit is at `low`) to `shift`.
uint32_t ChannelToSurface(uint32_t argb, int low, int bits, int shift, uint32_t mask)
{
    int right = low + 8 - bits;
    uint32_t value = right >= 0 ? argb >> right : argb << -right;
    return (value << shift) & mask;
}

// The first value of `count` that no used entry holds (the key search); 0 when all are used.
uint32_t FirstUnused(const std::vector<bool>& used)
{
    auto it = std::find(used.begin(), used.end(), false);
    return it == used.end() ? 0 : uint32_t(it - used.begin());
}

} // namespace

DDImage::DDImage(DDInterface* display) : MemoryImage(display->app), display(display) { display->AddDDImage(this); }

DDImage::~DDImage()
{
    surface.reset();
    if (display)
        display->RemoveDDImage(this);
}

void DDImage::DetachDisplay()
{
    if (!adopted)
        DeleteDDSurface();
    surface.reset();
    lockCount = 0;
    drawToBits = true;
    display = nullptr;
}

bool DDImage::Check3D() { return display && display->is3D && surface && surface == display->drawSurface; }

plat::Surface* DDImage::GetSurface()
{
    if (!surface)
        GenerateDDSurface();
    return surface.get();
}

uint32_t DDImage::ToSurfacePixel(uint32_t argb, const plat::PixelFormat& format) const
{
    const DDInterface& d = *display;
    return ChannelToSurface(argb, 16, d.redBits, d.redShift, format.redMask)
           | ChannelToSurface(argb, 8, d.greenBits, d.greenShift, format.greenMask)
           | ChannelToSurface(argb, 0, d.blueBits, d.blueShift, format.blueMask);
}

bool DDImage::GenerateDDSurface()
{
    if (surface)
        return true;
    CommitBits();
    if (hasAlpha || !display)
        return false; // only opaque or colour-keyed pictures go on surfaces
    wantsDDSurface = true;
    if (colorTable)
        GetBits();

    AutoCrit lock(display->critSect);
    std::shared_ptr<plat::Surface> made = display->CreateSurface(width, height, wantsVideoMemory);
    plat::SurfaceLock pixels;
    if (!made || !made->Lock(&pixels))
        return false;
    const uint32_t* picture = PixelTotal() > 0 ? GetBits() : nullptr;
    const int bpp = pixels.format.bitsPerPixel;
    if (picture && (bpp == 16 || bpp == 32)) {
        std::vector<uint32_t> converted(PixelTotal());
        for (size_t i = 0; i < converted.size(); ++i)
            converted[i] = ToSurfacePixel(picture[i], pixels.format);
        if (hasTrans) {
            uint32_t key = ChooseColorKey(picture, converted, bpp);
            made->SetColorKey(key);
            if (!firstPixelIsColorKey)
                for (size_t i = 0; i < converted.size(); ++i)
                    if (picture[i] >> 24 != 255)
                        converted[i] = key;
        }
        WriteSurfaceRows(pixels, converted);
    }
    made->Unlock();
    if (bpp != 16 && bpp != 32)
        return false;
    made->videoMemory = wantsVideoMemory;
    surface = std::move(made);
    return true;
}

uint32_t DDImage::ChooseColorKey(const uint32_t* picture, const std::vector<uint32_t>& converted, int bpp) const
{
    if (firstPixelIsColorKey)
        return converted[0];
    // The key is the first see-through pixel's colour, unless a visible pixel has it too.
    const uint32_t colorBits = bpp == 16 ? 0xFFFF : 0xFFFFFF;
    size_t firstClear = 0;
    while (firstClear < converted.size() && picture[firstClear] >> 24 == 255)
        ++firstClear;
    const uint32_t candidate = converted[std::min(firstClear, converted.size() - 1)];
    bool clash = false;
    for (size_t i = 0; i < converted.size() && !clash; ++i)
        clash = picture[i] >> 24 == 255 && (converted[i] & colorBits) == (candidate & colorBits);
    if (!clash)
        return candidate;
    std::vector<bool> used(size_t(colorBits) + 1);
    for (size_t i = 0; i < converted.size(); ++i)
        if (picture[i] >> 24 != 0)
            used[converted[i] & colorBits] = true;
    return FirstUnused(used);
}

void DDImage::WriteSurfaceRows(const plat::SurfaceLock& pixels, const std::vector<uint32_t>& converted) const
{
    for (int y = 0; y < height; ++y) {
        uint8_t* row = pixels.pixels + size_t(y) * size_t(pixels.pitch);
        const uint32_t* in = converted.data() + size_t(y) * size_t(width);
        if (pixels.format.bitsPerPixel == 16) {
            auto* out = reinterpret_cast<uint16_t*>(row);
            for (int x = 0; x < width; ++x)
                out[x] = uint16_t(in[x]);
        } else {
            std::copy_n(in, width, reinterpret_cast<uint32_t*>(row));
        }
    }
}

bool DDImage::GenerateDDSurfaceColorKeyed()
{
    if (!GenerateDDSurface())
        return false;
    if (videoMemoryWriteOnly || !hasTrans || !firstPixelIsColorKey)
        return true;
    // The key is what the surface holds in its first pixel.
    surface->SetColorKey(surface->PixelAt(0, 0));
    return true;
}

void DDImage::DeleteDDSurface()
{
    if (!surface)
        return;
    if (!bits && !colorTable && !d3dData)
        GetBits();
    surface.reset();
}

void DDImage::DeleteExtraBuffers()
{
    bits.reset();
    nativeAlphaData.reset();
    rlAlphaData.reset();
    rlAdditiveData.reset();
    colorTable.reset();
    colorIndices.reset();
}

bool DDImage::LockSurface()
{
    if (Check3D())
        return false;
    if (lockCount == 0) {
        surfaceDesc = plat::SurfaceLock();
        plat::Surface* target = GetSurface();
        if (!target || !target->Lock(&surfaceDesc))
            return false;
    }
    ++lockCount;
    return true;
}

bool DDImage::UnlockSurface()
{
    if (Check3D())
        return false;
    if (lockCount > 0 && --lockCount == 0 && surface)
        surface->Unlock();
    return true;
}

bool DDImage::SetSurface(std::shared_ptr<plat::Surface> newSurface)
{
    adopted = true;
    surface = std::move(newSurface);
    if (!surface)
        return false;
    width = surface->Width();
    height = surface->Height();
    videoMemoryWriteOnly = false;
    return true;
}

void DDImage::SetVideoMemory(bool flag)
{
    if (flag == wantsVideoMemory)
        return;
    wantsVideoMemory = flag;
    GetBits();
    DeleteDDSurface();
}

bool DDImage::RasterDest(SWTri_Dest* out) const
{
    const plat::PixelFormat& f = surfaceDesc.format;
    SWTri_Format format;
    if (f.bitsPerPixel == 32)
        format = SWTri_Format::RGB888;
    else if (f == plat::PixelFormat::RGB565())
        format = SWTri_Format::RGB565;
    else if (f == plat::PixelFormat::RGB555())
        format = SWTri_Format::RGB555;
    else
        return false;
    *out = SWTri_Dest{surfaceDesc.pixels, surfaceDesc.pitch, width, height, format};
    return true;
}

void DDImage::BitsChanged()
{
    MemoryImage::BitsChanged();
    if (!adopted)
        surface.reset(); // the surface holds the old picture
}

void DDImage::CommitBits()
{
    if (!surface)
        MemoryImage::CommitBits();
}

void DDImage::DeleteNativeData()
{
    if (adopted)
        return;
    MemoryImage::DeleteNativeData();
    DeleteDDSurface();
}

void DDImage::DeleteDerivedBuffers()
{
    if (adopted)
        return;
    MemoryImage::DeleteDerivedBuffers();
    DeleteDDSurface();
}

bool DDImage::Palletize()
{
    if (!MemoryImage::Palletize())
        return false;
    DeleteDDSurface();
    return true;
}

void DDImage::ApplyLoadOptions()
{
    MemoryImage::ApplyLoadOptions();
    // With the graphics card drawing, pictures live in textures, never on surfaces.
    if (wantsDDSurface && display && !display->is3D)
        GenerateDDSurface();
}

void DDImage::PurgeBits()
{
    if (adopted)
        return;
    purgeRequested = true;
    CommitBits();
    if (display && display->is3D && surface) {
        DeleteDDSurface();
    } else if (wantsDDSurface && GenerateDDSurface()) {
        bits.reset();
        colorIndices.reset();
        colorTable.reset();
        return;
    }
    MemoryImage::PurgeBits();
}

uint32_t* DDImage::GetBits()
{
    if (bits || !surface)
        return MemoryImage::GetBits();
    if (videoMemoryWriteOnly || !LockSurface())
        return nullptr;
    const DDInterface& d = *display;
    const size_t count = PixelTotal();
    auto read = std::make_unique_for_overwrite<uint32_t[]>(count + 1);
    read[count] = kGuardWord;
    auto channel = [](uint32_t p, int shift, int bits) { return ((p >> shift) << (8 - bits)) & 255; };
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = surfaceDesc.pixels + size_t(y) * size_t(surfaceDesc.pitch);
        for (int x = 0; x < width; ++x) {
            uint32_t p = surfaceDesc.format.bitsPerPixel == 16 ? reinterpret_cast<const uint16_t*>(row)[x]
                                                                : reinterpret_cast<const uint32_t*>(row)[x];
            read[size_t(y) * size_t(width) + size_t(x)] = 0xFF000000u | channel(p, d.redShift, d.redBits) << 16
                                                          | channel(p, d.greenShift, d.greenBits) << 8
                                                          | channel(p, d.blueShift, d.blueBits);
        }
    }
    UnlockSurface();
    bits = std::move(read);
    return bits.get();
}

} // namespace Nubra

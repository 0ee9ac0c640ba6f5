#pragma once
#include <cstdint>

namespace Nubra {

// What the rasteriser needs of an image it reads as a texture. Images adapt to it; the
// rasteriser never writes through it.
class SWTri_TextureSource {
public:
    virtual ~SWTri_TextureSource() = default;

    virtual int32_t Width() const = 0;
    virtual int32_t Height() const = 0;
    // A texel has alpha 0 (also set for an image without texels).
    virtual bool HasTransparency() const = 0;
    // A texel has alpha 1-254.
    virtual bool HasPartialAlpha() const = 0;

    // Brings the two alpha flags up to date with the texels.
    virtual void CommitBits() = 0;
    // Width x height texels 0xAARRGGBB, row-major; null when they cannot be read back.
    // Valid until the texels change.
    virtual const uint32_t* GetBits() = 0;
};

} // namespace Nubra

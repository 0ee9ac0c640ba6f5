#pragma once
#include <cstdint>

namespace Nubra {

class MemoryImage;

// The textures the accelerated path made for one image. The image keeps the pointer; the
// accelerated path owns and frees it.
class TextureData {
public:
    // Reads the textures back into `bits` (the image's width x height words); false when they
    // do not hold the image's picture.
    bool CopyTexturesToBits(const MemoryImage& image, uint32_t* bits) const;
};

} // namespace Nubra

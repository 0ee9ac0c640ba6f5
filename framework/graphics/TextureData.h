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

    int32_t textureMemory = 0; // bytes of texture memory made for the image
    int32_t format = 0;        // texture format type of the pieces; 0 when none could be made
};

} // namespace Nubra

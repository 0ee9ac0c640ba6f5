#include "framework/graphics/TextureData.h"

namespace Nubra {

// No texture pieces are made yet, so there is never a picture to read back.
bool TextureData::CopyTexturesToBits(const MemoryImage&, uint32_t*) const { return false; }

} // namespace Nubra

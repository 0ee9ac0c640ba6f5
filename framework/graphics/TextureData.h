#pragma once
#include "framework/graphics/Rect.h"
#include "platform/Gpu.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace Nubra {

class Color;
class D3DInterface;
class Matrix3;
class MemoryImage;
struct ImageMask;

// Texture format types, one bit each so that a set of them is a mask; 0 means no texture.
enum TextureFormatType : int32_t {
    kTextureA8R8G8B8 = 1,
    kTextureA4R4G4B4 = 2,
    kTextureR5G6B5 = 4,
    kTexturePalettised = 8, // never made here: palettised images upload through their colour table
};

// A memory image's options word for its textures.
enum TextureFlags : uint32_t {
    TextureFlag_RoundUpPieces = 1, // inner pieces are the image side rounded up to a power of two
    TextureFlag_FixedPieces64 = 2, // every piece 64 x 64
    TextureFlag_Prefer4444 = 4,    // a 32-bit choice becomes A4R4G4B4 where offered
    TextureFlag_No565 = 8,         // an opaque image keeps A8R8G8B8
};

// What the card allows for textures, one set for the process, rewritten at each device set-up.
struct TextureLimits {
    int32_t minWidth = 64;
    int32_t minHeight = 64;
    int32_t maxWidth = 64;
    int32_t maxHeight = 64;
    int32_t maxAspect = 1;
    int32_t supportedFormats = 0; // OR of TextureFormatType
};
extern TextureLimits gTextureLimits;

// One texture of an image's grid; its sides are what the piece-size rule gave.
struct TexturePiece {
    std::unique_ptr<plat::GpuTexture> texture; // null until made
    int32_t width = 0;
    int32_t height = 0;
};

// The textures the accelerated path made for one image: the image cut into a grid of pieces,
// uploaded again whenever the image's pixels, size or texture flags change. The image keeps
// the pointer; the accelerated path owns and frees it.
class TextureData {
public:
    explicit TextureData(D3DInterface* owner = nullptr) : owner(owner) {}
    ~TextureData();
    TextureData(const TextureData&) = delete;
    TextureData& operator=(const TextureData&) = delete;

    // Re-uploads when the image changed since the last upload, or when no pieces exist.
    void CheckTextures(MemoryImage& image);
    // Chooses the format, (re)makes the pieces when the layout changed, and uploads them all.
    void CheckCreateTextures(MemoryImage& image);
    // Lays out the piece grid for an image of width x height (no textures yet).
    void CreateTextures(int32_t imageWidth, int32_t imageHeight, uint32_t flags);
    void ReleaseTextures();
    // The piece holding source point (x, y) and the part of the asked width x height that lies
    // in it, with its texture coordinates; null when there is no such piece.
    plat::GpuTexture* GetTexture(int x, int y, int& partWidth, int& partHeight, float& leftU, float& topV,
                                 float& rightU, float& bottomV) const;
    // The image keeps its bits while it has textures, and textures cannot be read: never true.
    bool CopyTexturesToBits(const MemoryImage& image, uint32_t* bits) const;

    // The masked draw of the image's pieces (see D3DInterface::BltTransformed).
    void BltMasked(const Matrix3& m, const Rect& src, const Color& color, int drawMode, const Rect* clip, float x,
                   float y, TextureData& maskData, const ImageMask& mask);

    const TexturePiece& Piece(int column, int row) const { return pieces[size_t(row * columns + column)]; }

    D3DInterface* owner; // that made it, and keeps the image in its set
    std::vector<TexturePiece> pieces; // row-major, columns x rows
    int32_t imageWidth = 0;
    int32_t imageHeight = 0;
    int32_t columns = 0;
    int32_t rows = 0;
    int32_t pieceWidth = 64; // of an inner piece
    int32_t pieceHeight = 64;
    uint32_t changeCount = 0; // the image's change counter at the last upload
    int32_t textureMemory = 0; // bytes of texture memory made for the image
    float maxTotalU = 0.0f;   // image width / piece width
    float maxTotalV = 0.0f;
    int32_t format = 0;        // TextureFormatType of the pieces; 0 when none could be made
    uint32_t imageFlags = 0;   // the image's texture flags at the last upload
};

} // namespace Nubra

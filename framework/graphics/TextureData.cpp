#include "framework/graphics/TextureData.h"

#include "framework/graphics/D3DInterface.h"
#include "framework/graphics/MemoryImage.h"

#include <algorithm>

namespace Nubra {

TextureLimits gTextureLimits;

namespace {

int BytesPerTexel(int32_t format) { return format == kTextureA8R8G8B8 ? 4 : 2; }

int32_t ChooseFormat(const MemoryImage& image)
{
    const int32_t supported = gTextureLimits.supportedFormats;
    int32_t format = kTextureA8R8G8B8;
    if (!image.hasTrans && !image.hasAlpha && (supported & kTextureR5G6B5) && !(image.d3dFlags & TextureFlag_No565))
        format = kTextureR5G6B5;
    if (format == kTextureA8R8G8B8) {
        const bool prefer4444 = (image.d3dFlags & TextureFlag_Prefer4444) && (supported & kTextureA4R4G4B4);
        if (prefer4444 || !(supported & kTextureA8R8G8B8))
            format = kTextureA4R4G4B4;
    }
    return format;
}

} // namespace

TextureData::~TextureData() { ReleaseTextures(); }

void TextureData::ReleaseTextures()
{
    pieces.clear();
    textureMemory = 0;
}

void TextureData::CreateTextures(int32_t width, int32_t height, uint32_t flags)
{
    int pw = width, ph = height;
    D3DInterface::GetBestTextureDimensions(pw, ph, false, true, flags);
    int cw = pw, ch = ph;
    if (width % pw > 0) {
        cw = width % pw;
        D3DInterface::GetBestTextureDimensions(cw, ch, true, true, flags);
    }
    int rw = pw, rh = ph;
    if (height % ph > 0) {
        rh = height % ph;
        D3DInterface::GetBestTextureDimensions(rw, rh, true, true, flags);
    }
    int kw = cw, kh = rh;
    D3DInterface::GetBestTextureDimensions(kw, kh, true, true, flags);

    pieceWidth = pw;
    pieceHeight = ph;
    const bool empty = width <= 0 || height <= 0;
    columns = empty ? 0 : (width + pw - 1) / pw;
    rows = empty ? 0 : (height + ph - 1) / ph;
    pieces.clear();
    pieces.resize(size_t(columns) * size_t(rows));
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            TexturePiece& piece = pieces[size_t(row * columns + column)];
            const bool lastColumn = column == columns - 1, lastRow = row == rows - 1;
            piece.width = lastColumn && lastRow ? kw : lastColumn ? cw : lastRow ? rw : pw;
            piece.height = lastColumn && lastRow ? kh : lastColumn ? ch : lastRow ? rh : ph;
        }
    }
    maxTotalU = float(width) / float(pw);
    maxTotalV = float(height) / float(ph);
}

void TextureData::CheckTextures(MemoryImage& image)
{
    if (format != 0 && image.width == imageWidth && image.height == imageHeight
        && image.bitsChangedCount == changeCount && image.d3dFlags == imageFlags)
        return;
    CheckCreateTextures(image);
}

void TextureData::CheckCreateTextures(MemoryImage& image)
{
    if (image.width <= 0 || image.height <= 0) {
        ReleaseTextures();
        imageWidth = image.width;
        imageHeight = image.height;
        format = 0;
        return;
    }
    image.DeleteSWBuffers();
    image.CommitBits();
    const int32_t newFormat = ChooseFormat(image);
    const bool newPieces = pieces.empty() || image.width != imageWidth || image.height != imageHeight
                           || newFormat != format || image.d3dFlags != imageFlags;
    if (newPieces) {
        ReleaseTextures();
        format = newFormat;
        imageFlags = image.d3dFlags;
        CreateTextures(image.width, image.height, imageFlags);
    }
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            TexturePiece& piece = pieces[size_t(row * columns + column)];
            if (newPieces || !piece.texture) {
                piece.texture = owner->CreateTextureSurface(piece.width, piece.height, format);
                if (!piece.texture) {
                    format = 0; // drawn as nothing; the next draw tries again
                    return;
                }
                textureMemory += piece.width * BytesPerTexel(format) * piece.height;
            }
            owner->CopyImageToTexture(*piece.texture, image, column * pieceWidth, row * pieceHeight, piece.width,
                                      piece.height, format);
        }
    }
    imageWidth = image.width;
    imageHeight = image.height;
    changeCount = image.bitsChangedCount;
}

plat::GpuTexture* TextureData::GetTexture(int x, int y, int& partWidth, int& partHeight, float& leftU, float& topV,
                                          float& rightU, float& bottomV) const
{
    if (x < 0 || y < 0 || columns <= 0 || rows <= 0)
        return nullptr;
    const int column = x / pieceWidth, row = y / pieceHeight;
    if (column >= columns || row >= rows)
        return nullptr;
    const TexturePiece& piece = Piece(column, row);
    const int left = x % pieceWidth, top = y % pieceHeight;
    const int right = std::min(left + partWidth, piece.width);
    const int bottom = std::min(top + partHeight, piece.height);
    partWidth = right - left;
    partHeight = bottom - top;
    leftU = float(left) / float(piece.width);
    topV = float(top) / float(piece.height);
    rightU = float(right) / float(piece.width);
    bottomV = float(bottom) / float(piece.height);
    return piece.texture.get();
}

bool TextureData::CopyTexturesToBits(const MemoryImage&, uint32_t*) const { return false; }

} // namespace Nubra

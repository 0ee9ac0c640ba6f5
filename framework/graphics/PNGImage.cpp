#include "framework/graphics/ImageFileIO.h"
#include "framework/graphics/ImageLib.h"

#include "platform/DebugOut.h"

#include <png.h>

#include <csetjmp>
#include <vector>

namespace ImageLib {
namespace {

void ReadFromPakFile(png_structp png, png_bytep data, size_t length)
{
    auto* file = static_cast<Nubra::PFILE*>(png_get_io_ptr(png));
    if (Nubra::PakFileRead(data, 1, length, file) != length)
        png_error(png, "Read Error");
}

void ReportError(png_structp png, png_const_charp message)
{
    plat::DebugOut(std::string("PNG: ") + message + "\n");
    png_longjmp(png, 1);
}

void IgnoreWarning(png_structp, png_const_charp) {}

// Whatever the file holds comes out as the bytes B, G, R, A: 8 bits, palette and grey expanded,
// transparency to alpha, opaque alpha added, interlacing resolved.
void RequestARGB(png_structp png, png_infop info)
{
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_bgr(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
}

// info is null when the library could not be set up.
struct ReadState {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, ReportError, IgnoreWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    ImagePtr image;
    std::vector<png_bytep> rows;

    ~ReadState() { png_destroy_read_struct(&png, &info, nullptr); }
};

// Everything that outlives a long jump lives in state, built before the jump point.
bool Decode(ReadState& state, Nubra::PFILE* file)
{
    png_structp png = state.png;
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_read_fn(png, file, ReadFromPakFile);
    png_set_user_limits(png, kMaxImageSide, kMaxImageSide);
    png_read_info(png, state.info);
    RequestARGB(png, state.info);
    png_uint_32 width = png_get_image_width(png, state.info);
    png_uint_32 height = png_get_image_height(png, state.info);
    state.image = Image::Create(width, height);
    if (!state.image || png_get_rowbytes(png, state.info) != size_t(width) * 4)
        return false;
    state.rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y)
        state.rows[y] = reinterpret_cast<png_bytep>(state.image->Row(int(y)));
    png_read_image(png, state.rows.data());
    return true;
}

struct WriteState {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, ReportError, IgnoreWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;

    ~WriteState() { png_destroy_write_struct(&png, &info); }
};

bool Encode(WriteState& state, FILE* out, const Image& image)
{
    png_structp png = state.png;
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_init_io(png, out);
    png_set_IHDR(png, state.info, png_uint_32(image.GetWidth()), png_uint_32(image.GetHeight()), 8,
                 PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_color_8 significant{8, 8, 8, 8, 8};
    png_set_sBIT(png, state.info, &significant);
    png_write_info(png, state.info);
    png_set_bgr(png);
    for (int y = 0; y < image.GetHeight(); ++y)
        png_write_row(png, reinterpret_cast<png_const_bytep>(image.Row(y)));
    png_write_end(png, state.info);
    return true;
}

} // namespace

ImagePtr GetPNGImage(const std::string& name)
{
    PakFilePtr file = OpenImageFile(name);
    if (!file)
        return nullptr;
    ReadState state;
    if (!state.info || !Decode(state, file.get()))
        return nullptr;
    return std::move(state.image);
}

bool WritePNGImage(const std::string& name, const Image& image)
{
    ImageOutputFile out(name);
    if (!out.Get())
        return false;
    WriteState state;
    if (!state.info || !Encode(state, out.Get(), image))
        return false;
    return out.Commit();
}

} // namespace ImageLib

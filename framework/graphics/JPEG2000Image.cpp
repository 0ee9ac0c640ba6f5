#include "framework/graphics/ImageFileIO.h"
#include "framework/graphics/ImageLib.h"

#include "platform/DebugOut.h"

#include <openjpeg.h>

#include <algorithm>
#include <atomic>
#include <cstring>

namespace ImageLib {
namespace {

std::atomic<bool> codecOpen{false};

constexpr size_t kStreamBufferSize = 64 * 1024;
constexpr OPJ_UINT32 kMaxComponents = 4; // more would only multiply what a hostile file makes us allocate
constexpr uint8_t kJP2Signature[] = {0x00, 0x00, 0x00, 0x0C, 0x6A, 0x50, 0x20, 0x20, 0x0D, 0x0A, 0x87, 0x0A};
constexpr uint8_t kCodestreamStart[] = {0xFF, 0x4F, 0xFF, 0x51};

// The codec reads the file through these, over the data-file layer.
OPJ_SIZE_T J2KStreamRead(void* buffer, OPJ_SIZE_T count, void* user)
{
    size_t got = Nubra::PakFileRead(buffer, 1, count, static_cast<Nubra::PFILE*>(user));
    return got > 0 ? got : OPJ_SIZE_T(-1);
}

OPJ_OFF_T J2KStreamSkip(OPJ_OFF_T count, void* user)
{
    auto* file = static_cast<Nubra::PFILE*>(user);
    long before = Nubra::PakFileTell(file);
    if (Nubra::PakFileSeek(file, long(count), 1) != 0)
        return -1;
    return Nubra::PakFileTell(file) - before;
}

OPJ_BOOL J2KStreamSeek(OPJ_OFF_T position, void* user)
{
    return Nubra::PakFileSeek(static_cast<Nubra::PFILE*>(user), long(position), 0) == 0;
}

void ReportError(const char* message, void*) { plat::DebugOut(std::string("JPEG 2000: ") + message); }
void IgnoreMessage(const char*, void*) {}

// The codec kind from the first bytes, which also tell a JPEG 2000 file from anything else.
bool DetectCodec(Nubra::PFILE* file, OPJ_CODEC_FORMAT* codec)
{
    uint8_t start[sizeof kJP2Signature] = {};
    size_t got = Nubra::PakFileRead(start, 1, sizeof start, file);
    if (Nubra::PakFileSeek(file, 0, 0) != 0)
        return false;
    if (got == sizeof start && std::memcmp(start, kJP2Signature, sizeof kJP2Signature) == 0)
        *codec = OPJ_CODEC_JP2;
    else if (got >= sizeof kCodestreamStart && std::memcmp(start, kCodestreamStart, sizeof kCodestreamStart) == 0)
        *codec = OPJ_CODEC_J2K;
    else
        return false;
    return true;
}

long FileLength(Nubra::PFILE* file)
{
    if (Nubra::PakFileSeek(file, 0, 2) != 0)
        return -1;
    long length = Nubra::PakFileTell(file);
    return Nubra::PakFileSeek(file, 0, 0) == 0 ? length : -1;
}

struct Decoder {
    opj_stream_t* stream = nullptr;
    opj_codec_t* codec = nullptr;
    opj_image_t* image = nullptr;

    ~Decoder()
    {
        opj_image_destroy(image);
        opj_destroy_codec(codec);
        opj_stream_destroy(stream);
    }
};

bool OpenDecoder(Decoder& decoder, Nubra::PFILE* file, OPJ_CODEC_FORMAT kind, long length)
{
    decoder.stream = opj_stream_create(kStreamBufferSize, OPJ_TRUE);
    decoder.codec = opj_create_decompress(kind);
    if (!decoder.stream || !decoder.codec)
        return false;
    opj_stream_set_user_data(decoder.stream, file, nullptr);
    opj_stream_set_user_data_length(decoder.stream, OPJ_UINT64(length));
    opj_stream_set_read_function(decoder.stream, J2KStreamRead);
    opj_stream_set_skip_function(decoder.stream, J2KStreamSkip);
    opj_stream_set_seek_function(decoder.stream, J2KStreamSeek);
    opj_set_error_handler(decoder.codec, ReportError, nullptr);
    opj_set_warning_handler(decoder.codec, IgnoreMessage, nullptr);
    opj_set_info_handler(decoder.codec, IgnoreMessage, nullptr);
    opj_dparameters_t parameters;
    opj_set_default_decoder_parameters(&parameters);
    return opj_setup_decoder(decoder.codec, &parameters);
}

// One sample scaled to 8 bits.
uint32_t Sample8(const opj_image_comp_t& component, size_t index)
{
    int precision = int(std::clamp<OPJ_UINT32>(component.prec, 1, 31));
    int64_t value = component.data[index];
    if (component.sgnd)
        value += int64_t(1) << (precision - 1);
    int64_t top = (int64_t(1) << precision) - 1;
    return uint32_t(std::clamp<int64_t>(value, 0, top) * 255 / top);
}

bool SameSizeAs(const opj_image_comp_t& component, const Image& image)
{
    return component.data && component.w == OPJ_UINT32(image.GetWidth()) && component.h == OPJ_UINT32(image.GetHeight());
}

// Grey, grey + alpha, RGB or RGB + alpha; components must not be subsampled.
bool CopyPixels(const opj_image_t& decoded, Image& image)
{
    if (decoded.color_space == OPJ_CLRSPC_SYCC || decoded.color_space == OPJ_CLRSPC_EYCC ||
        decoded.color_space == OPJ_CLRSPC_CMYK || decoded.numcomps < 1)
        return false;
    unsigned colours = decoded.numcomps >= 3 ? 3 : 1;
    bool hasAlpha = decoded.numcomps == colours + 1 || decoded.numcomps > 3;
    unsigned used = colours + (hasAlpha ? 1 : 0);
    for (unsigned c = 0; c < used; ++c)
        if (!SameSizeAs(decoded.comps[c], image))
            return false;

    const opj_image_comp_t* red = &decoded.comps[0];
    const opj_image_comp_t* green = &decoded.comps[colours == 3 ? 1 : 0];
    const opj_image_comp_t* blue = &decoded.comps[colours == 3 ? 2 : 0];
    uint32_t* out = image.GetBits();
    for (size_t i = 0; i < image.PixelCount(); ++i) {
        uint32_t alpha = hasAlpha ? Sample8(decoded.comps[colours], i) : 0xFF;
        out[i] = alpha << 24 | Sample8(*red, i) << 16 | Sample8(*green, i) << 8 | Sample8(*blue, i);
    }
    return true;
}

} // namespace

bool InitJPEG2000()
{
    codecOpen.store(true);
    return true;
}

void CloseJPEG2000() { codecOpen.store(false); }
bool IsJPEG2000Open() { return codecOpen.load(); }

ImagePtr GetJPEG2000Image(const std::string& name)
{
    if (!IsJPEG2000Open())
        return nullptr;
    PakFilePtr file = OpenImageFile(name);
    OPJ_CODEC_FORMAT kind;
    if (!file || !DetectCodec(file.get(), &kind))
        return nullptr;
    long length = FileLength(file.get());
    Decoder decoder;
    if (length <= 0 || !OpenDecoder(decoder, file.get(), kind, length))
        return nullptr;
    if (!opj_read_header(decoder.stream, decoder.codec, &decoder.image))
        return nullptr;
    const opj_image_t& header = *decoder.image;
    if (header.numcomps > kMaxComponents)
        return nullptr;
    ImagePtr image = Image::Create(int64_t(header.x1) - header.x0, int64_t(header.y1) - header.y0);
    if (!image || !opj_decode(decoder.codec, decoder.stream, decoder.image) ||
        !opj_end_decompress(decoder.codec, decoder.stream) || !CopyPixels(*decoder.image, *image))
        return nullptr;
    return image;
}

} // namespace ImageLib

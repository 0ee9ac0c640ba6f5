#include "framework/graphics/ImageFileIO.h"
#include "framework/graphics/ImageLib.h"
#include "framework/graphics/InkColour.h"

#include "platform/DebugOut.h"

#include <openjpeg.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <vector>

namespace ImageLib {
namespace {

std::atomic<bool> codecOpen{false};

constexpr size_t kStreamBufferSize = 64 * 1024;
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

// Where each picture column or row finds its sample in a component that may be subsampled: the
// sample whose cell on the reference grid holds the pixel, the nearest one at the edges.
std::vector<size_t> SampleIndices(OPJ_UINT32 imageStart, int count, OPJ_UINT32 step, OPJ_UINT32 componentStart,
                                  OPJ_UINT32 componentSize)
{
    std::vector<size_t> indices(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        int64_t cell = (int64_t(imageStart) + i) / std::max<OPJ_UINT32>(step, 1) - int64_t(componentStart);
        indices[size_t(i)] = size_t(std::clamp<int64_t>(cell, 0, int64_t(componentSize) - 1));
    }
    return indices;
}

// A component read at picture positions.
class Channel {
public:
    Channel(const opj_image_t& decoded, const opj_image_comp_t& component, const Image& image)
        : mComponent(component),
          mColumns(SampleIndices(decoded.x0, image.GetWidth(), component.dx, component.x0, component.w)),
          mRows(SampleIndices(decoded.y0, image.GetHeight(), component.dy, component.y0, component.h))
    {
    }

    size_t IndexAt(int x, int y) const { return mRows[size_t(y)] * mComponent.w + mColumns[size_t(x)]; }
    uint32_t At(int x, int y) const { return Sample8(mComponent, IndexAt(x, y)); }
    int32_t RawAt(int x, int y) const { return mComponent.data[IndexAt(x, y)]; }
    const opj_image_comp_t& Component() const { return mComponent; }

private:
    const opj_image_comp_t& mComponent;
    std::vector<size_t> mColumns;
    std::vector<size_t> mRows;
};

enum class ColourSpace { Grey, RGB, YCC, CIELab, CMYK };

uint32_t Clamp8(double value) { return uint32_t(std::clamp(std::lround(value), 0L, 255L)); }

uint32_t RGBFromYCC(uint32_t luma, uint32_t blue, uint32_t red)
{
    double y = luma, cb = int(blue) - 128, cr = int(red) - 128;
    return Clamp8(y + 1.402 * cr) << 16 | Clamp8(y - 0.344136 * cb - 0.714136 * cr) << 8 | Clamp8(y + 1.772 * cb);
}

// How samples code L*, a* and b*: value = (sample - offset) * range / full scale. The codec keeps
// the colour-space number 14, a "DEF" tag for the default coding or else the ranges and offsets
// in that order.
struct LabCoding {
    double range[3];
    double offset[3];
};

constexpr OPJ_UINT32 kCIELab = 14;
constexpr OPJ_UINT32 kDefaultLabCoding = 0x44454600;

double FullScale(const opj_image_comp_t& component)
{
    return std::ldexp(1.0, int(std::clamp<OPJ_UINT32>(component.prec, 1, 31))) - 1;
}

bool ReadLabCoding(const opj_image_t& decoded, LabCoding* coding)
{
    OPJ_UINT32 record[9];
    if (!decoded.icc_profile_buf || decoded.icc_profile_len != 0 || decoded.numcomps < 3)
        return false;
    std::memcpy(record, decoded.icc_profile_buf, sizeof record);
    if (record[0] != kCIELab)
        return false;
    for (int c = 0; c < 3; ++c) {
        coding->range[c] = record[2 + 2 * c];
        coding->offset[c] = record[3 + 2 * c];
    }
    if (record[1] == kDefaultLabCoding) {
        auto half = [](const opj_image_comp_t& component) { return (FullScale(component) + 1) / 2; };
        *coding = {{100, 170, 200}, {0, half(decoded.comps[1]), half(decoded.comps[2]) * 0.75}};
    }
    return true;
}

// L*a*b* under D50 to sRGB: through XYZ, adapted to sRGB's white by the Bradford transform.
uint32_t RGBFromLab(double l, double a, double b)
{
    auto inverse = [](double t) { return t > 6.0 / 29 ? t * t * t : 3 * (6.0 / 29) * (6.0 / 29) * (t - 4.0 / 29); };
    double fy = (l + 16) / 116;
    double x = 0.9642 * inverse(fy + a / 500), y = inverse(fy), z = 0.8249 * inverse(fy - b / 200);
    auto encode = [](double linear) {
        linear = std::clamp(linear, 0.0, 1.0);
        return Clamp8(255 * (linear <= 0.0031308 ? 12.92 * linear : 1.055 * std::pow(linear, 1 / 2.4) - 0.055));
    };
    return encode(3.1338561 * x - 1.6168667 * y - 0.4906146 * z) << 16 |
           encode(-0.9787684 * x + 1.9161415 * y + 0.0334540 * z) << 8 | encode(0.0719453 * x - 0.2289914 * y + 1.4052427 * z);
}

// Channel definitions mark opacity (1) and premultiplied opacity (2); other marks are not alpha.
bool IsAlpha(const opj_image_comp_t& component) { return component.alpha == 1 || component.alpha == 2; }

bool IsSubsampled(const opj_image_comp_t& component) { return component.dx != 1 || component.dy != 1; }

ColourSpace ColourSpaceOf(const opj_image_t& decoded, size_t colourComponents)
{
    if (decoded.color_space == OPJ_CLRSPC_CMYK && colourComponents >= 4)
        return ColourSpace::CMYK;
    if (colourComponents < 3)
        return ColourSpace::Grey;
    if (decoded.color_space == OPJ_CLRSPC_SYCC || decoded.color_space == OPJ_CLRSPC_EYCC)
        return ColourSpace::YCC;
    LabCoding ignored{};
    if (ReadLabCoding(decoded, &ignored))
        return ColourSpace::CIELab;
    // A codestream tells no colour space; subsampled chroma means luma and chroma.
    bool declared = decoded.color_space == OPJ_CLRSPC_SRGB || decoded.color_space == OPJ_CLRSPC_GRAY;
    if (!declared && colourComponents == 3 && IsSubsampled(decoded.comps[1]) && !IsSubsampled(decoded.comps[0]))
        return ColourSpace::YCC;
    return ColourSpace::RGB;
}

size_t ChannelCount(ColourSpace space)
{
    switch (space) {
    case ColourSpace::Grey:
        return 1;
    case ColourSpace::CMYK:
        return 4;
    default:
        return 3;
    }
}

// The components that make the picture: the first colour ones the colour space needs, and the
// alpha the channel definitions name, else the one component left over after the colours.
struct Layout {
    ColourSpace space;
    std::vector<const opj_image_comp_t*> colours;
    const opj_image_comp_t* alpha = nullptr;
};

Layout LayoutOf(const opj_image_t& decoded)
{
    std::vector<const opj_image_comp_t*> colours;
    Layout layout;
    for (OPJ_UINT32 c = 0; c < decoded.numcomps; ++c) {
        const opj_image_comp_t& component = decoded.comps[c];
        if (IsAlpha(component))
            layout.alpha = layout.alpha ? layout.alpha : &component;
        else
            colours.push_back(&component);
    }
    layout.space = ColourSpaceOf(decoded, colours.size());
    size_t used = std::min(colours.size(), ChannelCount(layout.space));
    if (!layout.alpha && colours.size() == used + 1)
        layout.alpha = colours.back();
    colours.resize(used);
    layout.colours = std::move(colours);
    return layout;
}

uint32_t ColourAt(const Layout& layout, const std::vector<Channel>& channels, const LabCoding& lab, int x, int y)
{
    switch (layout.space) {
    case ColourSpace::Grey: {
        uint32_t grey = channels[0].At(x, y);
        return grey << 16 | grey << 8 | grey;
    }
    case ColourSpace::RGB:
        return channels[0].At(x, y) << 16 | channels[1].At(x, y) << 8 | channels[2].At(x, y);
    case ColourSpace::YCC:
        return RGBFromYCC(channels[0].At(x, y), channels[1].At(x, y), channels[2].At(x, y));
    case ColourSpace::CMYK:
        return RGBFromInks(channels[0].At(x, y), channels[1].At(x, y), channels[2].At(x, y), channels[3].At(x, y)) &
               0xFFFFFF;
    case ColourSpace::CIELab: {
        double value[3];
        for (int c = 0; c < 3; ++c) {
            const Channel& channel = channels[size_t(c)];
            value[c] = (channel.RawAt(x, y) - lab.offset[c]) * lab.range[c] / FullScale(channel.Component());
        }
        return RGBFromLab(value[0], value[1], value[2]);
    }
    }
    return 0;
}

bool CopyPixels(const opj_image_t& decoded, Image& image)
{
    Layout layout = LayoutOf(decoded);
    if (layout.colours.size() < ChannelCount(layout.space))
        return false;
    std::vector<const opj_image_comp_t*> used = layout.colours;
    if (layout.alpha)
        used.push_back(layout.alpha);
    for (const opj_image_comp_t* component : used)
        if (!component->data || component->w == 0 || component->h == 0)
            return false;

    std::vector<Channel> channels;
    for (const opj_image_comp_t* component : used)
        channels.emplace_back(decoded, *component, image);
    LabCoding lab{};
    if (layout.space == ColourSpace::CIELab)
        ReadLabCoding(decoded, &lab);
    const Channel* alpha = layout.alpha ? &channels.back() : nullptr;
    for (int y = 0; y < image.GetHeight(); ++y) {
        uint32_t* row = image.Row(y);
        for (int x = 0; x < image.GetWidth(); ++x)
            row[x] = (alpha ? alpha->At(x, y) : 0xFF) << 24 | ColourAt(layout, channels, lab, x, y);
    }
    return true;
}

// What decoding would allocate, bounded as for four full-size components.
bool WithinSampleBudget(const opj_image_t& header)
{
    uint64_t samples = 0;
    for (OPJ_UINT32 c = 0; c < header.numcomps; ++c)
        samples += uint64_t(header.comps[c].w) * header.comps[c].h;
    return samples <= uint64_t(4 * kMaxImagePixels);
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
    if (header.numcomps == 0 || !WithinSampleBudget(header))
        return nullptr;
    ImagePtr image = Image::Create(int64_t(header.x1) - header.x0, int64_t(header.y1) - header.y0);
    if (!image || !opj_decode(decoder.codec, decoder.stream, decoder.image) ||
        !opj_end_decompress(decoder.codec, decoder.stream) || !CopyPixels(*decoder.image, *image))
        return nullptr;
    return image;
}

} // namespace ImageLib

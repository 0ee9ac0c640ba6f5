#include "ImageFixtures.h"

#include <cstdio>
#include <jpeglib.h>
#include <openjpeg.h>
#include <png.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <unistd.h>

namespace fs = std::filesystem;

namespace fixtures {

// ---- archive and folders ----------------------------------------------------------------------

MemoryArchive::MemoryArchive() { Nubra::SetPakInterface(this); }
MemoryArchive::~MemoryArchive() { Nubra::SetPakInterface(nullptr); }

Nubra::PFILE* MemoryArchive::FOpen(const char* name, const char*)
{
    mOpens.push_back(name);
    auto found = mEntries.find(name);
    return found == mEntries.end() ? nullptr : new Nubra::PFILE{&found->second, 0, nullptr};
}

int MemoryArchive::FClose(Nubra::PFILE* file)
{
    delete file;
    return 0;
}

static const Bytes& EntryOf(Nubra::PFILE* file) { return *static_cast<const Bytes*>(file->entry); }

int MemoryArchive::FSeek(Nubra::PFILE* file, long offset, int origin)
{
    int64_t base = origin == 0 ? 0 : origin == 1 ? file->pos : int64_t(EntryOf(file).size());
    file->pos = std::clamp<int64_t>(base + offset, 0, int64_t(EntryOf(file).size()));
    return 0;
}

long MemoryArchive::FTell(Nubra::PFILE* file) { return long(file->pos); }

size_t MemoryArchive::FRead(void* buffer, size_t size, size_t count, Nubra::PFILE* file)
{
    const Bytes& data = EntryOf(file);
    size_t left = data.size() - size_t(file->pos);
    size_t elements = size ? std::min(count, left / size) : 0;
    if (elements > 0)
        std::memcpy(buffer, data.data() + file->pos, elements * size);
    file->pos += int64_t(elements * size);
    mBytesRead += elements * size;
    return elements;
}

unsigned MemoryArchive::FGetWC(Nubra::PFILE*) { return 0xFFFF; }
bool MemoryArchive::FEof(Nubra::PFILE* file) { return size_t(file->pos) == EntryOf(file).size(); }

ImageLib::ImagePtr ImageReaderTest::Read(Reader reader, Bytes data)
{
    archive.Add("file", std::move(data));
    return reader("file");
}

void ImageReaderTest::ExpectRefused(Reader reader, const std::vector<NamedBytes>& files)
{
    for (const NamedBytes& file : files)
        EXPECT_EQ(Read(reader, file.data), nullptr) << file.what;
}

TempFolder::TempFolder()
{
    static int counter = 0;
    mRoot = fs::temp_directory_path() /
            ("nubra_images_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
    fs::remove_all(mRoot);
    fs::create_directories(mRoot);
}

TempFolder::~TempFolder() { fs::remove_all(mRoot); }

void TempFolder::Write(const std::string& name, const Bytes& data) const
{
    fs::create_directories((mRoot / name).parent_path());
    std::ofstream(mRoot / name, std::ios::binary).write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
}

Bytes TempFolder::Read(const std::string& name) const
{
    std::ifstream in(mRoot / name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// ---- pictures ---------------------------------------------------------------------------------

Picture PictureOf(const ImageLib::Image& image)
{
    return {image.GetWidth(), image.GetHeight(),
            std::vector<uint32_t>(image.GetBits(), image.GetBits() + image.PixelCount())};
}

Picture Gradient(int width, int height)
{
    Picture picture{width, height, {}};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint32_t r = uint32_t(x * 255 / std::max(1, width - 1));
            uint32_t g = uint32_t(y * 255 / std::max(1, height - 1));
            uint32_t b = (r + g) / 2;
            uint32_t a = uint32_t((x + y) * 37 % 256);
            picture.pixels.push_back(a << 24 | r << 16 | g << 8 | b);
        }
    return picture;
}

ImageLib::ImagePtr ImageFrom(const Picture& picture)
{
    auto image = std::make_unique<ImageLib::Image>(picture.width, picture.height);
    std::copy(picture.pixels.begin(), picture.pixels.end(), image->GetBits());
    return image;
}

// ---- TGA --------------------------------------------------------------------------------------

static void PutU16(Bytes& out, unsigned value)
{
    out.push_back(uint8_t(value));
    out.push_back(uint8_t(value >> 8));
}

Bytes MakeTGA(const Picture& picture, const TGASpec& spec)
{
    Bytes out{uint8_t(spec.id.size()), uint8_t(spec.colourMapEntries ? 1 : 0), spec.imageType};
    PutU16(out, 0);
    PutU16(out, spec.colourMapEntries);
    out.push_back(spec.colourMapEntries ? 24 : 0);
    PutU16(out, 0);
    PutU16(out, 0);
    PutU16(out, unsigned(picture.width));
    PutU16(out, unsigned(picture.height));
    out.push_back(spec.pixelDepth);
    out.push_back(spec.descriptor);
    out.insert(out.end(), spec.id.begin(), spec.id.end());
    out.insert(out.end(), size_t(spec.colourMapEntries) * 3, 0x77);
    for (uint32_t pixel : picture.pixels)
        for (int shift = 0; shift < 32; shift += 8)
            out.push_back(uint8_t(pixel >> shift));
    return out;
}

// ---- GIF --------------------------------------------------------------------------------------

namespace {

class BitWriter {
public:
    void Put(int code, int bits)
    {
        mBits |= uint32_t(code) << mCount;
        mCount += bits;
        for (; mCount >= 8; mCount -= 8, mBits >>= 8)
            mBytes.push_back(uint8_t(mBits));
    }
    Bytes Finish()
    {
        if (mCount > 0)
            mBytes.push_back(uint8_t(mBits));
        return mBytes;
    }

private:
    Bytes mBytes;
    uint32_t mBits = 0;
    int mCount = 0;
};

// A plain dictionary encoder, written independently of the decoder.
Bytes EncodeLZW(const std::vector<uint8_t>& indices, int minCodeSize, bool clearWhenFull)
{
    const int clear = 1 << minCodeSize;
    int next = clear + 2, size = minCodeSize + 1;
    std::map<std::pair<int, uint8_t>, int> table;
    BitWriter out;
    out.Put(clear, size);
    int current = -1;
    for (uint8_t index : indices) {
        if (current < 0) {
            current = index;
            continue;
        }
        auto found = table.find({current, index});
        if (found != table.end()) {
            current = found->second;
            continue;
        }
        out.Put(current, size);
        if (next < 4096) {
            table[{current, index}] = next++;
            if (next > (1 << size) && size < 12)
                ++size;
        }
        if (next == 4096 && clearWhenFull) {
            out.Put(clear, size);
            table.clear();
            next = clear + 2;
            size = minCodeSize + 1;
        }
        current = index;
    }
    if (current >= 0)
        out.Put(current, size);
    out.Put(clear + 1, size);
    return out.Finish();
}

void PutColourTable(Bytes& out, std::vector<uint32_t> colours)
{
    while (colours.size() < 2 || (colours.size() & (colours.size() - 1)))
        colours.push_back(0);
    for (uint32_t rgb : colours) {
        out.push_back(uint8_t(rgb >> 16));
        out.push_back(uint8_t(rgb >> 8));
        out.push_back(uint8_t(rgb));
    }
}

uint8_t TableFlags(const std::vector<uint32_t>& colours)
{
    if (colours.empty())
        return 0;
    uint8_t bits = 0;
    while ((size_t(2) << bits) < colours.size())
        ++bits;
    return uint8_t(0x80 | bits);
}

void PutSubBlocks(Bytes& out, const Bytes& data)
{
    for (size_t at = 0; at < data.size(); at += 255) {
        size_t length = std::min<size_t>(255, data.size() - at);
        out.push_back(uint8_t(length));
        out.insert(out.end(), data.begin() + long(at), data.begin() + long(at + length));
    }
    out.push_back(0);
}

} // namespace

Bytes MakeGIF(int width, int height, const std::vector<uint8_t>& indices, const GIFSpec& spec)
{
    Bytes out(spec.signature, spec.signature + 6);
    PutU16(out, unsigned(width));
    PutU16(out, unsigned(height));
    out.push_back(TableFlags(spec.globalColours));
    out.push_back(0);
    out.push_back(0);
    if (!spec.globalColours.empty())
        PutColourTable(out, spec.globalColours);
    if (spec.extras) {
        out.insert(out.end(), {0x21, 0xFE});
        PutSubBlocks(out, Bytes{'h', 'e', 'l', 'l', 'o'});
        out.insert(out.end(), {0x21, 0xFF, 11});
        const char* app = "NETSCAPE2.0";
        out.insert(out.end(), app, app + 11);
        PutSubBlocks(out, Bytes{1, 0, 0});
    }
    if (spec.transparentIndex >= 0)
        out.insert(out.end(), {0x21, 0xF9, 4, 1, 0, 0, uint8_t(spec.transparentIndex), 0});
    out.push_back(0x2C);
    PutU16(out, 0);
    PutU16(out, 0);
    PutU16(out, unsigned(width));
    PutU16(out, unsigned(height));
    out.push_back(uint8_t(TableFlags(spec.localColours) | (spec.interlaced ? 0x40 : 0)));
    if (!spec.localColours.empty())
        PutColourTable(out, spec.localColours);

    // Interlaced files store their rows in pass order.
    std::vector<uint8_t> stored;
    std::vector<int> rows;
    if (spec.interlaced) {
        for (auto [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}})
            for (int y = start; y < height; y += step)
                rows.push_back(y);
    } else {
        for (int y = 0; y < height; ++y)
            rows.push_back(y);
    }
    for (int y : rows)
        stored.insert(stored.end(), indices.begin() + long(y) * width, indices.begin() + long(y + 1) * width);
    out.push_back(uint8_t(spec.minCodeSize));
    PutSubBlocks(out, EncodeLZW(stored, spec.minCodeSize, spec.clearWhenFull));
    out.push_back(0x3B);
    return out;
}

// ---- PNG --------------------------------------------------------------------------------------

[[noreturn]] static void FixtureFailed(png_structp, png_const_charp message)
{
    std::fprintf(stderr, "libpng could not write the fixture: %s\n", message);
    std::abort();
}

static void AppendToBytes(png_structp png, png_bytep data, size_t length)
{
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

Bytes MakePNG(int width, int height, const std::vector<Bytes>& rows, const PNGSpec& spec)
{
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, FixtureFailed, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, AppendToBytes, nullptr);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), spec.bitDepth, spec.colourType,
                 spec.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> palette;
    for (uint32_t rgb : spec.palette)
        palette.push_back({uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb)});
    if (!palette.empty())
        png_set_PLTE(png, info, palette.data(), int(palette.size()));
    if (!spec.paletteAlpha.empty())
        png_set_tRNS(png, info, spec.paletteAlpha.data(), int(spec.paletteAlpha.size()), nullptr);
    png_write_info(png, info);
    std::vector<png_bytep> pointers;
    for (const Bytes& row : rows)
        pointers.push_back(const_cast<png_bytep>(row.data()));
    png_write_image(png, pointers.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

// ---- JPEG -------------------------------------------------------------------------------------

Bytes MakeJPEG(int width, int height, int components, const Bytes& samples, int quality, JPEGInks inks)
{
    jpeg_compress_struct info{};
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = components;
    info.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 3 ? JCS_RGB : JCS_CMYK;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    if (components == 4) {
        jpeg_set_colorspace(&info, inks.ycck ? JCS_YCCK : JCS_CMYK);
        info.write_Adobe_marker = inks.adobeMarker;
        for (int c = 0; c < 4; ++c)
            info.comp_info[c].h_samp_factor = info.comp_info[c].v_samp_factor = 1; // full-size chroma
    }
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(samples.data() + size_t(info.next_scanline) * size_t(width * components));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    Bytes out(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return out;
}

// ---- JPEG 2000 --------------------------------------------------------------------------------

Bytes MakeJPEG2000(int width, int height, const std::vector<std::vector<int>>& planes, bool jp2, int alphaComponent)
{
    std::vector<opj_image_cmptparm_t> parameters(planes.size());
    for (opj_image_cmptparm_t& component : parameters) {
        std::memset(&component, 0, sizeof component);
        component.dx = component.dy = 1;
        component.w = OPJ_UINT32(width);
        component.h = OPJ_UINT32(height);
        component.prec = 8;
    }
    opj_image_t* image = opj_image_create(OPJ_UINT32(planes.size()), parameters.data(),
                                          planes.size() >= 3 ? OPJ_CLRSPC_SRGB : OPJ_CLRSPC_GRAY);
    image->x1 = OPJ_UINT32(width);
    image->y1 = OPJ_UINT32(height);
    for (size_t c = 0; c < planes.size(); ++c)
        std::copy(planes[c].begin(), planes[c].end(), image->comps[c].data);
    if (alphaComponent >= 0)
        image->comps[alphaComponent].alpha = 1;

    opj_cparameters_t settings;
    opj_set_default_encoder_parameters(&settings);
    settings.tcp_numlayers = 1;
    settings.tcp_rates[0] = 0; // lossless
    settings.cp_disto_alloc = 1;
    settings.numresolution = 2;
    opj_codec_t* codec = opj_create_compress(jp2 ? OPJ_CODEC_JP2 : OPJ_CODEC_J2K);
    TempFolder folder;
    std::string path = folder.Path("fixture");
    opj_stream_t* stream = opj_stream_create_default_file_stream(path.c_str(), OPJ_FALSE);
    bool written = opj_setup_encoder(codec, &settings, image) && opj_start_compress(codec, image, stream) &&
                   opj_encode(codec, stream) && opj_end_compress(codec, stream);
    opj_stream_destroy(stream);
    opj_destroy_codec(codec);
    opj_image_destroy(image);
    if (!written)
        throw std::runtime_error("OpenJPEG could not write the fixture");
    return folder.Read("fixture");
}

// ---- files and comparison --------------------------------------------------------------------

Bytes ReadTestImage(const std::string& name)
{
    const char* root = std::getenv("NUBRA_TEST_DATA");
    std::ifstream in(fs::path(root ? root : "") / "framework/graphics/images" / name, std::ios::binary);
    if (!in)
        throw std::runtime_error("missing test image " + name);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

int LargestChannelDifference(const Picture& a, const Picture& b, uint32_t channels)
{
    if (a.width != b.width || a.height != b.height)
        return 256;
    int largest = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i)
        for (int shift = 0; shift < 32; shift += 8)
            if (channels >> shift & 0xFF)
                largest = std::max(largest, std::abs(int(a.pixels[i] >> shift & 0xFF) - int(b.pixels[i] >> shift & 0xFF)));
    return largest;
}

} // namespace fixtures

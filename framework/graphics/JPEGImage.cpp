#include "framework/graphics/ImageFileIO.h"
#include "framework/graphics/ImageLib.h"
#include "framework/graphics/InkColour.h"

#include "platform/DebugOut.h"

#include <cstdio>
// The library's headers need stdio first.
#include <jerror.h>
#include <jpeglib.h>

#include <csetjmp>

namespace ImageLib {
namespace {

constexpr size_t kSourceBufferSize = 4096;
// Bounds what a hostile file can make the decoder allocate or spend.
constexpr long kMaxDecoderMemory = 256L * 1024 * 1024;
constexpr int kMaxScans = 1000;
constexpr int kWriteQuality = 80;

struct ErrorHandler {
    jpeg_error_mgr pub;
    jmp_buf jump;
};

void ReportMessage(j_common_ptr info)
{
    char text[JMSG_LENGTH_MAX];
    (*info->err->format_message)(info, text);
    plat::DebugOut(std::string("JPEG: ") + text + "\n");
}

[[noreturn]] void ExitByJump(j_common_ptr info)
{
    ReportMessage(info);
    std::longjmp(reinterpret_cast<ErrorHandler*>(info->err)->jump, 1);
}

void InstallErrorHandler(ErrorHandler& handler, jpeg_error_mgr** err)
{
    *err = jpeg_std_error(&handler.pub);
    handler.pub.error_exit = ExitByJump;
    handler.pub.output_message = ReportMessage;
}

// Gives up on progressive files with an absurd number of scans, each of which costs a pass.
void LimitScans(j_common_ptr info)
{
    if (reinterpret_cast<j_decompress_ptr>(info)->input_scan_number <= kMaxScans)
        return;
    plat::DebugOut("JPEG: too many scans\n");
    std::longjmp(reinterpret_cast<ErrorHandler*>(info->err)->jump, 1);
}

// Feeds the decoder from the data-file layer. A file that ends early is closed off with an
// end-of-image marker, so what was decoded so far is kept.
struct PakSource {
    jpeg_source_mgr pub;
    Nubra::PFILE* file;
    bool startOfFile;
    bool atEnd;
    JOCTET buffer[kSourceBufferSize];
};

void InitSource(j_decompress_ptr info)
{
    auto* source = reinterpret_cast<PakSource*>(info->src);
    source->startOfFile = true;
    source->atEnd = false;
}

boolean FillInputBuffer(j_decompress_ptr info)
{
    auto* source = reinterpret_cast<PakSource*>(info->src);
    size_t got = source->atEnd ? 0 : Nubra::PakFileRead(source->buffer, 1, kSourceBufferSize, source->file);
    if (got == 0) {
        if (source->startOfFile)
            ERREXIT(info, JERR_INPUT_EMPTY);
        WARNMS(info, JWRN_JPEG_EOF);
        source->buffer[0] = 0xFF;
        source->buffer[1] = JPEG_EOI;
        got = 2;
        source->atEnd = true;
    }
    source->pub.next_input_byte = source->buffer;
    source->pub.bytes_in_buffer = got;
    source->startOfFile = false;
    return TRUE;
}

void SkipInputData(j_decompress_ptr info, long count)
{
    if (count <= 0)
        return;
    auto* source = reinterpret_cast<PakSource*>(info->src);
    while (size_t(count) > source->pub.bytes_in_buffer) {
        count -= long(source->pub.bytes_in_buffer);
        FillInputBuffer(info);
        if (source->atEnd)
            return; // nothing left to skip: the decoder meets the end marker next
    }
    source->pub.next_input_byte += count;
    source->pub.bytes_in_buffer -= size_t(count);
}

void TermSource(j_decompress_ptr) {}

// Each pixel's four ink bytes, read in place as one word, become 0xFFRRGGBB.
void InksToRGB(uint32_t* pixels, int width, bool inverted)
{
    auto* bytes = reinterpret_cast<const uint8_t*>(pixels);
    auto amount = [inverted](uint8_t ink) { return unsigned(inverted ? 255 - ink : ink); };
    for (int x = 0; x < width; ++x, bytes += 4)
        pixels[x] = RGBFromInks(amount(bytes[0]), amount(bytes[1]), amount(bytes[2]), amount(bytes[3]));
}

struct ReadState {
    jpeg_decompress_struct info{};
    ErrorHandler errors;
    PakSource source;
    jpeg_progress_mgr progress{};
    ImagePtr image;

    ~ReadState() { jpeg_destroy_decompress(&info); }
};

// Everything that outlives a long jump lives in state, built before the jump point.
bool Decode(ReadState& state, Nubra::PFILE* file)
{
    jpeg_decompress_struct& info = state.info;
    InstallErrorHandler(state.errors, &info.err);
    if (setjmp(state.errors.jump))
        return false;
    jpeg_create_decompress(&info);
    info.mem->max_memory_to_use = kMaxDecoderMemory;
    state.progress.progress_monitor = LimitScans;
    info.progress = &state.progress;
    state.source.pub = {nullptr, 0, InitSource, FillInputBuffer, SkipInputData, jpeg_resync_to_restart, TermSource};
    state.source.file = file;
    info.src = &state.source.pub;

    jpeg_read_header(&info, TRUE);
    bool inks = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    // Grey g gives 0xFFgggggg, colour 0xFFRRGGBB; inks come as C, M, Y, K bytes and are mixed after.
    info.out_color_space = inks ? JCS_CMYK : JCS_EXT_BGRA;
    jpeg_calc_output_dimensions(&info);
    state.image = Image::Create(info.output_width, info.output_height);
    if (!state.image)
        return false;
    jpeg_start_decompress(&info);
    // Adobe's files store each ink inverted (255 is none); others store the amount of ink.
    bool inverted = info.saw_Adobe_marker;
    while (info.output_scanline < info.output_height) {
        uint32_t* pixels = state.image->Row(int(info.output_scanline));
        JSAMPROW row = reinterpret_cast<JSAMPROW>(pixels);
        jpeg_read_scanlines(&info, &row, 1);
        if (inks)
            InksToRGB(pixels, state.image->GetWidth(), inverted);
    }
    return true;
}

struct WriteState {
    jpeg_compress_struct info{};
    ErrorHandler errors;

    ~WriteState() { jpeg_destroy_compress(&info); }
};

bool Encode(WriteState& state, FILE* out, const Image& image)
{
    jpeg_compress_struct& info = state.info;
    InstallErrorHandler(state.errors, &info.err);
    if (setjmp(state.errors.jump))
        return false;
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, out);
    info.image_width = JDIMENSION(image.GetWidth());
    info.image_height = JDIMENSION(image.GetHeight());
    info.input_components = 4;
    info.in_color_space = JCS_EXT_BGRX; // the words 0xAARRGGBB as bytes; alpha is dropped
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, kWriteQuality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        // The library only reads the rows it is given.
        JSAMPROW row = const_cast<JSAMPROW>(reinterpret_cast<const JSAMPLE*>(image.Row(int(info.next_scanline))));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    return true;
}

} // namespace

ImagePtr GetJPEGImage(const std::string& name)
{
    PakFilePtr file = OpenImageFile(name);
    if (!file)
        return nullptr;
    ReadState state;
    if (!Decode(state, file.get()))
        return nullptr;
    return std::move(state.image);
}

bool WriteJPEGImage(const std::string& name, const Image& image)
{
    ImageOutputFile out(name);
    if (!out.Get())
        return false;
    WriteState state;
    if (!Encode(state, out.Get(), image))
        return false;
    return out.Commit();
}

} // namespace ImageLib

#include "framework/graphics/ImageFileIO.h"
#include "framework/graphics/ImageLib.h"

#include <array>
#include <cstring>

namespace ImageLib {
namespace {

constexpr uint8_t kImageDescriptor = 0x2C;
constexpr uint8_t kExtension = 0x21;
constexpr uint8_t kGraphicControl = 0xF9;
constexpr uint8_t kHasColourTable = 0x80;
constexpr uint8_t kInterlaced = 0x40;
constexpr int kMaxCodeBits = 12;
constexpr int kTableSize = 1 << kMaxCodeBits;

using Palette = std::array<uint32_t, 256>;

// The file's bytes as the decoder asks for them, read through the data-file layer a buffer at a
// time, so a file is read only as far as its first image; once past the end, every read fails.
class ByteReader {
public:
    explicit ByteReader(Nubra::PFILE* file) : mFile(file) {}

    bool Byte(uint8_t* out)
    {
        if (mPos == mEnd && !Fill(1))
            return false;
        *out = mBuffer[mPos++];
        return true;
    }
    bool U16(unsigned* out)
    {
        const uint8_t* bytes = Take(2);
        if (!bytes)
            return false;
        *out = bytes[0] | unsigned(bytes[1]) << 8;
        return true;
    }
    // Null when fewer bytes are left; count is at most a colour table's 768.
    const uint8_t* Take(size_t count)
    {
        if (mEnd - mPos < count && !Fill(count))
            return nullptr;
        const uint8_t* start = mBuffer.data() + mPos;
        mPos += count;
        return start;
    }

private:
    // Moves what is left to the front and reads until count bytes are there or the file ends.
    bool Fill(size_t count)
    {
        std::memmove(mBuffer.data(), mBuffer.data() + mPos, mEnd - mPos);
        mEnd -= mPos;
        mPos = 0;
        while (mEnd < count) {
            size_t got = Nubra::PakFileRead(mBuffer.data() + mEnd, 1, mBuffer.size() - mEnd, mFile);
            if (got == 0)
                return false;
            mEnd += got;
        }
        return true;
    }

    Nubra::PFILE* mFile;
    std::array<uint8_t, 16 * 1024> mBuffer;
    size_t mPos = 0;
    size_t mEnd = 0;
};

// A colour table of 2^(size+1) entries R, G, B becomes opaque words; the rest stay opaque black.
bool ReadColourTable(ByteReader& in, uint8_t flags, Palette* palette)
{
    palette->fill(0xFF000000);
    size_t entries = size_t(2) << (flags & 7);
    const uint8_t* rgb = in.Take(entries * 3);
    if (!rgb)
        return false;
    for (size_t i = 0; i < entries; ++i, rgb += 3)
        (*palette)[i] = 0xFF000000 | uint32_t(rgb[0]) << 16 | uint32_t(rgb[1]) << 8 | rgb[2];
    return true;
}

// Reads the sub-blocks of an extension up to their terminator. A graphic control block may set
// the transparent index.
bool ReadExtension(ByteReader& in, int* transparentIndex)
{
    uint8_t label;
    if (!in.Byte(&label))
        return false;
    for (bool first = true;; first = false) {
        uint8_t length;
        if (!in.Byte(&length))
            return false;
        if (length == 0)
            return true;
        const uint8_t* data = in.Take(length);
        if (!data)
            return false;
        if (first && label == kGraphicControl && length >= 4 && (data[0] & 1))
            *transparentIndex = data[3];
    }
}

// The LZW codes, least significant bit first, across the image's data sub-blocks.
class CodeReader {
public:
    explicit CodeReader(ByteReader& in) : mIn(in) {}

    // -1 when the data have run out.
    int Read(int bits)
    {
        while (mCount < bits) {
            uint8_t byte;
            if (!NextByte(&byte))
                return -1;
            mBits |= uint32_t(byte) << mCount;
            mCount += 8;
        }
        int code = int(mBits & ((1u << bits) - 1));
        mBits >>= bits;
        mCount -= bits;
        return code;
    }

private:
    bool NextByte(uint8_t* out)
    {
        if (mBlockLeft == 0) {
            if (mEnded || !mIn.Byte(&mBlockLeft) || mBlockLeft == 0) {
                mEnded = true;
                return false;
            }
        }
        --mBlockLeft;
        return mIn.Byte(out);
    }

    ByteReader& mIn;
    uint8_t mBlockLeft = 0;
    bool mEnded = false;
    uint32_t mBits = 0;
    int mCount = 0;
};

// Places decoded pixels row by row, or in the four interlace passes.
class PixelSink {
public:
    PixelSink(Image& image, const Palette& colours, bool interlaced)
        : mImage(image), mColours(colours), mInterlaced(interlaced)
    {
    }

    bool Full() const { return mFull; }
    void Put(uint8_t index)
    {
        if (mFull)
            return;
        mImage.Row(mY)[mX] = mColours[index];
        if (++mX == mImage.GetWidth()) {
            mX = 0;
            NextRow();
        }
    }

private:
    void NextRow()
    {
        static constexpr int kPassStart[] = {0, 4, 2, 1};
        static constexpr int kPassStep[] = {8, 8, 4, 2};
        mY += mInterlaced ? kPassStep[mPass] : 1;
        while (mY >= mImage.GetHeight()) {
            if (!mInterlaced || ++mPass == 4) {
                mFull = true;
                return;
            }
            mY = kPassStart[mPass];
        }
    }

    Image& mImage;
    const Palette& mColours;
    bool mInterlaced;
    int mX = 0;
    int mY = 0;
    int mPass = 0;
    bool mFull = false;
};

// Decodes until the end code, a broken code or the end of the data; what is not reached stays 0.
void DecodeLZW(CodeReader& codes, int minCodeSize, PixelSink& out)
{
    const int clear = 1 << minCodeSize;
    const int end = clear + 1;
    std::array<uint16_t, kTableSize> prefix;
    std::array<uint8_t, kTableSize> suffix;
    std::array<uint8_t, kTableSize + 1> stack;
    for (int i = 0; i < clear; ++i)
        suffix[i] = uint8_t(i);

    int codeSize = minCodeSize + 1;
    int next = clear + 2;
    int previous = -1;
    uint8_t firstOfPrevious = 0;
    while (!out.Full()) {
        int code = codes.Read(codeSize);
        if (code < 0 || code == end)
            return;
        if (code == clear) {
            codeSize = minCodeSize + 1;
            next = clear + 2;
            previous = -1;
            continue;
        }
        if (previous < 0) {
            if (code >= clear)
                return;
            out.Put(uint8_t(code));
            previous = code;
            firstOfPrevious = uint8_t(code);
            continue;
        }
        if (code > next || (code == next && next == kTableSize))
            return;

        size_t depth = 0;
        int walk = code;
        if (code == next) {
            stack[depth++] = firstOfPrevious;
            walk = previous;
        }
        while (walk >= clear) {
            stack[depth++] = suffix[walk];
            walk = prefix[walk];
        }
        firstOfPrevious = uint8_t(walk);
        stack[depth++] = firstOfPrevious;
        while (depth > 0)
            out.Put(stack[--depth]);

        // A full table takes no entries until the next clear code; the code size stays at 12.
        if (next < kTableSize) {
            prefix[next] = uint16_t(previous);
            suffix[next] = firstOfPrevious;
            if (++next == (1 << codeSize) && codeSize < kMaxCodeBits)
                ++codeSize;
        }
        previous = code;
    }
}

} // namespace

ImagePtr GetGIFImage(const std::string& name)
{
    PakFilePtr file = OpenImageFile(name);
    if (!file)
        return nullptr;
    ByteReader in(file.get());
    const uint8_t* signature = in.Take(6);
    if (!signature || (std::memcmp(signature, "GIF87", 5) != 0 && std::memcmp(signature, "GIF89", 5) != 0))
        return nullptr;
    const uint8_t* screen = in.Take(7);
    if (!screen)
        return nullptr;
    Palette colours;
    colours.fill(0xFF000000);
    if ((screen[4] & kHasColourTable) && !ReadColourTable(in, screen[4], &colours))
        return nullptr;

    int transparentIndex = -1;
    for (;;) {
        uint8_t block;
        if (!in.Byte(&block))
            return nullptr;
        if (block == kImageDescriptor)
            break;
        if (block != kExtension || !ReadExtension(in, &transparentIndex))
            return nullptr; // the trailer before any image, or an unknown block
    }

    unsigned left, top, width, height;
    uint8_t flags, minCodeSize;
    if (!in.U16(&left) || !in.U16(&top) || !in.U16(&width) || !in.U16(&height) || !in.Byte(&flags))
        return nullptr;
    if ((flags & kHasColourTable) && !ReadColourTable(in, flags, &colours))
        return nullptr;
    if (!in.Byte(&minCodeSize) || minCodeSize < 1 || minCodeSize > 8)
        return nullptr;
    ImagePtr image = Image::Create(width, height);
    if (!image)
        return nullptr;

    if (transparentIndex >= 0)
        colours[transparentIndex] = 0;
    PixelSink pixels(*image, colours, (flags & kInterlaced) != 0);
    CodeReader codes(in);
    DecodeLZW(codes, minCodeSize, pixels);
    return image;
}

} // namespace ImageLib

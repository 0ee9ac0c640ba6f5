#include "engine/ui/AnmFile.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr size_t kHeaderSize = 12;
constexpr size_t kClipSize = 140;
constexpr size_t kNameSize = 64;
constexpr size_t kBlockSize = 24;
constexpr size_t kFrameSize = 24;

uint32_t ReadU32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }

int32_t ReadI32(const uint8_t* p) { return int32_t(ReadU32(p)); }

void PutU32(std::vector<uint8_t>& out, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out[at + i] = uint8_t(value >> (8 * i));
}

// The body as the file stores it, with its pointers checked on the way in.
class Body {
public:
    Body(const uint8_t* data, uint32_t size, uint32_t base) : data_(data), size_(size), base_(base) {}

    // The offset a pointer at `at` denotes, when `length` bytes fit there.
    bool Target(size_t at, uint64_t length, size_t& offset) const
    {
        const int64_t target = int64_t(ReadU32(data_ + at)) - int64_t(base_);
        if (target < 0 || uint64_t(target) + length > size_)
            return false;
        offset = size_t(target);
        return true;
    }
    // A name that ends within its field.
    bool Name(size_t at, std::string& out) const
    {
        const void* end = std::memchr(data_ + at, 0, kNameSize);
        if (!end)
            return false;
        out.assign(reinterpret_cast<const char*>(data_ + at), static_cast<const uint8_t*>(end) - (data_ + at));
        return true;
    }
    const uint8_t* At(size_t offset) const { return data_ + offset; }

private:
    const uint8_t* data_;
    uint32_t size_;
    uint32_t base_;
};

bool ParseClip(const Body& body, size_t at, AnmClip& clip, std::string& error)
{
    if (!body.Name(at, clip.file) || !body.Name(at + 68, clip.name)) {
        error = "a name without its end";
        return false;
    }
    clip.width = ReadI32(body.At(at + 132));
    size_t block = 0;
    if (!body.Target(at + 136, kBlockSize, block)) {
        error = "a frame block outside the body";
        return false;
    }
    clip.loop = ReadI32(body.At(block + 8));
    clip.fps = ReadI32(body.At(block + 12));
    const int32_t count = ReadI32(body.At(block + 16));
    if (count < 0) {
        error = "a negative frame count";
        return false;
    }
    if (count < 2)
        clip.fps = 0;
    if (count == 0)
        return true;
    size_t frames = 0;
    if (!body.Target(block + 20, uint64_t(count) * kFrameSize, frames)) {
        error = "frames outside the body";
        return false;
    }
    clip.frames.resize(size_t(count));
    for (AnmFrame& frame : clip.frames) {
        const uint8_t* p = body.At(frames);
        frame = {ReadI32(p), ReadI32(p + 4), ReadI32(p + 8), ReadI32(p + 12), ReadI32(p + 16), ReadI32(p + 20)};
        frames += kFrameSize;
    }
    return true;
}

void PutName(std::vector<uint8_t>& out, size_t at, const std::string& name)
{
    std::memcpy(out.data() + at, name.data(), std::min(name.size(), kNameSize - 1));
}

} // namespace

bool ParseAnm(const uint8_t* data, size_t size, std::vector<AnmClip>& clips, std::string& error)
{
    clips.clear();
    if (size < kHeaderSize || ReadU32(data) != kAnmMagic) {
        error = "not an animation file";
        return false;
    }
    const uint32_t base = ReadU32(data + 4);
    const uint32_t bodySize = ReadU32(data + 8);
    if (bodySize < 8 || bodySize > size - kHeaderSize) {
        error = "a body size the file does not hold";
        return false;
    }
    const Body body(data + kHeaderSize, bodySize, base);
    const uint32_t count = ReadU32(body.At(0));
    size_t at = 0;
    if (!body.Target(4, uint64_t(count) * kClipSize, at)) {
        error = "a clip array outside the body";
        return false;
    }
    std::vector<AnmClip> parsed(count);
    for (AnmClip& clip : parsed) {
        if (!ParseClip(body, at, clip, error))
            return false;
        at += kClipSize;
    }
    clips = std::move(parsed);
    return true;
}

std::vector<uint8_t> WriteAnm(const std::vector<AnmClip>& clips, uint32_t base)
{
    size_t bodySize = 8 + clips.size() * kClipSize;
    for (const AnmClip& clip : clips)
        bodySize += kBlockSize + clip.frames.size() * kFrameSize;
    std::vector<uint8_t> out(kHeaderSize + bodySize, 0);
    PutU32(out, 0, kAnmMagic);
    PutU32(out, 4, base);
    PutU32(out, 8, uint32_t(bodySize));
    auto put = [&out](size_t bodyOffset, uint32_t value) { PutU32(out, kHeaderSize + bodyOffset, value); };
    put(0, uint32_t(clips.size()));
    put(4, base + 8);
    size_t next = 8 + clips.size() * kClipSize;
    for (size_t i = 0; i < clips.size(); ++i) {
        const AnmClip& clip = clips[i];
        const size_t record = 8 + i * kClipSize;
        PutName(out, kHeaderSize + record, clip.file);
        PutName(out, kHeaderSize + record + 68, clip.name);
        put(record + 132, uint32_t(clip.width));
        put(record + 136, base + uint32_t(next));
        put(next + 8, uint32_t(clip.loop));
        put(next + 12, uint32_t(clip.fps));
        put(next + 16, uint32_t(clip.frames.size()));
        put(next + 20, base + uint32_t(next + kBlockSize));
        size_t frame = next + kBlockSize;
        for (const AnmFrame& f : clip.frames) {
            const int32_t values[6] = {f.srcX, f.srcY, f.width, f.height, f.offsetX, f.offsetY};
            for (int k = 0; k < 6; ++k)
                put(frame + 4 * k, uint32_t(values[k]));
            frame += kFrameSize;
        }
        next = frame;
    }
    return out;
}

#include "framework/audio/WaveFile.h"

#include <cstdio>
#include <cstring>

namespace Nubra {

namespace {

class HeaderWriter {
public:
    explicit HeaderWriter(uint8_t* out) : out_(out) {}
    void Tag(const char* fourCC)
    {
        std::memcpy(out_, fourCC, 4);
        out_ += 4;
    }
    void U16(uint32_t value) { Bytes(value, 2); }
    void U32(uint32_t value) { Bytes(value, 4); }

private:
    void Bytes(uint32_t value, int count)
    {
        for (int i = 0; i < count; ++i)
            *out_++ = uint8_t(value >> (8 * i));
    }
    uint8_t* out_;
};

} // namespace

std::array<uint8_t, kWaveHeaderSize> MakeWaveHeader(const PcmFormat& format, uint32_t dataLength)
{
    std::array<uint8_t, kWaveHeaderSize> header{};
    HeaderWriter out(header.data());
    out.Tag("RIFF");
    out.U32(36 + dataLength); // everything after this field
    out.Tag("WAVE");
    out.Tag("fmt ");
    out.U32(16);
    out.U16(1); // PCM
    out.U16(uint32_t(format.channels));
    out.U32(uint32_t(format.sampleRate));
    out.U32(uint32_t(format.sampleRate * format.BlockAlign()));
    out.U16(uint32_t(format.BlockAlign()));
    out.U16(uint32_t(format.bitsPerSample));
    out.Tag("data");
    out.U32(dataLength);
    return header;
}

bool WriteWaveFile(const std::string& path, const PcmFormat& format,
                   std::initializer_list<std::span<const uint8_t>> data)
{
    size_t length = 0;
    for (std::span<const uint8_t> part : data)
        length += part.size();
    if (length > UINT32_MAX - 36)
        return false;
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    auto header = MakeWaveHeader(format, uint32_t(length));
    bool written = std::fwrite(header.data(), 1, header.size(), file) == header.size();
    for (std::span<const uint8_t> part : data)
        written = written && (part.empty() || std::fwrite(part.data(), 1, part.size(), file) == part.size());
    written = std::fclose(file) == 0 && written;
    if (!written)
        std::remove(path.c_str());
    return written;
}

} // namespace Nubra

#include "framework/util/Buffer.h"

#include <algorithm>
#include <cstring>

namespace Nubra {
namespace {

constexpr size_t kMaxStringLength = 0xFFFF;

int ClampBitCount(int count)
{
    return std::clamp(count, 0, 32);
}

} // namespace

void Buffer::WriteByte(uint8_t value)
{
    WriteNumBits(value, 8);
}

// Bits are written byte piece by byte piece; each piece replaces the bits it covers, so a write
// behind the end of the data (after AssignBytes) overwrites instead of mixing.
void Buffer::WriteNumBits(uint32_t value, int count)
{
    count = ClampBitCount(count);
    uint64_t bits = value;
    while (count > 0) {
        size_t index = writeBits_ / 8;
        int offset = int(writeBits_ % 8);
        if (index >= data_.size())
            data_.resize(index + 1, 0);
        int take = std::min(8 - offset, count);
        uint8_t mask = uint8_t(((1u << take) - 1) << offset);
        data_[index] = uint8_t((data_[index] & ~mask) | ((bits << offset) & mask));
        bits >>= take;
        count -= take;
        writeBits_ += size_t(take);
    }
    dataBits_ = std::max(dataBits_, writeBits_);
}

void Buffer::WriteBoolean(bool value)
{
    WriteByte(value ? 1 : 0);
}

void Buffer::WriteShort(uint16_t value)
{
    WriteByte(uint8_t(value));
    WriteByte(uint8_t(value >> 8));
}

void Buffer::WriteLong(uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        WriteByte(uint8_t(value >> shift));
}

void Buffer::WriteString(const std::string& text)
{
    size_t length = std::min(text.size(), kMaxStringLength);
    WriteShort(uint16_t(length));
    WriteBytes(text.data(), length);
}

void Buffer::WriteBytes(const void* data, size_t count)
{
    if (count == 0)
        return;
    const auto* bytes = static_cast<const uint8_t*>(data);
    if (writeBits_ % 8 == 0 && writeBits_ / 8 == data_.size()) {
        data_.insert(data_.end(), bytes, bytes + count);
        writeBits_ += count * 8;
        dataBits_ = std::max(dataBits_, writeBits_);
        return;
    }
    for (size_t i = 0; i < count; ++i)
        WriteByte(bytes[i]);
}

uint8_t Buffer::ReadByte()
{
    // A byte is read only when every byte it touches exists.
    if ((readBits_ + 7) / 8 >= data_.size())
        return 0;
    return uint8_t(ReadNumBits(8, false));
}

int32_t Buffer::ReadNumBits(int count, bool signExtend)
{
    count = ClampBitCount(count);
    uint32_t result = 0;
    int got = 0;
    while (got < count && readBits_ / 8 < data_.size()) {
        int offset = int(readBits_ % 8);
        int take = std::min(8 - offset, count - got);
        uint32_t piece = (uint32_t(data_[readBits_ / 8]) >> offset) & ((1u << take) - 1);
        result |= piece << got;
        got += take;
        readBits_ += size_t(take);
    }
    bool lastBitSet = got > 0 && ((result >> (got - 1)) & 1) != 0;
    if (signExtend && count < 32 && lastBitSet)
        result |= ~0u << count;
    return int32_t(result);
}

bool Buffer::ReadBoolean()
{
    return ReadByte() != 0;
}

uint16_t Buffer::ReadShort()
{
    uint16_t low = ReadByte();
    return uint16_t(low | (ReadByte() << 8));
}

uint32_t Buffer::ReadLong()
{
    uint32_t value = 0;
    for (int shift = 0; shift < 32; shift += 8)
        value |= uint32_t(ReadByte()) << shift;
    return value;
}

std::string Buffer::ReadString()
{
    std::string text(ReadShort(), '\0');
    ReadBytes(text.data(), text.size());
    return text;
}

void Buffer::ReadBytes(void* out, size_t count)
{
    if (count == 0)
        return;
    auto* bytes = static_cast<uint8_t*>(out);
    size_t index = readBits_ / 8;
    if (readBits_ % 8 == 0 && index <= data_.size() && count <= data_.size() - index) {
        std::memcpy(bytes, data_.data() + index, count);
        readBits_ += count * 8;
        return;
    }
    for (size_t i = 0; i < count; ++i)
        bytes[i] = ReadByte();
}

void Buffer::Clear()
{
    data_.clear();
    dataBits_ = readBits_ = writeBits_ = 0;
}

void Buffer::AssignBytes(const void* data, size_t count)
{
    const auto* bytes = static_cast<const uint8_t*>(data);
    data_.assign(bytes, bytes + count);
    dataBits_ = count * 8;
}

} // namespace Nubra

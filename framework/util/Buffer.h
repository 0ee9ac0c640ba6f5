#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace Nubra {

// A growable byte array with independent write and read positions counted in bits, so that
// fields of any width pack without alignment. Stream bit k is bit (k mod 8) of byte k / 8;
// multi-byte values go least significant byte first, so an aligned stream is plain
// little-endian.
//
// Reading past the end never fails: ReadByte gives 0 without moving, bit reads stop early.
class Buffer {
public:
    Buffer() = default;
    virtual ~Buffer() = default;

    // Writes place bits at the write position and raise the data size to it when they pass it.
    void WriteByte(uint8_t value);
    // The low count bits of value, lowest first; count is clamped to 0..32.
    void WriteNumBits(uint32_t value, int count);
    void WriteBoolean(bool value); // one byte, 1 or 0
    void WriteShort(uint16_t value);
    void WriteLong(uint32_t value);
    // A 16-bit length, then the bytes. Only the first 65535 bytes of a longer string are
    // written, so that the length always describes what follows.
    void WriteString(const std::string& text);
    void WriteBytes(const void* data, size_t count);

    uint8_t ReadByte();
    // count is clamped to 0..32. With signExtend, a count below 32 and the last bit read set,
    // bits count..31 of the result are set.
    int32_t ReadNumBits(int count, bool signExtend);
    bool ReadBoolean();
    uint16_t ReadShort();
    uint32_t ReadLong();
    std::string ReadString();
    void ReadBytes(void* out, size_t count);

    void SeekFront() { readBits_ = 0; }
    size_t GetReadPos() const { return readBits_; }
    void SetReadPos(size_t bits) { readBits_ = bits; }
    bool AtEnd() const { return readBits_ >= dataBits_; }

    size_t GetDataLen() const { return (dataBits_ + 7) / 8; }
    size_t GetDataBits() const { return dataBits_; }
    const uint8_t* GetDataPtr() const { return data_.empty() ? nullptr : data_.data(); }

    void Clear();
    // Replaces the data by count bytes; the read and write positions stay where they are.
    void AssignBytes(const void* data, size_t count);

private:
    std::vector<uint8_t> data_;
    size_t dataBits_ = 0;
    size_t readBits_ = 0;
    size_t writeBits_ = 0;
};

} // namespace Nubra

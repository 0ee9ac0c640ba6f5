#include "framework/util/Buffer.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

using namespace Nubra;

namespace {

std::vector<uint8_t> Bytes(const Buffer& buffer)
{
    const uint8_t* data = buffer.GetDataPtr();
    return data ? std::vector<uint8_t>(data, data + buffer.GetDataLen()) : std::vector<uint8_t>{};
}

} // namespace

TEST(Buffer, FieldsStraddleByteBoundariesLowBitFirst)
{
    Buffer buffer;
    buffer.WriteNumBits(5, 4);
    buffer.WriteByte(0xAB);
    EXPECT_EQ(Bytes(buffer), (std::vector<uint8_t>{0xB5, 0x0A}));
    EXPECT_EQ(buffer.GetDataBits(), 12u);
    EXPECT_EQ(buffer.GetDataLen(), 2u);

    EXPECT_EQ(buffer.ReadNumBits(4, false), 5);
    EXPECT_EQ(buffer.ReadByte(), 0xAB);
    EXPECT_TRUE(buffer.AtEnd());
}

TEST(Buffer, AlignedValuesArePlainLittleEndian)
{
    Buffer buffer;
    buffer.WriteShort(0x1234);
    buffer.WriteLong(0xA1B2C3D4);
    buffer.WriteBoolean(true);
    buffer.WriteString("");
    buffer.WriteString("hi");
    EXPECT_EQ(Bytes(buffer),
              (std::vector<uint8_t>{0x34, 0x12, 0xD4, 0xC3, 0xB2, 0xA1, 0x01, 0x00, 0x00, 0x02, 0x00, 'h', 'i'}));
}

TEST(Buffer, SignExtension)
{
    struct Case {
        uint32_t written;
        int count;
        bool signExtend;
        int32_t read;
    } cases[] = {
        {0b101, 3, true, -3},        {0b101, 3, false, 5},       {0b011, 3, true, 3},
        {0x3F, 6, true, -1},         {0x20, 6, true, -32},       {0x1F, 6, true, 31},
        {0xFFFFFFFF, 32, true, -1},  {0x80000000, 32, false, int32_t(0x80000000)},
        {1, 1, true, -1},            {0, 0, true, 0},
    };
    for (const Case& c : cases) {
        Buffer buffer;
        buffer.WriteNumBits(1, 1); // put the field off the byte grid
        buffer.WriteNumBits(c.written, c.count);
        buffer.ReadNumBits(1, false);
        EXPECT_EQ(buffer.ReadNumBits(c.count, c.signExtend), c.read) << c.written << " in " << c.count;
    }
}

TEST(Buffer, ReadingPastTheEndGivesZerosWithoutFailing)
{
    Buffer empty;
    EXPECT_EQ(empty.GetDataPtr(), nullptr);
    EXPECT_EQ(empty.ReadByte(), 0);
    EXPECT_EQ(empty.GetReadPos(), 0u);
    EXPECT_EQ(empty.ReadLong(), 0u);
    EXPECT_EQ(empty.ReadString(), "");
    EXPECT_TRUE(empty.AtEnd());

    Buffer buffer;
    buffer.WriteNumBits(0x7F, 7);
    buffer.ReadNumBits(3, false);
    // The byte at bit 3 would need a second byte: nothing is read and nothing moves.
    EXPECT_EQ(buffer.ReadByte(), 0);
    EXPECT_EQ(buffer.GetReadPos(), 3u);
    // Bit reads take what the last byte holds (bit 7 is padding) and stop.
    EXPECT_EQ(buffer.ReadNumBits(12, false), 0x0F);
    EXPECT_EQ(buffer.GetReadPos(), 8u);
    // A string whose length runs past the data reads zeros for the missing bytes.
    Buffer shortString;
    shortString.WriteShort(4);
    shortString.WriteByte('a');
    EXPECT_EQ(shortString.ReadString(), std::string("a\0\0\0", 4));
}

TEST(Buffer, MixedFieldsAtEveryBitOffsetReadBackEqual)
{
    std::mt19937 random(7);
    using Field = std::pair<std::function<void(Buffer&)>, std::function<void(Buffer&)>>;
    for (int prefix = 0; prefix < 8; ++prefix) {
        std::vector<Field> fields;
        for (int i = 0; i < 200; ++i) {
            uint32_t value = random();
            int kind = int(random() % 7);
            int count = 1 + int(random() % 32);
            std::string text(random() % 5, char('a' + random() % 26));
            switch (kind) {
            case 0: fields.push_back({[=](Buffer& b) { b.WriteBoolean(value & 1); },
                                      [=](Buffer& b) { EXPECT_EQ(b.ReadBoolean(), bool(value & 1)); }});
                break;
            case 1: fields.push_back({[=](Buffer& b) { b.WriteShort(uint16_t(value)); },
                                      [=](Buffer& b) { EXPECT_EQ(b.ReadShort(), uint16_t(value)); }});
                break;
            case 2: fields.push_back({[=](Buffer& b) { b.WriteLong(value); },
                                      [=](Buffer& b) { EXPECT_EQ(b.ReadLong(), value); }});
                break;
            case 3: fields.push_back({[=](Buffer& b) { b.WriteString(text); },
                                      [=](Buffer& b) { EXPECT_EQ(b.ReadString(), text); }});
                break;
            case 4: fields.push_back({[=](Buffer& b) { b.WriteByte(uint8_t(value)); },
                                      [=](Buffer& b) { EXPECT_EQ(b.ReadByte(), uint8_t(value)); }});
                break;
            case 5: fields.push_back({[=](Buffer& b) { b.WriteBytes(text.data(), text.size()); },
                                      [=](Buffer& b) {
                                          std::string back(text.size(), '\0');
                                          b.ReadBytes(back.data(), back.size());
                                          EXPECT_EQ(back, text);
                                      }});
                break;
            default: {
                uint32_t masked = count == 32 ? value : value & ((1u << count) - 1);
                fields.push_back({[=](Buffer& b) { b.WriteNumBits(value, count); },
                                  [=](Buffer& b) { EXPECT_EQ(uint32_t(b.ReadNumBits(count, false)), masked); }});
            }
            }
        }
        Buffer buffer;
        buffer.WriteNumBits(0, prefix);
        for (const Field& field : fields)
            field.first(buffer);
        buffer.ReadNumBits(prefix, false);
        for (const Field& field : fields)
            field.second(buffer);
        EXPECT_TRUE(buffer.AtEnd()) << prefix;
    }
}

TEST(Buffer, BitCountsOutsideZeroToThirtyTwoAreClamped)
{
    Buffer buffer;
    buffer.WriteNumBits(0xFFFFFFFF, -4);
    EXPECT_EQ(buffer.GetDataBits(), 0u);
    buffer.WriteNumBits(0x89ABCDEF, 40);
    buffer.WriteByte(0x55);
    EXPECT_EQ(buffer.GetDataBits(), 40u);
    EXPECT_EQ(buffer.ReadNumBits(1000, true), int32_t(0x89ABCDEF));
    EXPECT_EQ(buffer.ReadNumBits(-1, true), 0);
    EXPECT_EQ(buffer.ReadByte(), 0x55);
}

TEST(Buffer, OverlongStringKeepsTheStreamReadable)
{
    Buffer buffer;
    buffer.WriteString(std::string(70000, 'x'));
    buffer.WriteLong(42);
    EXPECT_EQ(buffer.ReadString(), std::string(65535, 'x'));
    EXPECT_EQ(buffer.ReadLong(), 42u);
}

TEST(Buffer, AssignClearAndReadPosition)
{
    Buffer buffer;
    buffer.WriteLong(0x01020304);
    buffer.ReadShort();
    const uint8_t bytes[] = {9, 8, 7};
    buffer.AssignBytes(bytes, 3);
    EXPECT_EQ(buffer.GetDataBits(), 24u);
    EXPECT_EQ(buffer.ReadByte(), 7); // the read position stayed at 16

    buffer.SetReadPos(0);
    EXPECT_EQ(buffer.ReadShort(), 0x0809);
    buffer.SeekFront();
    EXPECT_EQ(buffer.ReadByte(), 9);

    // The write position stayed at 32, past the assigned bytes: a write lands there.
    buffer.WriteByte(0xEE);
    EXPECT_EQ(Bytes(buffer), (std::vector<uint8_t>{9, 8, 7, 0, 0xEE}));

    buffer.Clear();
    EXPECT_EQ(buffer.GetDataPtr(), nullptr);
    EXPECT_EQ(buffer.GetDataLen(), 0u);
    buffer.WriteByte(1);
    EXPECT_EQ(Bytes(buffer), (std::vector<uint8_t>{1}));
}

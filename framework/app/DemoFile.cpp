#include "framework/app/DemoFile.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <set>

#include "framework/util/StringUtils.h"
#include "platform/Files.h"
#include "platform/SignalSafeText.h"

namespace Nubra {
namespace {

constexpr char kInvalid[] = "Invalid demo file.";

void PutLong(uint8_t* at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = uint8_t(value >> (8 * i));
}

// Reads little-endian fields from the file's bytes; every read fails past the end.
class FieldReader {
public:
    explicit FieldReader(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}

    size_t Left() const { return bytes_.size() - pos_; }
    bool Long(uint32_t* value)
    {
        if (Left() < 4)
            return false;
        *value = 0;
        for (int i = 0; i < 4; ++i)
            *value |= uint32_t(bytes_[pos_ + size_t(i)]) << (8 * i);
        pos_ += 4;
        return true;
    }
    bool Short(uint16_t* value)
    {
        if (Left() < 2)
            return false;
        *value = uint16_t(bytes_[pos_] | bytes_[pos_ + 1] << 8);
        pos_ += 2;
        return true;
    }
    bool Bytes(size_t count, Buffer* out)
    {
        if (Left() < count)
            return false;
        out->WriteBytes(bytes_.data() + pos_, count);
        pos_ += count;
        return true;
    }
    bool Text(size_t count, std::string* out)
    {
        if (Left() < count)
            return false;
        out->assign(reinterpret_cast<const char*>(bytes_.data() + pos_), count);
        pos_ += count;
        return true;
    }

private:
    const std::vector<uint8_t>& bytes_;
    size_t pos_ = 0;
};

bool Fail(std::string* error, const std::string& reason)
{
    *error = reason;
    return false;
}

// Only whole points count: a name or update cut off by the end of the block is missing.
bool ReadJumpPoints(Buffer& block, std::vector<DemoJumpPoint>* out)
{
    auto bitsLeft = [&block] { return block.GetDataBits() - std::min(block.GetReadPos(), block.GetDataBits()); };
    if (bitsLeft() < 32)
        return false;
    const uint32_t count = block.ReadLong();
    while (out->size() < count && !block.AtEnd()) {
        if (bitsLeft() < 16)
            return false;
        const uint16_t nameLength = block.ReadShort();
        if (bitsLeft() < (size_t(nameLength) + 4) * 8)
            return false;
        DemoJumpPoint point;
        point.name.resize(nameLength);
        block.ReadBytes(point.name.data(), nameLength);
        point.update = block.ReadLong();
        out->push_back(std::move(point));
    }
    return out->size() == count;
}

// The numbers of the "<n>.dmo" files, n a whole number without a sign.
std::set<int> DemoNumbers(const std::string& folder)
{
    std::set<int> numbers;
    for (const std::string& name : plat::ListDir(folder, ".dmo")) {
        std::string_view stem(name.data(), name.size() - 4);
        int number = 0;
        auto [end, error] = std::from_chars(stem.data(), stem.data() + stem.size(), number);
        if (!stem.empty() && stem.front() != '-' && error == std::errc() && end == stem.data() + stem.size())
            numbers.insert(number);
    }
    return numbers;
}

} // namespace

Buffer JumpPointBlock(const std::vector<DemoJumpPoint>& jumpPoints)
{
    Buffer block;
    block.WriteLong(uint32_t(jumpPoints.size()));
    for (const DemoJumpPoint& point : jumpPoints) {
        block.WriteString(point.name);
        block.WriteLong(point.update);
    }
    return block;
}

bool SaveDemoFile(const char* path, uint32_t seed, const std::string& version, const Buffer& jumpBlock,
                  uint32_t length, const Buffer& stream)
{
    const size_t versionLength = std::min(version.size(), kDemoMaxVersionLength);
    uint8_t head[14];
    PutLong(head, kDemoMagic);
    PutLong(head + 4, kDemoFormatVersion);
    PutLong(head + 8, seed);
    head[12] = uint8_t(versionLength);
    head[13] = 0;
    uint8_t blockSize[4];
    PutLong(blockSize, uint32_t(jumpBlock.GetDataLen()));
    uint8_t demoLength[4];
    PutLong(demoLength, length);
    const plat::SignalSafePiece pieces[] = {
        {head, sizeof head},
        {version.data(), versionLength},
        {blockSize, sizeof blockSize},
        {jumpBlock.GetDataPtr(), jumpBlock.GetDataLen()},
        {demoLength, sizeof demoLength},
        {stream.GetDataPtr(), stream.GetDataLen()},
    };
    return plat::WriteFileSignalSafe(path, pieces, std::size(pieces));
}

bool LoadDemoFile(const std::string& path, const std::string& expectedVersion, DemoRecording* out,
                  std::string* error)
{
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return Fail(error, "Demo file not found: " + path);
    std::vector<uint8_t> bytes;
    uint8_t chunk[65536];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + got);
    std::fclose(file);
    return ParseDemoFile(bytes, expectedVersion, out, error);
}

bool ParseDemoFile(const std::vector<uint8_t>& bytes, const std::string& expectedVersion, DemoRecording* out,
                   std::string* error)
{
    FieldReader reader(bytes);
    uint32_t magic = 0, formatVersion = 0;
    uint16_t versionLength = 0;
    DemoRecording recording;
    if (!reader.Long(&magic) || magic != kDemoMagic || !reader.Long(&formatVersion) || !reader.Long(&recording.seed)
        || !reader.Short(&versionLength))
        return Fail(error, kInvalid);
    // Only so much of the version is kept; the rest is skipped so the fields after it still line up.
    std::string skipped;
    if (!reader.Text(std::min<size_t>(versionLength, kDemoMaxVersionLength), &recording.version)
        || !reader.Text(versionLength - recording.version.size(), &skipped))
        return Fail(error, kInvalid);
    if (recording.version != expectedVersion.substr(0, kDemoMaxVersionLength))
        return Fail(error, "This demo file appears to be for '" + recording.version + "'");

    if (formatVersion >= 2) {
        uint32_t blockSize = 0;
        if (!reader.Long(&blockSize) || blockSize >= reader.Left())
            return Fail(error, kInvalid);
        Buffer block;
        reader.Bytes(blockSize, &block);
        if (!ReadJumpPoints(block, &recording.jumpPoints))
            return Fail(error, kInvalid);
    }
    if (!reader.Long(&recording.length) || reader.Left() == 0)
        return Fail(error, kInvalid);
    reader.Bytes(reader.Left(), &recording.stream);
    recording.stream.SeekFront();
    *out = std::move(recording);
    return true;
}

int ScanDemoFiles(const std::string& folder, int limit, bool deleteOldest)
{
    std::set<int> numbers = DemoNumbers(folder);
    if (numbers.empty())
        return 0;
    if (deleteOldest && numbers.size() >= size_t(std::max(limit, 0)))
        std::remove((folder + StrFormat("%d.dmo", *numbers.begin())).c_str());
    return *numbers.rbegin();
}

} // namespace Nubra

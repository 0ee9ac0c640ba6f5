#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "framework/util/Buffer.h"

namespace Nubra {

// A demo file, little-endian: magic, format version, random seed, the product version (a
// 16-bit length, at most 255 bytes), the jump point block (version 2 on: a 32-bit size and a
// buffer of a 32-bit count and per point its name string and update), the demo length in
// updates, then the event stream to the end of the file.
constexpr uint32_t kDemoMagic = 0x42BEEF78;
constexpr uint32_t kDemoFormatVersion = 2;
constexpr size_t kDemoMaxVersionLength = 255;

// A named place in a recording that playback can jump to.
struct DemoJumpPoint {
    std::string name;
    uint32_t update = 0;
};

struct DemoRecording {
    uint32_t seed = 0;
    std::string version;
    std::vector<DemoJumpPoint> jumpPoints;
    uint32_t length = 0; // update steps recorded
    Buffer stream;
};

// The jump point block as it is stored.
Buffer JumpPointBlock(const std::vector<DemoJumpPoint>& jumpPoints);

// Writes the file with open and write only, so that a crash handler may call it. A version
// longer than the format holds is cut. False when the file cannot be written.
bool SaveDemoFile(const char* path, uint32_t seed, const std::string& version, const Buffer& jumpBlock,
                  uint32_t length, const Buffer& stream);

// Reads and checks a file. A file for another product version than expectedVersion is refused.
// On failure, error is the reason to show: "Demo file not found: <path>", "Invalid demo file."
// or "This demo file appears to be for '<version>'".
bool LoadDemoFile(const std::string& path, const std::string& expectedVersion, DemoRecording* out,
                  std::string* error);
// The same for the bytes of a file, named path in the messages.
bool ParseDemoFile(const std::vector<uint8_t>& bytes, const std::string& expectedVersion, DemoRecording* out,
                   std::string* error);

// The numbers of the "<n>.dmo" files in folder (which ends in '/'): the largest, or 0 for none.
// With deleteOldest, when at least limit numbers are there, the smallest one's file is deleted.
int ScanDemoFiles(const std::string& folder, int limit, bool deleteOldest);

} // namespace Nubra

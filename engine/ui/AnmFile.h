#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Animation files ("anm\<name>.anm"): clips of frames cut from one sheet image each. The file
// is a saved memory image whose pointers are addresses on a stored base; we read them as
// offsets into the body and check every one of them.

struct AnmFrame {
    int32_t srcX = 0, srcY = 0, width = 0, height = 0;
    int32_t offsetX = 0, offsetY = 0; // its place within the clip's box
};

struct AnmClip {
    enum Loop : int32_t { Looped = 0, OnceForward = 1, OnceBackward = 2 };

    std::string file; // the sheet image
    std::string name; // found by exact comparison
    int32_t width = 0; // the box frames are placed in; mirroring reflects within it
    int32_t loop = Looped; // any value but 0 and 2 plays once forward
    int32_t fps = 0; // 0 for clips of fewer than two frames
    std::vector<AnmFrame> frames;
};

constexpr uint32_t kAnmMagic = 0x214D4E41; // "ANM!"
constexpr uint32_t kAnmBase = 0x00400000;

// The clips of a whole file, or false with the reason when anything in it does not hold.
bool ParseAnm(const uint8_t* data, size_t size, std::vector<AnmClip>& clips, std::string& error);
// A file the parser reads back: the clip array, then each clip's frame block and frames.
std::vector<uint8_t> WriteAnm(const std::vector<AnmClip>& clips, uint32_t base = kAnmBase);

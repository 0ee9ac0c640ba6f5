#pragma once
#include <cstdint>

struct SDL_Cursor;

namespace plat {

// The mouse pointer drawn by the system from a picture: 0xAARRGGBB pixels, rows without gaps.
// Until one is shown, and after Reset, the system's own arrow shows.
class ColorCursor {
public:
    ColorCursor() = default;
    ~ColorCursor();
    ColorCursor(const ColorCursor&) = delete;
    ColorCursor& operator=(const ColorCursor&) = delete;

    // False, with the pointer unchanged, where the system draws no pictures as pointers.
    bool Show(const uint32_t* pixels, int width, int height, int hotX, int hotY);
    void Reset();
    bool IsShown() const { return cursor_ != nullptr; }

private:
    SDL_Cursor* cursor_ = nullptr;
};

} // namespace plat

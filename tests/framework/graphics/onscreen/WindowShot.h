#pragma once
#include <cstdint>
#include <vector>

struct SDL_Window;

// The pixels (0x00RRGGBB, rows without gaps) of a window's top-left width x height, as the X
// server shows them; empty when they cannot be read.
std::vector<uint32_t> WindowShot(SDL_Window* window, int width, int height);

#pragma once
#include <cstdint>
#include <vector>

struct SDL_Window;

// The pixels (0x00RRGGBB, rows without gaps) of a window's top-left width x height, as the X
// server shows them; empty when they cannot be read.
std::vector<uint32_t> WindowShot(SDL_Window* window, int width, int height);

// Where the X server has the window, which is not always what SDL believes.
struct ServerGeometry {
    int x = 0, y = 0, width = 0, height = 0;
};
ServerGeometry WindowGeometry(SDL_Window* window);

// The pointer moved to (x, y) of the window and a left click there, through the X server.
void ServerClick(SDL_Window* window, int x, int y);

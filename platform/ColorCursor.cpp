#include "platform/ColorCursor.h"

#include <SDL.h>

namespace plat {

ColorCursor::~ColorCursor() { Reset(); }

bool ColorCursor::Show(const uint32_t* pixels, int width, int height, int hotX, int hotY)
{
    SDL_Surface* picture = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(pixels), width, height, 32,
                                                               width * 4, SDL_PIXELFORMAT_ARGB8888);
    if (!picture)
        return false;
    SDL_Cursor* cursor = SDL_CreateColorCursor(picture, hotX, hotY);
    SDL_FreeSurface(picture);
    if (!cursor)
        return false;
    SDL_SetCursor(cursor);
    SDL_ShowCursor(SDL_ENABLE);
    if (cursor_)
        SDL_FreeCursor(cursor_);
    cursor_ = cursor;
    return true;
}

void ColorCursor::Reset()
{
    if (!cursor_)
        return;
    SDL_SetCursor(SDL_GetDefaultCursor());
    SDL_FreeCursor(cursor_);
    cursor_ = nullptr;
}

} // namespace plat

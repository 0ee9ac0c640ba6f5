#include "platform/Cursors.h"

#include <SDL.h>

#include <string_view>

namespace plat {
namespace {

// The dragging hand, 32 x 32: 'X' black, '.' white, blanks show through.
constexpr std::string_view kDragHand[] = {
    "", "", "", "", "", "",
    "            XX XX XX",
    "           X..X..X..XX",
    "           X..X..X..X.X",
    "         XXX........X..X",
    "        X..X...........X",
    "        X...............X",
    "         X..............X",
    "          X.............X",
    "          X............X",
    "           X...........X",
    "            X.........X",
    "            X.........X",
    "            XXXXXXXXXXX",
};
constexpr int kDragHotX = 15;
constexpr int kDragHotY = 10;

SDL_Cursor* MakeDragHand()
{
    Uint8 data[128] = {};
    Uint8 mask[128] = {};
    int row = 0;
    for (std::string_view line : kDragHand) {
        for (size_t column = 0; column < line.size() && column < 32; ++column) {
            const size_t byte = size_t(row) * 4 + column / 8;
            const auto bit = Uint8(0x80 >> (column % 8));
            if (line[column] != ' ')
                mask[byte] |= bit;
            if (line[column] == 'X')
                data[byte] |= bit;
        }
        ++row;
    }
    return SDL_CreateCursor(data, mask, 32, 32, kDragHotX, kDragHotY);
}

SDL_SystemCursor SdlShape(SystemCursor cursor)
{
    switch (cursor) {
    case SystemCursor::Hand: return SDL_SYSTEM_CURSOR_HAND;
    case SystemCursor::IBeam: return SDL_SYSTEM_CURSOR_IBEAM;
    case SystemCursor::No: return SDL_SYSTEM_CURSOR_NO;
    case SystemCursor::SizeAll: return SDL_SYSTEM_CURSOR_SIZEALL;
    case SystemCursor::SizeNESW: return SDL_SYSTEM_CURSOR_SIZENESW;
    case SystemCursor::SizeNS: return SDL_SYSTEM_CURSOR_SIZENS;
    case SystemCursor::SizeNWSE: return SDL_SYSTEM_CURSOR_SIZENWSE;
    case SystemCursor::SizeWE: return SDL_SYSTEM_CURSOR_SIZEWE;
    case SystemCursor::Wait: return SDL_SYSTEM_CURSOR_WAIT;
    default: return SDL_SYSTEM_CURSOR_ARROW;
    }
}

} // namespace

CursorSet::~CursorSet() { Release(); }

SDL_Cursor* CursorSet::Shape(SystemCursor cursor)
{
    auto found = shapes_.find(cursor);
    if (found != shapes_.end())
        return found->second;
    SDL_Cursor* made = cursor == SystemCursor::Drag ? MakeDragHand() : SDL_CreateSystemCursor(SdlShape(cursor));
    if (made)
        shapes_[cursor] = made;
    return made;
}

void CursorSet::ShowSystem(SystemCursor cursor)
{
    shown_ = cursor;
    if (cursor == SystemCursor::Hidden) {
        SDL_ShowCursor(SDL_DISABLE);
        return;
    }
    if (SDL_Cursor* shape = Shape(cursor))
        SDL_SetCursor(shape);
    SDL_ShowCursor(SDL_ENABLE);
}

void CursorSet::Release()
{
    SDL_SetCursor(SDL_GetDefaultCursor());
    for (auto& [kind, shape] : shapes_)
        SDL_FreeCursor(shape);
    shapes_.clear();
    shown_ = SystemCursor::Arrow;
}

} // namespace plat

#pragma once
#include <map>

struct SDL_Cursor;

namespace plat {

enum class SystemCursor { Arrow, Hand, Drag, IBeam, No, SizeAll, SizeNESW, SizeNS, SizeNWSE, SizeWE, Wait, Hidden };

// The system's pointer shapes over the program's windows, with a closed hand for dragging.
// Shapes are made on first use and freed with the set. Video drivers without pointers (the
// headless one) accept every request and show nothing; Current() still tells what was asked
// for. Pointers made from pictures are the display's (ColorCursor).
class CursorSet {
public:
    CursorSet() = default;
    ~CursorSet();
    CursorSet(const CursorSet&) = delete;
    CursorSet& operator=(const CursorSet&) = delete;

    void ShowSystem(SystemCursor cursor);
    SystemCursor Current() const { return shown_; }
    void Release(); // frees every shape; the next request makes them again

private:
    SDL_Cursor* Shape(SystemCursor cursor);

    std::map<SystemCursor, SDL_Cursor*> shapes_;
    SystemCursor shown_ = SystemCursor::Arrow;
};

} // namespace plat

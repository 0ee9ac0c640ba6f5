// Where the window opens: centred, or with its frame where the player left it but never off the
// desktop.
#include <gtest/gtest.h>

#include "platform/Window.h"

namespace {

using plat::WindowRect;

TEST(WindowPlacement, CentredOrKeptFourPixelsInsideTheUsableDesktop)
{
    const plat::WindowBorders frame{30, 2, 2, 2};
    const WindowRect desktop{0, 0, 1920, 1040};
    const WindowRect panelLeft{64, 27, 1856, 1013};
    struct Case {
        WindowRect usable;
        int preferredX, preferredY;
        int x, y;
    };
    for (const Case& c : {
             Case{desktop, -1, -1, 448, 150},      // centred, frame included
             Case{desktop, -1, 300, 448, 150},     // one unknown coordinate centres both
             Case{desktop, 98, 90, 100, 120},      // the frame where it was left
             Case{desktop, 4, 4, 6, 34},           // exactly four pixels in
             Case{desktop, -500, -500, 6, 34},     // off the top-left
             Case{desktop, 1800, 900, 890, 266},   // off the bottom-right
             Case{panelLeft, 0, 0, 70, 61},        // beside a panel
             Case{{0, 0, 800, 600}, 300, 300, 6, 34}, // larger than the desktop: the top-left stays visible
         }) {
        WindowRect placed = plat::PlaceWindow(c.usable, frame, 1024, 768, c.preferredX, c.preferredY);
        EXPECT_EQ(placed, (WindowRect{c.x, c.y, 1024, 768})) << c.preferredX << "," << c.preferredY;
    }
}

} // namespace

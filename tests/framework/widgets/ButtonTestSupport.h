#pragma once
// Listeners that write down what buttons and dialogs tell them, and a drawing target that
// writes down what is drawn on it.
#include <string>
#include <vector>

#include "framework/graphics/Graphics.h"
#include "framework/graphics/TestDoubles.h"
#include "framework/util/StringUtils.h"
#include "framework/widgets/ButtonListener.h"
#include "framework/widgets/DialogListener.h"

namespace widgettest {

struct RecordingButtonListener : Nubra::ButtonListener {
    void ButtonPress(int id, int clicks) override { calls.push_back(Nubra::StrFormat("press %d x%d", id, clicks)); }
    void ButtonDepress(int id) override { calls.push_back(Nubra::StrFormat("depress %d", id)); }
    void ButtonDownTick(int id) override { calls.push_back(Nubra::StrFormat("tick %d", id)); }
    void ButtonMouseEnter(int id) override { calls.push_back(Nubra::StrFormat("enter %d", id)); }
    void ButtonMouseLeave(int id) override { calls.push_back(Nubra::StrFormat("leave %d", id)); }
    void ButtonMouseMove(int id, int x, int y) override { calls.push_back(Nubra::StrFormat("move %d %d,%d", id, x, y)); }

    std::vector<std::string> calls;
};

struct RecordingDialogListener : Nubra::DialogListener {
    void DialogButtonPress(int dialog, int button) override
    {
        calls.push_back(Nubra::StrFormat("press %d %d", dialog, button));
    }
    void DialogButtonDepress(int dialog, int button) override
    {
        calls.push_back(Nubra::StrFormat("depress %d %d", dialog, button));
    }

    std::vector<std::string> calls;
};

// A screen that logs the drawing operations, and a context on it.
struct DrawingTarget {
    explicit DrawingTarget(int width = 800, int height = 600) : screen(width, height), g(&screen) {}

    std::vector<std::string> Take() { return std::exchange(screen.calls, {}); }

    NubraTest::SpyImage screen;
    Nubra::Graphics g;
};

// How the spy image writes a fill and a plain blit.
inline std::string Fill(const Nubra::Rect& r, const Nubra::Color& c)
{
    return "FillRect " + NubraTest::Str(r) + " " + NubraTest::Str(c) + " 0";
}
inline std::string Blit(const Nubra::Image* image, int x, int y, const Nubra::Rect& src, const Nubra::Color& c)
{
    return Nubra::StrFormat("Blt %p %d,%d %s %s 0", (const void*)image, x, y, NubraTest::Str(src).c_str(),
                            NubraTest::Str(c).c_str());
}

} // namespace widgettest

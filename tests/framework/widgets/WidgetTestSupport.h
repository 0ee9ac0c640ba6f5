#pragma once
// A widget that writes down everything the tree and the manager do to it, for driving a widget
// tree with scripted input and no window.
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "framework/graphics/Graphics.h"
#include "framework/util/StringUtils.h"
#include "framework/widgets/Widget.h"
#include "framework/widgets/WidgetManager.h"

namespace widgettest {

using Log = std::vector<std::string>;

// Returns what was written so far and starts afresh.
inline Log Take(Log& log) { return std::exchange(log, {}); }

struct Probe : Nubra::Widget {
    Probe(std::string probeName, Log* probeLog, Nubra::Rect rect = {}) : name(std::move(probeName)), log(probeLog)
    {
        x = rect.x;
        y = rect.y;
        width = rect.width;
        height = rect.height;
    }

    void Note(const std::string& what) { log->push_back(name + ":" + what); }

    void Update() override
    {
        Widget::Update();
        Note("update");
        if (onUpdate)
            onUpdate();
    }
    void UpdateF(float) override { Note("updateF"); }
    void Draw(Nubra::Graphics* g) override
    {
        Note(Nubra::StrFormat("draw @%g,%g", g->transX, g->transY));
        if (onDraw)
            onDraw(g);
    }
    void DrawOverlay(Nubra::Graphics* g, int overlayPriority) override
    {
        Note(Nubra::StrFormat("overlay %d @%g,%g", overlayPriority, g->transX, g->transY));
    }
    void GotFocus() override
    {
        Widget::GotFocus();
        Note("focus");
    }
    void LostFocus() override
    {
        Widget::LostFocus();
        Note("blur");
    }
    void KeyChar(char16_t c) override { Note(Nubra::StrFormat("char %d", int(c))); }
    void KeyDown(int key) override
    {
        Note(Nubra::StrFormat("keydown %d", key));
        Widget::KeyDown(key);
    }
    void KeyUp(int key) override { Note(Nubra::StrFormat("keyup %d", key)); }
    void MouseEnter() override { Note("enter"); }
    void MouseLeave() override { Note("leave"); }
    void MouseMove(int mx, int my) override { Note(Nubra::StrFormat("move %d,%d", mx, my)); }
    using Widget::MouseDown;
    using Widget::MouseUp;
    void MouseDown(int mx, int my, int button, int clicks) override
    {
        Note(Nubra::StrFormat("down %d,%d b%d c%d", mx, my, button, clicks));
    }
    void MouseUp(int mx, int my, int button, int clicks) override
    {
        Note(Nubra::StrFormat("up %d,%d b%d c%d", mx, my, button, clicks));
    }
    void MouseUp(int mx, int my) override { Note(Nubra::StrFormat("release %d,%d", mx, my)); }
    void MouseDrag(int mx, int my) override { Note(Nubra::StrFormat("drag %d,%d", mx, my)); }
    void MouseWheel(int delta) override { Note(Nubra::StrFormat("wheel %d", delta)); }
    bool IsPointVisible(int, int) override { return pointVisible; }
    void OrderChanged() override { Note("order"); }

    std::string name;
    Log* log;
    std::function<void()> onUpdate;
    std::function<void(Nubra::Graphics*)> onDraw;
    bool pointVisible = true;
};

// Names of the children in list order, bottom first.
inline std::vector<std::string> Order(const Nubra::WidgetContainer& container)
{
    std::vector<std::string> names;
    for (const Nubra::Widget* child : container.children)
        names.push_back(static_cast<const Probe*>(child)->name);
    return names;
}

// Names of the probes flagged dirty, in the order given.
inline std::vector<std::string> Dirty(const std::vector<const Probe*>& probes)
{
    std::vector<std::string> names;
    for (const Probe* probe : probes)
        if (probe->dirty)
            names.push_back(probe->name);
    return names;
}

// A manager over a 800 x 600 screen with no application behind it.
struct ManagerFixture {
    ManagerFixture() { manager.SetScreenRects(Nubra::Rect(0, 0, 800, 600), Nubra::Rect(0, 0, 800, 600)); }

    // Forgets every dirty mark, as a draw does.
    void Settle()
    {
        manager.DrawScreen();
        log.clear();
    }

    Nubra::WidgetManager manager{nullptr};
    Log log;
};

} // namespace widgettest

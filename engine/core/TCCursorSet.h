#pragma once
#include <map>
#include <string>

#include "engine/core/TCTextureTable.h"

namespace Nubra {
class Graphics;
class NubraAppBase;
} // namespace Nubra

// The mouse pointer drawn as a picture from the texture table, one per mode ("normal", "active"
// and the modes the game selects). While a picture is current the system draws no pointer.
// Selecting a mode and clearing touch the display's pointer: main thread only.
class TCCursorSet {
public:
    // The pointer and the mouse position are the application's; without one nothing is switched.
    explicit TCCursorSet(Nubra::NubraAppBase* app) : app_(app) {}
    TCCursorSet(const TCCursorSet&) = delete;
    TCCursorSet& operator=(const TCCursorSet&) = delete;

    // The "cursors" children of the root; each picture is loaded now and kept.
    void Load(pugi::xml_node root);
    void SetCursor(const std::string& mode);
    // The current mode again, after the developer's simple-cursor switch changed.
    void Refresh() { SetCursor(mode_); }
    void Show() { shown_ = true; }
    void Hide() { shown_ = false; }
    bool IsShown() const { return shown_; }
    // At the last mouse position less the hot spot, over everything else.
    void Draw(Nubra::Graphics* g);
    // Back to the system pointer, and every picture let go.
    void Clear();

    const std::string& GetMode() const { return mode_; }
    bool HasMode(const std::string& mode) const { return entries_.count(mode) != 0; }

private:
    struct Entry {
        TCImageRef image;
        int hotSpotX = 0;
        int hotSpotY = 0;
    };

    void UseSystemCursor();

    Nubra::NubraAppBase* app_;
    std::map<std::string, Entry> entries_;
    Entry* current_ = nullptr;
    std::string mode_;
    bool shown_ = false;
};

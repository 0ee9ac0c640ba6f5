#pragma once
#include <pugixml.hpp>

#include <span>

class TCItem;

// How an idle clip rests: it stops at stopFrame, then plays again after a pause drawn between
// restartMin and restartMax.
struct TCIdleTiming {
    int stopFrame = 0;
    float restartMin = 0.0f;
    float restartMax = 0.0f;
};

// "idle_stop_frame" and the two pauses, whose attribute names differ from record to record.
void ReadIdleTiming(pugi::xml_node node, const char* minName, const char* maxName, TCIdleTiming& out);
// Every one of the item's idle clips rests that way.
void AddIdleTiming(TCItem& item, std::span<const char* const> clips, const TCIdleTiming& timing);

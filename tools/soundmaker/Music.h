#pragma once
// The game's music: short loops written as scores and rendered by a small synthesiser.
#include <string>
#include <vector>

namespace music {

// Samples in -1..1 for each side.
struct Stereo {
    std::vector<float> left, right;
};

// One voice of a score. A step is an eighth note; each token of `steps` is a note ("C5", "F#3",
// "Bb4"), "-" to hold the note before, or "." for silence. Drum voices take "x" for a hit.
struct Voice {
    enum Instrument { Lead, Pluck, Bass, Pad, Kick, Snare, Hat };
    Instrument instrument;
    std::string steps;
    float volume = 0.3f;
    float pan = 0.0f; // -1 left .. 1 right
};

struct Song {
    const char* name;
    int beatsPerMinute;
    std::vector<Voice> voices;
};

// The menus' song "menu" and the cafes' "level1".."level3".
const std::vector<Song>& Songs();

// Renders a song as a seamless loop: what rings past the last step sounds over the first ones.
// The length is the longest voice, in whole steps.
Stereo Render(const Song& song);

// Why a rendered loop is not fit to ship ("" when it is): it clips, is nearly silent, or its end
// does not join its start without a click.
std::string LoopFault(const Stereo& loop);

} // namespace music

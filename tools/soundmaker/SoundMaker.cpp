// Synthesises the game's own sounds and music as 16-bit stereo WAV files.
//   soundmaker <folder>    writes sfx/<sound>.wav and music/<song>.wav under folder
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <numbers>
#include <stdexcept>
#include <string>
#include <vector>

#include "Music.h"
#include "framework/audio/WaveFile.h"

namespace {

constexpr int kRate = 44100;

// Mono samples in -1..1.
using Signal = std::vector<float>;

float Sine(double frequency, int sample) { return float(std::sin(2 * std::numbers::pi * frequency * sample / kRate)); }

// A short percussive tick: a high sine with a fast decay.
Signal Click()
{
    Signal out(kRate * 40 / 1000);
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = 0.6f * Sine(2200, int(i)) * float(std::exp(-double(i) / (kRate * 0.006)));
    return out;
}

// One note of a sound effect: a waveform at a pitch that may glide, with a fast attack and an
// exponential decay.
struct Note {
    enum Wave { SineWave, SquareWave, NoiseWave };
    double from; // Hz at the start (ignored for noise)
    double to; // Hz at the end
    int ms;
    Wave wave = SineWave;
    double decay = 0.25; // of the note's length, the time constant of its fade
};

// Notes played one after the other.
Signal Notes(std::initializer_list<Note> notes, float volume = 0.5f)
{
    Signal out;
    uint32_t noise = 22222;
    for (const Note& note : notes) {
        const int length = kRate * note.ms / 1000;
        double phase = 0;
        for (int i = 0; i < length; ++i) {
            const double t = double(i) / length;
            phase += 2 * std::numbers::pi * (note.from + (note.to - note.from) * t) / kRate;
            double value = std::sin(phase);
            if (note.wave == Note::SquareWave)
                value = value >= 0 ? 0.6 : -0.6;
            if (note.wave == Note::NoiseWave) {
                noise = noise * 1664525u + 1013904223u;
                value = double(noise >> 8) / double(1u << 24) * 2 - 1;
            }
            const double attack = std::min(1.0, i / (kRate * 0.003));
            const double envelope = attack * std::exp(-t / note.decay);
            out.push_back(volume * float(value * envelope));
        }
    }
    return out;
}

struct Effect {
    const char* name;
    Signal (*make)();
};

// The in-level sounds and the interface's; names are the ones the game plays.
const Effect kEffects[] = {
    {"click", Click},
    {"hover", [] { return Notes({{1400, 1400, 25}}, 0.2f); }},
    {"client_spawn", [] { return Notes({{880, 880, 120}, {660, 660, 220}}); }},
    {"client_ready", [] { return Notes({{660, 660, 80}, {880, 880, 120}}); }},
    {"client_positiv", [] { return Notes({{523, 523, 90}, {659, 659, 90}, {784, 784, 220}}); }},
    {"client_negativ", [] { return Notes({{392, 392, 150, Note::SquareWave}, {311, 300, 300, Note::SquareWave}}, 0.3f); }},
    {"client_scandal", [] { return Notes({{180, 160, 350, Note::SquareWave, 0.6}}, 0.3f); }},
    {"worker_begin", [] { return Notes({{440, 440, 60}, {550, 550, 90}}); }},
    {"worker_finish", [] { return Notes({{1046, 1046, 500, Note::SineWave, 0.3}}); }},
    {"worker_broke", [] { return Notes({{220, 140, 400, Note::SquareWave, 0.5}}, 0.3f); }},
    {"worker_clean", [] { return Notes({{0, 0, 250, Note::NoiseWave, 0.4}}, 0.2f); }},
    {"boss_take_item", [] { return Notes({{700, 900, 70}}); }},
    {"take_brush", [] { return Notes({{0, 0, 120, Note::NoiseWave, 0.3}}, 0.2f); }},
    {"make_trash", [] { return Notes({{90, 60, 180, Note::SineWave, 0.4}, {0, 0, 120, Note::NoiseWave, 0.3}}, 0.4f); }},
    {"soda_mashine", [] { return Notes({{0, 0, 400, Note::NoiseWave, 0.5}}, 0.15f); }},
    {"coffe_mashine", [] { return Notes({{150, 120, 200, Note::SquareWave, 0.5}, {130, 110, 200, Note::SquareWave, 0.5}}, 0.2f); }},
    {"candy", [] { return Notes({{1200, 1500, 90}}); }},
    {"goal", [] { return Notes({{523, 523, 120}, {659, 659, 120}, {784, 784, 120}, {1046, 1046, 400}}); }},
    {"expert", [] { return Notes({{659, 659, 120}, {784, 784, 120}, {1046, 1046, 120}, {1318, 1318, 500}}); }},
    {"task_complete", [] { return Notes({{784, 784, 100}, {1046, 1046, 250}}); }},
    {"boss_steps", [] { return Notes({{0, 0, 60, Note::NoiseWave, 0.2}, {0, 0, 190, Note::NoiseWave, 0.01}, {0, 0, 60, Note::NoiseWave, 0.2}}, 0.15f); }},
    {"boss_steps_fast", [] { return Notes({{0, 0, 40, Note::NoiseWave, 0.2}, {0, 0, 80, Note::NoiseWave, 0.01}, {0, 0, 40, Note::NoiseWave, 0.2}}, 0.15f); }},
    {"window_open", [] { return Notes({{500, 900, 120, Note::SineWave, 0.5}}, 0.3f); }},
    {"briefing_show", [] { return Notes({{392, 392, 90}, {523, 523, 200}}, 0.35f); }},
    {"debriefing_awards", [] { return Notes({{1046, 1046, 80}, {1568, 1568, 260}}, 0.35f); }},
    {"minigame_hit", [] { return Notes({{900, 600, 60, Note::SineWave, 0.4}}, 0.4f); }},
    {"minigame_coin", [] { return Notes({{1318, 1318, 60}, {1760, 1760, 240}}); }},
    {"minigame_happy", [] { return Notes({{523, 523, 80}, {659, 659, 80}, {784, 784, 80}, {1046, 1046, 200}}, 0.4f); }},
    {"minigame_clean", [] { return Notes({{0, 0, 300, Note::NoiseWave, 0.3}, {2000, 2600, 150, Note::SineWave, 0.4}}, 0.25f); }},
    {"minigame_momentready", [] { return Notes({{400, 1600, 250, Note::SineWave, 0.6}}, 0.35f); }},
    {"minigame_ice", [] { return Notes({{2637, 2637, 90}, {2093, 2093, 90}, {2637, 2637, 250}}, 0.25f); }},
};

bool Write(const std::filesystem::path& path, const std::vector<float>& left, const std::vector<float>& right)
{
    std::filesystem::create_directories(path.parent_path());
    std::vector<uint8_t> bytes;
    bytes.reserve(left.size() * 4);
    for (size_t i = 0; i < left.size(); ++i)
        for (float value : {left[i], right[i]}) {
            const auto sample = static_cast<int16_t>(std::lround(std::clamp(value, -1.0f, 1.0f) * 32767));
            bytes.push_back(uint8_t(sample & 0xFF));
            bytes.push_back(uint8_t((sample >> 8) & 0xFF));
        }
    if (Nubra::WriteWaveFile(path.string(), Nubra::PcmFormat{}, {bytes}))
        return true;
    std::fprintf(stderr, "soundmaker: cannot write %s\n", path.string().c_str());
    return false;
}

// Each song loops for as long as its screen or cafe lasts, so one that clicks at the seam or
// clips would be heard over and over: such a song is not written.
bool WriteSong(const std::filesystem::path& folder, const music::Song& song)
{
    const music::Stereo loop = music::Render(song);
    if (const std::string fault = music::LoopFault(loop); !fault.empty()) {
        std::fprintf(stderr, "soundmaker: the song '%s' %s\n", song.name, fault.c_str());
        return false;
    }
    return Write(folder / "music" / (std::string(song.name) + ".wav"), loop.left, loop.right);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: soundmaker <folder>\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    for (const Effect& effect : kEffects) {
        const Signal mono = effect.make();
        if (!Write(folder / "sfx" / (std::string(effect.name) + ".wav"), mono, mono))
            return 1;
    }
    try {
        for (const music::Song& song : music::Songs())
            if (!WriteSong(folder, song))
                return 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "soundmaker: a score is wrong: %s\n", error.what());
        return 1;
    }
    return 0;
}

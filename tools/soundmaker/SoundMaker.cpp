// Synthesises the game's own sounds and music as 16-bit stereo WAV files.
//   soundmaker <folder>    writes sfx/click.wav and music/menu.wav under folder
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <numbers>
#include <string>
#include <vector>

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

// A gentle loop of eight bars of plucked arpeggios over a soft pad; it ends where it starts, so
// it loops without a seam.
Signal MenuLoop()
{
    const double chords[4][3] = {{261.63, 329.63, 392.00}, {220.00, 261.63, 329.63},
                                 {174.61, 220.00, 261.63}, {196.00, 246.94, 293.66}};
    const int beat = kRate / 4; // 240 notes a minute
    const int bar = beat * 8;
    Signal out(size_t(bar) * 4, 0.0f);
    for (int chord = 0; chord < 4; ++chord) {
        for (int note = 0; note < 8; ++note) {
            const double frequency = chords[chord][note % 3] * (note >= 4 ? 2 : 1);
            const int start = chord * bar + note * beat;
            for (int i = 0; i < beat; ++i)
                out[size_t(start + i)] += 0.25f * Sine(frequency, i) * float(std::exp(-double(i) / (kRate * 0.12)));
        }
        for (int i = 0; i < bar; ++i) {
            // The pad swells and fades within its bar, so bars join without clicks.
            const float envelope = float(std::sin(std::numbers::pi * i / bar));
            const int at = chord * bar + i;
            out[size_t(at)] += 0.08f * envelope * (Sine(chords[chord][0] / 2, at) + Sine(chords[chord][2] / 2, at));
        }
    }
    return out;
}

bool Write(const std::filesystem::path& path, const Signal& signal)
{
    std::filesystem::create_directories(path.parent_path());
    std::vector<uint8_t> bytes;
    bytes.reserve(signal.size() * 4);
    for (float value : signal) {
        const auto sample = static_cast<int16_t>(std::lround(std::clamp(value, -1.0f, 1.0f) * 32767));
        for (int channel = 0; channel < 2; ++channel) {
            bytes.push_back(uint8_t(sample & 0xFF));
            bytes.push_back(uint8_t((sample >> 8) & 0xFF));
        }
    }
    if (Nubra::WriteWaveFile(path.string(), Nubra::PcmFormat{}, {bytes}))
        return true;
    std::fprintf(stderr, "soundmaker: cannot write %s\n", path.string().c_str());
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: soundmaker <folder>\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    return Write(folder / "sfx" / "click.wav", Click()) && Write(folder / "music" / "menu.wav", MenuLoop()) ? 0 : 1;
}

#include "Music.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numbers>
#include <sstream>
#include <stdexcept>

namespace music {
namespace {

constexpr int kRate = 44100;
constexpr double kTwoPi = 2 * std::numbers::pi;
constexpr float kLoudest = 0.7f;

// "C5" -> 72; "F#3", "Bb4". Throws on anything else: a typo in a score must stop the build.
int MidiNote(const std::string& name)
{
    static const int kSemitones[] = {9, 11, 0, 2, 4, 5, 7}; // A B C D E F G
    if (name.size() < 2 || name[0] < 'A' || name[0] > 'G')
        throw std::runtime_error("not a note: " + name);
    int note = kSemitones[name[0] - 'A'];
    size_t at = 1;
    if (name[at] == '#' || name[at] == 'b')
        note += name[at++] == '#' ? 1 : -1;
    if (at + 1 != name.size() || name[at] < '0' || name[at] > '9')
        throw std::runtime_error("not a note: " + name);
    return note + 12 * (name[at] - '0' + 1);
}

double Frequency(int midi) { return 440.0 * std::pow(2.0, (midi - 69) / 12.0); }

std::vector<std::string> Tokens(const std::string& steps)
{
    std::vector<std::string> out;
    std::istringstream in(steps);
    for (std::string token; in >> token;)
        if (token != "|")
            out.push_back(token);
    return out;
}

// A sounding note: where it starts and how long it is held, in samples.
struct Hit {
    int64_t start;
    int64_t held;
    int midi; // unused by drums
};

uint32_t gNoise = 12345;
float Noise()
{
    gNoise = gNoise * 1664525u + 1013904223u;
    return float(gNoise >> 8) / float(1u << 23) - 1.0f;
}

// How long each instrument rings after it is let go, in seconds.
double Release(Voice::Instrument instrument)
{
    switch (instrument) {
    case Voice::Pad: return 0.35;
    case Voice::Pluck: return 0.25;
    case Voice::Kick: return 0.3;
    case Voice::Snare: return 0.25;
    case Voice::Hat: return 0.08;
    default: return 0.06;
    }
}

// One sample of an instrument, t seconds into a note held for `held` seconds.
float Sample(Voice::Instrument instrument, double frequency, double t, double held, double& phase, float& last)
{
    const double attack = std::min(1.0, t / 0.004);
    const double release = t < held ? 1.0 : std::exp(-(t - held) / (Release(instrument) / 4));
    phase += kTwoPi * frequency / kRate;
    double value = 0;
    switch (instrument) {
    case Voice::Lead: // a soft reed: odd harmonics, a little vibrato once the note settles
        phase += kTwoPi * frequency / kRate * 0.004 * std::sin(kTwoPi * 5.5 * t) * std::min(1.0, t * 4);
        value = (std::sin(phase) + 0.3 * std::sin(3 * phase) + 0.12 * std::sin(5 * phase)) / 1.3 *
                (0.75 + 0.25 * std::exp(-t / 0.15));
        break;
    case Voice::Pluck: // a struck bar: bright at first, a long fade
        value = (std::sin(phase) + 0.45 * std::sin(2 * phase) * std::exp(-t / 0.08) +
                 0.2 * std::sin(4 * phase) * std::exp(-t / 0.03)) *
                std::exp(-t / 0.5);
        break;
    case Voice::Bass: // a rounded triangle
        value = std::asin(std::sin(phase)) * 2 / std::numbers::pi * (0.6 + 0.4 * std::exp(-t / 0.25));
        break;
    case Voice::Pad: // three slightly detuned sines swelling in
        value = (std::sin(phase) + std::sin(phase * 1.004) + std::sin(phase * 0.996)) / 3 * std::min(1.0, t / 0.2);
        break;
    case Voice::Kick: {
        const double sweep = 45 + 110 * std::exp(-t / 0.04);
        phase += kTwoPi * (sweep - frequency) / kRate;
        value = std::sin(phase) * std::exp(-t / 0.13);
        break;
    }
    case Voice::Snare:
        value = 0.7 * Noise() * std::exp(-t / 0.06) + 0.4 * std::sin(phase) * std::exp(-t / 0.04);
        break;
    case Voice::Hat: { // noise with its low end taken away
        const float noise = Noise();
        value = (noise - last) * 0.5 * std::exp(-t / 0.02);
        last = noise;
        break;
    }
    }
    return float(attack * release * value);
}

bool IsDrum(Voice::Instrument instrument)
{
    return instrument == Voice::Kick || instrument == Voice::Snare || instrument == Voice::Hat;
}

std::vector<Hit> Hits(const Voice& voice, int64_t totalSteps, double samplesPerStep)
{
    const std::vector<std::string> tokens = Tokens(voice.steps);
    std::vector<Hit> hits;
    if (tokens.empty())
        return hits;
    // A voice shorter than the song repeats.
    for (int64_t step = 0; step < totalSteps; ++step) {
        const std::string& token = tokens[size_t(step % int64_t(tokens.size()))];
        const auto at = int64_t(std::llround(step * samplesPerStep));
        const auto next = int64_t(std::llround((step + 1) * samplesPerStep));
        if (token == "-") {
            if (!hits.empty() && !IsDrum(voice.instrument))
                hits.back().held = next - hits.back().start;
        } else if (token != ".") {
            if (IsDrum(voice.instrument) && token != "x")
                throw std::runtime_error("not a drum hit: " + token);
            hits.push_back({at, next - at, IsDrum(voice.instrument) ? 0 : MidiNote(token)});
        }
    }
    return hits;
}

const double kDrumPitch[] = {0, 0, 0, 0, 45, 190, 0}; // by instrument

} // namespace

Stereo Render(const Song& song)
{
    int64_t totalSteps = 0;
    for (const Voice& voice : song.voices)
        totalSteps = std::max(totalSteps, int64_t(Tokens(voice.steps).size()));
    const double samplesPerStep = kRate * 60.0 / song.beatsPerMinute / 2;
    const auto length = int64_t(std::llround(totalSteps * samplesPerStep));
    Stereo out{std::vector<float>(size_t(length)), std::vector<float>(size_t(length))};
    if (length == 0)
        return out;
    gNoise = 12345;
    for (const Voice& voice : song.voices) {
        // Equal loudness across the stereo field.
        const double angle = (voice.pan + 1) * std::numbers::pi / 4;
        const float toLeft = float(std::cos(angle) * std::numbers::sqrt2) * voice.volume;
        const float toRight = float(std::sin(angle) * std::numbers::sqrt2) * voice.volume;
        for (const Hit& hit : Hits(voice, totalSteps, samplesPerStep)) {
            const double frequency = IsDrum(voice.instrument) ? kDrumPitch[voice.instrument] : Frequency(hit.midi);
            const double held = double(hit.held) / kRate;
            const auto rings = hit.held + int64_t(Release(voice.instrument) * kRate);
            double phase = 0;
            float last = 0;
            for (int64_t i = 0; i < rings; ++i) {
                const float value = Sample(voice.instrument, frequency, double(i) / kRate, held, phase, last);
                // Past the end the tail sounds over the start, so the loop has no seam.
                const auto at = size_t((hit.start + i) % length);
                out.left[at] += toLeft * value;
                out.right[at] += toRight * value;
            }
        }
    }
    float peak = 0;
    for (const auto* side : {&out.left, &out.right})
        for (float value : *side)
            peak = std::max(peak, std::abs(value));
    if (peak > 0)
        for (auto* side : {&out.left, &out.right})
            for (float& value : *side)
                value *= kLoudest / peak;
    return out;
}

std::string LoopFault(const Stereo& loop)
{
    if (loop.left.size() < size_t(kRate) || loop.left.size() != loop.right.size())
        return "shorter than a second";
    float peak = 0;
    double energy = 0;
    for (const auto* side : {&loop.left, &loop.right})
        for (float value : *side) {
            if (!std::isfinite(value))
                return "holds a sample that is not a number";
            peak = std::max(peak, std::abs(value));
            energy += double(value) * value;
        }
    if (peak > 0.99f)
        return "clips";
    if (std::sqrt(energy / double(2 * loop.left.size())) < 0.02)
        return "is nearly silent";
    for (const auto* side : {&loop.left, &loop.right})
        if (std::abs(side->back() - side->front()) > 0.1f)
            return "clicks where it loops";
    return "";
}

const std::vector<Song>& Songs()
{
    // Chords are written out as pad voices, one per chord tone; bars are eight steps.
    static const std::vector<Song> kSongs = {
        // The menus: gentle arpeggios over a soft pad.
        {"menu", 120,
         {{Voice::Pluck,
           "C4 E4 G4 C4 E5 G5 C5 E5 | A3 C4 E4 A3 C5 E5 A4 C5 | F3 A3 C4 F3 A4 C5 F4 A4 | G3 B3 D4 G3 B4 D5 G4 B4",
           0.3f, 0.0f},
          {Voice::Pad, "C3 - - - - - - - | A2 - - - - - - - | F2 - - - - - - - | G2 - - - - - - -", 0.12f, -0.3f},
          {Voice::Pad, "G3 - - - - - - - | E3 - - - - - - - | C3 - - - - - - - | D3 - - - - - - -", 0.12f, 0.3f}}},
        // The first cafe: a bright morning tune in C.
        {"level1", 116,
         {{Voice::Lead,
           "E5 - G5 - C6 - G5 - | A5 - - G5 E5 - C5 - | F5 - A5 - C6 - A5 G5 | G5 - - - D5 - . . | "
           "E5 - G5 - C6 - D6 - | E6 - D6 C6 A5 - G5 - | A5 - G5 F5 E5 - D5 - | D5 - E5 - G5 - . . | "
           "A5 - A5 C6 A5 - G5 - | G5 - B5 - D6 - B5 - | G5 - E5 - B4 - E5 - | A5 - - - C6 - - - | "
           "C6 - A5 - F5 - A5 - | B5 - G5 - D5 - G5 - | C6 - - - G5 - E5 - | C5 - - - . . . .",
           0.32f, 0.15f},
          {Voice::Bass,
           "C3 - . C3 G2 - C3 - | A2 - . A2 E2 - A2 - | F2 - . F2 C3 - F2 - | G2 - . G2 D3 - G2 - | "
           "C3 - . C3 G2 - C3 - | A2 - . A2 E2 - A2 - | F2 - . F2 C3 - F2 - | G2 - . G2 D3 - G2 - | "
           "F2 - . F2 C3 - F2 - | G2 - . G2 D3 - G2 - | E2 - . E2 B2 - E2 - | A2 - . A2 E2 - A2 - | "
           "F2 - . F2 C3 - F2 - | G2 - . G2 D3 - G2 - | C3 - . C3 G2 - C3 - | C3 - . C3 G2 - C3 -",
           0.4f, 0.0f},
          {Voice::Pad,
           "E4 - - - - - - - | E4 - - - - - - - | F4 - - - - - - - | D4 - - - - - - - | "
           "E4 - - - - - - - | E4 - - - - - - - | F4 - - - - - - - | D4 - - - - - - - | "
           "F4 - - - - - - - | D4 - - - - - - - | E4 - - - - - - - | E4 - - - - - - - | "
           "F4 - - - - - - - | D4 - - - - - - - | E4 - - - - - - - | E4 - - - - - - -",
           0.1f, -0.4f},
          {Voice::Pad,
           "G4 - - - - - - - | A4 - - - - - - - | A4 - - - - - - - | G4 - - - - - - - | "
           "G4 - - - - - - - | A4 - - - - - - - | A4 - - - - - - - | G4 - - - - - - - | "
           "A4 - - - - - - - | G4 - - - - - - - | G4 - - - - - - - | A4 - - - - - - - | "
           "A4 - - - - - - - | G4 - - - - - - - | G4 - - - - - - - | G4 - - - - - - -",
           0.1f, 0.4f},
          {Voice::Pluck,
           "C5 E5 G5 E5 C5 E5 G5 E5 | A4 C5 E5 C5 A4 C5 E5 C5 | F4 A4 C5 A4 F4 A4 C5 A4 | G4 B4 D5 B4 G4 B4 D5 B4",
           0.1f, -0.5f},
          {Voice::Kick, "x . . . x . . .", 0.5f, 0.0f},
          {Voice::Snare, ". . x . . . x .", 0.25f, 0.1f},
          {Voice::Hat, "x x x x x x x x", 0.12f, 0.3f}}},
        // The second cafe: a slower, jazzier walk in F with a vibraphone tune.
        {"level2", 96,
         {{Voice::Pluck,
           "A5 - C6 - E6 - C6 - | D6 - - C6 A5 - F5 - | Bb5 - D6 - F6 - D6 - | E6 - - - C6 - . . | "
           "A5 - G5 A5 C6 - A5 - | F5 - - - D5 - F5 - | G5 - Bb5 - D6 - C6 Bb5 | A5 - - - G5 - . . | "
           "D6 - F6 - D6 - Bb5 - | C6 - E6 - C6 - A5 - | Bb5 - A5 G5 F5 - G5 - | E5 - G5 - Bb5 - C6 - | "
           "A5 - - - F5 - A5 - | F#5 - A5 - C6 - D6 - | Bb5 - A5 - G5 - E5 - | F5 - - - . . . .",
           0.4f, 0.2f},
          {Voice::Bass,
           "F2 - A2 - C3 - E3 - | D2 - F2 - A2 - C3 - | G2 - Bb2 - D3 - F3 - | C3 - E3 - G2 - Bb2 - | "
           "F2 - A2 - C3 - E3 - | D2 - F2 - A2 - C3 - | G2 - Bb2 - D3 - F3 - | C3 - E3 - G2 - E2 - | "
           "Bb2 - D3 - F3 - D3 - | A2 - C3 - E3 - C3 - | G2 - Bb2 - D3 - F3 - | C3 - E3 - G2 - Bb2 - | "
           "F2 - A2 - C3 - E3 - | D2 - F#2 - A2 - C3 - | G2 - Bb2 - D3 - F3 - | C3 - E3 - G2 - E2 -",
           0.45f, -0.1f},
          {Voice::Pad,
           "E4 - - - - - - - | C4 - - - - - - - | F4 - - - - - - - | E4 - - - - - - - | "
           "E4 - - - - - - - | C4 - - - - - - - | F4 - - - - - - - | E4 - - - - - - - | "
           "D4 - - - - - - - | C4 - - - - - - - | F4 - - - - - - - | E4 - - - - - - - | "
           "E4 - - - - - - - | C4 - - - - - - - | F4 - - - - - - - | E4 - - - - - - -",
           0.08f, -0.5f},
          {Voice::Pad,
           "A4 - - - - - - - | F4 - - - - - - - | Bb4 - - - - - - - | Bb4 - - - - - - - | "
           "A4 - - - - - - - | F4 - - - - - - - | Bb4 - - - - - - - | Bb4 - - - - - - - | "
           "A4 - - - - - - - | G4 - - - - - - - | Bb4 - - - - - - - | Bb4 - - - - - - - | "
           "A4 - - - - - - - | F#4 - - - - - - - | Bb4 - - - - - - - | Bb4 - - - - - - -",
           0.08f, 0.5f},
          {Voice::Kick, "x . . . . . x . | x . . . . . . .", 0.35f, 0.0f},
          {Voice::Snare, ". . x . . . x .", 0.12f, -0.2f},
          {Voice::Hat, "x . x x x . x x", 0.1f, 0.4f}}},
        // The third cafe: a quick, busy tune in A minor.
        {"level3", 132,
         {{Voice::Lead,
           "A5 - C6 - E6 - C6 A5 | F5 - A5 - C6 - A5 - | G5 - E5 - G5 - C6 - | B5 - - - G5 - D5 - | "
           "A5 - C6 - E6 - A6 - | G6 - F6 - E6 - C6 - | E6 - D6 - C6 - B5 - | G#5 - - - E5 - . . | "
           "F5 - A5 - D6 - A5 - | E6 - C6 - A5 - C6 - | A5 - C6 - F6 - E6 - | D6 - B5 - G5 - B5 - | "
           "C6 - B5 - A5 - E5 - | F5 - A5 - C6 - F6 - | E6 - - D6 B5 - G#5 - | A5 - - - . . . .",
           0.3f, 0.1f},
          {Voice::Bass,
           "A2 . A2 A2 E2 . A2 . | F2 . F2 F2 C3 . F2 . | C3 . C3 C3 G2 . C3 . | G2 . G2 G2 D3 . G2 . | "
           "A2 . A2 A2 E2 . A2 . | F2 . F2 F2 C3 . F2 . | C3 . C3 C3 G2 . C3 . | E2 . E2 E2 B2 . E2 . | "
           "D2 . D2 D2 A2 . D2 . | A2 . A2 A2 E2 . A2 . | F2 . F2 F2 C3 . F2 . | G2 . G2 G2 D3 . G2 . | "
           "A2 . A2 A2 E2 . A2 . | F2 . F2 F2 C3 . F2 . | E2 . E2 E2 B2 . E2 . | A2 . A2 A2 E2 . A2 .",
           0.4f, 0.0f},
          {Voice::Pluck,
           "A4 C5 E5 C5 A4 C5 E5 C5 | F4 A4 C5 A4 F4 A4 C5 A4 | C5 E5 G5 E5 C5 E5 G5 E5 | G4 B4 D5 B4 G4 B4 D5 B4 | "
           "A4 C5 E5 C5 A4 C5 E5 C5 | F4 A4 C5 A4 F4 A4 C5 A4 | C5 E5 G5 E5 C5 E5 G5 E5 | E4 G#4 B4 G#4 E4 G#4 B4 G#4 | "
           "D4 F4 A4 F4 D4 F4 A4 F4 | A4 C5 E5 C5 A4 C5 E5 C5 | F4 A4 C5 A4 F4 A4 C5 A4 | G4 B4 D5 B4 G4 B4 D5 B4 | "
           "A4 C5 E5 C5 A4 C5 E5 C5 | F4 A4 C5 A4 F4 A4 C5 A4 | E4 G#4 B4 G#4 E4 G#4 B4 G#4 | A4 C5 E5 C5 A4 C5 E5 C5",
           0.1f, -0.5f},
          {Voice::Pad,
           "C5 - - - - - - - | C5 - - - - - - - | E5 - - - - - - - | D5 - - - - - - - | "
           "C5 - - - - - - - | C5 - - - - - - - | E5 - - - - - - - | B4 - - - - - - - | "
           "A4 - - - - - - - | C5 - - - - - - - | C5 - - - - - - - | D5 - - - - - - - | "
           "C5 - - - - - - - | C5 - - - - - - - | B4 - - - - - - - | C5 - - - - - - -",
           0.08f, 0.5f},
          {Voice::Kick, "x . x . x . x .", 0.5f, 0.0f},
          {Voice::Snare, ". . x . . . x .", 0.25f, 0.1f},
          {Voice::Hat, ". x . x . x . x", 0.14f, -0.3f}}},
    };
    return kSongs;
}

} // namespace music

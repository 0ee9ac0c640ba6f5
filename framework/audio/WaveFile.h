#pragma once
#include <array>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>

namespace Nubra {

// The layout of PCM sample data.
struct PcmFormat {
    int channels = 2;
    int sampleRate = 44100;
    int bitsPerSample = 16;

    int BlockAlign() const { return bitsPerSample * channels / 8; }
};

constexpr size_t kWaveHeaderSize = 44;

// The RIFF header of a PCM WAVE file holding `dataLength` bytes of samples, little-endian.
std::array<uint8_t, kWaveHeaderSize> MakeWaveHeader(const PcmFormat& format, uint32_t dataLength);

// Writes the header and the data, given in parts, to a plain file. False when the file cannot
// be written whole; nothing is left behind then.
bool WriteWaveFile(const std::string& path, const PcmFormat& format,
                   std::initializer_list<std::span<const uint8_t>> data);

} // namespace Nubra

#pragma once

#include <array>
#include <cstdint>

// The 44-byte header of a WAV file of CD audio (PCM, 44100 Hz, 16-bit, stereo)
// whose data part holds dataBytes bytes. Encoders reading a WAV on their input
// take the length from here, so it carries the real size.
std::array<char, 44> WavHeader(std::uint32_t dataBytes);

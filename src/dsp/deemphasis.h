#pragma once

// Undoes the pre-emphasis of a CD track: some discs were mastered with their treble boosted by the
// standard's 50/15 µs shelf (up to +10 dB above about 3 kHz), and carry a flag that tells players
// to turn it down again. This is the matching de-emphasis shelf for 44.1 kHz stereo 16-bit PCM.
// One filter follows one track: its state carries from block to block, so a track may be fed in
// blocks of any size and comes out as if filtered whole.

#include <array>
#include <cstddef>
#include <cstdint>

class DeEmphasis {
public:
    // Filters interleaved stereo frames in place, rounding to the nearest sample and keeping
    // within the 16-bit range.
    void process(std::int16_t* interleaved, std::size_t frames);

private:
    struct History {
        double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    };
    std::array<History, 2> m_channels{};
};

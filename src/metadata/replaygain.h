#pragma once

// ReplayGain 2.0: each track's loudness (EBU R 128 integrated loudness, gated as libebur128 gates
// it) and true peak, measured on the track's PCM as it is read, and the album's over several
// tracks. A player turns a track by the gain, the distance from the reference loudness of
// -18 LUFS, so that every track sounds equally loud.

#include <QByteArrayView>
#include <QString>

#include <memory>
#include <optional>
#include <span>
#include <vector>

inline constexpr double kReplayGainReference = -18.0; // LUFS

struct Loudness {
    std::optional<double> lufs; // integrated loudness; none for digital silence
    double truePeak = 0;        // linear, 1.0 is full scale; may exceed it between samples

    // The ReplayGain in dB; none when there is no loudness to level.
    std::optional<double> gain() const;
};

// Measures one track of CD audio (44.1 kHz, 16-bit, stereo). Cheap enough to run on the reading
// thread beside the checksums; one thread at a time.
class LoudnessMeter {
public:
    LoudnessMeter();
    ~LoudnessMeter();
    LoudnessMeter(LoudnessMeter&&) noexcept;
    LoudnessMeter& operator=(LoudnessMeter&&) noexcept;

    // 16-bit stereo little-endian PCM, in blocks of any size, odd ones included.
    void add(QByteArrayView pcm);
    Loudness result() const;

    // The album over the tracks measured: its loudness gated over all their blocks together, as
    // if they were one piece, and the highest of their peaks. Silent tracks change nothing.
    static Loudness Album(std::span<const LoudnessMeter* const> tracks);

private:
    struct State; // libebur128's measurement
    void addFrames(const uchar* bytes, qsizetype frames);

    std::unique_ptr<State> m_state; // null when libebur128 had no memory
    uchar m_partial[4] = {};        // a frame split between two blocks
    int m_partialBytes = 0;
    std::vector<short> m_aligned;
};

// The tag texts: "-6.52 dB" (two decimals) and "0.988547" (six), whatever the locale.
QString GainText(double gain);
QString PeakText(double peak);
// For the rip log: "loudness -11.48 LUFS, gain -6.52 dB, peak 0.988547", or why there is no gain.
QString LoudnessLogText(const Loudness& loudness);

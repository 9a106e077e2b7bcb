#include "metadata/replaygain.h"

#include <ebur128.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr unsigned kChannels = 2;
constexpr unsigned long kSampleRate = 44100;
constexpr int kFrameBytes = 4;

// Two decimals as the tags want them; a value that rounds to zero is never "-0.00".
QString Fixed(double value, int decimals) {
    const QString text = QString::number(value, 'f', decimals); // never the locale's
    return text.startsWith('-') && text.mid(1).remove('0').remove('.').isEmpty() ? text.mid(1)
                                                                                 : text;
}

double TruePeak(ebur128_state* state) {
    double highest = 0;
    for (unsigned channel = 0; channel < kChannels; ++channel) {
        double peak = 0;
        if (ebur128_true_peak(state, channel, &peak) == EBUR128_SUCCESS)
            highest = std::max(highest, peak);
    }
    return highest;
}

// libebur128 says -HUGE_VAL when no block passed the gates: digital silence.
std::optional<double> Measured(int status, double lufs) {
    if (status != EBUR128_SUCCESS || !std::isfinite(lufs))
        return std::nullopt;
    return lufs;
}

} // namespace

std::optional<double> Loudness::gain() const {
    if (!lufs)
        return std::nullopt;
    return kReplayGainReference - *lufs;
}

struct LoudnessMeter::State {
    explicit State(ebur128_state* measurement) : st(measurement) {}
    ~State() { ebur128_destroy(&st); }
    State(const State&) = delete;
    State& operator=(const State&) = delete;
    ebur128_state* st;
};

LoudnessMeter::LoudnessMeter() {
    if (ebur128_state* st =
            ebur128_init(kChannels, kSampleRate, EBUR128_MODE_I | EBUR128_MODE_TRUE_PEAK))
        m_state = std::make_unique<State>(st);
}

LoudnessMeter::~LoudnessMeter() = default;
LoudnessMeter::LoudnessMeter(LoudnessMeter&&) noexcept = default;
LoudnessMeter& LoudnessMeter::operator=(LoudnessMeter&&) noexcept = default;

void LoudnessMeter::addFrames(const uchar* bytes, qsizetype frames) {
    if (!m_state || frames <= 0)
        return;
    // The samples are little-endian as on the disc, and so is short on the machines Mivo runs
    // on; the copy keeps the library's reads aligned whatever the block's address.
    m_aligned.resize(static_cast<std::size_t>(frames) * kChannels);
    std::memcpy(m_aligned.data(), bytes, m_aligned.size() * sizeof(short));
    ebur128_add_frames_short(m_state->st, m_aligned.data(), static_cast<std::size_t>(frames));
}

void LoudnessMeter::add(QByteArrayView pcm) {
    auto* bytes = reinterpret_cast<const uchar*>(pcm.data());
    qsizetype left = pcm.size();
    while (m_partialBytes > 0 && left > 0) {
        m_partial[m_partialBytes++] = *bytes++;
        --left;
        if (m_partialBytes == kFrameBytes) {
            addFrames(m_partial, 1);
            m_partialBytes = 0;
        }
    }
    addFrames(bytes, left / kFrameBytes);
    bytes += left / kFrameBytes * kFrameBytes;
    for (qsizetype i = 0; i < left % kFrameBytes; ++i)
        m_partial[m_partialBytes++] = bytes[i];
}

Loudness LoudnessMeter::result() const {
    if (!m_state)
        return {};
    double lufs = 0;
    const int status = ebur128_loudness_global(m_state->st, &lufs);
    return {Measured(status, lufs), TruePeak(m_state->st)};
}

Loudness LoudnessMeter::Album(std::span<const LoudnessMeter* const> tracks) {
    std::vector<ebur128_state*> states;
    Loudness album;
    for (const LoudnessMeter* track : tracks) {
        if (track == nullptr || !track->m_state)
            continue;
        states.push_back(track->m_state->st);
        album.truePeak = std::max(album.truePeak, TruePeak(track->m_state->st));
    }
    if (states.empty())
        return album;
    double lufs = 0;
    const int status = ebur128_loudness_global_multiple(states.data(), states.size(), &lufs);
    album.lufs = Measured(status, lufs);
    return album;
}

QString GainText(double gain) {
    return Fixed(gain, 2) + QStringLiteral(" dB");
}

QString PeakText(double peak) {
    return Fixed(peak, 6);
}

QString LoudnessLogText(const Loudness& loudness) {
    if (!loudness.lufs)
        return QStringLiteral("digital silence, no gain, peak %1").arg(PeakText(loudness.truePeak));
    return QStringLiteral("loudness %1 LUFS, gain %2, peak %3")
        .arg(Fixed(*loudness.lufs, 2), GainText(*loudness.gain()), PeakText(loudness.truePeak));
}

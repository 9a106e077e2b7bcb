// The ReplayGain meter against the checksums the rip computes on the same PCM as it reads it
// (the copy's CRC32 and the AccurateRip v1, v2 and frame-450 sums), block by block as the reader
// hands them over (20000 bytes), on 10 minutes of generated music (tones and noise, both
// channels different), best of three rounds each.
//
//   bench_replaygain
//
// Prints both times, their ratio and how many times faster than real time the meter runs.
// Goal: the meter keeps far ahead of any drive (at least 50 times real time, which a 48x drive
// would need), so it can run beside the reader. Timings are printed, never checked.

#include "metadata/replaygain.h"
#include "verify/trackchecksums.h"

#include <QByteArray>
#include <QtEndian>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <numbers>
#include <random>

namespace {

constexpr int kSeconds = 600;
constexpr qsizetype kBlock = 20000;
constexpr int kRounds = 3;

QByteArray Music() {
    QByteArray pcm(qsizetype(kSeconds) * 176400, Qt::Uninitialized);
    std::mt19937 noise(7);
    std::uniform_real_distribution<double> hiss(-0.05, 0.05);
    auto* samples = reinterpret_cast<uchar*>(pcm.data());
    for (qsizetype frame = 0; frame < pcm.size() / 4; ++frame) {
        const double t = frame / 44100.0;
        const double chord = 0.3 * std::sin(2 * std::numbers::pi * 220 * t) +
                             0.2 * std::sin(2 * std::numbers::pi * 277 * t) * std::sin(t);
        qToLittleEndian(qint16(32767 * (chord + hiss(noise))), samples + frame * 4);
        qToLittleEndian(qint16(32767 * (0.7 * chord - hiss(noise))), samples + frame * 4 + 2);
    }
    return pcm;
}

double BestSeconds(const QByteArray& pcm, const std::function<void(QByteArrayView)>& pass) {
    double best = 1e9;
    for (int round = 0; round < kRounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        for (qsizetype at = 0; at < pcm.size(); at += kBlock)
            pass(QByteArrayView(pcm.constData() + at, std::min(kBlock, pcm.size() - at)));
        best = std::min(
            best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

} // namespace

int main() {
    const QByteArray pcm = Music();
    TrackChecksums sums(pcm.size() / 4, true, true);
    const double checksums = BestSeconds(pcm, [&](QByteArrayView block) { sums.add(block); });
    LoudnessMeter meter;
    const double loudness = BestSeconds(pcm, [&](QByteArrayView block) { meter.add(block); });
    std::printf("%d s of CD audio in %lld-byte blocks, best of %d:\n"
                "checksums (CRC32, AccurateRip v1/v2/450) %.3f s; ReplayGain meter (integrated "
                "loudness, true peak) %.3f s\n"
                "meter / checksums = %.2f; the meter runs at %.0f times real time (goal >= 50)\n"
                "(%s; checksum %08x)\n",
                kSeconds, static_cast<long long>(kBlock), kRounds, checksums, loudness,
                loudness / checksums, kSeconds / loudness,
                qPrintable(LoudnessLogText(meter.result())), sums.sums().crc32);
    return 0;
}

// De-emphasis follows the CD standard's 50/15 µs curve and carries its state across blocks.
#include "dsp/deemphasis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

namespace {

constexpr int kRate = 44100;

// The analog de-emphasis (1 + jω·15 µs) / (1 + jω·50 µs), in dB.
double StandardDb(double hz) {
    const double w = 2 * std::numbers::pi * hz;
    return 20 * std::log10(std::abs(std::complex<double>(1, w * 15e-6) /
                                    std::complex<double>(1, w * 50e-6)));
}

// One second of a tone, the right channel at half the left's level.
std::vector<std::int16_t> Tone(double hz) {
    std::vector<std::int16_t> pcm;
    for (int n = 0; n < kRate; ++n) {
        const double x = 16000 * std::sin(2 * std::numbers::pi * hz * n / kRate);
        pcm.push_back(std::int16_t(std::lround(x)));
        pcm.push_back(std::int16_t(std::lround(x / 2)));
    }
    return pcm;
}

// The level of a channel over the second half, once the filter has settled.
double Rms(const std::vector<std::int16_t>& pcm, int channel) {
    double sum = 0;
    const std::size_t from = pcm.size() / 2 + std::size_t(channel);
    for (std::size_t i = from; i < pcm.size(); i += 2)
        sum += double(pcm[i]) * pcm[i];
    return std::sqrt(sum / double((pcm.size() - from) / 2));
}

} // namespace

TEST(DeEmphasis, TonesFallAsTheStandardsCurveSays) {
    for (const double hz : {100.0, 1000.0, 3000.0, 5000.0, 10000.0, 16000.0, 20000.0}) {
        const std::vector<std::int16_t> tone = Tone(hz);
        std::vector<std::int16_t> out = tone;
        DeEmphasis().process(out.data(), out.size() / 2);
        for (int channel : {0, 1})
            EXPECT_NEAR(20 * std::log10(Rms(out, channel) / Rms(tone, channel)), StandardDb(hz),
                        0.1)
                << hz << " Hz, channel " << channel;
    }
}

TEST(DeEmphasis, BlocksOfAnySizeGiveWhatOneBlockGives) {
    std::vector<std::int16_t> whole = Tone(1000);
    std::vector<std::int16_t> blocks = whole;
    DeEmphasis().process(whole.data(), whole.size() / 2);
    DeEmphasis filter;
    const std::size_t sizes[] = {1, 7, 4096, 333, 2};
    for (std::size_t at = 0, i = 0; at < blocks.size() / 2; ++i) {
        const std::size_t frames = std::min(sizes[i % 5], blocks.size() / 2 - at);
        filter.process(blocks.data() + 2 * at, frames);
        at += frames;
    }
    EXPECT_EQ(blocks, whole);
}

// ReplayGain: the meter against FFmpeg's own EBU R 128 measurement of the same PCM (its ebur128
// filter), tracks and album, and the tags in every format read back with TagLib.
#include "metadata/gaintags.h"
#include "metadata/replaygain.h"
#include "support/encodedfiles.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

#include <taglib/asffile.h>
#include <taglib/fileref.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/textidentificationframe.h>
#include <taglib/tpropertymap.h>

#include <cmath>
#include <numbers>

namespace {

struct Tone {
    double seconds, hz, left, right; // amplitudes, 1.0 full scale
};

// The tones one after the other, each starting at 45° so a tone at a quarter of the sample rate
// peaks between its samples, and faded in and out over a tenth of a second so no step rings
// above it; a second of silence after them.
QByteArray Pcm(std::initializer_list<Tone> tones) {
    QByteArray pcm;
    for (const Tone& tone : tones) {
        const auto frames = static_cast<qsizetype>(tone.seconds * 44100);
        for (qsizetype i = 0; i < frames; ++i) {
            const double phase = 2 * std::numbers::pi * tone.hz * i / 44100 + std::numbers::pi / 4;
            const double edge = std::min<double>({1.0, i / 4410.0, (frames - i) / 4410.0});
            const double fade = (1 - std::cos(std::numbers::pi * edge)) / 2;
            for (const double amplitude : {tone.left, tone.right}) {
                const auto sample =
                    static_cast<qint16>(std::lround(32767 * amplitude * fade * std::sin(phase)));
                char bytes[2];
                qToLittleEndian(sample, bytes);
                pcm.append(bytes, 2);
            }
        }
    }
    return pcm + QByteArray(176400, 0);
}

// FFmpeg's integrated loudness and true peak of the PCM, as its ebur128 filter reports them.
Loudness Reference(const QByteArray& pcm) {
    QTemporaryDir folder;
    QFile raw(folder.filePath("pcm"));
    EXPECT_TRUE(raw.open(QIODevice::WriteOnly) && raw.write(pcm) == pcm.size());
    raw.close();
    const QString report = folder.filePath("report");
    const int exit = QProcess::execute(
        "ffmpeg",
        {"-loglevel", "error", "-f", "s16le", "-ar", "44100", "-ac", "2", "-i", raw.fileName(),
         "-af", "ebur128=peak=true:metadata=1,ametadata=mode=print:file=" + report, "-f", "null",
         "-"});
    EXPECT_EQ(exit, 0);
    QFile file(report);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromLatin1(file.readAll());
    Loudness loudness;
    for (const auto& line : QRegularExpression(R"(r128\.(I|true_peak)=(\S+))").globalMatch(text)) {
        const double value = line.captured(2).toDouble();
        if (line.captured(1) == "I")
            loudness.lufs = value; // integrated so far: the last one is the whole
        else
            loudness.truePeak = std::max(loudness.truePeak, value);
    }
    return loudness;
}

LoudnessMeter Measured(const QByteArray& pcm) {
    LoudnessMeter meter;
    for (qsizetype at = 0; at < pcm.size(); at += 4099) // blocks that split frames
        meter.add(QByteArrayView(pcm.constData() + at, std::min<qsizetype>(4099, pcm.size() - at)));
    return meter;
}

double Decibels(double linear) {
    return 20 * std::log10(linear);
}

void ExpectNear(const Loudness& measured, const Loudness& reference, const char* what) {
    ASSERT_TRUE(measured.lufs.has_value()) << what;
    EXPECT_NEAR(*measured.lufs, *reference.lufs, 0.1) << what;
    EXPECT_NEAR(Decibels(measured.truePeak), Decibels(reference.truePeak), 0.1) << what;
}

} // namespace

TEST(ReplayGain, TracksAndAlbumMeasureAsFfmpegMeasuresThem) {
    const struct {
        const char* what;
        QByteArray pcm;
    } tracks[] = {
        {"1 kHz, -20 dBFS", Pcm({{4, 1000, 0.1, 0.1}})},
        {"a quarter of the sample rate, peaks between samples",
         Pcm({{4, 11025, 0.9, 0.3}, {2, 100, 0.2, 0.5}})},
        {"quiet, then loud: the quiet part is gated out",
         Pcm({{3, 440, 0.003, 0.003}, {3, 440, 0.5, 0.4}})},
    };
    std::vector<LoudnessMeter> meters;
    QByteArray album;
    for (const auto& track : tracks) {
        meters.push_back(Measured(track.pcm));
        ExpectNear(meters.back().result(), Reference(track.pcm), track.what);
        album += track.pcm;
    }
    const LoudnessMeter* all[] = {&meters[0], &meters[1], &meters[2]};
    ExpectNear(LoudnessMeter::Album(all), Reference(album), "album");
    EXPECT_GT(Decibels(meters[1].result().truePeak), Decibels(0.9 * std::sqrt(0.5)) + 2.9)
        << "the true peak, not the samples' peak";

    // Digital silence has no loudness and no gain; the album is the other tracks'.
    const LoudnessMeter silence = Measured(QByteArray(441000, 0));
    EXPECT_FALSE(silence.result().lufs.has_value());
    EXPECT_FALSE(TrackGainTags(silence.result()).trackGain.has_value());
    const LoudnessMeter* withSilence[] = {&meters[0], &silence, &meters[1], &meters[2]};
    EXPECT_DOUBLE_EQ(*LoudnessMeter::Album(withSilence).lufs, *LoudnessMeter::Album(all).lufs);
    EXPECT_EQ(LoudnessLogText(silence.result()), "digital silence, no gain, peak 0.000000");
}

// The track's tags as the rip writes them once a track is done, the album's after the last one;
// a silent track gets the album's only.
TEST(ReplayGain, TagsInEveryFormatReadBack) {
    const Loudness loud{-11.48, 0.988547}, silent{std::nullopt, 0};
    const Loudness album{-17.995, 1.0213}; // a gain that rounds to zero has no sign
    const struct {
        const char* extension;
        Loudness track;
        const char* tags;
    } cases[] = {
        {"mp3", loud, "-6.52 dB|0.988547|0.00 dB|1.021300"},
        {"ogg", loud, "-6.52 dB|0.988547|0.00 dB|1.021300"},
        {"flac", loud, "-6.52 dB|0.988547|0.00 dB|1.021300"},
        {"wma", loud, "-6.52 dB|0.988547|0.00 dB|1.021300"},
        {"flac", silent, "-|-|0.00 dB|1.021300"},
    };
    const char* const names[] = {"REPLAYGAIN_TRACK_GAIN", "REPLAYGAIN_TRACK_PEAK",
                                 "REPLAYGAIN_ALBUM_GAIN", "REPLAYGAIN_ALBUM_PEAK"};
    for (const auto& c : cases) {
        QTemporaryDir folder;
        const QString path = EncodedSilence(folder.path(), c.extension);
        ASSERT_FALSE(path.isEmpty()) << "no " << c.extension << " encoder";
        ASSERT_EQ(WriteGainTags(path, TrackGainTags(c.track)), std::nullopt) << c.extension;
        ASSERT_EQ(WriteGainTags(path, AlbumGainTags(album)), std::nullopt) << c.extension;
        const QByteArray name = QFile::encodeName(path);
        QStringList read;
        for (const char* tag : names) {
            TagLib::StringList values;
            if (QLatin1String(c.extension) == "wma") {
                for (const auto& value : TagLib::ASF::File(name).tag()->attribute(tag))
                    values.append(value.toString());
            } else {
                values = TagLib::FileRef(name).file()->properties()[tag];
            }
            read << (values.isEmpty() ? "-"
                                      : QString::fromStdString(values.toString().to8Bit(true)));
        }
        EXPECT_EQ(read.join('|'), c.tags) << c.extension;
    }
    // In an MP3 they are ID3v2.4 TXXX frames.
    QTemporaryDir folder;
    const QString mp3 = EncodedSilence(folder.path(), "mp3");
    ASSERT_EQ(WriteGainTags(mp3, TrackGainTags(loud)), std::nullopt);
    TagLib::MPEG::File file(QFile::encodeName(mp3));
    EXPECT_EQ(file.ID3v2Tag()->header()->majorVersion(), 4u);
    EXPECT_NE(
        TagLib::ID3v2::UserTextIdentificationFrame::find(file.ID3v2Tag(), "REPLAYGAIN_TRACK_GAIN"),
        nullptr);
}

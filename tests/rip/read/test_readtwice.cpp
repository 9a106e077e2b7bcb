// "Read each track twice" on a drive that cannot read one sector of track 2 steadily: the test
// read writes nothing, the file holds a read another read agrees with (encoded once, after the
// reads agree), the log gives every read, and a track whose reads never agree is unstable.
#include "rip/ripfixture.h"
#include "support/flacdecode.h"

#include <QDir>

#include <atomic>
#include <zlib.h>

namespace {

constexpr int kTrack = 2 * 262144;

std::atomic<int> g_closes; // files the rip wrote to their end
int CountingClose(std::FILE* file) {
    ++g_closes;
    return CloseFile(file);
}

// The CRC32 of track 2 as the disc holds it, its unsteady second sector raised by noise.
QString Crc(const QByteArray& audio, int noise = 0) {
    QByteArray read = audio;
    for (int k = 2352; k < 2 * 2352; ++k)
        read[k] = char(read[k] + noise);
    const auto crc = crc32(0, reinterpret_cast<const Bytef*>(read.constData()), uInt(read.size()));
    return QStringLiteral("%1").arg(crc, 8, 16, QChar('0')).toUpper();
}

} // namespace

TEST(ReadTwice, TheFileHoldsAnAgreedReadAndATrackThatNeverAgreesIsUnstable) {
    QByteArray track2(kTrack, '\0');
    for (int k = 0; k < kTrack; ++k)
        track2[k] = FakeAudio::DecodedByte(1, QWORD(k));
    const QString good = Crc(track2);
    const QString threeReads = "Reads: 3 (CRC32 " + good + ", " + Crc(track2, 1) + ", " + good;
    struct Case {
        const char* name;
        int format; // 1 WAV, 5 FLAC
        std::function<int(int read)> noise;
        int reads;  // of track 2
        int closes; // files written to their end: never one for a test read
        QString log;
    };
    const Case cases[] = {
        {"steady", 1, [](int) { return 0; }, 2, 2,
         "Patched sectors: 0\nReads: 2\nTest CRC: " + good + "\nCopy CRC: " + good},
        {"the copy read differs", 1, [](int read) { return read == 2; }, 3, 3,
         threeReads + ")\nTest CRC: " + good + "\nCopy CRC: " + good},
        {"encoded once agreed", 5, [](int read) { return read == 2; }, 3, 5, threeReads},
        {"never agrees", 1, [](int read) { return read; }, 7, 7,
         "File: none\nOutcome: unstable (7 reads)\nRead errors: 0\nPatched sectors: 0\nReads: 7 "
         "(CRC32 " +
             Crc(track2, 1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeAudio audio;
        audio.addDrive();
        audio.insertDisc(0, {kTrack, kTrack});
        audio.noise = [&](DWORD track, QWORD sector, int read) {
            return track == 1 && sector == 1 ? c.noise(read) : 0;
        };
        QTemporaryDir temp;
        RipRequest request;
        request.tracks = {0, 1};
        request.output.format = c.format;
        request.output.folder = temp.path();
        request.output.readTwice = true;
        JobRun run;
        run.closeFile = CountingClose;
        g_closes = 0;
        const HangGuard guard(c.name);
        const bool stable = c.reads < 7;
        EXPECT_EQ(run.rip(audio.library(), request), stable ? 2 : 1);
        EXPECT_EQ(audio.callsStartingWith("BASS_CD_StreamCreate(0,1,").size(), c.reads);
        EXPECT_EQ(g_closes, c.closes);
        QFile log(temp.filePath(QDir(temp.path()).entryList({"Mivo rip *.log"}).value(0)));
        ASSERT_TRUE(log.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(log.readAll());
        EXPECT_TRUE(text.contains("Read each track twice: yes, until two reads agree\n") &&
                    text.contains(c.log))
            << text.toStdString();
        const QString file = temp.filePath(c.format == 1 ? "TRACK2.WAV" : "TRACK2.flac");
        if (stable) {
            EXPECT_TRUE((c.format == 1 ? ReadWav(file).data() : DecodeFlac(file).pcm) == track2);
            continue;
        }
        EXPECT_FALSE(QFile::exists(file));
        ASSERT_EQ(run.dialogs.messages.size(), 1u);
        EXPECT_EQ(run.dialogs.messages[0].caption, "Unstable reads");
        EXPECT_EQ(run.lines.section("\r\n", 2), "Rip again: track 2 (unstable)");
    }
}

// Rips on the real library with the real lame, oggenc and FFmpeg: the WAV compared with the
// disc image, the files a player reads back, and the failures of encoders and output files as
// the user hears of them.
#include "rip/files/stagedfile.h"
#include "rip/ripfixture.h"
#include "support/audioprobe.h"
#include "support/testimages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>

#include <cmath>

namespace {

class RealEncoders : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(w.start({TestImage("nocdtext.cue")})); // tracks of 2, 3 and 4 s
        folder = temp.path() + "/Ripped Audio";
        w.find<QLineEdit>("txtExtractPath").setText(folder);
    }
    void choose(const char* control) { w.find<QRadioButton>(control).setChecked(true); }
    void rip(std::initializer_list<int> rows) {
        w.dialogs.messages.clear();
        for (int row = 1; row <= 3; ++row)
            w.list().topLevelItem(row - 1)->setCheckState(0, Qt::Unchecked);
        w.tick(rows);
        w.command("IDC_FS_ExtractBtn");
    }
    QString completion(int count) const {
        return QString::number(count) + " Tracks have been Ripped to " + folder;
    }

    RealWindow w;
    QTemporaryDir temp;
    QString folder;
    const QByteArray pcm = TrackAudio("nocdtext.manifest", "nocdtext.bin").at(0); // track 1
};

} // namespace

// (WAV, Mivo Default and MP3 at a constant rate are among the journeys.)
TEST_F(RealEncoders, EachFormatGivesAFileOfTheTracksAudioLengthAndRate) {
    struct Case {
        const char* format;
        const char* option; // the CBR/VBR choice, or null
        const char* list;   // the bit-rate list and the rate chosen in it, or null
        int index;
        const char* file;
        long long bitRate; // 0: an average MP3 rate, not checked
    };
    const Case cases[] = {
        {"optExtractMode3", "optMP3VBR", "cmbMP3VBitrate", 4, "TRACK1.mp3", 0},
        {"optExtractMode4", "optOGGCBR", "cmbOGGCBitrate", 6, "TRACK1.ogg", 128000},
        {"optExtractMode4", "optOGGVBR", "cmbOGGVBitrate", 7, "TRACK1.ogg", 96000}, // nominal
        {"optExtractMode2", nullptr, "cmbWMAEncodingBitrate", 4, "TRACK1.WMA", 128000},
    };
    w.find<QLineEdit>("txtWMATags0").setText(QString::fromUtf8("Café – 東京"));
    w.find<QLineEdit>("txtWMATags6").setText("Jazz");
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.format) + " " + (c.option ? c.option : ""));
        choose(c.format);
        if (c.option)
            choose(c.option);
        if (c.list)
            w.find<QComboBox>(c.list).setCurrentIndex(c.index);
        QDir(folder).removeRecursively();
        QDir().mkpath(folder);
        QFile old(folder + "/" + c.file); // an older, longer file of that name is replaced whole
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(3 * pcm.size(), 'Z'));
        old.close();
        rip({1});
        EXPECT_EQ(FirstLines(w.messages()), QStringList{completion(1)});
        const AudioProbe probe = ProbeAudio(folder + "/" + c.file);
        ASSERT_TRUE(probe.opened);
        EXPECT_NEAR(probe.seconds, 2.0, 0.046); // within a frame of the encoder (WMA: 2048)
        if (c.bitRate > 0) {
            EXPECT_EQ(probe.bitRate, c.bitRate);
        }
    }
    const AudioProbe wma = ProbeAudio(folder + "/TRACK1.WMA");
    EXPECT_EQ(wma.tags.at("title"), "Café – 東京");
    EXPECT_EQ(wma.tags.at("genre"), "Jazz");

    w.find<QCheckBox>("chkWMAFileTags").setChecked(false); // no tags, still a valid file
    rip({1});
    const AudioProbe untagged = ProbeAudio(folder + "/TRACK1.WMA");
    EXPECT_EQ(untagged.tags.count("genre"), 0u);
    EXPECT_NEAR(untagged.seconds, 2.0, 0.046);
}

// A track longer than an encoder takes in at once is fed at the encoder's pace, never cut
// short: the reader outruns lame and oggenc, which then take nothing for a moment.
TEST(RealEncodersPace, ATrackLongerThanTheEncodersQueueIsEncodedWhole) {
    for (const char* format : {"optExtractMode3", "optExtractMode4"}) {
        SCOPED_TRACE(format);
        RealWindow w;
        QTemporaryDir temp;
        ASSERT_TRUE(w.start({TestImage("onetrack.cue")})); // 20 s
        w.find<QLineEdit>("txtExtractPath").setText(temp.path());
        w.find<QRadioButton>(format).setChecked(true);
        w.tick({1});
        w.command("IDC_FS_ExtractBtn");
        EXPECT_EQ(FirstLines(w.messages()),
                  QStringList{"1 Tracks have been Ripped to " + temp.path()});
        const QString file = QDir(temp.path()).entryList({"TRACK1.*"}).value(0);
        EXPECT_NEAR(ProbeAudio(temp.filePath(file)).seconds, 20.0, 0.06) << file.toStdString();
    }
}

// A missing encoder is said once per job; one that fails is said for each track, with its
// status and last line of words (not its progress), and the job goes on. Nothing is counted,
// and Mivo lives on.
TEST_F(RealEncoders, EncodersThatAreMissingOrFailAreReportedAndNotCounted) {
    struct Case {
        const char* script; // the lame placed on the PATH, or null for none
        QStringList reports;
    };
    const Case cases[] = {
        {nullptr,
         {"lame was not found in the application folder or on the PATH; install the lame "
          "package"}},
        {"/usr/bin/head -c 50000 >/dev/null; printf 'Encoding\\r 5%%\\nError reading input\\n\\n' "
         ">&2; "
         "exit 1",
         {"lame ended with status 1: Error reading input", "lame ended with status 1"}},
    };
    choose("optExtractMode0");
    for (const Case& c : cases) {
        QTemporaryDir bin;
        if (c.script) {
            QFile lame(bin.filePath("lame"));
            ASSERT_TRUE(lame.open(QIODevice::WriteOnly));
            lame.write(QByteArray("#!/bin/sh\n") + c.script + "\n");
            lame.setPermissions(lame.permissions() | QFile::ExeOwner);
        }
        const ScopedEnv path("PATH", bin.path().toStdString());
        rip({1, 2});
        const QStringList reports = w.messages("Encoder");
        ASSERT_EQ(reports.size(), c.reports.size()) << w.messages().join(" | ").toStdString();
        for (int i = 0; i < reports.size(); ++i)
            EXPECT_TRUE(reports[i].contains(c.reports[i])) << reports[i].toStdString();
        EXPECT_EQ(FirstLines(w.messages("Ripping Completed")), QStringList{completion(0)});
    }
    EXPECT_FALSE(QFile::exists(folder + "/TRACK1.mp3"));
}

TEST_F(RealEncoders, WmaFilesThatCannotBeMadeOrFilledAreReported) {
    choose("optExtractMode2");
    // A folder where the file is written, then a full disk.
    QDir().mkpath(StagedFile::PathWhileWriting(folder + "/TRACK1.WMA"));
    if (QFile::exists("/dev/full"))
        QFile::link("/dev/full", StagedFile::PathWhileWriting(folder + "/TRACK2.WMA"));
    rip({1, 2});
    const QStringList boxes = w.messages("Error");
    ASSERT_EQ(boxes.size(), 2) << w.messages().join(" | ").toStdString();
    EXPECT_TRUE(boxes[0].startsWith("An error occured while opening output file."));
    EXPECT_TRUE(boxes[1].startsWith("An error occured while encoding WMA data."));
    EXPECT_EQ(FirstLines(w.messages("Ripping Completed")), QStringList{completion(0)});
    EXPECT_TRUE(w.form().isEnabled());
}

// An output folder the encoder cannot be given is said once a job, not once a track.
TEST_F(RealEncoders, AFolderWithADoubleQuoteIsRefusedOnce) {
    folder = temp.path() + "/say \"hi\"";
    w.find<QLineEdit>("txtExtractPath").setText(folder);
    choose("optExtractMode0");
    rip({1, 2});
    const QStringList refusals = w.messages("Encoder");
    ASSERT_EQ(refusals.size(), 1);
    EXPECT_TRUE(refusals[0].contains(folder + "/TRACK1.mp3")) << refusals[0].toStdString();
    EXPECT_EQ(FirstLines(w.messages("Ripping Completed")), QStringList{completion(0)});
}

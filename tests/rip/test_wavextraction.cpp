// The WAV path on the scripted library: header and data as written, the file left on disk by
// every kind of failure, and that door, stream and window are always given back.

#include "ripfixture.h"

#include <QDir>
#include <QFileInfo>

namespace {

class WavExtraction : public RipFixture {
protected:
    // Extracts one track directly, with the output folder already made.
    bool extractTrack(int lTrack) {
        QDir().mkpath(folder);
        return h.form->ExtractAudioTrackToWav(lTrack);
    }

    // Door unlocked, stream freed, window usable, buffer released, stop request answered.
    void expectEverythingGivenBack() {
        EXPECT_FALSE(h.audio.drives[0].locked);
        EXPECT_EQ(h.audio.stream(h.form->lStream), nullptr);
        EXPECT_TRUE(h.form->isEnabled());
        EXPECT_EQ(h.form->transferBuffer.capacity(), 0);
        EXPECT_FALSE(h.form->bStopRipping);
    }

    QString routineBox(int number, const QString& description) const {
        return "Error in routine : ExtractAudioTrackin module : frmDemo\r\nError #" +
               QString::number(number) + "\r\n" + description;
    }
};

TEST_F(WavExtraction, AThreeMinuteTrackGivesTheExactFile) {
    loadDisc({31752000});
    EXPECT_TRUE(extractTrack(0));

    const WavFile file = wav(1);
    file.expectCdHeader(31752000);
    EXPECT_EQ(file.bytes.size(), 31752044);
    EXPECT_EQ(file.u32(4), 31752036u);
    EXPECT_EQ(FirstWrongByte(file.data(), 0), -1);
    EXPECT_TRUE(h.dialogs.messages.empty());
    expectEverythingGivenBack();
}

TEST_F(WavExtraction, CallsTheLibraryInOrderAndAsksForWholeBlocks) {
    loadDisc({kBlock + 100});
    h.audio.clearCalls();
    EXPECT_TRUE(extractTrack(0));

    const std::vector<std::string> expectedStart{"BASS_CD_Door(0,2)",
                                                 "BASS_CD_StreamCreate(0,0,2359296)"};
    ASSERT_GE(h.audio.calls.size(), 2u);
    EXPECT_EQ(std::vector<std::string>(h.audio.calls.begin(), h.audio.calls.begin() + 2),
              expectedStart);
    const DWORD stream = h.form->lStream;
    const std::string s = std::to_string(stream);
    EXPECT_EQ(h.audio.callsStartingWith("BASS_ChannelGetData"),
              (std::vector<std::string>{"BASS_ChannelGetData(" + s + ",20000)",
                                        "BASS_ChannelGetData(" + s + ",20000)"}));
    EXPECT_TRUE(h.audio.called("BASS_StreamFree(" + s + ")"));
    EXPECT_EQ(h.audio.calls.back(), "BASS_CD_Door(0,3)");
    wav(1).expectCdHeader(kBlock + 100);
}

TEST_F(WavExtraction, TheFileNumberIsTheTrackPlusOne) {
    loadDisc(std::vector<int>(12, 4));
    EXPECT_TRUE(extractTrack(11));
    wav(12).expectCdHeader(4);
    EXPECT_EQ(FirstWrongByte(wav(12).data(), 11), -1);
}

TEST_F(WavExtraction, ADecoderThatEndsAtOnceLeavesOnlyTheHeader) {
    loadDisc({kBlock});
    h.audio.drives[0].tracks[0].length = 0; // the stream has nothing to decode
    EXPECT_TRUE(extractTrack(0));

    const WavFile file = wav(1);
    file.expectCdHeader(0);
    EXPECT_EQ(file.u32(4), 36u);
    EXPECT_TRUE(h.audio.callsStartingWith("BASS_ChannelGetData").empty());
    expectEverythingGivenBack();
}

TEST_F(WavExtraction, AnExistingLongerFileIsReplacedWhole) {
    loadDisc({2 * kBlock});
    QDir().mkpath(folder);
    QFile old(trackFile(1));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(5 * kBlock, 'x'));
    old.close();

    EXPECT_TRUE(extractTrack(0));
    wav(1).expectCdHeader(2 * kBlock); // the size check sees any old byte left behind
    EXPECT_EQ(FirstWrongByte(wav(1).data(), 0), -1);
}

TEST_F(WavExtraction, AStopEndsAfterTheCurrentBlockWithCorrectSizes) {
    loadDisc({5 * kBlock});
    h.audio.afterGetData = [&](DWORD, int call) {
        if (call == 3)
            h.form->StopRipping();
    };
    EXPECT_FALSE(extractTrack(0)); // not the whole track

    wav(1).expectCdHeader(3 * kBlock);
    EXPECT_EQ(FirstWrongByte(wav(1).data(), 0), -1);
    expectEverythingGivenBack();
}

TEST_F(WavExtraction, AStopAfterTheLastBlockStillCountsTheTrack) {
    loadDisc({2 * kBlock});
    h.audio.afterGetData = [&](DWORD, int call) {
        if (call == 2)
            h.form->StopRipping();
    };
    EXPECT_TRUE(extractTrack(0));
    wav(1).expectCdHeader(2 * kBlock);
}

// ---- failures ----

TEST_F(WavExtraction, AReadFailureLeavesAValidShorterFileAndTheRoutineBox) {
    loadDisc({5 * kBlock});
    h.audio.failGetDataFrom = 3;
    EXPECT_FALSE(extractTrack(0));

    wav(1).expectCdHeader(2 * kBlock);
    EXPECT_EQ(FirstWrongByte(wav(1).data(), 0), -1);
    ASSERT_EQ(h.dialogs.messages.size(), 1u);
    EXPECT_EQ(h.dialogs.messages[0].caption, "Mivo CD Player");
    EXPECT_EQ(h.dialogs.messages[0].text,
              routineBox(1000 + BASS_ERROR_NOCD, "Reading track 1 failed: No CD in drive"));
    expectEverythingGivenBack();
}

TEST_F(WavExtraction, AMissingParentFolderIsReportedWithoutAFile) {
    loadDisc({kBlock});
    folder = temp.path() + "/missing/Ripped Audio";
    h.form->txtExtractPath->setText(folder);
    tick({1});
    extract(); // the dialog makes one folder level only

    EXPECT_FALSE(QFileInfo::exists(folder));
    ASSERT_EQ(h.dialogs.messages.size(), 2u);
    EXPECT_EQ(h.dialogs.messages[0].text,
              routineBox(ENOENT, "No such file or directory (creating " + trackFile(1) + ")"));
    EXPECT_EQ(h.dialogs.messages[0].icon, MessageIcon::None);
    EXPECT_EQ(h.dialogs.messages[1].text, completion(0));
    EXPECT_TRUE(h.audio.called("BASS_CD_Door(0,3)"));
    expectEverythingGivenBack();
}

TEST_F(WavExtraction, AFullDiskIsReported) {
    loadDisc({kBlock});
    QDir().mkpath(folder);
    if (!QFile::link("/dev/full", trackFile(1)) || !QFileInfo("/dev/full").exists())
        GTEST_SKIP() << "no /dev/full here";
    h.form->bStopRipping = true; // a stale request must not stop the next extraction
    EXPECT_FALSE(extractTrack(0));

    ASSERT_EQ(h.dialogs.messages.size(), 1u);
    EXPECT_EQ(h.dialogs.messages[0].text,
              routineBox(ENOSPC, "No space left on device (writing " + trackFile(1) + ")"));
    expectEverythingGivenBack();
}

TEST_F(WavExtraction, ADataTrackGivesNoFile) {
    loadDisc({kBlock, kBlock});
    h.audio.drives[0].tracks[1].audio = false;
    EXPECT_FALSE(extractTrack(1));

    ASSERT_EQ(h.dialogs.messages.size(), 1u);
    EXPECT_EQ(h.dialogs.messages[0].text, "Unable to Create CD Stream!");
    EXPECT_EQ(h.dialogs.messages[0].caption, "Mivo CD Player");
    EXPECT_EQ(h.dialogs.messages[0].icon, MessageIcon::None);
    EXPECT_FALSE(QFile::exists(trackFile(2)));
    EXPECT_EQ(h.audio.callsStartingWith("BASS_CD_Door").back(), "BASS_CD_Door(0,3)");
    expectEverythingGivenBack();
}

} // namespace

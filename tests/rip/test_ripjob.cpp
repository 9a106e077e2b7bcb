// The rip job through the skin's extract button on the scripted library: which rows become
// which files, what the completion box counts, and how Stop and closing the dialog end a job.

#include "ripfixture.h"

#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>

namespace {

constexpr int kTrack = 100000; // five blocks

class RipJob : public RipFixture {};

TEST_F(RipJob, TickedRowsBecomeNumberedFilesAndAreCounted) {
    loadDisc({kTrack, kTrack + 4, 3 * kBlock});
    tick({1, 2, 3});
    extract();

    wav(1).expectCdHeader(kTrack);
    wav(2).expectCdHeader(kTrack + 4);
    wav(3).expectCdHeader(3 * kBlock);
    EXPECT_EQ(FirstWrongByte(wav(2).data(), 1), -1);
    EXPECT_EQ(FirstWrongByte(wav(3).data(), 2), -1);
    EXPECT_EQ(boxes("Ripping Completed"), QStringList{completion(3)});
    EXPECT_EQ(h.dialogs.messages.back().icon, MessageIcon::Information);
    EXPECT_EQ(h.dialogs.messages.size(), 1u);
    EXPECT_FALSE(h.form->bRipping);
    EXPECT_EQ(h.form->ripDialog, nullptr);
    EXPECT_TRUE(h.form->isEnabled());
}

TEST_F(RipJob, OnlyTickedRowsAreRippedUnderTheirRowNumbers) {
    loadDisc({kBlock, kBlock, kBlock, kBlock, kBlock});
    tick({2, 5});
    extract();

    EXPECT_FALSE(QFile::exists(trackFile(1)));
    EXPECT_TRUE(QFile::exists(trackFile(2)));
    EXPECT_FALSE(QFile::exists(trackFile(3)));
    EXPECT_FALSE(QFile::exists(trackFile(4)));
    EXPECT_EQ(FirstWrongByte(wav(5).data(), 4), -1);
    EXPECT_EQ(h.audio.callsStartingWith("BASS_CD_StreamCreate"),
              (std::vector<std::string>{"BASS_CD_StreamCreate(0,1,2359296)",
                                        "BASS_CD_StreamCreate(0,4,2359296)"}));
    EXPECT_EQ(boxes("Ripping Completed"), QStringList{completion(2)});
}

TEST_F(RipJob, RowsRipTheTrackTheyCarry) {
    loadDisc({kBlock, 2 * kBlock, 3 * kBlock});
    // A row standing for a track other than its position (a track before it could not be read).
    h.form->lsTracks->topLevelItem(0)->setData(0, Qt::UserRole, 2);
    tick({1});
    extract();

    EXPECT_TRUE(h.audio.called("BASS_CD_StreamCreate(0,2,2359296)"));
    EXPECT_TRUE(QFile::exists(trackFile(3))); // the WAV file carries the track's number
    wav(3).expectCdHeader(3 * kBlock);
}

TEST_F(RipJob, DialogShowsThePathTheTrackAndTheProgress) {
    loadDisc({kTrack, kTrack});
    tick({2});
    QString pathLabel, trackLabel, caption;
    int progressSeen = -1;
    h.audio.afterGetData = [&](DWORD, int call) {
        frmRipp* dialog = h.form->ripDialog;
        ASSERT_NE(dialog, nullptr);
        pathLabel = dialog->lblRippingPath->text();
        trackLabel = dialog->lblRip->text();
        caption = dialog->windowTitle();
        EXPECT_TRUE(h.audio.drives[0].locked);
        EXPECT_FALSE(h.form->isEnabled());
        EXPECT_TRUE(h.form->bRipping);
        if (call == 2) {
            h.form->tmrPlaybackPosition_Timer();
            progressSeen = dialog->prgRipper->value();
        }
    };
    extract();

    EXPECT_EQ(pathLabel, "Ripping Path:" + folder);
    EXPECT_EQ(trackLabel, "Ripping Track Number:2");
    EXPECT_EQ(caption, "Ripping In Progress...");
    EXPECT_EQ(progressSeen, 40);
    EXPECT_FALSE(h.audio.drives[0].locked);
    EXPECT_TRUE(QFileInfo(folder).isDir());
}

// ---- stopping ----

TEST_F(RipJob, StopDuringSecondOfFourKeepsAValidShorterFileAndCountsOne) {
    loadDisc({kTrack, kTrack, kTrack, kTrack});
    tick({1, 2, 3, 4});
    h.audio.afterGetData = [&](DWORD handle, int) {
        FakeStream* s = h.audio.stream(handle);
        if (s->track == 1 && s->position == 2 * kBlock)
            pressStopInDialog();
    };
    extract();

    wav(1).expectCdHeader(kTrack);
    wav(2).expectCdHeader(2 * kBlock);
    EXPECT_EQ(FirstWrongByte(wav(2).data(), 1), -1);
    EXPECT_FALSE(QFile::exists(trackFile(3)));
    EXPECT_FALSE(QFile::exists(trackFile(4)));
    ASSERT_EQ(h.dialogs.messages.size(), 2u);
    EXPECT_EQ(h.dialogs.messages[0].text,
              "Are you sure that you want to cancel the ripping process?");
    EXPECT_EQ(h.dialogs.messages[0].caption, "Are you sure?");
    EXPECT_EQ(h.dialogs.messages[0].icon, MessageIcon::Question);
    EXPECT_EQ(h.dialogs.messages[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(h.dialogs.messages[1].text, completion(1));
    EXPECT_FALSE(h.form->bStopRipping);
    EXPECT_FALSE(h.audio.drives[0].locked);
    EXPECT_TRUE(h.form->isEnabled());
}

TEST_F(RipJob, StopBeforeTheJobStartsExtractsNothingAndTheNextJobRipsAll) {
    loadDisc({kTrack, kTrack});
    tick({1, 2});
    QTimer::singleShot(200, [&] { pressStopInDialog(); });
    extract();

    EXPECT_FALSE(QFile::exists(trackFile(1)));
    EXPECT_FALSE(QFile::exists(trackFile(2)));
    EXPECT_TRUE(h.audio.callsStartingWith("BASS_CD_StreamCreate").empty());
    EXPECT_EQ(boxes("Ripping Completed"), QStringList{completion(0)});
    EXPECT_FALSE(h.form->bStopRipping); // the playing position shows again after the job

    h.dialogs.messages.clear();
    extract();
    wav(1).expectCdHeader(kTrack);
    wav(2).expectCdHeader(kTrack);
    EXPECT_EQ(boxes("Ripping Completed"), QStringList{completion(2)});
}

TEST_F(RipJob, AnsweringNoLetsTheJobGoOn) {
    loadDisc({kTrack, kTrack});
    tick({1, 2});
    h.dialogs.onMessage = [](const RecordedMessage& m) {
        return m.buttons == MessageButtons::YesNo ? MessageResult::No : MessageResult::Ok;
    };
    h.audio.afterGetData = [&](DWORD, int call) {
        if (call == 2)
            pressStopInDialog();
    };
    extract();

    wav(1).expectCdHeader(kTrack);
    wav(2).expectCdHeader(kTrack);
    EXPECT_EQ(boxes("Are you sure?").size(), 1);
    EXPECT_EQ(boxes("Ripping Completed"), QStringList{completion(2)});
}

TEST_F(RipJob, ClosingTheDialogAsksTheStopQuestionAndNeverClosesUnderTheJob) {
    loadDisc({kTrack, kTrack, kTrack});
    tick({1, 2, 3});
    std::deque<MessageResult> replies{MessageResult::No, MessageResult::Yes};
    h.dialogs.onMessage = [&](const RecordedMessage& m) {
        if (m.buttons != MessageButtons::YesNo)
            return MessageResult::Ok;
        const MessageResult reply = replies.front();
        replies.pop_front();
        return reply;
    };
    bool openAfterNo = false;
    h.audio.afterGetData = [&](DWORD handle, int) {
        FakeStream* s = h.audio.stream(handle);
        if (s->position != kBlock)
            return;
        if (s->track == 0) {
            h.form->ripDialog->close(); // the frame's close box: answered No
            openAfterNo = h.form->ripDialog != nullptr && h.form->ripDialog->isVisible();
        } else if (s->track == 1) {
            h.form->ripDialog->reject(); // Escape: answered Yes
        }
    };
    extract();

    EXPECT_TRUE(openAfterNo);
    EXPECT_EQ(boxes("Are you sure?").size(), 2);
    wav(1).expectCdHeader(kTrack);
    wav(2).expectCdHeader(kBlock);
    EXPECT_FALSE(QFile::exists(trackFile(3)));
    EXPECT_EQ(boxes("Ripping Completed"), QStringList{completion(1)});
}

// ---- failures and the other formats ----

TEST_F(RipJob, FailedTracksAreNotCountedAndTheJobGoesOn) {
    loadDisc({kTrack, kTrack, kTrack});
    h.audio.drives[0].tracks[1].audio = false; // a data track
    tick({1, 2, 3});
    extract();

    EXPECT_EQ(boxes("Mivo CD Player"), QStringList{"Unable to Create CD Stream!"});
    EXPECT_FALSE(QFile::exists(trackFile(2)));
    wav(3).expectCdHeader(kTrack);
    EXPECT_EQ(boxes("Ripping Completed"), QStringList{completion(2)});
}

TEST_F(RipJob, FormatsNotAvailableYetAreSaidOncePerJobAndCountNothing) {
    loadDisc({kTrack, kTrack, kTrack});
    tick({1, 2, 3});
    h.form->optExtractMode[0]->setChecked(true); // Mivo default: MP3 through the encoder
    extract();

    EXPECT_EQ(boxes("Format not available").size(), 1);
    EXPECT_EQ(boxes("Ripping Completed"), QStringList{completion(0)});
    EXPECT_TRUE(h.audio.callsStartingWith("BASS_CD_StreamCreate").empty());
}

TEST_F(RipJob, WmaWithoutABitRateIsRefusedOncePerJob) {
    loadDisc({kTrack, kTrack});
    tick({1, 2});
    ASSERT_EQ(h.form->cmbWMAEncodingBitrate->currentIndex(), -1);
    h.form->optExtractMode[2]->setChecked(true);
    extract();

    EXPECT_EQ(boxes("WMA bit rate").size(), 1);
    EXPECT_TRUE(h.audio.callsStartingWith("BASS_WMA").empty());
    EXPECT_EQ(boxes("Ripping Completed"), QStringList{completion(0)});
}

TEST_F(RipJob, NoTickedRowOpensNoDialog) {
    loadDisc({kTrack});
    extract();
    EXPECT_EQ(h.dialogs.messages.size(), 1u);
    EXPECT_EQ(h.dialogs.messages[0].caption, "No Tracks Selected");
    EXPECT_FALSE(h.form->bRipping);
}

} // namespace

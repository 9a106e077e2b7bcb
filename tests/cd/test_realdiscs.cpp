// The disc scan on the real library: disc images listed as virtual drives.
#include "cdwindowfixture.h"
#include "support/realmainwindow.h"
#include "support/testimages.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <vector>

namespace {

// The main window on the real library, started with the given images as drives.
class RealDiscTest : public ::testing::Test {
protected:
    frmMain& start(const QStringList& images) {
        EXPECT_TRUE(m_window.start(images));
        m_form = &m_window.form();
        m_form->tmrPlaybackPosition->stop();
        return *m_form;
    }

    // Chooses the virtual drive of the named image; false when it is not listed.
    bool choose(const QString& imageName) {
        for (int i = 0; i < m_form->cmbCDDrives->count(); ++i) {
            if (m_form->cmbCDDrives->itemText(i).endsWith("(" + imageName + ")")) {
                m_form->cmbCDDrives->setCurrentIndex(i);
                return true;
            }
        }
        return false;
    }
    QStringList column(int c) const {
        QStringList texts;
        for (int i = 0; i < m_form->lsTracks->topLevelItemCount(); ++i)
            texts << m_form->lsTracks->topLevelItem(i)->text(c);
        return texts;
    }
    std::vector<int> rowTracks() const {
        std::vector<int> tracks;
        for (int i = 0; i < m_form->lsTracks->topLevelItemCount(); ++i)
            tracks.push_back(frmMain::TrackOfRow(m_form->lsTracks->topLevelItem(i)));
        return tracks;
    }
    QString boxes() const {
        QStringList texts;
        for (const RecordedMessage& m : dialogs.messages)
            texts << m.text;
        return texts.join(" | ");
    }

    RealMainWindow m_window;
    RecordingDialogs& dialogs = m_window.dialogs;

private:
    frmMain* m_form = nullptr;
};

} // namespace

TEST_F(RealDiscTest, DemoDiscListsItsTracksWithItsTitleAndPerformer) {
    const QString demo = QCoreApplication::applicationDirPath() + "/discs/demo.cue";
    frmMain& form = start({demo});
    ASSERT_TRUE(choose("demo.cue"));

    EXPECT_EQ(form.txtCDAlbum->text(), "Mivo Demo Disc");
    EXPECT_EQ(form.txtCDArtist->text(), "The Mivo Ensemble");
    EXPECT_EQ(column(0), QStringList({"Track 01", "Track 02", "Track 03", "Track 04", "Track 05"}));
    EXPECT_EQ(column(1).count("Audio"), 5);
    const QRegularExpression duration("^\\d\\d:\\d\\d$");
    for (const QString& text : column(2))
        EXPECT_TRUE(duration.match(text).hasMatch()) << text.toStdString();
    EXPECT_EQ(form.movie->GetVariable("_root.PlayEnabled"), "1");
    EXPECT_TRUE(form.lblNoTracks->isHidden());
    EXPECT_TRUE(dialogs.messages.empty()) << boxes().toStdString();
}

TEST_F(RealDiscTest, MixedModeDiscListsOnlyItsAudioTracks) {
    frmMain& form = start({TestImage("mixed.cue")});
    ASSERT_TRUE(choose("mixed.cue"));

    EXPECT_EQ(column(0), QStringList({"Track 02", "Track 03"}));
    EXPECT_EQ(rowTracks(), std::vector<int>({1, 2}));
    // 150 sectors are 2 s; 188 sectors are 2.51 s
    EXPECT_EQ(column(2), QStringList({"00:02", "00:03"}));
    EXPECT_EQ(form.txtCDAlbum->text(), "Mixed Mode");
    EXPECT_TRUE(dialogs.messages.empty()) << boxes().toStdString();
}

TEST_F(RealDiscTest, ChoosingAnotherDriveRescansTheDiscInIt) {
    frmMain& form = start({TestImage("nocdtext.cue"), TestImage("cdtext.cue")});
    ASSERT_TRUE(choose("nocdtext.cue"));
    EXPECT_EQ(column(2), QStringList({"00:02", "00:03", "00:04"}));
    EXPECT_EQ(form.txtCDArtist->text(), "Unknown Artist");
    EXPECT_EQ(form.txtCDAlbum->text(), "Unknown Album");

    ASSERT_TRUE(choose("cdtext.cue"));
    EXPECT_EQ(column(0), QStringList({"Track 01", "Track 02"}));
    EXPECT_EQ(form.txtCDAlbum->text(), "Text Disc");
    EXPECT_EQ(form.txtCDArtist->text(), "Text Band");
    EXPECT_TRUE(dialogs.messages.empty()) << boxes().toStdString();
}

TEST_F(RealDiscTest, OpenDoorEmptiesTheListAndClosingItListsTheDiscAgain) {
    frmMain& form = start({TestImage("nocdtext.cue")});
    ASSERT_TRUE(choose("nocdtext.cue"));
    ASSERT_EQ(form.lsTracks->topLevelItemCount(), 3);

    form.cd().BASS_CD_Door(static_cast<DWORD>(form.lDrive), BASS_CD_DOOR_OPEN);
    form.LoadTrackList();
    EXPECT_EQ(form.lsTracks->topLevelItemCount(), 0);
    EXPECT_TRUE(form.lblNoTracks->isVisibleTo(form.frMain));
    EXPECT_EQ(form.movie->GetVariable("_root.PlayEnabled"), "0");

    form.cd().BASS_CD_Door(static_cast<DWORD>(form.lDrive), BASS_CD_DOOR_CLOSE);
    form.LoadTrackList();
    EXPECT_EQ(form.lsTracks->topLevelItemCount(), 3);
}

TEST_F(RealDiscTest, Utf8TitleAndPerformerShowAsWritten) {
    frmMain& form = start({TestImage("utf8.cue")});
    ASSERT_TRUE(choose("utf8.cue"));
    EXPECT_EQ(form.txtCDAlbum->text(), QString::fromUtf8("Café Ünïcødé – 東京"));
    EXPECT_EQ(form.txtCDArtist->text(), QString::fromUtf8("Zoë & the Naïve Ensemble"));
    EXPECT_EQ(column(0), QStringList({"Track 01", "Track 02"}));
}

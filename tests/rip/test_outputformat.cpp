// The output option controls and what the rip makes of them: the format table (path, code,
// bit rate, file), the stacked settings panels and the folder chooser.

#include "rip/ripoutput.h"
#include "support/mainwindowharness.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

namespace {

QStringList Items(const QComboBox* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << list->itemText(i);
    return items;
}

class OutputOptions : public ::testing::Test {
protected:
    void SetUp() override {
        h.audio.addDrive();
        h.load();
        ASSERT_TRUE(h.loaded);
        f = h.form.get();
    }

    // What the rip would do for the row at position 3 with the controls as they are.
    RipOutput row3() const { return ChooseRipOutput(ReadOutputFormatChoice(*f), 3, "/out"); }

    // Index of the settings panel that is shown; -1 unless exactly one is.
    int panelInFront() const {
        int shown = -1;
        for (int i = 0; i < 5; ++i)
            if (f->frFormatSettings[i]->isVisibleTo(f->frFileFormat)) {
                if (shown >= 0)
                    return -1;
                shown = i;
            }
        return shown;
    }

    MainWindowHarness h;
    frmMain* f = nullptr;
};

TEST_F(OutputOptions, BitRateListsHoldTheirRatesAndStartOnTheDefaults) {
    EXPECT_EQ(Items(f->cmbMP3CBitrate),
              QStringList({"320 Kbps", "288 Kbps", "256 Kbps", "224 Kbps", "192 Kbps", "160 Kbps",
                           "128 Kbps", "96 Kbps", "64 Kbps", "32 Kbps"}));
    EXPECT_EQ(Items(f->cmbMP3VBitrate),
              QStringList({"288 Kbps", "256 Kbps", "224 Kbps", "192 Kbps", "160 Kbps", "128 Kbps",
                           "96 Kbps", "64 Kbps", "32 Kbps"}));
    const QStringList ogg{"320 Kbps", "288 Kbps", "256 Kbps", "224 Kbps", "192 Kbps",
                          "160 Kbps", "128 Kbps", "96 Kbps",  "64 Kbps"};
    EXPECT_EQ(Items(f->cmbOGGCBitrate), ogg);
    EXPECT_EQ(Items(f->cmbOGGVBitrate), ogg);
    // After start-up the settings load has chosen 128 in all four.
    for (const QComboBox* list :
         {f->cmbMP3CBitrate, f->cmbMP3VBitrate, f->cmbOGGCBitrate, f->cmbOGGVBitrate})
        EXPECT_EQ(list->currentText(), "128 Kbps") << list->objectName().toStdString();
    EXPECT_TRUE(f->optMP3CBR->isChecked());
    EXPECT_TRUE(f->optOGGCBR->isChecked());
    EXPECT_EQ(f->cmbWMAEncodingBitrate->count(), 0);
}

TEST_F(OutputOptions, PanelsStartAsTheFormShowsThem) {
    EXPECT_EQ(f->frFileFormat->title(), "Grapping Format");
    EXPECT_EQ(f->frGeneralOptions->title(), "General Options");
    const QStringList captions{"Mivo Default", "&WAV (CD-Quality)", "W&MA", "MP3", "OGG"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(f->optExtractMode[i]->text(), captions[i]);
        if (i > 0) { // one row, left to right in index order
            EXPECT_LT(f->optExtractMode[i - 1]->x(), f->optExtractMode[i]->x());
        }
    }
    EXPECT_TRUE(f->optExtractMode[0]->isChecked());
    EXPECT_EQ(panelInFront(), 0);
    EXPECT_TRUE(f->chkWMAFileTags->isChecked());
    const QStringList words{"Title",  "Artist",    "Album Title", "Description",
                            "Rating", "Copyright", "Genre",       "Year"};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(f->txtWMATags[i]->text(), words[i]);
        EXPECT_EQ(f->txtWMATags[i]->parentWidget(), f->frameOutputTags);
    }
    EXPECT_EQ(f->txtExtractPath->text(), QDir::homePath() + "/Ripped Audio");
    EXPECT_EQ(f->cmdBrowseFolder->text(), "Browse...");
    // Both panels sit over the 700-pixel skin from x = 180 on.
    EXPECT_LE(f->frFileFormat->sizeHint().width(), 520);
    EXPECT_LE(f->frGeneralOptions->sizeHint().width(), 520);
}

TEST_F(OutputOptions, SelectingAnOptionByCodeBringsItsPanelToTheFront) {
    for (int i : {3, 2, 4, 1, 0}) {
        f->optExtractMode[i]->setChecked(true);
        EXPECT_EQ(panelInFront(), i);
        for (int other = 0; other < 5; ++other)
            EXPECT_EQ(f->optExtractMode[other]->isChecked(), other == i);
    }
    // All five panels share one place.
    for (int i = 1; i < 5; ++i)
        EXPECT_EQ(f->frFormatSettings[i]->geometry(), f->frFormatSettings[0]->geometry());
}

// ---- the format table ----

TEST_F(OutputOptions, MivoDefaultIsMp3At128WhateverTheMp3PanelSays) {
    f->optExtractMode[3]->setChecked(true);
    f->optMP3VBR->setChecked(true);
    f->cmbMP3VBitrate->setCurrentIndex(0);
    f->optExtractMode[0]->setChecked(true);

    const RipOutput out = row3();
    EXPECT_EQ(out.path, RipPath::Encoder);
    EXPECT_EQ(out.code, "MP3C");
    EXPECT_EQ(out.bitrate, "128");
    EXPECT_EQ(out.file, "/out/TRACK3.mp3");
}

TEST_F(OutputOptions, Mp3AndOggTakeTheirCodeAndRateFromTheCbrChoice) {
    f->optExtractMode[3]->setChecked(true);
    f->cmbMP3CBitrate->setCurrentIndex(0);
    f->cmbMP3VBitrate->setCurrentIndex(3);
    RipOutput out = row3();
    EXPECT_EQ(out.code, "MP3C");
    EXPECT_EQ(out.bitrate, "320");
    EXPECT_EQ(out.file, "/out/TRACK3.mp3");

    f->optMP3VBR->setChecked(true);
    out = row3();
    EXPECT_EQ(out.code, "MP3V");
    EXPECT_EQ(out.bitrate, "192"); // "192 Kbps"

    f->optExtractMode[4]->setChecked(true);
    f->cmbOGGCBitrate->setCurrentIndex(8);
    f->cmbOGGVBitrate->setCurrentIndex(1);
    out = row3();
    EXPECT_EQ(out.code, "OGGC");
    EXPECT_EQ(out.bitrate, "64");
    EXPECT_EQ(out.file, "/out/TRACK3.ogg");
    f->optOGGVBR->setChecked(true);
    out = row3();
    EXPECT_EQ(out.code, "OGGV");
    EXPECT_EQ(out.bitrate, "288");
}

TEST_F(OutputOptions, WavAndWmaNameTheirOwnFiles) {
    f->optExtractMode[1]->setChecked(true);
    EXPECT_EQ(row3().path, RipPath::Wav);

    f->optExtractMode[2]->setChecked(true);
    EXPECT_EQ(row3().path, RipPath::Wma);
    EXPECT_FALSE(row3().wmaBitrate.has_value()); // the encoder offered no rates
    f->cmbWMAEncodingBitrate->addItem("128 Kbps", 128000);
    f->cmbWMAEncodingBitrate->addItem("160 Kbps", 160000);
    f->cmbWMAEncodingBitrate->setCurrentIndex(1);
    EXPECT_EQ(row3().wmaBitrate, 160000);
}

TEST(BitrateText, IsTheLeadingNumberInShortestForm) {
    EXPECT_EQ(BitrateText("128 Kbps"), "128");
    EXPECT_EQ(BitrateText("96 Kbps"), "96");
    EXPECT_EQ(BitrateText(""), "0");
    EXPECT_EQ(BitrateText("Kbps"), "0");
    EXPECT_EQ(BitrateText("  64.50 Kbps"), "64.5");
    EXPECT_EQ(BitrateText("0128"), "128");
}

TEST(OutputChoice, NoSelectedOptionRipsNothing) {
    OutputFormatChoice none;
    EXPECT_EQ(ChooseRipOutput(none, 1, "/out").path, RipPath::None);
}

// ---- the folder chooser ----

TEST_F(OutputOptions, BrowseSetsTheChosenFolderAndACancelKeepsTheText) {
    f->txtExtractPath->setText("/music/rips");
    h.dialogs.folderAnswer = "/media/usb/Ripped/";
    f->cmdBrowseFolder->click();
    EXPECT_EQ(h.dialogs.folderRequests, QStringList{"/music/rips"});
    EXPECT_EQ(f->txtExtractPath->text(), "/media/usb/Ripped");

    h.dialogs.folderAnswer.clear();
    f->cmdBrowseFolder_Click();
    EXPECT_EQ(f->txtExtractPath->text(), "/media/usb/Ripped");
}

} // namespace

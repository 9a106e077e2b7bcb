// The output options as the rip reads them, the stacked format panels and the folder chooser.
#include "settings/outputoptions.h"
#include "support/windowtest.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

class OutputOptionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        w.audio.addDrive();
        ASSERT_TRUE(w.load());
    }
    OutputChoice choice() { return w.find<OutputOptions>().choice(); }
    template <typename T> T& control(const QString& name) {
        return w.find<T>(name.toLatin1().constData());
    }
    QRadioButton& option(int i) {
        return control<QRadioButton>(QString("optExtractMode%1").arg(i));
    }

    FakeWindow w;
};

} // namespace

TEST_F(OutputOptionsTest, TheChosenFormatBringsItsPanelToTheFrontAndReachesTheChoice) {
    for (int i : {3, 2, 4, 1, 0}) {
        option(i).setChecked(true);
        EXPECT_EQ(choice().format, i);
        for (int panel = 0; panel < 5; ++panel)
            EXPECT_EQ(control<QFrame>(QString("frFormatSettings%1").arg(panel))
                          .isVisibleTo(&control<QWidget>("frFileFormat")),
                      panel == i);
    }
    control<QRadioButton>("optOGGVBR").setChecked(true);
    control<QComboBox>("cmbOGGVBitrate").setCurrentIndex(1);
    control<QLineEdit>("txtWMATags0").setText(QString::fromUtf8("Café"));
    control<QCheckBox>("chkWMAFileTags").setChecked(false);
    const OutputChoice c = choice();
    EXPECT_FALSE(c.oggCbr);
    EXPECT_EQ(c.oggVbrText, "288 Kbps");
    EXPECT_EQ(c.wmaTagTexts[0], QString::fromUtf8("Café"));
    EXPECT_FALSE(c.wmaTags);
}

TEST_F(OutputOptionsTest, BrowseSetsTheChosenFolderAndACancelKeepsTheText) {
    control<QLineEdit>("txtExtractPath").setText("/music/rips");
    w.dialogs.folderAnswer = "/media/usb/Ripped/";
    control<QPushButton>("cmdBrowseFolder").click();
    EXPECT_EQ(w.dialogs.folderRequests, QStringList{"/music/rips"});
    EXPECT_EQ(choice().folder, "/media/usb/Ripped");
    w.dialogs.folderAnswer.clear();
    control<QPushButton>("cmdBrowseFolder").click();
    EXPECT_EQ(choice().folder, "/media/usb/Ripped");
}

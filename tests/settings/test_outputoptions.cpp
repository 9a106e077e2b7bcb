// The output options as the rip reads them, the stacked format panels and the folder chooser.
#include "settings/outputoptions.h"
#include "support/windowtest.h"

#include <QComboBox>
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

    FakeWindow w;
};

} // namespace

TEST_F(OutputOptionsTest, TheChosenFormatBringsItsPanelToTheFront) {
    for (int i : {3, 2, 4, 1, 0}) {
        control<QRadioButton>(QString("optExtractMode%1").arg(i)).setChecked(true);
        EXPECT_EQ(choice().format, i);
        for (int panel = 0; panel < 5; ++panel)
            EXPECT_EQ(control<QFrame>(QString("frFormatSettings%1").arg(panel))
                          .isVisibleTo(&control<QWidget>("frFileFormat")),
                      panel == i);
    }
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

#include "common/errorreporting.h"
#include "common/product.h"
#include "support/recordingdialogs.h"

#include <gtest/gtest.h>

TEST(CodedErrorBox, AppendsTheCodeAfterABlankLineUnlessThereIsNone) {
    RecordingDialogs dialogs;
    ShowCodedError(dialogs, nullptr, "There was an error.", -1);
    ShowCodedError(dialogs, nullptr, "There was an error.", 0);
    ShowCodedError(dialogs, nullptr, "Unable to Create CD Stream!", 17);

    ASSERT_EQ(dialogs.messages.size(), 3u);
    EXPECT_EQ(dialogs.messages[0].text, "There was an error.");
    EXPECT_EQ(dialogs.messages[1].text, "There was an error.\r\n\r\nError Code : 0");
    EXPECT_EQ(dialogs.messages[2].text, "Unable to Create CD Stream!\r\n\r\nError Code : 17");
    for (const RecordedMessage& box : dialogs.messages) {
        EXPECT_EQ(box.caption, "Error");
        EXPECT_EQ(box.icon, MessageIcon::Critical);
        EXPECT_EQ(box.buttons, MessageButtons::Ok);
    }
}

TEST(RoutineErrorBox, RunsRoutineAndModuleTogetherOnTheFirstOfThreeLines) {
    RecordingDialogs dialogs;
    ShowError(dialogs, nullptr, "frmDemo", "LoadWMAEncoderRates", 9, "Subscript out of range");

    ASSERT_EQ(dialogs.messages.size(), 1u);
    const RecordedMessage& box = dialogs.messages[0];
    EXPECT_EQ(box.text, "Error in routine : LoadWMAEncoderRatesin module : frmDemo\r\n"
                        "Error #9\r\n"
                        "Subscript out of range");
    EXPECT_EQ(box.text.split("\r\n").size(), 3);
    EXPECT_EQ(box.caption, kProductName);
    EXPECT_EQ(box.icon, MessageIcon::None);
    EXPECT_EQ(box.buttons, MessageButtons::Ok);
}

TEST(LibraryErrorText, KnowsTheTableAndNothingElse) {
    EXPECT_EQ(BassErrorText(0), "All is OK");
    EXPECT_EQ(BassErrorText(12), "No CD in drive");
    EXPECT_EQ(BassErrorText(17), "Not An Audio Track");
    EXPECT_EQ(BassErrorText(38), "The channel is a 'decoding channel'");
    EXPECT_EQ(BassErrorText(-1), "Some Other Mystery Error");
    for (int gap : {10, 11, 15, 26, 28, 30, 36, 39, -2, 1000})
        EXPECT_TRUE(BassErrorText(gap).isEmpty()) << gap;
}

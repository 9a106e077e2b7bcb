// Start-up and shutdown of the main window on the scripted library.
#include "support/windowtest.h"

// Without a sound device the program still rips; any other failure ends it.
TEST(StartUp, DigitalOutputFailureGoesOnOnlyForAlreadyAndNoDevice) {
    const QString failed = "Error: Couldn't Initialize Digital Output, The program will not work "
                           "correclty.\r\nThe sound device may not be installed correclty.\r\n";
    const struct {
        int code;
        QString box;
        bool goesOn;
    } cases[] = {
        {14, "Error: Couldn't Initialize Digital Output.\r\nError Code:BASS_ERROR_ALREADY", true},
        {23, failed + "Error Code:BASS_ERROR_DEVICE", true},
        {3, failed + "Error Code:BASS_ERROR_DRIVER", false},
    };
    for (const auto& c : cases) {
        FakeWindow w;
        w.audio.addDrive();
        w.audio.initResult = 0;
        w.audio.initError = c.code;
        EXPECT_EQ(w.load(), c.goesOn) << c.code;
        EXPECT_EQ(w.messages("Digital output"), QStringList{c.box});
        // A program that ends at once runs no later step.
        EXPECT_EQ(w.audio.callsStartingWith("BASS_CD_GetDriveDescription").empty(), !c.goesOn);
    }
}

TEST(Shutdown, UnlocksEveryDoorBeforeStoppingAndFreeingTheLibrary) {
    FakeWindow w;
    w.audio.addDrive("Drive one", 3);
    w.audio.addDrive("Drive two", 4);
    w.audio.insertDisc(0, {176400 * 3});
    w.load();
    w.command("IDC_FS_Play");
    w.audio.clearCalls();
    w.form().close();
    std::vector<std::string> shutdown;
    for (const std::string& call : w.audio.calls)
        if (call.rfind("BASS_CD_Door", 0) == 0 || call == "BASS_Stop()" || call == "BASS_Free()")
            shutdown.push_back(call);
    EXPECT_EQ(shutdown, (std::vector<std::string>{"BASS_CD_Door(0,3)", "BASS_CD_Door(1,3)",
                                                  "BASS_Stop()", "BASS_Free()"}));
}

// The encoder command lines that must not be built, the average-rate MP3's rate, and where the
// error log goes.

#include "rip/encodercommand.h"
#include "rip/errorlog.h"
#include "rip/ripoutput.h"
#include "support/testenv.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// A quote in the path would end the quoted name on the command line; an unknown code runs
// nothing.
TEST(EncoderCommandLine, IsRefusedOrNotBuilt) {
    const struct {
        const char* code;
        const char* outfile;
        bool refused;
    } cases[] = {{"MP3C", R"(/say "hi"/TRACK1.mp3)", true},
                 {"OGGC", R"(/a"b/TRACK1.ogg)", true},
                 {"mp3c", "/out/TRACK1.mp3", false},
                 {"WMA", R"(/a"b/TRACK1.wma)", false}};
    for (const auto& c : cases) {
        const EncoderCommand command = BuildEncoderCommand(c.code, "128", c.outfile);
        EXPECT_EQ(command.line, std::nullopt) << c.outfile;
        EXPECT_EQ(!command.refusal.isEmpty(), c.refused) << c.outfile;
        EXPECT_EQ(command.refusal.contains(c.outfile), c.refused) << c.outfile;
    }
}

// No file shows the rate of an average-rate MP3: the VBR list's own text must be the one taken.
TEST(RipOutput, AverageRateMp3TakesTheVbrListsRate) {
    OutputChoice choice;
    choice.format = 3;
    choice.mp3Cbr = false;
    choice.mp3CbrText = "320 Kbps";
    choice.mp3VbrText = "192 Kbps";
    const RipOutput out = ChooseRipOutput(choice, 3);
    EXPECT_EQ(out.code, "MP3V");
    EXPECT_EQ(out.bitrate, "192");
}

// A program folder whose parent is missing cannot take its log beside it, even for root.
TEST(ErrorLog, GoesBesideTheProgramFolderElseIntoTheUserStateFolder) {
    const struct {
        const char* programFolder;
        std::optional<std::string> stateHome;
        const char* log; // all relative to a fresh temporary folder
    } cases[] = {
        {"bin", "state", "bin Errors.log"},
        {"missing/bin", "state", "state/mivo/mivo Errors.log"},
        {"missing/bin", std::nullopt, "home/.local/state/mivo/mivo Errors.log"},
    };
    for (const auto& c : cases) {
        const QTemporaryDir dir;
        const std::string root = dir.path().toStdString() + '/';
        const ScopedEnv home("HOME", root + "home");
        const ScopedEnv state("XDG_STATE_HOME",
                              c.stateHome ? std::optional(root + *c.stateHome) : std::nullopt);
        const QString programFolder = QString::fromStdString(root + c.programFolder);
        ASSERT_TRUE(AppendErrorLog(programFolder, "1\r\n") &&
                    AppendErrorLog(programFolder, "2\r\n"));
        QFile log(QString::fromStdString(root + c.log));
        ASSERT_TRUE(log.open(QIODevice::ReadOnly)) << c.log;
        EXPECT_EQ(log.readAll(), "1\r\n2\r\n") << c.log;
    }
}

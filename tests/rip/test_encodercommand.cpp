// The encoder command lines, the refused output path, the texts that report encoders, and the
// error log's line and place.

#include "rip/encodercommand.h"
#include "rip/errorlog.h"
#include "support/testenv.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>

namespace {

struct CommandCase {
    const char* code;
    const char* bitrate;
    const char* outfile;
    std::optional<QString> line;
    bool refused;
};

class EncoderCommandLine : public ::testing::TestWithParam<CommandCase> {};

TEST_P(EncoderCommandLine, IsBuiltOrRefused) {
    const CommandCase& c = GetParam();
    const EncoderCommand command = BuildEncoderCommand(c.code, c.bitrate, c.outfile);
    EXPECT_EQ(command.line, c.line);
    EXPECT_EQ(!command.refusal.isEmpty(), c.refused);
    if (c.refused) {
        EXPECT_TRUE(command.refusal.contains(c.outfile)) << command.refusal.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, EncoderCommandLine,
    ::testing::Values(CommandCase{"MP3C", "128", "/out/TRACK1.mp3",
                                  R"(lame.exe -b 128 - "/out/TRACK1.mp3")", false},
                      CommandCase{"MP3V", "224", "/my music/T 2.mp3",
                                  R"(lame.exe --abr 224 - "/my music/T 2.mp3")", false},
                      CommandCase{"OGGV", "96", "/out/TRACK3.ogg",
                                  R"(oggenc.exe -b 96 -  -o "/out/TRACK3.ogg")", false},
                      CommandCase{"OGGC", "192", "/out/TRACK4.ogg",
                                  R"(oggenc.exe --managed -b 192 -  -o "/out/TRACK4.ogg")", false},
                      CommandCase{"MP3C", "128", R"(/say "hi"/TRACK1.mp3)", std::nullopt, true},
                      CommandCase{"OGGC", "192", R"(/a"b/TRACK1.ogg)", std::nullopt, true},
                      CommandCase{"mp3c", "128", "/out/TRACK1.mp3", std::nullopt, false},
                      CommandCase{"WMA", "128", R"(/a"b/TRACK1.wma)", std::nullopt, false}));

TEST(EncoderReports, NameTheProgramThePackageAndTheLastErrorLine) {
    EXPECT_EQ(MissingEncoderText("lame"),
              "lame was not found in the application folder or on the PATH; install the lame "
              "package");
    EXPECT_TRUE(MissingEncoderText("oggenc").endsWith("install the vorbis-tools package"));

    EncoderOutcome failed;
    failed.program = "lame";
    failed.started = failed.exited = true;
    failed.exitStatus = 1;
    failed.errorTail = "Encoding...\r  5%\r 10%\nError reading input\n\n";
    EXPECT_EQ(EncoderFailureText(failed), "lame ended with status 1: Error reading input");

    EncoderOutcome killed;
    killed.program = "oggenc";
    killed.started = true;
    killed.signal = SIGKILL;
    EXPECT_TRUE(EncoderFailureText(killed).startsWith("oggenc was ended by signal 9"));
    EXPECT_FALSE(EncoderFailureText(killed).contains(':'));
}

} // namespace

TEST(ErrorLog, LineNamesTimeDateErrorCodeAndSource) {
    const QDateTime when(QDate(2026, 1, 2), QTime(13, 4, 5));
    EXPECT_EQ(ErrorLogLine(when, 8, "3", QLocale(QLocale::English, QLocale::UnitedStates)),
              "13:04:05 1/2/26 BASS_Init Has Not Been Successfully Called 8 occured when Ostrel "
              "tried to play/convert: 3\r\n");
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

// Damaged and hostile disc images: each is listed with a reason a person understands, holds no
// disc, never ends or blocks the program, and leaves nothing in the temporary folder.

#include "platform/audio/cdiolog.h"
#include "platform/audio/virtualdrive.h"
#include "support/testimages.h"
#include "test_core_support.h"

#include <QLoggingCategory>
#include <QTemporaryDir>

#include <cdio/logging.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include <sys/stat.h>
#include <unistd.h>

using namespace coretest;
namespace fs = std::filesystem;

namespace {

constexpr int kBinSectors = 10;

std::string Repeat(int count, const std::function<std::string(int)>& line) {
    std::string text;
    for (int i = 1; i <= count; ++i)
        text += line(i);
    return text;
}

std::string Cue(const std::string& tracks) {
    return "FILE \"a.bin\" BINARY\n" + tracks;
}

std::string CueTrack(const std::string& number, const std::string& index) {
    return "  TRACK " + number + " AUDIO\n    INDEX " + index + "\n";
}

// A sheet named a.cue or a.toc beside a.bin, a ten-sector audio file.
struct BadImage {
    std::string name;
    std::string sheet;
    std::string reason; // what the description must say; empty: the image is good
    std::function<void(const fs::path& sheetPath)> make = nullptr; // instead of writing sheet
};

std::vector<BadImage> BadImages() {
    const std::string one = CueTrack("01", "01 00:00:00");
    return {
        {"a.cue", Cue(one), ""},
        {"a.cue", Cue(CueTrack("01", "01 99:99:99")), "track 1: INDEX 01 99:99:99 is not a time"},
        {"a.cue", Cue(CueTrack("01", "01 -00:02:00")), "INDEX 01 -00:02:00 is not a time"},
        {"a.cue", Cue(CueTrack("01", "01 00:00:75")), "frames below 75"},
        {"a.cue", Cue(CueTrack("01", "01 79:00:00")),
         "track 1 starts at 79:00:00, past the end of \"a.bin\""},
        {"a.cue", Cue(CueTrack("00", "01 00:00:00")), "TRACK 00: track numbers run from 1 to 99"},
        {"a.cue", Cue(CueTrack("100", "01 00:00:00")), "TRACK 100: a disc has at most 99 tracks"},
        {"a.cue", Cue(CueTrack("02", "01 00:00:00") + CueTrack("01", "01 00:00:05")),
         "TRACK 01 follows TRACK 2: track numbers must rise"},
        {"a.cue", Cue(one + CueTrack("02", "01 00:00:00")),
         "track 2 starts at 00:00:00, not after track 1"},
        {"a.cue", Cue(CueTrack("01", "00 00:00:00")), "track 1 has no INDEX 01"},
        {"a.cue", Cue("  TRACK 01 CDG\n    INDEX 01 00:00:00\n"), "CDG (karaoke)"},
        {"a.cue", Cue(one + "    FLAGS DCP BOGUS\n"), "track 1: unknown FLAGS word \"BOGUS\""},
        {"a.cue", "CATALOG 12345\n" + Cue(one), "the CATALOG number must be 13 digits"},
        {"a.cue", "TITLE \"" + std::string(4096, 'x') + "\"\n" + Cue(one),
         "line 1 is longer than 1024 characters"},
        {"a.cue", "\x01\x7f junk\nFILE \"a.bin\" BINARY\n\xff TRACK\nTRACK 01 AUDIO\n",
         "track 1 has no INDEX 01"},
        {"a.cue", "FILE \"dir\" BINARY\n" + one, "the file \"dir\" is not a regular file"},
        {"a.cue", "FILE \"a.wav\" WAVE\n" + one, "the file type WAVE is not supported"},
        {"a.cue", Cue(one) + "FILE \"b.bin\" BINARY\n", "several files (\"a.bin\", \"b.bin\")"},
        {"a.cue", "FILE \"b.bin\" BINARY\n" + one, "the file \"b.bin\" is missing"},
        {"a.cue", one, "the sheet names no data file"},
        {"a.cue", Cue("  TRACK 01 SIDEWAYS\n"), "track 1 has the unknown mode \"SIDEWAYS\""},
        {"a.cue", Cue(one + CueTrack("02", "01 00:00:20")), "track 1 runs past the end"},
        {"a.toc", Repeat(100, [](int) { return "TRACK AUDIO\nFILE \"a.bin\" 0 1\n"; }),
         "more than 99 tracks"},
        {"a.toc", "TRACK AUDIO\nFILE \"a.bin\" 123456789012345678901\n",
         "has no valid start position"},
        {"a.toc", "TRACK AUDIO\nFILE \"a.bin\" 0 1234567890123456789012\n", "has no valid length"},
        {"a.toc", "TRACK AUDIO\nFILE \"a.bin\" #99999999999999999999999 0\n",
         "the byte offset #99999999999999999999999 is not a number of a sensible size"},
        {"a.toc", "TRACK AUDIO\nFILE \"a.bin\" #1125899906842624 0 00:00:01\n",
         "track 1 starts past the end of \"a.bin\""},
        {"a.cue", "", "not a regular file",
         [](const fs::path& p) { ASSERT_EQ(mkfifo(p.c_str(), 0600), 0); }},
        {"a.cue", "", "not a regular file",
         [](const fs::path& p) { fs::create_symlink("/dev/zero", p); }},
        {"a.cue", "", "the sheet is larger than 1 MB",
         [](const fs::path& p) { fs::resize_file((std::ofstream(p), p), 2'000'000'000); }},
    };
}

TEST(BadImages, AreListedWithTheirReasonAndLeaveNothingBehind) {
    QTemporaryDir temp;
    const ScopedEnv tmpdir("TMPDIR", temp.path().toStdString());
    for (const BadImage& image : BadImages()) {
        QTemporaryDir dir;
        const fs::path folder = dir.path().toStdString();
        std::ofstream(folder / "a.bin", std::ios::binary) << std::string(kBinSectors * 2352, 'a');
        fs::create_directory(folder / "dir");
        const fs::path sheet = folder / image.name;
        if (image.make)
            image.make(sheet);
        else
            std::ofstream(sheet, std::ios::binary) << image.sheet;
        VirtualDrive drive(sheet.string());
        SCOPED_TRACE(image.sheet.substr(0, 200));
        if (image.reason.empty()) {
            EXPECT_EQ(drive.description(), "Virtual drive (" + image.name + ")");
            EXPECT_TRUE(drive.isReady());
            continue;
        }
        const std::string prefix = "Virtual drive (" + image.name + "): cannot read the image: ";
        EXPECT_EQ(drive.description().rfind(prefix, 0), 0u) << drive.description();
        EXPECT_NE(drive.description().find(image.reason), std::string::npos) << drive.description();
        EXPECT_FALSE(drive.isReady());
    }
    EXPECT_TRUE(fs::is_empty(temp.path().toStdString())) << "a staging folder was left behind";
}

std::vector<std::string> g_logged;

void Record(QtMsgType, const QMessageLogContext& context, const QString& message) {
    g_logged.push_back(std::string(context.category) + ": " + message.toStdString());
}

TEST(BadImages, LibcdioMessagesEndNothingAndShowOnlyWhenAsked) {
    InstallCdioLogHandler();
    const QtMessageHandler previous = qInstallMessageHandler(Record);
    cdio_error("silent by default");
    QLoggingCategory::setFilterRules("mivo.cdio=true");
    cdio_warn("a warning");
    cdio_error("an error"); // libcdio's own handler would end the program here
    QLoggingCategory::setFilterRules("");
    qInstallMessageHandler(previous);
    EXPECT_EQ(g_logged, (std::vector<std::string>{"mivo.cdio: a warning", "mivo.cdio: an error"}));
}

} // namespace

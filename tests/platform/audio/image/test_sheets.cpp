// Disc images and their sheets. Damaged and hostile images are each listed with a reason a
// person understands, hold no disc, never end or block the program, and leave nothing in the
// temporary folder; the sheet scanner and the CD-TEXT block follow.

#include "platform/audio/core/test_core_support.h"
#include "platform/audio/disc/cdtextblock.h"
#include "platform/audio/image/imagesheet.h"
#include "platform/audio/image/virtualdrive.h"
#include "support/testimages.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include <sys/stat.h>
#include <unistd.h>

using namespace coretest;
namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

constexpr int kBinSectors = 10;

std::string Cue(const std::string& tracks) {
    return "FILE \"a.bin\" BINARY\n" + tracks;
}

std::string CueTrack(const std::string& number, const std::string& index) {
    return "  TRACK " + number + " AUDIO\n    INDEX " + index + "\n";
}

// A sheet a.cue naming w.wav: a WAVE file of ten sectors of audio with that format, after a
// chunk a player ignores.
std::function<void(const fs::path&)> WaveImage(int channels, int rate) {
    return [=](const fs::path& sheet) {
        std::ofstream(sheet) << "FILE \"w.wav\" WAVE\n" + CueTrack("01", "01 00:00:00");
        const auto number = [](std::uint32_t value, int bytes) {
            std::string out;
            for (int i = 0; i < bytes; ++i)
                out += char((value >> (8 * i)) & 0xFF);
            return out;
        };
        const std::uint32_t audio = kBinSectors * 2352;
        std::ofstream(sheet.parent_path() / "w.wav", std::ios::binary)
            << "RIFF" + number(4 + 24 + 12 + 8 + audio, 4) + "WAVE" + "fmt " + number(16, 4) +
                   number(1, 2) + number(channels, 2) + number(rate, 4) +
                   number(rate * channels * 2, 4) + number(channels * 2, 2) + number(16, 2) +
                   "LIST" + number(3, 4) + "abc" + '\0' + "data" + number(audio, 4) +
                   std::string(audio, 'w');
    };
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
    std::string hundred;
    for (int i = 0; i < 100; ++i)
        hundred += "TRACK AUDIO\nFILE \"a.bin\" 0 1\n";
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
        {"a.cue", "TITLE \"" + std::string(4096, 'x') + "\"\n" + Cue(one),
         "line 1 is longer than 1024 characters"},
        {"a.cue", "\x01\x7f junk\nFILE \"a.bin\" BINARY\n\xff TRACK\nTRACK 01 AUDIO\n",
         "track 1 has no INDEX 01"},
        {"a.cue", "FILE \"dir\" BINARY\n" + one, "the file \"dir\" is not a regular file"},
        {"a.cue", "", "", WaveImage(2, 44100)},
        {"a.cue", "", "\"w.wav\" does not hold CD audio (PCM, 44100 Hz", WaveImage(1, 44100)},
        {"a.cue", "", "\"w.wav\" does not hold CD audio", WaveImage(2, 48000)},
        {"a.cue", "FILE \"a.bin\" WAVE\n" + one, "the file \"a.bin\" is not a WAVE file"},
        {"a.cue", "FILE \"a.bin\" MP3\n" + one, "the file type MP3 is not supported"},
        {"a.cue", Cue(one) + "FILE \"b.bin\" BINARY\n", "several files (\"a.bin\", \"b.bin\")"},
        {"a.cue", "FILE \"b.bin\" BINARY\n" + one, "the file \"b.bin\" is missing"},
        {"a.cue", one, "the sheet names no data file"},
        {"a.cue", Cue("  TRACK 01 SIDEWAYS\n"), "track 1 has the unknown mode \"SIDEWAYS\""},
        {"a.cue", Cue(one + CueTrack("02", "01 00:00:20")), "track 1 runs past the end"},
        {"a.toc",
         "TRACK AUDIO\nFILE \"a.bin\" 0 00:00:05\nTRACK AUDIO\nFILE \"a.bin\" 00:00:05 0\n"
         "TRACK AUDIO\nFILE \"a.bin\" 00:00:05 00:00:05\n",
         "track 2 is empty"},
        {"a.toc", "TRACK AUDIO\nFILE \"a.bin\" 0 00:00:05\nFILE \"a.bin\" 00:00:05 00:00:05\n",
         "track 1 takes its data from several FILE lines"},
        {"a.toc", hundred, "more than 99 tracks"},
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

// ---- where the tracks lie -------------------------------------------------------------------

// A disc's tracks start at their INDEX 01, as a drive reports them, whatever comes before in the
// image or is declared as silence; a track reads from its INDEX 01 up to the next one's.
TEST(ImageLayouts, TracksStartAtTheirIndexOneAsADriveReportsThem) {
    const struct {
        const char* name;
        std::string sheet;
        std::vector<qint32> starts; // the lead-out last
        std::string trackOne; // each sector's first byte: 'A' + its place in a.bin; 0: silence
    } layouts[] = {
        {"a.cue",
         Cue(CueTrack("01", "00 00:00:00") + "    INDEX 01 00:00:03\n" +
             CueTrack("02", "01 00:00:10")),
         {3, 10, 20},
         "DEFGHIJ"},
        {"a.cue",
         Cue("  TRACK 01 AUDIO\n    PREGAP 00:00:02\n    INDEX 01 00:00:00\n" +
             CueTrack("02", "01 00:00:10")),
         {2, 12, 22},
         "ABCDEFGHIJ"},
        {"a.cue",
         Cue(CueTrack("01", "01 00:00:00") +
             "  TRACK 02 AUDIO\n    PREGAP 00:00:02\n    INDEX 01 00:00:10\n"),
         {0, 12, 22},
         "ABCDEFGHIJ"s + '\0' + '\0'},
        {"a.toc",
         "TRACK AUDIO\nFILE \"a.bin\" 0 00:00:10\nSTART 00:00:03\n"
         "TRACK AUDIO\nFILE \"a.bin\" 00:00:10 00:00:10\n",
         {3, 10, 20},
         "DEFGHIJ"},
        {"a.toc",
         "TRACK AUDIO\nSILENCE 00:00:02\nSTART\nFILE \"a.bin\" 0 00:00:10\n"
         "TRACK AUDIO\nFILE \"a.bin\" 00:00:10 00:00:10\n",
         {2, 12, 22},
         "ABCDEFGHIJ"},
        {"a.toc",
         "TRACK AUDIO\nFILE \"a.bin\" 0 00:00:10\n"
         "TRACK AUDIO\nPREGAP 00:00:02\nFILE \"a.bin\" 00:00:10 00:00:10\n",
         {0, 12, 22},
         "ABCDEFGHIJ"s + '\0' + '\0'},
    };
    for (const auto& layout : layouts) {
        SCOPED_TRACE(layout.sheet);
        QTemporaryDir dir;
        const fs::path folder = dir.path().toStdString();
        std::ofstream bin(folder / "a.bin", std::ios::binary);
        for (char sector = 'A'; sector < 'A' + 20; ++sector)
            bin << std::string(2352, sector);
        bin.close();
        std::ofstream(folder / layout.name, std::ios::binary) << layout.sheet;
        VirtualDrive drive((folder / layout.name).string());
        DiscToc toc;
        ASSERT_TRUE(drive.toc(toc)) << drive.description();
        std::vector<qint32> starts;
        for (const DiscToc::Track& track : toc.tracks)
            starts.push_back(track.lsn);
        starts.push_back(toc.leadOut);
        EXPECT_EQ(starts, layout.starts);
        EXPECT_EQ(drive.trackLength(0), int(layout.trackOne.size()) * 2352);
        const auto track = drive.openTrack(0, ReadCare::Careful, 0);
        ASSERT_NE(track, nullptr);
        std::string pcm, block(4 * 2352, 'x');
        for (int got; (got = track->read(block.data(), int(block.size()))) > 0;)
            pcm += block.substr(0, std::size_t(got));
        std::string firstBytes;
        for (std::size_t at = 0; at < pcm.size(); at += 2352)
            firstBytes += pcm[at];
        EXPECT_EQ(firstBytes, layout.trackOne);
    }
}

// ---- the pieces under the CD extension that need no image on disk ----------------------------

ScannedSheet Scan(SheetKind kind, const std::string& text) {
    return ScanSheet(kind, text, "/discs", [](int i) { return "staged" + std::to_string(i); });
}

// ---- sheets ---------------------------------------------------------------------------------

TEST(CdSheets, CueFileIsResolvedBesideTheSheetAndStagedUnderTheLoadersName) {
    const auto sheet = Scan(SheetKind::Cue, "\xEF\xBB\xBFTITLE \"x\"\r\n"
                                            "FILE my disc.bin BINARY\r\n"
                                            "  TRACK 01 MODE1/2048\r\n    INDEX 01 00:00:00\r\n"
                                            "  TRACK 02 AUDIO\r\n    INDEX 01 00:02:00\r\n");
    ASSERT_EQ(sheet.error, "");
    EXPECT_EQ(sheet.files, std::vector<std::string>{"/discs/my disc.bin"});
    ASSERT_EQ(sheet.tracks.size(), 2u);
    EXPECT_FALSE(sheet.tracks[0].audio);
    EXPECT_EQ(sheet.tracks[0].blockSize, 2048);
    EXPECT_TRUE(sheet.tracks[1].audio);
    EXPECT_EQ(sheet.tracks[1].fileIndex, 0);
    EXPECT_NE(sheet.stagedText.find("FILE \"staged0\" BINARY\n"), std::string::npos);
    EXPECT_EQ(sheet.stagedText.find("my disc"), std::string::npos);
    EXPECT_EQ(sheet.stagedText.find('\r'), std::string::npos);
}

TEST(CdSheets, TocFilesKeepTheirOwnStartsAndBecomeAbsolute) {
    const auto sheet = Scan(SheetKind::Toc, "CD_DA\n"
                                            "TRACK AUDIO\n"
                                            "FILE \"sub/a.bin\" 00:02:10 00:10:00 // first\n"
                                            "TRACK AUDIO\n"
                                            "AUDIOFILE \"/abs/b.bin\" #44 588\n"
                                            "TRACK MODE1\n"
                                            "DATAFILE \"sub/a.bin\"\n");
    ASSERT_EQ(sheet.error, "");
    EXPECT_EQ(sheet.files, (std::vector<std::string>{"/discs/sub/a.bin", "/abs/b.bin"}));
    ASSERT_EQ(sheet.tracks.size(), 3u);
    EXPECT_EQ(sheet.tracks[0].fileOffset, std::uint64_t(160 * 2352));   // 2 s 10 frames
    EXPECT_EQ(sheet.tracks[1].fileOffset, std::uint64_t(44 + 588 * 4)); // bytes plus samples
    EXPECT_EQ(sheet.tracks[0].sectorCount, 750);
    EXPECT_EQ(sheet.tracks[1].sectorCount, std::nullopt);
    EXPECT_EQ(sheet.tracks[1].fileIndex, 1);
    EXPECT_EQ(sheet.tracks[2].fileIndex, 0);
    EXPECT_EQ(sheet.tracks[2].fileOffset, std::nullopt); // follows the previous data
    EXPECT_NE(sheet.stagedText.find("FILE \"staged0\" 00:02:10 00:10:00"), std::string::npos);
    EXPECT_NE(sheet.stagedText.find("AUDIOFILE \"staged1\" #44 588"), std::string::npos);

    EXPECT_NE(Scan(SheetKind::Toc, "TRACK AUDIO\nFILE a.bin 0\n").error.find("not quoted"),
              std::string::npos);
    EXPECT_NE(Scan(SheetKind::Toc, "TRACK AUDIO\nFILE \"a.bin\" soon\n").error.find("start"),
              std::string::npos);
}

TEST(CdSheets, TocTracksInSeveralFilesReadFromTheirOwnFile) {
    // libcdio's own audio reader only knows the first file; the extension reads each track's.
    QTemporaryDir dir;
    const std::string toc = dir.path().toStdString() + "/two.toc";
    std::ofstream(toc) << "CD_DA\nTRACK AUDIO\nFILE \""
                       << TestImage("multifile-1.bin").toStdString()
                       << "\" 00:00:00 00:02:00\nTRACK AUDIO\nFILE \""
                       << TestImage("multifile-2.bin").toStdString() << "\" 00:00:00 00:02:00\n";
    VirtualDrive drive(toc);
    ASSERT_EQ(drive.trackCount(), 2) << drive.description();
    auto second = drive.openTrack(1, ReadCare::Careful, 0);
    ASSERT_NE(second, nullptr);
    std::ifstream bin(TestImage("multifile-2.bin").toStdString(), std::ios::binary);
    std::string expected(4096, '\0'), got(4096, '\0');
    bin.read(expected.data(), 4096);
    ASSERT_EQ(second->read(got.data(), 4096), 4096);
    EXPECT_TRUE(got == expected);
}

// ---- text -----------------------------------------------------------------------------------

TEST(CdText, DoubleEncodedUtf8IsRepairedAndEverythingElseKept) {
    EXPECT_EQ(RepairDoubleEncodedUtf8("Caf\xC3\x83\xC2\xA9"), "Caf\xC3\xA9"); // Café twice
    // "東" (E6 9D B1) as libcdio returns it from a UTF-8 sheet.
    EXPECT_EQ(RepairDoubleEncodedUtf8("\xC3\xA6\xC2\x9D\xC2\xB1"), "\xE6\x9D\xB1");
    EXPECT_EQ(RepairDoubleEncodedUtf8("Caf\xC3\xA9"), "Caf\xC3\xA9"); // real Latin-1 é
    EXPECT_EQ(RepairDoubleEncodedUtf8("plain"), "plain");
    EXPECT_EQ(RepairDoubleEncodedUtf8("\xC3\xA9\xE6\x9D\xB1"), "\xC3\xA9\xE6\x9D\xB1");
    EXPECT_EQ(RepairDoubleEncodedUtf8("bad \xFF"), "bad \xFF");
    // Latin-1 bytes that only look like a lead byte followed by garbage stay as they are.
    EXPECT_EQ(RepairDoubleEncodedUtf8("\xC3\x83\x41"), "\xC3\x83\x41");
}

struct CdTextDeleter {
    void operator()(cdtext_t* t) const { cdtext_destroy(t); }
};

TEST(CdText, BlockNumbersTracksFromOneAndListsOnlyFieldsPresent) {
    std::unique_ptr<cdtext_t, CdTextDeleter> text(cdtext_init());
    const auto set = [&](cdtext_field_t field, const char* value, track_t track) {
        cdtext_set(text.get(), field, reinterpret_cast<const uint8_t*>(value), track, nullptr);
    };
    EXPECT_EQ(CdTextBlockFrom(text.get(), 3, 2), "");
    EXPECT_EQ(CdTextBlockFrom(nullptr, 1, 2), "");
    // A disc whose first track is number 3.
    set(CDTEXT_FIELD_PERFORMER, "Band", 0);
    set(CDTEXT_FIELD_TITLE, "Intro", 3);
    set(CDTEXT_FIELD_ARRANGER, "Someone", 4);
    set(CDTEXT_FIELD_TITLE, "Not on the disc", 5);
    EXPECT_EQ(CdTextBlockFrom(text.get(), 3, 2),
              "PERFORMER0=Band\0TITLE1=Intro\0ARRANGER2=Someone\0\0"s);
}

} // namespace

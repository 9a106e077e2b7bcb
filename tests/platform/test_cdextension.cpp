// The CD extension on the generated disc images: byte-exact track reading through CUE and TOC
// sheets, CD-TEXT, the drive list, refused images, the virtual door and stream creation.

#include "platform/audio/cddrives.h"
#include "platform/audio/cdextension.h"
#include "platform/audio/cdiohandles.h"
#include "platform/audio/createaudiolibrary.h"
#include "platform/audio/lasterror.h"
#include "platform/audio/realdrive.h"
#include "platform/audio/virtualdrive.h"
#include "support/testimages.h"
#include "test_core_support.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cdio/cdio.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <thread>
#include <vector>

using namespace std::string_literals;

namespace {

constexpr int kSector = 2352;

// Keeps the sources the extension hands over, so a test reads them directly.
class RecordingEngine : public StreamEngine {
public:
    struct Created {
        std::unique_ptr<PcmSource> source;
        DWORD flags;
        int owner;
    };

    HSTREAM createStream(std::unique_ptr<PcmSource> source, DWORD flags, int owner) override {
        created.push_back({std::move(source), flags, owner});
        return static_cast<HSTREAM>(created.size());
    }
    void freeStreamsOf(int owner) override { freed.push_back(owner); }
    std::optional<SectorDamage> damageOf(HSTREAM) override { return std::nullopt; }

    PcmSource& source(HSTREAM handle) { return *created.at(handle - 1).source; }

    std::vector<Created> created;
    std::vector<int> freed;
};

std::string Image(const char* name) {
    return TestImage(name).toStdString();
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

struct ManifestTrack {
    bool audio;
    long start;
    long sectors;
};

std::vector<ManifestTrack> ReadManifest(const std::string& path) {
    std::ifstream in(path);
    std::vector<ManifestTrack> tracks;
    int number = 0;
    std::string kind;
    long start = 0, sectors = 0;
    while (in >> number >> kind >> start >> sectors)
        tracks.push_back({kind == "AUDIO", start, sectors});
    return tracks;
}

std::string ReadToEnd(PcmSource& source, int chunk) {
    std::string data;
    std::vector<char> buffer(chunk);
    for (int n; (n = source.read(buffer.data(), chunk)) > 0;)
        data.append(buffer.data(), n);
    return data;
}

int RealDriveCount() {
    const DeviceListHandle list(cdio_get_devices(DRIVER_DEVICE));
    int count = 0;
    for (char** d = list.get(); d != nullptr && *d != nullptr; ++d)
        ++count;
    return count;
}

// An extension over virtual drives only, whatever drives the machine has.
struct VirtualDrives {
    explicit VirtualDrives(std::initializer_list<const char*> images) {
        std::vector<std::unique_ptr<CdDrive>> drives;
        for (const char* image : images)
            drives.push_back(std::make_unique<VirtualDrive>(Image(image)));
        cd = std::make_unique<CdExtension>(engine, std::move(drives));
    }
    RecordingEngine engine;
    std::unique_ptr<CdExtension> cd;
};

std::string BlockOf(const char* block) {
    std::string result;
    for (const char* p = block; *p != '\0'; p += std::strlen(p) + 1)
        result.append(p, std::strlen(p) + 1);
    return result + '\0';
}

// ---- byte-exact reading ---------------------------------------------------------------------

struct ImageCase {
    const char* sheet;
    const char* bin;
    const char* manifest;
};

class ImageReading : public ::testing::TestWithParam<ImageCase> {};

TEST_P(ImageReading, EveryTrackReadsTheBinBytesAtTheManifestOffsets) {
    const ImageCase& image = GetParam();
    VirtualDrives d({image.sheet});
    const auto manifest = ReadManifest(Image(image.manifest));
    const std::string bin = ReadFile(Image(image.bin));
    ASSERT_FALSE(manifest.empty());
    ASSERT_EQ(d.cd->BASS_CD_GetTracks(0), int(manifest.size()))
        << d.cd->BASS_CD_GetDriveDescription(0);
    for (DWORD t = 0; t < manifest.size(); ++t) {
        SCOPED_TRACE("track " + std::to_string(t + 1));
        if (!manifest[t].audio) {
            EXPECT_EQ(d.cd->BASS_CD_GetTrackLength(0, t), -1);
            EXPECT_EQ(LastBassError(), BASS_ERROR_NOTAUDIO);
            EXPECT_EQ(d.cd->BASS_CD_StreamCreate(0, t, kDecodeStreamFlags), 0u);
            EXPECT_EQ(LastBassError(), BASS_ERROR_NOTAUDIO);
            continue;
        }
        const long bytes = manifest[t].sectors * kSector;
        EXPECT_EQ(d.cd->BASS_CD_GetTrackLength(0, t), bytes);
        const HSTREAM stream = d.cd->BASS_CD_StreamCreate(0, t, kDecodeStreamFlags);
        ASSERT_NE(stream, 0u);
        PcmSource& source = d.engine.source(stream);
        EXPECT_EQ(source.length(), std::uint64_t(bytes));
        const std::string expected = bin.substr(manifest[t].start * kSector, bytes);
        EXPECT_TRUE(ReadToEnd(source, 20000) == expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    CdExtension, ImageReading,
    ::testing::Values(ImageCase{"nocdtext.cue", "nocdtext.bin", "nocdtext.manifest"},
                      ImageCase{"onetrack.cue", "onetrack.bin", "onetrack.manifest"},
                      ImageCase{"mixed.cue", "mixed.bin", "mixed.manifest"},
                      ImageCase{"oddlengths.cue", "oddlengths.bin", "oddlengths.manifest"},
                      ImageCase{"utf8.cue", "utf8.bin", "utf8.manifest"},
                      ImageCase{"utf8.toc", "utf8.bin", "utf8.manifest"},
                      ImageCase{"renamed.cue", "other name.bin", "renamed.manifest"},
                      ImageCase{"cdtext.cue", "cdtext.bin", "cdtext.manifest"},
                      ImageCase{"cdtext.toc", "cdtext.bin", "cdtext.manifest"}),
    [](const auto& info) {
        std::string name = info.param.sheet;
        std::replace(name.begin(), name.end(), '.', '_');
        return name;
    });

TEST(CdExtensionReading, OddLengthsAndSeeksStayExact) {
    VirtualDrives d({"oddlengths.cue"});
    EXPECT_EQ(d.cd->BASS_CD_GetTrackLength(0, 0), 263424);
    EXPECT_EQ(d.cd->BASS_CD_GetTrackLength(0, 1), 265776);
    const std::string bin = ReadFile(Image("oddlengths.bin"));

    PcmSource& source = d.engine.source(d.cd->BASS_CD_StreamCreate(0, 1, kDecodeStreamFlags));
    // A seek lands on a whole sample frame and reads on from exactly there, across sectors.
    ASSERT_TRUE(source.seek(100003));
    std::string part(5000, '\0');
    ASSERT_EQ(source.read(part.data(), 5000), 5000);
    EXPECT_TRUE(part == bin.substr(263424 + 100000, 5000));
    EXPECT_FALSE(source.seek(265776 + 4));
    EXPECT_EQ(source.errorCode(), BASS_ERROR_POSITION);
    ASSERT_TRUE(source.seek(265776 - 8));
    EXPECT_EQ(source.read(part.data(), 5000), 8); // a short read at the end, then nothing
    EXPECT_EQ(source.read(part.data(), 5000), 0);
}

TEST(CdExtensionReading, BadTrackNumbersAndDrivesFailWithTheirCodes) {
    VirtualDrives d({"nocdtext.cue"});
    EXPECT_EQ(d.cd->BASS_CD_GetTrackLength(0, 3), -1);
    EXPECT_EQ(LastBassError(), BASS_ERROR_CDTRACK);
    EXPECT_EQ(d.cd->BASS_CD_StreamCreate(0, 99, 0), 0u);
    EXPECT_EQ(LastBassError(), BASS_ERROR_CDTRACK);
    EXPECT_EQ(d.cd->BASS_CD_GetTracks(1), -1);
    EXPECT_EQ(LastBassError(), BASS_ERROR_DEVICE);
    EXPECT_EQ(d.cd->BASS_CD_StreamCreate(1, 0, 0), 0u);
    EXPECT_EQ(LastBassError(), BASS_ERROR_DEVICE);
    EXPECT_TRUE(d.engine.created.empty());
}

// ---- CD-TEXT --------------------------------------------------------------------------------

TEST(CdExtensionCdText, BlockListsDiscAndTrackFieldsFromCueAndToc) {
    const std::string expected = "TITLE0=Text Disc\0PERFORMER0=Text Band\0"
                                 "TITLE1=First Song\0PERFORMER1=First Singer\0"
                                 "SONGWRITER1=First Writer\0"
                                 "TITLE2=Second Song\0PERFORMER2=Second Singer\0"
                                 "SONGWRITER2=Second Writer\0\0"s;
    VirtualDrives d({"cdtext.cue", "cdtext.toc"});
    for (DWORD drive : {0u, 1u}) {
        const char* block = d.cd->BASS_CD_GetID(drive, BASS_CD_ID_TEXT);
        ASSERT_NE(block, nullptr);
        EXPECT_EQ(BlockOf(block), expected) << "drive " << drive;
    }
}

TEST(CdExtensionCdText, RenamedBinDemoDiscAndDiscsWithoutText) {
    VirtualDrives d({"renamed.cue", "nocdtext.cue"});
    const char* renamed = d.cd->BASS_CD_GetID(0, BASS_CD_ID_TEXT);
    ASSERT_NE(renamed, nullptr);
    EXPECT_EQ(BlockOf(renamed), "TITLE0=Renamed\0\0"s);
    EXPECT_EQ(d.cd->BASS_CD_GetID(1, BASS_CD_ID_TEXT), nullptr);
    EXPECT_EQ(d.cd->BASS_CD_GetID(0, 1), nullptr); // only the CD-TEXT identity is offered

    const std::string demo =
        (QCoreApplication::applicationDirPath() + "/discs/demo.cue").toStdString();
    RecordingEngine engine;
    std::vector<std::unique_ptr<CdDrive>> drives;
    drives.push_back(std::make_unique<VirtualDrive>(demo));
    CdExtension cd(engine, std::move(drives));
    const char* block = cd.BASS_CD_GetID(0, BASS_CD_ID_TEXT);
    ASSERT_NE(block, nullptr) << cd.BASS_CD_GetDriveDescription(0);
    EXPECT_STREQ(block, "TITLE0=Mivo Demo Disc");
    EXPECT_STREQ(block + std::strlen(block) + 1, "PERFORMER0=The Mivo Ensemble");
}

// ---- drive list -----------------------------------------------------------------------------

TEST(CdExtensionDrives, ImagesFromTheVariableFollowTheRealDrivesWithLetters) {
    const std::string list = Image("nocdtext.cue") + "::" + Image("utf8.toc");
    const ScopedEnv env("MIVO_DISC_IMAGES", list);
    RecordingEngine engine;
    CdExtension cd(engine, "/nonexistent-app-folder");
    const DWORD first = RealDriveCount();
    EXPECT_STREQ(cd.BASS_CD_GetDriveDescription(first), "Virtual drive (nocdtext.cue)");
    EXPECT_STREQ(cd.BASS_CD_GetDriveDescription(first + 1), "Virtual drive (utf8.toc)");
    EXPECT_EQ(cd.BASS_CD_GetDriveDescription(first + 2), nullptr);
    EXPECT_EQ(cd.BASS_CD_GetDriveLetter(0), 3u); // D
    EXPECT_EQ(cd.BASS_CD_GetDriveLetter(first + 1), 4u + first);
    EXPECT_EQ(cd.BASS_CD_GetDriveLetter(first + 2), DWORD(-1));
    EXPECT_EQ(LastBassError(), BASS_ERROR_DEVICE);
    EXPECT_EQ(cd.BASS_CD_GetTracks(first + 1), 2);

    const ScopedEnv empty("MIVO_DISC_IMAGES", std::string());
    EXPECT_EQ(ListCdDrives("/nonexistent-app-folder").size(), std::size_t(first));
}

TEST(CdExtensionDrives, WithoutTheVariableTheSheetsOfTheDiscsFolderAreListedByName) {
    const ScopedEnv env("MIVO_DISC_IMAGES", std::nullopt);
    QTemporaryDir app;
    const std::string discs = app.path().toStdString() + "/discs";
    std::filesystem::create_directory(discs);
    // Absolute FILE names are resolved as they stand.
    const std::string sheet = "FILE \"" + Image("onetrack.bin") +
                              "\" BINARY\n"
                              "  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n";
    for (const char* name : {"b.cue", "a.toc.txt", "c.CUE.bak", "a.cue"})
        std::ofstream(discs + "/" + name) << sheet;
    std::filesystem::copy_file(Image("utf8.toc"), discs + "/b.toc");
    std::filesystem::copy_file(Image("utf8.bin"), discs + "/utf8.bin");

    const auto paths = DiscImagePaths(app.path().toStdString());
    ASSERT_EQ(paths.size(), 3u);
    EXPECT_EQ(paths[0], discs + "/a.cue");
    EXPECT_EQ(paths[1], discs + "/b.cue");
    EXPECT_EQ(paths[2], discs + "/b.toc");

    RecordingEngine engine;
    CdExtension cd(engine, app.path().toStdString());
    const DWORD first = RealDriveCount();
    EXPECT_STREQ(cd.BASS_CD_GetDriveDescription(first), "Virtual drive (a.cue)");
    EXPECT_EQ(cd.BASS_CD_GetTrackLength(first, 0), 225 * kSector);
    EXPECT_EQ(cd.BASS_CD_GetTracks(first + 2), 2); // the copied TOC finds its bin beside it
}

TEST(CdExtensionDrives, RefusedImagesAreListedWithTheReasonAndHoldNoDisc) {
    VirtualDrives d({"corrupt.cue", "nobin.cue", "multifile.cue"});
    const std::string prefix = ": cannot read the image: ";
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"Virtual drive (corrupt.cue)" + prefix, ""},
        {"Virtual drive (nobin.cue)" + prefix, "the file \"nobin.bin\" is missing"},
        {"Virtual drive (multifile.cue)" + prefix, "several files"},
    };
    for (DWORD i = 0; i < expected.size(); ++i) {
        const std::string description = d.cd->BASS_CD_GetDriveDescription(i);
        SCOPED_TRACE(description);
        EXPECT_EQ(description.rfind(expected[i].first, 0), 0u);
        EXPECT_GT(description.size(), expected[i].first.size());
        EXPECT_NE(description.find(expected[i].second), std::string::npos);
        EXPECT_FALSE(d.cd->BASS_CD_IsReady(i));
        EXPECT_EQ(d.cd->BASS_CD_GetTracks(i), -1);
        EXPECT_EQ(LastBassError(), BASS_ERROR_NOCD);
        EXPECT_EQ(d.cd->BASS_CD_StreamCreate(i, 0, 0), 0u);
        EXPECT_EQ(LastBassError(), BASS_ERROR_NOCD);
        EXPECT_EQ(d.cd->BASS_CD_GetID(i, BASS_CD_ID_TEXT), nullptr);
        // The door still works, but closing it brings no disc.
        EXPECT_TRUE(d.cd->BASS_CD_Door(i, BASS_CD_DOOR_OPEN));
        EXPECT_TRUE(d.cd->BASS_CD_Door(i, BASS_CD_DOOR_CLOSE));
        EXPECT_FALSE(d.cd->BASS_CD_IsReady(i));
    }
}

TEST(CdExtensionDrives, RealDriveThatCannotBeOpenedFailsEveryCallCleanly) {
    // No optical drive here: a device path that does not exist goes through the same calls.
    RealDrive drive("/dev/mivo-no-such-drive");
    EXPECT_EQ(drive.description(), "/dev/mivo-no-such-drive");
    BASS_CD_INFO info;
    EXPECT_FALSE(drive.info(info));
    EXPECT_FALSE(drive.isReady());
    EXPECT_EQ(drive.trackCount(), -1);
    EXPECT_EQ(drive.trackLength(0), -1);
    EXPECT_TRUE(drive.cdTextBlock().empty());
    EXPECT_EQ(drive.openTrack(0, true), nullptr);
    EXPECT_FALSE(drive.door(BASS_CD_DOOR_OPEN));
    EXPECT_FALSE(drive.door(BASS_CD_DOOR_LOCK));
    EXPECT_FALSE(drive.doorIsLocked());
    EXPECT_FALSE(drive.doorIsOpen());
}

// ---- door -----------------------------------------------------------------------------------

TEST(CdExtensionDoor, OpeningEjectsTheImageAndClosingPutsItBack) {
    VirtualDrives d({"nocdtext.cue"});
    PcmSource& playing = d.engine.source(d.cd->BASS_CD_StreamCreate(0, 1, kDecodeStreamFlags));
    char buffer[4096];
    ASSERT_EQ(playing.read(buffer, sizeof buffer), int(sizeof buffer));

    ASSERT_TRUE(d.cd->BASS_CD_Door(0, BASS_CD_DOOR_OPEN));
    EXPECT_TRUE(d.cd->BASS_CD_DoorIsOpen(0));
    EXPECT_FALSE(d.cd->BASS_CD_IsReady(0));
    EXPECT_EQ(d.cd->BASS_CD_GetTracks(0), -1);
    EXPECT_EQ(LastBassError(), BASS_ERROR_NOCD);
    EXPECT_EQ(d.cd->BASS_CD_GetTrackLength(0, 0), -1);
    EXPECT_EQ(d.cd->BASS_CD_StreamCreate(0, 0, 0), 0u);
    EXPECT_EQ(LastBassError(), BASS_ERROR_NOCD);
    EXPECT_EQ(playing.read(buffer, sizeof buffer), -1);
    EXPECT_EQ(playing.errorCode(), BASS_ERROR_NOCD);

    ASSERT_TRUE(d.cd->BASS_CD_Door(0, BASS_CD_DOOR_CLOSE));
    EXPECT_FALSE(d.cd->BASS_CD_DoorIsOpen(0));
    EXPECT_TRUE(d.cd->BASS_CD_IsReady(0));
    EXPECT_EQ(d.cd->BASS_CD_GetTracks(0), 3);
    EXPECT_EQ(d.cd->BASS_CD_GetTrackLength(0, 2), 300 * kSector);
    // The disc read before the ejection is gone for good; a new stream reads again.
    EXPECT_EQ(playing.read(buffer, sizeof buffer), -1);
    PcmSource& again = d.engine.source(d.cd->BASS_CD_StreamCreate(0, 1, kDecodeStreamFlags));
    EXPECT_EQ(again.read(buffer, sizeof buffer), int(sizeof buffer));
}

TEST(CdExtensionDoor, LockedDoorDoesNotOpenUntilUnlocked) {
    VirtualDrives d({"onetrack.cue"});
    ASSERT_TRUE(d.cd->BASS_CD_Door(0, BASS_CD_DOOR_LOCK));
    EXPECT_TRUE(d.cd->BASS_CD_DoorIsLocked(0));
    EXPECT_FALSE(d.cd->BASS_CD_Door(0, BASS_CD_DOOR_OPEN));
    EXPECT_EQ(LastBassError(), BASS_ERROR_NOTAVAIL);
    EXPECT_FALSE(d.cd->BASS_CD_DoorIsOpen(0));
    EXPECT_TRUE(d.cd->BASS_CD_IsReady(0));

    ASSERT_TRUE(d.cd->BASS_CD_Door(0, BASS_CD_DOOR_UNLOCK));
    EXPECT_FALSE(d.cd->BASS_CD_DoorIsLocked(0));
    EXPECT_TRUE(d.cd->BASS_CD_Door(0, BASS_CD_DOOR_OPEN));
    EXPECT_TRUE(d.cd->BASS_CD_DoorIsOpen(0));
    EXPECT_FALSE(d.cd->BASS_CD_Door(0, 7));
    EXPECT_EQ(LastBassError(), BASS_ERROR_ILLPARAM);
}

TEST(CdExtensionDoor, ReaderOnAnotherThreadSeesTheEjection) {
    VirtualDrives d({"nocdtext.cue"});
    PcmSource& source = d.engine.source(d.cd->BASS_CD_StreamCreate(0, 2, kPlaybackStreamFlags));
    std::atomic<bool> started = false;
    int last = 0;
    std::thread reader([&] {
        char buffer[2352];
        // The track ends with a seek back to the start, so only the ejection stops this loop.
        while ((last = source.read(buffer, sizeof buffer)) >= 0) {
            started = true;
            if (last == 0)
                source.seek(0);
        }
    });
    while (!started)
        std::this_thread::yield();
    d.cd->BASS_CD_Door(0, BASS_CD_DOOR_OPEN);
    reader.join();
    EXPECT_EQ(last, -1);
    EXPECT_EQ(source.errorCode(), BASS_ERROR_NOCD);
}

// ---- streams --------------------------------------------------------------------------------

TEST(CdExtensionStreams, FreeOldFreesTheDrivesStreamsFirstAndIsNotPassedOn) {
    VirtualDrives d({"onetrack.cue", "nocdtext.cue"});
    ASSERT_NE(d.cd->BASS_CD_StreamCreate(1, 0, kPlaybackStreamFlags), 0u);
    ASSERT_NE(d.cd->BASS_CD_StreamCreate(1, 1, kDecodeStreamFlags), 0u);
    EXPECT_EQ(d.engine.freed, std::vector<int>{1});
    ASSERT_EQ(d.engine.created.size(), 2u);
    EXPECT_EQ(d.engine.created[0].flags, BASS_STREAM_AUTOFREE);
    EXPECT_EQ(d.engine.created[0].owner, 1);
    EXPECT_EQ(d.engine.created[1].flags, kDecodeStreamFlags);

    // The old stream goes even when the new one cannot be made.
    d.cd->BASS_CD_Door(1, BASS_CD_DOOR_OPEN);
    EXPECT_EQ(d.cd->BASS_CD_StreamCreate(1, 0, kPlaybackStreamFlags), 0u);
    EXPECT_EQ(d.engine.freed, (std::vector<int>{1, 1}));
}

} // namespace

// ---- with the real stream engine --------------------------------------------------------------

namespace {

TEST(CdExtensionWithCore, DecodeStreamDeliversTheTrackAndFailsOnceTheDoorOpens) {
    const ScopedEnv env("MIVO_DISC_IMAGES", Image("oddlengths.cue"));
    const auto instance =
        CreateAudioLibrary({"/nonexistent-app-folder", "/nonexistent-app-folder"});
    AudioLibrary audio = instance->library();
    ASSERT_TRUE(audio.core.BASS_Init(0, 44100, 0, nullptr, nullptr));
    const DWORD drive = RealDriveCount();
    const std::string bin = ReadFile(Image("oddlengths.bin"));

    const HSTREAM first = audio.cd.BASS_CD_StreamCreate(drive, 0, kDecodeStreamFlags);
    ASSERT_NE(first, 0u);
    std::string got;
    std::vector<char> buffer(20000);
    while (audio.core.BASS_ChannelIsActive(first)) {
        const int n = audio.core.BASS_ChannelGetData(first, buffer.data(), 20000);
        ASSERT_GT(n, 0);
        got.append(buffer.data(), n);
    }
    EXPECT_TRUE(got == bin.substr(0, 263424));

    const HSTREAM second = audio.cd.BASS_CD_StreamCreate(drive, 1, kDecodeStreamFlags);
    ASSERT_NE(second, 0u);
    ASSERT_GT(audio.core.BASS_ChannelGetData(second, buffer.data(), 20000), 0);
    ASSERT_TRUE(audio.cd.BASS_CD_Door(drive, BASS_CD_DOOR_OPEN));
    EXPECT_EQ(audio.core.BASS_ChannelGetData(second, buffer.data(), 20000), -1);
    audio.core.BASS_Free();
}

} // namespace

// The CD extension on the generated disc images: byte-exact track reading through CUE and TOC
// sheets, seeks, and drives without a disc.

#include "platform/audio/cd/cdextension.h"
#include "platform/audio/core/lasterror.h"
#include "platform/audio/core/test_core_support.h"
#include "platform/audio/drive/realdrive.h"
#include "platform/audio/image/virtualdrive.h"
#include "platform/audio/output/outputengine.h"
#include "support/testimages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace {

std::string Image(const char* name) {
    return TestImage(name).toStdString();
}

// An extension over virtual drives only, whatever drives the machine has, on the real engine.
struct VirtualDrives {
    explicit VirtualDrives(std::initializer_list<const char*> images) {
        std::vector<std::unique_ptr<CdDrive>> drives;
        for (const char* image : images)
            drives.push_back(std::make_unique<VirtualDrive>(Image(image)));
        cd = std::make_unique<CdExtension>(core, std::move(drives));
    }
    // Reads the decode stream to its end, or to a failed read.
    QByteArray readToEnd(HSTREAM stream, int limit = 1 << 30) {
        QByteArray data;
        char buffer[20000];
        for (int n; data.size() < limit &&
                    (n = core.BASS_ChannelGetData(stream, buffer, sizeof buffer)) > 0;)
            data.append(buffer, n);
        return data;
    }
    OutputEngine core;
    std::unique_ptr<CdExtension> cd;
};

// ---- byte-exact reading ---------------------------------------------------------------------

class ImageReading : public ::testing::TestWithParam<std::array<const char*, 3>> {};

TEST_P(ImageReading, EveryTrackReadsTheBinBytesAtTheManifestOffsets) {
    const auto [sheet, bin, manifest] = GetParam();
    VirtualDrives d({sheet});
    const std::vector<QByteArray> tracks = TrackAudio(manifest, bin);
    ASSERT_FALSE(tracks.empty());
    ASSERT_EQ(d.cd->BASS_CD_GetTracks(0), int(tracks.size()))
        << d.cd->BASS_CD_GetDriveDescription(0);
    for (DWORD t = 0; t < tracks.size(); ++t) {
        SCOPED_TRACE("track " + std::to_string(t + 1));
        if (tracks[t].isEmpty()) { // a data track
            EXPECT_EQ(d.cd->BASS_CD_GetTrackLength(0, t), -1);
            EXPECT_EQ(LastBassError(), BASS_ERROR_NOTAUDIO);
            EXPECT_EQ(d.cd->BASS_CD_StreamCreate(0, t, kDecodeStreamFlags), 0u);
            EXPECT_EQ(LastBassError(), BASS_ERROR_NOTAUDIO);
            continue;
        }
        EXPECT_EQ(d.cd->BASS_CD_GetTrackLength(0, t), tracks[t].size());
        const HSTREAM stream = d.cd->BASS_CD_StreamCreate(0, t, kDecodeStreamFlags);
        EXPECT_EQ(d.core.BASS_StreamGetLength(stream), QWORD(tracks[t].size()));
        EXPECT_TRUE(d.readToEnd(stream) == tracks[t]);
    }
}

INSTANTIATE_TEST_SUITE_P(
    CdExtension, ImageReading,
    ::testing::Values(std::array{"nocdtext.cue", "nocdtext.bin", "nocdtext.manifest"},
                      std::array{"onetrack.cue", "onetrack.bin", "onetrack.manifest"},
                      std::array{"mixed.cue", "mixed.bin", "mixed.manifest"},
                      std::array{"oddlengths.cue", "oddlengths.bin", "oddlengths.manifest"},
                      std::array{"utf8.cue", "utf8.bin", "utf8.manifest"},
                      std::array{"utf8.toc", "utf8.bin", "utf8.manifest"},
                      std::array{"renamed.cue", "other name.bin", "renamed.manifest"},
                      std::array{"cdtext.cue", "cdtext.bin", "cdtext.manifest"},
                      std::array{"cdtext.toc", "cdtext.bin", "cdtext.manifest"},
                      std::array{"archive.cue", "archive.bin", "archive.manifest"},
                      std::array{"archive.toc", "archive.bin", "archive.manifest"}),
    [](const auto& info) {
        std::string name = info.param[0];
        std::replace(name.begin(), name.end(), '.', '_');
        return name;
    });

// Seeks that the position slider makes land on a whole frame and read on across sectors.
TEST(CdExtensionReading, SeeksLandOnWholeFrames) {
    VirtualDrives d({"oddlengths.cue"});
    const QByteArray track = TrackAudio("oddlengths.manifest", "oddlengths.bin").at(1);
    const HSTREAM stream = d.cd->BASS_CD_StreamCreate(0, 1, kDecodeStreamFlags);
    ASSERT_TRUE(d.core.BASS_ChannelSetPosition(stream, 100003));
    EXPECT_TRUE(d.readToEnd(stream, 5000) == track.mid(100000, 20000));
    EXPECT_FALSE(d.core.BASS_ChannelSetPosition(stream, track.size() + 4));
    ASSERT_TRUE(d.core.BASS_ChannelSetPosition(stream, track.size() - 8));
    EXPECT_EQ(d.readToEnd(stream).size(), 8);
}

// ---- drive list -----------------------------------------------------------------------------

// Refused images hold no disc, and every call fails cleanly.
TEST(CdExtensionDrives, DrivesWithoutADiscFailEveryCallCleanly) {
    VirtualDrives d({"corrupt.cue", "nobin.cue", "multifile.cue"});
    for (DWORD i = 0; i < 3; ++i) {
        SCOPED_TRACE(d.cd->BASS_CD_GetDriveDescription(i));
        EXPECT_NE(std::strstr(d.cd->BASS_CD_GetDriveDescription(i), ": cannot read the image: "),
                  nullptr);
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
    // An image libcdio's own reader refuses, listed as a drive it reads: listed with its reason.
    RealDrive drive(Image("nobin.cue"), DRIVER_UNKNOWN);
    EXPECT_NE(drive.description().find(": libcdio cannot open it: could not retrieve file info"),
              std::string::npos)
        << drive.description();
    BASS_CD_INFO info, unknown;
    EXPECT_FALSE(drive.info(info, unknown) || drive.isReady() || drive.door(BASS_CD_DOOR_OPEN) ||
                 drive.door(BASS_CD_DOOR_LOCK) || drive.doorIsLocked() || drive.doorIsOpen() ||
                 drive.discChanged());
    EXPECT_EQ(drive.trackCount(), -1);
    EXPECT_EQ(drive.trackLength(0), -1);
    EXPECT_TRUE(drive.cdTextBlock().empty());
    EXPECT_EQ(drive.openTrack(0, ReadCare::Careful, 0), nullptr);
}

// Playing another track frees the drive's old stream first, even when the new one cannot be
// made: two tracks never play over each other.
TEST(CdExtensionStreams, ANewStreamFreesTheDrivesOldOne) {
    VirtualDrives d({"onetrack.cue", "nocdtext.cue"});
    ASSERT_TRUE(d.core.BASS_Init(1, 44100, 0, nullptr, nullptr));
    const HSTREAM other = d.cd->BASS_CD_StreamCreate(0, 0, kPlaybackStreamFlags);
    const HSTREAM old = d.cd->BASS_CD_StreamCreate(1, 0, kPlaybackStreamFlags);
    const HSTREAM current = d.cd->BASS_CD_StreamCreate(1, 1, kPlaybackStreamFlags);
    ASSERT_NE(current, 0u);
    EXPECT_EQ(d.core.BASS_ChannelGetPosition(old), ~QWORD{0});
    EXPECT_EQ(d.core.BASS_ChannelGetPosition(other), 0u); // another drive's stays
    d.cd->BASS_CD_Door(1, BASS_CD_DOOR_OPEN);
    EXPECT_EQ(d.cd->BASS_CD_StreamCreate(1, 0, kPlaybackStreamFlags), 0u);
    EXPECT_EQ(d.core.BASS_ChannelGetPosition(current), ~QWORD{0});
}

// ---- read offset ----------------------------------------------------------------------------

// With offset R every track is read 4R bytes further on, into its neighbours, and as long as it
// is; a data track borders the audio as the disc's edges do, and seeks land in both parts.
TEST(CdExtensionReadOffset, TracksAreReadShiftedWithSilenceBeyondTheAudio) {
    for (const std::string image : {"nocdtext", "mixed", "oddlengths"}) {
        VirtualDrives d({(image + ".cue").c_str()});
        const auto tracks = TrackAudio(QString::fromStdString(image + ".manifest"),
                                       QString::fromStdString(image + ".bin"));
        QByteArray audio;
        for (const QByteArray& track : tracks)
            audio += track;
        for (int offset : {-1164, -6, 0, 6, 667, 1776}) {
            ASSERT_TRUE(d.cd->BASS_CD_SetOffset(0, offset));
            qint64 start = 0;
            for (DWORD t = 0; t < tracks.size(); start += tracks[t++].size()) {
                if (tracks[t].isEmpty())
                    continue;
                SCOPED_TRACE(image + " track " + std::to_string(t) + " offset " +
                             std::to_string(offset));
                const QByteArray expected = AudioAt(audio, start + 4 * offset, tracks[t].size());
                HSTREAM stream = d.cd->BASS_CD_StreamCreate(0, t, kDecodeStreamFlags);
                EXPECT_TRUE(d.readToEnd(stream) == expected);
                for (qint64 at : {qint64(4000), expected.size() - 4000}) {
                    stream = d.cd->BASS_CD_StreamCreate(0, t, kDecodeStreamFlags);
                    ASSERT_TRUE(d.core.BASS_ChannelSetPosition(stream, at));
                    EXPECT_TRUE(d.readToEnd(stream) == expected.mid(at));
                }
            }
        }
        EXPECT_FALSE(d.cd->BASS_CD_SetOffset(0, kMostReadOffset + 1));
        EXPECT_EQ(LastBassError(), BASS_ERROR_ILLPARAM);
        EXPECT_EQ(d.cd->BASS_CD_GetOffset(0), 1776);
    }
}

} // namespace

// A disc's index points, ISRCs, flags and catalog number read the same from its CUE sheet by the
// image reader (MIVO_DISC_IMAGES) and by libcdio from its cdrdao TOC (MIVO_CDIO_DEVICES); what a
// sheet gets wrong is left out with a note and the rest reads as before; the hidden track before
// track 1 reads as the disc holds it, shifted by a read offset too.

#include "platform/audio/cd/cdextension.h"
#include "platform/audio/core/lasterror.h"
#include "platform/audio/drive/realdrive.h"
#include "platform/audio/image/virtualdrive.h"
#include "platform/audio/output/outputengine.h"
#include "support/testimages.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fstream>

namespace {

// One line per track ("gap start isrc flags"), then the catalog number, the hidden audio and
// the notes: a difference shows where it is.
QStringList Shown(const DiscSubcode& subcode) {
    QStringList lines;
    for (const DiscSubcode::Track& t : subcode.tracks)
        lines << (t.pregap ? QString::number(*t.pregap) : "-") + ' ' + QString::number(t.start) +
                     ' ' + t.isrc + (t.preEmphasis ? " PRE" : "") +
                     (t.copyPermitted ? " DCP" : "") + (t.fourChannels ? " 4CH" : "");
    lines << "MCN " + subcode.mcn << QStringLiteral("hidden %1").arg(subcode.hiddenAudio);
    return lines + subcode.notes;
}

DiscSubcode Read(CdExtension& cd) {
    DiscSubcode subcode;
    EXPECT_TRUE(cd.BASS_CD_GetSubcode(0, &subcode, 1)) << LastBassError();
    return subcode;
}

QByteArray ReadToEnd(BassCore& core, HSTREAM stream) {
    QByteArray data(1 << 16, '\0');
    QByteArray all;
    for (int n; (n = core.BASS_ChannelGetData(stream, data.data(), DWORD(data.size()))) > 0;)
        all += data.left(n);
    return all;
}

} // namespace

TEST(DiscSubcodes, ReadTheSameFromTheSheetAndThroughLibcdio) {
    const QStringList archive{"0 300 GBAYE6900001 DCP",
                              "450 600 GBAYE6900002",
                              "- 750  PRE",
                              "900 975 USRC17607839",
                              "- 1125 ",
                              "MCN 0724384960650",
                              "hidden 1"};
    QTemporaryDir temp;
    QFile binFile(TestImage("archive.bin"));
    ASSERT_TRUE(binFile.open(QIODevice::ReadOnly));
    const QByteArray bin = binFile.readAll();
    const std::string toc =
        TocWithFullPaths(temp.path(), "archive.toc", "archive.bin").toStdString();
    OutputEngine core;
    for (const bool libcdio : {false, true}) {
        SCOPED_TRACE(libcdio ? "libcdio, TOC" : "image, CUE");
        std::vector<std::unique_ptr<CdDrive>> drives;
        if (libcdio)
            drives.push_back(std::make_unique<RealDrive>(toc, DRIVER_UNKNOWN));
        else
            drives.push_back(
                std::make_unique<VirtualDrive>(TestImage("archive.cue").toStdString()));
        CdExtension cd(core, std::move(drives));
        const DiscSubcode subcode = Read(cd);
        EXPECT_EQ(Shown(subcode), archive);
        EXPECT_TRUE(subcode.pregapsDetected);
        EXPECT_EQ(cd.BASS_CD_GetTrackLength(0, BASS_CD_TRACK_HIDDEN), 300 * 2352);
        for (const int offset : {0, 667, -6}) {
            ASSERT_TRUE(cd.BASS_CD_SetOffset(0, offset));
            const HSTREAM hidden =
                cd.BASS_CD_StreamCreate(0, BASS_CD_TRACK_HIDDEN, kDecodeStreamFlags);
            EXPECT_TRUE(ReadToEnd(core, hidden) == AudioAt(bin, 4 * offset, 300 * 2352)) << offset;
        }
    }
}

// The sheet is a.cue or a.toc beside a.bin, twelve sectors of audio (not silence). What a sheet
// gets wrong is left out with a note and the rest stays; audio before track 1 is a hidden track,
// silence is not.
TEST(DiscSubcodes, WhatASheetGetsWrongIsLeftOutWithANoteAndTheRestStays) {
    const std::string track1 = "FILE \"a.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n";
    const struct {
        const char* name;
        std::string sheet;
        QStringList shown;
    } rows[] = {
        {"a.cue",
         "FILE \"a.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:03\n",
         {"0 3 ", "MCN ", "hidden 1"}},
        {"a.cue",
         "FILE \"a.bin\" BINARY\n  TRACK 01 AUDIO\n    PREGAP 00:00:02\n    INDEX 01 00:00:00\n",
         {"0 2 ", "MCN ", "hidden 0"}},
        {"a.cue",
         "CATALOG 12345\n" + track1 + "    ISRC US-AB1-23-45678\n",
         {"- 0 ", "MCN ", "hidden 0", "the CATALOG \"12345\" is not 13 digits: left out",
          "track 1: the ISRC \"US-AB1-23-45678\" is not two letters, three letters or digits and "
          "seven digits: left out"}},
        {"a.cue",
         track1 + "    ISRC USABC123456\n    FLAGS PRE 4CH\n",
         {"- 0  PRE 4CH", "MCN ", "hidden 0",
          "track 1: the ISRC \"USABC123456\" is not two letters, three letters or digits and "
          "seven digits: left out"}},
        {"a.cue",
         track1 + "  TRACK 02 AUDIO\n    ISRC gbaye6900002\n    INDEX 01 00:00:06\n"
                  "    INDEX 00 00:00:04\n",
         {"- 0 ", "- 6 GBAYE6900002", "MCN ", "hidden 0",
          "track 2: INDEX 00 00:00:04 comes after the track's INDEX 01: left out"}},
        {"a.cue",
         track1 + "  TRACK 02 AUDIO\n    INDEX 00 00:00:08\n    INDEX 01 00:00:06\n",
         {"- 0 ", "- 6 ", "MCN ", "hidden 0",
          "track 2: INDEX 00 00:00:08 lies after its INDEX 01: left out"}},
        {"a.cue",
         track1 + "  TRACK 02 AUDIO\n    INDEX 00 00:00:06\n    INDEX 01 00:00:15\n",
         {"- 0 ", "- 6 ", "MCN ", "hidden 0",
          "track 2 would be only a pregap: its INDEX 01 is left out, the track starts where its "
          "pregap does"}},
        {"a.toc",
         "CD_DA\nCATALOG \"0724384960650\"\nTRACK AUDIO\nFILE \"a.bin\" 0 00:00:06\n"
         "TRACK AUDIO\nPRE_EMPHASIS\nCOPY\nISRC \"GBAYE6900002\"\n"
         "FILE \"a.bin\" 00:00:06 00:00:06\nSTART 00:00:06\n",
         {"- 0 ", "- 6 GBAYE6900002 PRE DCP", "MCN 0724384960650", "hidden 0",
          "track 2 would be only a pregap: its INDEX 01 is left out, the track starts where its "
          "pregap does"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.sheet);
        QTemporaryDir dir;
        const std::string folder = dir.path().toStdString();
        std::ofstream(folder + "/a.bin", std::ios::binary) << std::string(12 * 2352, 'a');
        std::ofstream(folder + "/" + row.name, std::ios::binary) << row.sheet;
        VirtualDrive drive(folder + "/" + row.name);
        ASSERT_TRUE(drive.isReady()) << drive.description();
        const SubcodeAnswer answer = drive.subcodeReader()(std::stop_token());
        ASSERT_TRUE(answer.subcode);
        EXPECT_EQ(Shown(*answer.subcode), row.shown);
    }
}

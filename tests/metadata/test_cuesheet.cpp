// The cue sheet and the playlist of a rip. A sheet read back by the image reader's own sheet
// scanner gives the disc's tracks, index points (each file holding its track from INDEX 01 to the
// next one's), ISRCs, flags and catalog number.
#include "common/product.h"
#include "metadata/cuesheet.h"
#include "metadata/playlist.h"
#include "platform/audio/image/imagesheet.h"

#include <gtest/gtest.h>

namespace {

// A disc with 4 seconds of audio hidden before track 1, pregaps before tracks 2 and 4, ISRCs, a
// catalog number and pre-emphasis on track 3.
CueSheetDisc ArchiveDisc() {
    CueSheetDisc disc;
    for (const qint32 start : {300, 600, 750, 975, 1125})
        disc.toc.tracks.push_back({start, true});
    disc.toc.leadOut = disc.toc.audioLeadOut = 1245;
    const std::optional<qint32> pregaps[] = {0, 450, {}, 900, {}};
    const char* isrcs[] = {"GBAYE6900001", "GBAYE6900002", "", "USRC17607839", "bad"};
    for (int t = 0; t < 5; ++t)
        disc.subcode.tracks.push_back(
            {pregaps[t], disc.toc.tracks[t].lsn, isrcs[t], t == 2, t == 0, false});
    disc.subcode.mcn = "0724384960650";
    disc.performer = "The Band";
    disc.title = "Say \"Hi\"\nthere";
    disc.freedbId = "4a04d305";
    disc.accurateRipId = "005-0000175f-00009e3a-4a04d305";
    disc.musicBrainzDiscId = "lRSL2_7Hfy0lRSL2_7Hfy0lRSL-";
    return disc;
}

QList<CueSheetTrack> TrackFiles(bool withHidden) {
    QList<CueSheetTrack> tracks;
    if (withHidden)
        tracks << CueSheetTrack{-1, "00 Hidden track.flac", "Hidden track", ""};
    for (int t = 0; t < 5; ++t)
        tracks << CueSheetTrack{t, QStringLiteral("0%1 Song.flac").arg(t + 1),
                                QStringLiteral("Song %1").arg(t + 1), "The Band"};
    return tracks;
}

// Where the sheet puts each track's INDEX 00 ("-" for none, "+n" for n sectors of PREGAP) and
// INDEX 01 on the disc, and its codes, when its files hold these sectors each in turn.
QStringList ReadBack(const QString& sheetText, const std::vector<qint32>& fileSectors) {
    const ScannedSheet sheet = ScanSheet(SheetKind::Cue, sheetText.toStdString(), "/rip",
                                         [](int) { return std::string("staged"); });
    EXPECT_EQ(sheet.error, "");
    std::vector<qint32> fileStart{0};
    for (const qint32 sectors : fileSectors)
        fileStart.push_back(fileStart.back() + sectors);
    QStringList lines{QString::fromStdString(sheet.catalog)};
    qint32 silence = 0; // PREGAP: on the disc, in no file
    for (const SheetTrack& t : sheet.tracks) {
        silence += t.silenceBefore;
        const qint32 start = silence + fileStart[t.startFileIndex] + qint32(*t.startFrame);
        const QString gap =
            t.gapFrame ? QString::number(silence + fileStart[t.gapFileIndex] + qint32(*t.gapFrame))
            : t.silenceBefore ? "+" + QString::number(t.silenceBefore)
                              : "-";
        lines << gap + ' ' + QString::number(start) + ' ' + QString::fromStdString(t.isrc) +
                     (t.preEmphasis ? " PRE" : "") + (t.copyPermitted ? " DCP" : "");
    }
    for (std::size_t f = 0; f < sheet.files.size(); ++f)
        lines << QString::fromStdString(sheet.files[f] + " " + sheet.fileTypes[f]);
    return lines;
}

const QStringList kArchiveIndexes{"0724384960650", "0 300 GBAYE6900001 DCP", "450 600 GBAYE6900002",
                                  "- 750  PRE",    "900 975 USRC17607839",   "- 1125 "};

} // namespace

TEST(CueSheet, TrackFilesWithGapsAppendedReadBackAsTheDisc) {
    const CueSheetDisc disc = ArchiveDisc();
    const QString sheet = TrackFilesCueSheet(disc, TrackFiles(true));
    EXPECT_EQ(sheet.section('\n', 0, 13), "REM DISCID 4A04D305\n"
                                          "REM ACCURATERIPID 005-0000175f-00009e3a-4a04d305\n"
                                          "REM MUSICBRAINZ_DISCID lRSL2_7Hfy0lRSL2_7Hfy0lRSL-\n"
                                          "REM COMMENT \"Mivo CD Player " +
                                              kProductVersion +
                                              "\"\n"
                                              "CATALOG 0724384960650\n"
                                              "PERFORMER \"The Band\"\n"
                                              "TITLE \"Say “Hi” there\"\n"
                                              "FILE \"00 Hidden track.flac\" WAVE\n"
                                              "  TRACK 01 AUDIO\n"
                                              "    TITLE \"Song 1\"\n"
                                              "    PERFORMER \"The Band\"\n"
                                              "    FLAGS DCP\n"
                                              "    ISRC GBAYE6900001\n"
                                              "    INDEX 00 00:00:00");
    EXPECT_EQ(
        ReadBack(sheet, {300, 300, 150, 225, 150, 120}),
        (kArchiveIndexes + QStringList{"/rip/00 Hidden track.flac WAVE", "/rip/01 Song.flac WAVE",
                                       "/rip/02 Song.flac WAVE", "/rip/03 Song.flac WAVE",
                                       "/rip/04 Song.flac WAVE", "/rip/05 Song.flac WAVE"}));
    // Without the hidden track's file, silence keeps track 1 in its place.
    QStringList withoutHidden = kArchiveIndexes;
    withoutHidden[1].replace(0, 1, "+300");
    EXPECT_EQ(
        ReadBack(TrackFilesCueSheet(disc, TrackFiles(false)), {300, 150, 225, 150, 120}).mid(0, 6),
        withoutHidden);
}

TEST(CueSheet, AWholeDiscImageHasEveryIndexAtItsPlace) {
    const QString sheet =
        DiscImageCueSheet(ArchiveDisc(), "The Band - Say.wav", 0, TrackFiles(false));
    EXPECT_EQ(ReadBack(sheet, {1245}),
              kArchiveIndexes + QStringList{"/rip/The Band - Say.wav WAVE"});
    EXPECT_EQ(sheet.count("FILE "), 1);
    EXPECT_EQ(CueFileType("a.MP3") + CueFileType("b.wma"), "MP3WAVE");
}

TEST(Playlist, ListsEveryFileWithItsLengthAndNames) {
    EXPECT_EQ(M3u8Playlist({{"01 Intro.mp3", 62, "Ann", "Intro"},
                            {"#2 Hit.mp3", 181, "", "Hit\nSingle"},
                            {"Ann/03.mp3", -1, "", ""}}),
              "#EXTM3U\n"
              "#EXTINF:62,Ann - Intro\n01 Intro.mp3\n"
              "#EXTINF:181,Hit Single\n./#2 Hit.mp3\n"
              "#EXTINF:-1,03\nAnn/03.mp3\n");
}

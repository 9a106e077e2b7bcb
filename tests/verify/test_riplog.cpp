// The rip log's summary table and its closing SHA-256 line.

#include "verify/riplog.h"

#include <QCryptographicHash>
#include <gtest/gtest.h>

// Every ticked track has a row; one that was not ripped is never accurate, whatever its sums.
TEST(RipLog, SummarisesEveryTickedTrackAndSealsTheText) {
    using Result = TrackVerdict::Result;
    RipLogFacts facts;
    facts.start = QDateTime(QDate(2025, 3, 1), QTime(14, 5, 9));
    facts.toc = {1, {{0, true}, {20000, true}, {30000, true}}, 40000, 40000};
    facts.titles.album = QStringLiteral("Überall");
    facts.tracks = {
        {1, "01.wav", "ripped", {}, 0, 0, TrackSums{0xdeadbeef, 0x1a, 0x2b, 0}, {}},
        {2, "02.wav", "ripped", {}, 0, 0, TrackSums{1, 2, 3, 0}, {Result::Accurate, 12}},
        {3,
         "none",
         "write failed",
         "No space left on device",
         0,
         0,
         TrackSums{4, 5, 6, 0},
         {Result::Accurate, 12}}};
    facts.stopped = true;
    facts.folderNotes = {"removed .TRACK1.mivo-0123456789abcdef.WAV, left by a Mivo that ended"};
    const QString text = RipLogText(facts);
    EXPECT_TRUE(text.contains("\nClean-up: removed .TRACK1.mivo-0123456789abcdef.WAV, left by a "
                              "Mivo that ended\n\n"));
    const QStringList lines = text.split('\n');
    EXPECT_EQ(lines.mid(lines.indexOf("Summary") + 2, 5),
              QStringList({"1               DEADBEEF        0000001A        0000002B        "
                           "not checked",
                           "2               00000001        00000002        00000003        "
                           "accurate (confidence 12)",
                           "3               00000004        00000005        00000006        "
                           "write failed",
                           "1 of 3 tracks accurate", "The job was stopped before its end."}));
    EXPECT_TRUE(text.contains("Track 3\nFile: none\nOutcome: write failed (No space left on "
                              "device)\n"));
    EXPECT_TRUE(text.contains("Result: write failed\n"));
    const qsizetype seal = text.lastIndexOf("SHA-256: ");
    const QByteArray hash =
        QCryptographicHash::hash(text.left(seal).toUtf8(), QCryptographicHash::Sha256);
    EXPECT_EQ(text.mid(seal), "SHA-256: " + hash.toHex() + '\n');
    EXPECT_EQ(RipLogFileName(facts.start), "Mivo rip 2025-03-01 14-05-09.log");
    EXPECT_EQ(RipLogFileName(facts.start, 2), "Mivo rip 2025-03-01 14-05-09 (2).log");
}

#pragma once

// The text of the log a rip job leaves beside its files: how the disc was read, what it is,
// and for each track its checksums and what the AccurateRip database says of them. The last
// line holds the SHA-256 of everything before it, so a changed log can be told.

#include "common/discsubcode.h"
#include "common/disctoc.h"
#include "verify/dbar.h"
#include "verify/trackchecksums.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// One ticked track: how its work ended, what was read, and the database's word on it. A track
// that was not ripped is judged by its outcome alone, whatever its checksums say.
struct RipLogTrack {
    int number = 0;
    QString fileName;                           // "none" when no file was kept
    QString outcome = QStringLiteral("ripped"); // "ripped", "read failed", …
    QString reason;                             // why it was not ripped
    int readErrors = 0;
    int patchedSectors = 0;
    std::optional<TrackSums> sums; // when the whole track was read
    TrackVerdict verdict;
    // Each read's CRC32 in order when the track was read more than once; the file holds the
    // last, of which the sums are.
    std::vector<quint32> readCrcs;
    QStringList notes; // what was measured and written beside the audio: "ReplayGain: …"

    bool ripped() const { return outcome == QLatin1String("ripped"); }
    // The verdict for a ripped track, else its outcome: "accurate (confidence 3)", "read failed".
    QString result() const;
};

struct RipLogFacts {
    QDateTime start; // the job's start
    struct {
        QString name;
        QString vendor;
        QString model;
        bool paranoia = true;
        bool mostCareful = false; // paranoia never patches over a sector
        bool readTwice = false;   // each track read until two reads agree
        int readOffset = 0;       // in samples
    } drive;
    QString ripAgainOf; // the log of the job whose tracks this one rips again
    DiscToc toc;
    std::optional<DiscSubcode> subcode; // index points, codes and flags, when the drive told them
    QString outputFormat;               // "WAV", "MP3 192 kbps", …
    QString encoderCommand;             // empty when no encoder program runs
    QStringList folderNotes; // what the clean-up of the output folder removed or left alone
    QStringList outputNotes; // the album's gain, the cover, the sheet and playlist written
    struct {                 // where the titles came from; any field may be empty
        QString album;
        QString artist;
        QString source; // "MusicBrainz", "gnudb", "CD-TEXT", …
        QString musicBrainzReleaseId;
        QStringList lookupNotes; // what each source answered
    } titles;
    QList<RipLogTrack> tracks; // every ticked one, in order
    bool stopped = false;
};

QString RipLogText(const RipLogFacts& facts);

// The line that closes the log's summary, for the completion box too: "All tracks accurate",
// "2 of 3 tracks accurate" (of the ticked tracks: one that was not ripped is not accurate), or,
// when every track was ripped, why none was checked ("None checked with AccurateRip: no
// connection").
QString VerificationSummary(const QList<RipLogTrack>& tracks);

// "Mivo rip 2025-03-01 14-05-09.log", from the job's start in local time; the copy-th log of that
// second is "Mivo rip 2025-03-01 14-05-09 (2).log" and so on.
QString RipLogFileName(const QDateTime& start, int copy = 1);

#pragma once

// How the work on one ticked track ended, decided once, where that work ends. It is the only
// source of what the rip says about the track: the count in the completion box, the rip log's
// line, the verification summary and "Rip again".

#include <QString>

struct TrackOutcome {
    enum class Kind {
        Ripped,        // the whole track is in its file
        StoppedShort,  // the user's Stop ended it; a shorter valid file may be kept
        ReadFailed,    // the drive, or the spooled audio, could not give the whole track
        WriteFailed,   // its file could not be written or named
        EncoderFailed, // the encoder failed, or made a file that is not what it should be
        NotStarted,    // Stop came before any work on its file
        Unstable,      // read again and again, no two reads of it agreed
    };

    Kind kind = Kind::NotStarted;
    QString reason; // why it is not ripped, as the log says it; empty when ripped
    QString file;   // the file under its final name; empty when none was kept

    static TrackOutcome Of(Kind kind, QString reason = {}) { return {kind, std::move(reason), {}}; }

    bool ripped() const { return kind == Kind::Ripped; }
    // Ripped or stopped short: the file written may take its final name.
    bool keepsFile() const { return kind == Kind::Ripped || kind == Kind::StoppedShort; }
};

// "ripped", "stopped short", "read failed", "write failed", "encoder failed", "not started",
// "unstable".
QString OutcomeText(TrackOutcome::Kind kind);
// The text with its reason: "read failed: No CD in drive".
QString OutcomeWithReason(const TrackOutcome& outcome);

// What writing a track's file gave: its outcome, and how many samples per channel the writer
// was given (what the file must hold).
struct WrittenTrack {
    TrackOutcome outcome;
    qint64 samples = 0;
};

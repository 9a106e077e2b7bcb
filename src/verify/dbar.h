#pragma once

// The AccurateRip database's answer for a disc (its dBAR file) and the verdict on one track.

#include "verify/discids.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// One submitted rip of the disc: per track its confidence (how many rips agreed), its
// checksum (v1 or v2) and its frame-450 checksum.
struct DbarResponse {
    struct Track {
        quint8 confidence = 0;
        quint32 checksum = 0;
        quint32 frame450 = 0;
    };

    quint32 id1 = 0;
    quint32 id2 = 0;
    quint32 id3 = 0;
    QList<Track> tracks;
};

// What fetching the disc's dBAR file gave.
struct DbarLookup {
    enum class Status { Found, NotInDatabase, NotChecked };

    Status status = Status::NotChecked;
    QList<DbarResponse> responses; // when found
    QString reason;                // when not checked: "no connection", "answer too large", …
};

struct TrackVerdict {
    enum class Result { Accurate, Mismatch, NotInDatabase, NotChecked };

    Result result = Result::NotChecked;
    int confidence = 0; // when accurate: the sum over the responses that match
    QString reason;     // when not checked
};

// The responses of a dBAR file, or none when the body is not one: empty, HTML, a response
// without tracks, or a length that is not a whole number of responses.
std::optional<QList<DbarResponse>> ParseDbar(const QByteArray& body);

// The database keeps a track's entry at its position on the disc: entry counts the disc's
// tracks from 0, data tracks included (a mixed-mode disc's data track keeps entry 0, and its
// last audio track has none). Responses for other disc ids are ignored, and so are
// placeholders (checksum 0, confidence 0: a data track, or one too short to count): they never
// match and never make a mismatch. A track with no entry left is not in the database.
TrackVerdict JudgeTrack(const QList<DbarResponse>& responses, const AccurateRipIds& disc, int entry,
                        quint32 v1, quint32 v2);

// The verdict with what the lookup gave: not in database and not checked pass through.
TrackVerdict JudgeTrack(const DbarLookup& lookup, const AccurateRipIds& disc, int entry, quint32 v1,
                        quint32 v2);

// The track's entry in each response for the disc that holds one, placeholders left out.
QList<DbarResponse::Track> DbarEntries(const QList<DbarResponse>& responses,
                                       const AccurateRipIds& disc, int entry);

// "accurate (confidence 12)", "mismatch", "not in database", "not checked".
QString VerdictText(const TrackVerdict& verdict);

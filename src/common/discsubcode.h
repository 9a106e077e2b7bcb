#pragma once

// What a disc says about its tracks beside the table of contents, in its subcode: where each
// track's pregap (INDEX 00) and its audio (INDEX 01) start, its ISRC and its flags, and the
// disc's catalog number (MCN). Read once per disc, for the cue sheet, the tags and the rip log.

#include <QList>
#include <QRegularExpression>
#include <QStringList>
#include <QtGlobal>

#include <optional>

struct DiscSubcode {
    struct Track {
        // Where the track's pregap starts on the disc (an LSN), when it has one and it is known.
        // The first track's pregap is the disc's start when its INDEX 01 lies after sector 0.
        std::optional<qint32> pregap;
        qint32 start = 0; // INDEX 01, as the table of contents gives it
        QString isrc;     // empty when the track has none
        bool preEmphasis = false;
        bool copyPermitted = false;
        bool fourChannels = false;
    };

    QList<Track> tracks; // in disc order, as DiscToc::tracks, data tracks included
    QString mcn;         // the catalog number (EAN/UPC); empty when the disc has none
    // False when the drive cannot tell where pregaps start: they are then not detected (the
    // pregap audio is still read, as the end of the track before).
    bool pregapsDetected = true;
    // The audio before the first track's INDEX 01 (the hidden track, BASS_CD_TRACK_HIDDEN) is
    // more than digital silence.
    bool hiddenAudio = false;
    // What the disc or its sheet gave but was left out, and why, one line each for the rip log.
    QStringList notes;
};

// An ISRC: two letters (the country), three letters or digits (the registrant), two digits (the
// year) and five (the recording), twelve characters without hyphens.
inline bool IsIsrc(const QString& text) {
    static const QRegularExpression isrc(QStringLiteral("^[A-Z]{2}[A-Z0-9]{3}[0-9]{7}$"));
    return isrc.match(text).hasMatch();
}

// A catalog number: 13 digits, the EAN (or a UPC with a leading 0). Drives answer all zeros for
// a disc without one.
inline bool IsMcn(const QString& text) {
    static const QRegularExpression mcn(QStringLiteral("^[0-9]{13}$"));
    return mcn.match(text).hasMatch() && text != QStringLiteral("0000000000000");
}

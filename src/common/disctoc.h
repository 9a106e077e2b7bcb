#pragma once

// A disc's table of contents as the disc ids and the rip log need it, as the drive reports it.
// Sector numbers are LSNs (the LBA is 150 more); track 1 starts at 0 on most discs, at 32 or 33
// on many, and further on when a hidden track lies before it.

#include <QList>
#include <QtGlobal>

#include <algorithm>

struct DiscToc {
    struct Track {
        qint32 lsn = 0;
        bool audio = true;
    };

    int firstTrack = 1;      // the number of tracks[0]
    QList<Track> tracks;     // in disc order, data tracks included
    qint32 leadOut = 0;      // the disc's lead-out: after the data track of an enhanced CD
    qint32 audioLeadOut = 0; // the audio session's lead-out; equal to leadOut on a plain CD
};

inline constexpr qint32 kLbaOfLsn0 = 150;
inline constexpr int kSamplesPerSector = 588;
inline constexpr int kSectorsPerSecond = 75;

// The sector after the track's last one: the next track's start, the lead-out, or, for the last
// audio track of an enhanced CD, the audio session's lead-out.
inline qint32 TrackEnd(const DiscToc& toc, qsizetype index) {
    const qint32 next = index + 1 < toc.tracks.size() ? toc.tracks[index + 1].lsn : toc.leadOut;
    return toc.tracks[index].audio ? std::min(next, toc.audioLeadOut) : next;
}

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

    bool isAudio(qsizetype index) const {
        return index >= 0 && index < tracks.size() && tracks[index].audio;
    }
    // The positions of the audio tracks, in disc order.
    QList<int> audioTracks() const {
        QList<int> audio;
        for (int i = 0; i < tracks.size(); ++i)
            if (tracks[i].audio)
                audio.append(i);
        return audio;
    }
    // The first and the last audio track's position; -1 on a disc without audio.
    int firstAudio() const {
        const QList<int> audio = audioTracks();
        return audio.isEmpty() ? -1 : audio.front();
    }
    int lastAudio() const {
        const QList<int> audio = audioTracks();
        return audio.isEmpty() ? -1 : audio.back();
    }
};

// One track of the disc as the rip knows it: its position in the table of contents, which the
// drive's streams count from 0, and the number the disc gives it, which is what the user reads.
// A disc may start at another number than 1, so the number is taken from the table, here only.
struct DiscTrack {
    int index = 0;
    int number = 1;

    // Index -1 is the audio hidden before the first track, shown as track 0.
    static DiscTrack At(const DiscToc& toc, int index) {
        return {index, index < 0 ? 0 : toc.firstTrack + index};
    }
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

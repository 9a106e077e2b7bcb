#pragma once

// The disc's and each track's title and performer from a CD-TEXT block: "KEYn=value" entries
// laid end to end up to an empty one, n being 0 for the disc and 1.. for its tracks.

#include <QList>
#include <QString>

#include <variant>

struct TrackTitles {
    QString title;
    QString performer;
};

struct DiscTitles {
    QString title;
    QString performer;
    QList<TrackTitles> tracks; // one per track of the disc: tracks[i] is entry number i + 1
};

// Why a block was not understood: the error number and text of the routine error box.
struct CdTextFailure {
    int number;
    QString description;
};

std::variant<DiscTitles, CdTextFailure> ParseCdText(const char* block, int trackCount);

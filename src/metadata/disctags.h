#pragma once

// What a rip names and tags its files with: the release the user chose (or the disc's CD-TEXT),
// with the track titles as the user edited them, and the disc's ids. tracks[i] belongs to the
// disc's track i + 1.

#include "metadata/releaseinfo.h"

#include <QStringList>

struct DiscTags {
    ReleaseInfo release; // source None when nothing is known about the disc
    QString musicBrainzDiscId;
    QString freedbId;        // 8 hex digits
    QStringList lookupSteps; // where the titles came from, in words, for the rip log
};

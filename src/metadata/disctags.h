#pragma once

// What a rip names and tags its files with: the release the user chose (or the disc's CD-TEXT),
// with the titles, artist and album as the window showed them when the rip started, and the
// disc's ids. tracks[i] belongs to the disc's track i + 1.

#include "metadata/coverimage.h"
#include "metadata/releaseinfo.h"

#include <QStringList>

struct DiscTags {
    ReleaseInfo release; // source None when no database or CD-TEXT gave the titles
    QString musicBrainzDiscId;
    QString freedbId;        // 8 hex digits
    QStringList lookupSteps; // where the titles came from, in words, for the rip log
    // Where the titles shown came from, as the Tracks panel says it: "MusicBrainz",
    // "CD-TEXT, typed", "typed"; empty when nothing is known.
    QString titlesFrom;
    // The online lookup had not answered when the rip started: its files are named and tagged
    // from what was known then.
    bool lookupPending = false;

    // The disc's front cover, to embed and to save beside the files; null when there is none.
    CoverImage cover;
    // Where the cover came from, or why there is none, for the rip log ("cover: …").
    QStringList coverNotes;

    // The disc's own codes, once read from it: its catalog number (the EAN/UPC barcode) and
    // each track's ISRC, by track (empty where a track has none); and the title of the hidden
    // track (track 0) when the track list offers it.
    QString mcn;
    QStringList isrcs;
    QString hiddenTrackTitle;
};

// Whether any title, artist, album, year or genre is known, typed ones included: the files
// are tagged with what is.
bool KnowsAnything(const DiscTags& tags);

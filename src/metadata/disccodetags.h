#pragma once

// The codes of a disc in its tracks' tags: the track's ISRC, and the disc's catalog number.
// The catalog number a disc carries (its MCN) is the EAN/UPC printed under its barcode, so it goes
// where taggers and MusicBrainz keep the barcode (BARCODE); CATALOGNUMBER is the label's own
// number for the release ("CDP 7 46208 2"), which no disc carries: it comes from the release.
// Vorbis comments ISRC, BARCODE, CATALOGNUMBER; ID3v2 TSRC and TXXX:BARCODE,
// TXXX:CATALOGNUMBER; WMA WM/ISRC, WM/Barcode, WM/CatalogNo.

#include "metadata/disctags.h"
#include "metadata/tagwriter.h"

#include <QByteArray>
#include <QList>

#include <taglib/tpropertymap.h>

#include <utility>

// Fills the codes of the track at that position on the disc: its ISRC, the disc's MCN as the
// barcode (the release's barcode when the disc has none) and the release's catalog number.
void AddDiscCodes(TrackTags& tags, const DiscTags& disc, int track);

// The codes as tag properties, which TagLib names for each format (ISRC is TSRC in ID3v2).
void PutDiscCodes(TagLib::PropertyMap& map, const TrackTags& tags);

// The codes as WMA tags, name and text, for BASS_WMA_EncodeSetTag before the audio.
QList<std::pair<QByteArray, QByteArray>> WmaDiscCodeTags(const TrackTags& tags);

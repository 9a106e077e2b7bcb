#pragma once

// What a ripped track's file is named and tagged with, from what is known about the disc.

#include "common/disctoc.h"
#include "metadata/disctags.h"
#include "metadata/tagwriter.h"
#include "metadata/trackfilename.h"

#include <cstddef>
#include <map>
#include <vector>

// trackTotal: the disc's audio tracks.
TrackTags TagsOfTrack(const DiscTags& disc, const DiscTrack& track, int trackTotal);
TrackNameFields NameFieldsOfTrack(const DiscTags& disc, const DiscTrack& track);

// The name (without extension) each of the tracks' files takes by the user's pattern, by library
// track; two tracks of a job never get the same name, the first in the given order keeping it.
// Empty names (no pattern) stand for TRACKn. format: what {format} makes ("FLAC").
std::map<int, QString> NameTrackFiles(const QString& pattern, const DiscTags& disc,
                                      const DiscToc& toc, const std::vector<int>& tracks,
                                      const QString& format = {});

// What a WMA tag box that still holds its label word writes: the disc's value for that field,
// or nothing when it is not known.
QString DiscValueOfWmaBox(const DiscTags& disc, int lTrack, std::size_t box);

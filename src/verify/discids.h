#pragma once

// The ids that name a disc in the AccurateRip, freedb and MusicBrainz databases, all computed
// from the table of contents alone.

#include "common/disctoc.h"

#include <QString>

struct AccurateRipIds {
    int audioTracks = 0;
    quint32 id1 = 0;
    quint32 id2 = 0;
    quint32 id3 = 0; // the freedb id

    bool operator==(const AccurateRipIds&) const = default;
};

AccurateRipIds AccurateRipDiscIds(const DiscToc& toc);

// "accuraterip/c/0/0/dBAR-003-0008100c-001ac008-190dcc03.bin", relative to the server's base.
QString AccurateRipPath(const AccurateRipIds& ids);

// "003-0008100c-001ac008-190dcc03", as the rip log shows it.
QString AccurateRipDisplayId(const AccurateRipIds& ids);

quint32 FreedbId(const DiscToc& toc);

// "370fce16"
QString FreedbIdText(const DiscToc& toc);

// The 28-character MusicBrainz disc id, e.g. "xUp1F2NkfP8s8jaeFn_Av3jNEI4-".
QString MusicBrainzDiscId(const DiscToc& toc);

// The toc parameter of a MusicBrainz lookup by table of contents: "1+22+303602+150+9700+…",
// the first and last audio track, the audio session's lead-out, then each track's start (LBA).
QString MusicBrainzToc(const DiscToc& toc);

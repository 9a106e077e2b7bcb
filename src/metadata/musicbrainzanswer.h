#pragma once

// The releases in a MusicBrainz disc lookup answer (JSON). An answer that is not JSON, or a
// release without a medium for this disc, gives nothing rather than a guess.

#include "metadata/releaseinfo.h"

#include <QByteArray>

// The answer to a lookup by disc id: each release with the medium that carries this disc id.
QList<ReleaseInfo> ParseMusicBrainzDiscAnswer(const QByteArray& json, const QString& discId);

// The answer to a lookup by durations (the toc parameter): each release with a medium of this
// many tracks, marked as a guess.
QList<ReleaseInfo> ParseMusicBrainzTocAnswer(const QByteArray& json, int trackCount);

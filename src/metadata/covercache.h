#pragma once

// The disc's cover kept with its lookup answer in the cache folder: the image file beside the
// disc's entry ("<disc id>.cover.jpg"), and in the entry where it came from, so a disc seen once
// shows its cover without the network, and an image the user chose for a disc the archive does
// not know stays that disc's.

#include "metadata/coverimage.h"

#include <optional>

enum class CoverOrigin { Archive, User };

struct StoredCover {
    QString path; // the image file
    CoverOrigin origin = CoverOrigin::Archive;
    QString releaseId; // the release whose archive cover it is
};

bool StoreCover(const QString& discId, const CoverImage& cover, CoverOrigin origin,
                const QString& releaseId = {});
// Nothing when none was stored or its file is gone; the image is checked by whoever reads it.
std::optional<StoredCover> StoredCoverOf(const QString& discId);

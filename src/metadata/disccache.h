#pragma once

// What the databases said about each disc, kept so a disc seen once needs no network again,
// with the release the user chose for it. One JSON file per disc id in the user's cache folder
// ($XDG_CACHE_HOME/mivo, else ~/.cache/mivo). A cache that cannot be read or written is as if
// empty: the lookup goes online instead.

#include "metadata/releaseinfo.h"

#include <QJsonValue>

#include <optional>

QString DiscCacheFolder();

// Nothing when the disc was never stored or its file is broken.
std::optional<QList<ReleaseInfo>> CachedReleases(const QString& discId);
bool StoreReleases(const QString& discId, const QList<ReleaseInfo>& releases);

// releaseIndex: the position in the stored releases, or -1 when the user chose none of them.
bool RememberChoice(const QString& discId, int releaseIndex);
std::optional<int> RememberedChoice(const QString& discId);

// One more value kept for the disc beside its releases (the others stay); undefined when none.
bool StoreDiscValue(const QString& discId, const QString& name, const QJsonValue& value);
QJsonValue DiscValue(const QString& discId, const QString& name);
// A file of the disc's own in the cache folder ("<disc id><suffix>"); empty for an id that
// cannot name a file.
QString DiscCachePath(const QString& discId, const QString& suffix);

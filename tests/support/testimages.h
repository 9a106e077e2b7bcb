#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

// Folder of the disc images generated for the tests by tools/discgen
// (MIVO_TEST_IMAGES, set by the test runner; the build's testdiscs/ otherwise).
QString TestImagesFolder();
QString TestImage(const QString& name);

// Each track's audio as the image's bin holds it, by the generator's manifest
// ("<n> AUDIO|DATA <first sector> <sectors>"); empty for a data track.
std::vector<QByteArray> TrackAudio(const QString& manifest, const QString& bin);

// A copy in folder of a cdrdao TOC image whose FILE names its bin by its full path: libcdio's
// TOC reader finds a FILE relative to the program's current folder. Empty when it cannot be made.
QString TocWithFullPaths(const QString& folder, const QString& toc, const QString& bin);

// length bytes of a disc's audio from byte from on, silence where that lies off the audio (what
// a read offset makes a drive read at the disc's edges).
QByteArray AudioAt(const QByteArray& audio, qint64 from, qint64 length);

#include "support/testimages.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <cstring>

QString TestImagesFolder() {
    const QString fromEnv = qEnvironmentVariable("MIVO_TEST_IMAGES");
    if (!fromEnv.isEmpty())
        return fromEnv;
    return QDir(QCoreApplication::applicationDirPath() + "/../testdiscs").absolutePath();
}

QString TestImage(const QString& name) {
    return TestImagesFolder() + "/" + name;
}

std::vector<QByteArray> TrackAudio(const QString& manifest, const QString& bin) {
    QFile list(TestImage(manifest)), audio(TestImage(bin));
    std::vector<QByteArray> tracks;
    if (!list.open(QIODevice::ReadOnly | QIODevice::Text) || !audio.open(QIODevice::ReadOnly))
        return tracks;
    const QByteArray all = audio.readAll();
    for (const QByteArray& line : list.readAll().split('\n'))
        if (const QList<QByteArray> f = line.simplified().split(' '); f.size() == 4)
            tracks.push_back(f[1] != "AUDIO"
                                 ? QByteArray()
                                 : all.mid(f[2].toLongLong() * 2352, f[3].toLongLong() * 2352));
    return tracks;
}

QByteArray AudioAt(const QByteArray& audio, qint64 from, qint64 length) {
    QByteArray bytes(length, '\0');
    const qint64 first = std::max<qint64>(from, 0);
    const qint64 end = std::min<qint64>(from + length, audio.size());
    if (first < end)
        std::memcpy(bytes.data() + (first - from), audio.constData() + first, end - first);
    return bytes;
}

QString TocWithFullPaths(const QString& folder, const QString& toc, const QString& bin) {
    QFile sheet(TestImage(toc)), copy(folder + "/" + toc);
    if (!sheet.open(QIODevice::ReadOnly) || !copy.open(QIODevice::WriteOnly))
        return {};
    const QByteArray text =
        sheet.readAll().replace('"' + bin.toUtf8() + '"', '"' + TestImage(bin).toUtf8() + '"');
    return copy.write(text) == text.size() ? copy.fileName() : QString();
}

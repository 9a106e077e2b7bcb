#include "support/encodedfiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

namespace {

QString WriteWav(const QString& folder) {
    const QString path = QDir(folder).filePath("silence.wav");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(QByteArray::fromHex("52494646f489000057415645666d7420100000000100020044ac0000"
                                   "10b102000400100064617461d0890000") +
               QByteArray(35280, 0));
    return path;
}

QStringList Command(const QString& extension, const QString& wav, const QString& path,
                    const QString& comment) {
    const bool commented = !comment.isEmpty();
    if (extension == "mp3")
        return QStringList{"lame", "--quiet"} +
               (commented ? QStringList{"--tc", comment} : QStringList()) + QStringList{wav, path};
    if (extension == "ogg")
        return QStringList{"oggenc", "--quiet"} +
               (commented ? QStringList{"-c", "COMMENT=" + comment} : QStringList()) +
               QStringList{wav, "-o" + path};
    if (extension == "flac")
        return QStringList{"flac", "--silent"} +
               (commented ? QStringList{"-T", "COMMENT=" + comment} : QStringList()) +
               QStringList{wav, "-o" + path};
    return QStringList{"ffmpeg", "-loglevel", "error", "-y", "-i", wav, "-c:a", "wmav2"} +
           (commented ? QStringList{"-metadata", "comment=" + comment} : QStringList()) +
           QStringList{path};
}

} // namespace

QString EncodedSilence(const QString& folder, const QString& extension, const QString& comment) {
    const QString path = QDir(folder).filePath("track." + extension);
    const QStringList command = Command(extension, WriteWav(folder), path, comment);
    if (QStandardPaths::findExecutable(command[0]).isEmpty() ||
        QProcess::execute(command[0], command.mid(1)) != 0)
        return {};
    return path;
}

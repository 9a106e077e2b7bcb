#include "rip/stagedfile.h"

#include "rip/ripspool.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

namespace {
// ".TRACK4.mivo-1234.WAV" for "TRACK4.WAV" written by process 1234.
const QString kMarker = QStringLiteral(".mivo-");

bool ProcessRuns(qint64 pid) {
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

// The data, then the folder entry, reach the disk before the caller goes on.
bool Sync(const QString& path, int flags) {
    const int fd = ::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}
} // namespace

StagedFile::StagedFile(QString finalPath)
    : m_finalPath(std::move(finalPath)), m_path(PathWhileWriting(m_finalPath)) {}

QString StagedFile::PathWhileWriting(const QString& finalPath) {
    const QFileInfo final(finalPath);
    const QString suffix = final.suffix().isEmpty() ? QString() : "." + final.suffix();
    return final.dir().filePath("." + final.completeBaseName() + kMarker +
                                QString::number(::getpid()) + suffix);
}

StagedFile::~StagedFile() {
    if (!m_final)
        QFile::remove(m_path);
}

bool StagedFile::makeFinal() {
    if (!Sync(m_path, O_RDONLY))
        return false;
    if (std::rename(QFile::encodeName(m_path).constData(),
                    QFile::encodeName(m_finalPath).constData()) != 0)
        return false;
    m_final = true;
    Sync(QFileInfo(m_finalPath).absolutePath(), O_RDONLY | O_DIRECTORY);
    return true;
}

void StagedFile::RemoveLeftovers(const QString& folder) {
    static const QRegularExpression hidden(QStringLiteral(R"(^\..+\.mivo-(\d+)(\.[^.]*)?$)"));
    const QDir dir(folder);
    const QStringList names = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        const QRegularExpressionMatch match = hidden.match(name);
        if (match.hasMatch() && !ProcessRuns(match.captured(1).toLongLong()))
            QFile::remove(dir.filePath(name));
    }
    qint64 pid = 0;
    for (const QString& name : dir.entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot))
        if (RipSpool::IsSpoolName(name, pid) && !ProcessRuns(pid))
            QDir(dir.filePath(name)).removeRecursively();
}

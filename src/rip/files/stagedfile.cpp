#include "rip/files/stagedfile.h"

#include "rip/files/leftovers.h"
#include "rip/files/ripnames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {
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
    return final.dir().filePath(HiddenNameWhileWriting(final.fileName()));
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

QStringList StagedFile::RemoveLeftovers(const QString& folder, int folderLevels) {
    return SweepLeftovers(folder, folderLevels);
}

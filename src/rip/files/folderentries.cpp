#include "rip/files/folderentries.h"

#include <QFile>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
} // namespace

Descriptor::~Descriptor() {
    if (m_fd >= 0)
        ::close(m_fd);
}

Descriptor OpenFolder(const QString& path) {
    return Descriptor(::open(QFile::encodeName(path).constData(), kFolderFlags));
}

Descriptor OpenFolderAt(int parent, const QString& name) {
    return Descriptor(
        ::openat(parent, QFile::encodeName(name).constData(), kFolderFlags | O_NOFOLLOW));
}

EntryKind KindAt(int parent, const QString& name) {
    struct stat entry {};
    if (::fstatat(parent, QFile::encodeName(name).constData(), &entry, AT_SYMLINK_NOFOLLOW) != 0)
        return EntryKind::Missing;
    if (S_ISLNK(entry.st_mode))
        return EntryKind::Link;
    if (S_ISDIR(entry.st_mode))
        return EntryKind::Folder;
    return S_ISREG(entry.st_mode) ? EntryKind::File : EntryKind::Other;
}

QStringList NamesIn(int folder) {
    QStringList names;
    const int own = ::dup(folder); // closedir closes it; the caller's stays open
    DIR* dir = own < 0 ? nullptr : ::fdopendir(own);
    if (dir == nullptr) {
        if (own >= 0)
            ::close(own);
        return names;
    }
    ::rewinddir(dir);
    while (const dirent* entry = ::readdir(dir)) {
        const QString name = QFile::decodeName(entry->d_name);
        if (name != QLatin1String(".") && name != QLatin1String(".."))
            names << name;
    }
    ::closedir(dir);
    return names;
}

bool RemoveFileAt(int parent, const QString& name) {
    return ::unlinkat(parent, QFile::encodeName(name).constData(), 0) == 0;
}

LockTry TryLock(int fd) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
        return LockTry::Taken;
    switch (errno) {
    case EWOULDBLOCK:
        return LockTry::Held;
    case ENOLCK:
    case EOPNOTSUPP:
    case ENOSYS:
        return LockTry::NoLocks;
    default:
        return LockTry::Failed;
    }
}

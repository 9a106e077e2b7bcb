#include "rip/files/ripspool.h"

#include "rip/files/ripnames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {
constexpr int kAttempts = 5;

// A clean-up that took the lock before this job did has removed the file since.
bool StillThere(int fd) {
    struct stat held {};
    return ::fstat(fd, &held) == 0 && held.st_nlink > 0;
}
} // namespace

RipSpool::RipSpool(const QString& outputFolder)
    : m_outputFolder(outputFolder), m_name(SpoolFolderName()) {
    make();
}

// The lock is taken on a file already in the folder; another player's clean-up that took it
// first and removed the folder meanwhile makes this try again.
bool RipSpool::make() {
    const QString folder = QDir(m_outputFolder).filePath(m_name);
    const QByteArray lockPath = QFile::encodeName(QDir(folder).filePath(LockName()));
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        ::mkdir(QFile::encodeName(folder).constData(), 0777);
        Descriptor lock(
            ::open(lockPath.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666));
        if (!lock)
            return false;
        const LockTry taken = TryLock(lock.get());
        if (taken == LockTry::Held) { // by a clean-up, for a moment
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            continue;
        }
        if (taken == LockTry::Taken && !StillThere(lock.get()))
            continue;
        m_lock = std::move(lock); // without locks on this file system, others leave it alone
        return true;
    }
    return false;
}

RipSpool::~RipSpool() {
    const Descriptor output = OpenFolder(m_outputFolder);
    if (const Descriptor folder = output ? OpenFolderAt(output.get(), m_name) : Descriptor()) {
        QStringList foreign;
        Remove(output.get(), m_name, folder.get(), foreign);
    }
    for (auto made = m_madeFolders.rbegin(); made != m_madeFolders.rend(); ++made)
        ::rmdir(QFile::encodeName(*made).constData()); // only when empty
}

QString RipSpool::trackFile(int number) {
    return QDir(m_outputFolder).filePath(m_name + QStringLiteral("/TRACK%1.wav").arg(number));
}

void RipSpool::makeFolderOf(const QString& file) {
    const QString relative = QDir(m_outputFolder).relativeFilePath(QFileInfo(file).path());
    if (relative.startsWith(QLatin1String(".."))) {
        QDir().mkpath(QFileInfo(file).path());
        return;
    }
    QString level = m_outputFolder;
    for (const QString& part : relative.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        level = QDir(level).filePath(part);
        if (part != QLatin1String(".") && ::mkdir(QFile::encodeName(level).constData(), 0777) == 0)
            m_madeFolders.push_back(level);
    }
}

const QString& RipSpool::LockName() {
    static const QString name = QStringLiteral("lock");
    return name;
}

bool RipSpool::Remove(int parent, const QString& name, int folder, QStringList& foreign) {
    static const QRegularExpression track(QStringLiteral(R"(^TRACK\d+\.wav$)"));
    for (const QString& entry : NamesIn(folder)) {
        if (entry == LockName())
            continue;
        if (track.match(entry).hasMatch() && KindAt(folder, entry) == EntryKind::File)
            RemoveFileAt(folder, entry);
        else
            foreign << entry;
    }
    if (!foreign.isEmpty())
        return false;
    RemoveFileAt(folder, LockName());
    return ::unlinkat(parent, QFile::encodeName(name).constData(), AT_REMOVEDIR) == 0;
}

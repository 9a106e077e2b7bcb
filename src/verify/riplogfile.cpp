#include "verify/riplogfile.h"

#include "verify/riplog.h"

#include <QDir>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {
constexpr int kMostCopies = 1000;

QString SystemError(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}
} // namespace

RipLogFile::RipLogFile(QString folder, QDateTime start)
    : m_folder(std::move(folder)), m_start(std::move(start)) {}

RipLogFile::~RipLogFile() {
    if (m_file.isOpen() && !m_committed)
        QFile::remove(m_path);
}

bool RipLogFile::open(QIODevice::OpenMode mode) {
    Q_ASSERT(mode == QIODevice::WriteOnly);
    for (int copy = 1; copy <= kMostCopies; ++copy) {
        const QString path = QDir(m_folder).filePath(RipLogFileName(m_start, copy));
        const int fd = ::open(QFile::encodeName(path).constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0) {
            m_path = path;
            return m_file.open(fd, mode, QFileDevice::AutoCloseHandle);
        }
        if (errno != EEXIST) {
            m_error = SystemError(errno);
            return false;
        }
    }
    m_error = QStringLiteral("every name for a log of this second is taken");
    return false;
}

qint64 RipLogFile::write(const QByteArray& text) {
    const qint64 written = m_file.write(text);
    if (written != text.size())
        m_error = m_file.errorString();
    return written == text.size() ? written : -1;
}

bool RipLogFile::commit() {
    if (!m_file.flush() || ::fsync(m_file.handle()) != 0) {
        m_error =
            m_file.error() != QFileDevice::NoError ? m_file.errorString() : SystemError(errno);
        return false;
    }
    m_file.close();
    m_committed = true;
    return true;
}

#pragma once

// The file a rip log is written into. Every log keeps a name of its own: when a log of the same
// second is there already (two rips that started together in two windows, a clock set back), it
// is "Mivo rip … (2).log", then " (3)", and the system claims the name for this log alone as it
// creates the file, so no log ever replaces another.

#include <QDateTime>
#include <QFile>
#include <QString>

class RipLogFile {
public:
    RipLogFile(QString folder, QDateTime start);
    RipLogFile(const RipLogFile&) = delete;
    RipLogFile& operator=(const RipLogFile&) = delete;
    ~RipLogFile(); // a log that was not committed is removed

    // Creates the log in the folder under the first free name of its second; mode is
    // QIODevice::WriteOnly, as a log is only written.
    bool open(QIODevice::OpenMode mode);
    qint64 write(const QByteArray& text);
    // Puts everything written on the disk; false when it is not all there.
    bool commit();
    QString errorString() const { return m_error; }
    // The log's path once open (a file opened by its descriptor does not keep it).
    QString fileName() const { return m_path; }

private:
    QString m_folder;
    QDateTime m_start;
    QFile m_file;
    QString m_path;
    QString m_error;
    bool m_committed = false;
};

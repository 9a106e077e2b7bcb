#include "rip/encode/errorlog.h"

#include "common/errorreporting.h"

#include <QDir>
#include <QFile>

namespace {

bool Append(const QString& path, const QString& line) {
    QFile log(path);
    const QByteArray bytes = line.toLocal8Bit();
    return log.open(QIODevice::WriteOnly | QIODevice::Append) && log.write(bytes) == bytes.size();
}

// Only an absolute $XDG_STATE_HOME counts; a relative one would depend on the current folder.
QString StateFolder() {
    const QString state = qEnvironmentVariable("XDG_STATE_HOME");
    return QDir::isAbsolutePath(state) ? state : QDir::homePath() + QStringLiteral("/.local/state");
}

} // namespace

QString ErrorLogLine(const QDateTime& when, int code, const QString& origfile,
                     const QLocale& locale) {
    return when.toString(QStringLiteral("hh:mm:ss")) + ' ' +
           locale.toString(when.date(), QLocale::ShortFormat) + ' ' + BassErrorText(code) + ' ' +
           QString::number(code) + QStringLiteral(" occured when Ostrel tried to play/convert: ") +
           origfile + QStringLiteral("\r\n");
}

bool AppendErrorLog(const QString& appFolder, const QString& line) {
    if (Append(appFolder + QStringLiteral(" Errors.log"), line))
        return true;
    const QString folder = StateFolder() + QStringLiteral("/mivo");
    return QDir().mkpath(folder) && Append(folder + QStringLiteral("/mivo Errors.log"), line);
}

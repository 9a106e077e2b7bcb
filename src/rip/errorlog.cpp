#include "rip/errorlog.h"

#include "common/errorreporting.h"

#include <QFile>

QString ErrorLogLine(const QDateTime& when, int code, const QString& origfile,
                     const QLocale& locale) {
    return when.toString(QStringLiteral("hh:mm:ss")) + ' ' +
           locale.toString(when.date(), QLocale::ShortFormat) + ' ' + BassErrorText(code) + ' ' +
           QString::number(code) + QStringLiteral(" occured when Ostrel tried to play/convert: ") +
           origfile + QStringLiteral("\r\n");
}

bool AppendErrorLog(const QString& appFolder, const QString& line) {
    QFile log(appFolder + QStringLiteral(" Errors.log"));
    return log.open(QIODevice::WriteOnly | QIODevice::Append) &&
           log.write(line.toLocal8Bit()) == line.toLocal8Bit().size();
}

#pragma once

// The conversion error log: the application folder's path followed by " Errors.log", one
// line appended for every conversion after which the library still reported a failure.

#include <QDateTime>
#include <QLocale>
#include <QString>

// "hh:mm:ss <short date> <error text> <code> occured when Ostrel tried to play/convert:
// <origfile>" and CR LF.
QString ErrorLogLine(const QDateTime& when, int code, const QString& origfile,
                     const QLocale& locale = QLocale());

// False when the log cannot be written; the conversion itself is not affected.
bool AppendErrorLog(const QString& appFolder, const QString& line);

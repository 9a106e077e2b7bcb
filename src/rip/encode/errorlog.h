#pragma once

// The conversion error log: the application folder's path followed by " Errors.log", one
// line appended for every conversion after which the library still reported a failure.
// When that file cannot be written (an installed program in a system folder), the log is
// "mivo Errors.log" in the user's state folder: $XDG_STATE_HOME/mivo, else
// ~/.local/state/mivo.

#include <QDateTime>
#include <QLocale>
#include <QString>

// "hh:mm:ss <short date> <error text> <code> occured when Ostrel tried to play/convert:
// <origfile>" and CR LF.
QString ErrorLogLine(const QDateTime& when, int code, const QString& origfile,
                     const QLocale& locale = QLocale());

// False when neither place can be written; the conversion itself is not affected.
bool AppendErrorLog(const QString& appFolder, const QString& line);

#pragma once

#include <QString>

class Dialogs;
class QWidget;

// The routine error box: a procedure's failure handler reports what failed.
void ShowError(Dialogs& dialogs, QWidget* owner, const QString& module, const QString& routine,
               int number, const QString& description);

// The coded error box: a failed audio library call with its error code (-1: no code).
void ShowCodedError(Dialogs& dialogs, QWidget* owner, const QString& message, int code);

// The sentence for an audio library error code; empty for codes it does not know.
QString BassErrorText(int code);

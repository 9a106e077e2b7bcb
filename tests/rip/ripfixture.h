#pragma once

// What the rip tests share: the WAV files read back, and the rip dialog's Stop button.

#include "support/wavfile.h"
#include "support/windowtest.h"

#include <QApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>

// The open rip dialog's Stop button; the question is answered Yes unless told otherwise.
inline void PressRipStop() {
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->objectName() == "frmRipp" && top->isVisible())
            QMetaObject::invokeMethod(top, "cmdStop_Click", Qt::DirectConnection);
}

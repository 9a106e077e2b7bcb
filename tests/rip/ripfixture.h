#pragma once

// What the rip tests share: the window, and the WAV files read back.

#include "support/wavfile.h"
#include "support/windowtest.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>

// The boxes' first lines: a completion box's count without the verification after it.
inline QStringList FirstLines(QStringList texts) {
    for (QString& text : texts)
        text = text.section("\r\n", 0, 0);
    return texts;
}

#pragma once

// What the rip tests share: the window, and the WAV files read back.

#include "support/wavfile.h"
#include "support/windowtest.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>

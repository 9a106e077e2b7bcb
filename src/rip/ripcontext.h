#pragma once

// What an extraction path gets from the rip job that runs it: the library, the drive and the
// output folder, where its boxes go, whether a stop was asked, and what to call after each
// block.

#include "common/audiolibrary.h"
#include "settings/outputchoice.h"

#include <functional>

class Dialogs;
class DriveDoor;
class QWidget;

struct RipContext {
    AudioLibrary bass;
    Dialogs& dialogs;
    DriveDoor& door;   // locked while a track is extracted
    QWidget& window;   // the main window, disabled while a track is extracted
    QWidget* boxOwner; // the rip dialog
    QString appFolder; // where the conversion error log is kept
    DWORD drive;
    const OutputChoice& output; // the folder, and the WMA tags
    const bool& stopRequested;
    std::function<void(DWORD stream)> blockWritten;      // shows progress, lets events run
    std::function<bool(const QString& key)> firstNotice; // true the first time in the job
};

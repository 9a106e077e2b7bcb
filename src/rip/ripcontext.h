#pragma once

// What an extraction or an encoder gets from the rip job that runs it: the library, the drive
// and the output folder, where its boxes go, whether a stop was asked, and where its progress
// goes. It runs on a thread of the job's own: the dialogs given here pass every box to the
// window's thread.

#include "common/audiolibrary.h"
#include "settings/outputchoice.h"

#include <atomic>
#include <functional>

class Dialogs;
class QWidget;
struct DiscTags;
struct TrackReading;

struct RipContext {
    AudioLibrary bass;
    Dialogs& dialogs;
    QWidget* boxOwner; // the rip dialog
    QString appFolder; // where the conversion error log is kept
    DWORD drive;
    const OutputChoice& output; // the folder, and the WMA tags
    const std::atomic<bool>& stopRequested;
    std::function<void(float done)> progress;            // 0 to 1 of the track at hand
    std::function<bool(const QString& key)> firstNotice; // true the first time in the job
    TrackReading* reading = nullptr;                     // the reader's record of the track
    const DiscTags* tags = nullptr;                      // what the disc is, for the WMA tags
};

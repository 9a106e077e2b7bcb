#pragma once

// What an extraction or an encoder gets from the rip job that runs it: the library, the drive
// and the output folder, where its boxes go, the window's pause and stop, and where its
// progress goes. It runs on a thread of the job's own: the dialogs given here pass every box to
// the window's thread.

#include "common/audiolibrary.h"
#include "rip/step/filecloser.h"
#include "rip/step/ripcontrol.h"
#include "settings/outputchoice.h"
#include "settings/outputformats.h"

#include <functional>
#include <map>

class Dialogs;
class DiscWatch;
class LibraryFiles;
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
    const RipControl& control;
    std::function<void(float done)> progress;            // 0 to 1 of the track at hand
    std::function<bool(const QString& key)> firstNotice; // true the first time in the job
    TrackReading* reading = nullptr;                     // the reader's record of the track
    const DiscTags* tags = nullptr;                      // what the disc is, for the WMA tags
    RipPath path = RipPath::Wav;                         // the WMA path has boxes of its own
    FileCloser closeFile = CloseFile;                    // ends the files the program writes
    // The listed disc: nothing more is read once it is lost. None: not watched.
    const DiscWatch* disc = nullptr;
    DWORD readFlags = kDecodeStreamFlags; // the drive's streams: BASS_CD_MOSTCAREFUL, or not
    // By library track: the name (without extension) each track's file takes in the folder.
    const std::map<int, QString>* fileNames = nullptr;
    // The gain, cover and files beside them that make the files ready for a music library.
    LibraryFiles* library = nullptr;

    bool stopRequested() const { return control.stopRequested(); }
    // "ExtractAudioTrackToWMA" on the WMA path, else "ExtractAudioTrack".
    QString routine() const;
};

#pragma once

// What the rip tests share: the window, the WAV files read back, and a rip job run without the
// main window.

#include "common/drivedoor.h"
#include "rip/ripjob.h"
#include "support/wavfile.h"
#include "support/windowtest.h"

#include <QApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>

// The open rip dialog, or null.
inline QWidget* RipDialog() {
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->objectName() == "frmRipp" && top->isVisible())
            return top;
    return nullptr;
}

// The open rip dialog's Stop button; the question is answered Yes unless told otherwise.
inline void PressRipStop() {
    if (QWidget* dialog = RipDialog())
        QMetaObject::invokeMethod(dialog, "cmdStop_Click", Qt::DirectConnection);
}

// The boxes' first lines: a completion box's count without the verification after it.
inline QStringList FirstLines(QStringList texts) {
    for (QString& text : texts)
        text = text.section("\r\n", 0, 0);
    return texts;
}

// One rip job as the rip dialog runs it, without the main window: its boxes recorded, the
// encoders' counts the dialog would show kept, the door a flag.
struct JobRun {
    struct Door : DriveDoor {
        bool isLocked() const override { return locked; }
        void setLocked(bool lock) override { locked = lock; }
        bool locked = false;
    };

    // Rips and returns the count of tracks ripped; lines get what the completion box adds.
    int rip(AudioLibrary bass, RipRequest request) {
        QWidget window;
        QWidget dialog;
        RipJob job({bass, dialogs, door, window, {}, closeFile}, std::move(request), &dialog,
                   {[this](int number) {
                        if (trackStarted)
                            trackStarted(number);
                    },
                    [](float) {}, [this](int left, float) { encodersLeft.push_back(left); },
                    [](const QString&) {}});
        running = &job;
        const int ripped = job.RipTracks();
        running = nullptr;
        lines = job.verificationLines();
        return ripped;
    }

    RecordingDialogs dialogs;
    Door door;
    FileCloser closeFile = CloseFile;
    std::function<void(int number)> trackStarted; // the reader starts the disc's track number
    std::vector<int> encodersLeft;
    RipJob* running = nullptr;
    QString lines;
};

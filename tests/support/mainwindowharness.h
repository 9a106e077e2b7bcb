#pragma once

#include "shell/frmmain.h"
#include "support/fakeaudio.h"
#include "support/recordingdialogs.h"

#include <memory>

// The main window on the scripted library, with recorded boxes and desktop.
// Set up audio.drives (and the rest of the script) before load().
struct MainWindowHarness {
    FakeAudio audio;
    RecordingDialogs dialogs;
    RecordingDesktop desktop;
    std::unique_ptr<frmMain> form;

    // Builds the window without loading it.
    frmMain& create();
    // Builds the window and runs its start-up; the result of Form_Load in loaded.
    frmMain& load();
    bool loaded = false;

    // Texts of the recorded boxes, in order.
    QStringList messageTexts() const;
};

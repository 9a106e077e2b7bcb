#pragma once

#include "platform/audio/createaudiolibrary.h"
#include "shell/frmmain.h"
#include "support/recordingdialogs.h"

#include <QStringList>

#include <memory>

// The main window on the real audio library, with recorded boxes and desktop.
// The library lists the given disc images as its virtual drives; with no images,
// those in the program's discs/ folder.
class RealMainWindow {
public:
    ~RealMainWindow();

    // Builds the library and the window and runs start-up; the result of Form_Load.
    bool start(const QStringList& images = {});
    frmMain& form() { return *m_form; }

    RecordingDialogs dialogs;
    RecordingDesktop desktop;

private:
    std::unique_ptr<AudioLibraryInstance> m_audio;
    std::unique_ptr<frmMain> m_form;
};

#pragma once

// The main window as its tests drive it: on the scripted library or on the real one, with
// recorded boxes and desktop. Tests reach controls and subsystems by their names, as a user
// or a screen reader finds them, never through the window's members.

#include "common/flash.h"
#include "platform/audio/cd/driveevents.h"
#include "platform/audio/createaudiolibrary.h"
#include "shell/frmmain.h"
#include "support/fakeaudio.h"
#include "support/recordingdialogs.h"
#include "support/testenv.h"

#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>

inline constexpr int kSecond = 176400; // bytes of one second of CD audio

// The window, built on a library the caller keeps alive.
class WindowUnderTest {
public:
    virtual ~WindowUnderTest() = default;

    // Builds the window and runs its start-up; the result of Form_Load. The position timer
    // is held unless keepTimer: a test ticks it itself.
    bool load(AudioLibrary library, bool keepTimer = false);
    frmMain& form() { return *m_form; }

    template <typename T> T& find(const char* name = nullptr) {
        T* found =
            name ? m_form->findChild<T*>(QString::fromLatin1(name)) : m_form->findChild<T*>();
        if (found == nullptr)
            throw std::runtime_error(std::string("no control ") + (name ? name : "of that kind"));
        return *found;
    }
    QTreeWidget& list() { return find<QTreeWidget>("lsTracks"); }
    QStringList column(int c);
    void tick(std::initializer_list<int> rows); // 1-based positions
    int selectedRow();
    void command(const char* text);
    // A click on the face's button of that name; the command it sends runs before this returns.
    void press(const char* faceButton);
    // "name=value" of every option button, check box, list and text box, sorted.
    QStringList optionValues();
    QStringList messages(const QString& caption = {}) const;

    RecordingDialogs dialogs;
    RecordingDesktop desktop;
    int ripStartDelay = 0;

private:
    QTemporaryDir m_scratchSettings; // declared before settingsFolder, which starts in it

public:
    // Where the window keeps its settings file; a test's own empty folder unless it sets one.
    QString settingsFolder = m_scratchSettings.path();

protected:
    // The shutdown runs while the library is still there: the library's owner calls this.
    void closeWindow();

private:
    std::unique_ptr<frmMain> m_form;
};

// On the scripted library.
struct FakeWindow : WindowUnderTest {
    ~FakeWindow() override { closeWindow(); }
    FakeAudio audio;
    bool load(bool keepTimer = false) { return WindowUnderTest::load(audio.library(), keepTimer); }
};

// On the real library with the given disc images as its virtual drives (the discs/ folder's
// when neither list is given), after the paths libcdio opens itself as drives. Drives come and
// go only as driveEvents (if set) reports.
struct RealWindow : WindowUnderTest {
    ~RealWindow() override { closeWindow(); }
    bool start(const QStringList& images = {}, const QStringList& cdioDevices = {});
    std::unique_ptr<DriveEventSource> driveEvents;
    std::unique_ptr<AudioLibraryInstance> audio;
};

// Lets gtest print texts readably when a comparison fails.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

#pragma once

// A rip through the skin's extract button on the scripted library: a disc in the one drive,
// WAV chosen, the output folder in a temporary folder, and the WAV files read back.

#include "support/wavfile.h"
#include "support/windowtest.h"

#include <QApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>

#include <initializer_list>
#include <vector>

// The open rip dialog's Stop button; the question is answered Yes unless told otherwise.
inline void PressRipStop() {
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->objectName() == "frmRipp" && top->isVisible())
            QMetaObject::invokeMethod(top, "cmdStop_Click", Qt::DirectConnection);
}

// Presses Stop the moment the rip dialog shows, before its job starts.
class StopWhenShown : public QObject {
public:
    StopWhenShown() { qApp->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->objectName() == "frmRipp")
            QTimer::singleShot(0, [] { PressRipStop(); });
        return false;
    }
};

class RipFixture : public ::testing::Test {
protected:
    static constexpr int kBlock = 20000;

    // A disc with tracks of the given byte lengths; WAV chosen; the output folder is new.
    void loadDisc(const std::vector<int>& lengths) {
        w.audio.addDrive();
        w.audio.insertDisc(0, lengths);
        ASSERT_TRUE(w.load());
        setFolder(temp.path() + "/Ripped Audio");
        w.find<QRadioButton>("optExtractMode1").setChecked(true);
        w.dialogs.messages.clear();
    }
    void setFolder(const QString& path) {
        folder = path;
        w.find<QLineEdit>("txtExtractPath").setText(folder);
    }
    void tick(std::initializer_list<int> rows) { w.tick(rows); }
    // The skin's extract button: returns when the rip dialog has closed.
    void extract() { w.command("IDC_FS_ExtractBtn"); }
    static void pressStop() { PressRipStop(); }

    QString trackFile(int n) const { return folder + "/TRACK" + QString::number(n) + ".WAV"; }
    WavFile wav(int n) const { return ReadWav(trackFile(n)); }
    QString completion(int count) const {
        return QString::number(count) + " Tracks have been Ripped to " + folder;
    }
    // The first offset at which data differs from what the fake decodes for track, or -1.
    static qsizetype FirstWrongByte(const QByteArray& data, DWORD track) {
        for (qsizetype k = 0; k < data.size(); ++k)
            if (data[k] != FakeAudio::DecodedByte(track, static_cast<QWORD>(k)))
                return k;
        return -1;
    }

    FakeWindow w;
    QTemporaryDir temp;
    QString folder;
};

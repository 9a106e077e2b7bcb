#pragma once

// A rip through the skin's extract button on the scripted library: a disc in the one drive,
// WAV chosen, the output folder in a temporary folder, and the WAV files read back.

#include "support/windowtest.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtEndian>

#include <initializer_list>
#include <vector>

// A WAV file as read back from disk.
struct WavFile {
    QByteArray bytes;
    bool exists = false;

    quint32 u32(int offset) const { return qFromLittleEndian<quint32>(bytes.constData() + offset); }
    QByteArray data() const { return bytes.mid(44); }

    // Every header field of CD audio with the given data size.
    void expectCdHeader(quint32 dataBytes) const {
        ASSERT_TRUE(exists);
        ASSERT_GE(bytes.size(), 44);
        const QByteArray fixed = QByteArray::fromHex("57415645666d7420100000000100020044ac0000"
                                                     "10b102000400100064617461");
        EXPECT_EQ(bytes.left(4), "RIFF");
        EXPECT_EQ(u32(4), dataBytes + 36);
        EXPECT_EQ(bytes.mid(8, 32), fixed); // WAVE, fmt, PCM, 2 channels, 44100 Hz, 16 bits
        EXPECT_EQ(u32(40), dataBytes);
        EXPECT_EQ(bytes.size(), qsizetype(dataBytes) + 44);
    }
};

inline WavFile ReadWav(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return {file.readAll(), true};
}

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

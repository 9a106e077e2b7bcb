#pragma once

// The main window on the scripted library with a disc in its one drive, the output folder in
// a temporary folder, and helpers to tick rows, run the skin's extract command and read the
// WAV files back.

#include "rip/frmripp.h"
#include "support/mainwindowharness.h"

#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtEndian>

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

// A WAV file as read back from disk.
struct WavFile {
    QByteArray bytes;
    bool exists = false;

    quint32 u32(int offset) const { return qFromLittleEndian<quint32>(bytes.constData() + offset); }
    quint16 u16(int offset) const { return qFromLittleEndian<quint16>(bytes.constData() + offset); }
    QByteArray tag(int offset) const { return bytes.mid(offset, 4); }
    QByteArray data() const { return bytes.mid(44); }

    // Every header field of CD audio with the given data size.
    void expectCdHeader(quint32 dataBytes) const {
        ASSERT_TRUE(exists);
        ASSERT_GE(bytes.size(), 44);
        EXPECT_EQ(tag(0), "RIFF");
        EXPECT_EQ(u32(4), dataBytes + 36);
        EXPECT_EQ(tag(8), "WAVE");
        EXPECT_EQ(tag(12), "fmt ");
        EXPECT_EQ(u32(16), 16u);
        EXPECT_EQ(u16(20), 1u);
        EXPECT_EQ(u16(22), 2u);
        EXPECT_EQ(u32(24), 44100u);
        EXPECT_EQ(u32(28), 176400u);
        EXPECT_EQ(u16(32), 4u);
        EXPECT_EQ(u16(34), 16u);
        EXPECT_EQ(tag(36), "data");
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

// The first offset at which data differs from what the fake decodes for track, or -1.
inline qsizetype FirstWrongByte(const QByteArray& data, DWORD track) {
    for (qsizetype k = 0; k < data.size(); ++k)
        if (data[k] != FakeAudio::DecodedByte(track, static_cast<QWORD>(k)))
            return k;
    return -1;
}

class RipFixture : public ::testing::Test {
protected:
    static constexpr int kBlock = 20000;

    // A disc with tracks of the given byte lengths; WAV chosen; the output folder is new.
    void loadDisc(const std::vector<int>& lengths) {
        h.audio.addDrive();
        h.audio.insertDisc(0, lengths);
        h.load();
        ASSERT_TRUE(h.loaded);
        ASSERT_EQ(rows(), static_cast<int>(lengths.size()));
        folder = temp.path() + "/Ripped Audio";
        h.form->txtExtractPath->setText(folder);
        h.form->optExtractMode[1]->setChecked(true);
        h.dialogs.messages.clear();
    }

    int rows() const { return h.form->lsTracks->topLevelItemCount(); }

    // Ticks the rows at these 1-based positions.
    void tick(std::initializer_list<int> positions) {
        for (int p : positions)
            h.form->lsTracks->topLevelItem(p - 1)->setCheckState(0, Qt::Checked);
    }

    // The skin's extract button: returns when the rip dialog has closed.
    void extract() { h.form->Flash_FSCommand(QStringLiteral("IDC_FS_ExtractBtn"), QString()); }

    QString trackFile(int n, const QString& extension = QStringLiteral(".WAV")) const {
        return folder + "/TRACK" + QString::number(n) + extension;
    }
    WavFile wav(int n) const { return ReadWav(trackFile(n)); }

    // The texts of the boxes with this caption.
    QStringList boxes(const QString& caption) const {
        QStringList texts;
        for (const RecordedMessage& m : h.dialogs.messages)
            if (m.caption == caption)
                texts << m.text;
        return texts;
    }
    QString completion(int count) const {
        return QString::number(count) + " Tracks have been Ripped to " + folder;
    }
    // The stop question is answered Yes unless told otherwise.
    void pressStopInDialog() {
        ASSERT_NE(h.form->ripDialog, nullptr);
        h.form->ripDialog->cmdStop_Click();
    }

    MainWindowHarness h;
    QTemporaryDir temp;
    QString folder;
};

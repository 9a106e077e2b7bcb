#pragma once

// A WAV file as read back from disk, and the header every CD-audio WAV must carry.

#include <QFile>
#include <QtEndian>
#include <gtest/gtest.h>

struct WavFile {
    QByteArray bytes;
    bool exists = false;

    quint32 u32(int offset) const { return qFromLittleEndian<quint32>(bytes.constData() + offset); }
    QByteArray data() const { return bytes.mid(44); }

    // Every header field of CD audio with the given data size; the file holds that much audio
    // unless told otherwise (a reader that stopped early).
    void expectCdHeader(quint32 dataBytes, qsizetype held = -1) const {
        ASSERT_TRUE(exists);
        ASSERT_GE(bytes.size(), 44);
        const QByteArray fixed = QByteArray::fromHex("57415645666d7420100000000100020044ac0000"
                                                     "10b102000400100064617461");
        EXPECT_EQ(bytes.left(4), "RIFF");
        EXPECT_EQ(u32(4), dataBytes + 36);
        EXPECT_EQ(bytes.mid(8, 32), fixed); // WAVE, fmt, PCM, 2 channels, 44100 Hz, 16 bits
        EXPECT_EQ(u32(40), dataBytes);
        EXPECT_EQ(bytes.size(), (held < 0 ? qsizetype(dataBytes) : held) + 44);
    }
};

inline WavFile ReadWav(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return {file.readAll(), true};
}

#pragma once

// An uncompressed WAV file written block by block: a 44-byte header with both sizes 0, the
// audio, then the sizes patched to the data written. Every write is checked, so a full disk
// is reported, not lost.

#include "rip/step/filecloser.h"
#include "rip/step/ripfailure.h"

#include <QByteArray>
#include <QString>

#include <cstdio>
#include <memory>
#include <optional>

struct WavFormat {
    quint16 channels = 0;
    quint32 sampleRate = 0;
    quint16 bitsPerSample = 0;
    quint16 blockAlign = 0;
    quint32 bytesPerSecond = 0;
};

// The 44 header bytes for dataBytes of audio in this format.
QByteArray WavHeaderBytes(const WavFormat& format, quint32 dataBytes);

class WavFileWriter final {
public:
    // The sizes are kept as 32-bit signed values; a bigger file cannot be described.
    static constexpr qint64 kLargestRiffSize = 0x7fffffff;
    static constexpr qint64 kHeaderBytes = 44;

    explicit WavFileWriter(FileCloser close = CloseFile) : m_close(close) {}

    // shownName: how the file is named in a failure (the path by default).
    std::optional<RipFailure> create(const QString& path, const QString& shownName = {});
    std::optional<RipFailure> writeHeader(const WavFormat& format);
    std::optional<RipFailure> append(const char* data, qsizetype n);
    // Makes the header describe exactly the data written and cuts anything a failed write
    // left behind it; a failure means the file on disk does not say what it holds.
    std::optional<RipFailure> patchSizes();
    // The sizes patched, then the file on the disk and closed, each step checked.
    std::optional<RipFailure> finish();
    // Audio bytes written so far.
    qint64 dataBytes() const { return m_dataBytes; }

private:
    // A file given up on after a failure: its close tells nothing more.
    struct AbandonFile {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::optional<RipFailure> write(const QByteArray& bytes);
    bool writeAt(long offset, const char* bytes);

    FileCloser m_close;
    std::unique_ptr<std::FILE, AbandonFile> m_file;
    QString m_fileName;
    WavFormat m_format;
    bool m_headerWritten = false;
    qint64 m_dataBytes = 0;
};

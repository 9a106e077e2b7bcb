#include "shell/frmmain.h"

#include "common/dialogs.h"
#include "common/errorreporting.h"
#include "common/product.h"

#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QtEndian>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>

#include <unistd.h>

// Copies one disc track into an uncompressed WAV file: a 44-byte header with both sizes 0,
// the decoded audio block by block, then the two sizes. The user-interface events run between
// blocks, which is when the rip dialog's Stop button and the progress bar get their turn.

void frmMain::StopRipping() {
    bStopRipping = true;
}

namespace {

constexpr DWORD kBlockBytes = 20000;
constexpr qint64 kHeaderBytes = 44;
// The sizes are kept as 32-bit signed values; a bigger file cannot be described.
constexpr qint64 kLargestRiffSize = std::numeric_limits<qint32>::max();

// Failure numbers in the routine error box: the system's error number (errno) for file
// failures, 1000 plus the audio library's error code for a failed read.
constexpr int kLibraryFailureBase = 1000;

struct RipFailure {
    int number = 0;
    QString description;
};

RipFailure FileFailure(int error, const QString& action, const QString& fileName) {
    if (error == 0)
        error = EIO;
    return {error, QString::fromLocal8Bit(std::strerror(error)) + QStringLiteral(" (") + action +
                       QStringLiteral(" ") + fileName + QStringLiteral(")")};
}

RipFailure ReadFailure(BassCore& core, int lTrack, int delivered) {
    const int code = core.BASS_ErrorGetCode();
    const QString track = QString::number(lTrack + 1);
    if (delivered == 0)
        return {kLibraryFailureBase + code,
                QStringLiteral("The drive delivered no audio for track ") + track +
                    QStringLiteral(" before its end")};
    const QString reason = BassErrorText(code);
    return {kLibraryFailureBase + code,
            QStringLiteral("Reading track ") + track + QStringLiteral(" failed") +
                (reason.isEmpty() ? QString() : QStringLiteral(": ") + reason)};
}

RipFailure TooLong(const QString& fileName) {
    return {EOVERFLOW, QStringLiteral("The track is too long for a WAV file (") + fileName +
                           QStringLiteral(")")};
}

struct WavFormat {
    quint16 channels = 0;
    quint32 sampleRate = 0;
    quint16 bitsPerSample = 0;
    quint16 blockAlign = 0;
    quint32 bytesPerSecond = 0;
};

std::optional<WavFormat> ReadWavFormat(BassCore& core, DWORD stream) {
    BASS_CHANNELINFO info;
    core.BASS_ChannelGetInfo(stream, &info);
    DWORD frequency = 0;
    core.BASS_ChannelGetAttributes(stream, &frequency, nullptr, nullptr);
    WavFormat format;
    format.channels = static_cast<quint16>(info.chans > 2 ? 2 : info.chans);
    format.bitsPerSample = (info.flags & BASS_SAMPLE_8BITS) ? 8 : 16;
    format.blockAlign = static_cast<quint16>(format.channels * format.bitsPerSample / 8);
    const qint64 bytesPerSecond = qint64(format.blockAlign) * frequency;
    if (frequency > quint32(kLargestRiffSize) || bytesPerSecond > kLargestRiffSize)
        return std::nullopt;
    format.sampleRate = frequency;
    format.bytesPerSecond = static_cast<quint32>(bytesPerSecond);
    return format;
}

QByteArray HeaderBytes(const WavFormat& format, quint32 dataBytes) {
    QByteArray header(kHeaderBytes, '\0');
    char* h = header.data();
    std::memcpy(h, "RIFF", 4);
    qToLittleEndian<quint32>(dataBytes + 36, h + 4);
    std::memcpy(h + 8, "WAVE", 4);
    std::memcpy(h + 12, "fmt ", 4);
    qToLittleEndian<quint32>(16, h + 16);
    qToLittleEndian<quint16>(1, h + 20); // PCM
    qToLittleEndian<quint16>(format.channels, h + 22);
    qToLittleEndian<quint32>(format.sampleRate, h + 24);
    qToLittleEndian<quint32>(format.bytesPerSecond, h + 28);
    qToLittleEndian<quint16>(format.blockAlign, h + 32);
    qToLittleEndian<quint16>(format.bitsPerSample, h + 34);
    std::memcpy(h + 36, "data", 4);
    qToLittleEndian<quint32>(dataBytes, h + 40);
    return header;
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// The output file. Every write is checked, so a full disk is reported, not lost.
class WavFileWriter {
public:
    std::optional<RipFailure> create(const QString& fileName) {
        m_fileName = fileName;
        // "w" empties a file of the same name: no old bytes stay behind the new data.
        m_file.reset(std::fopen(QFile::encodeName(fileName).constData(), "wbe"));
        if (!m_file)
            return FileFailure(errno, QStringLiteral("creating"), fileName);
        std::setvbuf(m_file.get(), nullptr, _IONBF, 0); // one write per block, errors at once
        return std::nullopt;
    }

    std::optional<RipFailure> writeHeader(const WavFormat& format) {
        m_format = format;
        if (auto failure = write(HeaderBytes(format, 0)))
            return failure;
        m_headerWritten = true;
        return std::nullopt;
    }

    std::optional<RipFailure> append(const char* data, qsizetype n) {
        if (m_dataBytes + n + 36 > kLargestRiffSize)
            return TooLong(m_fileName);
        if (auto failure = write(QByteArray::fromRawData(data, n)))
            return failure;
        m_dataBytes += n;
        return std::nullopt;
    }

    // Makes the header describe exactly the data written, and cuts anything a failed write
    // left behind it. Failures here are ignored: the audio is already on disk.
    void patchSizes() {
        if (!m_file || !m_headerWritten)
            return;
        const QByteArray header = HeaderBytes(m_format, static_cast<quint32>(m_dataBytes));
        if (std::fseek(m_file.get(), 4, SEEK_SET) == 0)
            std::fwrite(header.constData() + 4, 1, 4, m_file.get());
        if (std::fseek(m_file.get(), 40, SEEK_SET) == 0)
            std::fwrite(header.constData() + 40, 1, 4, m_file.get());
        std::fflush(m_file.get());
        [[maybe_unused]] const int ignored =
            ftruncate(fileno(m_file.get()), static_cast<off_t>(kHeaderBytes + m_dataBytes));
    }

    void close() { m_file.reset(); }

private:
    std::optional<RipFailure> write(const QByteArray& bytes) {
        errno = 0;
        const std::size_t size = static_cast<std::size_t>(bytes.size());
        if (std::fwrite(bytes.constData(), 1, size, m_file.get()) != size)
            return FileFailure(errno == 0 ? ENOSPC : errno, QStringLiteral("writing"), m_fileName);
        return std::nullopt;
    }

    std::unique_ptr<std::FILE, FileCloser> m_file;
    QString m_fileName;
    WavFormat m_format;
    bool m_headerWritten = false;
    qint64 m_dataBytes = 0;
};

// What one extraction holds. However it ends, the destructor releases it all in this order:
// the transfer buffer, the door lock, the decode stream (if still there), the file, and the
// disabled window; and the stop request is answered.
class ExtractionResources {
public:
    explicit ExtractionResources(frmMain& window) : m_window(window), m_drive(window.lDrive) {
        m_window.cd().BASS_CD_Door(m_drive, BASS_CD_DOOR_LOCK);
    }
    ExtractionResources(const ExtractionResources&) = delete;
    ExtractionResources& operator=(const ExtractionResources&) = delete;
    ~ExtractionResources() {
        m_window.transferBuffer = QByteArray();
        m_window.cd().BASS_CD_Door(m_drive, BASS_CD_DOOR_UNLOCK);
        freeStream();
        wav.close();
        m_window.setEnabled(true);
        m_window.bStopRipping = false;
    }

    void adoptStream(DWORD stream) { m_stream = stream; }
    void freeStream() {
        if (m_stream == 0)
            return;
        m_window.core().BASS_ChannelStop(m_stream);
        m_window.core().BASS_StreamFree(m_stream);
        m_stream = 0;
    }

    WavFileWriter wav;

private:
    frmMain& m_window;
    DWORD m_drive;
    DWORD m_stream = 0;
};

struct CopyOutcome {
    bool complete = false;
    std::optional<RipFailure> failure;
};

CopyOutcome Failed(RipFailure failure) {
    return {false, std::move(failure)};
}

// The header, the blocks and the sizes. Complete when the decoder reached the end of the
// track; a stop request ends it early with a valid, shorter file.
CopyOutcome CopyTrackToWav(frmMain& window, ExtractionResources& held, DWORD stream, int lTrack) {
    BassCore& core = window.core();
    const QString fileName = window.txtExtractPath->text() + QStringLiteral("/TRACK") +
                             QString::number(lTrack + 1) + QStringLiteral(".WAV");
    const std::optional<WavFormat> format = ReadWavFormat(core, stream);
    if (!format)
        return Failed(TooLong(fileName));
    if (auto failure = held.wav.create(fileName))
        return Failed(*failure);
    if (auto failure = held.wav.writeHeader(*format))
        return Failed(*failure);

    QByteArray& buffer = window.transferBuffer;
    bool complete = false;
    for (;;) {
        if (core.BASS_ChannelIsActive(stream) == BASS_ACTIVE_STOPPED) {
            complete = true;
            break;
        }
        // A short block must not leave the next read a smaller buffer than it asks to fill.
        buffer.resize(kBlockBytes);
        const int n = core.BASS_ChannelGetData(stream, buffer.data(), kBlockBytes);
        if (n <= 0)
            return Failed(ReadFailure(core, lTrack, n));
        buffer.resize(n);
        if (auto failure = held.wav.append(buffer.constData(), n))
            return Failed(*failure);
        QCoreApplication::processEvents();
        if (window.bStopRipping) {
            // A stop that came after the last block still leaves the whole track.
            complete = core.BASS_ChannelIsActive(stream) == BASS_ACTIVE_STOPPED;
            break;
        }
    }
    held.freeStream();
    held.wav.patchSizes();
    return {complete, std::nullopt};
}

} // namespace

bool frmMain::ExtractAudioTrackToWav(int lTrack) {
    ExtractionResources held(*this);
    const DWORD stream =
        cd().BASS_CD_StreamCreate(lDrive, static_cast<DWORD>(lTrack), kDecodeStreamFlags);
    lStream = stream; // the playback timer shows its progress in the rip dialog
    if (stream == 0) {
        dialogs().showMessage(this, QStringLiteral("Unable to Create CD Stream!"), kProductName,
                              MessageIcon::None, MessageButtons::Ok);
        return false;
    }
    held.adoptStream(stream);
    setEnabled(false);

    const CopyOutcome outcome = CopyTrackToWav(*this, held, stream, lTrack);
    if (outcome.failure) {
        held.wav.patchSizes(); // what was written stays a valid, shorter WAV
        ShowError(dialogs(), this, QStringLiteral("frmDemo"), QStringLiteral("ExtractAudioTrack"),
                  outcome.failure->number, outcome.failure->description);
    }
    return outcome.complete;
}

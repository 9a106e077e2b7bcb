#include "rip/encode/wavfilewriter.h"

#include <QFile>
#include <QtEndian>

#include <cerrno>
#include <cstring>

#include <unistd.h>

QByteArray WavHeaderBytes(const WavFormat& format, quint32 dataBytes) {
    QByteArray header(WavFileWriter::kHeaderBytes, '\0');
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

std::optional<RipFailure> WavFileWriter::create(const QString& path, const QString& shownName) {
    m_fileName = shownName.isEmpty() ? path : shownName;
    // "w" empties a file of the same name: no old bytes stay behind the new data.
    m_file.reset(std::fopen(QFile::encodeName(path).constData(), "wbe"));
    if (!m_file)
        return FileFailure(errno, QStringLiteral("creating"), m_fileName);
    std::setvbuf(m_file.get(), nullptr, _IONBF, 0); // one write per block, errors at once
    return std::nullopt;
}

std::optional<RipFailure> WavFileWriter::writeHeader(const WavFormat& format) {
    m_format = format;
    if (auto failure = write(WavHeaderBytes(format, 0)))
        return failure;
    m_headerWritten = true;
    return std::nullopt;
}

std::optional<RipFailure> WavFileWriter::append(const char* data, qsizetype n) {
    if (m_dataBytes + n + 36 > kLargestRiffSize)
        return TooLong(m_fileName);
    if (auto failure = write(QByteArray::fromRawData(data, n)))
        return failure;
    m_dataBytes += n;
    return std::nullopt;
}

std::optional<RipFailure> WavFileWriter::patchSizes() {
    if (!m_file || !m_headerWritten)
        return std::nullopt;
    const QByteArray header = WavHeaderBytes(m_format, static_cast<quint32>(m_dataBytes));
    errno = 0;
    const bool patched =
        writeAt(4, header.constData() + 4) && writeAt(40, header.constData() + 40) &&
        std::fflush(m_file.get()) == 0 &&
        ftruncate(fileno(m_file.get()), static_cast<off_t>(kHeaderBytes + m_dataBytes)) == 0;
    if (!patched)
        return FileFailure(errno, QStringLiteral("writing the sizes into"), m_fileName);
    return std::nullopt;
}

std::optional<RipFailure> WavFileWriter::finish() {
    if (auto failure = patchSizes())
        return failure;
    if (!m_file)
        return std::nullopt;
    if (const int error = FinishFile(m_file.release(), m_close))
        return FileFailure(error, QStringLiteral("closing"), m_fileName);
    return std::nullopt;
}

bool WavFileWriter::writeAt(long offset, const char* bytes) {
    return std::fseek(m_file.get(), offset, SEEK_SET) == 0 &&
           std::fwrite(bytes, 1, 4, m_file.get()) == 4;
}

std::optional<RipFailure> WavFileWriter::write(const QByteArray& bytes) {
    errno = 0;
    const std::size_t size = static_cast<std::size_t>(bytes.size());
    if (std::fwrite(bytes.constData(), 1, size, m_file.get()) != size)
        return FileFailure(errno == 0 ? ENOSPC : errno, QStringLiteral("writing"), m_fileName);
    return std::nullopt;
}

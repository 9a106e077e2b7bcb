#include "rip/spooledencoding.h"

#include "common/errorreporting.h"
#include "rip/converter.h"
#include "rip/flacfilewriter.h"
#include "rip/ripfailure.h"
#include "rip/stagedfile.h"
#include "rip/tracktagging.h"
#include "rip/wavfilewriter.h"
#include "rip/wmatagnames.h"

#include <QFile>

#include <cerrno>

namespace {

constexpr qint64 kBlockBytes = 1 << 18;

enum class FeedEnd { Complete, Stopped, Failed };

void ShowRoutineError(const RipContext& job, const RipFailure& failure) {
    ShowError(job.dialogs, job.boxOwner, QStringLiteral("frmDemo"),
              QStringLiteral("ExtractAudioTrack"), failure.number, failure.description);
}

// Hands the spooled audio to write block by block; a write that fails has told the user.
FeedEnd FeedSpool(const RipContext& job, const QString& spooled,
                  const std::function<bool(const QByteArray&)>& write) {
    QFile file(spooled);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(WavFileWriter::kHeaderBytes)) {
        ShowRoutineError(job, FileFailure(EIO, QStringLiteral("reading"), spooled));
        return FeedEnd::Failed;
    }
    const qint64 audioBytes = std::max<qint64>(1, file.size() - WavFileWriter::kHeaderBytes);
    while (!file.atEnd()) {
        if (job.stopRequested)
            return FeedEnd::Stopped;
        if (!write(file.read(kBlockBytes)))
            return FeedEnd::Failed;
        job.progress(float(file.pos() - WavFileWriter::kHeaderBytes) / float(audioBytes));
    }
    return FeedEnd::Complete;
}

bool EncodeFlac(const RipContext& job, const QString& spooled, int level, const StagedFile& file) {
    FlacFileWriter flac;
    const quint64 samples =
        quint64(std::max<qint64>(0, QFile(spooled).size() - WavFileWriter::kHeaderBytes)) / 4;
    if (auto failure = flac.create(file.path(), file.finalPath(), level, samples)) {
        ShowRoutineError(job, *failure);
        return false;
    }
    const FeedEnd end = FeedSpool(job, spooled, [&](const QByteArray& block) {
        const std::optional<RipFailure> failure = flac.append(block.constData(), block.size());
        if (failure)
            ShowRoutineError(job, *failure);
        return !failure;
    });
    if (auto failure = flac.finish()) {
        ShowRoutineError(job, *failure);
        return false;
    }
    return end == FeedEnd::Complete;
}

// The open WMA encoder; closing it completes the file with what was encoded, however the
// encoding ends.
class WmaEncoderHandle {
public:
    WmaEncoderHandle(BassWma& wma, HWMENCODE handle) : m_wma(wma), m_handle(handle) {}
    WmaEncoderHandle(const WmaEncoderHandle&) = delete;
    WmaEncoderHandle& operator=(const WmaEncoderHandle&) = delete;
    ~WmaEncoderHandle() { close(); }
    HWMENCODE get() const { return m_handle; }
    // The library's error code tells whether the end of the file reached the disk.
    void close() {
        if (m_handle != 0)
            m_wma.BASS_WMA_EncodeClose(m_handle);
        m_handle = 0;
    }

private:
    BassWma& m_wma;
    HWMENCODE m_handle;
};

// The ticked tags with text, then the empty tag that ends them (also when none are ticked). A box
// that still holds its label word ("Title") stands for the disc's value of that field.
void WriteTags(const RipContext& job, int lTrack, HWMENCODE encoder) {
    BassWma& wma = job.bass.wma;
    if (job.output.wmaTags)
        for (std::size_t i = 0; i < kWMATagNames.size(); ++i) {
            QString text = job.output.wmaTagTexts[i];
            if (text == QLatin1String(kWMATagLabels[i]))
                text = job.tags ? DiscValueOfWmaBox(*job.tags, lTrack, i) : QString();
            if (!text.isEmpty())
                wma.BASS_WMA_EncodeSetTag(encoder, kWMATagNames[i], text.toUtf8().constData());
        }
    wma.BASS_WMA_EncodeSetTag(encoder, "", "");
}

void ShowCoded(const RipContext& job, const char* message) {
    ShowCodedError(job.dialogs, job.boxOwner, QString::fromLatin1(message),
                   job.bass.core.BASS_ErrorGetCode());
}

bool EncodeWma(const RipContext& job, int lTrack, const QString& spooled, int bitrate,
               const StagedFile& file) {
    BassWma& wma = job.bass.wma;
    WmaEncoderHandle encoder(
        wma, wma.BASS_WMA_EncodeOpenFile(44100, BASS_WMA_TAGS, DWORD(bitrate),
                                         QFile::encodeName(file.path()).constData()));
    if (encoder.get() == 0) {
        ShowCoded(job, "An error occured while opening output file.");
        return false;
    }
    WriteTags(job, lTrack, encoder.get());
    const FeedEnd end = FeedSpool(job, spooled, [&](const QByteArray& block) {
        if (wma.BASS_WMA_EncodeWrite(encoder.get(), block.constData(), DWORD(block.size())))
            return true;
        ShowCoded(job, "An error occured while encoding WMA data.");
        return false;
    });
    if (end == FeedEnd::Failed)
        return false;
    encoder.close();
    if (job.bass.core.BASS_ErrorGetCode() == BASS_OK)
        return end == FeedEnd::Complete;
    ShowCoded(job, "An error occured while encoding WMA data.");
    return false;
}

} // namespace

bool EncodeSpooledTrack(const RipContext& job, int lTrack, const RipOutput& output,
                        const QString& spooled, const StagedFile& file) {
    switch (output.path) {
    case RipPath::Encoder:
        return Converter(job, spooled, output.code, output.bitrate, file.path(), false,
                         file.finalPath(), lTrack);
    case RipPath::Flac:
        return EncodeFlac(job, spooled, output.flacLevel, file);
    case RipPath::Wma:
        return output.wmaBitrate && EncodeWma(job, lTrack, spooled, *output.wmaBitrate, file);
    case RipPath::Wav:
    case RipPath::None:
        break;
    }
    return false;
}

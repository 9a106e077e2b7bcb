#include "rip/wmaextraction.h"

#include "common/errorreporting.h"
#include "rip/extractionresources.h"
#include "rip/ripfailure.h"
#include "rip/stagedfile.h"
#include "rip/wmatagnames.h"

#include <QFile>

#include <optional>

// Encodes a disc track block by block into a WMA file. The user-interface events run between
// blocks, which is when the rip dialog's Stop button and its progress bar get their turn.

namespace {

constexpr DWORD kBlockBytes = 20000;

// The open encoder; closing it completes the file with what was encoded, however the
// extraction ends.
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

// The ticked tags with text, then the empty tag that ends them (also when none are ticked).
void WriteTags(const RipContext& job, HWMENCODE encoder) {
    BassWma& wma = job.bass.wma;
    if (job.output.wmaTags)
        for (std::size_t i = 0; i < kWMATagNames.size(); ++i) {
            const QByteArray text = job.output.wmaTagTexts[i].toUtf8();
            if (!text.isEmpty())
                wma.BASS_WMA_EncodeSetTag(encoder, kWMATagNames[i], text.constData());
        }
    wma.BASS_WMA_EncodeSetTag(encoder, "", "");
}

void ShowCoded(const RipContext& job, const char* message) {
    ShowCodedError(job.dialogs, job.boxOwner, QString::fromLatin1(message),
                   job.bass.core.BASS_ErrorGetCode());
}

// True when the decoder reached the end of the track (a stop after the last block included).
bool EncodeBlocks(const RipContext& job, DWORD stream, HWMENCODE encoder, int lTrack) {
    BassCore& core = job.bass.core;
    QByteArray buffer;
    for (;;) {
        if (core.BASS_ChannelIsActive(stream) == BASS_ACTIVE_STOPPED)
            return true;
        buffer.resize(kBlockBytes);
        const int n = core.BASS_ChannelGetData(stream, buffer.data(), kBlockBytes);
        if (n <= 0) {
            const RipFailure failure = ReadFailure(core, lTrack, n);
            ShowError(job.dialogs, job.boxOwner, QStringLiteral("frmDemo"),
                      QStringLiteral("ExtractAudioTrackToWMA"), failure.number,
                      failure.description);
            return false;
        }
        if (!job.bass.wma.BASS_WMA_EncodeWrite(encoder, buffer.constData(),
                                               static_cast<DWORD>(n))) {
            ShowCoded(job, "An error occured while encoding WMA data.");
            return false;
        }
        job.blockWritten(stream);
        if (job.stopRequested)
            return core.BASS_ChannelIsActive(stream) == BASS_ACTIVE_STOPPED;
    }
}

} // namespace

bool ExtractAudioTrackToWMA(const RipContext& job, int lTrack, int lngBitrate,
                            const StagedFile& file) {
    ExtractionResources held(job);
    const DWORD stream =
        job.bass.cd.BASS_CD_StreamCreate(job.drive, static_cast<DWORD>(lTrack), kDecodeStreamFlags);
    if (stream == 0) {
        ShowCoded(job, "Unable to Create CD Stream!");
        return false;
    }
    held.adoptStream(stream);

    WmaEncoderHandle encoder(job.bass.wma, job.bass.wma.BASS_WMA_EncodeOpenFile(
                                               44100, BASS_WMA_TAGS, static_cast<DWORD>(lngBitrate),
                                               QFile::encodeName(file.path()).constData()));
    if (encoder.get() == 0) {
        ShowCoded(job, "An error occured while opening output file.");
        return false;
    }
    WriteTags(job, encoder.get());
    if (!EncodeBlocks(job, stream, encoder.get(), lTrack) || ReportDamage(job, stream, lTrack))
        return false;
    encoder.close();
    if (job.bass.core.BASS_ErrorGetCode() == BASS_OK)
        return true;
    ShowCoded(job, "An error occured while encoding WMA data.");
    return false;
}

#include "rip/ripjob.h"

#include "common/dialogs.h"
#include "common/modbass.h"
#include "rip/converter.h"
#include "rip/flacextraction.h"
#include "rip/ripoutput.h"
#include "rip/stagedfile.h"
#include "rip/wavextraction.h"
#include "rip/wmaextraction.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

RipJob::RipJob(const Services& services, RipRequest request, QWidget* boxOwner, Listener listener)
    : m_services(services), m_request(std::move(request)), m_boxOwner(boxOwner),
      m_listener(std::move(listener)) {}

int RipJob::RipTracks() {
    for (int k = 0; k < 5; ++k)
        QCoreApplication::processEvents();
    if (bStopRipping || !PrepareOutputFolder())
        return 0;
    int ripped = 0;
    for (const int track : m_request.tracks) {
        if (bStopRipping)
            break;
        if (m_listener.trackStarted)
            m_listener.trackStarted(track + 1);
        if (RipTrack(track))
            ++ripped;
    }
    return ripped;
}

// Rips one track in the chosen format; true when its file was written completely. The file
// takes its name only when it is whole, or shorter but valid after a Stop; a failed attempt
// leaves the file an earlier rip made under that name as it was.
bool RipJob::RipTrack(int lTrack) {
    // Files are named after the disc's track, also when an unreadable track left no row.
    const RipOutput output = ChooseRipOutput(m_request.output, lTrack + 1);
    if (output.path == RipPath::None)
        return false;
    StagedFile file(output.file);
    const bool complete = WriteTrack(output, lTrack, file);
    const bool stoppedWithValidFile = bStopRipping && QFileInfo(file.path()).size() > 0;
    if (!complete && !stoppedWithValidFile)
        return false;
    if (file.makeFinal())
        return complete;
    m_services.dialogs.showMessage(m_boxOwner,
                                   QStringLiteral("The file \"") + file.finalPath() +
                                       QStringLiteral("\" could not be saved: ") +
                                       QString::fromLocal8Bit(std::strerror(errno)) +
                                       QStringLiteral(".\r\nThe track is not counted as ripped."),
                                   QStringLiteral("Output folder"), MessageIcon::Exclamation,
                                   MessageButtons::Ok);
    return false;
}

bool RipJob::WriteTrack(const RipOutput& output, int lTrack, const StagedFile& file) {
    const RipContext job = Context();
    switch (output.path) {
    case RipPath::Wav:
        return ExtractAudioTrackToWav(job, lTrack, file);
    case RipPath::Wma:
        if (!output.wmaBitrate) {
            if (FirstNoticeInJob(QStringLiteral("no WMA bit rate")))
                m_services.dialogs.showMessage(
                    m_boxOwner,
                    QStringLiteral("No WMA bit rate is selected, so no WMA file can be made. "
                                   "Choose a bit rate in the WMA options."),
                    QStringLiteral("WMA bit rate"), MessageIcon::Exclamation, MessageButtons::Ok);
            return false;
        }
        return ExtractAudioTrackToWMA(job, lTrack, *output.wmaBitrate, file);
    case RipPath::Encoder:
        return Converter(job, QString::number(lTrack), output.code, output.bitrate, file.path(),
                         true, file.finalPath());
    case RipPath::Flac:
        return ExtractAudioTrackToFlac(job, lTrack, output.flacLevel, file);
    case RipPath::None:
        return false;
    }
    return false;
}

// Makes every missing level of the output folder and proves it takes a file, once for the
// whole job: a folder that cannot be used is said once, and no track is attempted.
bool RipJob::PrepareOutputFolder() {
    const QString& folder = m_request.output.folder;
    QString reason;
    if (folder.trimmed().isEmpty()) {
        reason = QStringLiteral("no folder is set");
    } else {
        std::error_code error;
        std::filesystem::create_directories(folder.toStdString(), error);
        QTemporaryFile probe(folder + QStringLiteral("/.mivo-write-test-XXXXXX"));
        if (error)
            reason = QString::fromStdString(error.message());
        else if (!probe.open())
            reason = probe.errorString();
    }
    if (reason.isEmpty()) {
        StagedFile::RemoveLeftovers(folder);
        return true;
    }
    m_services.dialogs.showMessage(
        m_boxOwner,
        QStringLiteral("Cannot rip into the folder \"") + folder + QStringLiteral("\": ") + reason +
            QStringLiteral(".\r\nChoose another folder in the General Options."),
        QStringLiteral("Output folder"), MessageIcon::Exclamation, MessageButtons::Ok);
    return false;
}

bool RipJob::FirstNoticeInJob(const QString& key) {
    if (m_notices.contains(key))
        return false;
    m_notices.insert(key);
    return true;
}

RipContext RipJob::Context() {
    return {m_services.bass,
            m_services.dialogs,
            m_services.door,
            m_services.window,
            m_boxOwner,
            m_services.appFolder,
            m_request.drive,
            m_request.output,
            bStopRipping,
            [this](DWORD stream) {
                ReportProgress(stream);
                QCoreApplication::processEvents();
            },
            [this](const QString& key) { return FirstNoticeInJob(key); }};
}

void RipJob::ReportProgress(DWORD stream) {
    if (!m_listener.progress)
        return;
    BassCore& core = m_services.bass.core;
    m_listener.progress(
        DoneFraction(core.BASS_StreamGetLength(stream), core.BASS_ChannelGetPosition(stream)));
}

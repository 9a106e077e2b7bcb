#include "rip/ripjob.h"

#include "common/dialogs.h"
#include "common/modbass.h"
#include "metadata/trackfilename.h"
#include "rip/encodercommand.h"
#include "rip/extractionresources.h"
#include "rip/ripoutput.h"
#include "rip/rippipeline.h"
#include "rip/ripverification.h"
#include "rip/stagedfile.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTemporaryFile>

#include <algorithm>
#include <filesystem>
#include <numeric>
#include <system_error>

namespace {
// "MP3 (MP3C, 192 kbps)", "FLAC (level 5)", for the rip log.
QString OutputDescription(const OutputChoice& choice) {
    const OutputFormat* format = FindOutputFormat(choice.format);
    if (format == nullptr)
        return QStringLiteral("none");
    const QString name = QString::fromLatin1(format->caption).remove(QLatin1Char('&'));
    const RipOutput output = ChooseRipOutput(choice, 1);
    switch (output.path) {
    case RipPath::Encoder:
        return name + QStringLiteral(" (%1, %2 kbps)").arg(output.code, output.bitrate);
    case RipPath::Wma:
        return name + QStringLiteral(" (%1 kbps)").arg(output.wmaBitrate.value_or(0) / 1000);
    case RipPath::Flac:
        return name + QStringLiteral(" (level %1)").arg(output.flacLevel);
    default:
        return name;
    }
}

// The external encoder's command line for the first track's file; empty for the other paths.
QString EncoderLineOf(const OutputChoice& choice) {
    const RipOutput output = ChooseRipOutput(choice, 1);
    if (output.path != RipPath::Encoder)
        return {};
    return BuildEncoderCommand(output.code, output.bitrate, output.file).line.value_or(QString());
}
} // namespace

RipJob::RipJob(const Services& services, RipRequest request, QWidget* boxOwner, Listener listener)
    : m_services(services), m_dialogs(services.dialogs), m_request(std::move(request)),
      m_boxOwner(boxOwner), m_listener(std::move(listener)) {}

RipJob::~RipJob() = default;

int RipJob::RipTracks() {
    for (int k = 0; k < 5; ++k)
        QCoreApplication::processEvents();
    if (bStopRipping || !PrepareOutputFolder())
        return 0;
    const ExtractionResources held(m_services.door, m_services.window, m_boxOwner);
    RunPipeline();
    return m_ripped;
}

void RipJob::StopRipping() {
    bStopRipping = true;
    if (m_pipeline != nullptr)
        m_pipeline->stop();
    if (m_awaitingAnswer != nullptr) // the database's answer is not worth waiting for now
        m_awaitingAnswer->quit();
}

// Every event of the pipeline comes to the window's thread in the order it happened; the job
// returns after the last one.
void RipJob::RunPipeline() {
    QEventLoop loop;
    const std::unique_ptr<RipVerification> verification = Verification();
    RipVerification* verify = verification.get();
    QObject::connect(verify, &RipVerification::verdict, &m_relay, [this](const QString& text) {
        if (m_listener.verdict)
            m_listener.verdict(text);
    });
    const auto post = [this](auto event) {
        QMetaObject::invokeMethod(&m_relay, std::move(event), Qt::QueuedConnection);
    };
    RipPipeline::Events events{
        [=, this](int number) { post([=, this] { m_listener.trackStarted(number); }); },
        [=, this](float done) { post([=, this] { m_listener.progress(done); }); },
        [=](int lTrack, const TrackReading& reading) {
            post([=] { verify->trackRead(lTrack, reading); });
        },
        [=, this](int lTrack) { post([=, this] { m_encoding[lTrack] = 0; }); },
        [=, this](int lTrack, float done) {
            post([=, this] {
                m_encoding[lTrack] = done;
                ShowEncoding();
            });
        },
        [=, this](int lTrack) {
            post([=, this] {
                m_encoding.erase(lTrack);
                ShowEncoding();
            });
        },
        [=](int lTrack, const QString& file, bool complete) {
            post([=] { verify->trackKept(lTrack, file, complete); });
        },
        [=, this] {
            post([=, this] {
                m_readingDone = true;
                ShowEncoding();
            });
        },
        [=, &loop] { post([&loop] { loop.quit(); }); }};
    const RipContext job{m_services.bass,
                         m_dialogs,
                         m_boxOwner,
                         m_services.appFolder,
                         m_request.drive,
                         m_request.output,
                         bStopRipping,
                         {},
                         [this](const QString& key) { return FirstNoticeInJob(key); },
                         nullptr,
                         &m_request.tags};
    RipPipeline pipeline(job, m_toc, m_request.tracks, m_request.output.encoders,
                         std::move(events));
    m_pipeline = &pipeline;
    pipeline.start();
    loop.exec();
    m_pipeline = nullptr;
    m_ripped = pipeline.ripped();
    // The database's answer is awaited (within its own time limit) unless the user stopped.
    if (verify->waiting() && !bStopRipping) {
        QObject::connect(verify, &RipVerification::settled, &loop, &QEventLoop::quit);
        m_awaitingAnswer = &loop;
        loop.exec();
        m_awaitingAnswer = nullptr;
    }
    m_verificationLines = verify->finish(bStopRipping, m_services.dialogs, m_boxOwner);
}

std::unique_ptr<RipVerification> RipJob::Verification() {
    RipVerification::Job job;
    if (!m_services.bass.cd.BASS_CD_GetTOC(m_request.drive, &m_toc))
        m_toc = DiscToc{};
    job.toc = m_toc;
    job.checkAccurateRip = m_request.output.checkAccurateRip;
    job.folder = m_request.output.folder;
    job.driveName = Ptr2Str(m_services.bass.cd.BASS_CD_GetDriveDescription(m_request.drive));
    job.readOffset = m_services.bass.cd.BASS_CD_GetOffset(m_request.drive);
    job.outputFormat = OutputDescription(m_request.output);
    job.encoderCommand = EncoderLineOf(m_request.output);
    job.tags = m_request.tags;
    job.folderNotes = m_folderNotes;
    return std::make_unique<RipVerification>(std::move(job));
}

// Once every track is read, the dialog follows the encoders still at work.
void RipJob::ShowEncoding() {
    if (!m_readingDone || !m_listener.encoding || m_encoding.empty())
        return;
    const float done =
        std::accumulate(m_encoding.begin(), m_encoding.end(), 0.0f,
                        [](float sum, const auto& track) { return sum + track.second; });
    m_listener.encoding(static_cast<int>(m_encoding.size()), done / float(m_encoding.size()));
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
        // As deep as this job's pattern makes folders, and at least artist/album deep.
        const int levels = std::clamp(PatternFolderLevels(m_request.output.fileNames), 2, 8);
        m_folderNotes = StagedFile::RemoveLeftovers(folder, levels);
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
    const std::lock_guard lock(m_noticesMutex);
    if (m_notices.contains(key))
        return false;
    m_notices.insert(key);
    return true;
}

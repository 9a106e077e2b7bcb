#include "rip/ripjob.h"

#include "common/dialogs.h"
#include "common/modbass.h"
#include "metadata/trackfilename.h"
#include "rip/encode/encodercommand.h"
#include "rip/files/ripoutput.h"
#include "rip/files/stagedfile.h"
#include "rip/files/tracktagging.h"
#include "rip/pipeline/extractionresources.h"
#include "rip/pipeline/rippipeline.h"
#include "rip/pipeline/ripverification.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTemporaryFile>

#include <algorithm>
#include <filesystem>
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
    if (!m_request.discChanges)
        m_request.discChanges = m_services.bass.cd.BASS_CD_GetDiscChanges(m_request.drive);
    m_disc.emplace(m_services.bass.cd, m_request.drive, *m_request.discChanges);
    ReadToc();
    if (m_request.fileNames.empty())
        m_request.fileNames = NameTrackFiles(m_request.output.fileNames, m_request.tags, m_toc,
                                             m_request.tracks, FormatName(m_request.output));
    if (m_control.stopRequested() || !PrepareOutputFolder())
        return 0;
    const ExtractionResources held(m_services.door, m_services.window, m_boxOwner);
    m_library = std::make_unique<LibraryFiles>(
        m_services.bass, LibraryFiles::Job{m_request.drive, m_request.output, m_request.tags, m_toc,
                                           m_request.tracks});
    const std::unique_ptr<RipVerification> verification = MakeVerification();
    // Also the verdicts that come with the database's answer after the last track.
    QObject::connect(verification.get(), &RipVerification::verdict, verification.get(),
                     [this](const QString& text) {
                         if (m_listener.verdict)
                             m_listener.verdict(text);
                     });
    RunPipeline(*verification);
    AwaitDatabaseAnswer(*verification);
    const RipVerification::Report report =
        verification->finish(m_control.stopRequested(), m_dialogs, m_boxOwner);
    m_verificationLines = report.lines;
    m_ripAgain = report.ripAgain;
    m_logName = report.logName;
    return m_ripped;
}

std::optional<RipRequest> RipJob::ripAgainRequest() const {
    if (m_ripAgain.empty() || !m_disc || m_disc->lost())
        return std::nullopt;
    RipRequest again = m_request;
    again.tracks = m_ripAgain;
    std::erase_if(again.fileNames, [&](const auto& named) {
        return std::find(m_ripAgain.begin(), m_ripAgain.end(), named.first) == m_ripAgain.end();
    });
    again.mostCareful = true;
    again.ripAgainOf = m_logName;
    return again;
}

void RipJob::StopRipping() {
    m_control.stop();
    if (m_pipeline != nullptr)
        m_pipeline->stop();
    if (m_awaitingAnswer != nullptr) // the database's answer is not worth waiting for now
        m_awaitingAnswer->quit();
}

void RipJob::Pause() {
    m_control.pause();
    m_dialogs.hold();
}

void RipJob::Resume() {
    m_control.resume();
    m_dialogs.release();
}

void RipJob::StopForShutdown() {
    m_dialogs.dismiss();
    StopRipping();
}

// Every event of the pipeline comes to the window's thread in the order it happened; the job
// goes on after the last one. The relay goes before the verification and the loop its calls
// point at, and after the pipeline whose threads post to it.
void RipJob::RunPipeline(RipVerification& verify) {
    QEventLoop loop;
    WindowRelay relay;
    bool finished = false;
    RipPipeline pipeline(PipelineContext(), m_toc, m_request.tracks, m_request.output.encoders,
                         PipelineEvents(verify, relay, loop, finished));
    m_pipeline = &pipeline;
    pipeline.start();
    AwaitPipeline(loop, finished);
    m_pipeline = nullptr;
}

// What every extraction and encoder of this job gets.
RipContext RipJob::PipelineContext() {
    return {m_services.bass,
            m_dialogs,
            m_boxOwner,
            m_services.appFolder,
            m_request.drive,
            m_request.output,
            m_control,
            {},
            [this](const QString& key) { return FirstNoticeInJob(key); },
            nullptr,
            &m_request.tags,
            RipPath::Wav,
            m_services.closeFile,
            &*m_disc,
            kDecodeStreamFlags | (m_request.mostCareful ? BASS_CD_MOSTCAREFUL : 0),
            &m_request.fileNames,
            m_library.get()};
}

// The loop may end before the pipeline's last event (the application quits): then the job
// stops as at the session's end, and the events are served until the threads have ended, so
// none of them is left waiting for the window.
void RipJob::AwaitPipeline(QEventLoop& loop, const bool& finished) {
    loop.exec();
    if (finished)
        return;
    StopForShutdown();
    while (!finished)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

RipPipeline::Events RipJob::PipelineEvents(RipVerification& verify, WindowRelay& relay,
                                           QEventLoop& loop, bool& finished) {
    RipVerification* v = &verify;
    WindowRelay* r = &relay;
    return {[=, this](int number) { r->post([=, this] { m_listener.trackStarted(number); }); },
            [=, this](float done) { r->post([=, this] { m_listener.progress(done); }); },
            [=](int lTrack, const TrackReading& reading) {
                r->post([=] { v->trackRead(lTrack, reading); });
            },
            [=, this](int left, float done) {
                r->post([=, this] {
                    m_encodersLeft = left;
                    m_encodersDone = done;
                    ShowEncoding();
                });
            },
            [=, this](int lTrack, const TrackOutcome& outcome) {
                r->post([=, this] {
                    if (outcome.ripped())
                        ++m_ripped;
                    v->trackEnded(lTrack, outcome);
                });
            },
            [=, this] {
                r->post([=, this] {
                    m_readingDone = true;
                    ShowEncoding();
                });
            },
            [=, &loop, &finished] {
                r->post([&loop, &finished] {
                    finished = true;
                    loop.quit();
                });
            }};
}

// Empty when the drive cannot tell it.
void RipJob::ReadToc() {
    if (!m_services.bass.cd.BASS_CD_GetTOC(m_request.drive, &m_toc))
        m_toc = DiscToc{};
}

std::unique_ptr<RipVerification> RipJob::MakeVerification() const {
    RipVerification::Job job;
    job.toc = m_toc;
    job.checkAccurateRip = m_request.output.checkAccurateRip;
    job.folder = m_request.output.folder;
    job.driveName = Ptr2Str(m_services.bass.cd.BASS_CD_GetDriveDescription(m_request.drive));
    job.readOffset = m_services.bass.cd.BASS_CD_GetOffset(m_request.drive);
    job.outputFormat = OutputDescription(m_request.output);
    job.encoderCommand = EncoderLineOf(m_request.output);
    job.tags = m_request.tags;
    job.folderNotes = m_folderNotes;
    job.tracks = m_request.tracks;
    job.readTwice = m_request.output.readTwice;
    job.mostCareful = m_request.mostCareful;
    job.ripAgainOf = m_request.ripAgainOf;
    job.library = m_library.get();
    return std::make_unique<RipVerification>(std::move(job));
}

// The database's answer is awaited (within its own time limit) unless the user stopped.
void RipJob::AwaitDatabaseAnswer(RipVerification& verification) {
    if (!verification.waiting() || m_control.stopRequested())
        return;
    QEventLoop loop;
    QObject::connect(&verification, &RipVerification::settled, &loop, &QEventLoop::quit);
    m_awaitingAnswer = &loop;
    loop.exec();
    m_awaitingAnswer = nullptr;
}

// Once every track is read, the dialog follows the encoders still at work, down to none.
void RipJob::ShowEncoding() {
    if (!m_readingDone || !m_listener.encoding || (m_encodersLeft == 0 && !m_encodingShown))
        return;
    m_encodingShown = true;
    m_listener.encoding(m_encodersLeft, m_encodersDone);
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
        const int levels = std::clamp(FolderLevels(m_request.output), 2, 8);
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

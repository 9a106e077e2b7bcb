#include "rip/ripjob.h"

#include "common/dialogs.h"
#include "rip/extractionresources.h"
#include "rip/rippipeline.h"
#include "rip/stagedfile.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTemporaryFile>

#include <filesystem>
#include <numeric>
#include <system_error>

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
}

// Every event of the pipeline comes to the window's thread in the order it happened; the job
// returns after the last one.
void RipJob::RunPipeline() {
    QEventLoop loop;
    const auto post = [this](auto event) {
        QMetaObject::invokeMethod(&m_relay, std::move(event), Qt::QueuedConnection);
    };
    RipPipeline::Events events{
        [=, this](int number) { post([=, this] { m_listener.trackStarted(number); }); },
        [=, this](float done) { post([=, this] { m_listener.progress(done); }); },
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
                         [this](const QString& key) { return FirstNoticeInJob(key); }};
    RipPipeline pipeline(job, m_request.tracks, m_request.output.encoders, std::move(events));
    m_pipeline = &pipeline;
    pipeline.start();
    loop.exec();
    m_pipeline = nullptr;
    m_ripped = pipeline.ripped();
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
    const std::lock_guard lock(m_noticesMutex);
    if (m_notices.contains(key))
        return false;
    m_notices.insert(key);
    return true;
}

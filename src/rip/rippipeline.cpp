#include "rip/rippipeline.h"

#include "common/dialogs.h"
#include "rip/converter.h"
#include "rip/spooledencoding.h"
#include "rip/stagedfile.h"
#include "rip/tracktagging.h"
#include "rip/wavextraction.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <memory>

namespace {
// Calls report only when the whole percent changes, so the window's queue stays short.
std::function<void(float)> EveryPercent(std::function<void(float)> report) {
    auto last = std::make_shared<long>(-1);
    return [report = std::move(report), last](float done) {
        const long percent = std::lrint(done * 100.0f);
        if (percent != *last) {
            *last = percent;
            report(done);
        }
    };
}
} // namespace

RipPipeline::RipPipeline(const RipContext& job, const DiscToc& toc, std::vector<int> tracks,
                         int encoders, Events events)
    : m_job(job), m_toc(toc), m_tracks(std::move(tracks)), m_events(std::move(events)),
      m_spool(job.output.folder), m_encoders(encoders) {}

RipPipeline::~RipPipeline() {
    m_encoders.stop();
    if (m_reader.joinable())
        m_reader.join();
}

void RipPipeline::start() {
    m_reader = std::jthread([this] {
        YieldToTheWindow();
        readTracks();
    });
}

void RipPipeline::readTracks() {
    for (const int track : m_tracks) {
        if (m_job.stopRequested)
            break;
        m_events.trackStarted(track + 1);
        readTrack(track);
    }
    m_events.readingDone();
    m_encoders.finish();
    m_events.finished();
}

// Files are named after the disc's track, also when an unreadable track left no row.
void RipPipeline::readTrack(int lTrack) {
    const RipOutput output = ChooseRipOutput(m_job.output, lTrack + 1, fileNameOf(lTrack));
    m_spool.makeFolderOf(output.file); // a pattern may name sub-folders
    TrackReading reading = readingFor(lTrack);
    RipContext reader = contextWith(EveryPercent(m_events.readProgress));
    reader.reading = &reading;
    if (output.path == RipPath::Wav) {
        StagedFile file(output.file);
        const bool complete = ExtractAudioTrackToWav(reader, lTrack, file.path(), file.finalPath());
        m_events.trackRead(lTrack, reading);
        keep(lTrack, file, complete);
        return;
    }
    if (output.path == RipPath::Wma && !output.wmaBitrate) {
        if (m_job.firstNotice(QStringLiteral("no WMA bit rate")))
            m_job.dialogs.showMessage(
                m_job.boxOwner,
                QStringLiteral("No WMA bit rate is selected, so no WMA file can be made. "
                               "Choose a bit rate in the WMA options."),
                QStringLiteral("WMA bit rate"), MessageIcon::Exclamation, MessageButtons::Ok);
        return;
    }
    // Nothing is read for a file its encoder could not be given.
    if (output.path == RipPath::None ||
        (output.path == RipPath::Encoder &&
         !EncoderTakesPath(m_job, output.code, output.bitrate,
                           StagedFile::PathWhileWriting(output.file), output.file)))
        return;
    const QString spooled = m_spool.trackFile(lTrack + 1);
    // A track read only in part (a failure, a stop) never reaches an encoder.
    const bool read = ExtractAudioTrackToWav(reader, lTrack, spooled, output.file);
    m_events.trackRead(lTrack, reading);
    if (!read || !m_encoders.add(
                     [this, lTrack, output, spooled] { encodeTrack(lTrack, output, spooled); })) {
        QFile::remove(spooled);
        return;
    }
    m_events.trackQueued(lTrack);
}

void RipPipeline::encodeTrack(int lTrack, const RipOutput& output, const QString& spooled) {
    if (!m_job.stopRequested) {
        const RipContext encoder = contextWith(
            EveryPercent([this, lTrack](float done) { m_events.encoding(lTrack, done); }));
        StagedFile file(output.file);
        const bool complete = EncodeSpooledTrack(encoder, lTrack, output, spooled, file);
        if (complete)
            tag(lTrack, output, file);
        keep(lTrack, file, complete);
    }
    QFile::remove(spooled);
    m_events.trackEncoded(lTrack);
}

// The file takes its name only when it is whole, or shorter but valid after a Stop; a failed
// attempt leaves the file an earlier rip made under that name as it was.
void RipPipeline::keep(int lTrack, StagedFile& file, bool complete) {
    const bool stoppedWithValidFile = m_job.stopRequested && QFileInfo(file.path()).size() > 0;
    if (!complete && !stoppedWithValidFile)
        return;
    if (file.makeFinal()) {
        if (complete)
            ++m_ripped;
        m_events.trackKept(lTrack, file.finalPath(), complete);
        return;
    }
    m_job.dialogs.showMessage(m_job.boxOwner,
                              QStringLiteral("The file \"") + file.finalPath() +
                                  QStringLiteral("\" could not be saved: ") +
                                  QString::fromLocal8Bit(std::strerror(errno)) +
                                  QStringLiteral(".\r\nThe track is not counted as ripped."),
                              QStringLiteral("Output folder"), MessageIcon::Exclamation,
                              MessageButtons::Ok);
}

// Named by the user's pattern; two tracks of a job never get the same name.
QString RipPipeline::fileNameOf(int lTrack) {
    const DiscTags none;
    const QString pattern = m_job.output.fileNames.trimmed();
    if (pattern.isEmpty())
        return {};
    return m_names.claim(
        TrackFileName(pattern, NameFieldsOfTrack(m_job.tags ? *m_job.tags : none, lTrack)));
}

// MP3, OGG and FLAC files get what is known of their track (typed, CD-TEXT or looked up)
// before they take their final name; a disc nothing is known of leaves them as the encoder
// made them.
void RipPipeline::tag(int lTrack, const RipOutput& output, const StagedFile& file) {
    if (m_job.tags == nullptr || !KnowsAnything(*m_job.tags) ||
        (output.path != RipPath::Encoder && output.path != RipPath::Flac))
        return;
    const auto audio = std::count_if(m_toc.tracks.begin(), m_toc.tracks.end(),
                                     [](const DiscToc::Track& t) { return t.audio; });
    const int total = audio > 0 ? int(audio) : m_job.tags->release.trackCount();
    const std::optional<QString> failure =
        WriteTags(file.path(), TagsOfTrack(*m_job.tags, lTrack, total));
    if (failure && m_job.firstNotice(QStringLiteral("tags")))
        m_job.dialogs.showMessage(m_job.boxOwner,
                                  QStringLiteral("The tags could not be written to \"") +
                                      file.finalPath() + QStringLiteral("\": ") + *failure +
                                      QStringLiteral(".\r\nThe files are ripped without them."),
                                  QStringLiteral("Tags"), MessageIcon::Exclamation,
                                  MessageButtons::Ok);
}

// The checksums count the track's samples as the table of contents gives them and leave out
// the disc's edges on its first and last audio tracks.
TrackReading RipPipeline::readingFor(int lTrack) const {
    TrackReading reading;
    const auto& tracks = m_toc.tracks;
    if (lTrack < 0 || lTrack >= tracks.size())
        return reading;
    const auto isAudio = [](const DiscToc::Track& t) { return t.audio; };
    const qsizetype first = std::find_if(tracks.begin(), tracks.end(), isAudio) - tracks.begin();
    const qsizetype last =
        tracks.size() - 1 -
        (std::find_if(tracks.rbegin(), tracks.rend(), isAudio) - tracks.rbegin());
    const qint64 samples = qint64(TrackEnd(m_toc, lTrack) - tracks[lTrack].lsn) * kSamplesPerSector;
    reading.checksums.emplace(samples, lTrack == first, lTrack == last);
    return reading;
}

RipContext RipPipeline::contextWith(std::function<void(float)> progress) const {
    RipContext context = m_job;
    context.progress = std::move(progress);
    return context;
}

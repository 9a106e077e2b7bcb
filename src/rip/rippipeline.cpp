#include "rip/rippipeline.h"

#include "common/dialogs.h"
#include "metadata/disccodetags.h"
#include "rip/converter.h"
#include "rip/discwatch.h"
#include "rip/encodercommand.h"
#include "rip/libraryfiles.h"
#include "rip/ripfilecheck.h"
#include "rip/spooledencoding.h"
#include "rip/stableread.h"
#include "rip/stagedfile.h"
#include "rip/tracktagging.h"
#include "rip/wavfilewriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <memory>

namespace {

constexpr qint64 kBytesPerSample = 4; // a stereo sample of 16 bits

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

void RipPipeline::stop() {
    m_encoders.stop();
    const std::lock_guard lock(m_mutex);
    std::erase_if(m_atEncoders, [](const auto& track) { return !track.second.running; });
    tellEncoders();
}

// The tracks Stop or a lost disc left untouched, and those Stop dropped from the encoders'
// queue, end here. Tracks read before the disc was lost are encoded as usual.
void RipPipeline::readTracks() {
    for (const int track : m_tracks) {
        if (m_discLost || m_job.control.waitWhilePaused())
            break;
        m_events.trackStarted(track + 1);
        readTrack(track);
    }
    m_events.readingDone();
    m_encoders.finish();
    for (const int track : m_tracks)
        decide(track, TrackOutcome::Of(TrackOutcome::Kind::NotStarted, m_discLost.value_or("")));
    if (m_job.library != nullptr)
        m_job.library->jobDone(m_job.dialogs, m_job.boxOwner);
    m_events.finished();
}

void RipPipeline::discLost(int lTrack, const QString& reason) {
    m_discLost = reason;
    const DiscLostBox box = DiscLostMessage(reason, lTrack + 1);
    m_job.dialogs.showMessage(m_job.boxOwner, box.text, box.caption, MessageIcon::Exclamation,
                              MessageButtons::Ok);
}

// Files are named after the disc's track, also when an unreadable track left no row.
void RipPipeline::readTrack(int lTrack) {
    const RipOutput output = ChooseRipOutput(m_job.output, lTrack + 1, fileNameOf(lTrack));
    m_spool.makeFolderOf(output.file); // a pattern may name sub-folders
    if (std::optional<TrackOutcome> refused = cannotRip(output)) {
        decide(lTrack, *refused);
        return;
    }
    TrackReading reading = readingFor(lTrack);
    RipContext reader = contextFor(output, EveryPercent(m_events.readProgress));
    reader.reading = &reading;
    // Two formats are made from one spooled reading.
    if (output.path != RipPath::Wav || (m_job.library && m_job.library->alsoOutput(lTrack))) {
        spoolTrack(lTrack, output, reader);
        return;
    }
    StagedFile file(output.file);
    TrackOutcome outcome = ReadTrackToWav(reader, lTrack, file.path(), file.finalPath());
    m_events.trackRead(lTrack, reading);
    if (reading.discLost)
        discLost(lTrack, *reading.discLost);
    if (outcome.keepsFile())
        check(output, file,
              (QFileInfo(file.path()).size() - WavFileWriter::kHeaderBytes) / kBytesPerSample,
              outcome);
    keep(file, outcome);
    decide(lTrack, outcome);
}

// A track read only in part (a failure, a stop) never reaches an encoder.
void RipPipeline::spoolTrack(int lTrack, const RipOutput& output, RipContext& reader) {
    const QString spooled = m_spool.trackFile(lTrack + 1);
    const TrackOutcome read = ReadTrackToWav(reader, lTrack, spooled, output.file);
    m_events.trackRead(lTrack, *reader.reading);
    if (reader.reading->discLost)
        discLost(lTrack, *reader.reading->discLost);
    if (!read.ripped()) {
        QFile::remove(spooled);
        decide(lTrack, read);
        return;
    }
    enterEncoders(lTrack);
    const qint64 bytes = reader.reading->bytes;
    if (m_encoders.add([this, lTrack, output, spooled, bytes] {
            encodeTrack(lTrack, output, spooled, bytes);
        }))
        return;
    QFile::remove(spooled);
    leaveEncoders(lTrack);
    decide(lTrack, TrackOutcome::Of(TrackOutcome::Kind::NotStarted));
}

void RipPipeline::encodeTrack(int lTrack, const RipOutput& output, const QString& spooled,
                              qint64 bytes) {
    updateEncoder(lTrack, {true, 0});
    TrackOutcome outcome = TrackOutcome::Of(TrackOutcome::Kind::NotStarted);
    const RipContext encoder = contextFor(output, EveryPercent([this, lTrack](float done) {
                                              updateEncoder(lTrack, {true, done});
                                          }));
    if (m_job.stopRequested()) {
        // dropped: the user's Stop came before its encoder started
    } else if (std::optional<TrackOutcome> problem =
                   SpoolProblem(encoder, lTrack, spooled, bytes)) {
        outcome = *problem;
    } else {
        outcome = encodeFile(lTrack, output, spooled, encoder);
        if (m_job.library != nullptr)
            if (const std::optional<RipOutput> also = m_job.library->alsoOutput(lTrack))
                outcome = m_job.library->bothMade(
                    lTrack, outcome,
                    encodeFile(lTrack, *also, spooled, contextFor(*also, encoder.progress)));
    }
    QFile::remove(spooled);
    leaveEncoders(lTrack);
    decide(lTrack, outcome);
}

TrackOutcome RipPipeline::encodeFile(int lTrack, const RipOutput& output, const QString& spooled,
                                     const RipContext& encoder) {
    StagedFile file(output.file);
    const EncodedTrack encoded = EncodeSpooledTrack(encoder, lTrack, output, spooled, file);
    TrackOutcome outcome = encoded.outcome;
    if (outcome.keepsFile())
        check(output, file, encoded.samples, outcome);
    if (outcome.ripped()) {
        tag(lTrack, output, file);
        if (m_job.library != nullptr)
            m_job.library->finishFile(lTrack, output.path, file.path());
    }
    keep(file, outcome);
    return outcome;
}

std::optional<TrackOutcome> RipPipeline::cannotRip(const RipOutput& output) {
    using Kind = TrackOutcome::Kind;
    if (output.path == RipPath::None)
        return TrackOutcome::Of(Kind::EncoderFailed, QStringLiteral("no output format is chosen"));
    if (output.path == RipPath::Wma && !output.wmaBitrate) {
        if (m_job.firstNotice(QStringLiteral("no WMA bit rate")))
            m_job.dialogs.showMessage(
                m_job.boxOwner,
                QStringLiteral("No WMA bit rate is selected, so no WMA file can be made. "
                               "Choose a bit rate in the WMA options."),
                QStringLiteral("WMA bit rate"), MessageIcon::Exclamation, MessageButtons::Ok);
        return TrackOutcome::Of(Kind::EncoderFailed, QStringLiteral("no WMA bit rate is selected"));
    }
    const QString staged = StagedFile::PathWhileWriting(output.file);
    if (std::optional<TrackOutcome> tooLong = NameTooLong(m_job, staged, output.file))
        return tooLong;
    // Nothing is read for a file its encoder could not be given.
    if (output.path == RipPath::Encoder &&
        !EncoderTakesPath(m_job, output.code, output.bitrate, staged, output.file))
        return TrackOutcome::Of(
            Kind::EncoderFailed,
            BuildEncoderCommand(output.code, output.bitrate, output.file).refusal);
    return std::nullopt;
}

void RipPipeline::check(const RipOutput& output, const StagedFile& file, qint64 samples,
                        TrackOutcome& outcome) {
    if (std::optional<TrackOutcome> failed =
            CheckRippedFile(m_job, output, file.path(), file.finalPath(), samples))
        outcome = *failed;
}

// The file takes its name only when it is whole, or shorter but valid after the user's Stop; a
// failed attempt, also one that came while a Stop was pending, leaves the file an earlier rip
// made under that name as it was.
void RipPipeline::keep(StagedFile& file, TrackOutcome& outcome) {
    if (!outcome.keepsFile())
        return;
    if (file.makeFinal()) {
        outcome.file = file.finalPath();
        return;
    }
    const QString reason = QString::fromLocal8Bit(std::strerror(errno));
    m_job.dialogs.showMessage(m_job.boxOwner,
                              QStringLiteral("The file \"") + file.finalPath() +
                                  QStringLiteral("\" could not be saved: ") + reason +
                                  QStringLiteral(".\r\nThe track is not counted as ripped."),
                              QStringLiteral("Output folder"), MessageIcon::Exclamation,
                              MessageButtons::Ok);
    outcome = TrackOutcome::Of(TrackOutcome::Kind::WriteFailed, reason);
}

// The first word on a track is its outcome; a later one (the end's "not started") is dropped.
void RipPipeline::decide(int lTrack, const TrackOutcome& outcome) {
    {
        const std::lock_guard lock(m_mutex);
        if (!m_decided.insert(lTrack).second)
            return;
    }
    if (m_job.library != nullptr)
        m_job.library->trackEnded(lTrack, outcome);
    m_events.trackEnded(lTrack, outcome);
}

void RipPipeline::enterEncoders(int lTrack) {
    const std::lock_guard lock(m_mutex);
    m_atEncoders[lTrack] = {};
    tellEncoders();
}

// A track Stop dropped from the queue is not counted again.
void RipPipeline::updateEncoder(int lTrack, const AtEncoder& state) {
    const std::lock_guard lock(m_mutex);
    const auto found = m_atEncoders.find(lTrack);
    if (found == m_atEncoders.end())
        return;
    found->second = state;
    tellEncoders();
}

void RipPipeline::leaveEncoders(int lTrack) {
    const std::lock_guard lock(m_mutex);
    m_atEncoders.erase(lTrack);
    tellEncoders();
}

// Told under the lock, so the window hears the counts in the order they changed.
void RipPipeline::tellEncoders() {
    float done = 0;
    for (const auto& [lTrack, state] : m_atEncoders)
        done += state.done;
    const auto left = static_cast<int>(m_atEncoders.size());
    m_events.encoders(left, left > 0 ? done / float(left) : 0.0f);
}

QString RipPipeline::fileNameOf(int lTrack) const {
    if (m_job.fileNames == nullptr)
        return {};
    const auto named = m_job.fileNames->find(lTrack);
    return named == m_job.fileNames->end() ? QString() : named->second;
}

// MP3, OGG and FLAC files get what is known of their track (typed, CD-TEXT or looked up)
// before they take their final name; a disc nothing is known of leaves them as the encoder
// made them.
void RipPipeline::tag(int lTrack, const RipOutput& output, const StagedFile& file) {
    if (m_job.tags == nullptr || !KnowsAnything(*m_job.tags) ||
        (output.path != RipPath::Encoder && output.path != RipPath::Flac))
        return;
    const auto audio = std::count_if(m_toc.tracks.cbegin(), m_toc.tracks.cend(),
                                     [](const DiscToc::Track& t) { return t.audio; });
    const int total = audio > 0 ? int(audio) : m_job.tags->release.trackCount();
    TrackTags tags = TagsOfTrack(*m_job.tags, lTrack, total);
    AddDiscCodes(tags, *m_job.tags, lTrack);
    const std::optional<QString> failure = WriteTags(file.path(), tags);
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
    if (lTrack == int(BASS_CD_TRACK_HIDDEN) && !tracks.isEmpty()) // from the disc's first sector
        reading.checksums.emplace(qint64(tracks.first().lsn) * kSamplesPerSector, false, false);
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

RipContext RipPipeline::contextFor(const RipOutput& output,
                                   std::function<void(float)> progress) const {
    RipContext context = m_job;
    context.path = output.path;
    context.progress = std::move(progress);
    return context;
}

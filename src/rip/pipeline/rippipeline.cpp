#include "rip/pipeline/rippipeline.h"

#include "common/dialogs.h"
#include "rip/encode/spooledencoding.h"
#include "rip/encode/wavfilewriter.h"
#include "rip/files/stagedfile.h"
#include "rip/library/libraryfiles.h"
#include "rip/pipeline/trackoutput.h"
#include "rip/read/discwatch.h"
#include "rip/read/trackread.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
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
    for (const int index : m_tracks) {
        if (m_discLost || m_job.control.waitWhilePaused())
            break;
        const DiscTrack track = DiscTrack::At(m_toc, index);
        m_events.trackStarted(track.number);
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

void RipPipeline::discLost(const DiscTrack& track, const QString& reason) {
    m_discLost = reason;
    const DiscLostBox box = DiscLostMessage(reason, track.number);
    m_job.dialogs.showMessage(m_job.boxOwner, box.text, box.caption, MessageIcon::Exclamation,
                              MessageButtons::Ok);
}

void RipPipeline::readTrack(const DiscTrack& track) {
    const TrackOutput output(m_job, m_toc, track, m_spool);
    if (std::optional<TrackOutcome> refused = output.refusal()) {
        decide(track.index, *refused);
        return;
    }
    TrackReading reading;
    RipContext reader = contextFor(output.output(), EveryPercent(m_events.readProgress));
    reader.reading = &reading;
    // Two formats are made from one spooled reading.
    if (output.output().path != RipPath::Wav ||
        (m_job.library != nullptr && m_job.library->alsoOutput(track.index))) {
        spoolTrack(output, reader);
        return;
    }
    decide(track.index, output.write([&](const StagedFile& file) -> WrittenTrack {
        const TrackOutcome read =
            ReadTrackToWav(reader, m_toc, track, file.path(), file.finalPath());
        tellRead(track, reading);
        return {read,
                (QFileInfo(file.path()).size() - WavFileWriter::kHeaderBytes) / kBytesPerSample};
    }));
}

// What the reader learned is told before the track's outcome; a lost disc, once.
void RipPipeline::tellRead(const DiscTrack& track, const TrackReading& reading) {
    m_events.trackRead(track.index, reading);
    if (reading.discLost)
        discLost(track, *reading.discLost);
}

// A track read only in part (a failure, a stop) never reaches an encoder.
void RipPipeline::spoolTrack(const TrackOutput& output, RipContext& reader) {
    const DiscTrack& track = output.track();
    const QString spooled = m_spool.trackFile(track.number);
    const TrackOutcome read = ReadTrackToWav(reader, m_toc, track, spooled, output.output().file);
    tellRead(track, *reader.reading);
    if (!read.ripped()) {
        QFile::remove(spooled);
        decide(track.index, read);
        return;
    }
    enterEncoders(track);
    const qint64 bytes = reader.reading->bytes;
    if (m_encoders.add([this, output, spooled, bytes] { encodeTrack(output, spooled, bytes); }))
        return;
    QFile::remove(spooled);
    leaveEncoders(track);
    decide(track.index, TrackOutcome::Of(TrackOutcome::Kind::NotStarted));
}

void RipPipeline::encodeTrack(const TrackOutput& output, const QString& spooled, qint64 bytes) {
    const DiscTrack& track = output.track();
    updateEncoder(track, {true, 0});
    TrackOutcome outcome = TrackOutcome::Of(TrackOutcome::Kind::NotStarted);
    const RipContext encoder = contextFor(output.output(), EveryPercent([this, track](float done) {
                                              updateEncoder(track, {true, done});
                                          }));
    if (m_job.stopRequested()) {
        // dropped: the user's Stop came before its encoder started
    } else if (std::optional<TrackOutcome> problem = SpoolProblem(encoder, track, spooled, bytes)) {
        outcome = *problem;
    } else {
        outcome = output.write([&](const StagedFile& file) {
            return EncodeSpooledTrack(encoder, track, output.output(), spooled, file);
        });
        if (m_job.library != nullptr)
            if (const std::optional<RipOutput> also = m_job.library->alsoOutput(track.index))
                outcome = m_job.library->bothMade(
                    track.index, outcome,
                    TrackOutput(output, *also).write([&](const StagedFile& file) {
                        return EncodeSpooledTrack(contextFor(*also, encoder.progress), track, *also,
                                                  spooled, file);
                    }));
    }
    QFile::remove(spooled);
    leaveEncoders(track);
    decide(track.index, outcome);
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

void RipPipeline::enterEncoders(const DiscTrack& track) {
    const std::lock_guard lock(m_mutex);
    m_atEncoders[track.index] = {};
    tellEncoders();
}

// A track Stop dropped from the queue is not counted again.
void RipPipeline::updateEncoder(const DiscTrack& track, const AtEncoder& state) {
    const std::lock_guard lock(m_mutex);
    const auto found = m_atEncoders.find(track.index);
    if (found == m_atEncoders.end())
        return;
    found->second = state;
    tellEncoders();
}

void RipPipeline::leaveEncoders(const DiscTrack& track) {
    const std::lock_guard lock(m_mutex);
    m_atEncoders.erase(track.index);
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

RipContext RipPipeline::contextFor(const RipOutput& output,
                                   std::function<void(float)> progress) const {
    RipContext context = m_job;
    context.path = output.path;
    context.progress = std::move(progress);
    return context;
}

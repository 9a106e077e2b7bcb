#include "rip/pipeline/trackoutput.h"

#include "common/dialogs.h"
#include "metadata/disccodetags.h"
#include "rip/encode/converter.h"
#include "rip/encode/encodercommand.h"
#include "rip/files/ripfilecheck.h"
#include "rip/files/ripspool.h"
#include "rip/files/stagedfile.h"
#include "rip/files/tracktagging.h"
#include "rip/library/libraryfiles.h"

#include <cerrno>
#include <cstring>

namespace {

// Files are named after the disc's track, also when an unreadable track left no row.
RipOutput OutputOf(const RipContext& job, const DiscTrack& track) {
    QString name;
    if (job.fileNames != nullptr)
        if (const auto named = job.fileNames->find(track.index); named != job.fileNames->end())
            name = named->second;
    return ChooseRipOutput(job.output, track.number, name);
}

} // namespace

TrackOutput::TrackOutput(const RipContext& job, const DiscToc& toc, const DiscTrack& track,
                         RipSpool& spool)
    : m_job(job), m_toc(toc), m_track(track), m_output(OutputOf(job, track)) {
    spool.makeFolderOf(m_output.file); // a pattern may name sub-folders
}

TrackOutput::TrackOutput(const TrackOutput& first, RipOutput other)
    : m_job(first.m_job), m_toc(first.m_toc), m_track(first.m_track), m_output(std::move(other)) {}

std::optional<TrackOutcome> TrackOutput::refusal() const {
    using Kind = TrackOutcome::Kind;
    if (m_output.path == RipPath::None)
        return TrackOutcome::Of(Kind::EncoderFailed, QStringLiteral("no output format is chosen"));
    if (m_output.path == RipPath::Wma && !m_output.wmaBitrate) {
        if (m_job.firstNotice(QStringLiteral("no WMA bit rate")))
            m_job.dialogs.showMessage(
                m_job.boxOwner,
                QStringLiteral("No WMA bit rate is selected, so no WMA file can be made. "
                               "Choose a bit rate in the WMA options."),
                QStringLiteral("WMA bit rate"), MessageIcon::Exclamation, MessageButtons::Ok);
        return TrackOutcome::Of(Kind::EncoderFailed, QStringLiteral("no WMA bit rate is selected"));
    }
    const QString staged = StagedFile::PathWhileWriting(m_output.file);
    if (std::optional<TrackOutcome> tooLong = NameTooLong(m_job, staged, m_output.file))
        return tooLong;
    // Nothing is read for a file its encoder could not be given.
    if (m_output.path == RipPath::Encoder &&
        !EncoderTakesPath(m_job, m_output.code, m_output.bitrate, staged, m_output.file))
        return TrackOutcome::Of(
            Kind::EncoderFailed,
            BuildEncoderCommand(m_output.code, m_output.bitrate, m_output.file).refusal);
    return std::nullopt;
}

TrackOutcome TrackOutput::write(const std::function<WrittenTrack(const StagedFile&)>& write) const {
    StagedFile file(m_output.file);
    const WrittenTrack written = write(file);
    TrackOutcome outcome = written.outcome;
    if (outcome.keepsFile())
        check(file, written.samples, outcome);
    if (outcome.ripped()) {
        tag(file);
        if (m_job.library != nullptr) // the track's gain and the cover, before its name
            m_job.library->finishFile(m_track.index, m_output.path, file.path());
    }
    keep(file, outcome);
    return outcome;
}

// The file is checked before it takes its name; one that fails is the encoder's failure.
void TrackOutput::check(const StagedFile& file, qint64 samples, TrackOutcome& outcome) const {
    if (std::optional<TrackOutcome> failed =
            CheckRippedFile(m_job, m_output, file.path(), file.finalPath(), samples))
        outcome = *failed;
}

// MP3, OGG and FLAC files get what is known of their track (typed, CD-TEXT or looked up)
// before they take their final name, and WMA files with tags what their tag boxes do not hold;
// a disc nothing is known of leaves them as the encoder made them.
void TrackOutput::tag(const StagedFile& file) const {
    const bool wma = m_output.path == RipPath::Wma;
    const bool tagged = wma ? m_job.output.wmaTags
                            : m_output.path == RipPath::Encoder || m_output.path == RipPath::Flac;
    if (m_job.tags == nullptr || !KnowsAnything(*m_job.tags) || !tagged)
        return;
    const auto audio = m_toc.audioTracks().size();
    const int total = audio > 0 ? int(audio) : m_job.tags->release.trackCount();
    TrackTags tags = TagsOfTrack(*m_job.tags, m_track, total);
    AddDiscCodes(tags, *m_job.tags, m_track.index);
    const std::optional<QString> failure =
        wma ? WriteWmaTags(file.path(), tags) : WriteTags(file.path(), tags);
    if (failure && m_job.firstNotice(QStringLiteral("tags")))
        m_job.dialogs.showMessage(m_job.boxOwner,
                                  QStringLiteral("The tags could not be written to \"") +
                                      file.finalPath() + QStringLiteral("\": ") + *failure +
                                      QStringLiteral(".\r\nThe files are ripped without them."),
                                  QStringLiteral("Tags"), MessageIcon::Exclamation,
                                  MessageButtons::Ok);
}

// The file takes its name only when it is whole, or shorter but valid after the user's Stop; a
// failed attempt, also one that came while a Stop was pending, leaves the file an earlier rip
// made under that name as it was.
void TrackOutput::keep(StagedFile& file, TrackOutcome& outcome) const {
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

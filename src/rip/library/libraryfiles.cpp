#include "rip/library/libraryfiles.h"

#include "common/dialogs.h"
#include "metadata/coverembed.h"
#include "metadata/disccodetags.h"
#include "metadata/gaintags.h"
#include "metadata/trackfilename.h"
#include "rip/files/ripoutput.h"
#include "rip/files/tracktagging.h"
#include "rip/library/discfiles.h"
#include "rip/library/discimage.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The formats whose files carry tags the program writes after the audio.
bool Tagged(RipPath path) {
    return path == RipPath::Encoder || path == RipPath::Flac || path == RipPath::Wma;
}

bool Lossy(RipPath path) {
    return path == RipPath::Encoder || path == RipPath::Wma;
}

bool TaggedFile(const QString& file) {
    return !file.endsWith(QLatin1String(".wav"), Qt::CaseInsensitive);
}

} // namespace

LibraryFiles::LibraryFiles(AudioLibrary bass, Job job)
    : m_bass(bass), m_job(std::move(job)), m_also(AlsoMadeChoice(m_job.output)) {
    if (m_job.output.replayGain)
        m_loudness = std::make_unique<LoudnessThread>();
    if (m_also)
        m_alsoNames = NameTrackFiles(m_also->fileNames, m_job.tags, m_job.toc, m_job.tracks,
                                     FormatName(*m_also));
}

std::optional<RipOutput> LibraryFiles::alsoOutput(int lTrack) const {
    if (!m_also)
        return std::nullopt;
    const auto named = m_alsoNames.find(lTrack);
    RipOutput also = ChooseRipOutput(*m_also, DiscTrack::At(m_job.toc, lTrack).number,
                                     named == m_alsoNames.end() ? QString() : named->second);
    QDir().mkpath(QFileInfo(also.file).absolutePath()); // its pattern's sub-folders
    return also;
}

TrackOutcome LibraryFiles::bothMade(int lTrack, const TrackOutcome& first,
                                    const TrackOutcome& second) {
    const QString format = FormatName(*m_also);
    if (second.file.isEmpty()) {
        note(lTrack, QStringLiteral("Also made: none (%1)").arg(OutcomeWithReason(second)));
    } else {
        note(lTrack, QStringLiteral("Also made: ") +
                         QDir(m_job.output.folder).relativeFilePath(second.file));
        const std::lock_guard lock(m_mutex);
        m_alsoFiles[lTrack] = second.file;
    }
    if (!first.ripped() || second.ripped())
        return first;
    TrackOutcome both = TrackOutcome::Of(
        second.kind, format + QStringLiteral(" file: ") +
                         (second.reason.isEmpty() ? OutcomeText(second.kind) : second.reason));
    both.file = first.file;
    return both;
}

LibraryFiles::~LibraryFiles() = default;

// Read on the rip's threads, never the window's: a drive may take seconds for the ISRCs.
const DiscSubcode* LibraryFiles::subcode() {
    std::call_once(m_subcodeRead, [this] {
        DiscSubcode read;
        if (m_bass.cd.BASS_CD_GetSubcode(m_job.drive, &read, 1))
            m_subcode = std::move(read);
    });
    return m_subcode ? &*m_subcode : nullptr;
}

bool LibraryFiles::preEmphasised(int lTrack) {
    const DiscSubcode* read = subcode();
    return read != nullptr && lTrack >= 0 && lTrack < read->tracks.size() &&
           read->tracks[lTrack].preEmphasis;
}

// Both formats are made from one reading: a lossless one among them keeps it as the disc has it.
std::optional<DeEmphasis> LibraryFiles::deEmphasisFor(int lTrack, RipPath path) {
    const bool alsoLossy = !m_also || Lossy(ChooseRipOutput(*m_also, 1).path);
    if (!m_job.output.removePreEmphasis || !Lossy(path) || !alsoLossy || !preEmphasised(lTrack))
        return std::nullopt;
    return DeEmphasis();
}

// The log says which files were changed, and which keep the disc's emphasis.
void LibraryFiles::notePreEmphasis(const std::vector<int>& ripped) {
    const bool lossy = Lossy(ChooseRipOutput(m_job.output, 1).path) &&
                       (!m_also || Lossy(ChooseRipOutput(*m_also, 1).path));
    for (const int lTrack : ripped) {
        if (!preEmphasised(lTrack))
            continue;
        if (m_job.output.removePreEmphasis && lossy)
            note(lTrack, QStringLiteral("Pre-emphasis: removed from the file"));
        else
            note(lTrack, QStringLiteral("Pre-emphasis: the file keeps it as the disc has it"));
    }
}

void LibraryFiles::finishFile(int lTrack, RipPath path, const QString& staged) {
    if (!Tagged(path))
        return;
    if (m_loudness)
        if (const std::optional<Loudness> loudness = m_loudness->track(lTrack))
            if (const auto failure = WriteGainTags(staged, TrackGainTags(*loudness)))
                note(lTrack, QStringLiteral("ReplayGain tags: not written (%1)").arg(*failure));
    if (m_job.output.coverArt && !m_job.tags.cover.isNull())
        if (const auto failure = EmbedCover(staged, m_job.tags.cover))
            note(lTrack, QStringLiteral("Cover: not embedded (%1)").arg(*failure));
}

void LibraryFiles::trackEnded(int lTrack, const TrackOutcome& outcome) {
    const std::lock_guard lock(m_mutex);
    m_outcomes[lTrack] = outcome;
}

std::vector<int> LibraryFiles::rippedTracks() const {
    const std::lock_guard lock(m_mutex);
    std::vector<int> ripped;
    for (const auto& [lTrack, outcome] : m_outcomes)
        if (outcome.ripped() && !outcome.file.isEmpty())
            ripped.push_back(lTrack);
    return ripped;
}

void LibraryFiles::jobDone(Dialogs& dialogs, QWidget* boxOwner) {
    const std::vector<int> ripped = rippedTracks();
    if (m_also)
        jobNote(QStringLiteral("Also made: %1, files named %2")
                    .arg(FormatName(*m_also), m_also->fileNames));
    notePreEmphasis(ripped);
    if (m_loudness)
        writeAlbumGain(ripped);
    if (m_job.output.coverArt) {
        for (const QString& line : m_job.tags.coverNotes)
            jobNote(line.left(1).toUpper() + line.mid(1));
        if (!m_job.tags.cover.isNull() && !ripped.empty()) {
            const QString folder = QFileInfo(m_outcomes.at(ripped.front()).file).absolutePath();
            const auto failure = SaveCoverFile(folder, m_job.tags.cover);
            jobNote(QStringLiteral("Cover file: ") +
                    failure.value_or(QStringLiteral("cover.") + m_job.tags.cover.extension()));
        }
    }
    writeDiscFiles(ripped, dialogs, boxOwner);
}

// The album's values go into the files under their final names: a file is retagged in place,
// its audio untouched.
void LibraryFiles::writeAlbumGain(const std::vector<int>& ripped) {
    for (const int lTrack : ripped)
        if (const std::optional<Loudness> loudness = m_loudness->track(lTrack))
            note(lTrack, QStringLiteral("ReplayGain: ") + LoudnessLogText(*loudness));
    const std::optional<Loudness> album = m_loudness->album(ripped);
    if (!album) {
        jobNote(QStringLiteral("ReplayGain album: no track was read whole"));
        return;
    }
    jobNote(QStringLiteral("ReplayGain album: ") + LoudnessLogText(*album));
    for (const int lTrack : ripped) {
        QStringList files{m_outcomes.at(lTrack).file};
        if (const auto also = m_alsoFiles.find(lTrack); also != m_alsoFiles.end())
            files << also->second;
        for (const QString& file : files) {
            if (!TaggedFile(file))
                continue;
            if (const auto failure = WriteGainTags(file, AlbumGainTags(*album)))
                note(lTrack,
                     QStringLiteral("ReplayGain album tags: not written (%1)").arg(*failure));
        }
    }
}

// A FLAC image is the album as one track: the album's gain is its own, the cover goes in too.
void LibraryFiles::tagDiscImage(const QString& image, const std::vector<int>& ripped) {
    if (!TaggedFile(image))
        return;
    std::optional<QString> failure;
    if (const std::optional<Loudness> album = m_loudness ? m_loudness->album(ripped) : std::nullopt)
        if (!(failure = WriteGainTags(image, TrackGainTags(*album))))
            failure = WriteGainTags(image, AlbumGainTags(*album));
    if (!failure && m_job.output.coverArt && !m_job.tags.cover.isNull())
        failure = EmbedCover(image, m_job.tags.cover);
    if (failure)
        jobNote(QStringLiteral("Disc image tags: not written (%1)").arg(*failure));
}

void LibraryFiles::writeDiscFiles(const std::vector<int>& ripped, Dialogs& dialogs,
                                  QWidget* boxOwner) {
    DiscFilesJob job{m_job.toc, {}, m_job.tags, {}, {}, 0};
    if (const DiscSubcode* read = subcode())
        job.subcode = *read;
    for (const int lTrack : ripped)
        job.files.emplace_back(lTrack, m_outcomes.at(lTrack).file);
    DiscFilesWritten written;
    MakeDiscImage(job, m_job.output, written);
    if (!job.image.isEmpty())
        tagDiscImage(job.image, ripped);
    const DiscFilesWritten beside = WriteDiscFiles(job);
    written.notes << beside.notes;
    written.failures << beside.failures;
    for (const QString& line : written.notes)
        jobNote(line);
    if (written.failures.isEmpty())
        return;
    dialogs.showMessage(boxOwner,
                        QStringLiteral("Could not be written beside the ripped files:\r\n") +
                            written.failures.join(QStringLiteral("\r\n")) +
                            QStringLiteral("\r\nThe audio files are kept."),
                        QStringLiteral("Cue sheet and playlist"), MessageIcon::Exclamation,
                        MessageButtons::Ok);
}

void LibraryFiles::note(int lTrack, const QString& line) {
    const std::lock_guard lock(m_mutex);
    m_trackNotes[lTrack] << line;
}

void LibraryFiles::jobNote(const QString& line) {
    const std::lock_guard lock(m_mutex);
    m_jobNotes << line;
}

QStringList LibraryFiles::trackNotes(int lTrack) const {
    const std::lock_guard lock(m_mutex);
    const auto found = m_trackNotes.find(lTrack);
    return found == m_trackNotes.end() ? QStringList() : found->second;
}

QStringList LibraryFiles::jobNotes() const {
    const std::lock_guard lock(m_mutex);
    return m_jobNotes;
}

QString FormatName(const OutputChoice& choice) {
    const OutputFormat* format = FindOutputFormat(choice.format);
    return format == nullptr ? QString() : QString::fromLatin1(format->name);
}

int FolderLevels(const OutputChoice& choice) {
    const std::optional<OutputChoice> also = AlsoMadeChoice(choice);
    return std::max(PatternFolderLevels(choice.fileNames),
                    also ? PatternFolderLevels(also->fileNames) : 0);
}

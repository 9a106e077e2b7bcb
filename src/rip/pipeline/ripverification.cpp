#include "rip/pipeline/ripverification.h"

#include "common/audiolibrary.h"
#include "common/dialogs.h"
#include "rip/library/libraryfiles.h"
#include "verify/riplogfile.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

RipVerification::RipVerification(Job job, QObject* parent)
    : QObject(parent), m_job(std::move(job)), m_ids(AccurateRipDiscIds(m_job.toc)) {
    connect(&m_client, &AccurateRipClient::finished, this, &RipVerification::answered);
}

void RipVerification::trackRead(int lTrack, const TrackReading& reading) {
    if (!reading.wholeTrack || !reading.checksums)
        return;
    m_read[lTrack] = reading;
    if (m_asked || !m_job.checkAccurateRip || m_ids.audioTracks == 0)
        return;
    m_asked = m_waiting = true;
    m_client.fetch(AccurateRipPath(m_ids));
}

void RipVerification::trackEnded(int lTrack, const TrackOutcome& outcome) {
    m_outcomes[lTrack] = outcome;
    if (outcome.ripped())
        m_lastRipped = lTrack;
    if (!outcome.ripped() || m_answer)
        emit verdict(QStringLiteral("Track %1: %2")
                         .arg(DiscTrack::At(m_job.toc, lTrack).number)
                         .arg(logTrack(lTrack).result()));
}

void RipVerification::answered(const DbarLookup& lookup) {
    m_answer = lookup;
    m_waiting = false;
    if (m_lastRipped >= 0)
        emit verdict(QStringLiteral("Track %1: %2")
                         .arg(m_lastRipped + 1)
                         .arg(logTrack(m_lastRipped).result()));
    emit settled();
}

TrackVerdict RipVerification::judge(int lTrack) const {
    TrackVerdict notChecked;
    if (lTrack < 0)
        notChecked.reason = QStringLiteral("the database has no entry for the hidden track");
    else if (!m_job.checkAccurateRip)
        notChecked.reason = QStringLiteral("turned off in the General Options");
    else if (m_ids.audioTracks == 0)
        notChecked.reason = QStringLiteral("the disc's table of contents is not known");
    else if (!m_answer)
        notChecked.reason = QStringLiteral("no answer before the rip ended");
    const auto read = m_read.find(lTrack);
    if (!notChecked.reason.isEmpty() || read == m_read.end())
        return notChecked;
    // The database keeps each track's entry at its place on the disc, data tracks included: the
    // library's track number is that place.
    const TrackSums sums = read->second.checksums->sums();
    return JudgeTrack(*m_answer, m_ids, lTrack, sums.v1, sums.v2);
}

RipLogFacts RipVerification::facts(bool stopped) const {
    RipLogFacts facts;
    facts.start = m_start;
    facts.drive.name = m_job.driveName;
    facts.drive.readOffset = m_job.readOffset;
    // A real drive describes itself as "vendor model revision"; an image is read exactly.
    const QStringList words = m_job.driveName.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    facts.drive.paranoia = !m_job.driveName.startsWith(QLatin1String(kVirtualDrivePrefix));
    facts.drive.mostCareful = m_job.mostCareful;
    facts.drive.readTwice = m_job.readTwice;
    facts.ripAgainOf = m_job.ripAgainOf;
    if (facts.drive.paranoia && words.size() >= 2) {
        facts.drive.vendor = words.first();
        facts.drive.model = words.mid(1, std::max<qsizetype>(1, words.size() - 2)).join(' ');
    }
    facts.toc = m_job.toc;
    facts.outputFormat = m_job.outputFormat;
    facts.encoderCommand = m_job.encoderCommand;
    facts.folderNotes = m_job.folderNotes;
    const ReleaseInfo& release = m_job.tags.release;
    const QString from =
        m_job.tags.titlesFrom.isEmpty() ? QStringLiteral("none") : m_job.tags.titlesFrom;
    facts.titles = {release.title, release.artist, from, release.releaseId, m_job.tags.lookupSteps};
    for (const int lTrack : m_job.tracks)
        facts.tracks.append(logTrack(lTrack));
    facts.stopped = stopped;
    if (m_job.library != nullptr) {
        facts.outputNotes = m_job.library->jobNotes();
        if (const DiscSubcode* subcode = m_job.library->subcode())
            facts.subcode = *subcode;
    }
    return facts;
}

// Only a ripped track is judged: a checksum over audio that is not in a file proves nothing.
RipLogTrack RipVerification::logTrack(int lTrack) const {
    const auto ended = m_outcomes.find(lTrack);
    const TrackOutcome outcome = ended == m_outcomes.end() ? TrackOutcome{} : ended->second;
    RipLogTrack track;
    track.number = DiscTrack::At(m_job.toc, lTrack).number;
    track.fileName =
        outcome.file.isEmpty() ? QStringLiteral("none") : QFileInfo(outcome.file).fileName();
    track.outcome = OutcomeText(outcome.kind);
    track.reason = outcome.reason;
    if (const auto read = m_read.find(lTrack); read != m_read.end()) {
        track.readErrors = read->second.readErrors;
        track.patchedSectors = read->second.patchedSectors;
        track.sums = read->second.checksums->sums();
        track.readCrcs = read->second.readCrcs;
    }
    if (m_job.library != nullptr)
        track.notes = m_job.library->trackNotes(lTrack);
    if (outcome.ripped())
        track.verdict = judge(lTrack);
    return track;
}

RipVerification::Report RipVerification::finish(bool stopped, Dialogs& dialogs, QWidget* boxOwner) {
    const RipLogFacts logFacts = facts(stopped);
    RipLogFile log(m_job.folder, m_start);
    const bool written = log.open(QIODevice::WriteOnly) &&
                         log.write(RipLogText(logFacts).toUtf8()) >= 0 && log.commit();
    if (!written)
        dialogs.showMessage(
            boxOwner, QStringLiteral("The rip log could not be written: ") + log.errorString(),
            QStringLiteral("Rip log"), MessageIcon::Exclamation, MessageButtons::Ok);
    // Every track not ripped, and every ripped one the database says differs.
    Report report{QStringLiteral("\r\n") + VerificationSummary(logFacts.tracks),
                  {},
                  written ? QFileInfo(log.fileName()).fileName()
                          : QStringLiteral("none (it could not be written)")};
    QStringList toLookAt;
    for (qsizetype i = 0; i < logFacts.tracks.size(); ++i) {
        const RipLogTrack& track = logFacts.tracks[i];
        if (track.ripped() && track.verdict.result != TrackVerdict::Result::Mismatch)
            continue;
        toLookAt << QStringLiteral("track %1 (%2)").arg(track.number).arg(track.result());
        report.ripAgain.push_back(m_job.tracks[std::size_t(i)]);
    }
    if (!toLookAt.isEmpty())
        report.lines += QStringLiteral("\r\nRip again: ") + toLookAt.join(QStringLiteral(", "));
    return report;
}

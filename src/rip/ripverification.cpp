#include "rip/ripverification.h"

#include "common/audiolibrary.h"
#include "common/dialogs.h"
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

void RipVerification::trackKept(int lTrack, const QString& file, bool complete) {
    if (!complete)
        return;
    m_files[lTrack] = file;
    if (m_answer)
        emit verdict(
            QStringLiteral("Track %1: %2").arg(lTrack + 1).arg(VerdictText(judge(lTrack))));
}

void RipVerification::answered(const DbarLookup& lookup) {
    m_answer = lookup;
    m_waiting = false;
    if (!m_files.empty()) {
        const int last = m_files.rbegin()->first;
        emit verdict(QStringLiteral("Track %1: %2").arg(last + 1).arg(VerdictText(judge(last))));
    }
    emit settled();
}

TrackVerdict RipVerification::judge(int lTrack) const {
    TrackVerdict notChecked;
    if (!m_job.checkAccurateRip)
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
    if (facts.drive.paranoia && words.size() >= 2) {
        facts.drive.vendor = words.first();
        facts.drive.model = words.mid(1, std::max<qsizetype>(1, words.size() - 2)).join(' ');
    }
    facts.toc = m_job.toc;
    facts.outputFormat = m_job.outputFormat;
    facts.encoderCommand = m_job.encoderCommand;
    facts.folderNotes = m_job.folderNotes;
    const ReleaseInfo& release = m_job.tags.release;
    facts.titles = {release.title, release.artist, SourceName(release.source), release.releaseId,
                    m_job.tags.lookupSteps};
    for (const auto& [lTrack, reading] : m_read) {
        const auto file = m_files.find(lTrack);
        facts.tracks.append({lTrack + 1,
                             file == m_files.end() ? QStringLiteral("none (not ripped)")
                                                   : QFileInfo(file->second).fileName(),
                             reading.readErrors, reading.patchedSectors, reading.checksums->sums(),
                             judge(lTrack)});
    }
    facts.stopped = stopped;
    return facts;
}

QString RipVerification::finish(bool stopped, Dialogs& dialogs, QWidget* boxOwner) {
    const RipLogFacts logFacts = facts(stopped);
    RipLogFile log(m_job.folder, m_start);
    if (!log.open(QIODevice::WriteOnly) || log.write(RipLogText(logFacts).toUtf8()) < 0 ||
        !log.commit())
        dialogs.showMessage(
            boxOwner, QStringLiteral("The rip log could not be written: ") + log.errorString(),
            QStringLiteral("Rip log"), MessageIcon::Exclamation, MessageButtons::Ok);
    QStringList toLookAt;
    for (const RipLogTrack& track : logFacts.tracks) {
        if (track.verdict.result == TrackVerdict::Result::Mismatch)
            toLookAt << QStringLiteral("track %1 (mismatch)").arg(track.number);
        else if (track.readErrors > 0 || track.patchedSectors > 0)
            toLookAt << QStringLiteral("track %1 (read errors)").arg(track.number);
    }
    QString lines = QStringLiteral("\r\n") + VerificationSummary(logFacts.tracks);
    if (!toLookAt.isEmpty())
        lines += QStringLiteral("\r\nRip again: ") + toLookAt.join(QStringLiteral(", "));
    return lines;
}

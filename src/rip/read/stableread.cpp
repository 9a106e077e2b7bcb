#include "rip/read/stableread.h"

#include "common/dialogs.h"
#include "rip/read/trackextraction.h"
#include "rip/step/trackreading.h"

#include <algorithm>

namespace {

using Kind = TrackOutcome::Kind;

// The job as one read of the track sees it: its own record of the read, and the progress bar
// moving through the first half for the test read and the second for the others.
RipContext ReadingJob(const RipContext& job, TrackReading& reading, bool testRead) {
    RipContext one = job;
    one.reading = &reading;
    one.progress = [report = job.progress, testRead](float done) {
        report((testRead ? 0.0f : 0.5f) + done / 2);
    };
    return one;
}

quint32 Crc(const TrackReading& reading) {
    return reading.checksums ? reading.checksums->sums().crc32 : 0;
}

TrackOutcome Unstable(const RipContext& job, const DiscTrack& track) {
    job.dialogs.showMessage(
        job.boxOwner,
        QStringLiteral("Track %1 was read %2 times and no two reads agreed, so it is not counted "
                       "as ripped. Clean the disc and rip the track again.")
            .arg(track.number)
            .arg(kMostReadsOfATrack),
        QStringLiteral("Unstable reads"), MessageIcon::Exclamation, MessageButtons::Ok);
    return TrackOutcome::Of(Kind::Unstable, QStringLiteral("%1 reads").arg(kMostReadsOfATrack));
}

// The test read: nothing is written, so a Stop in the middle of it leaves no file to keep.
TrackOutcome TestRead(const RipContext& job, const DiscTrack& track, TrackReading& reading) {
    const TrackOutcome read = ReadTrackForChecksums(ReadingJob(job, reading, true), track);
    if (read.kind == Kind::StoppedShort)
        return TrackOutcome::Of(Kind::NotStarted);
    return read;
}

// Reads the track into its file until the last read agrees with an earlier one.
TrackOutcome CopyUntilTwoAgree(const RipContext& job, const DiscTrack& track, const QString& path,
                               const QString& shownName, const TrackReading& blank,
                               std::vector<quint32>& crcs) {
    TrackReading& kept = *job.reading;
    while (int(crcs.size()) < kMostReadsOfATrack) {
        kept = blank;
        const TrackOutcome copy =
            ExtractAudioTrackToWav(ReadingJob(job, kept, false), track, path, shownName);
        if (!copy.ripped())
            return copy;
        const quint32 crc = Crc(kept);
        const bool agreed = std::find(crcs.begin(), crcs.end(), crc) != crcs.end();
        crcs.push_back(crc);
        if (agreed)
            return copy;
    }
    return Unstable(job, track);
}

} // namespace

TrackOutcome ReadTrackToWav(const RipContext& job, const DiscTrack& track, const QString& path,
                            const QString& shownName) {
    if (!job.output.readTwice || job.reading == nullptr || !job.reading->checksums)
        return ExtractAudioTrackToWav(job, track, path, shownName);
    const TrackReading blank = *job.reading;
    TrackReading test = blank;
    const TrackOutcome tested = TestRead(job, track, test);
    if (!tested.ripped()) {
        *job.reading = test;
        return tested;
    }
    std::vector<quint32> crcs{Crc(test)};
    const TrackOutcome outcome = CopyUntilTwoAgree(job, track, path, shownName, blank, crcs);
    job.reading->readCrcs = crcs;
    return outcome;
}

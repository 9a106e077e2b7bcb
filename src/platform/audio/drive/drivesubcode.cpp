#include "platform/audio/drive/drivesubcode.h"

#include "platform/audio/disc/cdiohandles.h"
#include "platform/audio/disc/hiddentrack.h"
#include "platform/audio/drive/drivetracksource.h"

#include <cdio/memory.h>

namespace {

// A text libcdio hands over, freed here; empty for none.
QString TakeText(char* text) {
    const QString taken = text != nullptr ? QString::fromLatin1(text).trimmed() : QString();
    cdio_free(text);
    return taken;
}

QString CatalogNumber(CdIo_t* cdio, QStringList& notes) {
    const QString mcn = TakeText(cdio_get_mcn(cdio));
    if (mcn.isEmpty() || mcn == QStringLiteral("0000000000000"))
        return {};
    if (IsMcn(mcn))
        return mcn;
    notes << QStringLiteral("the disc's catalog number \"%1\" is not 13 digits: left out").arg(mcn);
    return {};
}

QString Isrc(CdIo_t* cdio, track_t number, QStringList& notes) {
    const QString isrc = TakeText(cdio_get_track_isrc(cdio, number)).toUpper();
    if (isrc.count(QLatin1Char('0')) == isrc.size()) // drives answer zeros for none
        return {};
    if (IsIsrc(isrc))
        return isrc;
    notes << QStringLiteral("track %1: the ISRC \"%2\" is not two letters, three letters or digits "
                            "and seven digits: left out")
                 .arg(number)
                 .arg(isrc);
    return {};
}

// libcdio answers a flag as true, false, or unknown (a drive that does not tell).
bool Flag(track_flag_t flag, bool& unknown) {
    unknown = unknown || flag == CDIO_TRACK_FLAG_UNKNOWN || flag == CDIO_TRACK_FLAG_ERROR;
    return flag == CDIO_TRACK_FLAG_TRUE;
}

DiscSubcode::Track TrackOf(CdIo_t* cdio, track_t number, bool pregapsKnown, QStringList& notes,
                           bool& flagsUnknown) {
    DiscSubcode::Track track;
    track.start = cdio_get_track_lsn(cdio, number);
    const lsn_t pregap = pregapsKnown ? cdio_get_track_pregap_lsn(cdio, number) : CDIO_INVALID_LSN;
    if (pregap != CDIO_INVALID_LSN && pregap >= 0 && pregap < track.start)
        track.pregap = pregap;
    if (cdio_get_track_format(cdio, number) != TRACK_FORMAT_AUDIO)
        return track;
    track.isrc = Isrc(cdio, number, notes);
    track.preEmphasis = Flag(cdio_get_track_preemphasis(cdio, number), flagsUnknown);
    track.copyPermitted = Flag(cdio_get_track_copy_permit(cdio, number), flagsUnknown);
    track.fourChannels = cdio_get_track_channels(cdio, number) == 4;
    return track;
}

bool HiddenAudio(const std::string& path, driver_id_t driver, const DiscToc& toc,
                 std::stop_token stop) {
    const auto sectors = HiddenTrackSectors(toc);
    if (!sectors)
        return false;
    const auto source = DriveTrackSource::open(path, driver, 0, *sectors, ReadCare::Steady);
    return source && HoldsSound(*source, stop);
}

} // namespace

SubcodeAnswer ReadDriveSubcode(const std::string& path, driver_id_t driver, bool pregapsKnown,
                               std::stop_token stop) {
    const CdIoHandle cdio = OpenCdio(path.c_str(), driver);
    const track_t count = cdio ? cdio_get_num_tracks(cdio.get()) : track_t(CDIO_INVALID_TRACK);
    if (count == CDIO_INVALID_TRACK || count == 0)
        return {std::nullopt, BASS_ERROR_NOCD};
    DiscSubcode subcode;
    subcode.pregapsDetected = pregapsKnown;
    subcode.mcn = CatalogNumber(cdio.get(), subcode.notes);
    const track_t first = cdio_get_first_track_num(cdio.get());
    bool flagsUnknown = false;
    DiscToc toc;
    for (track_t number = first; number < first + count && !stop.stop_requested(); ++number) {
        subcode.tracks << TrackOf(cdio.get(), number, pregapsKnown, subcode.notes, flagsUnknown);
        toc.tracks.push_back({subcode.tracks.back().start,
                              cdio_get_track_format(cdio.get(), number) == TRACK_FORMAT_AUDIO});
    }
    if (flagsUnknown)
        subcode.notes << QStringLiteral(
            "the drive does not tell every track's flags (pre-emphasis, "
            "copy permitted): taken as not set");
    if (HiddenTrackSectors(toc)) // the disc's start is the first track's pregap
        subcode.tracks.front().pregap = 0;
    subcode.hiddenAudio = HiddenAudio(path, driver, toc, stop);
    return {std::move(subcode), BASS_OK};
}

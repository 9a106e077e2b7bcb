#include "platform/audio/drive/realdrive.h"

#include "platform/audio/core/lasterror.h"
#include "platform/audio/disc/cdtextblock.h"
#include "platform/audio/disc/shiftedtrack.h"
#include "platform/audio/drive/drivecapabilities.h"
#include "platform/audio/drive/drivetracksource.h"

#include <cdio/mmc.h>
#include <cdio/mmc_hl_cmds.h>
#include <cdio/mmc_ll_cmds.h>

namespace {

// INQUIRY fields come padded with spaces.
std::string Trimmed(const char* field) {
    std::string text(field);
    text.erase(text.find_last_not_of(' ') + 1);
    text.erase(0, text.find_first_not_of(' '));
    return text;
}

std::string Describe(CdIo_t* cdio, const std::string& device) {
    cdio_hwinfo_t hw{};
    if (cdio == nullptr || !cdio_get_hwinfo(cdio, &hw))
        return device;
    return Trimmed(hw.psz_vendor) + " " + Trimmed(hw.psz_model) + " " + Trimmed(hw.psz_revision);
}

} // namespace

namespace {
constexpr auto kTrayAnswerLife = std::chrono::milliseconds(250);
}

RealDrive::RealDrive(std::string path) : m_device(std::move(path)) {
    m_description = Describe(device(), m_device);
}

CdIo_t* RealDrive::device() {
    if (m_handle && cdio_get_media_changed(m_handle.get()) == 1 && !m_locked)
        m_handle.reset(); // a new disc: libcdio keeps the old one's table of contents
    if (!m_handle)
        m_handle.reset(cdio_open(m_device.c_str(), DRIVER_DEVICE));
    return m_handle ? m_handle.get() : FailWith(BASS_ERROR_DEVICE, nullptr);
}

CdIo_t* RealDrive::disc() {
    if (trayOpen())
        return FailWith(BASS_ERROR_NOCD, nullptr);
    CdIo_t* cdio = device();
    if (!cdio)
        return nullptr;
    if (cdio_get_num_tracks(cdio) == CDIO_INVALID_TRACK)
        return FailWith(BASS_ERROR_NOCD, nullptr);
    return cdio;
}

bool RealDrive::trayOpen() {
    const auto now = Clock::now();
    if (now - m_trayAskedAt < kTrayAnswerLife)
        return m_trayOpen;
    CdIo_t* cdio = device();
    m_trayOpen = cdio != nullptr && mmc_get_tray_status(cdio) == 1;
    m_trayAskedAt = now;
    if (m_trayOpen)
        forget(); // whatever disc comes in is read afresh
    return m_trayOpen;
}

void RealDrive::forget() {
    if (!m_locked)
        m_handle.reset();
    m_trayAskedAt = {};
}

bool RealDrive::info(BASS_CD_INFO& info) {
    CdIo_t* cdio = device();
    if (!cdio)
        return false;
    FillDriveInfo(cdio, info);
    return true;
}

bool RealDrive::isReady() {
    return disc() != nullptr;
}

int RealDrive::trackCount() {
    CdIo_t* cdio = disc();
    return cdio ? cdio_get_num_tracks(cdio) : -1;
}

track_t RealDrive::audioTrack(CdIo_t* cdio, int track) const {
    if (track < 0 || track >= cdio_get_num_tracks(cdio))
        return FailWith(BASS_ERROR_CDTRACK, track_t(0));
    const auto number = static_cast<track_t>(cdio_get_first_track_num(cdio) + track);
    if (cdio_get_track_format(cdio, number) != TRACK_FORMAT_AUDIO)
        return FailWith(BASS_ERROR_NOTAUDIO, track_t(0));
    return number;
}

int RealDrive::trackLength(int track) {
    CdIo_t* cdio = disc();
    const track_t number = cdio ? audioTrack(cdio, track) : 0;
    if (number == 0)
        return -1;
    return static_cast<int>(cdio_get_track_sec_count(cdio, number)) * CDIO_CD_FRAMESIZE_RAW;
}

// On an enhanced CD the audio session ends 11400 sectors (lead-out, lead-in and pre-gap of the
// next session) before the data track that follows it.
bool RealDrive::toc(DiscToc& toc) {
    constexpr qint32 kSessionGap = 11400;
    CdIo_t* cdio = disc();
    if (!cdio)
        return false;
    toc = DiscToc{};
    toc.firstTrack = cdio_get_first_track_num(cdio);
    const int count = cdio_get_num_tracks(cdio);
    for (int i = 0; i < count; ++i) {
        const auto number = static_cast<track_t>(toc.firstTrack + i);
        toc.tracks.push_back({qint32(cdio_get_track_lsn(cdio, number)),
                              cdio_get_track_format(cdio, number) == TRACK_FORMAT_AUDIO});
    }
    toc.leadOut = qint32(cdio_get_track_lsn(cdio, CDIO_CDROM_LEADOUT_TRACK));
    toc.audioLeadOut = toc.leadOut;
    const bool enhanced = count > 1 && !toc.tracks.back().audio && toc.tracks[count - 2].audio;
    if (enhanced)
        toc.audioLeadOut = toc.tracks.back().lsn - kSessionGap;
    SetLastBassError(BASS_OK);
    return true;
}

std::string RealDrive::cdTextBlock() {
    CdIo_t* cdio = disc();
    if (!cdio)
        return {};
    std::string block = CdTextBlockFrom(cdio_get_cdtext(cdio), cdio_get_first_track_num(cdio),
                                        cdio_get_num_tracks(cdio));
    if (block.empty())
        SetLastBassError(BASS_ERROR_NOTAVAIL);
    return block;
}

bool RealDrive::door(DWORD action) {
    switch (action) {
    case BASS_CD_DOOR_OPEN:
        if (m_locked)
            return FailWith(BASS_ERROR_NOTAVAIL, false);
        forget(); // the system refuses to eject a drive that another handle holds open
        return cdio_eject_media_drive(m_device.c_str()) == DRIVER_OP_SUCCESS ||
               FailWith(BASS_ERROR_NOTAVAIL, false);
    case BASS_CD_DOOR_CLOSE: {
        CdIo_t* cdio = device();
        const bool closed = cdio && mmc_close_tray(cdio) == DRIVER_OP_SUCCESS;
        forget();
        return closed || FailWith(BASS_ERROR_NOTAVAIL, false);
    }
    case BASS_CD_DOOR_LOCK:
    case BASS_CD_DOOR_UNLOCK:
        return lock(action == BASS_CD_DOOR_LOCK);
    default:
        return FailWith(BASS_ERROR_ILLPARAM, false);
    }
}

bool RealDrive::lock(bool prevent) {
    CdIo_t* cdio = device();
    if (!cdio || mmc_prevent_allow_medium_removal(cdio, false, prevent, 0) != DRIVER_OP_SUCCESS)
        return FailWith(BASS_ERROR_NOTAVAIL, false);
    m_locked = prevent;
    return true;
}

bool RealDrive::doorIsOpen() {
    return trayOpen();
}

std::unique_ptr<PcmSource> RealDrive::openTrack(int track, bool forDecoding, int readOffset) {
    CdIo_t* cdio = disc();
    const track_t number = cdio ? audioTrack(cdio, track) : 0;
    if (number == 0)
        return nullptr;
    const lsn_t first = cdio_get_track_lsn(cdio, number);
    const int sectors = static_cast<int>(cdio_get_track_sec_count(cdio, number));
    if (readOffset == 0)
        return DriveTrackSource::open(m_device, first, sectors, forDecoding);
    DiscToc disc;
    if (!toc(disc))
        return nullptr;
    const OffsetRead plan =
        PlanShiftedTrack(disc, track, qint64(sectors) * kSamplesPerSector, readOffset);
    return OpenShiftedTrack(plan, [&](qint32 firstSector, qint32 sectorCount) {
        return DriveTrackSource::open(m_device, firstSector, sectorCount, forDecoding);
    });
}

#include "platform/audio/realdrive.h"

#include "platform/audio/cdtextblock.h"
#include "platform/audio/drivecapabilities.h"
#include "platform/audio/drivetracksource.h"
#include "platform/audio/lasterror.h"

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

RealDrive::RealDrive(std::string device) : m_device(std::move(device)) {
    m_description = Describe(openDevice().get(), m_device);
}

CdIoHandle RealDrive::openDevice() const {
    return CdIoHandle(cdio_open(m_device.c_str(), DRIVER_DEVICE));
}

CdIoHandle RealDrive::openDisc() const {
    CdIoHandle cdio = openDevice();
    if (!cdio)
        return FailWith(BASS_ERROR_DEVICE, nullptr);
    if (mmc_get_tray_status(cdio.get()) == 1 ||
        cdio_get_num_tracks(cdio.get()) == CDIO_INVALID_TRACK)
        return FailWith(BASS_ERROR_NOCD, nullptr);
    return cdio;
}

bool RealDrive::info(BASS_CD_INFO& info) {
    const CdIoHandle cdio = openDevice();
    if (!cdio)
        return FailWith(BASS_ERROR_DEVICE, false);
    FillDriveInfo(cdio.get(), info);
    return true;
}

bool RealDrive::isReady() {
    return openDisc() != nullptr;
}

int RealDrive::trackCount() {
    const CdIoHandle cdio = openDisc();
    return cdio ? cdio_get_num_tracks(cdio.get()) : -1;
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
    const CdIoHandle cdio = openDisc();
    const track_t number = cdio ? audioTrack(cdio.get(), track) : 0;
    if (number == 0)
        return -1;
    return static_cast<int>(cdio_get_track_sec_count(cdio.get(), number)) * CDIO_CD_FRAMESIZE_RAW;
}

std::string RealDrive::cdTextBlock() {
    const CdIoHandle cdio = openDisc();
    if (!cdio)
        return {};
    std::string block =
        CdTextBlockFrom(cdio_get_cdtext(cdio.get()), cdio_get_first_track_num(cdio.get()),
                        cdio_get_num_tracks(cdio.get()));
    if (block.empty())
        SetLastBassError(BASS_ERROR_NOTAVAIL);
    return block;
}

bool RealDrive::door(DWORD action) {
    switch (action) {
    case BASS_CD_DOOR_OPEN:
        if (m_lock)
            return FailWith(BASS_ERROR_NOTAVAIL, false);
        return cdio_eject_media_drive(m_device.c_str()) == DRIVER_OP_SUCCESS ||
               FailWith(BASS_ERROR_NOTAVAIL, false);
    case BASS_CD_DOOR_CLOSE: {
        const CdIoHandle cdio = openDevice();
        return (cdio && mmc_close_tray(cdio.get()) == DRIVER_OP_SUCCESS) ||
               FailWith(BASS_ERROR_NOTAVAIL, false);
    }
    case BASS_CD_DOOR_LOCK:
    case BASS_CD_DOOR_UNLOCK:
        return lock(action == BASS_CD_DOOR_LOCK);
    default:
        return FailWith(BASS_ERROR_ILLPARAM, false);
    }
}

bool RealDrive::lock(bool prevent) {
    CdIoHandle cdio = m_lock ? std::move(m_lock) : openDevice();
    if (!cdio ||
        mmc_prevent_allow_medium_removal(cdio.get(), false, prevent, 0) != DRIVER_OP_SUCCESS)
        return FailWith(BASS_ERROR_NOTAVAIL, false);
    if (prevent)
        m_lock = std::move(cdio);
    return true;
}

bool RealDrive::doorIsOpen() {
    const CdIoHandle cdio = openDevice();
    return cdio && mmc_get_tray_status(cdio.get()) == 1;
}

std::unique_ptr<PcmSource> RealDrive::openTrack(int track, bool forDecoding) {
    const CdIoHandle cdio = openDisc();
    const track_t number = cdio ? audioTrack(cdio.get(), track) : 0;
    if (number == 0)
        return nullptr;
    const lsn_t first = cdio_get_track_lsn(cdio.get(), number);
    const int sectors = static_cast<int>(cdio_get_track_sec_count(cdio.get(), number));
    return DriveTrackSource::open(m_device, first, sectors, forDecoding);
}

#include "platform/audio/drive/realdrive.h"

#include "platform/audio/core/lasterror.h"
#include "platform/audio/disc/cdiolog.h"
#include "platform/audio/disc/cdtextblock.h"
#include "platform/audio/disc/shiftedtrack.h"
#include "platform/audio/drive/drivecapabilities.h"
#include "platform/audio/drive/drivesubcode.h"
#include "platform/audio/drive/drivetracksource.h"

#include <cdio/mmc.h>
#include <cdio/mmc_hl_cmds.h>
#include <cdio/mmc_ll_cmds.h>

#include <filesystem>
#include <utility>

namespace fs = std::filesystem;

namespace {

constexpr auto kTrayAnswerLife = std::chrono::milliseconds(250);

// INQUIRY fields come padded with spaces.
std::string Trimmed(const char* field) {
    std::string text(field);
    text.erase(text.find_last_not_of(' ') + 1);
    text.erase(0, text.find_first_not_of(' '));
    return text;
}

// Anything else libcdio is to open itself is taken for an image, also before it exists.
bool IsDeviceNode(const std::string& path) {
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    return fs::is_block_file(status) || fs::is_character_file(status);
}

// What an image is read from: the path, and the data file libcdio reads for it. libcdio's CUE
// reader reads the BIN named after the sheet, whatever the sheet's FILE line says.
std::vector<std::string> ImageFiles(const std::string& path, CdIo_t* cdio) {
    std::vector<std::string> files{path};
    const char* source = cdio != nullptr ? cdio_get_arg(cdio, "source") : nullptr;
    std::string data = source != nullptr ? source : "";
    if (data.empty() && fs::path(path).extension() == ".cue")
        data = fs::path(path).replace_extension(".bin").string();
    if (!data.empty() && data != path)
        files.push_back(data);
    return files;
}

} // namespace

RealDrive::RealDrive(std::string path, driver_id_t driver)
    : m_path(std::move(path)), m_driver(driver),
      m_image(driver != DRIVER_DEVICE && !IsDeviceNode(m_path)) {
    TakeCdioComplaint(); // what libcdio said before is not about this drive
    m_description = describe();
    if (m_image)
        m_files = DiscFiles(ImageFiles(m_path, m_handle.get()));
}

// An image names libcdio's reader for it as vendor and model, and then its own file.
std::string RealDrive::describe() {
    CdIo_t* cdio = device();
    if (cdio == nullptr) {
        if (m_driver == DRIVER_DEVICE)
            return m_path;
        const std::string reason = TakeCdioComplaint();
        return m_path + ": libcdio cannot open it" + (reason.empty() ? "" : ": " + reason);
    }
    cdio_hwinfo_t hw{};
    std::string description = m_image ? std::string("libcdio") : m_path;
    if (cdio_get_hwinfo(cdio, &hw))
        description =
            Trimmed(hw.psz_vendor) + " " + Trimmed(hw.psz_model) + " " + Trimmed(hw.psz_revision);
    if (m_image)
        description += " (" + fs::path(m_path).filename().string() + ")";
    return description;
}

CdIo_t* RealDrive::device() {
    if (m_handle && !m_image && !m_locked && cdio_get_media_changed(m_handle.get()) == 1) {
        m_handle.reset(); // a new disc: libcdio keeps the old one's table of contents
        m_changeSeen = true;
    }
    // An image that libcdio refused is tried again only once its files change.
    if (!m_handle && !m_openRefused)
        m_handle = OpenCdio(m_path.c_str(), m_driver);
    m_openRefused = m_image && !m_handle;
    return m_handle ? m_handle.get() : FailWith(BASS_ERROR_DEVICE, nullptr);
}

CdIo_t* RealDrive::disc() {
    if (trayOpen())
        return FailWith(BASS_ERROR_NOCD, nullptr);
    CdIo_t* cdio = device();
    if (!cdio)
        return m_image ? FailWith(BASS_ERROR_NOCD, nullptr) : nullptr;
    if (cdio_get_num_tracks(cdio) == CDIO_INVALID_TRACK)
        return FailWith(BASS_ERROR_NOCD, nullptr);
    return cdio;
}

// An image has no tray: it is always in.
bool RealDrive::trayOpen() {
    if (m_image)
        return false;
    const auto now = Clock::now();
    if (now - m_trayAskedAt < kTrayAnswerLife)
        return m_trayOpen;
    CdIo_t* cdio = device();
    const bool open = cdio != nullptr && mmc_get_tray_status(cdio) == 1;
    m_changeSeen = m_changeSeen || open != m_trayOpen;
    m_trayOpen = open;
    if (m_trayOpen)
        forget(); // whatever disc comes in is read afresh
    m_trayAskedAt = now;
    return m_trayOpen;
}

void RealDrive::forget() {
    if (!m_locked)
        m_handle.reset();
    m_trayAskedAt = {};
}

bool RealDrive::discChanged() {
    if (m_image && m_files.changed()) {
        forget();
        m_openRefused = false;
        m_changeSeen = true;
    }
    trayOpen(); // also asks the drive whether it holds a new medium
    return std::exchange(m_changeSeen, false);
}

bool RealDrive::info(BASS_CD_INFO& info, BASS_CD_INFO& unknown) {
    CdIo_t* cdio = device();
    if (!cdio)
        return false;
    FillDriveInfo(cdio, info, unknown);
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

std::optional<RealDrive::Span> RealDrive::trackSpan(CdIo_t* cdio, int track) const {
    if (track != -1) {
        const track_t number = audioTrack(cdio, track);
        if (number == 0)
            return std::nullopt;
        return Span{cdio_get_track_lsn(cdio, number),
                    static_cast<int>(cdio_get_track_sec_count(cdio, number))};
    }
    const track_t first = cdio_get_first_track_num(cdio);
    const lsn_t start = cdio_get_track_lsn(cdio, first);
    if (cdio_get_track_format(cdio, first) != TRACK_FORMAT_AUDIO || start <= 0 ||
        start == CDIO_INVALID_LSN)
        return FailWith(BASS_ERROR_CDTRACK, std::optional<Span>());
    return Span{0, static_cast<int>(start)};
}

int RealDrive::trackLength(int track) {
    CdIo_t* cdio = disc();
    const auto span = cdio ? trackSpan(cdio, track) : std::nullopt;
    return span ? span->sectors * CDIO_CD_FRAMESIZE_RAW : -1;
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
    case BASS_CD_DOOR_CLOSE:
        return moveTray(action == BASS_CD_DOOR_OPEN);
    case BASS_CD_DOOR_LOCK:
    case BASS_CD_DOOR_UNLOCK:
        return lock(action == BASS_CD_DOOR_LOCK);
    default:
        return FailWith(BASS_ERROR_ILLPARAM, false);
    }
}

// libcdio's eject on an image handle damages the handle; an image has no tray to move anyway.
bool RealDrive::moveTray(bool open) {
    if (m_image || (open && m_locked))
        return FailWith(BASS_ERROR_NOTAVAIL, false);
    if (open) {
        forget(); // the system refuses to eject a drive that another handle holds open
        return cdio_eject_media_drive(m_path.c_str()) == DRIVER_OP_SUCCESS ||
               FailWith(BASS_ERROR_NOTAVAIL, false);
    }
    CdIo_t* cdio = device();
    const bool closed = cdio && mmc_close_tray(cdio) == DRIVER_OP_SUCCESS;
    forget();
    return closed || FailWith(BASS_ERROR_NOTAVAIL, false);
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

std::unique_ptr<PcmSource> RealDrive::openTrack(int track, ReadCare care, int readOffset) {
    CdIo_t* cdio = disc();
    const auto span = cdio ? trackSpan(cdio, track) : std::nullopt;
    if (!span)
        return nullptr;
    const lsn_t first = span->first;
    const int sectors = span->sectors;
    if (readOffset == 0)
        return DriveTrackSource::open(m_path, m_driver, first, sectors, care);
    DiscToc disc;
    if (!toc(disc))
        return nullptr;
    const OffsetRead plan =
        PlanShiftedTrack(disc, track, qint64(sectors) * kSamplesPerSector, readOffset);
    return OpenShiftedTrack(plan, [&](qint32 firstSector, qint32 sectorCount) {
        return DriveTrackSource::open(m_path, m_driver, firstSector, sectorCount, care);
    });
}

// A drive's answer to a query per track can take a while: the reading runs on a handle of its
// own, off the drive's lock.
SubcodeReader RealDrive::subcodeReader() {
    if (!disc())
        return {};
    return [path = m_path, driver = m_driver, image = m_image](std::stop_token stop) {
        return ReadDriveSubcode(path, driver, image, stop);
    };
}

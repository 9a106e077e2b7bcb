#include "platform/audio/drive/drivecapabilities.h"

#include <cdio/mmc.h>
#include <cdio/mmc_hl_cmds.h>
#include <cdio/mmc_ll_cmds.h>

#include <array>

namespace {

constexpr int kCapabilitiesPageCode = 0x2A;
constexpr std::size_t kModeHeader10 = 8;

DWORD BigEndian16(const unsigned char* p) {
    return DWORD(p[0]) << 8 | p[1];
}

struct CapabilityBit {
    unsigned readCap;
    DWORD flag;
};

constexpr std::array<CapabilityBit, 8> kReadBits{{
    {CDIO_DRIVE_CAP_READ_CD_R, BASS_CD_RWFLAG_READCDR},
    {CDIO_DRIVE_CAP_READ_CD_RW, BASS_CD_RWFLAG_READCDRW},
    {CDIO_DRIVE_CAP_READ_DVD_ROM, BASS_CD_RWFLAG_READDVD},
    {CDIO_DRIVE_CAP_READ_DVD_R, BASS_CD_RWFLAG_READDVDR},
    {CDIO_DRIVE_CAP_READ_DVD_RAM, BASS_CD_RWFLAG_READDVDRAM},
    {CDIO_DRIVE_CAP_READ_MODE2_FORM1, BASS_CD_RWFLAG_READM2F1},
    {CDIO_DRIVE_CAP_READ_MODE2_FORM2, BASS_CD_RWFLAG_READM2F2},
    {CDIO_DRIVE_CAP_READ_CD_DA, BASS_CD_RWFLAG_READCDDA},
}};

} // namespace

std::optional<CapabilitiesPage> ParseCapabilitiesPage(const unsigned char* reply,
                                                      std::size_t size) {
    if (size < kModeHeader10)
        return std::nullopt;
    const std::size_t start = kModeHeader10 + BigEndian16(reply + 6); // after block descriptors
    if (start + 14 > size || (reply[start] & 0x3F) != kCapabilitiesPageCode)
        return std::nullopt;
    const unsigned char* page = reply + start;
    CapabilitiesPage result;
    result.readsMethod2 = page[2] & 0x04;
    result.accurateStream = page[5] & 0x02;
    result.maxReadSpeedKBps = BigEndian16(page + 8);
    result.bufferKB = BigEndian16(page + 12);
    return result;
}

void FillDriveInfo(cdio_drive_read_cap_t read, cdio_drive_misc_cap_t misc,
                   const std::optional<CapabilitiesPage>& page, BASS_CD_INFO& info,
                   BASS_CD_INFO& unknown) {
    // Bits libcdio marks as unlearnt say nothing.
    constexpr auto kUnlearnt = CDIO_DRIVE_CAP_UNKNOWN | CDIO_DRIVE_CAP_ERROR;
    const bool readKnown = !(read & kUnlearnt);
    const bool miscKnown = !(misc & kUnlearnt);
    if (!readKnown)
        read = 0;
    if (!miscKnown)
        misc = 0;
    info.rwflags = 0;
    unknown = BASS_CD_INFO{};
    for (const CapabilityBit& bit : kReadBits) {
        if (read & bit.readCap)
            info.rwflags |= bit.flag;
        if (!readKnown)
            unknown.rwflags |= bit.flag;
    }
    if (misc & CDIO_DRIVE_CAP_MISC_MULTI_SESSION)
        info.rwflags |= BASS_CD_RWFLAG_READMULTI;
    if (page && page->readsMethod2)
        info.rwflags |= BASS_CD_RWFLAG_READCDRW2;
    if (page && page->accurateStream && (read & CDIO_DRIVE_CAP_READ_CD_DA))
        info.rwflags |= BASS_CD_RWFLAG_READCDDAFAST;
    info.canopen = (misc & (CDIO_DRIVE_CAP_MISC_CLOSE_TRAY | CDIO_DRIVE_CAP_MISC_EJECT)) ? 1 : 0;
    info.canlock = (misc & CDIO_DRIVE_CAP_MISC_LOCK) ? 1 : 0;
    info.maxspeed = page ? page->maxReadSpeedKBps : 0;
    info.cache = page ? page->bufferKB : 0;
    // Every drive that reads CD-DA reads the lead-in's CD-TEXT with READ TOC.
    info.cdtext = (read & CDIO_DRIVE_CAP_READ_CD_DA) ? 1 : 0;

    if (!miscKnown) {
        unknown.rwflags |= BASS_CD_RWFLAG_READMULTI;
        unknown.canopen = unknown.canlock = 1;
    }
    if (!page) {
        unknown.rwflags |= BASS_CD_RWFLAG_READCDRW2 | BASS_CD_RWFLAG_READCDDAFAST;
        unknown.maxspeed = unknown.cache = 1;
    }
    unknown.cdtext = readKnown ? 0 : 1;
}

void FillDriveInfo(CdIo_t* cdio, BASS_CD_INFO& info, BASS_CD_INFO& unknown) {
    cdio_drive_read_cap_t read = 0;
    cdio_drive_write_cap_t write = 0;
    cdio_drive_misc_cap_t misc = 0;
    cdio_get_drive_cap(cdio, &read, &write, &misc);
    std::array<unsigned char, 256> reply{};
    const bool sensed = mmc_mode_sense_10(cdio, reply.data(), reply.size(),
                                          kCapabilitiesPageCode) == DRIVER_OP_SUCCESS;
    FillDriveInfo(read, misc,
                  sensed ? ParseCapabilitiesPage(reply.data(), reply.size()) : std::nullopt, info,
                  unknown);
}

#pragma once

#include "common/audiolibrary.h"

#include <cdio/cdio.h>

#include <cstddef>
#include <optional>

// What the drive's MMC capabilities page (0x2A) adds to libcdio's capability bits.
struct CapabilitiesPage {
    bool readsMethod2 = false;
    bool accurateStream = false; // CD-DA can be read again at any position, byte-exact
    DWORD maxReadSpeedKBps = 0;
    DWORD bufferKB = 0;
};

// The page from a MODE SENSE(10) reply; nothing when the reply holds no page 0x2A.
std::optional<CapabilitiesPage> ParseCapabilitiesPage(const unsigned char* reply, std::size_t size);

// Fills every drive-info field but size from libcdio's capability bits and the page, and in
// unknown the fields (and flag bits) that neither could answer: libcdio marks capabilities it
// could not learn, and a disc image or a reluctant drive has no page.
void FillDriveInfo(cdio_drive_read_cap_t read, cdio_drive_misc_cap_t misc,
                   const std::optional<CapabilitiesPage>& page, BASS_CD_INFO& info,
                   BASS_CD_INFO& unknown);

// The same, asking the drive behind cdio.
void FillDriveInfo(CdIo_t* cdio, BASS_CD_INFO& info, BASS_CD_INFO& unknown);

#pragma once

// Owning handles for the libcdio objects and files the CD extension uses, so
// every one of them has exactly one clean-up path.

#include <cdio/cdio.h>
#include <cdio/paranoia/cdda.h>
#include <cdio/paranoia/paranoia.h>

#include <cstdio>
#include <memory>

struct CdIoDeleter {
    void operator()(CdIo_t* p) const { cdio_destroy(p); }
};
using CdIoHandle = std::unique_ptr<CdIo_t, CdIoDeleter>;

// libcdio's CUE and cdrdao parsers keep their place in strtok's one hidden state, so two sheets
// parsed at once on two threads read each other's text (and the other thread's stack). Every
// libcdio handle is opened through these, one at a time; a handle once open is used freely.
CdIoHandle OpenCdio(const char* source, driver_id_t driver);
CdIoHandle OpenCueSheet(const char* cueFile);
CdIoHandle OpenTocSheet(const char* tocFile);

struct CddaDriveDeleter {
    // Closes the drive but not the libcdio handle it was identified on, which has its own.
    void operator()(cdrom_drive_t* d) const { cdio_cddap_close_no_free_cdio(d); }
};
using CddaDriveHandle = std::unique_ptr<cdrom_drive_t, CddaDriveDeleter>;

struct ParanoiaDeleter {
    void operator()(cdrom_paranoia_t* p) const { cdio_paranoia_free(p); }
};
using ParanoiaHandle = std::unique_ptr<cdrom_paranoia_t, ParanoiaDeleter>;

struct DeviceListDeleter {
    void operator()(char** list) const { cdio_free_device_list(list); }
};
using DeviceListHandle = std::unique_ptr<char*, DeviceListDeleter>;

struct FileDeleter {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FileHandle = std::unique_ptr<std::FILE, FileDeleter>;

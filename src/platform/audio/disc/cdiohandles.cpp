#include "platform/audio/disc/cdiohandles.h"

#include <mutex>

namespace {

std::mutex& OpeningLock() {
    static std::mutex lock;
    return lock;
}

} // namespace

CdIoHandle OpenCdio(const char* source, driver_id_t driver) {
    const std::lock_guard one(OpeningLock());
    return CdIoHandle(cdio_open(source, driver));
}

CdIoHandle OpenCueSheet(const char* cueFile) {
    const std::lock_guard one(OpeningLock());
    return CdIoHandle(cdio_open_cue(cueFile));
}

CdIoHandle OpenTocSheet(const char* tocFile) {
    const std::lock_guard one(OpeningLock());
    return CdIoHandle(cdio_open_cdrdao(tocFile));
}

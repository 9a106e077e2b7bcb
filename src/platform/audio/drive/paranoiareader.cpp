#include "platform/audio/drive/paranoiareader.h"

namespace {

struct ParanoiaMode {
    int flags;
    int retries; // of a sector before paranoia gives up on it
};

ParanoiaMode ModeFor(ReadCare care) {
    switch (care) {
    case ReadCare::Steady:
        return {PARANOIA_MODE_DISABLE, 20};
    case ReadCare::Careful:
        return {PARANOIA_MODE_FULL ^ PARANOIA_MODE_NEVERSKIP, 20};
    case ReadCare::MostCareful:
        break;
    }
    return {PARANOIA_MODE_FULL, 100};
}

// The tally of the read running on this thread: paranoia's callback carries no context.
thread_local SectorDamage* t_reading = nullptr;

} // namespace

void CountParanoiaEvent(SectorDamage& damage, paranoia_cb_mode_t event) {
    if (event == PARANOIA_CB_SKIP)
        ++damage.skippedSectors;
    else if (event == PARANOIA_CB_READERR)
        ++damage.readErrors;
}

std::unique_ptr<ParanoiaReader> ParanoiaReader::open(const std::string& path, driver_id_t driver,
                                                     ReadCare care) {
    CdIoHandle cdio = OpenCdio(path.c_str(), driver);
    if (!cdio)
        return nullptr;
    CddaDriveHandle drive(cdio_cddap_identify_cdio(cdio.get(), CDDA_MESSAGE_FORGETIT, nullptr));
    if (!drive || cdio_cddap_open(drive.get()) != 0)
        return nullptr;
    ParanoiaHandle paranoia(cdio_paranoia_init(drive.get()));
    if (!paranoia)
        return nullptr;
    const ParanoiaMode mode = ModeFor(care);
    cdio_paranoia_modeset(paranoia.get(), mode.flags);
    return std::unique_ptr<ParanoiaReader>(
        new ParanoiaReader(std::move(cdio), std::move(drive), std::move(paranoia), mode.retries));
}

ParanoiaReader::ParanoiaReader(CdIoHandle cdio, CddaDriveHandle drive, ParanoiaHandle paranoia,
                               int retries)
    : m_cdio(std::move(cdio)), m_drive(std::move(drive)), m_paranoia(std::move(paranoia)),
      m_retries(retries) {}

void ParanoiaReader::onEvent(long, paranoia_cb_mode_t event) {
    if (t_reading != nullptr)
        CountParanoiaEvent(*t_reading, event);
}

const std::int16_t* ParanoiaReader::readSector() {
    t_reading = &m_damage;
    const std::int16_t* samples =
        cdio_paranoia_read_limited(m_paranoia.get(), &ParanoiaReader::onEvent, m_retries);
    t_reading = nullptr;
    return samples;
}

void ParanoiaReader::seek(lsn_t sector) {
    cdio_paranoia_seek(m_paranoia.get(), sector, SEEK_SET);
}

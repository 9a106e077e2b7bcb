#pragma once

#include "platform/audio/disc/cddrive.h"
#include "platform/audio/disc/cdiohandles.h"

#include <chrono>

// An optical drive found by libcdio. Queries share one handle, opened when
// first needed and dropped whenever the tray is seen open or the drive reports
// a new medium, so a disc change is still always seen; the tray state is asked
// of the drive at most four times a second, however often the window polls.
// The handle also holds a lock: the system releases a drive's medium-removal
// lock when its last handle closes.
class RealDrive : public CdDrive {
public:
    explicit RealDrive(std::string path);

    const std::string& description() const override { return m_description; }
    bool info(BASS_CD_INFO& info) override;
    bool isReady() override;
    int trackCount() override;
    int trackLength(int track) override;
    bool toc(DiscToc& toc) override;
    std::string cdTextBlock() override;
    bool door(DWORD action) override;
    bool doorIsOpen() override;
    bool doorIsLocked() override { return m_locked; }
    std::unique_ptr<PcmSource> openTrack(int track, bool forDecoding, int readOffset) override;

private:
    using Clock = std::chrono::steady_clock;

    // The shared handle; null with the last error set when the device cannot be opened.
    CdIo_t* device();
    // The shared handle on a drive holding a readable disc; null with the last error set.
    CdIo_t* disc();
    // The tray state, asked afresh when the last answer is older than a quarter second.
    bool trayOpen();
    // Drops the handle (unless it holds the lock), so the next query sees the drive anew.
    void forget();
    // The libcdio track number of a 0-based audio track; 0 with the last error set.
    track_t audioTrack(CdIo_t* cdio, int track) const;
    bool lock(bool prevent);

    std::string m_device;
    std::string m_description;
    CdIoHandle m_handle;
    bool m_locked = false;
    bool m_trayOpen = false;
    Clock::time_point m_trayAskedAt{}; // the epoch: never asked
};

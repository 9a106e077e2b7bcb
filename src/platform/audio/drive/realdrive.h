#pragma once

#include "platform/audio/disc/cddrive.h"
#include "platform/audio/disc/cdiohandles.h"
#include "platform/audio/disc/discfiles.h"

#include <chrono>
#include <optional>

// A drive libcdio opens: an optical drive it found (DRIVER_DEVICE), or a path it opens by
// itself (DRIVER_UNKNOWN): a device node, or a CUE/BIN, cdrdao TOC or NRG image that its own
// image drivers read as a drive. Queries share one handle, opened when first needed and
// dropped whenever the tray is seen open, the drive reports a new medium or an image's files
// change on disk, so a disc change is still always seen; the tray state is asked of the
// drive at most four times a second, however often the window polls. The handle also holds
// a lock: the system releases a drive's medium-removal lock when its last handle closes.
// An image has no tray and no lock.
class RealDrive : public CdDrive {
public:
    explicit RealDrive(std::string path, driver_id_t driver = DRIVER_DEVICE);

    const std::string& description() const override { return m_description; }
    bool info(BASS_CD_INFO& info, BASS_CD_INFO& unknown) override;
    bool isReady() override;
    int trackCount() override;
    int trackLength(int track) override;
    bool toc(DiscToc& toc) override;
    std::string cdTextBlock() override;
    bool door(DWORD action) override;
    bool doorIsOpen() override;
    bool doorIsLocked() override { return m_locked; }
    std::unique_ptr<PcmSource> openTrack(int track, ReadCare care, int readOffset) override;
    bool discChanged() override;
    SubcodeReader subcodeReader() override;

private:
    using Clock = std::chrono::steady_clock;
    struct Span {
        lsn_t first;
        int sectors;
    };

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
    // Where a 0-based audio track (or the hidden track, -1) lies; nothing with the last error set.
    std::optional<Span> trackSpan(CdIo_t* cdio, int track) const;
    bool lock(bool prevent);
    bool moveTray(bool open);
    // What the list shows: vendor, model and revision, or the image's name and reader.
    std::string describe();

    std::string m_path;
    driver_id_t m_driver;
    bool m_image;      // a file libcdio reads as a drive
    DiscFiles m_files; // an image's sheet and data file
    std::string m_description;
    CdIoHandle m_handle;
    bool m_openRefused = false; // an image libcdio would not open, until its files change
    bool m_locked = false;
    bool m_trayOpen = false;
    bool m_changeSeen = false;         // since the last discChanged()
    Clock::time_point m_trayAskedAt{}; // the epoch: never asked
};

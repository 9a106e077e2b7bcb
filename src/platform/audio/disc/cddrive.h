#pragma once

#include "common/audiolibrary.h"
#include "platform/audio/core/pcmsource.h"

#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>

// How carefully a drive reads a track: steadily for playback, where a short glitch beats a stall;
// carefully for a rip; most carefully when failed tracks are ripped again, whatever it costs in
// time.
enum class ReadCare { Steady, Careful, MostCareful };

// What reading a disc's subcode gave: the subcode, or the library error code why there is none.
struct SubcodeAnswer {
    std::optional<DiscSubcode> subcode;
    int error = BASS_OK;
};
// Reads a disc's subcode (see BassCd::BASS_CD_GetSubcode) on any thread, on handles of its own,
// and gives up early once stop is requested.
using SubcodeReader = std::function<SubcodeAnswer(std::stop_token stop)>;

// One drive of the CD extension: a real optical drive or a disc image shown as
// a virtual drive. All members are called on the library user's thread; the
// sources a drive creates are then read on the stream engine's threads and
// never share a handle with the drive.
class CdDrive {
public:
    virtual ~CdDrive() = default;

    // Stays valid for the drive's whole life.
    virtual const std::string& description() const = 0;
    // Fills every field but size, and in unknown the fields the drive cannot answer (see
    // BassCd::BASS_CD_GetInfoUnknown); false with the last error set on failure.
    virtual bool info(BASS_CD_INFO& info, BASS_CD_INFO& unknown) = 0;
    virtual bool isReady() = 0;
    // The number of tracks, or -1 with the last error set.
    virtual int trackCount() = 0;
    // Bytes of an audio track, or -1 with the last error set. Track -1 is the hidden track (see
    // BASS_CD_TRACK_HIDDEN), here and in openTrack.
    virtual int trackLength(int track) = 0;
    // The table of contents, data tracks included; false without a disc.
    virtual bool toc(DiscToc& toc) = 0;
    // The CD-TEXT block (see BassCd::BASS_CD_GetID); empty when the disc has none or on failure.
    virtual std::string cdTextBlock() = 0;
    virtual bool door(DWORD action) = 0;
    virtual bool doorIsOpen() = 0;
    virtual bool doorIsLocked() = 0;
    // The PCM of one audio track, read with that care; null with the last error set. A read
    // offset (see BassCd::BASS_CD_SetOffset) other than 0 reads the track that many samples
    // further on.
    virtual std::unique_ptr<PcmSource> openTrack(int track, ReadCare care, int readOffset) = 0;
    // How to read the disc's index points, codes and flags, which may take seconds: the reader
    // touches nothing of the drive's, so it runs without the drive's other calls waiting. Null
    // with the last error set without a disc.
    virtual SubcodeReader subcodeReader() = 0;
    // Looks at the drive: true when its disc may have changed since the last look (the door
    // opened or closed, a new medium, the image's files replaced); the drive then reads the
    // disc afresh. Cheap: the window asks every 50 ms.
    virtual bool discChanged() = 0;
};

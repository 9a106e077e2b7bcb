#pragma once

// The audio library family the player is built on: a core (output, streams,
// syncs), a CD extension (drives, discs, CD streams), a WMA extension (encoder,
// WMA file streams) and an encoder extension (external command-line encoders).
//
// Each member is an abstract class whose operations keep the family's names,
// argument order and result conventions, so that every call site reads like
// the procedure that makes it. Handles are 32-bit and 0 means failure. After a
// failed call, BASS_ErrorGetCode() (on the core) returns the reason; the code
// is shared by the whole family and kept per calling thread, so a library
// thread never overwrites the code the user-interface thread is about to read.

#include "common/discsubcode.h"
#include "common/disctoc.h"

#include <cstdint>
#include <string>

using DWORD = std::uint32_t;
using QWORD = std::uint64_t;
using BOOL = int;
using HSTREAM = DWORD;
using HSYNC = DWORD;
using HENCODE = DWORD;
using HWMENCODE = DWORD;

// ---- error codes -----------------------------------------------------------
inline constexpr int BASS_OK = 0;
inline constexpr int BASS_ERROR_MEM = 1;
inline constexpr int BASS_ERROR_FILEOPEN = 2;
inline constexpr int BASS_ERROR_DRIVER = 3;
inline constexpr int BASS_ERROR_BUFLOST = 4;
inline constexpr int BASS_ERROR_HANDLE = 5;
inline constexpr int BASS_ERROR_FORMAT = 6;
inline constexpr int BASS_ERROR_POSITION = 7;
inline constexpr int BASS_ERROR_INIT = 8;
inline constexpr int BASS_ERROR_START = 9;
inline constexpr int BASS_ERROR_NOCD = 12;
inline constexpr int BASS_ERROR_CDTRACK = 13;
inline constexpr int BASS_ERROR_ALREADY = 14;
inline constexpr int BASS_ERROR_NOPAUSE = 16;
inline constexpr int BASS_ERROR_NOTAUDIO = 17;
inline constexpr int BASS_ERROR_NOCHAN = 18;
inline constexpr int BASS_ERROR_ILLTYPE = 19;
inline constexpr int BASS_ERROR_ILLPARAM = 20;
inline constexpr int BASS_ERROR_NO3D = 21;
inline constexpr int BASS_ERROR_NOEAX = 22;
inline constexpr int BASS_ERROR_DEVICE = 23;
inline constexpr int BASS_ERROR_NOPLAY = 24;
inline constexpr int BASS_ERROR_FREQ = 25;
inline constexpr int BASS_ERROR_NOTFILE = 27;
inline constexpr int BASS_ERROR_NOHW = 29;
inline constexpr int BASS_ERROR_EMPTY = 31;
inline constexpr int BASS_ERROR_NONET = 32;
inline constexpr int BASS_ERROR_CREATE = 33;
inline constexpr int BASS_ERROR_NOFX = 34;
inline constexpr int BASS_ERROR_PLAYING = 35;
inline constexpr int BASS_ERROR_NOTAVAIL = 37;
inline constexpr int BASS_ERROR_DECODE = 38;
inline constexpr int BASS_ERROR_TIMEOUT = 40;
// Our own code: the encoder fed from the stream exited or stopped taking input, so the
// stream gives no more data (lastEncoderOutcome tells what became of the encoder).
inline constexpr int BASS_ERROR_ENCODER = 1001;
// Our own code: a disc image's file ends before the sectors its sheet gives it.
inline constexpr int BASS_ERROR_IMAGESHORT = 1002;
// Our own code: the answer is still being read from the disc; ask again a little later.
inline constexpr int BASS_ERROR_BUSY = 1003;
inline constexpr int BASS_ERROR_UNKNOWN = -1;

// ---- flags -----------------------------------------------------------------
inline constexpr DWORD BASS_SAMPLE_8BITS = 0x1;
inline constexpr DWORD BASS_STREAM_AUTOFREE = 0x40000; // freed by the library when it ends
inline constexpr DWORD BASS_STREAM_DECODE = 0x200000;  // decode only: read with GetData
inline constexpr DWORD BASS_CD_FREEOLD = 0x10000;      // free the drive's previous stream
inline constexpr DWORD BASS_WMA_TAGS = 0x10000;        // tags are set before the first audio
// Ours: a decode stream of a drive read in its most careful mode, for tracks that failed before:
// no sector is ever patched over, and a sector is retried longer before the read fails. The
// slowest reading; without it a decode stream is read with the care of an ordinary rip.
inline constexpr DWORD BASS_CD_MOSTCAREFUL = 0x1000000;
inline constexpr DWORD BASS_CONFIG_FLOATDSP = 9;

// Stream creation flags as the player and the rippers pass them.
inline constexpr DWORD kPlaybackStreamFlags = BASS_STREAM_AUTOFREE | BASS_CD_FREEOLD;  // 0x50000
inline constexpr DWORD kDecodeStreamFlags = BASS_STREAM_DECODE | BASS_STREAM_AUTOFREE; // 0x240000

// ---- channel states ----------------------------------------------------------
inline constexpr DWORD BASS_ACTIVE_STOPPED = 0;
inline constexpr DWORD BASS_ACTIVE_PLAYING = 1;
inline constexpr DWORD BASS_ACTIVE_STALLED = 2;
inline constexpr DWORD BASS_ACTIVE_PAUSED = 3;

// ---- syncs -------------------------------------------------------------------
inline constexpr DWORD BASS_SYNC_ONETIME = 0x80000000;
inline constexpr DWORD BASS_SYNC_END = 2;
inline constexpr DWORD BASS_SYNC_SLIDE = 5;
inline constexpr DWORD BASS_SYNC_CD_ERROR = 1000;

// ---- CD extension ------------------------------------------------------------
inline constexpr DWORD BASS_CD_ID_TEXT = 4; // BASS_CD_GetID: the CD-TEXT block

// The track index of the hidden track: the audio before the first track's INDEX 01, when the
// disc's first track is an audio track that starts after sector 0. Its number is 0 ("Track 00"),
// one less than track index 0's. BASS_CD_GetTrackLength and BASS_CD_StreamCreate take it like
// any track index, and fail with BASS_ERROR_CDTRACK on a disc that has no such audio; whether it
// is more than silence, DiscSubcode::hiddenAudio tells.
inline constexpr DWORD BASS_CD_TRACK_HIDDEN = DWORD(-1);

inline constexpr DWORD BASS_CD_DOOR_CLOSE = 0;
inline constexpr DWORD BASS_CD_DOOR_OPEN = 1;
inline constexpr DWORD BASS_CD_DOOR_LOCK = 2;
inline constexpr DWORD BASS_CD_DOOR_UNLOCK = 3;

// Read/write capability bits of BASS_CD_INFO::flags.
inline constexpr DWORD BASS_CD_RWFLAG_READCDR = 1u << 0;
inline constexpr DWORD BASS_CD_RWFLAG_READCDRW = 1u << 1;
inline constexpr DWORD BASS_CD_RWFLAG_READCDRW2 = 1u << 2; // CD-R/RW "method 2"
inline constexpr DWORD BASS_CD_RWFLAG_READDVD = 1u << 3;
inline constexpr DWORD BASS_CD_RWFLAG_READDVDR = 1u << 4;
inline constexpr DWORD BASS_CD_RWFLAG_READDVDRAM = 1u << 5;
inline constexpr DWORD BASS_CD_RWFLAG_READM2F1 = 1u << 20;
inline constexpr DWORD BASS_CD_RWFLAG_READM2F2 = 1u << 21;
inline constexpr DWORD BASS_CD_RWFLAG_READMULTI = 1u << 22;
inline constexpr DWORD BASS_CD_RWFLAG_READCDDA = 1u << 24;
inline constexpr DWORD BASS_CD_RWFLAG_READCDDAFAST = 1u << 25; // "stream is accurate"

// How the description of a disc image shown as a drive begins.
inline constexpr char kVirtualDrivePrefix[] = "Virtual drive (";

// The largest read offset a drive may be given, either way: twice the 2940 samples the
// AccurateRip checksums leave out at the disc's edges, which known drives stay well within.
inline constexpr int kMostReadOffset = 2 * 2940;

// Seven 32-bit fields; the caller sets size to 28 before the query.
struct BASS_CD_INFO {
    DWORD size = 0;
    DWORD rwflags = 0;
    DWORD canopen = 0;
    DWORD canlock = 0;
    DWORD maxspeed = 0; // KB per second
    DWORD cache = 0;    // KB
    DWORD cdtext = 0;
};
static_assert(sizeof(BASS_CD_INFO) == 28);

struct BASS_CHANNELINFO {
    DWORD freq = 0;
    DWORD chans = 0;
    DWORD flags = 0; // bit 0: 8-bit samples
};

// A sync procedure. The library calls it on a thread of its own, never on the
// caller's user-interface thread and never from inside the audio callback.
using SYNCPROC = void(HSYNC handle, DWORD channel, DWORD data, void* user);

// Called with what the encoder writes, where a caller wants it; unused here.
using ENCODEPROC = void(HENCODE handle, DWORD channel, const void* buffer, DWORD length,
                        void* user);

// What an audio file holds, as the check of a ripped file needs it (BASS_GetFileFacts).
struct AudioFileFacts {
    std::string codec;  // FFmpeg's name: "mp3", "vorbis", "flac", "wmav2", "pcm_s16le"
    double seconds = 0; // the file's own word on its length, else its packets'
    std::string reason; // why the file could not be read; the rest is then empty
};

class BassCore {
public:
    virtual ~BassCore() = default;

    // device 1 = the default output, 0 = no sound; win is the owner window.
    virtual BOOL BASS_Init(int device, DWORD freq, DWORD flags, void* win, void* clsid) = 0;
    virtual BOOL BASS_Free() = 0;
    virtual BOOL BASS_Stop() = 0;
    virtual BOOL BASS_SetConfig(DWORD option, DWORD value) = 0;
    virtual int BASS_GetVolume() = 0; // 0..100, -1 on failure
    virtual int BASS_ErrorGetCode() = 0;

    virtual BOOL BASS_StreamPlay(HSTREAM handle, BOOL flush, DWORD flags) = 0;
    virtual BOOL BASS_StreamFree(HSTREAM handle) = 0;
    virtual QWORD BASS_StreamGetLength(HSTREAM handle) = 0; // bytes; -1 on failure
    virtual HSTREAM BASS_StreamCreateFile(BOOL mem, const void* file, QWORD offset, QWORD length,
                                          DWORD flags) = 0;

    virtual DWORD BASS_ChannelIsActive(DWORD handle) = 0;
    virtual BOOL BASS_ChannelPause(DWORD handle) = 0;
    virtual BOOL BASS_ChannelResume(DWORD handle) = 0;
    virtual BOOL BASS_ChannelStop(DWORD handle) = 0;
    // freq -1, volume -1 (0..100) and pan -101 (-100..100) leave that attribute unchanged.
    virtual BOOL BASS_ChannelSetAttributes(DWORD handle, int freq, int volume, int pan) = 0;
    virtual BOOL BASS_ChannelGetAttributes(DWORD handle, DWORD* freq, DWORD* volume, int* pan) = 0;
    virtual BOOL BASS_ChannelSlideAttributes(DWORD handle, int freq, int volume, int pan,
                                             DWORD time) = 0;
    virtual QWORD BASS_ChannelGetPosition(DWORD handle) = 0; // bytes heard; -1 on failure
    virtual BOOL BASS_ChannelSetPosition(DWORD handle, QWORD pos) = 0;
    virtual float BASS_ChannelBytes2Seconds(DWORD handle, QWORD pos) = 0;
    virtual BOOL BASS_ChannelGetInfo(DWORD handle, BASS_CHANNELINFO* info) = 0;
    // Decode streams only: bytes delivered (a short read at the end), -1 on failure.
    virtual int BASS_ChannelGetData(DWORD handle, void* buffer, DWORD length) = 0;
    virtual HSYNC BASS_ChannelSetSync(DWORD handle, DWORD type, QWORD param, SYNCPROC* proc,
                                      void* user) = 0;

    // Beyond the family: the codec and length of an audio file, read as file streams read it.
    // FALSE with facts->reason set when the file cannot be read; the code BASS_ERROR_NOTAVAIL
    // when no file can be read here at all.
    virtual BOOL BASS_GetFileFacts(const char* path, AudioFileFacts* facts) = 0;
};

class BassCd {
public:
    virtual ~BassCd() = default;

    // Null ends the list of drives. The text stays valid until BASS_Free. Real drives are
    // described by vendor, model and firmware revision, disc images by "Virtual drive (name)".
    virtual const char* BASS_CD_GetDriveDescription(DWORD drive) = 0;
    virtual DWORD BASS_CD_GetDriveLetter(DWORD drive) = 0; // 0 = A
    virtual BOOL BASS_CD_GetInfo(DWORD drive, BASS_CD_INFO* info) = 0;
    virtual BOOL BASS_CD_IsReady(DWORD drive) = 0;
    virtual int BASS_CD_GetTracks(DWORD drive) = 0;                   // -1 on failure
    virtual int BASS_CD_GetTrackLength(DWORD drive, DWORD track) = 0; // bytes; -1 on failure
    // id 4: the CD-TEXT block, zero-terminated entries ended by an empty one; valid until the
    // next call on that drive. Null when the disc carries none.
    virtual const char* BASS_CD_GetID(DWORD drive, DWORD id) = 0;
    virtual BOOL BASS_CD_Door(DWORD drive, DWORD action) = 0;
    virtual BOOL BASS_CD_DoorIsOpen(DWORD drive) = 0;
    virtual BOOL BASS_CD_DoorIsLocked(DWORD drive) = 0;
    virtual HSTREAM BASS_CD_StreamCreate(DWORD drive, DWORD track, DWORD flags) = 0;
    // What reading a CD stream so far had to give up on: sectors that could not be read
    // exactly and were patched over, and failed reads. Ask after the last read of a rip: a
    // track with either is not a faithful copy. Images are read exactly (both 0). False when
    // the handle is not a stream of this extension.
    virtual BOOL BASS_CD_StreamGetDamage(HSTREAM /*handle*/, DWORD* /*skippedSectors*/,
                                         DWORD* /*readErrors*/) {
        return 0;
    }
    // The disc's table of contents, data tracks included, for its ids and the rip log. False
    // (and the code set) without a disc.
    virtual BOOL BASS_CD_GetTOC(DWORD /*drive*/, DiscToc* /*toc*/) { return 0; }
    // The disc's index points, ISRCs, flags and catalog number, and whether the hidden track
    // holds sound. Read once per disc, on a thread of the library's: a real drive answers a
    // query per track, which can take seconds. With wait FALSE the call never blocks: until the
    // answer is there it fails with BASS_ERROR_BUSY (the first call starts the reading); with
    // wait TRUE it waits for it. False (and the code set) without a disc.
    virtual BOOL BASS_CD_GetSubcode(DWORD /*drive*/, DiscSubcode* /*subcode*/, BOOL /*wait*/) {
        return 0;
    }
    // The drive's read offset in samples (4 bytes each), applied to every stream opened on it
    // afterwards: +R when the drive delivers audio R samples early. A stream still delivers
    // exactly its track's length; what would come from before the disc's start or past its
    // audio's end is silence. False (BASS_ERROR_ILLPARAM) beyond kMostReadOffset either way.
    virtual BOOL BASS_CD_SetOffset(DWORD /*drive*/, int /*samples*/) { return 0; }
    virtual int BASS_CD_GetOffset(DWORD /*drive*/) { return 0; }
    // Which drive-info fields the drive cannot answer (a disc image has no read speed, a
    // drive may refuse its capabilities page): the same record with every unknown field
    // nonzero, and in rwflags the bits that say nothing. False for an unknown drive.
    virtual BOOL BASS_CD_GetInfoUnknown(DWORD /*drive*/, BASS_CD_INFO* unknown) {
        if (unknown != nullptr)
            *unknown = BASS_CD_INFO{};
        return 1;
    }

    // Drives come and go (a USB drive plugged in or pulled out). A drive keeps its index for
    // the library's life; one that has gone fails every call with BASS_ERROR_DEVICE, but its
    // description stays, so the list of descriptions still ends at the first null.
    virtual BOOL BASS_CD_DriveIsPresent(DWORD drive) {
        return BASS_CD_GetDriveDescription(drive) != nullptr;
    }
    // Grows each time a drive comes or goes. Cheap; any thread.
    virtual DWORD BASS_CD_GetDriveListChanges() { return 0; }

    // Grows each time the disc in the drive may have changed, whatever changed it: the door
    // opened or closed by anyone, a new medium reported by the drive, an image's files
    // replaced on disk, the drive gone. Looks at the drive first (cheaply: the window asks
    // every 50 ms). Thread of the library's user.
    virtual DWORD BASS_CD_GetDiscChanges(DWORD /*drive*/) { return 0; }
    // Whether the count has moved past changes, as last seen by BASS_CD_GetDiscChanges;
    // does not look at the drive. Lock-free and cheap enough for every block a rip reads;
    // any thread.
    virtual BOOL BASS_CD_DiscChangedSince(DWORD /*drive*/, DWORD /*changes*/) { return 0; }
};

class BassWma {
public:
    virtual ~BassWma() = default;

    // A list of bit rates (bits per second) ended by 0; null when no encoder is available.
    virtual const DWORD* BASS_WMA_EncodeGetRates(DWORD freq, DWORD flags) = 0;
    virtual HWMENCODE BASS_WMA_EncodeOpenFile(DWORD freq, DWORD flags, DWORD bitrate,
                                              const char* file) = 0;
    virtual BOOL BASS_WMA_EncodeSetTag(HWMENCODE handle, const char* tag, const char* text) = 0;
    virtual BOOL BASS_WMA_EncodeWrite(HWMENCODE handle, const void* buffer, DWORD length) = 0;
    virtual void BASS_WMA_EncodeClose(HWMENCODE handle) = 0;
    virtual HSTREAM BASS_WMA_StreamCreateFile(BOOL mem, const void* file, QWORD offset,
                                              QWORD length, DWORD flags) = 0;
};

// What became of an encoder: filled when BASS_Encode_Start refuses to start it and when
// BASS_Encode_Stop has waited for it to end.
struct EncoderOutcome {
    std::string program;  // the program the command line names, without ".exe" ("lame")
    bool started = false; // the program was found and started
    int error = BASS_OK;  // why it did not start, or why feeding ended before the stop
    QWORD bytesFed = 0;   // audio bytes the encoder took after the WAV header
    bool exited = false;  // it ended by itself with exitStatus
    int exitStatus = -1;
    int signal = 0;        // it was ended by this signal
    std::string errorTail; // the last few KB of its standard error

    bool succeeded() const { return started && error == BASS_OK && exited && exitStatus == 0; }
};

class BassEnc {
public:
    virtual ~BassEnc() = default;

    // Starts the encoder command line and feeds it a WAV header, then what is read from handle.
    virtual HENCODE BASS_Encode_Start(DWORD handle, const char* cmdline, DWORD flags,
                                      ENCODEPROC* proc, void* user) = 0;
    // handle: the stream or the encoder. Closes the encoder's input and waits for it to end.
    virtual BOOL BASS_Encode_Stop(DWORD handle) = 0;
    // Closes the encoder's input once what is queued has gone to it, without waiting; the
    // encoder then finishes its file by itself. queue must be TRUE.
    virtual BOOL BASS_Encode_StopEx(DWORD handle, BOOL queue) = 0;
    // BASS_ACTIVE_PLAYING while the encoder of a stream or encoder handle still runs.
    virtual DWORD BASS_Encode_IsActive(DWORD handle) = 0;
    // Ours: ends the encoder of a stream or encoder handle without waiting for it to finish its
    // file: what is queued is dropped, the encoder (with every process it started) is asked to
    // end, and killed when it has not ended a moment later. BASS_Encode_Stop then tells the
    // signal that ended it.
    virtual BOOL BASS_Encode_End(DWORD handle) = 0;
    // The outcome of the last encoder that was refused or stopped.
    virtual EncoderOutcome lastEncoderOutcome() = 0;
};

// The four members as the program receives them.
struct AudioLibrary {
    BassCore& core;
    BassCd& cd;
    BassWma& wma;
    BassEnc& enc;
};

#pragma once

// A scripted audio library for the window's tests: drives and discs are plain
// data the test sets up, every call is recorded with its arguments, and the
// test fires syncs itself (on a thread of their own, as the library does).

#include "common/audiolibrary.h"
#include "platform/audio/ffmpeg/filefacts.h"
#include "rip/pipeline/windowrelay.h"

#include <QCoreApplication>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <iterator>
#include <map>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <type_traits>
#include <vector>

struct FakeTrack {
    int length = 0;    // bytes; below 1 makes the length read fail as for a data track
    bool audio = true; // a data track has no length to read and cannot be streamed
};

struct FakeDrive {
    std::string description = "Fake drive";
    DWORD letter = 3;
    BASS_CD_INFO info{28, 0, 1, 1, 7056, 512, 0};
    bool open = false;
    bool locked = false;
    bool present = true; // false once pulled out
    int readOffset = 0;
    std::vector<FakeTrack> tracks;
    // CD-TEXT entries ("TITLE0=..."); the fake lays them out end to end.
    std::optional<std::vector<std::string>> cdText;

    bool hasDisc() const { return !open && !tracks.empty(); }
};

struct FakeSync {
    DWORD handle;
    DWORD type;
    SYNCPROC* proc;
    void* user;
};

struct FakeStream {
    DWORD drive = 0;
    DWORD track = 0;
    int read = 1; // the how-manieth stream of its track
    DWORD flags = 0;
    QWORD length = 0;
    QWORD position = 0;
    DWORD active = BASS_ACTIVE_STOPPED;
    int volume = 100;
    int pan = 0;
    bool freed = false;
    std::vector<FakeSync> syncs = {};
};

class FakeAudio : public BassCore, public BassCd, public BassWma, public BassEnc {
public:
    // ---- set-up ----
    FakeDrive& addDrive(const std::string& description = "Fake drive", DWORD letter = 3) {
        drives.push_back(FakeDrive{});
        drives.back().description = description;
        drives.back().letter = letter;
        return drives.back();
    }
    // A disc of audio tracks with the given byte lengths in the given drive.
    void insertDisc(DWORD drive, const std::vector<int>& lengths) {
        FakeDrive& d = drives.at(drive);
        d.tracks.clear();
        for (int length : lengths)
            d.tracks.push_back(FakeTrack{length});
    }
    AudioLibrary library() { return {*this, *this, *this, *this}; }

    // ---- what happened ----
    std::vector<std::string> calls;
    // The recorded calls whose text starts with prefix, in order.
    std::vector<std::string> callsStartingWith(const std::string& prefix) const {
        std::vector<std::string> found;
        std::copy_if(calls.begin(), calls.end(), std::back_inserter(found),
                     [&](const std::string& call) { return call.rfind(prefix, 0) == 0; });
        return found;
    }
    bool called(const std::string& call) const {
        return std::find(calls.begin(), calls.end(), call) != calls.end();
    }
    void clearCalls() { calls.clear(); }
    FakeStream* stream(DWORD handle) {
        const auto found = m_streams.find(handle);
        return found == m_streams.end() || found->second.freed ? nullptr : &found->second;
    }
    DWORD lastStream() const { return m_nextHandle - 1; }

    // ---- scripted behaviour ----
    BOOL initResult = 1;
    int initError = BASS_OK;
    int volume = 100;
    // Byte k of a decode stream of track t is DecodedByte(t, k).
    static char DecodedByte(DWORD track, QWORD offset) {
        return static_cast<char>((offset * 7 + track * 13 + (offset >> 9)) & 0xFF);
    }
    // Called after every GetData, e.g. to press Stop in the middle of a rip; on the window's
    // thread, while the reader waits.
    std::function<void(DWORD handle, int callNumber)> afterGetData;
    // Called after afterGetData on the reading thread itself, e.g. to hold the reader.
    std::function<void(int callNumber)> onReaderThread;
    // GetData call number (1-based) from which reads fail with -1.
    int failGetDataFrom = 0;
    int getDataCalls = 0;
    std::vector<DWORD> wmaRates = {160000, 128000};
    // Sectors patched over and failed reads a drive reports for a track (none by default).
    std::map<DWORD, std::pair<DWORD, DWORD>> damage;
    // What a read adds to a sector's bytes, by track, sector and the how-manieth stream of its
    // track it is (a sector the drive cannot read steadily); unset: they are as on the disc.
    std::function<int(DWORD track, QWORD sector, int read)> noise;
    // Every drive's disc-change count (BASS_CD_GetDiscChanges); a test moves it.
    std::atomic<DWORD> discChanges{0};

    // Fires the stream's sync of the given type on a thread of its own, as the
    // library does, and waits for the procedure to return.
    void fireSync(DWORD handle, DWORD type) {
        std::vector<FakeSync> due;
        const auto sameType = [](DWORD a, DWORD b) {
            return (a & ~BASS_SYNC_ONETIME) == (b & ~BASS_SYNC_ONETIME);
        };
        if (FakeStream* s = stream(handle)) {
            std::copy_if(s->syncs.begin(), s->syncs.end(), std::back_inserter(due),
                         [&](const FakeSync& sync) { return sameType(sync.type, type); });
            std::erase_if(s->syncs, [&](const FakeSync& sync) {
                return sameType(sync.type, type) && (sync.type & BASS_SYNC_ONETIME);
            });
        }
        std::thread([&] {
            for (const FakeSync& sync : due)
                sync.proc(sync.handle, handle, 0, sync.user);
        }).join();
    }

    // ---- core ----
    BOOL BASS_Init(int device, DWORD freq, DWORD flags, void* win, void*) override {
        record("BASS_Init", device, freq, flags, win);
        if (!initResult || m_initialised)
            return fail(initResult ? BASS_ERROR_ALREADY : initError, 0);
        m_initialised = true;
        return ok(1);
    }
    BOOL BASS_Free() override {
        record("BASS_Free");
        m_initialised = false;
        return ok(1);
    }
    BOOL BASS_Stop() override { return record("BASS_Stop"), ok(1); }
    BOOL BASS_SetConfig(DWORD option, DWORD value) override {
        return record("BASS_SetConfig", option, value), ok(1);
    }
    int BASS_GetVolume() override { return record("BASS_GetVolume"), ok(volume); }
    int BASS_ErrorGetCode() override { return m_lastError; }
    BOOL BASS_StreamPlay(HSTREAM handle, BOOL flush, DWORD flags) override {
        FakeStream* s = on("BASS_StreamPlay", handle, flush, flags);
        if (s && flush)
            s->position = 0;
        return s ? (s->active = BASS_ACTIVE_PLAYING, ok(1)) : 0;
    }
    BOOL BASS_StreamFree(HSTREAM handle) override {
        FakeStream* s = on("BASS_StreamFree", handle);
        return s ? (s->freed = true, s->active = BASS_ACTIVE_STOPPED, ok(1)) : 0;
    }
    QWORD BASS_StreamGetLength(HSTREAM handle) override {
        FakeStream* s = on("BASS_StreamGetLength", handle);
        return s ? ok(s->length) : ~QWORD{0};
    }
    HSTREAM BASS_StreamCreateFile(BOOL, const void* file, QWORD, QWORD, DWORD flags) override {
        record("BASS_StreamCreateFile", static_cast<const char*>(file), flags);
        return fail(BASS_ERROR_NOTAVAIL, 0);
    }
    DWORD BASS_ChannelIsActive(DWORD handle) override {
        FakeStream* s = on("BASS_ChannelIsActive", handle);
        return s ? ok(s->active) : BASS_ACTIVE_STOPPED;
    }
    BOOL BASS_ChannelPause(DWORD handle) override {
        record("BASS_ChannelPause", handle);
        return switchActive(handle, BASS_ACTIVE_PLAYING, BASS_ACTIVE_PAUSED, BASS_ERROR_NOPLAY);
    }
    BOOL BASS_ChannelResume(DWORD handle) override {
        record("BASS_ChannelResume", handle);
        return switchActive(handle, BASS_ACTIVE_PAUSED, BASS_ACTIVE_PLAYING, BASS_ERROR_NOPAUSE);
    }
    BOOL BASS_ChannelStop(DWORD handle) override {
        FakeStream* s = on("BASS_ChannelStop", handle);
        return s ? (s->active = BASS_ACTIVE_STOPPED, ok(1)) : 0;
    }
    BOOL BASS_ChannelSetAttributes(DWORD handle, int freq, int vol, int pan) override {
        FakeStream* s = on("BASS_ChannelSetAttributes", handle, freq, vol, pan);
        if (!s)
            return 0;
        s->volume = vol == -1 ? s->volume : vol;
        s->pan = pan == -101 ? s->pan : pan;
        return ok(1);
    }
    BOOL BASS_ChannelGetAttributes(DWORD handle, DWORD* freq, DWORD* vol, int* pan) override {
        FakeStream* s = on("BASS_ChannelGetAttributes", handle);
        if (!s)
            return 0;
        if (freq)
            *freq = 44100;
        if (vol)
            *vol = static_cast<DWORD>(s->volume);
        if (pan)
            *pan = s->pan;
        return ok(1);
    }
    BOOL BASS_ChannelSlideAttributes(DWORD handle, int freq, int vol, int pan,
                                     DWORD time) override {
        return on("BASS_ChannelSlideAttributes", handle, freq, vol, pan, time) ? ok(1) : 0;
    }
    QWORD BASS_ChannelGetPosition(DWORD handle) override {
        FakeStream* s = on("BASS_ChannelGetPosition", handle);
        return s ? ok(s->position) : ~QWORD{0};
    }
    BOOL BASS_ChannelSetPosition(DWORD handle, QWORD pos) override {
        FakeStream* s = on("BASS_ChannelSetPosition", handle, pos);
        return s && pos <= s->length ? (s->position = pos, ok(1)) : fail(BASS_ERROR_POSITION, 0);
    }
    float BASS_ChannelBytes2Seconds(DWORD handle, QWORD pos) override {
        return on("BASS_ChannelBytes2Seconds", handle, pos) ? ok(pos / 176400.0f) : -1.0f;
    }
    BOOL BASS_ChannelGetInfo(DWORD handle, BASS_CHANNELINFO* info) override {
        return on("BASS_ChannelGetInfo", handle) ? (*info = BASS_CHANNELINFO{44100, 2, 0}, ok(1))
                                                 : 0;
    }
    int BASS_ChannelGetData(DWORD handle, void* buffer, DWORD length) override {
        FakeStream* s = on("BASS_ChannelGetData", handle, length);
        const int callNumber = ++getDataCalls;
        if (!s)
            return -1;
        if (failGetDataFrom > 0 && callNumber >= failGetDataFrom)
            return fail(BASS_ERROR_NOCD, -1);
        const QWORD n = std::min<QWORD>(length, s->length - s->position);
        for (QWORD k = 0; k < n; ++k)
            static_cast<char*>(buffer)[k] = byteOf(*s, s->position + k);
        s->position += n;
        if (s->position >= s->length)
            s->active = BASS_ACTIVE_STOPPED;
        if (afterGetData) // the test's script touches the window: on the window's thread
            onWindowThread([&] { afterGetData(handle, callNumber); });
        if (onReaderThread)
            onReaderThread(callNumber);
        return ok(static_cast<int>(n));
    }
    HSYNC BASS_ChannelSetSync(DWORD handle, DWORD type, QWORD param, SYNCPROC* proc,
                              void* user) override {
        FakeStream* s = on("BASS_ChannelSetSync", handle, type, param);
        return s ? (s->syncs.push_back(FakeSync{m_nextSync, type, proc, user}), ok(m_nextSync++))
                 : 0;
    }
    // The files a rip writes are real: read as the library reads them.
    BOOL BASS_GetFileFacts(const char* path, AudioFileFacts* facts) override {
        *facts = ReadFileFacts(path);
        return facts->reason.empty() ? ok(1) : fail(BASS_ERROR_FILEOPEN, 0);
    }

    // ---- CD extension ----
    const char* BASS_CD_GetDriveDescription(DWORD index) override {
        FakeDrive* d = onDrive("BASS_CD_GetDriveDescription", index);
        return d ? ok(d->description.c_str()) : nullptr;
    }
    DWORD BASS_CD_GetDriveLetter(DWORD index) override {
        FakeDrive* d = onDrive("BASS_CD_GetDriveLetter", index);
        return d ? ok(d->letter) : DWORD(-1);
    }
    BOOL BASS_CD_GetInfo(DWORD index, BASS_CD_INFO* info) override {
        FakeDrive* d = onDrive("BASS_CD_GetInfo", index, info ? info->size : 0);
        return d ? (*info = d->info, ok(1)) : 0;
    }
    BOOL BASS_CD_IsReady(DWORD index) override {
        FakeDrive* d = onDrive("BASS_CD_IsReady", index);
        return d && d->hasDisc() ? ok(1) : fail(BASS_ERROR_NOCD, 0);
    }
    int BASS_CD_GetTracks(DWORD index) override {
        FakeDrive* d = onDrive("BASS_CD_GetTracks", index);
        return d && d->hasDisc() ? ok(static_cast<int>(d->tracks.size()))
                                 : fail(BASS_ERROR_NOCD, -1);
    }
    int BASS_CD_GetTrackLength(DWORD index, DWORD track) override {
        FakeDrive* d = onDrive("BASS_CD_GetTrackLength", index, track);
        if (!d || track >= d->tracks.size())
            return fail(BASS_ERROR_CDTRACK, -1);
        const FakeTrack& t = d->tracks[track];
        return t.length < 1 || !t.audio ? fail(BASS_ERROR_NOTAUDIO, -1) : ok(t.length);
    }
    const char* BASS_CD_GetID(DWORD index, DWORD id) override {
        FakeDrive* d = onDrive("BASS_CD_GetID", index, id);
        if (!d || id != BASS_CD_ID_TEXT || !d->cdText)
            return fail<const char*>(BASS_ERROR_NOTAVAIL, nullptr);
        m_cdTextBlock.clear();
        for (const std::string& entry : *d->cdText)
            m_cdTextBlock += entry + '\0';
        return ok((m_cdTextBlock += '\0').c_str());
    }
    BOOL BASS_CD_Door(DWORD index, DWORD action) override {
        FakeDrive* d = onDrive("BASS_CD_Door", index, action);
        if (!d)
            return 0;
        if (action > BASS_CD_DOOR_UNLOCK)
            return fail(BASS_ERROR_ILLPARAM, 0);
        if (action == BASS_CD_DOOR_OPEN && d->locked)
            return fail(BASS_ERROR_NOTAVAIL, 0);
        if (action == BASS_CD_DOOR_OPEN || action == BASS_CD_DOOR_CLOSE)
            d->open = action == BASS_CD_DOOR_OPEN;
        else
            d->locked = action == BASS_CD_DOOR_LOCK;
        return ok(1);
    }
    BOOL BASS_CD_DoorIsOpen(DWORD index) override {
        FakeDrive* d = onDrive("BASS_CD_DoorIsOpen", index);
        return d ? ok(d->open ? 1 : 0) : 0;
    }
    BOOL BASS_CD_DoorIsLocked(DWORD index) override {
        FakeDrive* d = onDrive("BASS_CD_DoorIsLocked", index);
        return d ? ok(d->locked ? 1 : 0) : 0;
    }
    HSTREAM BASS_CD_StreamCreate(DWORD index, DWORD track, DWORD flags) override {
        FakeDrive* d = onDrive("BASS_CD_StreamCreate", index, track, flags);
        if (!d || !d->hasDisc())
            return fail(BASS_ERROR_NOCD, 0);
        if (track >= d->tracks.size() || !d->tracks[track].audio)
            return fail(track >= d->tracks.size() ? BASS_ERROR_CDTRACK : BASS_ERROR_NOTAUDIO, 0);
        for (auto& [handle, s] : m_streams)
            s.freed = s.freed || ((flags & BASS_CD_FREEOLD) && s.drive == index);
        const auto length = static_cast<QWORD>(std::max(d->tracks[track].length, 0));
        const bool decoding = (flags & BASS_STREAM_DECODE) && length > 0;
        m_streams[m_nextHandle] = FakeStream{index,
                                             track,
                                             ++m_reads[track],
                                             flags,
                                             length,
                                             0,
                                             decoding ? BASS_ACTIVE_PLAYING : BASS_ACTIVE_STOPPED};
        return ok(m_nextHandle++);
    }
    BOOL BASS_CD_StreamGetDamage(HSTREAM handle, DWORD* skipped, DWORD* readErrors) override {
        FakeStream* s = stream(handle);
        if (!s)
            return fail(BASS_ERROR_HANDLE, 0);
        const auto found = damage.find(s->track);
        *skipped = found == damage.end() ? 0 : found->second.first;
        *readErrors = found == damage.end() ? 0 : found->second.second;
        return ok(1);
    }
    BOOL BASS_CD_DriveIsPresent(DWORD index) override {
        return index < drives.size() && drives[index].present;
    }
    DWORD BASS_CD_GetDiscChanges(DWORD) override { return discChanges; }
    BOOL BASS_CD_DiscChangedSince(DWORD, DWORD changes) override { return discChanges != changes; }
    BOOL BASS_CD_SetOffset(DWORD index, int samples) override {
        FakeDrive* d = onDrive("BASS_CD_SetOffset", index, samples);
        return d ? (d->readOffset = samples, ok(1)) : 0;
    }
    // The tracks end to end from sector 0; a data track takes one sector.
    BOOL BASS_CD_GetTOC(DWORD index, DiscToc* toc) override {
        FakeDrive* d = onDrive("BASS_CD_GetTOC", index);
        if (!d || !d->hasDisc())
            return fail(d ? BASS_ERROR_NOCD : BASS_ERROR_DEVICE, 0);
        *toc = DiscToc{};
        for (const FakeTrack& t : d->tracks) {
            toc->tracks.push_back({toc->leadOut, t.audio && t.length > 0});
            toc->leadOut += std::max(1, (t.length + 2351) / 2352);
        }
        toc->audioLeadOut = toc->leadOut;
        return ok(1);
    }

    // ---- WMA and encoder extensions: recorded; the WMA encoder offers wmaRates (none when
    // empty) and never opens a file ----
    const DWORD* BASS_WMA_EncodeGetRates(DWORD freq, DWORD flags) override {
        record("BASS_WMA_EncodeGetRates", freq, flags);
        if (wmaRates.empty())
            return fail<const DWORD*>(BASS_ERROR_NOTAVAIL, nullptr);
        m_wmaRateList = wmaRates;
        m_wmaRateList.push_back(0);
        return ok<const DWORD*>(m_wmaRateList.data());
    }
    HWMENCODE BASS_WMA_EncodeOpenFile(DWORD freq, DWORD flags, DWORD bitrate,
                                      const char* file) override {
        return record("BASS_WMA_EncodeOpenFile", freq, flags, bitrate, file),
               fail(BASS_ERROR_NOTAVAIL, 0);
    }
    BOOL BASS_WMA_EncodeSetTag(HWMENCODE handle, const char* tag, const char* text) override {
        return record("BASS_WMA_EncodeSetTag", handle, tag, text), fail(BASS_ERROR_HANDLE, 0);
    }
    BOOL BASS_WMA_EncodeWrite(HWMENCODE handle, const void*, DWORD length) override {
        return record("BASS_WMA_EncodeWrite", handle, length), fail(BASS_ERROR_HANDLE, 0);
    }
    void BASS_WMA_EncodeClose(HWMENCODE handle) override { record("BASS_WMA_EncodeClose", handle); }
    HSTREAM BASS_WMA_StreamCreateFile(BOOL, const void* file, QWORD, QWORD, DWORD flags) override {
        record("BASS_WMA_StreamCreateFile", static_cast<const char*>(file), flags);
        return fail(BASS_ERROR_NOTAVAIL, 0);
    }
    HENCODE BASS_Encode_Start(DWORD handle, const char* cmdline, DWORD flags, ENCODEPROC*,
                              void*) override {
        return record("BASS_Encode_Start", handle, cmdline, flags), fail(BASS_ERROR_NOTAVAIL, 0);
    }
    BOOL BASS_Encode_Stop(DWORD handle) override {
        return record("BASS_Encode_Stop", handle), fail(BASS_ERROR_HANDLE, 0);
    }
    BOOL BASS_Encode_StopEx(DWORD, BOOL) override { return fail(BASS_ERROR_HANDLE, 0); }
    DWORD BASS_Encode_IsActive(DWORD) override { return BASS_ACTIVE_STOPPED; }
    BOOL BASS_Encode_End(DWORD) override { return fail(BASS_ERROR_HANDLE, 0); }
    EncoderOutcome lastEncoderOutcome() override {
        return record("lastEncoderOutcome"), EncoderOutcome{};
    }

    std::vector<FakeDrive> drives;

private:
    char byteOf(const FakeStream& s, QWORD offset) const {
        const int added = noise ? noise(s.track, offset / 2352, s.read) : 0;
        return static_cast<char>(DecodedByte(s.track, offset) + added);
    }
    // Runs call on the window's thread and waits for it.
    template <typename Call> void onWindowThread(const Call& call) {
        if (QThread::currentThread() == qApp->thread())
            return call();
        std::mutex mutex;
        std::condition_variable ran;
        bool done = false;
        m_relay.post([&] {
            call();
            const std::lock_guard lock(mutex);
            done = true;
            ran.notify_all();
        });
        std::unique_lock lock(mutex);
        ran.wait(lock, [&] { return done; });
    }
    // Records "name(arg,arg,...)": texts as they are (null as "null"), pointers as "ptr".
    template <typename... Args> void record(const char* name, const Args&... args) {
        std::ostringstream out;
        out << name << '(';
        [[maybe_unused]] const auto put = [&](const auto& value) {
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, const char*>)
                out << (value ? value : "null");
            else if constexpr (std::is_same_v<T, void*>)
                out << (value ? "ptr" : "null");
            else
                out << value;
        };
        bool first = true;
        ((out << (first ? "" : ","), put(args), first = false), ...);
        out << ')';
        std::lock_guard lock(m_mutex);
        calls.push_back(out.str());
    }
    // Records the call; the stream it names, or null with the handle error set.
    template <typename... Args> FakeStream* on(const char* name, DWORD handle, const Args&... a) {
        record(name, handle, a...);
        FakeStream* s = stream(handle);
        return s ? s : fail<FakeStream*>(BASS_ERROR_HANDLE, nullptr);
    }
    // Records the call; the drive it names, or null with the device error set.
    template <typename... Args>
    FakeDrive* onDrive(const char* name, DWORD index, const Args&... a) {
        record(name, index, a...);
        return index < drives.size() ? &drives[index]
                                     : fail<FakeDrive*>(BASS_ERROR_DEVICE, nullptr);
    }
    // Pause and resume move a stream from one state to the other, or fail with the code.
    BOOL switchActive(DWORD handle, DWORD from, DWORD to, int error) {
        FakeStream* s = stream(handle);
        return s && s->active == from ? (s->active = to, ok(1)) : fail(error, 0);
    }
    template <typename T> T fail(int code, T value) {
        m_lastError = code;
        return value;
    }
    template <typename T> T ok(T value) {
        m_lastError = BASS_OK;
        return value;
    }

    std::map<DWORD, FakeStream> m_streams;
    std::map<DWORD, int> m_reads; // streams made of each track
    DWORD m_nextHandle = 100;
    DWORD m_nextSync = 1;
    static inline thread_local int m_lastError = BASS_OK; // per thread, as the library's
    bool m_initialised = false;
    std::string m_cdTextBlock;
    std::vector<DWORD> m_wmaRateList; // wmaRates ended by 0
    std::mutex m_mutex;               // fireSync's procedure may call back from its own thread
    WindowRelay m_relay;              // afterGetData's way to the window's thread
};

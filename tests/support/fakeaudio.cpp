#include "support/fakeaudio.h"

#include <algorithm>
#include <cstring>
#include <sstream>
#include <thread>

namespace {
void Append(std::ostringstream& out, const char* text) {
    out << (text ? text : "null");
}
void Append(std::ostringstream& out, void* pointer) {
    out << (pointer ? "ptr" : "null");
}
template <typename T> void Append(std::ostringstream& out, const T& value) {
    out << value;
}
} // namespace

template <typename... Args> void FakeAudio::record(const char* name, const Args&... args) {
    std::ostringstream out;
    out << name << '(';
    bool first = true;
    ((out << (first ? "" : ","), Append(out, args), first = false), ...);
    out << ')';
    std::lock_guard lock(m_mutex);
    calls.push_back(out.str());
}

FakeDrive& FakeAudio::addDrive(const std::string& description, DWORD letter) {
    drives.push_back(FakeDrive{});
    drives.back().description = description;
    drives.back().letter = letter;
    return drives.back();
}

void FakeAudio::insertDisc(DWORD index, const std::vector<int>& lengths) {
    FakeDrive& d = drives.at(index);
    d.tracks.clear();
    for (int length : lengths)
        d.tracks.push_back(FakeTrack{length});
    d.ready = true;
}

std::vector<std::string> FakeAudio::callsStartingWith(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const std::string& call : calls)
        if (call.rfind(prefix, 0) == 0)
            found.push_back(call);
    return found;
}

bool FakeAudio::called(const std::string& call) const {
    return std::find(calls.begin(), calls.end(), call) != calls.end();
}

FakeStream* FakeAudio::stream(DWORD handle) {
    const auto found = m_streams.find(handle);
    return found == m_streams.end() || found->second.freed ? nullptr : &found->second;
}

FakeDrive* FakeAudio::drive(DWORD index) {
    return index < drives.size() ? &drives[index] : nullptr;
}

char FakeAudio::DecodedByte(DWORD track, QWORD offset) {
    return static_cast<char>((offset * 7 + track * 13 + (offset >> 9)) & 0xFF);
}

void FakeAudio::fireSync(DWORD handle, DWORD type) {
    std::vector<FakeSync> due;
    if (FakeStream* s = stream(handle)) {
        for (auto it = s->syncs.begin(); it != s->syncs.end();) {
            if ((it->type & ~BASS_SYNC_ONETIME) == (type & ~BASS_SYNC_ONETIME)) {
                due.push_back(*it);
                it = (it->type & BASS_SYNC_ONETIME) ? s->syncs.erase(it) : it + 1;
            } else {
                ++it;
            }
        }
    }
    std::thread libraryThread([&] {
        for (const FakeSync& sync : due)
            sync.proc(sync.handle, handle, 0, sync.user);
    });
    libraryThread.join();
}

// ---- core ----

BOOL FakeAudio::BASS_Init(int device, DWORD freq, DWORD flags, void* win, void*) {
    record("BASS_Init", device, freq, flags, win);
    if (!initResult)
        return fail(initError, 0);
    if (m_initialised)
        return fail(BASS_ERROR_ALREADY, 0);
    m_initialised = true;
    return ok(1);
}

BOOL FakeAudio::BASS_Free() {
    record("BASS_Free");
    m_initialised = false;
    return ok(1);
}

BOOL FakeAudio::BASS_Stop() {
    record("BASS_Stop");
    return ok(1);
}

BOOL FakeAudio::BASS_SetConfig(DWORD option, DWORD value) {
    record("BASS_SetConfig", option, value);
    return ok(1);
}

int FakeAudio::BASS_GetVolume() {
    record("BASS_GetVolume");
    return ok(volume);
}

BOOL FakeAudio::BASS_StreamPlay(HSTREAM handle, BOOL flush, DWORD flags) {
    record("BASS_StreamPlay", handle, flush, flags);
    FakeStream* s = stream(handle);
    if (!s)
        return fail(BASS_ERROR_HANDLE, 0);
    if (flush)
        s->position = 0;
    s->active = BASS_ACTIVE_PLAYING;
    return ok(1);
}

BOOL FakeAudio::BASS_StreamFree(HSTREAM handle) {
    record("BASS_StreamFree", handle);
    FakeStream* s = stream(handle);
    if (!s)
        return fail(BASS_ERROR_HANDLE, 0);
    s->freed = true;
    s->active = BASS_ACTIVE_STOPPED;
    return ok(1);
}

QWORD FakeAudio::BASS_StreamGetLength(HSTREAM handle) {
    record("BASS_StreamGetLength", handle);
    FakeStream* s = stream(handle);
    return s ? ok(s->length) : fail(BASS_ERROR_HANDLE, static_cast<QWORD>(-1));
}

HSTREAM FakeAudio::BASS_StreamCreateFile(BOOL, const void* file, QWORD, QWORD, DWORD flags) {
    record("BASS_StreamCreateFile", static_cast<const char*>(file), flags);
    return fail(BASS_ERROR_NOTAVAIL, 0);
}

DWORD FakeAudio::BASS_ChannelIsActive(DWORD handle) {
    record("BASS_ChannelIsActive", handle);
    FakeStream* s = stream(handle);
    return s ? ok(s->active) : fail(BASS_ERROR_HANDLE, BASS_ACTIVE_STOPPED);
}

// Pause and resume move a stream from one state to the other, or fail with the code.
BOOL FakeAudio::switchActive(DWORD handle, DWORD from, DWORD to, int error) {
    FakeStream* s = stream(handle);
    if (!s || s->active != from)
        return fail(error, 0);
    s->active = to;
    return ok(1);
}

BOOL FakeAudio::BASS_ChannelPause(DWORD handle) {
    record("BASS_ChannelPause", handle);
    return switchActive(handle, BASS_ACTIVE_PLAYING, BASS_ACTIVE_PAUSED, BASS_ERROR_NOPLAY);
}

BOOL FakeAudio::BASS_ChannelResume(DWORD handle) {
    record("BASS_ChannelResume", handle);
    return switchActive(handle, BASS_ACTIVE_PAUSED, BASS_ACTIVE_PLAYING, BASS_ERROR_NOPAUSE);
}

BOOL FakeAudio::BASS_ChannelStop(DWORD handle) {
    record("BASS_ChannelStop", handle);
    FakeStream* s = stream(handle);
    if (!s)
        return fail(BASS_ERROR_HANDLE, 0);
    s->active = BASS_ACTIVE_STOPPED;
    return ok(1);
}

BOOL FakeAudio::BASS_ChannelSetAttributes(DWORD handle, int freq, int vol, int pan) {
    record("BASS_ChannelSetAttributes", handle, freq, vol, pan);
    FakeStream* s = stream(handle);
    if (!s)
        return fail(BASS_ERROR_HANDLE, 0);
    if (vol != -1)
        s->volume = vol;
    if (pan != -101)
        s->pan = pan;
    return ok(1);
}

BOOL FakeAudio::BASS_ChannelGetAttributes(DWORD handle, DWORD* freq, DWORD* vol, int* pan) {
    record("BASS_ChannelGetAttributes", handle);
    FakeStream* s = stream(handle);
    if (!s)
        return fail(BASS_ERROR_HANDLE, 0);
    if (freq)
        *freq = 44100;
    if (vol)
        *vol = static_cast<DWORD>(s->volume);
    if (pan)
        *pan = s->pan;
    return ok(1);
}

BOOL FakeAudio::BASS_ChannelSlideAttributes(DWORD handle, int freq, int vol, int pan, DWORD time) {
    record("BASS_ChannelSlideAttributes", handle, freq, vol, pan, time);
    return stream(handle) ? ok(1) : fail(BASS_ERROR_HANDLE, 0);
}

QWORD FakeAudio::BASS_ChannelGetPosition(DWORD handle) {
    record("BASS_ChannelGetPosition", handle);
    FakeStream* s = stream(handle);
    return s ? ok(s->position) : fail(BASS_ERROR_HANDLE, static_cast<QWORD>(-1));
}

BOOL FakeAudio::BASS_ChannelSetPosition(DWORD handle, QWORD pos) {
    record("BASS_ChannelSetPosition", handle, pos);
    FakeStream* s = stream(handle);
    if (!s || pos > s->length)
        return fail(BASS_ERROR_POSITION, 0);
    s->position = pos;
    return ok(1);
}

float FakeAudio::BASS_ChannelBytes2Seconds(DWORD handle, QWORD pos) {
    record("BASS_ChannelBytes2Seconds", handle, pos);
    return stream(handle) ? ok(static_cast<float>(pos) / 176400.0f)
                          : fail(BASS_ERROR_HANDLE, -1.0f);
}

BOOL FakeAudio::BASS_ChannelGetInfo(DWORD handle, BASS_CHANNELINFO* info) {
    record("BASS_ChannelGetInfo", handle);
    if (!stream(handle))
        return fail(BASS_ERROR_HANDLE, 0);
    *info = BASS_CHANNELINFO{44100, 2, 0};
    return ok(1);
}

int FakeAudio::BASS_ChannelGetData(DWORD handle, void* buffer, DWORD length) {
    record("BASS_ChannelGetData", handle, length);
    const int callNumber = ++getDataCalls;
    FakeStream* s = stream(handle);
    if (!s)
        return fail(BASS_ERROR_HANDLE, -1);
    if (failGetDataFrom > 0 && callNumber >= failGetDataFrom)
        return fail(BASS_ERROR_NOCD, -1);
    const QWORD n = std::min<QWORD>(length, s->length - s->position);
    char* out = static_cast<char*>(buffer);
    for (QWORD k = 0; k < n; ++k)
        out[k] = DecodedByte(s->track, s->position + k);
    s->position += n;
    if (s->position >= s->length)
        s->active = BASS_ACTIVE_STOPPED;
    const int delivered = static_cast<int>(n);
    if (afterGetData)
        afterGetData(handle, callNumber);
    return ok(delivered);
}

HSYNC FakeAudio::BASS_ChannelSetSync(DWORD handle, DWORD type, QWORD param, SYNCPROC* proc,
                                     void* user) {
    record("BASS_ChannelSetSync", handle, type, param);
    FakeStream* s = stream(handle);
    if (!s)
        return fail(BASS_ERROR_HANDLE, 0);
    const HSYNC sync = m_nextSync++;
    s->syncs.push_back(FakeSync{sync, type, proc, user});
    return ok(sync);
}

// ---- CD extension ----

const char* FakeAudio::BASS_CD_GetDriveDescription(DWORD index) {
    record("BASS_CD_GetDriveDescription", index);
    FakeDrive* d = drive(index);
    return d ? ok(d->description.c_str()) : fail<const char*>(BASS_ERROR_DEVICE, nullptr);
}

DWORD FakeAudio::BASS_CD_GetDriveLetter(DWORD index) {
    record("BASS_CD_GetDriveLetter", index);
    FakeDrive* d = drive(index);
    return d ? ok(d->letter) : fail(BASS_ERROR_DEVICE, static_cast<DWORD>(-1));
}

BOOL FakeAudio::BASS_CD_GetInfo(DWORD index, BASS_CD_INFO* info) {
    record("BASS_CD_GetInfo", index, info ? info->size : 0);
    FakeDrive* d = drive(index);
    if (!d)
        return fail(BASS_ERROR_DEVICE, 0);
    *info = d->info;
    return ok(1);
}

BOOL FakeAudio::BASS_CD_IsReady(DWORD index) {
    record("BASS_CD_IsReady", index);
    FakeDrive* d = drive(index);
    return d && d->ready && !d->open && !d->tracks.empty() ? ok(1) : fail(BASS_ERROR_NOCD, 0);
}

int FakeAudio::BASS_CD_GetTracks(DWORD index) {
    record("BASS_CD_GetTracks", index);
    FakeDrive* d = drive(index);
    if (!d || !d->ready || d->open || d->tracks.empty())
        return fail(BASS_ERROR_NOCD, -1);
    return ok(static_cast<int>(d->tracks.size()));
}

int FakeAudio::BASS_CD_GetTrackLength(DWORD index, DWORD track) {
    record("BASS_CD_GetTrackLength", index, track);
    FakeDrive* d = drive(index);
    if (!d || track >= d->tracks.size())
        return fail(BASS_ERROR_CDTRACK, -1);
    const FakeTrack& t = d->tracks[track];
    if (t.length < 1)
        return fail(t.lengthError, t.length);
    return ok(t.length);
}

const char* FakeAudio::BASS_CD_GetID(DWORD index, DWORD id) {
    record("BASS_CD_GetID", index, id);
    FakeDrive* d = drive(index);
    if (!d || id != BASS_CD_ID_TEXT || !d->cdText)
        return fail<const char*>(BASS_ERROR_NOTAVAIL, nullptr);
    m_cdTextBlock.clear();
    for (const std::string& entry : *d->cdText) {
        m_cdTextBlock += entry;
        m_cdTextBlock.push_back('\0');
    }
    m_cdTextBlock.push_back('\0');
    return ok(m_cdTextBlock.c_str());
}

BOOL FakeAudio::BASS_CD_Door(DWORD index, DWORD action) {
    record("BASS_CD_Door", index, action);
    FakeDrive* d = drive(index);
    if (!d)
        return fail(BASS_ERROR_DEVICE, 0);
    switch (action) {
    case BASS_CD_DOOR_CLOSE:
        d->open = false;
        break;
    case BASS_CD_DOOR_OPEN:
        if (d->locked)
            return fail(BASS_ERROR_NOTAVAIL, 0);
        d->open = true;
        break;
    case BASS_CD_DOOR_LOCK:
        d->locked = true;
        break;
    case BASS_CD_DOOR_UNLOCK:
        d->locked = false;
        break;
    default:
        return fail(BASS_ERROR_ILLPARAM, 0);
    }
    return ok(1);
}

BOOL FakeAudio::BASS_CD_DoorIsOpen(DWORD index) {
    record("BASS_CD_DoorIsOpen", index);
    FakeDrive* d = drive(index);
    return d ? ok(d->open ? 1 : 0) : fail(BASS_ERROR_DEVICE, 0);
}

BOOL FakeAudio::BASS_CD_DoorIsLocked(DWORD index) {
    record("BASS_CD_DoorIsLocked", index);
    FakeDrive* d = drive(index);
    return d ? ok(d->locked ? 1 : 0) : fail(BASS_ERROR_DEVICE, 0);
}

HSTREAM FakeAudio::BASS_CD_StreamCreate(DWORD index, DWORD track, DWORD flags) {
    record("BASS_CD_StreamCreate", index, track, flags);
    FakeDrive* d = drive(index);
    if (!d || d->open || !d->ready || d->tracks.empty())
        return fail(BASS_ERROR_NOCD, 0);
    if (track >= d->tracks.size())
        return fail(BASS_ERROR_CDTRACK, 0);
    if (!d->tracks[track].audio)
        return fail(BASS_ERROR_NOTAUDIO, 0);
    if (flags & BASS_CD_FREEOLD)
        for (auto& [handle, s] : m_streams)
            if (s.drive == index)
                s.freed = true;
    const HSTREAM handle = m_nextHandle++;
    FakeStream s;
    s.drive = index;
    s.track = track;
    s.flags = flags;
    s.length = static_cast<QWORD>(std::max(d->tracks[track].length, 0));
    s.active = (flags & BASS_STREAM_DECODE) ? BASS_ACTIVE_PLAYING : BASS_ACTIVE_STOPPED;
    if ((flags & BASS_STREAM_DECODE) && s.length == 0)
        s.active = BASS_ACTIVE_STOPPED;
    m_streams[handle] = s;
    return ok(handle);
}

BOOL FakeAudio::BASS_CD_StreamGetDamage(HSTREAM handle, DWORD* skippedSectors, DWORD* readErrors) {
    const FakeStream* s = stream(handle);
    if (!s)
        return fail(BASS_ERROR_HANDLE, 0);
    const auto found = damage.find(s->track);
    *skippedSectors = found == damage.end() ? 0 : found->second.first;
    *readErrors = found == damage.end() ? 0 : found->second.second;
    return ok(1);
}

// ---- WMA and encoder extensions ----

const DWORD* FakeAudio::BASS_WMA_EncodeGetRates(DWORD freq, DWORD flags) {
    record("BASS_WMA_EncodeGetRates", freq, flags);
    if (wmaRates.empty())
        return fail<const DWORD*>(BASS_ERROR_NOTAVAIL, nullptr);
    m_wmaRateList = wmaRates;
    m_wmaRateList.push_back(0);
    return ok<const DWORD*>(m_wmaRateList.data());
}

HWMENCODE FakeAudio::BASS_WMA_EncodeOpenFile(DWORD freq, DWORD flags, DWORD bitrate,
                                             const char* file) {
    record("BASS_WMA_EncodeOpenFile", freq, flags, bitrate, file);
    return fail(BASS_ERROR_NOTAVAIL, 0);
}

BOOL FakeAudio::BASS_WMA_EncodeSetTag(HWMENCODE handle, const char* tag, const char* text) {
    record("BASS_WMA_EncodeSetTag", handle, tag, text);
    return fail(BASS_ERROR_HANDLE, 0);
}

BOOL FakeAudio::BASS_WMA_EncodeWrite(HWMENCODE handle, const void*, DWORD length) {
    record("BASS_WMA_EncodeWrite", handle, length);
    return fail(BASS_ERROR_HANDLE, 0);
}

void FakeAudio::BASS_WMA_EncodeClose(HWMENCODE handle) {
    record("BASS_WMA_EncodeClose", handle);
}

HSTREAM FakeAudio::BASS_WMA_StreamCreateFile(BOOL, const void* file, QWORD, QWORD, DWORD flags) {
    record("BASS_WMA_StreamCreateFile", static_cast<const char*>(file), flags);
    return fail(BASS_ERROR_NOTAVAIL, 0);
}

HENCODE FakeAudio::BASS_Encode_Start(DWORD handle, const char* cmdline, DWORD flags, ENCODEPROC*,
                                     void*) {
    record("BASS_Encode_Start", handle, cmdline, flags);
    return fail(BASS_ERROR_NOTAVAIL, 0);
}

BOOL FakeAudio::BASS_Encode_Stop(DWORD handle) {
    record("BASS_Encode_Stop", handle);
    return fail(BASS_ERROR_HANDLE, 0);
}

EncoderOutcome FakeAudio::lastEncoderOutcome() {
    record("lastEncoderOutcome");
    return {};
}

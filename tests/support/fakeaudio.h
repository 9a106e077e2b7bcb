#pragma once

// A scripted audio library for the window's tests: drives and discs are plain
// data the test sets up, every call is recorded with its arguments, and the
// test fires syncs itself (on a thread of their own, as the library does).

#include "common/audiolibrary.h"

#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

struct FakeTrack {
    int length = 0; // bytes; below 1 makes the length read fail
    int lengthError = BASS_ERROR_NOTAUDIO;
    bool audio = true; // a data track cannot be streamed
};

struct FakeDrive {
    std::string description = "Fake drive";
    DWORD letter = 3;
    BASS_CD_INFO info{28, 0, 1, 1, 7056, 512, 0};
    bool ready = true;
    bool open = false;
    bool locked = false;
    std::vector<FakeTrack> tracks;
    // CD-TEXT entries ("TITLE0=..."); the fake lays them out end to end.
    std::optional<std::vector<std::string>> cdText;
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
    DWORD flags = 0;
    QWORD length = 0;
    QWORD position = 0;
    DWORD active = BASS_ACTIVE_STOPPED;
    int volume = 100;
    int pan = 0;
    bool freed = false;
    std::vector<FakeSync> syncs;
};

class FakeAudio : public BassCore, public BassCd, public BassWma, public BassEnc {
public:
    // ---- set-up ----
    FakeDrive& addDrive(const std::string& description = "Fake drive", DWORD letter = 3);
    // A disc of audio tracks with the given byte lengths in the given drive.
    void insertDisc(DWORD drive, const std::vector<int>& lengths);
    AudioLibrary library() { return {*this, *this, *this, *this}; }

    // ---- what happened ----
    std::vector<std::string> calls;
    // The recorded calls whose text starts with prefix, in order.
    std::vector<std::string> callsStartingWith(const std::string& prefix) const;
    bool called(const std::string& call) const;
    void clearCalls() { calls.clear(); }
    FakeStream* stream(DWORD handle);
    DWORD lastStream() const { return m_nextHandle - 1; }

    // ---- scripted behaviour ----
    BOOL initResult = 1;
    int initError = BASS_OK;
    int volume = 100;
    // Byte k of a decode stream of track t is DecodedByte(t, k).
    static char DecodedByte(DWORD track, QWORD offset);
    // Called after every GetData, e.g. to press Stop in the middle of a rip.
    std::function<void(DWORD handle, int callNumber)> afterGetData;
    // GetData call number (1-based) from which reads fail with -1.
    int failGetDataFrom = 0;
    int getDataCalls = 0;
    std::vector<DWORD> wmaRates = {160000, 128000};
    // Sectors patched over and failed reads a drive reports for a track (none by default).
    std::map<DWORD, std::pair<DWORD, DWORD>> damage;

    // Fires the stream's sync of the given type on a thread of its own, as the
    // library does, and waits for the procedure to return.
    void fireSync(DWORD stream, DWORD type);

    // ---- core ----
    BOOL BASS_Init(int device, DWORD freq, DWORD flags, void* win, void* clsid) override;
    BOOL BASS_Free() override;
    BOOL BASS_Stop() override;
    BOOL BASS_SetConfig(DWORD option, DWORD value) override;
    int BASS_GetVolume() override;
    int BASS_ErrorGetCode() override { return m_lastError; }
    BOOL BASS_StreamPlay(HSTREAM handle, BOOL flush, DWORD flags) override;
    BOOL BASS_StreamFree(HSTREAM handle) override;
    QWORD BASS_StreamGetLength(HSTREAM handle) override;
    HSTREAM BASS_StreamCreateFile(BOOL mem, const void* file, QWORD offset, QWORD length,
                                  DWORD flags) override;
    DWORD BASS_ChannelIsActive(DWORD handle) override;
    BOOL BASS_ChannelPause(DWORD handle) override;
    BOOL BASS_ChannelResume(DWORD handle) override;
    BOOL BASS_ChannelStop(DWORD handle) override;
    BOOL BASS_ChannelSetAttributes(DWORD handle, int freq, int volume, int pan) override;
    BOOL BASS_ChannelGetAttributes(DWORD handle, DWORD* freq, DWORD* volume, int* pan) override;
    BOOL BASS_ChannelSlideAttributes(DWORD handle, int freq, int volume, int pan,
                                     DWORD time) override;
    QWORD BASS_ChannelGetPosition(DWORD handle) override;
    BOOL BASS_ChannelSetPosition(DWORD handle, QWORD pos) override;
    float BASS_ChannelBytes2Seconds(DWORD handle, QWORD pos) override;
    BOOL BASS_ChannelGetInfo(DWORD handle, BASS_CHANNELINFO* info) override;
    int BASS_ChannelGetData(DWORD handle, void* buffer, DWORD length) override;
    HSYNC BASS_ChannelSetSync(DWORD handle, DWORD type, QWORD param, SYNCPROC* proc,
                              void* user) override;

    // ---- CD extension ----
    const char* BASS_CD_GetDriveDescription(DWORD drive) override;
    DWORD BASS_CD_GetDriveLetter(DWORD drive) override;
    BOOL BASS_CD_GetInfo(DWORD drive, BASS_CD_INFO* info) override;
    BOOL BASS_CD_IsReady(DWORD drive) override;
    int BASS_CD_GetTracks(DWORD drive) override;
    int BASS_CD_GetTrackLength(DWORD drive, DWORD track) override;
    const char* BASS_CD_GetID(DWORD drive, DWORD id) override;
    BOOL BASS_CD_Door(DWORD drive, DWORD action) override;
    BOOL BASS_CD_DoorIsOpen(DWORD drive) override;
    BOOL BASS_CD_DoorIsLocked(DWORD drive) override;
    HSTREAM BASS_CD_StreamCreate(DWORD drive, DWORD track, DWORD flags) override;
    BOOL BASS_CD_StreamGetDamage(HSTREAM handle, DWORD* skippedSectors, DWORD* readErrors) override;

    // ---- WMA and encoder extensions: recorded; the WMA encoder offers wmaRates (none when
    // empty) and never opens a file ----
    const DWORD* BASS_WMA_EncodeGetRates(DWORD freq, DWORD flags) override;
    HWMENCODE BASS_WMA_EncodeOpenFile(DWORD freq, DWORD flags, DWORD bitrate,
                                      const char* file) override;
    BOOL BASS_WMA_EncodeSetTag(HWMENCODE handle, const char* tag, const char* text) override;
    BOOL BASS_WMA_EncodeWrite(HWMENCODE handle, const void* buffer, DWORD length) override;
    void BASS_WMA_EncodeClose(HWMENCODE handle) override;
    HSTREAM BASS_WMA_StreamCreateFile(BOOL mem, const void* file, QWORD offset, QWORD length,
                                      DWORD flags) override;
    HENCODE BASS_Encode_Start(DWORD handle, const char* cmdline, DWORD flags, ENCODEPROC* proc,
                              void* user) override;
    BOOL BASS_Encode_Stop(DWORD handle) override;
    BOOL BASS_Encode_StopEx(DWORD, BOOL) override { return fail(BASS_ERROR_HANDLE, 0); }
    DWORD BASS_Encode_IsActive(DWORD) override { return BASS_ACTIVE_STOPPED; }
    EncoderOutcome lastEncoderOutcome() override;

    std::vector<FakeDrive> drives;

private:
    template <typename... Args> void record(const char* name, const Args&... args);
    FakeDrive* drive(DWORD index);
    BOOL switchActive(DWORD handle, DWORD from, DWORD to, int error);
    template <typename T> T fail(int code, T value) {
        m_lastError = code;
        return value;
    }
    template <typename T> T ok(T value) {
        m_lastError = BASS_OK;
        return value;
    }

    std::map<DWORD, FakeStream> m_streams;
    DWORD m_nextHandle = 100;
    DWORD m_nextSync = 1;
    int m_lastError = BASS_OK;
    bool m_initialised = false;
    std::string m_cdTextBlock;
    std::vector<DWORD> m_wmaRateList; // wmaRates ended by 0
    std::mutex m_mutex;               // fireSync's procedure may call back from its own thread
};

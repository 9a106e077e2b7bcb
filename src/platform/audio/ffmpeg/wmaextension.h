#pragma once

#include "common/audiolibrary.h"
#include "platform/audio/ffmpeg/wmaencoder.h"

#include <map>
#include <memory>
#include <mutex>

// The WMA extension: FFmpeg's wmav2 encoder writing ASF files, one encoder per
// handle. CD audio only: 44100 Hz, 16-bit stereo. WMA files are decoded by the
// core's file streams, which read whatever FFmpeg reads.
//
// Threads: several encoders may run at once, each used by one thread at a time.
class WmaExtension final : public BassWma {
public:
    explicit WmaExtension(BassCore& core) : m_core(core) {}

    const DWORD* BASS_WMA_EncodeGetRates(DWORD freq, DWORD flags) override;
    // flags: 0 writes the header at once; BASS_WMA_TAGS waits for the tags, ended by ("", "").
    HWMENCODE BASS_WMA_EncodeOpenFile(DWORD freq, DWORD flags, DWORD bitrate,
                                      const char* file) override;
    BOOL BASS_WMA_EncodeSetTag(HWMENCODE handle, const char* tag, const char* text) override;
    // length: bytes of whole stereo sample frames (a multiple of 4).
    BOOL BASS_WMA_EncodeWrite(HWMENCODE handle, const void* buffer, DWORD length) override;
    void BASS_WMA_EncodeClose(HWMENCODE handle) override;
    HSTREAM BASS_WMA_StreamCreateFile(BOOL mem, const void* file, QWORD offset, QWORD length,
                                      DWORD flags) override;

private:
    WmaEncoder* find(HWMENCODE handle);

    BassCore& m_core;
    std::mutex m_mutex; // guards the handle table, not the encoders in it
    std::map<HWMENCODE, std::unique_ptr<WmaEncoder>> m_encoders;
    HWMENCODE m_lastHandle = 0;
};

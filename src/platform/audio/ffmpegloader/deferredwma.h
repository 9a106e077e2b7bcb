#pragma once

#include "common/audiolibrary.h"
#include "platform/audio/ffmpegloader/ffmpegmodule.h"

#include <memory>
#include <mutex>

// The WMA extension as the program sees it at once: the bit rates come without the module (the
// options list them at start), every other call goes to the module's WMA extension, made at the
// first such call, and brings the module's error code back into the family's. Without the module
// every call fails with BASS_ERROR_NOTAVAIL, as for a missing encoder.
class DeferredWma final : public BassWma {
public:
    DeferredWma(FfmpegModule& module, BassCore& core) : m_module(module), m_core(core) {}

    const DWORD* BASS_WMA_EncodeGetRates(DWORD freq, DWORD flags) override;
    HWMENCODE BASS_WMA_EncodeOpenFile(DWORD freq, DWORD flags, DWORD bitrate,
                                      const char* file) override;
    BOOL BASS_WMA_EncodeSetTag(HWMENCODE handle, const char* tag, const char* text) override;
    BOOL BASS_WMA_EncodeWrite(HWMENCODE handle, const void* buffer, DWORD length) override;
    void BASS_WMA_EncodeClose(HWMENCODE handle) override;
    HSTREAM BASS_WMA_StreamCreateFile(BOOL mem, const void* file, QWORD offset, QWORD length,
                                      DWORD flags) override;

private:
    template <typename Result, typename Call> Result forward(Result failure, Call call);

    FfmpegModule& m_module;
    BassCore& m_core;
    std::once_flag m_made;
    std::unique_ptr<BassWma> m_wma;
};

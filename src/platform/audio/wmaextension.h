#pragma once

#include "common/audiolibrary.h"

// The WMA extension. Its encoder and file decoding arrive with the WMA/encoder
// work (FFmpeg); until then every operation reports that it is not available.
class WmaExtension final : public BassWma {
public:
    const DWORD* BASS_WMA_EncodeGetRates(DWORD freq, DWORD flags) override;
    HWMENCODE BASS_WMA_EncodeOpenFile(DWORD freq, DWORD flags, DWORD bitrate,
                                      const char* file) override;
    BOOL BASS_WMA_EncodeSetTag(HWMENCODE handle, const char* tag, const char* text) override;
    BOOL BASS_WMA_EncodeWrite(HWMENCODE handle, const void* buffer, DWORD length) override;
    void BASS_WMA_EncodeClose(HWMENCODE handle) override;
    HSTREAM BASS_WMA_StreamCreateFile(BOOL mem, const void* file, QWORD offset, QWORD length,
                                      DWORD flags) override;
};

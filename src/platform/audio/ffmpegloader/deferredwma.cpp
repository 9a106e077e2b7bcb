#include "platform/audio/ffmpegloader/deferredwma.h"

#include "platform/audio/core/boolresult.h"
#include "platform/audio/core/lasterror.h"
#include "platform/audio/ffmpegloader/wmarates.h"

template <typename Result, typename Call> Result DeferredWma::forward(Result failure, Call call) {
    const FfmpegEntry* entry = m_module.entry();
    if (entry == nullptr)
        return FailWith(BASS_ERROR_NOTAVAIL, failure);
    std::call_once(m_made, [&] { m_wma = entry->createWma(m_core); });
    const Result result = call(*m_wma);
    SetLastBassError(entry->lastError());
    return result;
}

// The options list the rates at start: they come without loading the module.
const DWORD* DeferredWma::BASS_WMA_EncodeGetRates(DWORD freq, DWORD) {
    return WmaRatesAt(freq, m_module.present());
}

HWMENCODE DeferredWma::BASS_WMA_EncodeOpenFile(DWORD freq, DWORD flags, DWORD bitrate,
                                               const char* file) {
    return forward(HWMENCODE{0}, [&](BassWma& wma) {
        return wma.BASS_WMA_EncodeOpenFile(freq, flags, bitrate, file);
    });
}

BOOL DeferredWma::BASS_WMA_EncodeSetTag(HWMENCODE handle, const char* tag, const char* text) {
    return forward(kFalse,
                   [&](BassWma& wma) { return wma.BASS_WMA_EncodeSetTag(handle, tag, text); });
}

BOOL DeferredWma::BASS_WMA_EncodeWrite(HWMENCODE handle, const void* buffer, DWORD length) {
    return forward(kFalse,
                   [&](BassWma& wma) { return wma.BASS_WMA_EncodeWrite(handle, buffer, length); });
}

void DeferredWma::BASS_WMA_EncodeClose(HWMENCODE handle) {
    forward(0, [&](BassWma& wma) {
        wma.BASS_WMA_EncodeClose(handle);
        return 0;
    });
}

// A file stream is the core's: it reads WMA files through the module itself.
HSTREAM DeferredWma::BASS_WMA_StreamCreateFile(BOOL mem, const void* file, QWORD offset,
                                               QWORD length, DWORD flags) {
    return m_core.BASS_StreamCreateFile(mem, file, offset, length, flags);
}

#include "platform/audio/wmaextension.h"

#include "platform/audio/boolresult.h"
#include "platform/audio/lasterror.h"

// The encoders arrive with the WMA/encoder work; nothing here pretends to succeed.

const DWORD* WmaExtension::BASS_WMA_EncodeGetRates(DWORD, DWORD) {
    return FailWith(BASS_ERROR_NOTAVAIL, static_cast<const DWORD*>(nullptr));
}

HWMENCODE WmaExtension::BASS_WMA_EncodeOpenFile(DWORD, DWORD, DWORD, const char*) {
    return FailWith(BASS_ERROR_NOTAVAIL, HWMENCODE{0});
}

BOOL WmaExtension::BASS_WMA_EncodeSetTag(HWMENCODE, const char*, const char*) {
    return FailWith(BASS_ERROR_NOTAVAIL, kFalse);
}

BOOL WmaExtension::BASS_WMA_EncodeWrite(HWMENCODE, const void*, DWORD) {
    return FailWith(BASS_ERROR_NOTAVAIL, kFalse);
}

void WmaExtension::BASS_WMA_EncodeClose(HWMENCODE) {
    SetLastBassError(BASS_ERROR_NOTAVAIL);
}

HSTREAM WmaExtension::BASS_WMA_StreamCreateFile(BOOL, const void*, QWORD, QWORD, DWORD) {
    return FailWith(BASS_ERROR_NOTAVAIL, HSTREAM{0});
}

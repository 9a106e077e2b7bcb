#include "platform/audio/encoderextension.h"

#include "platform/audio/boolresult.h"
#include "platform/audio/lasterror.h"

// The encoders arrive with the WMA/encoder work; nothing here pretends to succeed.

HENCODE EncoderExtension::BASS_Encode_Start(DWORD, const char*, DWORD, ENCODEPROC*, void*) {
    return FailWith(BASS_ERROR_NOTAVAIL, HENCODE{0});
}

BOOL EncoderExtension::BASS_Encode_Stop(DWORD) {
    return FailWith(BASS_ERROR_NOTAVAIL, kFalse);
}

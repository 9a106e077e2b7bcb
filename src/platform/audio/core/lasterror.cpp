#include "platform/audio/core/lasterror.h"

#include "common/audiolibrary.h"

namespace {
thread_local int tLastError = BASS_OK;
}

void SetLastBassError(int code) {
    tLastError = code;
}
int LastBassError() {
    return tLastError;
}

#pragma once

#include "common/audiolibrary.h"
#include "platform/audio/core/lasterror.h"

// The constant bit rates wmav2 codes well for CD audio, highest first, ended by 0.
// The fifth, 128 kbps, is the settings' default choice.
inline constexpr DWORD kWmaRates[] = {320000, 256000, 192000, 160000, 128000, 96000,
                                      80000,  64000,  48000,  32000,  0};
inline constexpr DWORD kWmaLowestRate = 32000;
inline constexpr DWORD kWmaHighestRate = 320000;
inline constexpr DWORD kWmaSampleRate = 44100;

// BASS_WMA_EncodeGetRates: the rates at CD audio's sample rate when the encoder is there; null
// with the family's code otherwise.
inline const DWORD* WmaRatesAt(DWORD freq, bool encoderThere) {
    if (!encoderThere)
        return FailWith(BASS_ERROR_NOTAVAIL, static_cast<const DWORD*>(nullptr));
    if (freq != kWmaSampleRate)
        return FailWith(BASS_ERROR_FORMAT, static_cast<const DWORD*>(nullptr));
    SetLastBassError(BASS_OK);
    return kWmaRates;
}

#pragma once

#include "common/audiolibrary.h"

// The encoder extension. Running external encoders arrives with the WMA/encoder
// work; until then every operation reports that it is not available.
class EncoderExtension final : public BassEnc {
public:
    HENCODE BASS_Encode_Start(DWORD handle, const char* cmdline, DWORD flags, ENCODEPROC* proc,
                              void* user) override;
    BOOL BASS_Encode_Stop(DWORD handle) override;
};

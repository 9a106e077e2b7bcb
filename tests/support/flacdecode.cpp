#include "support/flacdecode.h"

#include "rip/files/trackaudio.h"

FlacDecoded DecodeFlac(const QString& path) {
    FlacDecoded decoded;
    decoded.ok = !PumpFileAudio(path, [&](const char* bytes, qsizetype n) {
        decoded.pcm.append(bytes, n);
        return true;
    });
    return decoded;
}

#include "rip/step/ripcontext.h"

QString RipContext::routine() const {
    return path == RipPath::Wma ? QStringLiteral("ExtractAudioTrackToWMA")
                                : QStringLiteral("ExtractAudioTrack");
}

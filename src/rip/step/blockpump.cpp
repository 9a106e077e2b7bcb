#include "rip/step/blockpump.h"

#include <QByteArray>

#include <algorithm>

namespace {
constexpr qint64 kBlockBytes = 262144;
} // namespace

// A stop that comes after the last block still leaves the whole track.
PumpEnd PumpBlocks(const PumpSides& sides) {
    PumpEnd end;
    QByteArray block(int(kBlockBytes), '\0');
    while (end.bytes < sides.length) {
        if (sides.stop()) {
            end.kind = PumpEnd::Kind::Stopped;
            return end;
        }
        const int asked = int(std::min(kBlockBytes, sides.length - end.bytes));
        const int n = sides.read(block.data(), asked);
        if (n <= 0) {
            end.kind = PumpEnd::Kind::ReadFailed;
            end.lastRead = n;
            return end;
        }
        if (sides.write && !sides.write(block.constData(), n)) {
            end.kind = PumpEnd::Kind::WriteFailed;
            return end;
        }
        end.bytes += n;
        sides.progress(float(end.bytes) / float(sides.length));
    }
    return end;
}

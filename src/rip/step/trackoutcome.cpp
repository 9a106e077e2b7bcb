#include "rip/step/trackoutcome.h"

QString OutcomeText(TrackOutcome::Kind kind) {
    switch (kind) {
    case TrackOutcome::Kind::Ripped:
        return QStringLiteral("ripped");
    case TrackOutcome::Kind::StoppedShort:
        return QStringLiteral("stopped short");
    case TrackOutcome::Kind::ReadFailed:
        return QStringLiteral("read failed");
    case TrackOutcome::Kind::WriteFailed:
        return QStringLiteral("write failed");
    case TrackOutcome::Kind::EncoderFailed:
        return QStringLiteral("encoder failed");
    case TrackOutcome::Kind::Unstable:
        return QStringLiteral("unstable");
    case TrackOutcome::Kind::NotStarted:
        break;
    }
    return QStringLiteral("not started");
}

QString OutcomeWithReason(const TrackOutcome& outcome) {
    const QString text = OutcomeText(outcome.kind);
    return outcome.reason.isEmpty() ? text : text + QStringLiteral(": ") + outcome.reason;
}

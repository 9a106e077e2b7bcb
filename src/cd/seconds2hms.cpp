#include "cd/seconds2hms.h"

namespace {
// Decimal digits with "00" in front, of which only the last two are kept.
QString TwoDigits(int value) {
    return (QStringLiteral("00") + QString::number(value)).right(2);
}
} // namespace

QString Seconds2HMS(int lngSeconds) {
    const int hours = lngSeconds / 3600;
    const int rest = lngSeconds - hours * 3600;
    const int minutes = rest / 60;
    const int seconds = rest - minutes * 60;
    const QString ms = TwoDigits(minutes) + ':' + TwoDigits(seconds);
    return hours > 0 ? TwoDigits(hours) + ':' + ms : ms;
}

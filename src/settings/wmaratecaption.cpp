#include "settings/wmaratecaption.h"

QString WmaRateCaption(std::uint32_t bitsPerSecond, const QLocale& locale) {
    std::uint32_t kilobits = bitsPerSecond / 1000;
    const std::uint32_t rest = bitsPerSecond % 1000;
    if (rest > 500 || (rest == 500 && kilobits % 2 == 1))
        ++kilobits;
    return locale.toString(static_cast<qulonglong>(kilobits)) + QStringLiteral(" Kbps");
}

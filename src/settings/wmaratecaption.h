#pragma once

#include <QLocale>
#include <QString>

#include <cstdint>

// The caption of a WMA bit rate in cmbWMAEncodingBitrate: whole kilobits per
// second (halves to the even neighbour) grouped as the locale groups digits,
// then " Kbps" — 128000 gives "128 Kbps", 1411200 "1,411 Kbps" in English.
QString WmaRateCaption(std::uint32_t bitsPerSecond, const QLocale& locale = QLocale());

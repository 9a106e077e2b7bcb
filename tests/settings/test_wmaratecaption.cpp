// Bit-rate captions: whole kilobits, halves to the even neighbour, the locale's grouping.
#include "settings/wmaratecaption.h"

#include <gtest/gtest.h>

TEST(WmaRateCaption, RoundsHalvesToEvenAndGroupsByLocale) {
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QLocale german(QLocale::German, QLocale::Germany);
    const struct {
        std::uint32_t bitsPerSecond;
        QLocale locale;
        const char* caption;
    } cases[] = {
        {128000, english, "128 Kbps"},   {1411200, english, "1,411 Kbps"},
        {1411200, german, "1.411 Kbps"}, {128500, english, "128 Kbps"},
        {129500, english, "130 Kbps"},   {128501, english, "129 Kbps"},
        {500, english, "0 Kbps"},        {4294967295u, english, "4,294,967 Kbps"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WmaRateCaption(c.bitsPerSecond, c.locale), QString::fromUtf8(c.caption))
            << c.bitsPerSecond << " in " << c.locale.name().toStdString();
}

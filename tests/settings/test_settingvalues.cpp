// Stored settings texts read back as truth values and numbers, or as nothing.

#include "settings/settingvalues.h"

#include <gtest/gtest.h>

namespace {

struct StoredText {
    const char* text;
    std::optional<bool> truth;
    std::optional<int> number;
};

const StoredText kStoredTexts[] = {
    {"True", true, std::nullopt},
    {"false", false, std::nullopt},
    {"TRUE", true, std::nullopt},
    {"0", false, 0},
    {"-1", true, -1},
    {"6", true, 6},
    {" 4 ", true, 4},
    {"2.5", true, std::nullopt},
    {"12abc", std::nullopt, std::nullopt},
    {"yes", std::nullopt, std::nullopt},
    {"", std::nullopt, std::nullopt},
    {"nan", std::nullopt, std::nullopt},
    {"99999999999", true, std::nullopt},
};

TEST(SettingValues, StoredTextsReadBackAsTruthAndNumber) {
    for (const StoredText& stored : kStoredTexts) {
        SCOPED_TRACE(stored.text);
        EXPECT_EQ(ParseTruth(QString::fromUtf8(stored.text)), stored.truth);
        EXPECT_EQ(ParseInteger(QString::fromUtf8(stored.text)), stored.number);
    }
    EXPECT_EQ(ParseTruth(TruthText(true)), true);
    EXPECT_EQ(ParseTruth(TruthText(false)), false);
}

} // namespace

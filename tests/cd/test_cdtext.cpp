// The CD-TEXT block read for the disc's title and performer, and the failures it reports.
#include "cd/cdtext.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace {
// Entries laid end to end up to an empty one, as the library hands them over.
std::string Block(const std::vector<std::string>& entries) {
    std::string block;
    for (const std::string& entry : entries)
        block += entry + '\0';
    return block + '\0';
}
} // namespace

// Keys in any case, the last entry wins, numbers round to the nearest (half to even); entries
// of tracks and unknown keys leave the boxes empty. The real discs show plain and UTF-8 titles.
TEST(CdText, DiscTitlesComeFromTheEntriesNumberedZero) {
    const std::tuple<std::vector<std::string>, const char*, const char*> cases[] = {
        {{"title0=blue", "Performer0=band"}, "blue", "band"},
        {{"TITLE0=First", "PERFORMER0=A=B", "TITLE0=Second"}, "Second", "A=B"},
        {{"TITLE0.4=Rounded to the disc"}, "Rounded to the disc", ""},
        {{"TITLE1=Intro", "PERFORMER2=Guest"}, "", ""},
        {{"SONGWRITER0=W", "GENRE", "MESSAGE5=hi", "TITLE0=Blue", "DISC_ID=x"}, "Blue", ""},
        {{"TITLE2=Last", "PERFORMER2.5=Half rounds to even", "TITLE0=Blue"}, "Blue", ""},
    };
    for (const auto& [entries, title, performer] : cases) {
        const auto parsed = ParseCdText(Block(entries).c_str(), 2);
        const auto* titles = std::get_if<DiscTitles>(&parsed);
        ASSERT_NE(titles, nullptr) << entries.front();
        EXPECT_EQ(titles->title, title) << entries.front();
        EXPECT_EQ(titles->performer, performer) << entries.front();
    }
}

// The error box names the number: 5, an entry without "="; 13, a key without a number; 9, a
// number that is no track of the disc.
TEST(CdText, EntriesThatDoNotParseFailTheBlockWithTheirOwnNumber) {
    const std::pair<const char*, int> cases[] = {
        {"TITLE0 Blue", 5},        {"PERFORMER", 5},
        {"TITLE=Blue", 13},        {"TITLEzero=Blue", 13},
        {"PERFORMERnan=Band", 13}, {"PERFORMER-1=Band", 9},
        {"TITLE2.51=Blue", 9},     {"TITLE3=Beyond the last track", 9}};
    const std::map<int, QString> descriptions = {{5, "Invalid procedure call or argument"},
                                                 {9, "Subscript out of range"},
                                                 {13, "Type mismatch"}};
    for (const auto& [entry, number] : cases) {
        const auto parsed = ParseCdText(Block({"TITLE0=Blue", entry}).c_str(), 2);
        const auto* failure = std::get_if<CdTextFailure>(&parsed);
        ASSERT_NE(failure, nullptr) << entry;
        EXPECT_EQ(failure->number, number) << entry;
        EXPECT_EQ(failure->description, descriptions.at(number)) << entry;
    }
}

// Which path, format code, bit rate and file a track is ripped with.
#include "rip/ripoutput.h"

#include <gtest/gtest.h>

TEST(RipOutput, EachFormatChoiceGivesItsPathCodeRateAndFile) {
    OutputChoice base;
    base.folder = "/out";
    base.mp3CbrText = "320 Kbps";
    base.mp3VbrText = "192 Kbps";
    base.oggCbrText = "64 Kbps";
    base.oggVbrText = "288 Kbps";
    base.wmaBitrate = 160000;
    struct Case {
        int format;
        bool cbr;
        RipPath path;
        const char* code;
        const char* bitrate;
        const char* file;
    };
    const Case cases[] = {
        // Mivo Default is MP3 at 128 whatever the MP3 panel says.
        {0, false, RipPath::Encoder, "MP3C", "128", "/out/TRACK3.mp3"},
        {1, true, RipPath::Wav, "", "", ""},
        {2, true, RipPath::Wma, "", "", ""},
        {3, true, RipPath::Encoder, "MP3C", "320", "/out/TRACK3.mp3"},
        {3, false, RipPath::Encoder, "MP3V", "192", "/out/TRACK3.mp3"},
        {4, true, RipPath::Encoder, "OGGC", "64", "/out/TRACK3.ogg"},
        {4, false, RipPath::Encoder, "OGGV", "288", "/out/TRACK3.ogg"},
        {-1, true, RipPath::None, "", "", ""},
    };
    for (const Case& c : cases) {
        OutputChoice choice = base;
        choice.format = c.format;
        choice.mp3Cbr = choice.oggCbr = c.cbr;
        const RipOutput out = ChooseRipOutput(choice, 3);
        EXPECT_EQ(out.path, c.path) << c.format;
        EXPECT_EQ(out.code, c.code) << c.format;
        EXPECT_EQ(out.bitrate, c.bitrate) << c.format;
        EXPECT_EQ(out.file, c.file) << c.format;
    }
    base.format = 2;
    EXPECT_EQ(ChooseRipOutput(base, 3).wmaBitrate, 160000);
}

TEST(RipOutput, BitrateTextIsTheLeadingNumberInShortestForm) {
    const std::pair<const char*, const char*> cases[] = {
        {"128 Kbps", "128"}, {"96 Kbps", "96"},        {"", "0"},
        {"Kbps", "0"},       {"  64.50 Kbps", "64.5"}, {"0128", "128"}};
    for (const auto& [text, number] : cases)
        EXPECT_EQ(BitrateText(text), number) << text;
}

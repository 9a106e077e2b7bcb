// The bit-rate text each format choice takes: the variable-rate lists, whose rates no file
// shows, and Mivo Default, which ignores the MP3 panel.
#include "rip/ripoutput.h"

#include <gtest/gtest.h>

TEST(RipOutput, EachEncoderChoiceTakesItsOwnRateText) {
    OutputChoice choice;
    choice.folder = "/out";
    choice.mp3CbrText = "320 Kbps";
    choice.mp3VbrText = "192 Kbps";
    choice.oggCbrText = "64 Kbps";
    choice.oggVbrText = "288 Kbps";
    const struct {
        int format;
        bool cbr;
        const char* code;
        const char* bitrate;
        const char* file;
    } cases[] = {
        {0, false, "MP3C", "128", "/out/TRACK3.mp3"},
        {3, false, "MP3V", "192", "/out/TRACK3.mp3"},
        {4, false, "OGGV", "288", "/out/TRACK3.ogg"},
    };
    for (const auto& c : cases) {
        choice.format = c.format;
        choice.mp3Cbr = choice.oggCbr = c.cbr;
        const RipOutput out = ChooseRipOutput(choice, 3);
        EXPECT_EQ(out.path, RipPath::Encoder) << c.format;
        EXPECT_EQ(out.code, c.code) << c.format;
        EXPECT_EQ(out.bitrate, c.bitrate) << c.format;
        EXPECT_EQ(out.file, c.file) << c.format;
    }
}

// The frame-rate readout's counting and text; its drawing is checked on Mesa
// (tests/render/frame_rate_readout_render_test.cpp).
#include "app/frame_rate_readout.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(FrameRateMeter, CountsTheFramesOfEachWholeSecondAcrossTheTickWrap) {
    for (DWORD start : {DWORD{100000}, DWORD{0xFFFFFE00}}) { // the second span crosses 2^32
        FrameRateMeter meter;
        EXPECT_FALSE(meter.frame(start)) << "the first frame only starts the span";
        EXPECT_LT(meter.rate(), 0.0);
        for (int i = 1; i < 60; ++i) {
            EXPECT_FALSE(meter.frame(start + static_cast<DWORD>(i * 1000 / 60)));
        }
        EXPECT_TRUE(meter.frame(start + 1000));
        EXPECT_DOUBLE_EQ(meter.rate(), 60.0);
        // A slow span, from the end of the last: 2 frames in 1.6 s.
        EXPECT_FALSE(meter.frame(start + 1700));
        EXPECT_TRUE(meter.frame(start + 2600));
        EXPECT_DOUBLE_EQ(meter.rate(), 1.25);
    }
}

TEST(FrameRateMeter, TheTextHasOneDecimalAndOnlyCharactersOfTheFont) {
    char text[16];
    formatFrameRate(-1.0, text, sizeof text);
    EXPECT_STREQ(text, "");
    formatFrameRate(59.94, text, sizeof text);
    EXPECT_STREQ(text, "59.9 fps");
    formatFrameRate(1e9, text, sizeof text);
    EXPECT_STREQ(text, "9999.9 fps");
    for (double rate : {0.0, 5.55, 123.45, 6789.0}) {
        formatFrameRate(rate, text, sizeof text);
        for (const char* c = text; *c != '\0'; ++c) {
            EXPECT_TRUE(readoutFontHas(*c)) << "'" << *c << "' of " << text;
        }
    }
    EXPECT_FALSE(readoutFontHas('x'));
}

} // namespace

// Choosing the closest offered format to the saver's request.
#include "platform/pixel_format_match.h"
#include "platform/saver_pixel_format.h"

#include <gtest/gtest.h>

namespace {

PixelFormatCandidate format(int colourEach, int alpha, int depth, int stencil) {
    PixelFormatCandidate c;
    c.rgba = true;
    c.doubleBuffer = true;
    c.drawToWindow = true;
    c.redBits = c.greenBits = c.blueBits = colourEach;
    c.alphaBits = alpha;
    c.depthBits = depth;
    c.stencilBits = stencil;
    return c;
}

TEST(PixelFormatMatch, PrefersExactlyWhatTheSaverAsksFor) {
    // A typical Mesa list: alpha and stencil come first, as most programs
    // want them; the saver's exact format is further down.
    const std::vector<PixelFormatCandidate> offered = {
        format(8, 8, 24, 8), format(8, 0, 24, 8), format(8, 8, 16, 0),
        format(8, 0, 24, 0), format(8, 0, 16, 0), format(10, 0, 16, 0),
    };
    EXPECT_EQ(closestPixelFormat(SaverPixelFormat, offered), 4);
}

TEST(PixelFormatMatch, TakesMoreDepthOverAnUnwantedStencilOrAlpha) {
    EXPECT_EQ(closestPixelFormat(SaverPixelFormat,
                                 {format(8, 0, 16, 8), format(8, 0, 24, 0), format(8, 8, 16, 0)}),
              1);
    // Without alpha, an unwanted stencil buffer beats an alpha plane, which
    // would change how the veil blends.
    EXPECT_EQ(closestPixelFormat(SaverPixelFormat, {format(8, 8, 16, 0), format(8, 0, 16, 8)}), 1);
}

TEST(PixelFormatMatch, FallsBackToTheClosestWhenNothingMeetsTheRequest) {
    // A 16-bit display: less colour than asked for is still a picture.
    EXPECT_EQ(closestPixelFormat(SaverPixelFormat, {format(5, 0, 0, 0), format(5, 0, 16, 0)}), 1);
    // Enough colour counts before enough depth.
    EXPECT_EQ(closestPixelFormat(SaverPixelFormat, {format(5, 0, 24, 0), format(8, 0, 0, 0)}), 1);
}

TEST(PixelFormatMatch, NeverOffersAFormatOfTheWrongKind) {
    PixelFormatCandidate single = format(8, 0, 16, 0);
    single.doubleBuffer = false;
    PixelFormatCandidate indexed = format(8, 0, 16, 0);
    indexed.rgba = false;
    PixelFormatCandidate pixmapOnly = format(8, 0, 16, 0);
    pixmapOnly.drawToWindow = false;
    EXPECT_EQ(closestPixelFormat(SaverPixelFormat, {single, indexed, pixmapOnly}), -1);
    EXPECT_EQ(closestPixelFormat(SaverPixelFormat, {}), -1);
    EXPECT_EQ(closestPixelFormat(SaverPixelFormat, {single, format(8, 8, 24, 8)}), 1);
}

TEST(PixelFormatMatch, AvoidsSlowAndMultisampledFormatsAndKeepsTheFirstOfEqualOnes) {
    PixelFormatCandidate slow = format(8, 0, 16, 0);
    slow.slow = true;
    EXPECT_EQ(closestPixelFormat(SaverPixelFormat, {slow, format(8, 0, 24, 0)}), 1);
    PixelFormatCandidate smoothed = format(8, 0, 16, 0);
    smoothed.samples = 4;
    EXPECT_EQ(closestPixelFormat(SaverPixelFormat, {smoothed, format(8, 0, 24, 0)}), 1);
    EXPECT_EQ(closestPixelFormat(SaverPixelFormat, {format(8, 0, 16, 0), format(8, 0, 16, 0)}), 0);
}

} // namespace

TEST(PixelFormatMatch, AskedForACopyingSwapTakesItOnlyAmongOtherwiseEqualFormats) {
    PIXELFORMATDESCRIPTOR copying = SaverPixelFormat;
    copying.dwFlags |= PFD_SWAP_COPY;
    PixelFormatCandidate copies = format(8, 0, 16, 0);
    copies.copySwap = true;
    const PixelFormatCandidate undefined = format(8, 0, 16, 0);
    EXPECT_EQ(closestPixelFormat(copying, {undefined, copies}), 1);
    EXPECT_EQ(closestPixelFormat(SaverPixelFormat, {undefined, copies}), 0) << "not asked for";
    // Never at the cost of depth, or of an alpha plane that changes the veil.
    PixelFormatCandidate shallow = format(8, 0, 0, 0);
    shallow.copySwap = true;
    PixelFormatCandidate withAlpha = format(8, 8, 16, 0);
    withAlpha.copySwap = true;
    EXPECT_EQ(closestPixelFormat(copying, {shallow, withAlpha, undefined}), 2);
}

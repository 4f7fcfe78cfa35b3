#include "records/pixel.h"

#include <gtest/gtest.h>

namespace rvk {
namespace {

TEST(Pixel, ColorTypeOfFollowsTheTypeByte) {
    EXPECT_EQ(ColorTypeOf(kTransparent), 1);
    EXPECT_EQ(ColorTypeOf(kHalfTransparent), 2);
    EXPECT_EQ(ColorTypeOf(0x00123456), 0);
    EXPECT_EQ(ColorTypeOf(0x40123456), 3);
    EXPECT_EQ(ColorTypeOf(0x51123456), 5);
    EXPECT_EQ(ColorTypeOf(0x66123456), 11);
    EXPECT_EQ(ColorTypeOf(0x63123456), 0);  // not one of the twelve
    EXPECT_EQ(ColorTypeOf(0x80000002), 0);
    for (ColorType t = 0; t < kColorTypeCount; ++t)
        EXPECT_EQ(ColorTypeOf(PixelOfType(t, 0x123456)), t) << t;
    EXPECT_EQ(PixelOfType(6, 0xFF123456), 0x60123456u);
}

TEST(Pixel, DisplayColorAtEachLevel) {
    EXPECT_EQ(DisplayColor(kTransparent, 2), MakeRgb(0, 0x70, 0));
    EXPECT_EQ(DisplayColor(kHalfTransparent, 0), MakeRgb(0, 0x32, 0x64));
    EXPECT_EQ(DisplayColor(0x610000FF, 1), MakeRgb(75, 75, 75));
    EXPECT_EQ(DisplayColor(0x610000FF, 2), MakeRgb(0xB0, 0x90, 0x00));
    EXPECT_EQ(DisplayColor(0x000000FF, 0), MakeRgb(0xFF, 0, 0));
    for (int level = 1; level <= 3; ++level)
        EXPECT_EQ(DisplayColor(0x000000FF, level), MakeRgb(75, 75, 75));
    EXPECT_EQ(DisplayColor(0x00B3B3B3, 3), MakeRgb(0, 0, 0));
    EXPECT_EQ(DisplayColor(0x4000FF00, 3), MakeRgb(0, 0xFF, 0));
    EXPECT_EQ(DisplayColor(0x50123456, 1), MakeRgb(0xFC, 0xFC, 0xA8));
    EXPECT_EQ(DisplayColor(0x51123456, 1), MakeRgb(0xFC, 0x30, 0x14));
    EXPECT_EQ(DisplayColor(0x62123456, 2), MakeRgb(0, 0, 0));
    EXPECT_EQ(DisplayColor(0x62123456, 3), MakeRgb(0xB0, 0x90, 0x00));
    EXPECT_EQ(DisplayColor(0x64000000, 1), MakeRgb(0xA0, 0xAC, 0x9C));
    EXPECT_EQ(DisplayColor(0x65000000, 1), MakeRgb(0, 0, 0));
    EXPECT_EQ(DisplayColor(0x66000000, 3), MakeRgb(0xA0, 0xAC, 0x9C));
    EXPECT_EQ(DisplayColor(0x66ABCDEF, 0), 0xABCDEFu);
}

TEST(Pixel, SwapRBKeepsTransparentAndTypeByte) {
    EXPECT_EQ(SwapRB(0x60123456), 0x60563412u);
    EXPECT_EQ(SwapRB(kTransparent), kTransparent);
    EXPECT_EQ(SwapRB(kHalfTransparent), kHalfTransparent);
    EXPECT_EQ(SwapRB(SwapRB(0x40ABCDEF)), 0x40ABCDEFu);
}

TEST(Pixel, HostPaletteTable) {
    EXPECT_EQ(HostPalette(0), 0u);
    EXPECT_EQ(HostPalette(63), 0u);
    EXPECT_EQ(HostPalette(1), 0x00A80000u);
    EXPECT_EQ(HostPalette(62), 0x000C940Cu);
    EXPECT_EQ(HostPalette(64), 0x407CEC3Cu);
    EXPECT_EQ(HostPalette(69), 0x4014B4FCu);
    EXPECT_EQ(HostPalette(75), 0x50484848u);
    EXPECT_EQ(HostPalette(78), 0x5148485Cu);
    EXPECT_EQ(HostPalette(80), 0x60842C0Cu);
    EXPECT_EQ(HostPalette(88), 0x61143C58u);
    EXPECT_EQ(HostPalette(113), 0x66143C58u);
    EXPECT_EQ(HostPalette(84), 0u);
    EXPECT_EQ(HostPalette(254), kHalfTransparent);
    EXPECT_EQ(HostPalette(255), kTransparent);
}

}  // namespace
}  // namespace rvk

#include <gtest/gtest.h>

#include "controls/Drawing.h"

namespace {

TEST(BlendColor, EndsAreTheTwoColours) {
  const TColorRef from = RGBColor(255, 255, 255), to = RGBColor(123, 157, 221);
  EXPECT_EQ(BlendColor(from, to, 0, 817), from);
  EXPECT_EQ(BlendColor(from, to, 817, 817), to);
}

TEST(BlendColor, EachChannelTruncatesTowardZero) {
  struct Case {
    TColorRef from, to;
    int position, range;
    TColorRef expected;
  } cases[] = {
      // 255 + (123 - 255) * 1 / 3 = 255 - 44 = 211; 255 - 32 = 223; 255 - 11 = 244
      {RGBColor(255, 255, 255), RGBColor(123, 157, 221), 1, 3, RGBColor(211, 223, 244)},
      // Rising channel: 74 + 181 * 1 / 2 = 74 + 90 = 164 (90.5 truncated)
      {RGBColor(74, 160, 255), RGBColor(255, 255, 255), 1, 2, RGBColor(164, 207, 255)},
      // Falling channel: 255 - 181 / 2 = 255 - 90 = 165 (not 164: toward zero)
      {RGBColor(255, 255, 255), RGBColor(74, 160, 255), 1, 2, RGBColor(165, 208, 255)},
      // Red stays in the low byte.
      {RGBColor(0, 0, 0), RGBColor(200, 0, 0), 1, 2, 100u},
      {RGBColor(0, 0, 0), RGBColor(0, 0, 200), 1, 2, 100u << 16},
  };
  for (const Case& c : cases)
    EXPECT_EQ(BlendColor(c.from, c.to, c.position, c.range), c.expected) << c.position << "/" << c.range;
}

TEST(BlendColor, ZeroRangeGivesTheFromColour) {
  EXPECT_EQ(BlendColor(RGBColor(1, 2, 3), RGBColor(9, 9, 9), 0, 0), RGBColor(1, 2, 3));
}

TEST(MainHeaderGradient, WhiteAtTheLeftEdgeBlueAtTheRightEdge) {
  auto lines = MainHeaderGradient(817);
  ASSERT_EQ(lines.size(), 818u);
  EXPECT_EQ(lines.front().X, 0);
  EXPECT_EQ(lines.front().Color, RGBColor(255, 255, 255));
  EXPECT_EQ(lines.back().X, 817);
  EXPECT_EQ(lines.back().Color, RGBColor(123, 157, 221));
  EXPECT_EQ(lines[408].Color, BlendColor(RGBColor(255, 255, 255), RGBColor(123, 157, 221), 408, 817));
}

TEST(MainHeaderGradient, NegativeWidthPaintsNothing) { EXPECT_TRUE(MainHeaderGradient(-1).empty()); }

TEST(AboutHeaderGradient, TurnsWhiteAt326AndBackToBlueOverTheLast109Pixels) {
  auto lines = AboutHeaderGradient(435);
  // 0..326 and then 109 + 1 lines from 326 to 435.
  ASSERT_EQ(lines.size(), 327u + 110u);
  const TColorRef white = RGBColor(255, 255, 255), blue = RGBColor(74, 160, 255);
  EXPECT_EQ(lines[0].X, 0);
  EXPECT_EQ(lines[0].Color, blue);
  EXPECT_EQ(lines[326].X, 326);
  EXPECT_EQ(lines[326].Color, white);
  EXPECT_EQ(lines[327].X, 326);
  EXPECT_EQ(lines[327].Color, white);
  EXPECT_EQ(lines.back().X, 435);
  EXPECT_EQ(lines.back().Color, blue);
  // Strictly lighter toward the white point in the red channel.
  EXPECT_LT(lines[100].Color & 0xFF, lines[200].Color & 0xFF);
  EXPECT_GT(lines[340].Color & 0xFF, lines[420].Color & 0xFF);
}

TEST(AboutHeaderGradient, LogoIsCentredOnTheWhitePoint) {
  EXPECT_EQ(AboutLogoLeft(435, 142), 326 - 71);
  EXPECT_EQ(AboutLogoLeft(435, 143), 326 - 71);
}

TEST(CenterOffset, CentresWithTruncation) {
  struct Case {
    int outer, inner, expected;
  } cases[] = {
      {41, 32, 4},   // a 32 x 32 icon on a 41 x 41 button sits at (4, 4)
      {73, 48, 12},  // option button width
      {65, 48, 8},   // option button height
      {48, 48, 0},
      {32, 48, -8},  // larger than its face: negative, clipped by the face
      {32, 49, -8},  // -17 / 2 truncates toward zero
  };
  for (const Case& c : cases) EXPECT_EQ(CenterOffset(c.outer, c.inner), c.expected) << c.outer << " " << c.inner;
}

}  // namespace

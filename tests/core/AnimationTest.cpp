#include <gtest/gtest.h>

#include "controls/Animation.h"

namespace {

const int W = 404, H = 164;

std::vector<int> Steps(int imageCount, int phase) {
  std::vector<int> steps;
  for (const TSpritePlace& place : AnimationFrame(imageCount, phase, W, H, 181, 67)) steps.push_back(place.Step);
  return steps;
}

TEST(Animation, TheRadiiLeaveRoomForOnePictureAndAMargin) {
  EXPECT_EQ(AnimationRadius(W, SpriteWidth), 181);
  EXPECT_EQ(AnimationRadius(H, SpriteHeight), 67);
}

TEST(Animation, PicturesAreSpreadEvenlyFromThePhase) {
  EXPECT_EQ(Steps(2, 0), (std::vector<int>{0, 100}));
  EXPECT_EQ(Steps(18, 0), (std::vector<int>{0, 11, 22, 33, 44, 55, 66, 77, 88, 100, 111, 122, 133, 144, 155, 166,
                                            177, 188}));
  EXPECT_EQ(Steps(3, 7), (std::vector<int>{7, 73, 140}));
}

TEST(Animation, PlacesAndAnglesFollowTheRing) {
  const struct {
    int phase;
    int x, y, angle;
  } cases[] = {
      {0, 383, 82, 64},     // right end of the horizontal axis, a quarter turn
      {50, 202, 149, 128},  // bottom: y grows downward, so the ring turns clockwise
      {100, 21, 82, 192},   // left end
      {150, 202, 15, 256},  // top; angles of a turn and more wrap when drawn
      {25, 330, 129, 96},   // 127.98 and 129.37 round to the nearest integer
  };
  for (const auto& c : cases) {
    const TSpritePlace place = AnimationFrame(1, c.phase, W, H, 181, 67)[0];
    EXPECT_EQ(place.X, c.x) << c.phase;
    EXPECT_EQ(place.Y, c.y) << c.phase;
    EXPECT_EQ(place.Angle, c.angle) << c.phase;
  }
  // An exact half goes to the even integer: 0.5 + 1.5 (width 3) gives 2.
  EXPECT_EQ(AnimationFrame(1, 0, 3, 3, 0, 0)[0].X, 2);
  EXPECT_EQ(AnimationFrame(1, 0, 1, 1, 0, 0)[0].X, 0);
}

TEST(Animation, ThePhaseWrapsAfterATurn) {
  int phase = 0;
  for (int frame = 0; frame < 199; ++frame) phase = NextAnimationPhase(phase);
  EXPECT_EQ(phase, 199);
  EXPECT_EQ(NextAnimationPhase(phase), 0);
}

TEST(Animation, TheBackgroundHasRedAndBlueExchanged) {
  EXPECT_EQ(ExchangeRedBlue(RGBColor(0xD4, 0xD0, 0xC8)), RGBColor(0xC8, 0xD0, 0xD4));
}

}  // namespace

namespace {

// A picture of w x h pixels from a string of letters, '.' the transparent
// colour.
std::vector<uint32_t> Letters(const std::string& rows) {
  std::vector<uint32_t> bits;
  for (char c : rows) bits.push_back(c == '.' ? 0xFFFFFFu : static_cast<uint32_t>(c));
  return bits;
}
std::string Picture(const std::vector<uint32_t>& bits) {
  std::string rows;
  for (uint32_t b : bits) rows += b == 0 ? ' ' : b == 0xFFFFFFu ? '.' : static_cast<char>(b);
  return rows;
}

TEST(Animation, PicturesAreTurnedClockwiseAboutTheirCentreWithoutTheirWhite) {
  std::vector<uint32_t> source = Letters("ab.."
                                         "cdef");  // 4 x 2
  const TPixels picture{4, 2, source.data()};
  const struct {
    int angle;
    double scale;
    const char* expected;  // 6 x 6, the centre at the point (3, 3)
  } cases[] = {
      {0, 1, "      " "      " " ab   " " cdef " "      " "      "},
      // A quarter turn clockwise: the left column on top.
      {64, 1, "      " "  ca  " "  db  " "  e   " "  f   " "      "},
      // Half a turn, past a whole one.
      {128 + 256, 1, "      " "      " " fedc " "   ba " "      " "      "},
      // Twice the size.
      {0, 2, "      " "abb   " "abb   " "cddeef" "cddeef" "      "},
  };
  for (const auto& c : cases) {
    std::vector<uint32_t> target(36, 0);
    TPixels frame{6, 6, target.data()};
    DrawRotated(frame, picture, c.scale, 3, 3, c.angle, 0xFFFFFFu);
    EXPECT_EQ(Picture(target), c.expected) << c.angle << " x" << c.scale;
  }
}

}  // namespace

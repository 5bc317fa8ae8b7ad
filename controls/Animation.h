// The start page's animation without a platform: a ring of small pictures
// on an ellipse around the title, each turned with its place on the ring.
// One full turn of the ring is 200 steps (the phase); angles are in 256ths
// of a turn.
#pragma once

#include <cstdint>
#include <vector>

#include "controls/Drawing.h"

constexpr int AnimationSteps = 200;
// The ring's picture, in 96-DPI pixels.
constexpr int SpriteWidth = 32, SpriteHeight = 19;

// A half-axis of the ellipse: what is left of the area beside one picture,
// halved, less a margin of 5.
int AnimationRadius(int areaSize, int imageSize);

struct TSpritePlace {
  int Step;   // on the ring, counted from the phase's zero
  int X, Y;   // the picture's centre
  int Angle;  // 256ths of a turn, a quarter turn past its place's own
};
// The pictures of one frame: imageCount of them spread evenly from the
// phase, on the ellipse of the half-axes round the centre of a width x
// height area.
std::vector<TSpritePlace> AnimationFrame(int imageCount, int phase, int width, int height, int radiusX, int radiusY);
int NextAnimationPhase(int phase);
// A colour with red and blue exchanged.
TColorRef ExchangeRedBlue(TColorRef color);
// The number of pictures for a new still frame: 2 to 18 from a random
// number of 0 to 16.
constexpr int AnimationImageCount(int random0to16) { return random0to16 + 2; }

// A picture of 32-bit pixels, rows from the top, as a DIB section holds
// them (blue in the low byte).
struct TPixels {
  int Width = 0, Height = 0;
  uint32_t* Bits = nullptr;
};
// Draws the picture centred at (x, y), scaled and turned clockwise by angle
// 256ths of a turn (a turn and more wraps), leaving out its pixels of the
// transparent colour; each target pixel takes the picture's pixel under its
// centre.
void DrawRotated(TPixels& target, const TPixels& picture, double scale, int x, int y, int angle,
                 uint32_t transparent);

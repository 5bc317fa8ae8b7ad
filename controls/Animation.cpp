#include "controls/Animation.h"

#include <cmath>
#include <algorithm>
#include <cstdint>

int AnimationRadius(int areaSize, int imageSize) { return (areaSize - imageSize) / 2 - 5; }

std::vector<TSpritePlace> AnimationFrame(int imageCount, int phase, int width, int height, int radiusX, int radiusY) {
  std::vector<TSpritePlace> places;
  for (int k = 0; k < imageCount; ++k) {
    const int p = static_cast<int>(static_cast<int64_t>(k) * AnimationSteps / imageCount) + phase;
    const double turns = 2.0 * p / AnimationSteps;
    const double a = turns * 3.14159265358979323846;
    // nearbyint rounds an exact half to the even integer (the default
    // rounding mode).
    places.push_back({p, static_cast<int>(std::nearbyint(std::cos(a) * radiusX + width / 2.0)),
                      static_cast<int>(std::nearbyint(std::sin(a) * radiusY + height / 2.0)),
                      static_cast<int>(turns * 128) + 64});
  }
  return places;
}

int NextAnimationPhase(int phase) {
  ++phase;
  return phase >= AnimationSteps ? phase - AnimationSteps : phase;
}

TColorRef ExchangeRedBlue(TColorRef color) {
  return (color & 0x00FF00u) | ((color & 0xFFu) << 16) | ((color >> 16) & 0xFFu);
}

void DrawRotated(TPixels& target, const TPixels& picture, double scale, int x, int y, int angle,
                 uint32_t transparent) {
  const double turn = (angle % 256) * 2 * 3.14159265358979323846 / 256;
  const double c = std::cos(turn), s = std::sin(turn);
  const double halfW = picture.Width / 2.0, halfH = picture.Height / 2.0;
  const int reach = static_cast<int>(std::ceil(std::hypot(halfW, halfH) * scale)) + 1;
  for (int ty = std::max(0, y - reach); ty < std::min(target.Height, y + reach); ++ty)
    for (int tx = std::max(0, x - reach); tx < std::min(target.Width, x + reach); ++tx) {
      // The target pixel's centre turned back onto the picture.
      const double dx = tx + 0.5 - x, dy = ty + 0.5 - y;
      const double px = (dx * c + dy * s) / scale + halfW, py = (-dx * s + dy * c) / scale + halfH;
      if (px < 0 || py < 0 || px >= picture.Width || py >= picture.Height) continue;
      const uint32_t pixel = picture.Bits[static_cast<int>(py) * picture.Width + static_cast<int>(px)];
      if ((pixel & 0xFFFFFFu) != transparent) target.Bits[ty * target.Width + tx] = pixel;
    }
}

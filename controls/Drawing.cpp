#include "controls/Drawing.h"

namespace {
int Channel(TColorRef c, int shift) { return static_cast<int>((c >> shift) & 0xFF); }

int BlendChannel(int from, int to, int position, int range) {
  // C++ division truncates toward zero, as the blend requires.
  return from + (to - from) * position / range;
}
}  // namespace

TColorRef BlendColor(TColorRef from, TColorRef to, int position, int range) {
  if (range == 0) return from;
  return RGBColor(BlendChannel(Channel(from, 0), Channel(to, 0), position, range),
                  BlendChannel(Channel(from, 8), Channel(to, 8), position, range),
                  BlendChannel(Channel(from, 16), Channel(to, 16), position, range));
}

int CenterOffset(int outer, int inner) { return (outer - inner) / 2; }

std::vector<TGradientLine> MainHeaderGradient(int width) {
  std::vector<TGradientLine> lines;
  const TColorRef white = RGBColor(255, 255, 255), blue = RGBColor(123, 157, 221);
  for (int x = 0; x <= width; ++x) lines.push_back({x, BlendColor(white, blue, x, width)});
  return lines;
}

namespace {
int WhitePoint(int width) { return static_cast<int>(width * 0.75); }
}  // namespace

std::vector<TGradientLine> AboutHeaderGradient(int width) {
  std::vector<TGradientLine> lines;
  const TColorRef white = RGBColor(255, 255, 255), lightBlue = RGBColor(74, 160, 255);
  const int a = WhitePoint(width);
  for (int i = 0; i <= a; ++i) lines.push_back({i, BlendColor(lightBlue, white, i, a)});
  const int b = width - a;
  for (int i = 0; i <= b; ++i) lines.push_back({width - b + i, BlendColor(white, lightBlue, i, b)});
  return lines;
}

int AboutLogoLeft(int width, int logoWidth) { return WhitePoint(width) - logoWidth / 2; }

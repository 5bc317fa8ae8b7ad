// Colour blends and placements used when painting the windows' headers and
// the icon faces of buttons. Portable: no platform types.
#pragma once

#include <cstdint>
#include <vector>

// A colour as Windows stores it: red in the low byte, then green, then blue.
using TColorRef = uint32_t;

constexpr TColorRef RGBColor(int r, int g, int b) {
  return static_cast<TColorRef>(r & 0xFF) | (static_cast<TColorRef>(g & 0xFF) << 8) |
         (static_cast<TColorRef>(b & 0xFF) << 16);
}

// Each of red, green and blue: from + (to - from) * position div range, the
// division truncating toward zero. A range of 0 gives the from colour (a
// gradient of a single line).
TColorRef BlendColor(TColorRef from, TColorRef to, int position, int range);

// Offset that centres a picture of size inner on a face of size outer; the
// division truncates toward zero, so a picture larger than its face gets a
// negative offset.
int CenterOffset(int outer, int inner);

// One vertical line of a painted gradient.
struct TGradientLine {
  int X;
  TColorRef Color;
};

// The main window's header: white at the left edge to (123, 157, 221) at the
// right edge, one line for each x from 0 to width inclusive.
std::vector<TGradientLine> MainHeaderGradient(int width);

// The about box's header: light blue (74, 160, 255) fading to white at
// x = trunc(width * 0.75), then back to light blue at the right edge.
std::vector<TGradientLine> AboutHeaderGradient(int width);

// Where the about box's logo goes: centred on the white point of the header.
int AboutLogoLeft(int width, int logoWidth);

#include "framework/Paint.h"

#include <map>
#include <tuple>

#include "model/Wide_win.h"

namespace {
int dpiOverride = 0;
}

int ScreenDpi() {
  if (dpiOverride) return dpiOverride;
  static int dpi = [] {
    HDC dc = GetDC(nullptr);
    int value = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    return value > 0 ? value : 96;
  }();
  return dpi;
}

void SetScreenDpiForTesting(int dpi) { dpiOverride = dpi; }

int Scale(int value) { return ScreenDpi() == 96 ? value : MulDiv(value, ScreenDpi(), 96); }

HFONT FontHandle(const std::string& name, int height, bool bold, bool italic, bool underline) {
  static std::map<std::tuple<std::string, int, bool, bool, bool>, HFONT> fonts;
  const int pixels = Scale(height);
  auto key = std::make_tuple(name, pixels, bold, italic, underline);
  auto it = fonts.find(key);
  if (it != fonts.end()) return it->second;
  HFONT font = CreateFontW(-pixels, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, italic, underline, FALSE, DEFAULT_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                           W(name).c_str());
  fonts[key] = font;
  return font;
}

int FontPointSize(int height) { return MulDiv(height, 72, 96); }

COLORREF ColorValue(COLORREF color) {
  if (color == clDefault) return GetSysColor(COLOR_BTNFACE);
  if (color & 0x80000000u) return GetSysColor(static_cast<int>(color & 0xFF));
  return color;
}

HBRUSH ColorBrush(COLORREF color) {
  if (color & 0x80000000u && color != clDefault) return GetSysColorBrush(static_cast<int>(color & 0xFF));
  static std::map<COLORREF, HBRUSH> brushes;
  const COLORREF value = ColorValue(color);
  auto it = brushes.find(value);
  if (it != brushes.end()) return it->second;
  return brushes[value] = CreateSolidBrush(value);
}

uint32_t Premultiplied(uint32_t pixel) {
  const uint32_t a = pixel >> 24;
  uint32_t result = a << 24;
  for (int shift = 0; shift < 24; shift += 8) result |= ((pixel >> shift & 0xFF) * a + 127) / 255 << shift;
  return result;
}

BITMAPINFO TopDownInfo(int width, int height) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

// What every window of the framework paints with: the screen's scale,
// fonts by pixel height, colours (system colours included).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// Layouts are given for 96 pixels per inch; on a screen of another density
// every rectangle and font height is scaled by its DPI / 96.
int ScreenDpi();
int Scale(int value);
// Test hook: the density the framework scales for (0: the screen's again).
void SetScreenDpiForTesting(int dpi);

// The font's handle for a character height given in 96-DPI pixels, made once
// per distinct description and kept until the program ends.
HFONT FontHandle(const std::string& name, int height, bool bold = false, bool italic = false, bool underline = false);
// Point size of a 96-DPI pixel height, rounded: the same on every screen.
int FontPointSize(int height);

// The format of 32-bit pixels, rows from the top (with a negative height).
BITMAPINFO TopDownInfo(int width, int height);
// A BGRA pixel with its colours multiplied by its alpha, as blending wants
// them (icons keep them as they are).
uint32_t Premultiplied(uint32_t pixel);

// Colours: an RGB value, or a system colour, or "the parent's".
constexpr COLORREF clDefault = CLR_INVALID;
constexpr COLORREF SysColor(int index) { return 0x80000000u | static_cast<COLORREF>(index); }
constexpr COLORREF clBtnFace = SysColor(COLOR_BTNFACE);
constexpr COLORREF clWindowText = SysColor(COLOR_WINDOWTEXT);
constexpr COLORREF clWhite = RGB(255, 255, 255);
// The RGB value of a colour (system colours looked up now).
COLORREF ColorValue(COLORREF color);
// A solid brush of the colour, kept until the program ends.
HBRUSH ColorBrush(COLORREF color);


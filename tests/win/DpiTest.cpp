// End-to-end on a screen of 144 DPI (the test runs in a Wine prefix whose
// LogPixels is 144): the windows are laid out one and a half times as large,
// with every rectangle of their tables scaled, not stretched as a bitmap.
#include <gtest/gtest.h>
#include <windows.h>

#include "tests/win/ConfigDriver.h"

namespace {

int Scaled(int value) { return MulDiv(value, 144, 96); }

class Dpi144 : public ::testing::Test {
 protected:
  void SetUp() override {
    HDC dc = GetDC(nullptr);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    ASSERT_EQ(dpi, 144) << "the test needs the prefix of 144 DPI (TARVO_WINE_DPI=144)";
    trv = std::make_unique<TConfigProcess>();
    main = trv->MainWindow();
    ASSERT_NE(main, nullptr);
  }
  std::unique_ptr<TConfigProcess> trv;
  HWND main = nullptr;
};

TEST_F(Dpi144, TheStartPageIsOneAndAHalfTimesAsLarge) {
  SIZE client = ClientSize(main);
  EXPECT_EQ(client.cx, Scaled(817));
  EXPECT_EQ(client.cy, Scaled(429));
  std::vector<HWND> buttons = OptionButtons(main);
  ASSERT_EQ(buttons.size(), 4u);
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    RECT b = RectInParent(buttons[i]);
    EXPECT_EQ(b.left, Scaled(8));
    EXPECT_EQ(b.top, Scaled(72 + 72 * i));
    EXPECT_EQ(b.right - b.left, Scaled(73));
    EXPECT_EQ(b.bottom - b.top, Scaled(65));
    // The picture is drawn for its size on this screen, centred.
    RECT p = ControlRect(main, "Image_Option" + std::to_string(i + 1));
    EXPECT_EQ(p.right - p.left, Scaled(48));
    EXPECT_EQ(p.left, (Scaled(73) - Scaled(48)) / 2);
    EXPECT_EQ(p.top, (Scaled(65) - Scaled(48)) / 2);
  }
}

TEST_F(Dpi144, TheAboutBoxIsScaledAndKeepsTheMessageFont) {
  PostMessageA(main, WM_SYSCOMMAND, 0xF200, 0);
  HWND about = trv->WaitForWindow("TInfo");
  ASSERT_NE(about, nullptr);
  SIZE client = ClientSize(about);
  EXPECT_EQ(client.cx, Scaled(435));
  EXPECT_EQ(client.cy, Scaled(132));
  HWND ok = FindDescendant(about, "Button", "OK");
  ASSERT_NE(ok, nullptr);
  RECT r = RectInParent(ok);
  EXPECT_EQ(r.left, Scaled(177));
  EXPECT_EQ(r.right - r.left, Scaled(81));
  // Its 8-point font is recognised on this screen too: the box switched to
  // the system's message font, at 11 pixels scaled; its auto-sized label
  // has exactly the size of its text in that font.
  NONCLIENTMETRICSA metrics = {};
  metrics.cbSize = 340;
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 340, &metrics, 0));
  HDC dc = GetDC(nullptr);
  HFONT font = CreateFontA(-Scaled(11), 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                           metrics.lfMessageFont.lfFaceName);
  HGDIOBJ old = SelectObject(dc, font);
  RECT text = {0, 0, 0, 0};
  DrawTextA(dc, "Ein Programm des Tarvo-Projekts", -1, &text, DT_CALCRECT);
  SelectObject(dc, old);
  DeleteObject(font);
  ReleaseDC(nullptr, dc);
  RECT l = ControlRect(about, "InfoLbl");
  EXPECT_EQ(l.right - l.left, text.right);
  EXPECT_EQ(l.bottom - l.top, text.bottom);
  EXPECT_EQ(l.right, Scaled(8 + 419));  // right-aligned: the right edge stays
  PostMessageA(about, WM_CLOSE, 0, 0);
}

}  // namespace

// End-to-end: the about box of the running configuration window.
#include <gtest/gtest.h>

#include "tests/win/ConfigDriver.h"

namespace {

class AboutBox : public ::testing::Test {
 protected:
  void SetUp() override {
    trv = std::make_unique<TConfigProcess>();
    main = trv->MainWindow();
    ASSERT_NE(main, nullptr);
  }

  HWND Open(bool fromSystemMenu) {
    if (fromSystemMenu)
      PostMessageA(main, WM_SYSCOMMAND, 0xF200, 0);
    else
      PostMessageA(OptionButtons(main)[2], BM_CLICK, 0, 0);
    return trv->WaitForWindow("TInfo");
  }

  std::unique_ptr<TConfigProcess> trv;
  HWND main = nullptr;
};

TEST_F(AboutBox, InfoInTheSystemMenuShowsVersionAndPeriod) {
  HWND about = Open(true);
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(TextOf(about), "Info über Tarvo");
  SIZE size = ClientSize(about);
  EXPECT_EQ(size.cx, 435);
  EXPECT_EQ(size.cy, 132);
  // A dialog's fixed frame: not sizable, no minimise or maximise box.
  const LONG style = GetWindowLongA(about, GWL_STYLE), exStyle = GetWindowLongA(about, GWL_EXSTYLE);
  EXPECT_TRUE(exStyle & WS_EX_DLGMODALFRAME);
  EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
  EXPECT_TRUE(style & WS_SYSMENU);
  std::vector<HWND> header = ChildrenOfClass(about, "TPaintBox");
  ASSERT_EQ(header.size(), 1u);
  EXPECT_EQ(ClientSize(header[0]).cy, 65);
  EXPECT_TRUE(WaitUntil([&] { return !TextOf(header[0]).empty(); }));
  EXPECT_EQ(TextOf(header[0]), "Tarvo\r\nVersion: 1.0.0.0\r\nEntwicklungszeit: 2004-2005");
  // Modal: the main window waits.
  EXPECT_FALSE(IsWindowEnabled(main));
}

TEST_F(AboutBox, ShowsTheMakerAndItsTwoLinks) {
  HWND about = Open(false);
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(ControlCaption(about, "InfoLbl"), "Ein Programm des Tarvo-Projekts");
  EXPECT_EQ(ControlCaption(about, "EMailLbl"), "kontakt@tarvo.example");
  EXPECT_EQ(ControlCaption(about, "URLLbl"), "www.tarvo.example");
  RECT mail = ControlRect(about, "EMailLbl"), web = ControlRect(about, "URLLbl");
  // Right-aligned at the right edge, the web address at the bottom.
  EXPECT_EQ(mail.right, 427);
  EXPECT_EQ(mail.right, web.right);
  EXPECT_LT(mail.top, web.top);
  HWND ok = FindDescendant(about, "Button", "OK");
  ASSERT_NE(ok, nullptr);
  RECT r = RectInParent(ok);
  EXPECT_EQ(r.right - r.left, 81);
  EXPECT_EQ(r.bottom - r.top, 25);
  EXPECT_EQ((r.left + r.right) / 2, 435 / 2);
}

TEST_F(AboutBox, OkClosesItAndTheWindowGoesOn) {
  HWND about = Open(false);
  ASSERT_NE(about, nullptr);
  PostMessageA(FindDescendant(about, "Button", "OK"), BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(about); }));
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(main) != 0; }));
  EXPECT_EQ(VisiblePage(main), "Startseite");
  // Shown again, the same box comes back.
  EXPECT_EQ(Open(true), about);
  ASSERT_TRUE(WaitUntil([&] { return GetAncestor(trv->Focus(), GA_ROOT) == about; }));
  trv->PostKey(VK_ESCAPE);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(about); }));
}

}  // namespace

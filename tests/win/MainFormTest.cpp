// End-to-end: TRV.EXE started without arguments opens the configuration
// window; the test drives it from outside as a user's input would.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "resources/Resource.h"
#include "tests/win/ConfigDriver.h"
#include "tests/win/WinTestSupport.h"

namespace {

const UINT InfoCommand = 0xF200;

// The option buttons' help, wrapped as the balloon shows it.
const char* const OptionHelp[4] = {
    "Klicken Sie hier, um neue Befehlszeilenfolgen und Menüs zu\r\nerstellen oder bereits existierende zu bearbeiten.",
    "Klicken Sie hier, um eine Verknüpfung mit einem beliebigen\r\nProjekt anzulegen.",
    "Zeigt einen Infodialog zum Tarvo an.",
    "Beendet das Programm.",
};

const char* const ValidProject = "[ExecGroups]\r\nEditor\r\n 4 Doppelklicken zum Bearbeiten\r\n[MenuItems]\r\n0 1 Editor\r\n";
const char* const InvalidProject = "Kein Projekt\r\n";

class MainForm : public ::testing::Test {
 protected:
  void SetUp() override {
    trv = std::make_unique<TConfigProcess>();
    main = trv->MainWindow();
    ASSERT_NE(main, nullptr) << "configuration window did not appear";
  }

  bool WaitForPage(const std::string& page) {
    return WaitUntil([&] { return VisiblePage(main) == page; });
  }

  bool WaitForFocus(HWND wnd) {
    return WaitUntil([&] { return trv->Focus() == wnd; });
  }

  HWND WaitForBalloon() {
    HWND balloon = nullptr;
    WaitUntil([&] { return (balloon = VisibleBalloon(*trv)) != nullptr; });
    return balloon;
  }

  bool WaitForNoBalloon() {
    return WaitUntil([&] { return VisibleBalloon(*trv) == nullptr; });
  }

  // The hidden click sequence: the shortcut page, the editor page twice,
  // then the about box (here through the system menu, which counts as
  // option 3), and option 4, which now switches the animation instead of
  // quitting.
  void CompleteHiddenSequence() {
    std::vector<HWND> buttons = OptionButtons(main);
    SendMessageA(buttons[1], BM_CLICK, 0, 0);
    ASSERT_EQ(VisiblePage(main), "Verknüpfung");
    SendMessageA(PageButton(main, "Verknüpfung"), BM_CLICK, 0, 0);
    for (int i = 0; i < 2; ++i) {
      SendMessageA(buttons[0], BM_CLICK, 0, 0);
      ASSERT_EQ(VisiblePage(main), "Erstellen");
      SendMessageA(PageButton(main, "Erstellen"), BM_CLICK, 0, 0);
      ASSERT_EQ(VisiblePage(main), "Startseite");
    }
    OpenAndCloseAboutBox();
    SendMessageA(buttons[3], BM_CLICK, 0, 0);
  }

  // Opens the about box through the system menu entry and closes it again:
  // also a marker that every message posted before it has been handled.
  void OpenAndCloseAboutBox() {
    PostMessageA(main, WM_SYSCOMMAND, InfoCommand, 0);
    HWND about = trv->WaitForWindow("TInfo");
    ASSERT_NE(about, nullptr);
    // Esc goes to the box once it has the focus.
    ASSERT_TRUE(WaitUntil([&] { return GetAncestor(trv->Focus(), GA_ROOT) == about; }));
    trv->PostKey(VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(about); }));
  }

  std::unique_ptr<TConfigProcess> trv;
  HWND main = nullptr;
};

TEST_F(MainForm, OpensWithCaptionSizeAndStartPage) {
  EXPECT_EQ(TextOf(main), "Tarvo - Konfiguration");
  SIZE size = ClientSize(main);
  EXPECT_EQ(size.cx, 817);
  EXPECT_EQ(size.cy, 429);
  EXPECT_EQ(VisiblePage(main), "Startseite");
  const LONG style = GetWindowLongA(main, GWL_STYLE);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME);
}

TEST_F(MainForm, FourOptionButtonsWithTagsPicturesAndFocusOnTheFirst) {
  std::vector<HWND> buttons = OptionButtons(main);
  ASSERT_EQ(buttons.size(), 4u);
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i + 1);
    EXPECT_EQ(GetWindowLongPtrA(buttons[i], GWLP_USERDATA), i + 1);  // the Tag
    RECT r = RectInParent(buttons[i]);
    EXPECT_EQ(r.left, 8);
    EXPECT_EQ(r.top, 72 + 72 * i);
    EXPECT_EQ(r.right - r.left, 73);
    EXPECT_EQ(r.bottom - r.top, 65);
    EXPECT_EQ(TextOf(buttons[i]), "");
    // The option's picture sits centred on the button: (73 - 48) div 2,
    // (65 - 48) div 2.
    const std::string picture = "Image_Option" + std::to_string(i + 1);
    RECT p = ControlRect(main, picture);
    EXPECT_EQ(p.left, 12);
    EXPECT_EQ(p.top, 8);
    EXPECT_EQ(p.right - p.left, 48);
    EXPECT_EQ(ControlTag(main, picture), i + 1);
  }
  EXPECT_TRUE(WaitForFocus(buttons[0]));
  // Each picture shows its colours, and the button's face where it is
  // transparent (its corners): as just left of it.
  const COLORREF centres[] = {RGB(90, 110, 140), RGB(40, 50, 70), RGB(255, 255, 255), RGB(255, 255, 255)};
  const TScreenPicture shown = SettledPicture(main);
  ASSERT_FALSE(shown.Empty()) << "the window is never still";
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i + 1);
    auto at = [&](int x, int y) {
      POINT pt = {x, y};
      ClientToScreen(buttons[i], &pt);
      return shown.At(pt);
    };
    EXPECT_EQ(at(12 + 24, 8 + 24), centres[i]);
    EXPECT_EQ(at(12, 8), at(10, 8));
  }
}

TEST_F(MainForm, F2ShowsEachOptionsHelpAndASecondF2HidesIt) {
  std::vector<HWND> buttons = OptionButtons(main);
  ASSERT_EQ(buttons.size(), 4u);
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i + 1);
    ASSERT_TRUE(WaitForFocus(buttons[i]));
    trv->PostKey(VK_F2);
    HWND balloon = WaitForBalloon();
    ASSERT_NE(balloon, nullptr);
    EXPECT_EQ(BalloonText(balloon), OptionHelp[i]);
    EXPECT_TRUE(GetWindowLongA(balloon, GWL_STYLE) & TTS_BALLOON);
    // The balloon points at the middle of the button's lower edge.
    RECT b;
    GetWindowRect(buttons[i], &b);
    RECT t;
    GetWindowRect(balloon, &t);
    EXPECT_LE(t.left, b.left + 36);
    EXPECT_GE(t.right, b.left + 36);
    trv->PostKey(VK_F2);
    EXPECT_TRUE(WaitForNoBalloon());
    trv->PostKey(VK_TAB);
    if (i < 3) {
      ASSERT_TRUE(WaitForFocus(buttons[i + 1]));
    }
  }
}

TEST_F(MainForm, LeavingTheControlHidesItsBalloon) {
  std::vector<HWND> buttons = OptionButtons(main);
  ASSERT_TRUE(WaitForFocus(buttons[0]));
  trv->PostKey(VK_F2);
  ASSERT_NE(WaitForBalloon(), nullptr);
  trv->PostKey(VK_TAB);
  ASSERT_TRUE(WaitForFocus(buttons[1]));
  EXPECT_TRUE(WaitForNoBalloon());
}

TEST_F(MainForm, EscHidesTheBalloonAndDoesNothingElse) {
  std::vector<HWND> buttons = OptionButtons(main);
  ASSERT_TRUE(WaitForFocus(buttons[0]));
  trv->PostKey(VK_F2);
  ASSERT_NE(WaitForBalloon(), nullptr);
  trv->PostKey(VK_ESCAPE);
  EXPECT_TRUE(WaitForNoBalloon());
  // Esc without a balloon closes nothing either.
  trv->PostKey(VK_ESCAPE);
  OpenAndCloseAboutBox();
  EXPECT_TRUE(IsWindowVisible(main));
  EXPECT_EQ(VisiblePage(main), "Startseite");
  // Wine without a window manager now and then hands the activation to the
  // desktop a moment after the box is hidden (the X server's focus goes to
  // its root); Windows gives it back to the owner. The window, active again,
  // puts the focus back where it was: Esc moved it nowhere.
  if (!WaitUntil([&] { return trv->Focus() == buttons[0]; }, 2000)) SetForegroundWindow(main);
  EXPECT_TRUE(WaitUntil([&] { return trv->Focus() == buttons[0]; })) << trv->Focus();
}

TEST_F(MainForm, BalloonFollowsTheMovedWindow) {
  std::vector<HWND> buttons = OptionButtons(main);
  ASSERT_TRUE(WaitForFocus(buttons[0]));
  trv->PostKey(VK_F2);
  HWND balloon = WaitForBalloon();
  ASSERT_NE(balloon, nullptr);
  RECT before, window;
  GetWindowRect(balloon, &before);
  GetWindowRect(main, &window);
  SetWindowPos(main, nullptr, window.left - 30, window.top + 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_TRUE(WaitUntil([&] {
    RECT now;
    GetWindowRect(balloon, &now);
    return now.left == before.left - 30 && now.top == before.top + 20;
  }));
}

TEST_F(MainForm, APageChangeHidesTheBalloon) {
  std::vector<HWND> buttons = OptionButtons(main);
  ASSERT_TRUE(WaitForFocus(buttons[0]));
  trv->PostKey(VK_F2);
  ASSERT_NE(WaitForBalloon(), nullptr);
  PostMessageA(buttons[1], BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitForPage("Verknüpfung"));
  EXPECT_TRUE(WaitForNoBalloon());
}

TEST_F(MainForm, HelpOfTheBackButtonWrapsRightAfterColumn60) {
  PostMessageA(OptionButtons(main)[1], BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitForPage("Verknüpfung"));
  HWND back = PageButton(main, "Verknüpfung");
  // The page starts in the shell's tree; Tab leads on to the back button.
  ASSERT_TRUE(WaitForFocus(ControlHandle(main, "ShellTreeView")));
  for (int i = 0; i < 12 && trv->Focus() != back; ++i) {
    const HWND before = trv->Focus();
    trv->PostKey(VK_TAB);
    WaitUntil([&] { return trv->Focus() != before; });
  }
  ASSERT_TRUE(WaitForFocus(back));
  EXPECT_EQ(GetWindowLongPtrA(back, GWLP_USERDATA), 36);
  trv->PostKey(VK_F2);
  HWND balloon = WaitForBalloon();
  ASSERT_NE(balloon, nullptr);
  EXPECT_EQ(BalloonText(balloon),
            "Klicken Sie hier, um zum Hauptmenü zurückzukehren, ohne eine\r\nVerknüpfung anzulegen.");
}

TEST_F(MainForm, PageButtonsShowTheirIconCentred) {
  // The pages' windows are made when a page first shows.
  const std::pair<int, const char*> pages[] = {{0, "Erstellen"}, {1, "Verknüpfung"}};
  for (auto [option, page] : pages) {
    SCOPED_TRACE(page);
    PostMessageA(OptionButtons(main)[option], BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitForPage(page));
    HWND button = PageButton(main, page);
    ASSERT_NE(button, nullptr);
    RECT b = RectInParent(button);
    RECT i = ControlRect(main, std::string(option == 0 ? "Button_Close" : "Button_Back") + "_Icon");
    EXPECT_EQ(i.right - i.left, 32);
    EXPECT_EQ(i.left, (b.right - b.left - 32) / 2);
    EXPECT_EQ(i.top, (b.bottom - b.top - 32) / 2);
    PostMessageA(button, BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitForPage("Startseite"));
  }
}

TEST_F(MainForm, ClickOnAnOptionPictureNudgesItAndClicksTheButton) {
  HWND button = OptionButtons(main)[2];
  auto picture = [&] { return ControlRect(main, "Image_Option3"); };
  RECT r = picture();
  MapWindowPoints(button, nullptr, reinterpret_cast<POINT*>(&r), 2);
  POINT old;
  GetCursorPos(&old);
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  SendInput(1, &input, sizeof input);
  EXPECT_TRUE(WaitUntil([&] { return picture().left == 14 && picture().top == 10; }));
  input.mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(1, &input, sizeof input);
  HWND about = trv->WaitForWindow("TInfo");
  SetCursorPos(old.x, old.y);
  ASSERT_NE(about, nullptr) << "the click on the picture clicks option 3";
  // The release is handled after the click, whose about box is modal: the
  // picture goes back once the box is closed.
  ASSERT_TRUE(WaitUntil([&] { return GetAncestor(trv->Focus(), GA_ROOT) == about; }));
  trv->PostKey(VK_ESCAPE);
  EXPECT_TRUE(WaitUntil([&] { return picture().left == 12 && picture().top == 8; }));
}

// Only a held left button nudges the picture; whatever the mouse did, the
// picture ends centred: a release whose press was elsewhere on the page, a
// press whose release is elsewhere, double clicks of every button.
TEST_F(MainForm, OptionPicturesEndCentredWhateverTheMouseDid) {
  HWND button = OptionButtons(main)[0];
  const std::vector<std::vector<UINT>> cases = {
      {WM_LBUTTONUP},
      {WM_RBUTTONDOWN},
      {WM_MBUTTONDOWN},
      {WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDBLCLK, WM_RBUTTONUP},
      {WM_MBUTTONDOWN, WM_MBUTTONUP, WM_MBUTTONDBLCLK, WM_MBUTTONUP},
  };
  for (const auto& messages : cases) {
    SCOPED_TRACE(messages.front());
    for (UINT m : messages) PostMessageA(button, m, 0, MAKELPARAM(5, 5));
    OpenAndCloseAboutBox();  // every message before it has been handled
    RECT r = ControlRect(main, "Image_Option1");
    EXPECT_EQ(r.left, 12);
    EXPECT_EQ(r.top, 8);
  }
}

TEST_F(MainForm, TheHeaderFadesFromWhiteToBlueOver49Rows) {
  // The colour blend of each column x of 817: 255 + (c - 255) * x div 817.
  struct Sample {
    int x, y;
    COLORREF expected;
  };
  const Sample samples[] = {
      {0, 0, RGB(255, 255, 255)},   {0, 46, RGB(255, 255, 255)},  {408, 20, RGB(190, 207, 239)},
      {816, 2, RGB(124, 158, 222)}, {816, 46, RGB(124, 158, 222)},
  };
  POINT origin = {0, 0};
  ClientToScreen(main, &origin);
  const TScreenPicture picture = SettledPicture(main);
  ASSERT_FALSE(picture.Empty()) << "the window is never still";
  for (const Sample& s : samples) {
    SCOPED_TRACE(std::to_string(s.x) + "," + std::to_string(s.y));
    const COLORREF pixel = picture.At({origin.x + s.x, origin.y + s.y});
    EXPECT_EQ(pixel, s.expected) << std::hex << pixel;
  }
  // Below the header's bottom line the window's face colour begins.
  EXPECT_EQ(picture.At({origin.x + 408, origin.y + 49}), GetSysColor(COLOR_BTNFACE));
}

TEST_F(MainForm, AHelpBalloonStaysUntilDismissed) {
  // Help balloons have no lifetime; other balloons go after 5 seconds.
  std::vector<HWND> buttons = OptionButtons(main);
  ASSERT_TRUE(WaitForFocus(buttons[0]));
  trv->PostKey(VK_F2);
  ASSERT_NE(WaitForBalloon(), nullptr);
  EXPECT_FALSE(WaitUntil([&] { return VisibleBalloon(*trv) == nullptr; }, 6500));
}

TEST_F(MainForm, SwitchingToAnotherApplicationHidesTheBalloon) {
  std::vector<HWND> buttons = OptionButtons(main);
  ASSERT_TRUE(WaitForFocus(buttons[0]));
  trv->PostKey(VK_F2);
  ASSERT_NE(WaitForBalloon(), nullptr);
  // A window of the test process takes the activation.
  HWND other = CreateWindowExA(0, "STATIC", "anderes Programm", WS_POPUP | WS_VISIBLE, 0, 0, 200, 50, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  SetForegroundWindow(other);
  bool hidden = WaitUntil([&] {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    return VisibleBalloon(*trv) == nullptr;
  });
  DestroyWindow(other);
  EXPECT_TRUE(hidden);
}

TEST_F(MainForm, TheCloseBoxEndsTheProgramWhenNothingIsUnsaved) {
  PostMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(trv->WaitForExit(10000));
}

TEST_F(MainForm, TheLabelsAccessKeysFocusTheirButtonsWithoutClicking) {
  std::vector<HWND> buttons = OptionButtons(main);
  ASSERT_TRUE(WaitForFocus(buttons[0]));
  // Alt+V: "&Verknüpfung zum Aufrufen eines Menüs anlegen"
  PostMessageA(trv->Focus(), WM_SYSCHAR, 'v', 0x20000000);
  EXPECT_TRUE(WaitForFocus(buttons[1]));
  // "B" alone on a button: "&Beenden" focuses the quit button, quits not.
  PostMessageA(trv->Focus(), WM_CHAR, 'B', 0);
  EXPECT_TRUE(WaitForFocus(buttons[3]));
  PostMessageA(trv->Focus(), WM_CHAR, 't', 0);  // Über "&Tarvo"...
  EXPECT_TRUE(WaitForFocus(buttons[2]));
  PostMessageA(trv->Focus(), WM_SYSCHAR, 'E', 0x20000000);  // &erstellen oder bearbeiten
  EXPECT_TRUE(WaitForFocus(buttons[0]));
  EXPECT_EQ(VisiblePage(main), "Startseite");
  EXPECT_EQ(trv->FindWindowOfClass("TInfo"), nullptr);
  EXPECT_EQ(WaitForSingleObject(trv->Process(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
}

TEST_F(MainForm, OptionFourClosesTheWindowAndEndsTheProcess) {
  PostMessageA(OptionButtons(main)[3], BM_CLICK, 0, 0);
  DWORD exitCode = 1;
  ASSERT_TRUE(trv->WaitForExit(10000, &exitCode));
  EXPECT_EQ(exitCode, 0u);
}

TEST_F(MainForm, OptionsOneAndTwoSwitchPagesAndTheirButtonsComeBack) {
  std::vector<HWND> buttons = OptionButtons(main);
  PostMessageA(buttons[0], BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitForPage("Erstellen"));
  PostMessageA(PageButton(main, "Erstellen"), BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitForPage("Startseite"));
  PostMessageA(buttons[1], BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitForPage("Verknüpfung"));
  PostMessageA(PageButton(main, "Verknüpfung"), BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitForPage("Startseite"));
}

// The start page shows no icon: the editor's image list, and with it the
// icon cache and its worker, comes when the editor page first shows.
TEST_F(MainForm, TheEditorsIconsComeWithTheEditorPageNotWithTheWindow) {
  HWND tree = ControlHandle(main, "TreeView_Menu"), lines = ControlHandle(main, "ListView_ExecLines");
  ASSERT_NE(tree, nullptr);
  ASSERT_NE(lines, nullptr);
  EXPECT_EQ(SendMessageA(tree, TVM_GETIMAGELIST, TVSIL_NORMAL, 0), 0);
  EXPECT_EQ(SendMessageA(lines, LVM_GETIMAGELIST, LVSIL_SMALL, 0), 0);
  PostMessageA(OptionButtons(main)[0], BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitForPage("Erstellen"));
  const LRESULT images = SendMessageA(tree, TVM_GETIMAGELIST, TVSIL_NORMAL, 0);
  EXPECT_NE(images, 0);
  EXPECT_EQ(SendMessageA(lines, LVM_GETIMAGELIST, LVSIL_SMALL, 0), images);
}

TEST_F(MainForm, HiddenClickSequenceMakesOptionFourNotClose) {
  CompleteHiddenSequence();
  EXPECT_TRUE(IsWindow(main));
  EXPECT_EQ(WaitForSingleObject(trv->Process(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
  // ...once: the sequence starts over, and the next click quits.
  PostMessageA(OptionButtons(main)[3], BM_CLICK, 0, 0);
  EXPECT_TRUE(trv->WaitForExit(10000));
}

// The area of the start page's animation, which has no window of its own:
// on the page, and relative to the window's top left corner.
struct TAnimationArea {
  HWND Page;
  RECT OnPage, InWindow;
};
TAnimationArea AnimationArea(HWND main) {
  TAnimationArea area = {ControlHandle(main, "Page_Start"), ControlRect(main, "DXDraw"), {}};
  RECT page, window;
  GetWindowRect(area.Page, &page);
  GetWindowRect(main, &window);
  area.InWindow = area.OnPage;
  OffsetRect(&area.InWindow, page.left - window.left, page.top - window.top);
  return area;
}

// changed lies inside area.
bool Inside(const RECT& changed, const RECT& area) {
  RECT inside;
  return IntersectRect(&inside, &changed, &area) && EqualRect(&inside, &changed);
}

TEST_F(MainForm, TheStillFrameChangesOnAClickOnly) {
  const TAnimationArea area = AnimationArea(main);
  ASSERT_FALSE(IsRectEmpty(&area.OnPage));
  // Drawn whole, then still without the animation.
  const TScreenPicture first = SettledPicture(main);
  ASSERT_FALSE(first.Empty()) << "the frame keeps changing";
  const LPARAM at = MAKELPARAM(area.OnPage.left + 10, area.OnPage.top + 10);
  PostMessageA(area.Page, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageA(area.Page, WM_LBUTTONUP, 0, at);
  RECT changed = {0, 0, 0, 0};
  EXPECT_TRUE(WaitUntil([&] {
    changed = Difference(first, CaptureWindow(main));
    return !IsRectEmpty(&changed);
  })) << "a click draws a new frame";
  EXPECT_TRUE(Inside(changed, area.InWindow))
      << changed.left << "," << changed.top << " to " << changed.right << "," << changed.bottom;
}

TEST_F(MainForm, TheAnimationMovesTheRingOnTheStartPageOnly) {
  CompleteHiddenSequence();
  const RECT area = AnimationArea(main).InWindow;
  // Once the page is painted, the ring moves inside its area and nothing
  // else changes.
  const TScreenPicture start = SettledPicture(main, area);
  ASSERT_FALSE(start.Empty()) << "the start page is never still outside the animation";
  RECT changed = {0, 0, 0, 0};
  ASSERT_TRUE(WaitUntil([&] {
    changed = Difference(start, CaptureWindow(main));
    return !IsRectEmpty(&changed);
  })) << "the ring does not move";
  EXPECT_TRUE(Inside(changed, area))
      << changed.left << "," << changed.top << " to " << changed.right << "," << changed.bottom;
  PostMessageA(OptionButtons(main)[0], BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitForPage("Erstellen"));
  OpenAndCloseAboutBox();  // every frame posted before the change has been handled
  // The page repaints after the about box has gone; once it is still
  // outside the ring's area, the area stays as it is: a frame drawn there
  // would show, and a running animation never lets the area settle.
  const TScreenPicture before = SettledPicture(main, area);
  ASSERT_FALSE(before.Empty()) << "the editor page is never still";
  const RECT frames = Difference(before, SettledPicture(main));
  EXPECT_TRUE(IsRectEmpty(&frames)) << "no frames on another page: " << frames.left << "," << frames.top << " to "
                                    << frames.right << "," << frames.bottom;
}

TEST_F(MainForm, AnIncompleteSequenceStillQuits) {
  std::vector<HWND> buttons = OptionButtons(main);
  SendMessageA(buttons[1], BM_CLICK, 0, 0);
  SendMessageA(PageButton(main, "Verknüpfung"), BM_CLICK, 0, 0);
  SendMessageA(buttons[0], BM_CLICK, 0, 0);
  SendMessageA(PageButton(main, "Erstellen"), BM_CLICK, 0, 0);
  OpenAndCloseAboutBox();  // option 3 one click too early
  PostMessageA(buttons[3], BM_CLICK, 0, 0);
  EXPECT_TRUE(trv->WaitForExit(10000));
}

class DroppedFiles : public MainForm {
 protected:
  TTempFolder folder;
};

TEST_F(DroppedFiles, AProjectDroppedOnTheStartPageOpensTheEditorPage) {
  const std::string project = folder / "Mein Menü.trv";
  WriteFileBytes(project, ValidProject);
  trv->DropFiles({project});
  ASSERT_TRUE(WaitForPage("Erstellen"));
  OpenAndCloseAboutBox();
  EXPECT_EQ(trv->FindWindowOfClass("#32770"), nullptr) << "no message for a valid project";
}

TEST_F(DroppedFiles, TheDroppedProjectIsLoadedInteractively) {
  // A file with the extension but without the project header reaches the
  // loader, which says so in its message box.
  const std::string project = folder / "kaputt.TRV";
  WriteFileBytes(project, InvalidProject);
  trv->DropFiles({project});
  HWND box = trv->WaitForWindow("#32770");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(TextOf(box), "Ungültige Datei");
  EXPECT_EQ(MessageBoxText(box), "Es wurde keine gültige Datei ausgewählt.");
  EXPECT_EQ(VisiblePage(main), "Erstellen");
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
}

TEST_F(DroppedFiles, OnTheEditorPageAnUnchangedProjectIsReplacedWithoutAsking) {
  PostMessageA(OptionButtons(main)[0], BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitForPage("Erstellen"));
  const std::string project = folder / "neu.trv";
  WriteFileBytes(project, InvalidProject);
  trv->DropFiles({project});
  // No save prompt ("Warnung"): straight to the loader's message.
  HWND box = trv->WaitForWindow("#32770");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(TextOf(box), "Ungültige Datei");
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
  EXPECT_EQ(VisiblePage(main), "Erstellen");
}

TEST_F(DroppedFiles, OnTheShortcutPageAProjectDoesNotChangeThePage) {
  PostMessageA(OptionButtons(main)[1], BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitForPage("Verknüpfung"));
  const std::string project = folder / "p.trv";
  WriteFileBytes(project, InvalidProject);
  trv->DropFiles({project});
  OpenAndCloseAboutBox();
  EXPECT_EQ(VisiblePage(main), "Verknüpfung");
  EXPECT_EQ(trv->FindWindowOfClass("#32770"), nullptr) << "not loaded there";
}

TEST_F(DroppedFiles, OnlyTheFirstOfSeveralFilesCounts) {
  const std::string text = folder / "liesmich.txt", project = folder / "a.trv";
  WriteFileBytes(text, "Text");
  WriteFileBytes(project, ValidProject);
  trv->DropFiles({text, project});
  OpenAndCloseAboutBox();
  EXPECT_EQ(VisiblePage(main), "Startseite");
}

TEST_F(DroppedFiles, ALinkWhoseArgumentsStartWithAQuotedProjectOpensIt) {
  const std::string project = folder / "Projekt mit Leerzeichen.trv";
  WriteFileBytes(project, InvalidProject);
  const std::string link = folder / "Menü.lnk";
  WriteLink(link, TrvExePath(), "\"" + project + "\" weiter,mehr");
  trv->DropFiles({link});
  // The loader's message shows that the link's first argument was opened.
  HWND box = trv->WaitForWindow("#32770");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageBoxText(box), "Es wurde keine gültige Datei ausgewählt.");
  EXPECT_EQ(VisiblePage(main), "Erstellen");
  PostMessageA(box, WM_COMMAND, IDOK, 0);
}

TEST_F(DroppedFiles, AValidProjectBehindALinkOpensTheEditorPage) {
  const std::string project = folder / "p.trv";
  WriteFileBytes(project, ValidProject);
  const std::string link = folder / "p.LNK";
  WriteLink(link, TrvExePath(), "\"" + project + "\"");
  trv->DropFiles({link});
  ASSERT_TRUE(WaitForPage("Erstellen"));
}

TEST_F(DroppedFiles, AnythingElseIsIgnoredSilently) {
  const std::string text = folder / "liesmich.txt", folderTrv = folder / "ordner.trv";
  WriteFileBytes(text, ValidProject);
  CreateDirectoryA(folderTrv.c_str(), nullptr);
  const std::string linkToText = folder / "text.lnk";
  WriteLink(linkToText, TrvExePath(), "\"" + text + "\"");
  const std::string linkWithoutArguments = folder / "leer.lnk";
  WriteLink(linkWithoutArguments, TrvExePath(), "");
  for (const std::string& dropped :
       {text, folder / "fehlt.trv", folderTrv, linkToText, linkWithoutArguments}) {
    SCOPED_TRACE(dropped);
    trv->DropFiles({dropped});
    OpenAndCloseAboutBox();
    EXPECT_EQ(VisiblePage(main), "Startseite");
    EXPECT_EQ(trv->FindWindowOfClass("#32770"), nullptr);
  }
}

TEST(MainFormHelp, F1OnEveryPageAndInTheDialogOpensTheHelpPage) {
  // A copy without the page beside it says so: proof that F1 asked for it.
  TTempFolder folder;
  const std::string exe = folder / "TRV.EXE";
  ASSERT_TRUE(CopyFileA(TrvExePath().c_str(), exe.c_str(), FALSE));
  TConfigProcess trv(exe);
  HWND main = trv.MainWindow();
  ASSERT_NE(main, nullptr);
  auto pressF1 = [&](const char* where) {
    SCOPED_TRACE(where);
    trv.PostKey(VK_F1);
    HWND box = trv.WaitForWindow("#32770");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), "Die Hilfedatei \"" + folder.Path() + "TRV.HTM\" wurde nicht gefunden.");
    EXPECT_EQ(TextOf(box), "Tarvo");
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
  };
  pressF1("Startseite");
  PostMessageA(OptionButtons(main)[1], BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return VisiblePage(main) == "Verknüpfung"; }));
  ASSERT_TRUE(WaitUntil([&] { return trv.Focus() == ControlHandle(main, "ShellTreeView"); }));
  pressF1("Verknüpfung");
  SendMessageA(PageButton(main, "Verknüpfung"), BM_CLICK, 0, 0);
  PostMessageA(OptionButtons(main)[0], BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return VisiblePage(main) == "Erstellen"; }));
  pressF1("Erstellen");
  PostMessageA(ControlHandle(main, "Button_NewExecLine"), BM_CLICK, 0, 0);
  HWND dialog = trv.WaitForWindow("TForm2");
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return GetAncestor(trv.Focus(), GA_ROOT) == dialog; }));
  pressF1("Befehlszeile");
}

TEST(MainFormHelp, F1SaysSoWhenThePageCannotBeOpened) {
  // Wine opens a page with winebrowser, which ends with an error when none
  // of its browsers is there: this one names none that is.
  const char* const key = "Software\\Wine\\WineBrowser";
  HKEY browser = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &browser, nullptr),
            ERROR_SUCCESS);
  char old[1024] = "";
  DWORD oldSize = sizeof old;
  const bool hadOld = RegQueryValueExA(browser, "Browsers", nullptr, nullptr, reinterpret_cast<BYTE*>(old), &oldSize) ==
                      ERROR_SUCCESS;
  const char none[] = "tarvo-kein-browser";
  RegSetValueExA(browser, "Browsers", 0, REG_SZ, reinterpret_cast<const BYTE*>(none), sizeof none);
  struct TRestore {
    HKEY Key;
    bool Had;
    std::string Old;
    ~TRestore() {
      if (Had)
        RegSetValueExA(Key, "Browsers", 0, REG_SZ, reinterpret_cast<const BYTE*>(Old.c_str()), Old.size() + 1);
      else
        RegDeleteValueA(Key, "Browsers");
      RegCloseKey(Key);
    }
  } restore{browser, hadOld, old};
  TTempFolder folder;
  const std::string exe = folder / "TRV.EXE";
  ASSERT_TRUE(CopyFileA(TrvExePath().c_str(), exe.c_str(), FALSE));
  WriteFileBytes(folder / "TRV.HTM", "<html></html>");
  TConfigProcess trv(exe);
  ASSERT_NE(trv.MainWindow(), nullptr);
  trv.PostKey(VK_F1);
  HWND box = trv.WaitForWindow("#32770");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageBoxText(box), "Die Hilfedatei \"" + folder.Path() + "TRV.HTM\" konnte nicht geöffnet werden.");
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
}

TEST(MainFormHelp, HelpTextsAreStringResources1ToTheLast) {
  HMODULE module = LoadLibraryExA(TrvExePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  char buffer[4096];
  for (int n = IDS_FIRSTHELPTEXT; n <= IDS_LASTHELPTEXT; ++n) EXPECT_GT(LoadStringA(module, n, buffer, sizeof buffer), 0) << n;
  EXPECT_EQ(LoadStringA(module, IDS_LASTHELPTEXT + 1, buffer, sizeof buffer), 0);
  // Stored with their placeholders, in Windows-1252.
  ASSERT_GT(LoadStringA(module, 5, buffer, sizeof buffer), 0);
  EXPECT_STREQ(buffer,
               "Geben Sie hier den Text ein, der sp\xE4ter im Men\xFC ein Element darstellen soll.%nl%nlHinweis: "
               "Geben Sie %qm-%qm (ohne Anf\xFChrungszeichen) ein, um einen Trennstrich darzustellen.");
  ASSERT_GT(LoadStringA(module, 30, buffer, sizeof buffer), 0);
  EXPECT_NE(std::string(buffer).find("hei\xDF" "en soll"), std::string::npos);
  const std::string text = buffer, tail = ":%nl%bs   /   :   *   ?   %qm   <   >   |";
  ASSERT_GT(text.size(), tail.size());
  EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
  FreeLibrary(module);
}

TEST(MainFormHelp, TheHelpPageLiesBesideTheProgram) {
  const std::string page = ExeFolder() + "TRV.HTM";
  std::string html = ReadFileBytes(page);
  ASSERT_FALSE(html.empty()) << page;
  EXPECT_NE(html.find("charset=windows-1252"), std::string::npos);
  EXPECT_NE(html.find("Startseite"), std::string::npos);
  EXPECT_NE(html.find("F2"), std::string::npos);
  // Its pictures lie beside it too.
  int pictures = 0;
  for (size_t at = html.find("src=\""); at != std::string::npos; at = html.find("src=\"", at + 1), ++pictures) {
    const size_t start = at + 5;
    const std::string picture = html.substr(start, html.find('"', start) - start);
    EXPECT_NE(GetFileAttributesA((ExeFolder() + picture).c_str()), INVALID_FILE_ATTRIBUTES) << picture;
  }
  EXPECT_EQ(pictures, 8);
}

// Every run of white space made one blank.
std::string Collapsed(const std::string& text) {
  std::string collapsed;
  for (char c : text) {
    const bool blank = c == ' ' || c == '\r' || c == '\n' || c == '\t';
    if (blank && (collapsed.empty() || collapsed.back() == ' ')) continue;
    collapsed += blank ? ' ' : c;
  }
  return collapsed;
}

// The text of a page: tags removed, the three escaped characters restored.
std::string PlainText(const std::string& html) {
  std::string text;
  bool inTag = false;
  for (char c : html) {
    if (c == '<') inTag = true;
    if (!inTag) text += c;
    if (c == '>') {
      inTag = false;
      text += ' ';
    }
  }
  for (const auto& [entity, plain] : {std::pair<std::string, std::string>{"&lt;", "<"}, {"&gt;", ">"}, {"&amp;", "&"}})
    for (size_t at = text.find(entity); at != std::string::npos; at = text.find(entity, at + 1))
      text.replace(at, entity.size(), plain);
  return Collapsed(text);
}

TEST(MainFormHelp, TheHelpPageSaysWhatTheBalloonsSay) {
  const std::string page = PlainText(ReadFileBytes(ExeFolder() + "TRV.HTM"));
  HMODULE module = LoadLibraryExA(TrvExePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  char buffer[4096];
  for (int n = IDS_FIRSTHELPTEXT; n <= IDS_LASTHELPTEXT; ++n) {
    ASSERT_GT(LoadStringA(module, n, buffer, sizeof buffer), 0) << n;
    std::string text = buffer;
    for (const auto& [marker, plain] : {std::pair<std::string, std::string>{"%nl", " "}, {"%bs", "\\"}, {"%qm", "\""}})
      for (size_t at = text.find(marker); at != std::string::npos; at = text.find(marker, at + 1))
        text.replace(at, marker.size(), plain);
    EXPECT_NE(page.find(Collapsed(text)), std::string::npos) << n;
  }
  FreeLibrary(module);
}

}  // namespace

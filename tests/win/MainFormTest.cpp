// End-to-end: TRV.EXE started without arguments opens the configuration
// window; the test drives it from outside as a user's input would.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <vector>

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
    EXPECT_EQ(TextOf(balloon), OptionHelp[i]);
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
  EXPECT_EQ(trv->Focus(), buttons[0]);
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
  EXPECT_EQ(TextOf(balloon),
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
  HDC screen = GetDC(nullptr);
  for (const Sample& s : samples) {
    SCOPED_TRACE(std::to_string(s.x) + "," + std::to_string(s.y));
    COLORREF pixel = CLR_INVALID;
    EXPECT_TRUE(WaitUntil([&] { return (pixel = GetPixel(screen, origin.x + s.x, origin.y + s.y)) == s.expected; }))
        << std::hex << pixel;
  }
  // Below the header's bottom line the window's face colour begins.
  const COLORREF below = GetPixel(screen, origin.x + 408, origin.y + 49);
  EXPECT_NE(below, RGB(190, 207, 239));
  ReleaseDC(nullptr, screen);
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

TEST_F(MainForm, HiddenClickSequenceMakesOptionFourNotClose) {
  CompleteHiddenSequence();
  EXPECT_TRUE(IsWindow(main));
  EXPECT_EQ(WaitForSingleObject(trv->Process(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
  // ...once: the sequence starts over, and the next click quits.
  PostMessageA(OptionButtons(main)[3], BM_CLICK, 0, 0);
  EXPECT_TRUE(trv->WaitForExit(10000));
}

// The screen's pixels of a window, as the user sees them.
std::vector<uint32_t> Capture(HWND wnd) {
  RECT r;
  GetWindowRect(wnd, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  BITMAPINFO info = {};
  info.bmiHeader = {sizeof info.bmiHeader, w, -h, 1, 32};
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC mem = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(mem, bitmap);
  BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  GdiFlush();
  std::vector<uint32_t> pixels(static_cast<uint32_t*>(bits), static_cast<uint32_t*>(bits) + w * h);
  SelectObject(mem, old);
  DeleteDC(mem);
  DeleteObject(bitmap);
  ReleaseDC(nullptr, screen);
  return pixels;
}

// The rectangle, in the window's own coordinates, that holds every pixel in
// which two captures differ; empty when none does.
RECT Difference(HWND wnd, const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
  RECT r;
  GetWindowRect(wnd, &r);
  const int w = r.right - r.left;
  RECT changed = {INT_MAX, INT_MAX, INT_MIN, INT_MIN};
  for (size_t i = 0; i < a.size() && i < b.size(); ++i)
    if (a[i] != b[i]) {
      const int x = static_cast<int>(i % w), y = static_cast<int>(i / w);
      changed = {std::min<LONG>(changed.left, x), std::min<LONG>(changed.top, y),
                 std::max<LONG>(changed.right, x + 1), std::max<LONG>(changed.bottom, y + 1)};
    }
  return changed.left == INT_MAX ? RECT{0, 0, 0, 0} : changed;
}

TEST_F(MainForm, TheStillFrameChangesOnAClickOnly) {
  HWND area = ControlHandle(main, "DXDraw");
  ASSERT_NE(area, nullptr);
  std::vector<uint32_t> first = Capture(area);
  // Drawn whole, then still without the animation.
  EXPECT_TRUE(WaitUntil([&] {
    Sleep(200);
    std::vector<uint32_t> next = Capture(area);
    std::swap(next, first);
    return next == first;
  }));
  PostMessageA(area, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  PostMessageA(area, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
  EXPECT_TRUE(WaitUntil([&] { return Capture(area) != first; })) << "a click draws a new frame";
}

TEST_F(MainForm, TheAnimationMovesTheRingOnTheStartPageOnly) {
  CompleteHiddenSequence();
  RECT area;
  GetWindowRect(ControlHandle(main, "DXDraw"), &area);
  RECT window;
  GetWindowRect(main, &window);
  OffsetRect(&area, -window.left, -window.top);
  // Once the last click has been drawn: two screenshots 200 ms apart differ
  // inside the area and nowhere else.
  EXPECT_TRUE(WaitUntil([&] {
    const std::vector<uint32_t> first = Capture(main);
    Sleep(200);
    const RECT changed = Difference(main, first, Capture(main));
    RECT inside;
    return !IsRectEmpty(&changed) && IntersectRect(&inside, &changed, &area) && EqualRect(&inside, &changed);
  }));
  PostMessageA(OptionButtons(main)[0], BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitForPage("Erstellen"));
  OpenAndCloseAboutBox();  // every frame posted before the change has been handled
  const std::vector<uint32_t> page1 = Capture(main);
  Sleep(200);
  EXPECT_TRUE(Capture(main) == page1) << "no frames on another page";
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

TEST(MainFormHelp, HelpTextsAreStringResources1To41) {
  HMODULE module = LoadLibraryExA(TrvExePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  char buffer[4096];
  for (int n = 1; n <= 41; ++n) EXPECT_GT(LoadStringA(module, n, buffer, sizeof buffer), 0) << n;
  EXPECT_EQ(LoadStringA(module, 42, buffer, sizeof buffer), 0);
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
  EXPECT_EQ(pictures, 4);
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
  for (int n = 1; n <= 41; ++n) {
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

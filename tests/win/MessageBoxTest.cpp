// The program's message boxes under Wine: which windows they disable, and
// that a box without a visible window of ours still comes to the front.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "model/MessageBox_win.h"
#include "model/Platform.h"
#include "tests/win/WinTestSupport.h"

namespace {

const char* const WindowClass = "TarvoMessageBoxTest";

HWND MakeWindow(DWORD style, DWORD exStyle, int x, int size) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = WindowClass;
  RegisterClassA(&wc);  // fails harmlessly when already registered
  return CreateWindowExA(exStyle, WindowClass, "Fenster", style, x, 100, size, size, nullptr, nullptr, wc.hInstance,
                         nullptr);
}

// What a helper thread saw of the box, once it was up, before it pressed OK.
struct TSeen {
  HWND Box = nullptr;
  HWND Owner = nullptr;
  bool Foreground = false;
  bool Topmost = false;
  std::vector<bool> Enabled;  // of the watched windows
};

// Shows a box through the platform's message boxes while a helper thread
// watches the given windows and then answers OK.
TSeen ShowWatched(const std::vector<HWND>& watched, const std::function<bool(const TSeen&)>& settled) {
  const std::string caption = "Nachricht " + std::to_string(GetCurrentProcessId());
  TSeen seen;
  std::thread helper([&] {
    HWND box = WaitForWindow(GetCurrentProcessId(), "#32770", caption.c_str(), 10000);
    if (!box) return;
    // The box disables and activates as it comes up: bounded retries, until
    // the state asked for shows or the time is up.
    for (int i = 0; i < 100; ++i) {
      seen.Box = box;
      seen.Owner = GetWindow(box, GW_OWNER);
      seen.Foreground = GetForegroundWindow() == box;
      seen.Topmost = (GetWindowLongA(box, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
      seen.Enabled.clear();
      for (HWND w : watched) seen.Enabled.push_back(IsWindowEnabled(w) != FALSE);
      if (settled(seen)) break;
      Sleep(20);
    }
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  });
  int answer = Platform.MessageBoxes->Show("Text", caption, mbOK | mbIconInformation);
  helper.join();
  EXPECT_EQ(answer, idOK);
  return seen;
}

class MessageBoxes : public ::testing::Test {
 protected:
  void SetUp() override { UseNativePlatform(); }
  void TearDown() override {
    SetMessageBoxFallbackOwner(nullptr);
    for (HWND w : windows) DestroyWindow(w);
  }
  std::vector<HWND> windows;
};

TEST_F(MessageBoxes, DisableEveryVisibleWindowOfTheProgramWhileTheyShow) {
  // The configuration window and an open dialog, say.
  HWND main = MakeWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 100, 300);
  HWND dialog = MakeWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 500, 200);
  windows = {main, dialog};
  SetForegroundWindow(dialog);
  SetActiveWindow(dialog);
  ASSERT_EQ(GetActiveWindow(), dialog);

  TSeen seen = ShowWatched(windows, [](const TSeen& s) { return !s.Enabled[0] && !s.Enabled[1]; });
  ASSERT_TRUE(seen.Box) << "no box";
  EXPECT_EQ(seen.Owner, dialog);
  EXPECT_EQ(seen.Enabled, (std::vector<bool>{false, false}));
  // Afterwards every window takes input again, and the owner has the focus.
  EXPECT_TRUE(IsWindowEnabled(main));
  EXPECT_TRUE(IsWindowEnabled(dialog));
  EXPECT_EQ(GetActiveWindow(), dialog);
}

TEST_F(MessageBoxes, WithoutAVisibleWindowComeToTheFrontOnTop) {
  // Popup mode: the program has its hidden, zero-sized tool window, and at
  // most its menu on screen, a tool window too, which owns no box.
  HWND application = MakeWindow(WS_POPUP, WS_EX_TOOLWINDOW, 0, 0);
  HWND menu = MakeWindow(WS_POPUP, WS_EX_TOOLWINDOW | WS_EX_TOPMOST, 100, 150);
  windows = {application, menu};
  ShowWindow(menu, SW_SHOWNA);
  SetMessageBoxFallbackOwner(application);

  TSeen seen = ShowWatched({menu}, [](const TSeen& s) { return s.Foreground && s.Topmost && !s.Enabled[0]; });
  ASSERT_TRUE(seen.Box) << "no box";
  EXPECT_EQ(seen.Owner, application);
  EXPECT_TRUE(seen.Foreground);
  EXPECT_TRUE(seen.Topmost);
  EXPECT_EQ(seen.Enabled, std::vector<bool>{false});
  EXPECT_TRUE(IsWindowEnabled(menu));
}

}  // namespace

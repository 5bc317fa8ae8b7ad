// The yardstick for the popup's show time: the smallest program that shows a
// text-only popup menu the way TRV.EXE shows its own, at the mouse cursor and
// owned by an invisible tool window in the foreground, so that Esc or a click
// elsewhere closes it. The number of entries is the first argument (30 when
// there is none); the program ends when the menu closes.
#include <windows.h>

#include <cstdlib>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int) {
  int count = std::atoi(arguments);
  if (count <= 0) count = 30;
  HMENU menu = CreatePopupMenu();
  char caption[32];
  for (int i = 1; i <= count; ++i) {
    wsprintfA(caption, "Eintrag %d", i);
    AppendMenuA(menu, MF_STRING, static_cast<UINT_PTR>(i), caption);
  }
  WNDCLASSA wc = {};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = instance;
  wc.lpszClassName = "MinimalPopupOwner";
  RegisterClassA(&wc);
  POINT at = {};
  GetCursorPos(&at);
  HWND owner = CreateWindowExA(WS_EX_TOOLWINDOW, wc.lpszClassName, "", WS_POPUP, at.x, at.y, 0, 0, nullptr, nullptr,
                               instance, nullptr);
  SetForegroundWindow(owner);
  TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, owner, nullptr);
  DestroyMenu(menu);
  DestroyWindow(owner);
  return 0;
}

#include "config/ConfigurationMode.h"

#include <windows.h>

#include "framework/Application.h"

static LRESULT CALLBACK BareWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(wnd, msg, wParam, lParam);
}

// Until the configuration window exists: an empty top-level window with its
// caption, so that the mode is visible and can be closed.
void RunConfigurationMode() {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA wc = {};
  wc.lpfnWndProc = BareWindowProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(1));
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = "TForm1";
  RegisterClassA(&wc);
  RECT r = {0, 0, 817, 429};
  DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  AdjustWindowRect(&r, style, FALSE);
  Application.MainWindow = CreateWindowExA(0, "TForm1", "Tarvo - Konfiguration", style, CW_USEDEFAULT, CW_USEDEFAULT,
                                           r.right - r.left, r.bottom - r.top, nullptr, nullptr, instance, nullptr);
  ShowWindow(Application.MainWindow, SW_SHOWNORMAL);
  Application.Run();
}

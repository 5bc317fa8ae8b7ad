// The yardstick for the configuration window's start: the smallest Windows
// program that shows one window like it (same styles, caption and client
// size, centred), built the same way as TRV.EXE. It ends when the window is
// closed. Built a second time with TRV.EXE's manifest and one common
// control, it shows what the Common Controls 6 alone cost. With the argument
// "suche" it is the yardstick of the search field instead: a small topmost
// tool window at the cursor with a field and a list, which Esc closes.
#include <windows.h>
#ifdef MINIMAL_COMMON_CONTROLS
#include <commctrl.h>
#endif

namespace {

WNDPROC FieldProc = nullptr;

LRESULT CALLBACK SearchFieldProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_KEYDOWN && wParam == VK_ESCAPE) {
    DestroyWindow(GetParent(wnd));
    return 0;
  }
  return CallWindowProcA(FieldProc, wnd, msg, wParam, lParam);
}

LRESULT CALLBACK WindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(wnd, msg, wParam, lParam);
}

// Like the configuration window: its styles, caption and client size, centred.
void ShowConfigurationLike(HINSTANCE instance, int show) {
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  RECT r = {0, 0, 817, 429};
  AdjustWindowRect(&r, style, FALSE);
  const int w = r.right - r.left, h = r.bottom - r.top;
  HWND wnd = CreateWindowExA(0, "MinimalWindow", "Tarvo - Konfiguration", style,
                             (GetSystemMetrics(SM_CXSCREEN) - w) / 2, (GetSystemMetrics(SM_CYSCREEN) - h) / 2, w, h,
                             nullptr, nullptr, instance, nullptr);
#ifdef MINIMAL_COMMON_CONTROLS
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&icc);
  CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 8, 72, 73, 65, wnd, nullptr, instance, nullptr);
#endif
  ShowWindow(wnd, show);
  UpdateWindow(wnd);
}

// Like the search: a field and a list in a topmost tool window at the cursor.
void ShowSearchLike(HINSTANCE instance) {
  POINT at = {};
  GetCursorPos(&at);
  HWND wnd = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, "MinimalWindow", "TRV", WS_POPUP | WS_BORDER, at.x,
                             at.y, 240, 305, nullptr, nullptr, instance, nullptr);
  HWND field = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 4, 4, 230, 21, wnd,
                               nullptr, instance, nullptr);
  CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 4, 29, 230,
                  270, wnd, nullptr, instance, nullptr);
  FieldProc =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrA(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SearchFieldProc)));
  ShowWindow(wnd, SW_SHOW);
  SetForegroundWindow(wnd);
  SetFocus(field);
  UpdateWindow(wnd);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = "MinimalWindow";
  RegisterClassA(&wc);
  if (lstrcmpiA(commandLine, "suche") == 0)
    ShowSearchLike(instance);
  else
    ShowConfigurationLike(instance, show);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}

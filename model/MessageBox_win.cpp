#include "model/MessageBox_win.h"

#include <cwchar>
#include <vector>

#include "model/Wide_win.h"

namespace {

HWND FallbackOwner = nullptr;

BOOL CALLBACK CollectUsable(HWND window, LPARAM list) {
  if (IsWindowVisible(window) && IsWindowEnabled(window)) reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

// The top-level windows of this thread that take input now, topmost first.
std::vector<HWND> UsableWindows() {
  std::vector<HWND> windows;
  EnumThreadWindows(GetCurrentThreadId(), CollectUsable, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

// Menus, tooltips and the hidden application window are tool windows: no
// box is shown over them.
bool CanOwn(HWND window) {
  return window && IsWindowVisible(window) && !(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
}

HWND OwnerAmong(const std::vector<HWND>& usable) {
  HWND active = GetActiveWindow();
  if (CanOwn(active)) return active;
  // When another program is in front this thread has no active window; the
  // box still belongs over our own windows, not beside them.
  for (HWND window : usable) {
    if (CanOwn(window)) return window;
  }
  return FallbackOwner;
}

// Wine ignores MB_TOPMOST: the box of a hidden owner is put on top by this
// hook when it is activated (on Windows that only repeats what the flag did).
HWND RaisedBoxOwner = nullptr;

LRESULT CALLBACK RaiseBox(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE) {
    HWND window = reinterpret_cast<HWND>(wParam);
    wchar_t name[16] = L"";
    if (GetClassNameW(window, name, 16) && std::wcscmp(name, L"#32770") == 0 &&
        GetWindow(window, GW_OWNER) == RaisedBoxOwner)
      SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

void SetMessageBoxFallbackOwner(HWND window) { FallbackOwner = window; }

HWND MessageBoxOwner() { return OwnerAmong(UsableWindows()); }

int ShowMessageBoxA(const std::string& text, const std::string& caption, UINT flags) {
  return ShowMessageBoxW(WidenText(text), WidenText(caption), flags);
}

int ShowMessageBoxW(const std::u16string& text, const std::u16string& caption, UINT flags) {
  const std::vector<HWND> usable = UsableWindows();
  const HWND owner = OwnerAmong(usable);
  // The box disables its owner itself and enables it again before it closes,
  // so that activation returns there; the others follow after it.
  std::vector<HWND> disabled;
  for (HWND window : usable) {
    if (window != owner && !EnableWindow(window, FALSE)) disabled.push_back(window);
  }
  flags |= MB_SETFOREGROUND;
  // A hidden owner: popup mode, nothing of ours on screen but perhaps the
  // menu, and a launcher started by a hotkey may have lost the right to the
  // foreground while a started program ran. The box must not stay hidden
  // behind other programs.
  HHOOK hook = nullptr;
  const HWND previousRaised = RaisedBoxOwner;
  if (!CanOwn(owner)) {
    flags |= MB_TOPMOST;
    RaisedBoxOwner = owner;
    hook = SetWindowsHookExW(WH_CBT, RaiseBox, nullptr, GetCurrentThreadId());
  }
  const int answer = MessageBoxW(owner, W(text).c_str(), W(caption).c_str(), flags);
  if (hook) UnhookWindowsHookEx(hook);
  RaisedBoxOwner = previousRaised;
  for (HWND window : disabled) {
    if (IsWindow(window)) EnableWindow(window, TRUE);
  }
  return answer;
}

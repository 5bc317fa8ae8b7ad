#include "model/MessageBox_win.h"

#include <cwchar>
#include <vector>

#include "model/Wide_win.h"

namespace {

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

// Wine ignores MB_TOPMOST: a box whose owner cannot own one (the hidden
// application window, or none) is put on top by this hook when it is
// activated (on Windows that only repeats what the flag did). The box itself
// tells whether it is one: a box over a window of ours stays where it is.
LRESULT CALLBACK RaiseBox(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE) {
    HWND window = reinterpret_cast<HWND>(wParam);
    wchar_t name[16] = L"";
    if (GetClassNameW(window, name, 16) && std::wcscmp(name, L"#32770") == 0 && !CanOwn(GetWindow(window, GW_OWNER)))
      SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

HWND TWinMessageBoxes::OwnerAmong(const std::vector<HWND>& usable) const {
  HWND active = GetActiveWindow();
  if (CanOwn(active)) return active;
  // When another program is in front this thread has no active window; the
  // box still belongs over our own windows, not beside them.
  for (HWND window : usable) {
    if (CanOwn(window)) return window;
  }
  return fallbackOwner_;
}

HWND TWinMessageBoxes::Owner() const { return OwnerAmong(UsableWindows()); }

int TWinMessageBoxes::Show(const std::string& text, const std::string& caption, unsigned flags) {
  return ShowWide(WidenText(text), WidenText(caption), flags);
}

int TWinMessageBoxes::ShowWide(const std::u16string& text, const std::u16string& caption, UINT flags) const {
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
  if (!CanOwn(owner)) {
    flags |= MB_TOPMOST;
    hook = SetWindowsHookExW(WH_CBT, RaiseBox, nullptr, GetCurrentThreadId());
  }
  const int answer = MessageBoxW(owner, W(text).c_str(), W(caption).c_str(), flags);
  if (hook) UnhookWindowsHookEx(hook);
  for (HWND window : disabled) {
    if (IsWindow(window)) EnableWindow(window, TRUE);
  }
  return answer;
}

TWinMessageBoxes& NativeMessageBoxes() {
  static TWinMessageBoxes boxes;
  return boxes;
}

void SetMessageBoxFallbackOwner(HWND window) { NativeMessageBoxes().SetFallbackOwner(window); }

HWND MessageBoxOwner() { return NativeMessageBoxes().Owner(); }

int ShowMessageBoxA(const std::string& text, const std::string& caption, UINT flags) {
  return NativeMessageBoxes().ShowWide(WidenText(text), WidenText(caption), flags);
}

int ShowMessageBoxW(const std::u16string& text, const std::u16string& caption, UINT flags) {
  return NativeMessageBoxes().ShowWide(text, caption, flags);
}

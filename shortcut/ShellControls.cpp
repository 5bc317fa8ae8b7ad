#include "shortcut/ShellControls.h"

namespace {

// The row decides whether the control shows at first.
HWND ShowAsRowSays(HWND wnd, DWORD style) {
  if (wnd && !(style & WS_VISIBLE)) ShowWindow(wnd, SW_HIDE);
  return wnd;
}
}  // namespace

HWND TShellTreeViewControl::CreateHandle(HWND parent, int id, const RECT& rect, DWORD style, DWORD, const char*) {
  Tree.Create(parent, id, rect);
  return ShowAsRowSays(Tree.Handle(), style);
}

HWND TShellListViewControl::CreateHandle(HWND parent, int id, const RECT& rect, DWORD style, DWORD, const char*) {
  List.Create(parent, id, rect);
  return ShowAsRowSays(List.Handle(), style);
}

// The shell's folder tree and folder list as kinds of the window framework's
// control tables (Kind<TShellTreeViewControl>, Kind<TShellListViewControl>):
// with a name and a Tag like every control, so that context help and the
// focus events reach them.
#pragma once

#include "framework/Controls.h"
#include "shortcut/ShellList.h"
#include "shortcut/ShellTree.h"

class TShellTreeViewControl : public TControl {
 public:
  TShellTreeView Tree;
  const char* WindowClass() const override { return WC_TREEVIEWA; }
  HWND CreateHandle(HWND parent, int id, const RECT& rect, DWORD style, DWORD exStyle, const char* caption) override;
};

class TShellListViewControl : public TControl {
 public:
  TShellListView List;
  const char* WindowClass() const override { return WC_LISTVIEWA; }
  HWND CreateHandle(HWND parent, int id, const RECT& rect, DWORD style, DWORD exStyle, const char* caption) override;
};

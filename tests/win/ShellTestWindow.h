// A real top-level window holding a shell tree and a shell list, as the
// shortcut page arranges them, recording the tree's expansions and selection
// changes as its parent window procedure sees them.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "shortcut/ShellList.h"
#include "shortcut/ShellTree.h"

class TShellTestWindow {
 public:
  TShellTestWindow() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "TarvoShellTestWindow";
    RegisterClassA(&wc);
    handle_ = CreateWindowExA(0, wc.lpszClassName, "Verknüpfung - Ordnerbaum", WS_OVERLAPPEDWINDOW, 20, 20, 860, 560,
                              nullptr, nullptr, wc.hInstance, this);
    SetWindowLongPtrA(handle_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    Tree.Create(handle_, 101, RECT{8, 8, 420, 510});
    List.Create(handle_, 102, RECT{428, 8, 840, 510});
    Tree.ShellListView = &List;
    // What the shortcut page shows: folders and link files.
    List.OnAddFolder = [this](const TShellListItem& item) {
      Asked.push_back(item);
      const std::string& name = item.PathName;
      return item.IsFolder || (name.size() >= 4 && CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE,
                                                                  name.c_str() + name.size() - 4, 4, ".LNK", 4) ==
                                                       CSTR_EQUAL);
    };
    ShowWindow(handle_, SW_SHOW);
    UpdateWindow(handle_);
    Pump();
  }

  ~TShellTestWindow() { DestroyWindow(handle_); }

  HWND Handle() const { return handle_; }

  // Handles every message waiting for this thread.
  void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }

  // Keeps the window on screen for a while (to look at it), handling messages.
  void Hold(DWORD milliseconds) {
    DWORD end = GetTickCount() + milliseconds;
    while (static_cast<LONG>(end - GetTickCount()) > 0) {
      Pump();
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
  }

  std::vector<std::string> ListNames() const {
    std::vector<std::string> names;
    for (int i = 0; i < List.Count(); ++i) names.push_back(List.Item(i).Name);
    return names;
  }

  // Nodes whose children are shown now, anywhere in the tree.
  std::set<HTREEITEM> ExpandedNodes() const {
    std::set<HTREEITEM> result;
    for (HTREEITEM node = Tree.Root(); node; node = Tree.NextNode(node))
      if (Tree.IsExpanded(node)) result.insert(node);
    return result;
  }

  TShellTreeView Tree;
  TShellListView List;
  // The tree's notifications as the parent saw them.
  std::map<HTREEITEM, int> Expansions;
  int SelectionChanges = 0;
  std::vector<TShellListItem> Asked;

 private:
  static LRESULT CALLBACK WindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TShellTestWindow*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
    if (msg == WM_NOTIFY && self) {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (header->hwndFrom == self->Tree.Handle()) {
        auto* info = reinterpret_cast<NMTREEVIEWA*>(lParam);
        if ((header->code == TVN_ITEMEXPANDEDA || header->code == TVN_ITEMEXPANDEDW) && (info->action & TVE_EXPAND))
          ++self->Expansions[info->itemNew.hItem];
        if (header->code == TVN_SELCHANGEDA || header->code == TVN_SELCHANGEDW) ++self->SelectionChanges;
      }
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
  }

  HWND handle_ = nullptr;
};

// Gives each test its own COM apartment on the test thread.
class TComApartment {
 public:
  TComApartment() { CoInitialize(nullptr); }
  ~TComApartment() { CoUninitialize(); }
};

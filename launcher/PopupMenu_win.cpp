#include "launcher/PopupMenu_win.h"

#include <windows.h>

#include <map>
#include <vector>

#include "framework/Application.h"
#include "launcher/PopupMenu.h"

namespace {

const char* const OwnerClass = "TarvoPopupOwner";

// The popup being shown: its items and which submenu belongs to which item.
struct TShownPopup {
  const TProject* Project;
  TPopupMenuModel Model;
  std::map<HMENU, int> SubmenuOwner;
};
TShownPopup* Shown = nullptr;

void RunClick(const TProject& project, int32_t tag) {
  Application.Guard([&project, tag] { MenuItemClick(project, tag); });
}

LRESULT CALLBACK OwnerWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_INITMENUPOPUP: {
      // Opening a submenu clicks the item that owns it; the top level has
      // no owner item.
      if (!Shown || HIWORD(lParam)) break;
      auto it = Shown->SubmenuOwner.find(reinterpret_cast<HMENU>(wParam));
      if (it != Shown->SubmenuOwner.end()) RunClick(*Shown->Project, Shown->Model.Items[static_cast<size_t>(it->second)].Tag);
      return 0;
    }
    case WM_COMMAND: {
      if (!Shown || HIWORD(wParam) != 0) break;
      size_t index = LOWORD(wParam);
      if (index == 0 || index >= Shown->Model.Items.size()) return 0;
      RunClick(*Shown->Project, Shown->Model.Items[index].Tag);
      return 0;
    }
  }
  return DefWindowProcA(wnd, msg, wParam, lParam);
}

HWND CreateOwnerWindow(POINT at) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA wc = {};
  wc.lpfnWndProc = OwnerWindowProc;
  wc.hInstance = instance;
  wc.lpszClassName = OwnerClass;
  RegisterClassA(&wc);
  // Never visible; it takes the foreground so that the menu closes when the
  // user clicks elsewhere or presses Esc.
  return CreateWindowExA(WS_EX_TOOLWINDOW, OwnerClass, Application.Title.c_str(), WS_POPUP, at.x, at.y, 0, 0,
                         Application.Handle, nullptr, instance, nullptr);
}

// Creates the Win32 menus, all of them first, then fills them, so that
// menus of any depth are built without recursion.
HMENU CreateMenus(TShownPopup& popup) {
  const std::vector<TPopupItem>& items = popup.Model.Items;
  std::vector<HMENU> menus(items.size(), nullptr);
  menus[0] = CreatePopupMenu();
  for (size_t i = 1; i < items.size(); ++i) {
    if (items[i].Children.empty() || items[i].IsLine()) continue;
    menus[i] = CreatePopupMenu();
    popup.SubmenuOwner[menus[i]] = static_cast<int>(i);
  }
  for (size_t i = 0; i < items.size(); ++i) {
    if (!menus[i]) continue;
    for (int child : items[i].Children) {
      const TPopupItem& item = items[static_cast<size_t>(child)];
      if (item.IsLine()) {
        AppendMenuA(menus[i], MF_SEPARATOR, 0, nullptr);
      } else if (menus[static_cast<size_t>(child)]) {
        AppendMenuA(menus[i], MF_STRING | MF_POPUP, reinterpret_cast<UINT_PTR>(menus[static_cast<size_t>(child)]),
                    item.Caption.c_str());
      } else {
        // Command numbers are the items' indexes; past the 16 bits that
        // WM_COMMAND carries an item can only be shown, never run.
        UINT_PTR id = child <= 0xFFFF ? static_cast<UINT_PTR>(child) : 0;
        AppendMenuA(menus[i], MF_STRING, id, item.Caption.c_str());
      }
    }
  }
  return menus[0];
}

}  // namespace

void ShowPopupMenu(const TProject& project) {
  Application.Initialize();
  TShownPopup popup;
  popup.Project = &project;
  popup.Model = BuildPopupMenu(project.MenuItems());
  TidyPopupMenu(popup.Model);
  HMENU menu = CreateMenus(popup);

  POINT at = {};
  GetCursorPos(&at);
  HWND owner = CreateOwnerWindow(at);
  Shown = &popup;
  SetForegroundWindow(owner);
  TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, owner, nullptr);
  // Lets the menu's own loop end properly when the owner lost the
  // foreground while it tracked.
  PostMessageA(owner, WM_NULL, 0, 0);
  // The chosen item arrives as a posted WM_COMMAND: its group runs now,
  // after the menu has disappeared.
  Application.ProcessMessages();
  Shown = nullptr;
  DestroyMenu(menu);
  DestroyWindow(owner);
}

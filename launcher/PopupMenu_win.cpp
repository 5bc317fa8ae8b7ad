#include "launcher/PopupMenu_win.h"

#include <windows.h>

#include <map>
#include <memory>
#include <set>
#include <vector>

#include "framework/Application.h"
#include "launcher/Interpreter.h"
#include "launcher/MenuIcons_win.h"
#include "launcher/MostUsed_win.h"
#include "launcher/PopupMenu.h"
#include "launcher/SearchWindow_win.h"
#include "model/Wide_win.h"

namespace {

const wchar_t* const OwnerClass = L"TarvoPopupOwner";
const UINT WM_ICONFOUND = WM_APP + 1;

// How many items of one menu have their icons looked up in the cache before
// the menu shows: more than a screen holds; the rest come from the worker.
const int QuickIcons = 64;

// The icons of a shown popup: each menu's items get theirs when the menu
// first opens, from the cache at once or from the worker later.
class TPopupIcons {
 public:
  TPopupIcons(const TProject& project, ILauncherHost& host, HWND owner)
      : project_(project), host_(host), loader_(owner, WM_ICONFOUND) {}
  ~TPopupIcons() {
    for (const auto& bitmap : bitmaps_)
      if (bitmap.second) DeleteObject(bitmap.second);
    if (placeholder_) DeleteObject(placeholder_);
  }
  void Fill(HMENU menu, const std::vector<TPopupItem>& items, const std::vector<int>& children);
  // The worker's results that came since the last call.
  void Arrived() {
    for (const TIconResult& result : loader_.TakeResults()) Found(result);
  }
  void Start() { loader_.Start(); }

 private:
  // keepRoom: no icon yet, but room for the one to come.
  void SetBitmap(HMENU menu, UINT position, HBITMAP bitmap, bool keepRoom = false);
  void Found(const TIconResult& result);
  const TProject& project_;
  ILauncherHost& host_;
  TIconLoader loader_;
  std::set<HMENU> filled_;
  std::map<int32_t, std::string> targets_;  // by group
  std::map<std::string, HBITMAP> bitmaps_;  // by target; null: none
  std::map<std::string, std::vector<std::pair<HMENU, UINT>>> waiting_;
  // Menus whose every text item keeps an icon's room, with or without one.
  std::set<HMENU> roomy_;
  HBITMAP placeholder_ = nullptr;
};

void TPopupIcons::SetBitmap(HMENU menu, UINT position, HBITMAP bitmap, bool keepRoom) {
  MENUITEMINFOW info = {};
  info.cbSize = sizeof info;
  info.fMask = MIIM_BITMAP | MIIM_DATA;
  if (MenusBlendBitmaps()) {
    if (!bitmap && keepRoom) {
      if (!placeholder_) placeholder_ = MenuBitmap(TIconPixels::Transparent(SmallIconSize()));
      bitmap = placeholder_;
    }
    info.hbmpItem = bitmap;
  } else {
    // Where menus copy bitmaps without their alpha, the owner draws them.
    info.hbmpItem = bitmap || keepRoom ? HBMMENU_CALLBACK : nullptr;
  }
  info.dwItemData = reinterpret_cast<ULONG_PTR>(bitmap);
  SetMenuItemInfoW(menu, position, TRUE, &info);
}

void TPopupIcons::Fill(HMENU menu, const std::vector<TPopupItem>& items, const std::vector<int>& children) {
  if (!filled_.insert(menu).second) return;
  int quick = 0;
  bool icons = false;
  std::vector<UINT> bare;
  for (UINT position = 0; position < children.size(); ++position) {
    const TPopupItem& item = items[static_cast<size_t>(children[position])];
    if (item.IsLine()) continue;
    if (!item.Children.empty() || item.Tag <= 0) {
      bare.push_back(position);
      continue;
    }
    auto target = targets_.find(item.Tag);
    if (target == targets_.end()) target = targets_.emplace(item.Tag, GroupIconTarget(host_, project_, item.Tag)).first;
    const std::string& path = target->second;
    if (path.empty()) {
      bare.push_back(position);
      continue;
    }
    auto known = bitmaps_.find(path);
    if (known == bitmaps_.end() && quick++ < QuickIcons) {
      TIconPixels icon;
      switch (loader_.Quick(path, icon)) {
        case TIconStore::iaIcon:
          known = bitmaps_.emplace(path, MenuBitmap(icon)).first;
          break;
        case TIconStore::iaNone:
          known = bitmaps_.emplace(path, nullptr).first;
          break;
        case TIconStore::iaLater:
          break;
      }
    }
    if (known != bitmaps_.end()) {
      if (known->second) {
        SetBitmap(menu, position, known->second);
        icons = true;
      } else {
        bare.push_back(position);
      }
      continue;
    }
    // Keeps the icon's room, so that the menu need not change its size when
    // the icon comes.
    SetBitmap(menu, position, nullptr, true);
    icons = true;
    waiting_[path].push_back({menu, position});
    loader_.Request(path);
  }
  // Wine starts every text of a menu after its widest icon but counts that
  // room only in the widths of the items that have one: the longest text
  // without an icon would be cut. So every item gets the room.
  if (!icons) return;
  roomy_.insert(menu);
  for (UINT position : bare) SetBitmap(menu, position, nullptr, true);
}

void TPopupIcons::Found(const TIconResult& result) {
  HBITMAP& bitmap = bitmaps_[result.Path];
  if (!bitmap && result.Found) bitmap = MenuBitmap(result.Icon);
  auto waiting = waiting_.find(result.Path);
  if (waiting == waiting_.end()) return;
  for (const auto& item : waiting->second) SetBitmap(item.first, item.second, bitmap, roomy_.count(item.first) > 0);
  waiting_.erase(waiting);
  RepaintMenus();
}

// The popup being shown: its items and which submenu belongs to which item.
// Its owner window holds it (GWLP_USERDATA) while it is on the screen and its
// choice runs.
struct TShownPopup {
  const TProject* Project;
  ILauncherHost* Host;
  TPopupMenuModel Model;
  std::map<HMENU, int> SubmenuOwner;
  std::unique_ptr<TPopupIcons> Icons;
  std::unique_ptr<TMostUsed> MostUsed;
  bool SearchKey = false;
  bool SearchChosen = false;
};

void RunClick(const TShownPopup& popup, int32_t tag) {
  Application.Guard([&popup, tag] { MenuItemClick(*popup.Host, *popup.Project, tag); });
}

LRESULT CALLBACK OwnerWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  TShownPopup* const popup = reinterpret_cast<TShownPopup*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
  switch (msg) {
    case WM_INITMENUPOPUP: {
      // Opening a submenu clicks the item that owns it; the top level has
      // no owner item.
      if (!popup || HIWORD(lParam)) break;
      auto it = popup->SubmenuOwner.find(reinterpret_cast<HMENU>(wParam));
      if (it == popup->SubmenuOwner.end()) return 0;
      const TPopupItem& owner = popup->Model.Items[static_cast<size_t>(it->second)];
      if (popup->Icons) popup->Icons->Fill(it->first, popup->Model.Items, owner.Children);
      RunClick(*popup, owner.Tag);
      return 0;
    }
    case WM_MEASUREITEM: {
      auto& item = *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      if (item.CtlType != ODT_MENU) break;
      // A little room between the icon and the text, which follows at once.
      const int size = SmallIconSize();
      item.itemWidth = static_cast<UINT>(size + size / 4);
      item.itemHeight = static_cast<UINT>(size);
      return TRUE;
    }
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item.CtlType != ODT_MENU) break;
      DrawMenuBitmap(item.hDC, item.rcItem, reinterpret_cast<HBITMAP>(item.itemData));
      return TRUE;
    }
    case WM_ENTERIDLE:
      // The menu is on the screen: now the icons it still lacks are looked up.
      if (popup && popup->Icons) popup->Icons->Start();
      break;
    case WM_ICONFOUND:
      // Carries nothing, whoever posted it: the results are the loader's.
      if (popup && popup->Icons) popup->Icons->Arrived();
      return 0;
    case WM_MENUCHAR:
      // Comes only for a key no access key of the open menu takes.
      if (!popup || !popup->SearchKey || LOWORD(wParam) != PopupSearchKey) break;
      popup->SearchChosen = true;
      return MAKELRESULT(0, MNC_CLOSE);
    case WM_COMMAND: {
      if (!popup || HIWORD(wParam) != 0) break;
      size_t index = LOWORD(wParam);
      if (index == 0 || index >= popup->Model.Items.size()) return 0;
      // Counted first: a group that ends the program still counts.
      if (popup->MostUsed) popup->MostUsed->Chosen(static_cast<int>(index));
      RunClick(*popup, popup->Model.Items[index].Tag);
      return 0;
    }
  }
  return DefWindowProcW(wnd, msg, wParam, lParam);
}

HWND CreateOwnerWindow(POINT at) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW wc = {};
  wc.lpfnWndProc = OwnerWindowProc;
  wc.hInstance = instance;
  wc.lpszClassName = OwnerClass;
  RegisterClassW(&wc);
  // Never visible; it takes the foreground so that the menu closes when the
  // user clicks elsewhere or presses Esc.
  return CreateWindowExW(WS_EX_TOOLWINDOW, OwnerClass, W(Application.Title).c_str(), WS_POPUP, at.x, at.y, 0, 0,
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
        AppendMenuW(menus[i], MF_SEPARATOR, 0, nullptr);
      } else if (menus[static_cast<size_t>(child)]) {
        AppendMenuW(menus[i], MF_STRING | MF_POPUP, reinterpret_cast<UINT_PTR>(menus[static_cast<size_t>(child)]),
                    W(item.Caption).c_str());
      } else {
        // Command numbers are the items' indexes; past the 16 bits that
        // WM_COMMAND carries an item can only be shown, never run.
        UINT_PTR id = child <= 0xFFFF ? static_cast<UINT_PTR>(child) : 0;
        AppendMenuW(menus[i], MF_STRING, id, W(item.Caption).c_str());
      }
    }
  }
  return menus[0];
}

// The menus as they first show, with the icons the cache has; icons are a
// help, never a reason for the menu to fail.
HMENU PrepareMenus(TShownPopup& popup, const TProject& project, ILauncherHost& host, HWND owner, bool icons) {
  popup.Project = &project;
  popup.Host = &host;
  popup.Model = BuildPopupMenu(project.MenuItems());
  popup.MostUsed = std::make_unique<TMostUsed>(project);
  popup.MostUsed->Prepend(popup.Model);
  TidyPopupMenu(popup.Model);
  HMENU menu = CreateMenus(popup);
  if (icons) {
    try {
      popup.Icons = std::make_unique<TPopupIcons>(project, host, owner);
      popup.Icons->Fill(menu, popup.Model.Items, popup.Model.Items[0].Children);
    } catch (const std::exception&) {
      popup.Icons.reset();
    }
  }
  return menu;
}

}  // namespace

void ShowPopupMenu(const TProject& project, ILauncherHost& host, bool searchKey) {
  Application.Initialize();
  POINT at = {};
  GetCursorPos(&at);
  HWND owner = CreateOwnerWindow(at);
  TShownPopup popup;
  HMENU menu = PrepareMenus(popup, project, host, owner, MenuIconsWanted());
  popup.SearchKey = searchKey;
  SetWindowLongPtrW(owner, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&popup));
  SetForegroundWindow(owner);
  TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, owner, nullptr);
  // Lets the menu's own loop end properly when the owner lost the
  // foreground while it tracked.
  PostMessageW(owner, WM_NULL, 0, 0);
  // The chosen item arrives as a posted WM_COMMAND: its group runs now,
  // after the menu has disappeared.
  if (popup.Icons) popup.Icons->Start();
  Application.ProcessMessages();
  SetWindowLongPtrW(owner, GWLP_USERDATA, 0);
  DestroyMenu(menu);
  DestroyWindow(owner);
  // The worker finishes its lookups for the next start before the icons'
  // bitmaps go.
  popup.Icons.reset();
  if (popup.SearchChosen) ShowSearchWindow(project, host, at);
}

double BuildPopupMenus(const TProject& project, ILauncherHost& host, bool icons) {
  HWND owner = CreateOwnerWindow({0, 0});
  TShownPopup popup;
  LARGE_INTEGER start, end, frequency;
  QueryPerformanceCounter(&start);
  HMENU menu = PrepareMenus(popup, project, host, owner, icons);
  QueryPerformanceCounter(&end);
  QueryPerformanceFrequency(&frequency);
  DestroyMenu(menu);
  DestroyWindow(owner);
  popup.Icons.reset();
  return double(end.QuadPart - start.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

#include "launcher/PopupMenu_win.h"

#include <windows.h>

#include <map>
#include <memory>
#include <set>
#include <vector>

#include "framework/Application.h"
#include "launcher/Interpreter.h"
#include "launcher/LiveFolder.h"
#include "launcher/MenuIcons_win.h"
#include "launcher/MostUsed_win.h"
#include "launcher/PopupMenu.h"
#include "launcher/SearchWindow_win.h"
#include "model/FolderReader_win.h"
#include "model/Platform.h"
#include "model/Wide_win.h"

namespace {

const wchar_t* const OwnerClass = L"TarvoPopupOwner";
const UINT WM_ICONFOUND = WM_APP + 1;

// How many items of one menu have their icons looked up in the cache before
// the menu shows: more than a screen holds; the rest come from the worker.
const int QuickIcons = 64;

// How long a folder's submenu waits for the folder before it shows the
// notice that it does not answer: a local folder is read in a few
// milliseconds, a share may take seconds.
const int FolderWait = 150;

// What an item of a menu shows an icon of: a line none, a path "" none.
struct TIconSlot {
  bool Line = false;
  std::string Path;
};

// The icons of a shown popup: each menu's items get theirs when the menu
// first opens, from the cache at once or from the worker later.
class TPopupIcons {
 public:
  TPopupIcons(const TProject& project, ILauncherHost& host, HWND owner)
      : bitmaps_(project, host, owner, WM_ICONFOUND) {}
  ~TPopupIcons() {
    if (placeholder_) DeleteObject(placeholder_);
  }
  // The icons of the project's entries, when their menu first opens;
  // folders: each entry's folder as it is read (by item), "" for others.
  void FillItems(HMENU menu, const std::vector<TPopupItem>& items, const std::vector<int>& children,
                 const std::map<int, std::string>& folders);
  // Icons for the menu's items by position.
  void Fill(HMENU menu, const std::vector<TIconSlot>& slots);
  // The worker's results that came since the last call.
  void Arrived() {
    for (const auto& [path, bitmap] : bitmaps_.Arrived()) Found(path, bitmap);
  }
  void Start() { bitmaps_.Start(); }

 private:
  // keepRoom: no icon yet, but room for the one to come.
  void SetBitmap(HMENU menu, UINT position, HBITMAP bitmap, bool keepRoom = false);
  void Found(const std::string& path, HBITMAP bitmap);
  TIconBitmaps bitmaps_;
  std::set<HMENU> filled_;
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

void TPopupIcons::FillItems(HMENU menu, const std::vector<TPopupItem>& items, const std::vector<int>& children,
                            const std::map<int, std::string>& folders) {
  if (!filled_.insert(menu).second) return;
  std::vector<TIconSlot> slots(children.size());
  for (size_t position = 0; position < children.size(); ++position) {
    const TPopupItem& item = items[static_cast<size_t>(children[position])];
    TIconSlot& slot = slots[position];
    slot.Line = item.IsLine();
    auto folder = folders.find(children[position]);
    if (folder != folders.end()) {
      slot.Path = folder->second;
    } else if (!slot.Line && item.Children.empty() && item.Tag > 0) {
      slot.Path = bitmaps_.TargetOf(item.Tag);
    }
  }
  Fill(menu, slots);
}

void TPopupIcons::Fill(HMENU menu, const std::vector<TIconSlot>& slots) {
  int quick = 0;
  bool icons = false;
  std::vector<UINT> bare;
  for (UINT position = 0; position < slots.size(); ++position) {
    if (slots[position].Line) continue;
    const std::string& path = slots[position].Path;
    if (path.empty()) {
      bare.push_back(position);
      continue;
    }
    HBITMAP bitmap = nullptr;
    if (bitmaps_.Known(path, quick++ < QuickIcons, bitmap)) {
      if (bitmap) {
        SetBitmap(menu, position, bitmap);
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
  }
  // Wine starts every text of a menu after its widest icon but counts that
  // room only in the widths of the items that have one: the longest text
  // without an icon would be cut. So every item gets the room.
  if (!icons) return;
  roomy_.insert(menu);
  for (UINT position : bare) SetBitmap(menu, position, nullptr, true);
}

void TPopupIcons::Found(const std::string& path, HBITMAP bitmap) {
  auto waiting = waiting_.find(path);
  if (waiting == waiting_.end()) return;
  for (const auto& item : waiting->second) SetBitmap(item.first, item.second, bitmap, roomy_.count(item.first) > 0);
  waiting_.erase(waiting);
  RepaintMenus();
}

// The item that opens the search: a command number no entry takes.
const UINT SearchCommand = 0xFFFF;
const char* const SearchItemCaption = "Suchen…\t#";

// The submenus of the entries that stand for a folder, and of the
// subfolders in them: each filled from its folder when it first opens.
class TLiveFolders {
 public:
  // Command numbers of the folders' items start at first.
  explicit TLiveFolders(UINT first) : nextId_(first) {}
  void Add(HMENU menu, const std::string& folder, UINT fixed) {
    TLive& live = menus_[menu];
    live.Folder = folder;
    live.Fixed = fixed;
  }
  // The menu is about to show: its items when the folder has answered
  // within the wait, else the notice that it does not, until it opens again
  // after the answer came. captions: the captions of the entries it holds
  // already (the project's sub-entries), whose access keys stay theirs.
  void Opening(HMENU menu, const std::vector<std::string>& captions, TPopupIcons* icons);
  // The item chosen by its command number: its path, "" for none of these.
  std::string PathOf(UINT id) const {
    auto it = paths_.find(id);
    return it == paths_.end() ? std::string() : it->second;
  }

 private:
  struct TLive {
    std::string Folder;
    UINT Fixed = 0;  // the menu's items before the folder's
    std::shared_ptr<TFolderReading> Reading;
    bool Filled = false;
    bool Waiting = false;  // the notice stands there
  };
  void Append(HMENU menu, TLive& live, const TLiveMenu& folder, const std::vector<std::string>& captions,
              TPopupIcons* icons);
  std::map<HMENU, TLive> menus_;
  std::map<UINT, std::string> paths_;
  UINT nextId_;
};

void TLiveFolders::Opening(HMENU menu, const std::vector<std::string>& captions, TPopupIcons* icons) {
  auto it = menus_.find(menu);
  if (it == menus_.end() || it->second.Filled) return;
  TLive& live = it->second;
  if (!live.Reading) {
    try {
      live.Reading = std::make_shared<TFolderReading>(std::make_shared<TWindowsFolderReader>(), live.Folder,
                                                      *Platform.Collation);
    } catch (const std::exception&) {
      // No thread to be had: the folder cannot be read now.
      TLiveMenu unreadable;
      unreadable.Notice = FolderUnreadableNotice;
      Append(menu, live, unreadable, captions, icons);
      live.Filled = true;
      return;
    }
  }
  if (!live.Reading->Wait(live.Waiting ? 0 : FolderWait)) {
    if (live.Waiting) return;
    TLiveMenu slow;
    slow.Notice = FolderSlowNotice;
    Append(menu, live, slow, captions, nullptr);
    live.Waiting = true;
    return;
  }
  while (GetMenuItemCount(menu) > static_cast<int>(live.Fixed)) DeleteMenu(menu, live.Fixed, MF_BYPOSITION);
  Append(menu, live, live.Reading->Menu(), captions, icons);
  live.Filled = true;
  live.Reading.reset();
}

void TLiveFolders::Append(HMENU menu, TLive& live, const TLiveMenu& folder, const std::vector<std::string>& captions,
                          TPopupIcons* icons) {
  // The entries' own items have their icons already.
  std::vector<TIconSlot> slots(live.Fixed, TIconSlot{true, ""});
  if (live.Fixed > 0) {
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    slots.push_back({true, ""});
  }
  if (!folder.Notice.empty()) {
    AppendMenuW(menu, MF_STRING | MF_GRAYED, 0, W(folder.Notice).c_str());
    return;
  }
  // Access keys as every level of the popup has them, the entries' first.
  std::vector<TPopupItem> items;
  std::vector<int> level;
  for (const std::string& caption : captions) {
    items.emplace_back();
    items.back().Caption = caption;
    level.push_back(static_cast<int>(level.size()));
  }
  for (const TLiveItem& item : folder.Items) {
    items.emplace_back();
    items.back().Caption = item.Caption;
    level.push_back(static_cast<int>(level.size()));
  }
  AssignAccessKeys(items, level);
  for (size_t i = 0; i < folder.Items.size(); ++i) {
    const TLiveItem& item = folder.Items[i];
    const std::wstring caption = W(items[captions.size() + i].Caption);
    if (item.IsFolder) {
      HMENU submenu = CreatePopupMenu();
      Add(submenu, item.Path, 0);
      AppendMenuW(menu, MF_STRING | MF_POPUP, reinterpret_cast<UINT_PTR>(submenu), caption.c_str());
    } else {
      // Past the 16 bits of WM_COMMAND (and the search's number) an item
      // can only be shown.
      UINT id = 0;
      if (nextId_ < SearchCommand) {
        id = nextId_++;
        paths_[id] = item.Path;
      }
      AppendMenuW(menu, MF_STRING, id, caption.c_str());
    }
    slots.push_back({false, item.Path});
  }
  if (icons) icons->Fill(menu, slots);
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
  std::unique_ptr<TLiveFolders> Live;
  // The folders of the entries that stand for one, as they are read (by item).
  std::map<int, std::string> Folders;
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
      HMENU menu = reinterpret_cast<HMENU>(wParam);
      auto it = popup->SubmenuOwner.find(menu);
      std::vector<std::string> captions;
      if (it != popup->SubmenuOwner.end()) {
        const TPopupItem& owner = popup->Model.Items[static_cast<size_t>(it->second)];
        if (popup->Icons) popup->Icons->FillItems(menu, popup->Model.Items, owner.Children, popup->Folders);
        for (int child : owner.Children) captions.push_back(popup->Model.Items[static_cast<size_t>(child)].Caption);
      }
      if (popup->Live) Application.Guard([&] { popup->Live->Opening(menu, captions, popup->Icons.get()); });
      if (it != popup->SubmenuOwner.end()) RunClick(*popup, popup->Model.Items[static_cast<size_t>(it->second)].Tag);
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
      if (index == SearchCommand && popup->SearchKey) {
        popup->SearchChosen = true;
        return 0;
      }
      const std::string path = popup->Live ? popup->Live->PathOf(static_cast<UINT>(index)) : std::string();
      if (!path.empty()) {
        Application.Guard([popup, &path] { OpenLiveItem(*popup->Host, *popup->Project, path); });
        return 0;
      }
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
    const bool folder = !items[i].Folder.empty();
    if ((items[i].Children.empty() && !folder) || items[i].IsLine()) continue;
    menus[i] = CreatePopupMenu();
    popup.SubmenuOwner[menus[i]] = static_cast<int>(i);
    if (!folder) continue;
    // Its sub-entries in the project first, then the folder's items.
    if (!popup.Live) popup.Live = std::make_unique<TLiveFolders>(static_cast<UINT>(items.size()));
    const std::string path = ResolvedLiveFolder(*popup.Host, items[i].Folder);
    popup.Folders[static_cast<int>(i)] = path;
    popup.Live->Add(menus[i], path, static_cast<UINT>(items[i].Children.size()));
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
        // WM_COMMAND carries (and the search's number) an item can only be
        // shown, never run.
        UINT_PTR id = child < static_cast<int>(SearchCommand) ? static_cast<UINT_PTR>(child) : 0;
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
      popup.Icons->FillItems(menu, popup.Model.Items, popup.Model.Items[0].Children, popup.Folders);
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
  // The key shows where the user looks for a way out: above "Abbrechen".
  if (searchKey)
    InsertMenuW(menu, static_cast<UINT>(GetMenuItemCount(menu) - 1), MF_BYPOSITION | MF_STRING, SearchCommand,
                W(SearchItemCaption).c_str());
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

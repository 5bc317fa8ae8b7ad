// The popup menu of popup mode: its items built from the menu list by level, the
// tidying of each level (separators, access keys) and the click handler.
// The Win32 side (PopupMenu_win.cpp) turns the items into a real popup menu.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/Project.h"

class ILauncherHost;

extern const char* const CancelCaption;  // "Ab&brechen"

struct TPopupItem {
  std::string Caption;
  int32_t Tag = 0;            // the entry's Assignment; 0 = no group
  int Parent = -1;            // index of the item whose submenu holds it
  std::vector<int> Children;  // indexes of the submenu's items, in order
  // The entry's folder: its items follow the children when the submenu
  // opens ("": none).
  std::string Folder;
  bool IsLine() const { return Caption == "-"; }
};

// All items of one popup, flat so that deep menus need no deep recursion:
// Items[0] is the top level (no caption), the entries follow in list order,
// then the separator and the cancel item.
struct TPopupMenuModel {
  std::vector<TPopupItem> Items;
  int CancelItem = -1;
};

// Places every entry by its level (never above the top level, whatever the
// levels say) and appends the separator and the cancel item.
TPopupMenuModel BuildPopupMenu(const std::vector<TTRVMenuItem>& entries);

// Tidies every level of the menu: separators at the start or the end of a
// level are dropped, runs of separators shown once, and access keys given
// where a caption has none or repeats an earlier one of its level.
void TidyPopupMenu(TPopupMenuModel& menu);

// One level's tidying (children of one item), exposed for tests.
void TidySeparators(const std::vector<TPopupItem>& items, std::vector<int>& level);
void AssignAccessKeys(std::vector<TPopupItem>& items, const std::vector<int>& level);

// The menu item's click: runs the group at position tag - 1 through host,
// a run with an abort flag of its own; tag 0 (or a position no group has)
// runs nothing.
void MenuItemClick(ILauncherHost& host, const TProject& project, int32_t tag);

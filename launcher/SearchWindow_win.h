// Type to find on the screen: a small window at the cursor with a field and
// the popup's entries that hold what the user typed, wherever they sit in
// the submenus.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class ILauncherHost;
class TProject;

// The key that, in a popup that offers it, closes the menu and opens the
// search at its place: no access key takes it, as the menu gives only
// letters and digits (a caption that brings "&#" itself keeps it).
const wchar_t PopupSearchKey = L'#';

// How popup mode shows the project's menu: the popup, the popup whose
// search key opens the search, or the search at once.
enum TSearchStart { ssMenu, ssMenuWithSearchKey, ssSearch };

// The switch before the project, taken from the front of the arguments:
// "/suchen" opens the search at once, "/suchtaste" lets the popup's
// PopupSearchKey open it (any case); anything else is left as it is.
TSearchStart TakeSearchSwitch(std::vector<std::wstring>& arguments);

// Shows the search at the point and runs the group of the chosen entry
// through host once the window has closed, as the popup runs a chosen entry
// (MenuItemClick); Esc or a click elsewhere runs nothing. Errors of a run are
// shown in the application's error box.
void ShowSearchWindow(const TProject& project, ILauncherHost& host, POINT at);

// Popup mode's menu on the screen.
#pragma once

class ILauncherHost;
class TProject;

// Builds the popup from the project's menu list, shows it at the mouse cursor and runs the
// group of the chosen entry through host once the menu has closed. Groups of
// entries with sub-entries run when their submenu opens. Errors of a run are
// shown in the application's error box. searchKey: the search key
// (PopupSearchKey) closes the menu and opens the search at its place.
void ShowPopupMenu(const TProject& project, ILauncherHost& host, bool searchKey = false);

// The menus ShowPopupMenu shows first, icons from the cache included, made
// and destroyed again (for the benchmarks); returns the milliseconds the
// making took. The icons the cache lacks are looked up and kept before this
// returns, as after a popup.
double BuildPopupMenus(const TProject& project, ILauncherHost& host, bool icons);

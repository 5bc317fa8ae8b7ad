// "Häufig Gewähltes zuerst": the entries a user chose most often lately, at
// the top of the popup. The setting and the times of the choices are the
// user's own, kept apart from the project file (MostUsed_win: where), so
// that a choice never changes the project. Here: the file's text, the
// ranking and the menu's top section.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "launcher/PopupMenu.h"

// Bounds that keep the file small whatever happens: the newest choices of
// an entry, the entries chosen last, and what a file may weigh to be read.
const size_t MaxChoiceTimes = 10;
const size_t MaxChoiceEntries = 200;
const size_t MaxChoiceKey = 1024;  // group and place together
const size_t MaxChoicesFileSize = 256 * 1024;
// What the top section shows at most.
const size_t MostUsedCount = 5;

// An entry's choices, known by its group's name and its place (its texts
// from the top, "Mehr › Tief › Ende"): moving other entries keeps them, a
// renamed entry starts afresh.
struct TEntryChoices {
  std::string Group;
  std::string Place;
  std::vector<int64_t> Times;  // seconds since 1970 (UTC), in the order chosen
};

struct TChoices {
  bool First = false;  // the setting
  std::vector<TEntryChoices> Entries;
  // A choice at the time now; the entry chosen longest ago makes room for a
  // new one when the file is full.
  void Add(const std::string& group, const std::string& place, int64_t now);
};

// The file's text (Windows-1252, CR LF): a head naming the project, the
// setting, then one line for each entry: its times, its group, its place.
std::string FormatChoices(const TChoices& choices, const std::string& projectPath);
// Reads what FormatChoices wrote for the project; false, with no choices
// and the setting off, for any other text (another project's, a damaged or
// foreign head). Damaged entry lines are skipped. settingOnly: the entries
// are not looked at.
bool ParseChoices(const std::string& text, const std::string& projectPath, TChoices& choices,
                  bool settingOnly = false);
// The file's name: a hash of the project's full path, case folded, so that
// every spelling of the path finds the same file.
std::string ChoicesFileName(const std::string& projectPath);

// What a popup item is counted as: empty for an item that is no entry, runs
// no group or shows a submenu.
struct TChoiceKey {
  std::string Group, Place;
  bool Valid() const { return !Group.empty(); }
};
// The keys of the menu's entries by item (BuildPopupMenu's model, tidied or
// not: access keys do not count).
std::vector<TChoiceKey> ChoiceKeys(const TPopupMenuModel& menu, const std::vector<TExecGroup>& groups);

// What one choice weighs by its age in seconds: the last days most.
int ChoiceWeight(int64_t age);
// The items to put on top, best first: at most MostUsedCount entries chosen
// at least once that still run a group, ranked by their weighed choices,
// then by their latest choice, then by their place in the menu. None while
// the setting is off.
std::vector<int> MostUsedItems(const std::vector<TChoiceKey>& keys, const TChoices& choices, int64_t now);

// The top section of a popup: copies of items and a separator before the
// top level's first item, appended behind the others so that an entry's
// item stays where BuildPopupMenu put it.
struct TTopSection {
  int First = -1;          // the first copy's index
  std::vector<int> Items;  // the items copied, in order
  // The item a chosen one stands for: the copied item for a copy.
  int Original(int item) const;
};
// Call before TidyPopupMenu, which then tidies the copies with their level.
TTopSection PrependMostUsed(TPopupMenuModel& menu, const std::vector<int>& items);

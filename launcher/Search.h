// Type to find: the popup's entries that run a group, found by a part of
// their caption wherever they sit in the submenus.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "launcher/PopupMenu.h"

// One entry the search can find.
struct TSearchEntry {
  std::string Text;   // the caption as the menu shows it, without access keys
  std::string Place;  // its owners' captions and its own, joined by " › "
  int32_t Tag = 0;    // what the popup runs for it (MenuItemClick)
  int Item = 0;       // its index in the popup's items
  std::string Path;   // an item of a folder's submenu: what it opens ("": an entry)
};

// An entry that stands for a folder, and its place: its items are found
// once the folder has been read.
struct TSearchFolder {
  std::string Folder;
  std::string Place;
};

// The search over one popup: the captions folded once, so that a keystroke
// only compares.
class TMenuSearch {
 public:
  // menu as the popup shows it (tidied): what it shows as a submenu or a
  // separator is not listed, nor an entry that runs nothing.
  explicit TMenuSearch(const TPopupMenuModel& menu);
  const std::vector<TSearchEntry>& Entries() const { return entries_; }
  // The entries that stand for folders.
  const std::vector<TSearchFolder>& Folders() const { return folders_; }
  // Items of the folders, found after the menu's entries that match alike.
  void Add(const std::vector<TSearchEntry>& entries);
  // The entries whose caption holds the query, as positions in Entries():
  // first those where it starts a word, then the others, each in menu
  // order. Case, umlauts and accents do not count; a query of blanks finds
  // nothing.
  std::vector<int> Find(const std::string& query) const;

 private:
  std::vector<TSearchEntry> entries_;
  std::vector<std::string> keys_;  // the captions folded
  std::vector<TSearchFolder> folders_;
};

// The popup's entries of the project's menu list that hold the query (the
// same popup the menu shows).
std::vector<TSearchEntry> FindMenuEntries(const std::vector<TTRVMenuItem>& menuItems, const std::string& query);

// Between the texts of an entry's place, "Mehr › Tief › Ende": as the search
// shows it and the most used entries know it.
extern const char* const PlaceSeparator;

// A caption without its access-key markers ("&&" stays one "&").
std::string CaptionText(const std::string& caption);
// Text as the search compares it: small letters without accents (ä → a,
// ß → ss, Æ → ae), everything else as it is.
std::string FoldForSearch(const std::string& text);

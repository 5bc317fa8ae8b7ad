#include "launcher/Search.h"

#include <algorithm>
#include <cctype>

const char* const PlaceSeparator = " › ";

namespace {

// Windows-1252 0xC0 to 0xFF by their base letters; "" for × and ÷, which
// stay as they are.
const char* const Folded[64] = {
    "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i", "i",   // À-Ï
    "d", "n", "o", "o", "o", "o", "o",  "",  "o", "u", "u", "u", "u", "y", "th", "ss", // Ð-ß
    "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i", "i",   // à-ï
    "d", "n", "o", "o", "o", "o", "o",  "",  "o", "u", "u", "u", "u", "y", "th", "y",  // ð-ÿ
};

// The folded text of one character; null: the character itself.
const char* FoldedChar(unsigned char c) {
  if (c >= 0xC0) return *Folded[c - 0xC0] ? Folded[c - 0xC0] : nullptr;
  switch (c) {
    case 0x8A: case 0x9A: return "s";   // Š š
    case 0x8C: case 0x9C: return "oe";  // Œ œ
    case 0x8E: case 0x9E: return "z";   // Ž ž
    case 0x9F: return "y";              // Ÿ
    case 0x83: return "f";              // ƒ
  }
  return nullptr;
}

// After folding, words are runs of letters and digits.
bool IsWordChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

std::string Trimmed(const std::string& text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  auto begin = std::find_if_not(text.begin(), text.end(), blank);
  auto end = std::find_if_not(text.rbegin(), std::string::const_reverse_iterator(begin), blank).base();
  return std::string(begin, end);
}

// 0: the query starts a word of key, 1: it stands elsewhere in it, -1: not.
int MatchRank(const std::string& key, const std::string& query) {
  std::string::size_type at = key.find(query);
  if (at == std::string::npos) return -1;
  for (; at != std::string::npos; at = key.find(query, at + 1))
    if (at == 0 || !IsWordChar(key[at - 1])) return 0;
  return 1;
}

}  // namespace

std::string CaptionText(const std::string& caption) {
  std::string text;
  text.reserve(caption.size());
  for (std::string::size_type i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&') {
      if (i + 1 >= caption.size()) break;  // a lone "&" at the end shows nothing
      ++i;
    }
    text += caption[i];
  }
  return text;
}

std::string FoldForSearch(const std::string& text) {
  std::string folded;
  folded.reserve(text.size());
  for (char c : text) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u >= 'A' && u <= 'Z') {
      folded += static_cast<char>(u + 32);
    } else if (const char* base = FoldedChar(u)) {
      folded += base;
    } else {
      folded += c;
    }
  }
  return folded;
}

TMenuSearch::TMenuSearch(const TPopupMenuModel& menu) {
  // An item's place is its owner's and its own; owners come before their
  // items, so one pass in item order knows every owner's place.
  const std::vector<TPopupItem>& items = menu.Items;
  std::vector<std::string> places(items.size());
  // Only items a level of the tidied menu still shows have a place there.
  std::vector<char> shown(items.size(), 0);
  if (!items.empty()) shown[0] = 1;
  for (size_t i = 0; i < items.size(); ++i) {
    // A separator's sub-entries show nowhere.
    if (!shown[i] || items[i].IsLine()) continue;
    for (int child : items[i].Children) shown[static_cast<size_t>(child)] = 1;
  }
  for (size_t i = 1; i < items.size(); ++i) {
    const TPopupItem& item = items[i];
    if (!shown[i] || item.IsLine() || static_cast<int>(i) == menu.CancelItem) continue;
    const std::string text = CaptionText(item.Caption);
    const std::string& ownerPlace = places[static_cast<size_t>(item.Parent)];
    places[i] = ownerPlace.empty() ? text : ownerPlace + PlaceSeparator + text;
    if (!item.Folder.empty()) folders_.push_back({item.Folder, places[i]});
    // A submenu's owner runs its group when the submenu opens, never as a
    // choice; an entry without a group runs nothing.
    if (!item.Children.empty() || item.Tag <= 0) continue;
    TSearchEntry entry;
    entry.Text = text;
    entry.Place = places[i];
    entry.Tag = item.Tag;
    entry.Item = static_cast<int>(i);
    keys_.push_back(FoldForSearch(text));
    entries_.push_back(std::move(entry));
  }
}

void TMenuSearch::Add(const std::vector<TSearchEntry>& entries) {
  for (const TSearchEntry& entry : entries) {
    keys_.push_back(FoldForSearch(entry.Text));
    entries_.push_back(entry);
  }
}

std::vector<int> TMenuSearch::Find(const std::string& query) const {
  const std::string folded = FoldForSearch(Trimmed(query));
  std::vector<int> found, elsewhere;
  if (folded.empty()) return found;
  for (size_t i = 0; i < keys_.size(); ++i) {
    const int rank = MatchRank(keys_[i], folded);
    if (rank == 0) found.push_back(static_cast<int>(i));
    if (rank == 1) elsewhere.push_back(static_cast<int>(i));
  }
  found.insert(found.end(), elsewhere.begin(), elsewhere.end());
  return found;
}

std::vector<TSearchEntry> FindMenuEntries(const std::vector<TTRVMenuItem>& menuItems, const std::string& query) {
  TPopupMenuModel menu = BuildPopupMenu(menuItems);
  TidyPopupMenu(menu);
  const TMenuSearch search(menu);
  std::vector<TSearchEntry> entries;
  for (int index : search.Find(query)) entries.push_back(search.Entries()[static_cast<size_t>(index)]);
  return entries;
}

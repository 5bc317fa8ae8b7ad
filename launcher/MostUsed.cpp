#include "launcher/MostUsed.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <set>

#include "launcher/Search.h"
#include "model/Text.h"

namespace {

const char* const ChoicesHead = "Tarvo Gewählt 1";
const char* const ProjectKey = "Projekt=";
const char* const SettingKey = "Zuerst=";
const int64_t Day = 24 * 60 * 60;

bool StartsWith(const std::string& text, const char* prefix) { return text.compare(0, strlen(prefix), prefix) == 0; }

// The text's lines, CR LF or LF.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::string::size_type start = 0;
  while (start < text.size()) {
    std::string::size_type end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  return lines;
}

// Times as the file gives them: decimal seconds, blank-separated. False for
// anything else, a number too large for the seconds included.
bool ParseTimes(const std::string& text, std::vector<int64_t>& times) {
  std::string::size_type i = 0;
  while (i < text.size()) {
    if (text[i] == ' ') {
      ++i;
      continue;
    }
    int64_t value = 0;
    int digits = 0;
    for (; i < text.size() && text[i] != ' '; ++i) {
      if (text[i] < '0' || text[i] > '9' || ++digits > 15) return false;
      value = value * 10 + (text[i] - '0');
    }
    times.push_back(value);
  }
  return !times.empty();
}

// A key the file can hold on one line between tabs.
bool Writable(const std::string& text) {
  return std::none_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

std::string KeyOf(const std::string& group, const std::string& place) { return group + '\t' + place; }

// The newest of an entry's times, MaxChoiceTimes at most.
void KeepNewest(std::vector<int64_t>& times) {
  if (times.size() > MaxChoiceTimes)
    times.erase(times.begin(), times.end() - static_cast<std::ptrdiff_t>(MaxChoiceTimes));
}

int64_t Latest(const TEntryChoices& entry) {
  return entry.Times.empty() ? INT64_MIN : *std::max_element(entry.Times.begin(), entry.Times.end());
}

}  // namespace

void TChoices::Add(const std::string& group, const std::string& place, int64_t now) {
  auto entry = std::find_if(Entries.begin(), Entries.end(),
                            [&](const TEntryChoices& e) { return e.Group == group && e.Place == place; });
  if (entry == Entries.end()) {
    if (Entries.size() >= MaxChoiceEntries) {
      Entries.erase(std::min_element(Entries.begin(), Entries.end(), [](const TEntryChoices& a, const TEntryChoices& b) {
        return Latest(a) < Latest(b);
      }));
    }
    Entries.push_back({group, place, {}});
    entry = Entries.end() - 1;
  }
  entry->Times.push_back(now);
  KeepNewest(entry->Times);
}

std::string FormatChoices(const TChoices& choices, const std::string& projectPath) {
  std::string text = std::string(ChoicesHead) + "\r\n" + ProjectKey + projectPath + "\r\n" + SettingKey +
                     (choices.First ? "1" : "0") + "\r\n";
  for (const TEntryChoices& entry : choices.Entries) {
    if (entry.Times.empty() || !Writable(entry.Group) || !Writable(entry.Place)) continue;
    std::string times;
    for (int64_t t : entry.Times) {
      if (t < 0) continue;
      if (!times.empty()) times += ' ';
      times += std::to_string(t);
    }
    if (times.empty()) continue;
    text += times + '\t' + entry.Group + '\t' + entry.Place + "\r\n";
  }
  return text;
}

bool ParseChoices(const std::string& text, const std::string& projectPath, TChoices& choices, bool settingOnly) {
  choices = TChoices();
  // The head: three lines, each a bounded piece of the text's start.
  std::vector<std::string> head;
  std::string::size_type start = 0;
  for (int i = 0; i < 3; ++i) {
    const std::string::size_type end = text.find('\n', start);
    if (end == std::string::npos) return false;
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    head.push_back(std::move(line));
    start = end + 1;
  }
  if (head[0] != ChoicesHead || !StartsWith(head[1], ProjectKey) ||
      UpperText(head[1].substr(strlen(ProjectKey))) != UpperText(projectPath))
    return false;
  if (head[2] != std::string(SettingKey) + "0" && head[2] != std::string(SettingKey) + "1") return false;
  choices.First = head[2].back() == '1';
  if (settingOnly) return true;
  std::set<std::string> seen;
  for (const std::string& line : Lines(text.substr(start))) {
    if (choices.Entries.size() >= MaxChoiceEntries) break;
    const std::string::size_type tab1 = line.find('\t');
    if (tab1 == std::string::npos) continue;
    const std::string::size_type tab2 = line.find('\t', tab1 + 1);
    if (tab2 == std::string::npos) continue;
    TEntryChoices entry;
    entry.Group = line.substr(tab1 + 1, tab2 - tab1 - 1);
    entry.Place = line.substr(tab2 + 1);
    if (entry.Group.empty() || entry.Place.empty() || entry.Place.find('\t') != std::string::npos ||
        entry.Group.size() + entry.Place.size() > MaxChoiceKey || !ParseTimes(line.substr(0, tab1), entry.Times))
      continue;
    KeepNewest(entry.Times);
    if (!seen.insert(KeyOf(entry.Group, entry.Place)).second) continue;
    choices.Entries.push_back(std::move(entry));
  }
  return true;
}

std::string ChoicesFileName(const std::string& projectPath) {
  // FNV-1a: small, and the same on every machine and build.
  uint64_t hash = 14695981039346656037ull;
  for (char c : UpperText(projectPath)) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ull;
  }
  static const char digits[] = "0123456789abcdef";
  std::string name(16, '0');
  for (int i = 15; i >= 0; --i, hash >>= 4) name[static_cast<size_t>(i)] = digits[hash & 0xF];
  return name + ".txt";
}

std::vector<TChoiceKey> ChoiceKeys(const TPopupMenuModel& menu, const std::vector<TExecGroup>& groups) {
  const std::vector<TPopupItem>& items = menu.Items;
  std::vector<TChoiceKey> keys(items.size());
  // Entries come before their sub-entries: one pass knows every owner's
  // place. A separator's sub-entries show nowhere, nor do theirs.
  std::vector<std::string> places(items.size());
  std::vector<char> shown(items.size(), 0);
  const size_t entries = menu.CancelItem > 1 ? static_cast<size_t>(menu.CancelItem) - 1 : 0;
  for (size_t i = 1; i < entries && i < items.size(); ++i) {
    const TPopupItem& item = items[i];
    const size_t parent = static_cast<size_t>(item.Parent);
    if (parent >= i || (parent != 0 && !shown[parent])) continue;
    if (item.IsLine()) continue;
    shown[i] = 1;
    const std::string text = CaptionText(item.Caption);
    places[i] = parent == 0 ? text : places[parent] + PlaceSeparator + text;
    if (!item.Children.empty() || item.Tag <= 0 || static_cast<size_t>(item.Tag) > groups.size()) continue;
    const std::string& group = groups[static_cast<size_t>(item.Tag) - 1].Name;
    if (group.empty() || !Writable(group) || !Writable(places[i]) || group.size() + places[i].size() > MaxChoiceKey)
      continue;
    keys[i] = {group, places[i]};
  }
  return keys;
}

int ChoiceWeight(int64_t age) {
  if (age < 4 * Day) return 100;
  if (age < 14 * Day) return 70;
  if (age < 31 * Day) return 50;
  if (age < 90 * Day) return 30;
  return 10;
}

std::vector<int> MostUsedItems(const std::vector<TChoiceKey>& keys, const TChoices& choices, int64_t now) {
  std::vector<int> items;
  if (!choices.First) return items;
  std::map<std::string, const TEntryChoices*> byKey;
  for (const TEntryChoices& entry : choices.Entries)
    if (!entry.Times.empty()) byKey.emplace(KeyOf(entry.Group, entry.Place), &entry);
  struct TRanked {
    int Item;
    int64_t Score, Latest;
  };
  std::vector<TRanked> ranked;
  for (size_t i = 0; i < keys.size(); ++i) {
    if (!keys[i].Valid()) continue;
    auto found = byKey.find(KeyOf(keys[i].Group, keys[i].Place));
    if (found == byKey.end()) continue;
    const TEntryChoices& entry = *found->second;
    int64_t score = 0;
    // A time ahead of the clock (the clock put back) counts as now.
    for (int64_t t : entry.Times) score += ChoiceWeight(std::max<int64_t>(0, now - t));
    ranked.push_back({static_cast<int>(i), score, Latest(entry)});
    // Two entries of the same place and group: the first stands for both.
    byKey.erase(found);
  }
  std::stable_sort(ranked.begin(), ranked.end(), [](const TRanked& a, const TRanked& b) {
    if (a.Score != b.Score) return a.Score > b.Score;
    return a.Latest > b.Latest;
  });
  for (size_t i = 0; i < ranked.size() && i < MostUsedCount; ++i) items.push_back(ranked[i].Item);
  return items;
}

int TTopSection::Original(int item) const {
  if (First < 0 || item < First || item >= First + static_cast<int>(Items.size())) return item;
  return Items[static_cast<size_t>(item - First)];
}

TTopSection PrependMostUsed(TPopupMenuModel& menu, const std::vector<int>& items) {
  TTopSection top;
  if (items.empty() || menu.Items.empty()) return top;
  std::vector<int> front;
  top.First = static_cast<int>(menu.Items.size());
  for (int original : items) {
    TPopupItem copy;
    copy.Caption = menu.Items[static_cast<size_t>(original)].Caption;
    copy.Tag = menu.Items[static_cast<size_t>(original)].Tag;
    copy.Parent = 0;
    front.push_back(static_cast<int>(menu.Items.size()));
    menu.Items.push_back(std::move(copy));
    top.Items.push_back(original);
  }
  TPopupItem line;
  line.Caption = "-";
  line.Parent = 0;
  front.push_back(static_cast<int>(menu.Items.size()));
  menu.Items.push_back(std::move(line));
  std::vector<int>& level = menu.Items[0].Children;
  level.insert(level.begin(), front.begin(), front.end());
  return top;
}

#include "model/Project.h"

#include <algorithm>
#include <numeric>

#include "model/Errors.h"
#include "model/Platform.h"

const char* const LineKindLabels[6] = {
    "Kommando",      "Meldung anzeigen", "Frage stellen",
    "Ablauf beenden", "Keine Aktion",    "Befehlszeilengruppe",
};
const char* const MessageTypeNames[4] = {"Fehler", "Frage", "Warnung", "Information"};

const char* const NoActionParams = "Doppelklicken zum Bearbeiten";
const char* const MarkerYes = "\"Ja\":";
const char* const MarkerNo = "\"Nein\":";
const char* const MarkerEnd = "Verzweigungsende";
const char* const NoActionItem = "Keine Aktion";
const char* const NewGroupItem = "Neue Befehlszeilenfolge";
const char* const GroupSectionHeader = "[ExecGroups]";
const char* const MenuSectionHeader = "[MenuItems]";
const char* const UnusedMenuSectionHeader = "[NotUsed:MenuItems]";

std::string LineKindLabel(int32_t kind) {
  if (kind >= 0 && kind < 6) return LineKindLabels[kind];
  if (kind == lkBranchMarker) return "#";
  return std::string();
}

TProject::TProject(std::vector<TExecGroup> groups, std::vector<TTRVMenuItem> menu, bool useMenu)
    : menuItems_(std::move(menu)), execGroups_(std::move(groups)), useMenu_(useMenu) {}

void TProject::Reset() {
  useMenu_ = true;
  if (View) View->ProjectReset();
  execGroups_.clear();
  menuItems_.clear();
  fileName_.clear();
  modified_ = false;
}

void TProject::CheckMenuIndex(int index) const {
  if (index < 0 || static_cast<size_t>(index) >= menuItems_.size()) RaiseListIndexError(index);
}

void TProject::CheckGroupIndex(int index) const {
  if (index < 0 || static_cast<size_t>(index) >= execGroups_.size()) RaiseListIndexError(index);
}

const TTRVMenuItem& TProject::MenuItem(int index) const {
  CheckMenuIndex(index);
  return menuItems_[index];
}

int TProject::CountDescendants(int index) const {
  CheckMenuIndex(index);
  const int level = menuItems_[index].Level;
  int n = 0;
  for (size_t i = index + 1; i < menuItems_.size() && menuItems_[i].Level > level; ++i) ++n;
  return n;
}

void TProject::InsertMenuItemAt(int index, const TTRVMenuItem& entry) {
  if (index < 0 || static_cast<size_t>(index) > menuItems_.size()) RaiseListIndexError(index);
  menuItems_.insert(menuItems_.begin() + index, entry);
  modified_ = true;
}

void TProject::ChangeMenuItem(int index, const std::string& text, int assignment) {
  CheckMenuIndex(index);
  menuItems_[index].Text = text;
  menuItems_[index].Assignment = assignment;
  modified_ = true;
}

void TProject::DeleteMenuItem(int index) {
  const int n = CountDescendants(index);
  menuItems_.erase(menuItems_.begin() + index, menuItems_.begin() + index + n + 1);
  modified_ = true;
}

void TProject::MoveMenuItem(int source, int target) {
  const int n = CountDescendants(source) + 1;
  if (target < 0 || static_cast<size_t>(target) >= menuItems_.size()) RaiseListIndexError(target);
  std::vector<TTRVMenuItem> block(menuItems_.begin() + source, menuItems_.begin() + source + n);
  menuItems_.erase(menuItems_.begin() + source, menuItems_.begin() + source + n);
  // Moving down, the block ends at target; moving up, it starts there. A
  // target inside the block itself leaves the block where it was.
  int first = target > source ? std::max(source, target - n + 1) : target;
  first = std::min(first, static_cast<int>(menuItems_.size()));
  menuItems_.insert(menuItems_.begin() + first, block.begin(), block.end());
  modified_ = true;
}

const TExecGroup& TProject::ExecGroup(int index) const {
  CheckGroupIndex(index);
  return execGroups_[index];
}

int TProject::FindExecGroup(const std::string& name) const {
  for (size_t g = 0; g < execGroups_.size(); ++g)
    if (execGroups_[g].Name == name) return static_cast<int>(g);
  return -1;
}

int TProject::AddExecGroup(const TExecGroup& group) {
  execGroups_.push_back(group);
  modified_ = true;
  return SortExecGroups(static_cast<int>(execGroups_.size()) - 1);
}

int TProject::SortExecGroups(int selected) {
  const int count = static_cast<int>(execGroups_.size());
  if (selected >= count) RaiseListIndexError(selected);
  // A stable sort of positions: groups sharing a name (only files written
  // elsewhere have them) all survive, in their old order.
  std::vector<int> order(count);
  std::iota(order.begin(), order.end(), 0);
  ICollation* collation = Platform.Collation;
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    return collation->CompareText(execGroups_[a].Name, execGroups_[b].Name) < 0;
  });
  std::vector<TExecGroup> old;
  old.swap(execGroups_);
  std::vector<int> newPos(count);
  std::vector<std::string> names;
  for (int i = 0; i < count; ++i) {
    newPos[order[i]] = i;
    if (order[i] != i) modified_ = true;
    execGroups_.push_back(std::move(old[order[i]]));
    names.push_back(execGroups_.back().Name);
  }
  if (View) View->GroupListsRefilled(names);
  for (TTRVMenuItem& item : menuItems_)
    if (item.Assignment > 0 && item.Assignment <= count) item.Assignment = newPos[item.Assignment - 1] + 1;
  return selected >= 0 ? newPos[selected] : -1;
}

void TProject::RemoveExecGroup(int index) {
  CheckGroupIndex(index);
  const std::string name = execGroups_[index].Name;
  for (TTRVMenuItem& item : menuItems_) {
    if (item.Assignment == index + 1)
      item.Assignment = 0;
    else if (item.Assignment > index + 1)
      item.Assignment--;
  }
  for (int g = 0; g < static_cast<int>(execGroups_.size()); ++g) {
    if (g == index) continue;
    for (TExecLine& line : execGroups_[g].Lines) {
      if (line.Kind == lkCallGroup && CalledGroupName(line.Params) == name) {
        line.Kind = lkNoAction;
        line.Params = NoActionParams;
      }
    }
  }
  execGroups_.erase(execGroups_.begin() + index);
  modified_ = true;
}

int TProject::ChangeExecGroup(int index, const TExecGroup& changed) {
  CheckGroupIndex(index);
  const std::string oldName = execGroups_[index].Name;
  const std::string newCall = "\"" + changed.Name + "\"";
  auto follow = [&](std::vector<TExecLine>& lines) {
    for (TExecLine& line : lines)
      if (line.Kind == lkCallGroup && CalledGroupName(line.Params) == oldName) line.Params = newCall;
  };
  for (TExecGroup& group : execGroups_) follow(group.Lines);
  execGroups_[index] = changed;
  // The new lines may call the group itself under its old name too.
  follow(execGroups_[index].Lines);
  modified_ = true;
  return SortExecGroups(index);
}

bool IsStorableGroupName(const std::string& name) {
  if (name.empty() || name[0] == ' ') return false;
  for (char c : name)
    if (static_cast<unsigned char>(c) < 32) return false;
  return name != MenuSectionHeader && name != UnusedMenuSectionHeader;
}

std::string CalledGroupName(const std::string& params) {
  return params.size() >= 2 ? params.substr(1, params.size() - 2) : std::string();
}

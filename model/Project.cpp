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

std::vector<TTRVMenuItem> MenuItems;
std::vector<TExecGroup> ExecGroups;
std::string ProjectFileName;
bool ProjectModified = false;
bool PopupMode = false;
bool UseMenu = true;
IProjectView* ProjectView = nullptr;

std::string LineKindLabel(int32_t kind) {
  if (kind >= 0 && kind < 6) return LineKindLabels[kind];
  if (kind == lkBranchMarker) return "#";
  return std::string();
}

void ResetProject() {
  UseMenu = true;
  if (ProjectView && !PopupMode) ProjectView->ProjectReset();
  ExecGroups.clear();
  MenuItems.clear();
  ProjectFileName.clear();
  ProjectModified = false;
}

bool CurrentMenuSetting() { return ProjectView && !PopupMode ? ProjectView->MenuSetting() : UseMenu; }

static void CheckMenuIndex(int index) {
  if (index < 0 || static_cast<size_t>(index) >= MenuItems.size()) RaiseListIndexError(index);
}

int CountDescendants(int index) {
  CheckMenuIndex(index);
  const int level = MenuItems[index].Level;
  int n = 0;
  for (size_t i = index + 1; i < MenuItems.size() && MenuItems[i].Level > level; ++i) ++n;
  return n;
}

void InsertMenuItemSlot(int index) {
  if (index < 0 || static_cast<size_t>(index) > MenuItems.size()) RaiseListIndexError(index);
  // The entry at index keeps its old value until the caller overwrites it.
  TTRVMenuItem copy = static_cast<size_t>(index) < MenuItems.size() ? MenuItems[index] : TTRVMenuItem();
  MenuItems.insert(MenuItems.begin() + index, copy);
}

void DeleteMenuItem(int index) {
  const int n = CountDescendants(index);
  MenuItems.erase(MenuItems.begin() + index, MenuItems.begin() + index + n + 1);
}

void MoveMenuItem(int source, int target) {
  const int n = CountDescendants(source) + 1;
  if (target < 0 || static_cast<size_t>(target) >= MenuItems.size()) RaiseListIndexError(target);
  std::vector<TTRVMenuItem> block(MenuItems.begin() + source, MenuItems.begin() + source + n);
  MenuItems.erase(MenuItems.begin() + source, MenuItems.begin() + source + n);
  // Moving down, the block ends at target; moving up, it starts there. A
  // target inside the block itself leaves the block where it was.
  int first = target > source ? std::max(source, target - n + 1) : target;
  first = std::min(first, static_cast<int>(MenuItems.size()));
  MenuItems.insert(MenuItems.begin() + first, block.begin(), block.end());
}

void DeleteExecGroup(int index) {
  if (index < 0 || static_cast<size_t>(index) >= ExecGroups.size()) RaiseListIndexError(index);
  ExecGroups.erase(ExecGroups.begin() + index);
}

int SortExecGroups(int selected) {
  const int count = static_cast<int>(ExecGroups.size());
  if (selected >= count) RaiseListIndexError(selected);
  // A stable sort of positions: groups sharing a name (only files written
  // elsewhere have them) all survive, in their old order.
  std::vector<int> order(count);
  std::iota(order.begin(), order.end(), 0);
  ICollation* collation = Platform.Collation;
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    return collation->CompareText(ExecGroups[a].Name, ExecGroups[b].Name) < 0;
  });
  std::vector<TExecGroup> old;
  old.swap(ExecGroups);
  std::vector<int> newPos(count);
  std::vector<std::string> names;
  for (int i = 0; i < count; ++i) {
    newPos[order[i]] = i;
    ExecGroups.push_back(std::move(old[order[i]]));
    names.push_back(ExecGroups.back().Name);
  }
  if (ProjectView && !PopupMode) ProjectView->GroupListsRefilled(names);
  for (TTRVMenuItem& item : MenuItems)
    if (item.Assignment > 0 && item.Assignment <= count) item.Assignment = newPos[item.Assignment - 1] + 1;
  return selected >= 0 ? newPos[selected] : -1;
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

void RemoveExecGroup(int index) {
  if (index < 0 || static_cast<size_t>(index) >= ExecGroups.size()) RaiseListIndexError(index);
  const std::string name = ExecGroups[index].Name;
  for (TTRVMenuItem& item : MenuItems) {
    if (item.Assignment == index + 1)
      item.Assignment = 0;
    else if (item.Assignment > index + 1)
      item.Assignment--;
  }
  for (int g = 0; g < static_cast<int>(ExecGroups.size()); ++g) {
    if (g == index) continue;
    for (TExecLine& line : ExecGroups[g].Lines) {
      if (line.Kind == lkCallGroup && CalledGroupName(line.Params) == name) {
        line.Kind = lkNoAction;
        line.Params = NoActionParams;
      }
    }
  }
  DeleteExecGroup(index);
  ProjectModified = true;
}

int ChangeExecGroup(int index, const TExecGroup& changed) {
  if (index < 0 || static_cast<size_t>(index) >= ExecGroups.size()) RaiseListIndexError(index);
  const std::string oldName = ExecGroups[index].Name;
  const std::string newCall = "\"" + changed.Name + "\"";
  auto follow = [&](std::vector<TExecLine>& lines) {
    for (TExecLine& line : lines)
      if (line.Kind == lkCallGroup && CalledGroupName(line.Params) == oldName) line.Params = newCall;
  };
  for (TExecGroup& group : ExecGroups) follow(group.Lines);
  ExecGroups[index] = changed;
  // The new lines may call the group itself under its old name too.
  follow(ExecGroups[index].Lines);
  ProjectModified = true;
  return SortExecGroups(index);
}

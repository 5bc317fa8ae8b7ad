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

int TMenuNesting::Add(int index, int32_t level) {
  // A level below the top's is the top's.
  level = std::max<int32_t>(level, 0);
  while (!open_.empty() && open_.back().Level >= level) open_.pop_back();
  const int parent = open_.empty() ? -1 : open_.back().Index;
  open_.push_back({level, index});
  return parent;
}

TProject::TProject(std::vector<TExecGroup> groups, std::vector<TTRVMenuItem> menu, bool useMenu)
    : menuItems_(std::move(menu)), execGroups_(std::move(groups)), useMenu_(useMenu) {}

void TProject::Reset() {
  useMenu_ = true;
  if (View) View->ProjectReset();
  execGroups_.clear();
  menuItems_.clear();
  fileName_.clear();
  Restart();
}

void TProject::Restart() {
  state_ = savedState_ = ++lastState_;
  for (IProjectObserver* observer : std::vector<IProjectObserver*>(observers_.List)) observer->ProjectRestarted();
  ReportModified();
}

void TProject::AddObserver(IProjectObserver& observer) { observers_.List.push_back(&observer); }

void TProject::RemoveObserver(IProjectObserver& observer) {
  std::vector<IProjectObserver*>& list = observers_.List;
  list.erase(std::remove(list.begin(), list.end(), &observer), list.end());
}

void TProject::Report(const TProjectStep& step, TStepWay way) {
  // An observer may leave while it is told.
  for (IProjectObserver* observer : std::vector<IProjectObserver*>(observers_.List)) observer->StepReported(step, way);
}

void TProject::ReportModified() {
  if (View) View->ProjectChanged();
  if (Modified() == reportedModified_) return;
  reportedModified_ = Modified();
  if (View) View->ModifiedChanged(reportedModified_);
}

void TProject::Record(TProjectStep step) {
  if (replaying_) return;
  step.StateBefore = state_;
  step.StateAfter = step.Op == TProjectStep::opMenuSetting ? state_ : ++lastState_;
  state_ = step.StateAfter;
  Report(step, swDone);
  ReportModified();
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

void TProject::Splice(int start, size_t count, const std::vector<TTRVMenuItem>& entries) {
  menuItems_.erase(menuItems_.begin() + start, menuItems_.begin() + start + count);
  menuItems_.insert(menuItems_.begin() + start, entries.begin(), entries.end());
}

void TProject::RecordMenu(int start, std::vector<TTRVMenuItem> old, size_t count) {
  TProjectStep step;
  step.Op = TProjectStep::opMenu;
  step.MenuStart = start;
  step.MenuRemoved = std::move(old);
  step.MenuInserted.assign(menuItems_.begin() + start, menuItems_.begin() + start + count);
  Record(std::move(step));
}

void TProject::InsertMenuItemAt(int index, const TTRVMenuItem& entry) {
  if (index < 0 || static_cast<size_t>(index) > menuItems_.size()) RaiseListIndexError(index);
  menuItems_.insert(menuItems_.begin() + index, entry);
  RecordMenu(index, {}, 1);
}

void TProject::ChangeMenuItem(int index, const std::string& text, int assignment) {
  CheckMenuIndex(index);
  std::vector<TTRVMenuItem> old{menuItems_[index]};
  menuItems_[index].Text = text;
  menuItems_[index].Assignment = assignment;
  RecordMenu(index, std::move(old), 1);
}

void TProject::DeleteMenuItem(int index) {
  const int n = CountDescendants(index);
  std::vector<TTRVMenuItem> old(menuItems_.begin() + index, menuItems_.begin() + index + n + 1);
  menuItems_.erase(menuItems_.begin() + index, menuItems_.begin() + index + n + 1);
  RecordMenu(index, std::move(old), 0);
}

void TProject::MoveMenuItem(int source, int target) {
  const int n = CountDescendants(source) + 1;
  if (target < 0 || static_cast<size_t>(target) >= menuItems_.size()) RaiseListIndexError(target);
  // Moving down, the block ends at target; moving up, it starts there. A
  // target inside the block itself leaves the block where it was.
  int first = target > source ? std::max(source, target - n + 1) : target;
  first = std::min(first, static_cast<int>(menuItems_.size()) - n);
  MoveMenuBlock(source, first > source ? first + n : first, menuItems_[source].Level);
}

void TProject::MoveMenuBlock(int source, int before, int level) {
  const int n = CountDescendants(source) + 1;
  if (before < 0 || static_cast<size_t>(before) > menuItems_.size() || (before > source && before < source + n))
    RaiseListIndexError(before);
  const int low = std::min(source, before), high = std::max(source + n, before);
  std::vector<TTRVMenuItem> old(menuItems_.begin() + low, menuItems_.begin() + high);
  std::vector<TTRVMenuItem> block(menuItems_.begin() + source, menuItems_.begin() + source + n);
  const int shift = level - block.front().Level;
  for (TTRVMenuItem& entry : block) entry.Level += shift;
  menuItems_.erase(menuItems_.begin() + source, menuItems_.begin() + source + n);
  const int at = before > source ? before - n : before;
  menuItems_.insert(menuItems_.begin() + at, block.begin(), block.end());
  RecordMenu(low, std::move(old), high - low);
}

const TExecGroup& TProject::ExecGroup(int index) const {
  CheckGroupIndex(index);
  return execGroups_[index];
}

std::vector<std::string> TProject::GroupNames() const {
  std::vector<std::string> names;
  names.reserve(execGroups_.size());
  for (const TExecGroup& group : execGroups_) names.push_back(group.Name);
  return names;
}

int TProject::FindExecGroup(const std::string& name) const {
  for (size_t g = 0; g < execGroups_.size(); ++g)
    if (execGroups_[g].Name == name) return static_cast<int>(g);
  return -1;
}

std::vector<int> TProject::SortTable() {
  const int count = static_cast<int>(execGroups_.size());
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
    execGroups_.push_back(std::move(old[order[i]]));
    names.push_back(execGroups_.back().Name);
  }
  if (View) View->GroupListsRefilled(names);
  for (TTRVMenuItem& item : menuItems_)
    if (item.Assignment > 0 && item.Assignment <= count) item.Assignment = newPos[item.Assignment - 1] + 1;
  return newPos;
}

int TProject::SortExecGroups(int selected) {
  if (selected >= static_cast<int>(execGroups_.size())) RaiseListIndexError(selected);
  const std::vector<int> newPos = SortTable();
  for (size_t i = 0; i < newPos.size(); ++i)
    if (newPos[i] != static_cast<int>(i)) {
      state_ = ++lastState_;
      break;
    }
  ReportModified();
  return selected >= 0 ? newPos[selected] : -1;
}

int TProject::AddExecGroup(const TExecGroup& group) {
  TProjectStep step;
  step.Op = TProjectStep::opAddGroup;
  step.Group = group;
  execGroups_.push_back(group);
  step.OldToNew = SortTable();
  const int position = step.OldToNew.back();
  // The new group was no old one.
  step.OldToNew.pop_back();
  Record(std::move(step));
  return position;
}

void TProject::RemoveExecGroup(int index) {
  CheckGroupIndex(index);
  TProjectStep step;
  step.Op = TProjectStep::opRemoveGroup;
  step.GroupIndex = index;
  const std::string name = execGroups_[index].Name;
  for (size_t e = 0; e < menuItems_.size(); ++e) {
    TTRVMenuItem& item = menuItems_[e];
    if (item.Assignment == index + 1) {
      step.Unbound.push_back({static_cast<int>(e), item.Assignment});
      item.Assignment = 0;
    } else if (item.Assignment > index + 1) {
      item.Assignment--;
    }
  }
  for (int g = 0; g < static_cast<int>(execGroups_.size()); ++g) {
    if (g == index) continue;
    bool saved = false;
    for (TExecLine& line : execGroups_[g].Lines) {
      if (line.Kind == lkCallGroup && CalledGroupName(line.Params) == name) {
        if (!saved) step.OldContents.push_back({g, execGroups_[g]});
        saved = true;
        line.Kind = lkNoAction;
        line.Params = NoActionParams;
      }
    }
  }
  // The removed group itself, to be put back.
  step.OldContents.push_back({index, execGroups_[index]});
  for (int g = 0; g < static_cast<int>(execGroups_.size()); ++g)
    step.OldToNew.push_back(g < index ? g : g == index ? -1 : g - 1);
  execGroups_.erase(execGroups_.begin() + index);
  Record(std::move(step));
}

int TProject::ChangeExecGroup(int index, const TExecGroup& changed) {
  CheckGroupIndex(index);
  TProjectStep step;
  step.Op = TProjectStep::opChangeGroup;
  step.GroupIndex = index;
  step.Group = changed;
  const std::string oldName = execGroups_[index].Name;
  const std::string newCall = "\"" + changed.Name + "\"";
  step.OldContents.push_back({index, execGroups_[index]});
  for (int g = 0; g < static_cast<int>(execGroups_.size()); ++g) {
    bool saved = g == index;
    for (TExecLine& line : execGroups_[g].Lines) {
      if (line.Kind == lkCallGroup && CalledGroupName(line.Params) == oldName) {
        if (!saved) step.OldContents.push_back({g, execGroups_[g]});
        saved = true;
        line.Params = newCall;
      }
    }
  }
  execGroups_[index] = changed;
  // The new lines may call the group itself under its old name too.
  for (TExecLine& line : execGroups_[index].Lines)
    if (line.Kind == lkCallGroup && CalledGroupName(line.Params) == oldName) line.Params = newCall;
  step.OldToNew = SortTable();
  const int position = step.OldToNew[index];
  Record(std::move(step));
  return position;
}

void TProject::ImportMenu(const std::vector<TTRVMenuItem>& menu, const std::vector<TExecGroup>& groups) {
  TProjectStep step;
  step.Op = TProjectStep::opImport;
  step.ImportedMenu = menu;
  step.ImportedGroups = groups;
  step.MenuRemoved = menuItems_;
  const int32_t first = static_cast<int32_t>(execGroups_.size());
  execGroups_.insert(execGroups_.end(), groups.begin(), groups.end());
  menuItems_ = menu;
  for (TTRVMenuItem& entry : menuItems_)
    if (entry.Assignment > 0) entry.Assignment += first;
  step.OldToNew = SortTable();
  // The groups it brought were no old ones.
  step.OldToNew.resize(first);
  step.MenuInserted = menuItems_;
  Record(std::move(step));
}

void TProject::ChangeMenuSetting(bool useMenu) {
  TProjectStep step;
  step.Op = TProjectStep::opMenuSetting;
  step.Setting = useMenu;
  useMenu_ = useMenu;
  Record(std::move(step));
}

void TProject::RevertGroups(const TProjectStep& step) {
  std::vector<TExecGroup> now;
  now.swap(execGroups_);
  std::vector<int> newToOld(now.size(), -1);
  for (size_t j = 0; j < step.OldToNew.size(); ++j)
    if (step.OldToNew[j] >= 0) newToOld[step.OldToNew[j]] = static_cast<int>(j);
  execGroups_.resize(step.OldToNew.size());
  for (size_t j = 0; j < step.OldToNew.size(); ++j)
    if (step.OldToNew[j] >= 0) execGroups_[j] = std::move(now[step.OldToNew[j]]);
  for (const auto& old : step.OldContents) execGroups_[old.first] = old.second;
  const int count = static_cast<int>(now.size());
  for (TTRVMenuItem& item : menuItems_)
    if (item.Assignment > 0 && item.Assignment <= count && newToOld[item.Assignment - 1] >= 0)
      item.Assignment = newToOld[item.Assignment - 1] + 1;
  for (const auto& unbound : step.Unbound) menuItems_[unbound.first].Assignment = unbound.second;
}

void TProject::Revert(const TProjectStep& step) {
  switch (step.Op) {
    case TProjectStep::opMenu:
      Splice(step.MenuStart, step.MenuInserted.size(), step.MenuRemoved);
      break;
    case TProjectStep::opMenuSetting:
      useMenu_ = !step.Setting;
      break;
    case TProjectStep::opImport:
      // The old menu list comes back with its own assignments.
      RevertGroups(step);
      menuItems_ = step.MenuRemoved;
      break;
    default:
      RevertGroups(step);
      break;
  }
  state_ = step.StateBefore;
  Report(step, swUndone);
  ReportModified();
}

void TProject::Apply(const TProjectStep& step) {
  {
    // The project is as the step found it: running the operation again does
    // what it did then.
    replaying_ = true;
    struct TReplay {
      bool& flag;
      ~TReplay() { flag = false; }
    } replay{replaying_};
    switch (step.Op) {
      case TProjectStep::opMenu:
        Splice(step.MenuStart, step.MenuRemoved.size(), step.MenuInserted);
        break;
      case TProjectStep::opAddGroup:
        AddExecGroup(step.Group);
        break;
      case TProjectStep::opRemoveGroup:
        RemoveExecGroup(step.GroupIndex);
        break;
      case TProjectStep::opChangeGroup:
        ChangeExecGroup(step.GroupIndex, step.Group);
        break;
      case TProjectStep::opMenuSetting:
        useMenu_ = step.Setting;
        break;
      case TProjectStep::opImport:
        ImportMenu(step.ImportedMenu, step.ImportedGroups);
        break;
    }
  }
  state_ = step.StateAfter;
  Report(step, swRedone);
  ReportModified();
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

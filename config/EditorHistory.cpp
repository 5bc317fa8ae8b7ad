#include "config/EditorHistory.h"

#include <algorithm>

namespace {
bool IsMenuStep(const TProjectStep& step) {
  return step.Op == TProjectStep::opMenu || step.Op == TProjectStep::opMenuSetting ||
         step.Op == TProjectStep::opImport;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }
}  // namespace

TEditorHistory::TEditorHistory(TProject& project, TMenuEditor& menu, TGroupEditor& groups)
    : project_(project), menu_(menu), groups_(groups) {
  project_.AddObserver(*this);
  groups_.History = this;
}

TEditorHistory::~TEditorHistory() {
  project_.RemoveObserver(*this);
  if (groups_.History == this) groups_.History = nullptr;
}

void TEditorHistory::StepReported(const TProjectStep& step, TStepWay way) {
  if (way != swDone) return;
  undo_.push_back({false, step, {}});
  redo_.clear();
}

void TEditorHistory::ProjectRestarted() {
  undo_.clear();
  redo_.clear();
}

void TEditorHistory::LinesStepTaken(TLinesStep step) {
  undo_.push_back({true, {}, std::move(step)});
  redo_.clear();
}

void TEditorHistory::LinesReloaded() {
  for (std::vector<TStep>* steps : {&undo_, &redo_})
    steps->erase(std::remove_if(steps->begin(), steps->end(), [](const TStep& s) { return s.Lines; }), steps->end());
}

// The menu's steps and the working list's touch different things, so each
// editor may take back its own while the other's newer steps stay. The
// groups' steps are the project's too, and the project's steps go back in
// their order: a menu step after a group's keeps it until it is taken back
// in the tree.
int TEditorHistory::Target(const std::vector<TStep>& steps, TEditorScope scope) {
  const int count = static_cast<int>(steps.size());
  if (scope == esAll) return count - 1;
  int project = -1, lines = -1;
  for (int i = count - 1; i >= 0 && (project < 0 || lines < 0); --i) {
    int& newest = steps[static_cast<size_t>(i)].Lines ? lines : project;
    if (newest < 0) newest = i;
  }
  const bool menuStep = project >= 0 && IsMenuStep(steps[static_cast<size_t>(project)].Project);
  if (scope == esMenu) return menuStep ? project : -1;
  // The working list's steps come first: a group's commit reloads the list
  // and drops them, so they are newer than any group step.
  if (lines >= 0) return lines;
  return project >= 0 && !menuStep ? project : -1;
}

bool TEditorHistory::Undo(TEditorScope scope) { return Walk(undo_, redo_, scope, true); }

bool TEditorHistory::Redo(TEditorScope scope) { return Walk(redo_, undo_, scope, false); }

bool TEditorHistory::Walk(std::vector<TStep>& from, std::vector<TStep>& to, TEditorScope scope, bool undo) {
  const int target = Target(from, scope);
  if (target < 0) return false;
  to.push_back(std::move(from[static_cast<size_t>(target)]));
  from.erase(from.begin() + target);
  // Shown from a copy: showing may reload the working list, which drops
  // the list's steps.
  const TStep step = to.back();
  if (step.Lines) {
    const TLinesStep& lines = step.LinesStep;
    groups_.LinesRestored(undo ? lines.Before : lines.After, undo ? lines.RowBefore : lines.RowAfter);
    return true;
  }
  if (undo)
    project_.Revert(step.Project);
  else
    project_.Apply(step.Project);
  Show(step.Project, undo);
  return true;
}

std::string TEditorHistory::UndoText(TEditorScope scope) const {
  const int target = Target(undo_, scope);
  if (target < 0) return std::string();
  if (undo_[static_cast<size_t>(target)].Lines) return "die letzte Änderung der Befehlszeilen";
  const TProjectStep& step = undo_[static_cast<size_t>(target)].Project;
  switch (step.Op) {
    case TProjectStep::opMenu:
      if (step.MenuRemoved.empty() && !step.MenuInserted.empty())
        return "den neuen Eintrag " + Quoted(step.MenuInserted.front().Text);
      if (step.MenuInserted.empty() && !step.MenuRemoved.empty())
        return "das Löschen des Eintrags " + Quoted(step.MenuRemoved.front().Text);
      if (step.MenuRemoved.size() == 1 && step.MenuInserted.size() == 1)
        return "die Änderung des Eintrags " + Quoted(step.MenuRemoved.front().Text);
      return "das Verschieben von Menüeinträgen";
    case TProjectStep::opMenuSetting:
      return step.Setting ? "das Einschalten der Menüstruktur" : "das Ausschalten der Menüstruktur";
    case TProjectStep::opImport:
      return "das Menü aus dem Ordner";
    case TProjectStep::opAddGroup:
      return "die neue Gruppe " + Quoted(step.Group.Name);
    case TProjectStep::opRemoveGroup:
      return "das Löschen der Gruppe " + Quoted(step.OldContents.empty() ? std::string() : step.OldContents.back().second.Name);
    default:
      return "die Änderung der Gruppe " + Quoted(step.Group.Name);
  }
}

void TEditorHistory::Import(const std::vector<TTRVMenuItem>& menu, const std::vector<TExecGroup>& groups) {
  project_.ImportMenu(menu, groups);
  Show(undo_.back().Project, false);
}

void TEditorHistory::Show(const TProjectStep& step, bool undone) {
  switch (step.Op) {
    case TProjectStep::opMenu:
      menu_.MenuRestored(step.MenuStart, undone ? step.MenuInserted : step.MenuRemoved,
                         static_cast<int>((undone ? step.MenuRemoved : step.MenuInserted).size()));
      break;
    case TProjectStep::opImport:
      groups_.GroupsRestored(std::string());
      menu_.MenuRestored(0, undone ? step.MenuInserted : step.MenuRemoved,
                         static_cast<int>((undone ? step.MenuRemoved : step.MenuInserted).size()));
      break;
    case TProjectStep::opMenuSetting:
      if (project_.View) project_.View->SetMenuSetting(project_.UseMenu());
      break;
    case TProjectStep::opAddGroup:
      groups_.GroupsRestored(undone ? std::string() : step.Group.Name);
      break;
    case TProjectStep::opRemoveGroup:
      groups_.GroupsRestored(undone ? step.OldContents.back().second.Name : std::string());
      break;
    case TProjectStep::opChangeGroup:
      groups_.GroupsRestored(undone ? step.OldContents.front().second.Name : step.Group.Name);
      break;
  }
}

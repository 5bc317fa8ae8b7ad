#include "config/EditorHistory.h"

namespace {
bool IsMenuStep(const TProjectStep& step) {
  return step.Op == TProjectStep::opMenu || step.Op == TProjectStep::opMenuSetting ||
         step.Op == TProjectStep::opImport;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }
}  // namespace

// The menu's steps and the working list's touch different things, so each
// editor may take back its own while the other's newer steps stay. The
// groups' steps are the project's too: a menu step after them keeps them
// until it is taken back in the tree.
TEditorHistory::TTarget TEditorHistory::UndoTarget(TEditorScope scope) const {
  const bool lines = groups_.UndoSerial() != 0, project = project_.CanUndo();
  switch (scope) {
    case esGroups:
      // The working list's steps are newer than any group's: a commit
      // reloads the list and drops them.
      if (lines) return tgLines;
      return project && !IsMenuStep(project_.UndoStep()) ? tgProject : tgNone;
    case esMenu:
      return project && IsMenuStep(project_.UndoStep()) ? tgProject : tgNone;
    default:
      if (lines && groups_.UndoSerial() > project_.UndoSerial()) return tgLines;
      return project ? tgProject : tgNone;
  }
}

TEditorHistory::TTarget TEditorHistory::RedoTarget(TEditorScope scope) const {
  // The redo stacks hold the undone steps newest last: the one undone last
  // has the smallest serial of the two tops.
  const long lines = groups_.RedoSerial(), project = project_.RedoSerial();
  const bool linesFirst = lines != 0 && (project == 0 || lines < project);
  switch (scope) {
    case esGroups:
      if (lines != 0) return tgLines;
      return project != 0 && !IsMenuStep(project_.RedoStep()) ? tgProject : tgNone;
    case esMenu:
      return project != 0 && IsMenuStep(project_.RedoStep()) ? tgProject : tgNone;
    default:
      return linesFirst ? tgLines : project != 0 ? tgProject : tgNone;
  }
}

bool TEditorHistory::Undo(TEditorScope scope) {
  switch (UndoTarget(scope)) {
    case tgLines:
      return groups_.UndoLines();
    case tgProject: {
      const TProjectStep* step = project_.Undo();
      if (step) Show(*step, true);
      return step != nullptr;
    }
    default:
      return false;
  }
}

bool TEditorHistory::Redo(TEditorScope scope) {
  switch (RedoTarget(scope)) {
    case tgLines:
      return groups_.RedoLines();
    case tgProject: {
      const TProjectStep* step = project_.Redo();
      if (step) Show(*step, false);
      return step != nullptr;
    }
    default:
      return false;
  }
}

std::string TEditorHistory::UndoText(TEditorScope scope) const {
  const TTarget target = UndoTarget(scope);
  if (target == tgLines) return "die letzte Änderung der Befehlszeilen";
  if (target == tgNone) return std::string();
  const TProjectStep& step = project_.UndoStep();
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
  Show(project_.UndoStep(), false);
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

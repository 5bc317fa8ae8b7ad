#include "config/EditorHistory.h"

bool TEditorHistory::Undo() {
  if (groups_.UndoSerial() > project_.UndoSerial()) return groups_.UndoLines();
  const TProjectStep* step = project_.Undo();
  if (step) Show(*step, true);
  return step != nullptr;
}

bool TEditorHistory::Redo() {
  // The redo stacks hold the undone steps newest last: the one undone last
  // has the smallest serial of the two tops.
  const long lines = groups_.RedoSerial(), project = project_.RedoSerial();
  if (lines != 0 && (project == 0 || lines < project)) return groups_.RedoLines();
  const TProjectStep* step = project_.Redo();
  if (step) Show(*step, false);
  return step != nullptr;
}

void TEditorHistory::Import(const std::vector<TTRVMenuItem>& menu, const std::vector<TExecGroup>& groups) {
  project_.ImportMenu(menu, groups);
  Show(project_.UndoStep(), false);
}

void TEditorHistory::Show(const TProjectStep& step, bool undone) {
  switch (step.Op) {
    case TProjectStep::opMenu:
      menu_.MenuRestored(step.MenuStart);
      break;
    case TProjectStep::opImport:
      groups_.GroupsRestored(std::string());
      menu_.MenuRestored(0);
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

// Undo and redo of the editor page: the project's history and the working
// list's, walked as one. Ctrl+Z takes back the newest step of either, Ctrl+Y
// does the last undone step again; the editors show what changed.
// Portable: no platform types.
#pragma once

#include "config/GroupEditorPresenter.h"
#include "config/MenuEditorPresenter.h"
#include "model/Project.h"

class TEditorHistory {
 public:
  TEditorHistory(TProject& project, TMenuEditor& menu, TGroupEditor& groups)
      : project_(project), menu_(menu), groups_(groups) {}

  bool CanUndo() const { return project_.CanUndo() || groups_.UndoSerial() != 0; }
  bool CanRedo() const { return project_.CanRedo() || groups_.RedoSerial() != 0; }
  // False when there was nothing to take back or to do again.
  bool Undo();
  bool Redo();
  // A menu from elsewhere in place of the menu list, with the groups it
  // starts: one step, which both editors show.
  void Import(const std::vector<TTRVMenuItem>& menu, const std::vector<TExecGroup>& groups);

 private:
  void Show(const TProjectStep& step, bool undone);

  TProject& project_;
  TMenuEditor& menu_;
  TGroupEditor& groups_;
};

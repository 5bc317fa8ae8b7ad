// Undo and redo of the editor page: the project's history and the working
// list's, walked as one. Ctrl+Z takes back the newest step of either, Ctrl+Y
// does the last undone step again; the editors show what changed. Where the
// user is in one editor, the keys act on that editor's steps alone.
// Portable: no platform types.
#pragma once

#include <string>

#include "config/GroupEditorPresenter.h"
#include "config/MenuEditorPresenter.h"
#include "model/Project.h"

// Where undo and redo act: on the newest step of either history, on the
// menu's steps (the tree's editor: entries, the menu setting, a menu from a
// folder), or on the group editor's (the working list's lines first, then
// the groups' commits and deletions).
enum TEditorScope { esAll, esMenu, esGroups };

class TEditorHistory {
 public:
  TEditorHistory(TProject& project, TMenuEditor& menu, TGroupEditor& groups)
      : project_(project), menu_(menu), groups_(groups) {}

  bool CanUndo() const { return project_.CanUndo() || groups_.UndoSerial() != 0; }
  bool CanRedo() const { return project_.CanRedo() || groups_.RedoSerial() != 0; }
  // False when there was nothing to take back or to do again.
  bool Undo(TEditorScope scope = esAll);
  bool Redo(TEditorScope scope = esAll);
  // What Undo would take back in the scope, as the user names it; "" when
  // nothing.
  std::string UndoText(TEditorScope scope) const;
  // A menu from elsewhere in place of the menu list, with the groups it
  // starts: one step, which both editors show.
  void Import(const std::vector<TTRVMenuItem>& menu, const std::vector<TExecGroup>& groups);

 private:
  void Show(const TProjectStep& step, bool undone);
  // Which history the keys act on in the scope.
  enum TTarget { tgNone, tgLines, tgProject };
  TTarget UndoTarget(TEditorScope scope) const;
  TTarget RedoTarget(TEditorScope scope) const;

  TProject& project_;
  TMenuEditor& menu_;
  TGroupEditor& groups_;
};

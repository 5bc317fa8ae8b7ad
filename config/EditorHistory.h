// Undo and redo of the editor page: one history of every step, the
// project's and the working list's, in the order they were taken. Ctrl+Z
// takes back the newest step, Ctrl+Y does the last undone step again; the
// editors show what changed. Where the user is in one editor, the keys act
// on that editor's steps alone. Portable: no platform types.
#pragma once

#include <string>
#include <vector>

#include "config/GroupEditorPresenter.h"
#include "config/MenuEditorPresenter.h"
#include "model/Project.h"

// Where undo and redo act: on the newest step of either editor, on the
// menu's steps (the tree's editor: entries, the menu setting, a menu from a
// folder), or on the group editor's (the working list's lines first, then
// the groups' commits and deletions).
enum TEditorScope { esAll, esMenu, esGroups };

class TEditorHistory : public IProjectObserver, public ILinesHistory {
 public:
  TEditorHistory(TProject& project, TMenuEditor& menu, TGroupEditor& groups);
  ~TEditorHistory() override;
  TEditorHistory(const TEditorHistory&) = delete;
  TEditorHistory& operator=(const TEditorHistory&) = delete;

  bool CanUndo() const { return !undo_.empty(); }
  bool CanRedo() const { return !redo_.empty(); }
  // False when there was nothing to take back or to do again.
  bool Undo(TEditorScope scope = esAll);
  bool Redo(TEditorScope scope = esAll);
  // What Undo would take back in the scope, as the user names it; "" when
  // nothing.
  std::string UndoText(TEditorScope scope) const;
  // A menu from elsewhere in place of the menu list, with the groups it
  // starts: one step, which both editors show.
  void Import(const std::vector<TTRVMenuItem>& menu, const std::vector<TExecGroup>& groups);

  void StepReported(const TProjectStep& step, TStepWay way) override;
  void ProjectRestarted() override;
  void LinesStepTaken(TLinesStep step) override;
  void LinesReloaded() override;

 private:
  struct TStep {
    bool Lines = false;
    TProjectStep Project;
    TLinesStep LinesStep;
  };
  // The step of the list the keys act on in the scope: its place, -1 for
  // none.
  static int Target(const std::vector<TStep>& steps, TEditorScope scope);
  // Takes the scope's step from one list to the other, taken back (undo)
  // or done again, and shows it.
  bool Walk(std::vector<TStep>& from, std::vector<TStep>& to, TEditorScope scope, bool undo);
  void Show(const TProjectStep& step, bool undone);

  TProject& project_;
  TMenuEditor& menu_;
  TGroupEditor& groups_;
  // Oldest first; the redo list holds the steps undone, the one undone
  // last at its end.
  std::vector<TStep> undo_, redo_;
};

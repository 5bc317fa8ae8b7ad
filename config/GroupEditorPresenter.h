// The command-line group editor without its window: which group is chosen,
// the name being typed, the working copy of the group's lines and the
// selected row, and the rules that keep the buttons in step with them. The
// window draws what it is told on its group list, name field and list of
// rows, and reports what the user does. Portable: no platform types.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "config/CommandLines.h"
#include "model/Project.h"

enum TGroupButton {
  geNewExec,
  geEditExec,
  geDelExec,
  geTestExecLines,
  geEditExecLine,
  geDelExecLine,
};

// What the window shows for the group editor. Row numbers are those of the
// working list as it is at the time of the call.
class IGroupEditorView {
 public:
  virtual ~IGroupEditorView() = default;
  // Replaces the group list's items; nothing is selected afterwards.
  virtual void ShowGroupItems(const std::vector<std::string>& items) = 0;
  // Selects an item of the group list, -1: none.
  virtual void SelectGroupItem(int item) = 0;
  virtual void ShowName(const std::string& name) = 0;
  // Replaces all rows; no row is selected afterwards.
  virtual void ShowRows(const std::vector<TLineRow>& rows) = 0;
  // Inserts rows so that the first of them is row `at` (at == count:
  // appended).
  virtual void InsertRows(int at, const std::vector<TLineRow>& rows) = 0;
  virtual void DeleteRows(int at, int count) = 0;
  virtual void ChangeRow(int row, const TLineRow& shown) = 0;
  // Selects a row, -1: none.
  virtual void SelectRow(int row) = 0;
  virtual void SetEnabled(TGroupButton button, bool enabled) = 0;
  // The group table changed (a group added, renamed, re-sorted or deleted):
  // the other lists of groups and the menu entry's assignment shown must
  // follow.
  virtual void GroupTableChanged() = 0;
  virtual void FocusGroupList() = 0;
  virtual void FocusRows() = 0;
};

// A change of the working list's lines: the list before and after, with
// the row selected then.
struct TLinesStep {
  std::vector<TExecLine> Before, After;
  int RowBefore = -1, RowAfter = -1;
};

// Where the group editor's line changes go: the history, which keeps them
// among the project's steps.
class ILinesHistory {
 public:
  virtual ~ILinesHistory() = default;
  virtual void LinesStepTaken(TLinesStep step) = 0;
  // The working list was loaded afresh: its earlier steps no longer apply.
  virtual void LinesReloaded() = 0;
};

class TGroupEditor {
 public:
  TGroupEditor(TProject& project, IGroupEditorView& view);
  TGroupEditor(const TGroupEditor&) = delete;
  TGroupEditor& operator=(const TGroupEditor&) = delete;

  // The chosen group, -1 while none is (a new group is being put together).
  int SelectedGroup() const { return group_; }
  // The selected row of the working list, -1: none.
  int SelectedRow() const { return row_; }
  const std::string& Name() const { return name_; }
  // The working list: the lines the test run and a commit take.
  const std::vector<TExecLine>& WorkingLines() const { return lines_; }
  // The group list's items: the project's group names, then
  // "Neue Befehlszeilenfolge".
  std::vector<std::string> GroupItems() const;

  // The user chose this item of the group list (-1: none). Changed lines
  // are asked about first (LeaveLines); when the user stays, the list shows
  // the group chosen before.
  void GroupChosen(int item);
  // The working list differs from what it was loaded with: the chosen
  // group's lines in the project, or none for a new group.
  bool LinesChanged() const;
  // Before the user leaves changed lines (another group, the menu entry's
  // fields, another page, the window closed), asked as the save prompt
  // asks: "Ja" takes them over into the chosen group (or makes the new
  // group of the typed name), "Nein" drops them, "Abbrechen" stays. True
  // when the caller may go on; nothing is asked while nothing changed.
  bool LeaveLines();
  // The system's exclamation sound before the question, as the save prompt
  // plays it.
  std::function<void()> Beep;
  // The name field's text changed.
  void NameChanged(const std::string& name);
  // "Neu" and "Bearbeiten" of the group: the working list committed under
  // the typed name. False when the name is refused (nothing changes).
  bool CommitNew();
  bool CommitEdit();
  // "Löschen" of the group; false when no group is chosen.
  bool DeleteGroup();

  // The list reports its selected row.
  void RowSelected(int row);
  // The line the command-line dialog edits: the selected row's, when it can
  // be edited; otherwise null.
  const TExecLine* LineToEdit() const;
  // The dialog's new line, at the selected row (the rows from there move
  // down) or appended when none is selected; a question brings its
  // branches.
  void ApplyNewLine(const TExecLine& line);
  // The dialog's line replacing the one at row. A question that becomes
  // another kind takes its branch structure with it; a line that becomes a
  // question gets a fresh one.
  void ApplyEditedLine(int row, const TExecLine& line);
  // Lines dropped onto the list: before the row they were dropped on, or
  // appended (at -1), in their order; one step of the history.
  void ApplyDroppedLines(int at, const std::vector<TExecLine>& lines);
  // Deletes the selected row, a question with its branch structure; false
  // when the row may not go.
  bool DeleteRow();

  // A finding of the project check: the group chosen as the user chooses
  // it (changed lines asked about first), the line selected when the
  // working list has it.
  void ShowGroupByName(const std::string& name, int line);

  // The project's group lists now hold these names (the model re-sorted
  // them, or a reset emptied them): the group list shows them with nothing
  // chosen; name and rows stay as they are.
  void Refill(const std::vector<std::string>& names);
  // The editor half of a project reset: nothing chosen, name and rows
  // emptied, the buttons off.
  void Reset();

  // Where the line changes are kept; none: not kept.
  ILinesHistory* History = nullptr;
  // A line change taken back or done again: the working list shows these
  // lines with this row selected.
  void LinesRestored(const std::vector<TExecLine>& lines, int row);
  // The project's groups were taken back or done again: the lists follow,
  // and the group of that name is chosen and loaded afresh ("": the group
  // chosen before, by its name).
  void GroupsRestored(const std::string& name);

 private:
  std::vector<std::string> Captions() const;
  void Load(int group);
  // "Ja" of LeaveLines: the working list becomes the chosen group's lines.
  void TakeOverLines();
  void ShowNameButtons();
  void ShowRowButtons();
  void InsertLines(int at, const std::vector<TExecLine>& lines);
  void EraseLines(int at, int count);
  void RecordLines(std::vector<TExecLine> before, int rowBefore);

  TProject& project_;
  IGroupEditorView& view_;
  int group_ = -1;
  std::string name_;
  std::vector<TExecLine> lines_;
  int row_ = -1;
  // While the editor changes the view (see TViewChange).
  bool changing_ = false;
};

#include "config/GroupEditorPresenter.h"

#include "config/ViewChange.h"
#include "model/Platform.h"

namespace {
std::vector<TLineRow> RowsOf(const std::vector<TExecLine>& lines) {
  std::vector<TLineRow> rows;
  rows.reserve(lines.size());
  for (const TExecLine& line : lines) rows.push_back(RowOfLine(line));
  return rows;
}

bool SameLines(const std::vector<TExecLine>& a, const std::vector<TExecLine>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i].Kind != b[i].Kind || a[i].Params != b[i].Params) return false;
  return true;
}

std::vector<TExecLine> NewBranchLines() {
  std::vector<TExecLine> lines;
  for (const TLineRow& row : NewBranchRows()) lines.push_back(LineOfRow(row));
  return lines;
}
}  // namespace

TGroupEditor::TGroupEditor(TProject& project, IGroupEditorView& view) : project_(project), view_(view) {}

std::vector<std::string> TGroupEditor::GroupItems() const {
  std::vector<std::string> items = project_.GroupNames();
  items.push_back(NewGroupItem);
  return items;
}

std::vector<std::string> TGroupEditor::Captions() const {
  // The branch rules count rows as the list shows them: by caption.
  std::vector<std::string> captions;
  captions.reserve(lines_.size());
  for (const TExecLine& line : lines_) captions.push_back(RowOfLine(line).Caption);
  return captions;
}

void TGroupEditor::ShowNameButtons() {
  const std::vector<std::string> items = GroupItems();
  view_.SetEnabled(geNewExec, CanCreateGroup(items, name_));
  view_.SetEnabled(geEditExec, CanChangeGroup(items, name_, group_));
}

void TGroupEditor::ShowRowButtons() {
  const std::vector<std::string> captions = Captions();
  view_.SetEnabled(geEditExecLine, CanEditRow(captions, row_));
  view_.SetEnabled(geDelExecLine, CanDeleteRow(captions, row_));
}

void TGroupEditor::Load(int group) {
  TViewChange change(changing_);
  if (History) History->LinesReloaded();
  group_ = group;
  view_.SelectGroupItem(group);
  lines_ = group < 0 ? std::vector<TExecLine>() : project_.ExecGroup(group).Lines;
  name_ = group < 0 ? std::string() : project_.ExecGroup(group).Name;
  row_ = -1;
  view_.ShowRows(RowsOf(lines_));
  view_.ShowName(name_);
  // The name field reports the name set as typed, so both name buttons end
  // as the name rules have them: "Bearbeiten" stays off for a group whose
  // name the file cannot hold, or that shares its name with an earlier one.
  ShowNameButtons();
  view_.SetEnabled(geDelExec, group >= 0);
  view_.SetEnabled(geTestExecLines, !lines_.empty());
  ShowRowButtons();
}

void TGroupEditor::GroupChosen(int item) {
  const size_t count = project_.ExecGroups().size();
  // The last item is the way to a new group: nothing is chosen then.
  int chosen = item >= 0 && static_cast<size_t>(item) < count ? item : -1;
  const std::string name = chosen >= 0 ? project_.ExecGroup(chosen).Name : std::string();
  if (!LeaveLines()) {
    TViewChange change(changing_);
    view_.SelectGroupItem(group_);
    return;
  }
  // A new group taken over moved the later ones down.
  if (chosen >= 0 && project_.ExecGroups().size() != count) chosen = project_.FindExecGroup(name);
  Load(chosen);
}

bool TGroupEditor::LinesChanged() const {
  return !SameLines(lines_, group_ >= 0 ? project_.ExecGroup(group_).Lines : std::vector<TExecLine>());
}

bool TGroupEditor::LeaveLines() {
  if (!LinesChanged()) return true;
  if (Beep) Beep();
  // A new group can be made only under a name the group list takes.
  const bool canTakeOver = group_ >= 0 || CanCreateGroup(GroupItems(), name_);
  std::string text;
  if (group_ >= 0)
    text = "Die Befehlszeilen der Gruppe \"" + project_.ExecGroup(group_).Name +
           "\" wurden geändert. Möchten Sie die Änderungen vorher in die Gruppe übernehmen?";
  else if (canTakeOver)
    text = "Möchten Sie die neuen Befehlszeilen vorher als Gruppe \"" + name_ + "\" übernehmen?";
  else
    text = "Die neuen Befehlszeilen haben noch keinen gültigen Gruppennamen und gehen verloren. Möchten Sie "
           "trotzdem fortfahren?";
  const int answer =
      Platform.MessageBoxes->Show(text, "Warnung", (canTakeOver ? mbYesNoCancel : mbYesNo) | mbIconWarning);
  if (canTakeOver && answer == idYes) {
    if (group_ >= 0)
      TakeOverLines();
    else
      CommitNew();
    return true;
  }
  if (answer != (canTakeOver ? idNo : idYes)) return false;
  // Dropped: the working list shows the group as the project has it.
  Load(group_);
  return true;
}

void TGroupEditor::TakeOverLines() {
  // The lines alone: a name typed meanwhile is "Bearbeiten"'s to commit.
  const int position = project_.ChangeExecGroup(group_, {project_.ExecGroup(group_).Name, lines_});
  view_.ShowGroupItems(GroupItems());
  view_.GroupTableChanged();
  Load(position);
}

void TGroupEditor::NameChanged(const std::string& name) {
  if (changing_) return;
  name_ = name;
  ShowNameButtons();
}

bool TGroupEditor::CommitNew() {
  if (!CanCreateGroup(GroupItems(), name_)) return false;
  const int position = project_.AddExecGroup({name_, lines_});
  view_.ShowGroupItems(GroupItems());
  view_.GroupTableChanged();
  Load(position);
  return true;
}

bool TGroupEditor::CommitEdit() {
  if (!CanChangeGroup(GroupItems(), name_, group_)) return false;
  const int position = project_.ChangeExecGroup(group_, {name_, lines_});
  view_.ShowGroupItems(GroupItems());
  view_.GroupTableChanged();
  Load(position);
  return true;
}

bool TGroupEditor::DeleteGroup() {
  if (group_ < 0) return false;
  project_.RemoveExecGroup(group_);
  view_.ShowGroupItems(GroupItems());
  view_.GroupTableChanged();
  Load(-1);
  return true;
}

void TGroupEditor::RowSelected(int row) {
  if (changing_) return;
  row_ = row >= 0 && static_cast<size_t>(row) < lines_.size() ? row : -1;
  ShowRowButtons();
}

const TExecLine* TGroupEditor::LineToEdit() const { return CanEditRow(Captions(), row_) ? &lines_[row_] : nullptr; }

// The list keeps its selection on the row it was on: rows inserted before
// it move it down, and deleting it leaves nothing selected.
void TGroupEditor::InsertLines(int at, const std::vector<TExecLine>& lines) {
  lines_.insert(lines_.begin() + at, lines.begin(), lines.end());
  view_.InsertRows(at, RowsOf(lines));
  if (row_ >= at) row_ += static_cast<int>(lines.size());
}

void TGroupEditor::EraseLines(int at, int count) {
  if (count <= 0) return;
  lines_.erase(lines_.begin() + at, lines_.begin() + at + count);
  view_.DeleteRows(at, count);
  if (row_ >= at + count)
    row_ -= count;
  else if (row_ >= at)
    row_ = -1;
}

void TGroupEditor::ApplyNewLine(const TExecLine& line) {
  std::vector<TExecLine> before = lines_;
  const int rowBefore = row_;
  {
    TViewChange change(changing_);
    const int at = row_ >= 0 ? row_ : static_cast<int>(lines_.size());
    InsertLines(at, {line});
    if (line.Kind == lkQuestion) InsertLines(at + 1, NewBranchLines());
    view_.SelectRow(row_);
  }
  view_.SetEnabled(geTestExecLines, !lines_.empty());
  ShowRowButtons();
  RecordLines(std::move(before), rowBefore);
}

void TGroupEditor::ApplyDroppedLines(int at, const std::vector<TExecLine>& lines) {
  if (lines.empty()) return;
  std::vector<TExecLine> before = lines_;
  const int rowBefore = row_;
  {
    TViewChange change(changing_);
    InsertLines(at >= 0 && static_cast<size_t>(at) <= lines_.size() ? at : static_cast<int>(lines_.size()), lines);
    view_.SelectRow(row_);
  }
  view_.SetEnabled(geTestExecLines, true);
  ShowRowButtons();
  RecordLines(std::move(before), rowBefore);
}

void TGroupEditor::ApplyEditedLine(int row, const TExecLine& line) {
  if (row < 0 || static_cast<size_t>(row) >= lines_.size()) return;
  std::vector<TExecLine> before = lines_;
  const int rowBefore = row_;
  {
    TViewChange change(changing_);
    const int before = lines_[row].Kind;
    lines_[row] = line;
    view_.ChangeRow(row, RowOfLine(line));
    if (line.Kind == lkQuestion && before != lkQuestion) {
      InsertLines(row + 1, NewBranchLines());
    } else if (before == lkQuestion && line.Kind != lkQuestion) {
      EraseLines(row + 1, BranchRowCount(Captions(), row));
    }
    view_.SelectRow(row_);
  }
  ShowRowButtons();
  RecordLines(std::move(before), rowBefore);
}

bool TGroupEditor::DeleteRow() {
  const std::vector<std::string> captions = Captions();
  if (!CanDeleteRow(captions, row_)) return false;
  std::vector<TExecLine> before = lines_;
  const int rowBefore = row_;
  {
    TViewChange change(changing_);
    const int branch = lines_[row_].Kind == lkQuestion ? BranchRowCount(captions, row_) : 0;
    EraseLines(row_, 1 + branch);
    view_.SelectRow(row_);
  }
  view_.SetEnabled(geTestExecLines, !lines_.empty());
  ShowRowButtons();
  RecordLines(std::move(before), rowBefore);
  return true;
}

void TGroupEditor::RecordLines(std::vector<TExecLine> before, int rowBefore) {
  if (History) History->LinesStepTaken({std::move(before), lines_, rowBefore, row_});
}

void TGroupEditor::LinesRestored(const std::vector<TExecLine>& lines, int row) {
  {
    TViewChange change(changing_);
    lines_ = lines;
    view_.ShowRows(RowsOf(lines_));
    row_ = row >= 0 && static_cast<size_t>(row) < lines_.size() ? row : -1;
    view_.SelectRow(row_);
  }
  view_.SetEnabled(geTestExecLines, !lines_.empty());
  ShowRowButtons();
}

void TGroupEditor::GroupsRestored(const std::string& name) {
  const std::string chosen = !name.empty() ? name : group_ >= 0 ? project_.ExecGroup(group_).Name : std::string();
  view_.ShowGroupItems(GroupItems());
  view_.GroupTableChanged();
  Load(chosen.empty() ? -1 : project_.FindExecGroup(chosen));
}

void TGroupEditor::ShowGroupByName(const std::string& name, int line) {
  if (project_.FindExecGroup(name) < 0 || !LeaveLines()) return;
  const int group = project_.FindExecGroup(name);
  if (group < 0) return;
  // Chosen as the user chooses it: the working list shows the group.
  Load(group);
  if (line >= 0 && static_cast<size_t>(line) < lines_.size()) {
    {
      TViewChange change(changing_);
      row_ = line;
      view_.SelectRow(line);
    }
    ShowRowButtons();
    view_.FocusRows();
  } else {
    view_.FocusGroupList();
  }
}

void TGroupEditor::Refill(const std::vector<std::string>& names) {
  std::vector<std::string> items = names;
  items.push_back(NewGroupItem);
  view_.ShowGroupItems(items);
  group_ = -1;
}

void TGroupEditor::Reset() {
  // Called before the project empties its table: the list shows the empty
  // one already.
  view_.ShowGroupItems({NewGroupItem});
  Load(-1);
}

// The command-line group editor of the editor page: the group list, the
// group's name and its working list of command lines, which the group's
// "Neu" and "Bearbeiten" commit to the model; the test run of the working
// list.
#include "config/CheckForm.h"
#include "config/CommandLineDialog.h"
#include "config/CommandLines.h"
#include "config/MainForm.h"
#include "launcher/Interpreter.h"
#include "model/Errors.h"

namespace {
std::vector<std::string> ItemsOf(TComboBox& combo) {
  std::vector<std::string> items;
  for (int i = 0; i < combo.Count(); ++i) items.push_back(combo.Item(i));
  return items;
}
}  // namespace

std::vector<std::string> TForm1::WorkingCaptions() {
  TListView& list = Get<TListView>("ListView_ExecLines");
  std::vector<std::string> captions;
  for (int row = 0; row < list.Count(); ++row) captions.push_back(list.Cell(row, 0));
  return captions;
}

std::vector<TExecLine> TForm1::WorkingLines() {
  TListView& list = Get<TListView>("ListView_ExecLines");
  std::vector<TExecLine> lines;
  for (int row = 0; row < list.Count(); ++row) lines.push_back(LineOfRow({list.Cell(row, 0), true, list.Cell(row, 1)}));
  return lines;
}

int TForm1::SelectedGroup() {
  TComboBox& groups = Get<TComboBox>("ComboBox_ExecLines");
  const int index = groups.ItemIndex();
  return index >= 0 && index < groups.Count() - 1 ? index : -1;
}

void TForm1::ComboBox_ExecLinesChange(TControl&) {
  TComboBox& groups = Get<TComboBox>("ComboBox_ExecLines");
  // The last item is the way to a new group: nothing is selected then.
  if (groups.ItemIndex() == groups.Count() - 1) groups.SetItemIndex(-1);
  const int group = SelectedGroup();
  if (group >= static_cast<int>(ExecGroups.size())) RaiseListIndexError(group);
  Control("Button_NewExec").SetEnabled(false);
  Control("Button_EditExec").SetEnabled(group >= 0);
  Control("Button_DelExec").SetEnabled(group >= 0);
  Control("Button_TestExecLines").SetEnabled(group >= 0 && !ExecGroups[group].Lines.empty());
  TListView& list = Get<TListView>("ListView_ExecLines");
  list.Clear();
  Get<TEdit>("Edit_ExecName").SetText(group < 0 ? std::string() : ExecGroups[group].Name);
  if (group >= 0) {
    for (const TExecLine& line : ExecGroups[group].Lines) {
      const TLineRow row = RowOfLine(line);
      if (row.HasParam)
        list.InsertRow(-1, {row.Caption, row.Param});
      else
        list.InsertRow(-1, {row.Caption});
    }
  }
  ListView_ExecLinesSelectItem(list);
}

void TForm1::Edit_ExecNameChange(TControl&) {
  const std::vector<std::string> items = ItemsOf(Get<TComboBox>("ComboBox_ExecLines"));
  const std::string name = Get<TEdit>("Edit_ExecName").Text();
  Control("Button_NewExec").SetEnabled(CanCreateGroup(items, name));
  Control("Button_EditExec").SetEnabled(CanChangeGroup(items, name, SelectedGroup()));
}

void TForm1::Button_NewEditExecClick(TControl& sender) {
  const std::string name = Get<TEdit>("Edit_ExecName").Text();
  TExecGroup changed{name, WorkingLines()};
  int position;
  if (sender.Name == "Button_NewExec") {
    if (!CanCreateGroup(ItemsOf(Get<TComboBox>("ComboBox_ExecLines")), name)) return;
    ExecGroups.push_back(std::move(changed));
    position = SortExecGroups(static_cast<int>(ExecGroups.size()) - 1);
  } else {
    const int group = SelectedGroup();
    if (!CanChangeGroup(ItemsOf(Get<TComboBox>("ComboBox_ExecLines")), name, group)) return;
    position = ChangeExecGroup(group, changed);
  }
  Get<TComboBox>("ComboBox_ExecLines").SetItemIndex(position);
  TreeView_MenuChange(MenuTree().Selected());
  ComboBox_ExecLinesChange(Control("ComboBox_ExecLines"));
  ProjectModified = true;
}

void TForm1::Button_DelExecClick(TControl&) {
  const int group = SelectedGroup();
  if (group < 0) return;
  RemoveExecGroup(group);
  std::vector<std::string> names;
  for (const TExecGroup& g : ExecGroups) names.push_back(g.Name);
  GroupListsRefilled(names);
  TreeView_MenuChange(MenuTree().Selected());
  ComboBox_ExecLinesChange(Control("ComboBox_ExecLines"));
}

void TForm1::ListView_ExecLinesSelectItem(TControl&) {
  const std::vector<std::string> captions = WorkingCaptions();
  const int row = Get<TListView>("ListView_ExecLines").Selected();
  Control("Button_EditExecLine").SetEnabled(CanEditRow(captions, row));
  Control("Button_DelExecLine").SetEnabled(CanDeleteRow(captions, row));
}

void TForm1::ListView_ExecLinesDblClick(TControl& sender) {
  if (Control("Button_EditExecLine").Enabled()) Button_EditExecLineClick(sender);
}

void TForm1::Button_NewExecLineClick(TControl&) {
  TForm2& dialog = CommandLineDialog();
  dialog.Tag = -1;
  dialog.ShowModal();
  Control("Button_TestExecLines").SetEnabled(Get<TListView>("ListView_ExecLines").Count() > 0);
  ListView_ExecLinesSelectItem(Control("ListView_ExecLines"));
}

void TForm1::Button_EditExecLineClick(TControl&) {
  const int row = Get<TListView>("ListView_ExecLines").Selected();
  if (!CanEditRow(WorkingCaptions(), row)) return;
  TForm2& dialog = CommandLineDialog();
  dialog.Tag = row;
  dialog.ShowModal();
  ListView_ExecLinesSelectItem(Control("ListView_ExecLines"));
}

void TForm1::Button_DelExecLineClick(TControl&) {
  TListView& list = Get<TListView>("ListView_ExecLines");
  const int row = list.Selected();
  const std::vector<std::string> captions = WorkingCaptions();
  if (!CanDeleteRow(captions, row)) return;
  if (KindOfCaption(captions[row]) == lkQuestion)
    for (int n = BranchRowCount(captions, row); n > 0; --n) list.DeleteRow(row + 1);
  list.DeleteRow(row);
  Control("Button_TestExecLines").SetEnabled(list.Count() > 0);
  ListView_ExecLinesSelectItem(list);
}

void TForm1::Button_TestExecLinesClick(TControl&) {
  // The interpreter runs its own copy: the list may change while a started
  // program is awaited.
  const std::vector<TExecLine> lines = WorkingLines();
  bool aborted = false;
  RunExecLines(lines, aborted, 0, -1);
}

void TForm1::Button_CheckClick(TControl&) {
  TCheckForm& check = CheckWindow();
  check.ShowFindings(CheckCurrentProject());
  check.Show();
}

namespace {
// The node after this one in a depth-first walk (each node before its
// children), as the menu list orders its entries.
HTREEITEM NextInMenuOrder(const TTreeView& tree, HTREEITEM node) {
  if (HTREEITEM child = tree.FirstChild(node)) return child;
  for (; node; node = tree.ParentOf(node))
    if (HTREEITEM sibling = tree.NextSibling(node)) return sibling;
  return nullptr;
}
}  // namespace

void TForm1::ShowFinding(const TFinding& finding) {
  if (finding.MenuEntry >= 0) {
    TTreeView& tree = MenuTree();
    HTREEITEM node = tree.Root();
    for (int i = 0; node && i < finding.MenuEntry; ++i) node = NextInMenuOrder(tree, node);
    if (!node) return;
    tree.SetSelected(node);
    TreeView_MenuChange(node);
    tree.SetFocus();
    return;
  }
  int group = -1;
  for (size_t g = 0; g < ExecGroups.size() && group < 0; ++g)
    if (ExecGroups[g].Name == finding.GroupName) group = static_cast<int>(g);
  if (group < 0) return;
  // Chosen as the user chooses it: the working list shows the group.
  TComboBox& groups = Get<TComboBox>("ComboBox_ExecLines");
  groups.SetItemIndex(group);
  ComboBox_ExecLinesChange(groups);
  TListView& list = Get<TListView>("ListView_ExecLines");
  if (finding.Line >= 0 && finding.Line < list.Count()) {
    list.SetSelected(finding.Line);
    ListView_ExecLinesSelectItem(list);
    list.SetFocus();
  } else {
    groups.SetFocus();
  }
}

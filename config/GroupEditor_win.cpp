#include "config/GroupEditor_win.h"

#include <commctrl.h>

#include <algorithm>

#include "config/EditorPage.h"
#include "framework/Application.h"
#include "launcher/Interpreter.h"
#include "model/MessageBox_win.h"
#include "model/Text.h"
#include "model/Wide.h"
#include "shortcut/ShellLink.h"
#include "model/Wide_win.h"

namespace {
const char* const GroupButtonNames[] = {"Button_NewExec",       "Button_EditExec",     "Button_DelExec",
                                        "Button_TestExecLines", "Button_EditExecLine", "Button_DelExecLine"};

// The column "Typ" as wide as its longest label in the list's font, beside
// the icon when the list shows icons; the width it gains comes from the
// column "Parameter" as far as that one can spare it. Never narrower than
// the user made it.
void FitKindColumn(TListView& list) {
  HWND handle = list.Handle;
  if (!handle) return;
  int needed = 0;
  for (const char* label : LineKindLabels)
    needed = std::max(needed, static_cast<int>(SendMessageW(handle, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(W(label).c_str()))));
  // The list's own margins around a label (comctl32 measures its columns
  // this way), and the icon with its gap.
  needed += 12 + 4;
  if (HIMAGELIST images = reinterpret_cast<HIMAGELIST>(SendMessageW(handle, LVM_GETIMAGELIST, LVSIL_SMALL, 0))) {
    int cx = 0, cy = 0;
    ImageList_GetIconSize(images, &cx, &cy);
    needed += cx + 2;
  }
  const int kind = static_cast<int>(SendMessageW(handle, LVM_GETCOLUMNWIDTH, 0, 0));
  if (needed <= kind) return;
  SendMessageW(handle, LVM_SETCOLUMNWIDTH, 0, needed);
  const int param = static_cast<int>(SendMessageW(handle, LVM_GETCOLUMNWIDTH, 1, 0));
  RECT client;
  GetClientRect(handle, &client);
  const int room = client.right - needed;
  if (param > room) SendMessageW(handle, LVM_SETCOLUMNWIDTH, 1, std::max(room, param - (needed - kind)));
}

std::vector<std::string> CellsOf(const TLineRow& row) {
  if (row.HasParam) return {row.Caption, row.Param};
  return {row.Caption};
}
}  // namespace

TListView& TGroupListView::Rows() { return form_.Get<TListView>("ListView_ExecLines"); }

void TGroupListView::ShowGroupItems(const std::vector<std::string>& items) {
  TComboBox& groups = form_.Get<TComboBox>("ComboBox_ExecLines");
  groups.Clear();
  for (const std::string& item : items) groups.Add(item);
}

void TGroupListView::SelectGroupItem(int item) { form_.Get<TComboBox>("ComboBox_ExecLines").SetItemIndex(item); }

void TGroupListView::ShowName(const std::string& name) { form_.Get<TEdit>("Edit_ExecName").SetText(name); }

void TGroupListView::ShowRows(const std::vector<TLineRow>& rows) {
  TListView& list = Rows();
  FitKindColumn(list);
  list.Clear();
  for (const TLineRow& row : rows) list.InsertRow(-1, CellsOf(row));
}

void TGroupListView::InsertRows(int at, const std::vector<TLineRow>& rows) {
  TListView& list = Rows();
  FitKindColumn(list);
  for (const TLineRow& row : rows) list.InsertRow(at++, CellsOf(row));
}

void TGroupListView::DeleteRows(int at, int count) {
  TListView& list = Rows();
  for (; count > 0; --count) list.DeleteRow(at);
}

void TGroupListView::ChangeRow(int row, const TLineRow& shown) {
  TListView& list = Rows();
  list.SetCell(row, 0, shown.Caption);
  list.SetCell(row, 1, shown.HasParam ? shown.Param : std::string());
}

void TGroupListView::SelectRow(int row) { Rows().SetSelected(row); }

void TGroupListView::SetEnabled(TGroupButton button, bool enabled) {
  form_.Control(GroupButtonNames[button]).SetEnabled(enabled);
}

void TGroupListView::GroupTableChanged() {
  if (TableChanged) TableChanged();
}

void TGroupListView::FocusGroupList() { form_.Control("ComboBox_ExecLines").SetFocus(); }

void TGroupListView::FocusRows() { Rows().SetFocus(); }

// ---------------------------------------------------------------------------
// The editor page's side of the group editor

void TEditorPage::ComboBox_ExecLinesChange(TControl&) {
  groupEditor_.GroupChosen(Get<TComboBox>("ComboBox_ExecLines").ItemIndex());
}

void TEditorPage::Edit_ExecNameChange(TControl&) { groupEditor_.NameChanged(Get<TEdit>("Edit_ExecName").Text()); }

void TEditorPage::Button_NewEditExecClick(TControl& sender) {
  if (sender.Name == "Button_NewExec")
    groupEditor_.CommitNew();
  else
    groupEditor_.CommitEdit();
}

void TEditorPage::Button_DelExecClick(TControl&) { groupEditor_.DeleteGroup(); }

void TEditorPage::ListView_ExecLinesSelectItem(TControl&) {
  groupEditor_.RowSelected(Get<TListView>("ListView_ExecLines").Selected());
}

void TEditorPage::ListView_ExecLinesDblClick(TControl& sender) {
  if (Control("Button_EditExecLine").Enabled()) Button_EditExecLineClick(sender);
}

void TEditorPage::Button_NewExecLineClick(TControl&) {
  TExecLine line;
  if (CommandLineDialog().Execute(line, true, project_.GroupNames())) groupEditor_.ApplyNewLine(line);
}

void TEditorPage::Button_EditExecLineClick(TControl&) {
  const TExecLine* edited = groupEditor_.LineToEdit();
  if (!edited) return;
  const int row = groupEditor_.SelectedRow();
  TExecLine line = *edited;
  if (CommandLineDialog().Execute(line, false, project_.GroupNames())) groupEditor_.ApplyEditedLine(row, line);
}

void TEditorPage::Button_DelExecLineClick(TControl&) { groupEditor_.DeleteRow(); }

void TEditorPage::LinesDropped(const std::vector<std::string>& paths, const std::vector<TRefusedItem>& dropRefused,
                               POINT at) {
  std::vector<TExecLine> lines;
  std::vector<TRefusedItem> refused = dropRefused;
  for (const std::string& path : paths) {
    std::string target = path, arguments, params, reason;
    if (HasExtension(path, ".LNK")) {
      std::string linkTarget, description, workingDirectory, iconPath;
      int iconIndex = 0;
      try {
        ReadShellLink(path, linkTarget, arguments, description, workingDirectory, iconPath, iconIndex);
      } catch (const EForeignText& e) {
        refused.push_back({WidenText(path), e.WideMessage()});
        continue;
      } catch (const std::exception& e) {
        refused.push_back({WidenText(path), WidenText(ExceptionText(e))});
        continue;
      }
      // A link to nothing the file system holds (a shell item) starts as
      // the link itself.
      if (!linkTarget.empty()) target = linkTarget;
      else arguments.clear();
    }
    if (!DroppedParams(target, arguments, params, reason)) {
      refused.push_back({WidenText(path), WidenText(reason)});
      continue;
    }
    lines.push_back({lkCommand, params});
  }
  if (!lines.empty()) groupEditor_.ApplyDroppedLines(Get<TListView>("ListView_ExecLines").RowAt(at), lines);
  if (!refused.empty())
    ShowMessageBoxW(LeftOutMessage({}, refused), WidenText("Befehlszeilen übernehmen"), MB_OK | MB_ICONWARNING);
}

void TEditorPage::Button_TestExecLinesClick(TControl&) {
  // The interpreter runs its own copy: the list may change while a started
  // program is awaited.
  const std::vector<TExecLine> lines = groupEditor_.WorkingLines();
  bool aborted = false;
  RunExecLines(project_, lines, aborted, 0, -1);
}

void TEditorPage::Button_CheckClick(TControl&) {
  TCheckForm& check = CheckWindow();
  check.ShowFindings(CheckProject());
  check.Show();
}

void TEditorPage::ShowFinding(const TFinding& finding) {
  if (finding.MenuEntry >= 0) {
    if (finding.MenuEntry < static_cast<int>(project_.MenuItems().size())) menuEditor_.ShowEntryAt(finding.MenuEntry);
    return;
  }
  groupEditor_.ShowGroupByName(finding.GroupName, finding.Line);
}

std::vector<TExecLine> TEditorPage::WorkingLines() { return groupEditor_.WorkingLines(); }

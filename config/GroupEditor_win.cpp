#include "config/GroupEditor_win.h"

#include <commctrl.h>

#include <algorithm>

#include "controls/VQControls.h"
#include "resources/Resource.h"
#include "framework/Application.h"
#include "model/MessageBox_win.h"
#include "model/Text.h"
#include "model/Wide.h"
#include "shortcut/ShellLink.h"
#include "model/Wide_win.h"

namespace {
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

TGroupEditorPanel::TGroupEditorPanel(TForm& form, TBalloons& balloons, TProject& project)
    : form_(form), balloons_(balloons), project_(project), editor_(project, *this) {
  editor_.Beep = [] { MessageBeep(MB_ICONEXCLAMATION); };
}

TGroupEditorPanel::~TGroupEditorPanel() { lineDialog_.reset(); }

void TGroupEditorPanel::AddRows(std::vector<TControlDef>& rows, const char* page,
                                const std::function<void(std::vector<TControlDef>&)>& between) {
  auto exitHides = [this] { return balloons_.ExitHides(); };
  auto button = [&](TBound<TButton>& member, const char* name, int left, int top, int width, int tag,
                    const char* caption, unsigned options, void (TGroupEditorPanel::*click)(TControl&)) {
    rows.push_back({Kind<TButton>, name, page, left, top, width, 25, tag, caption, coTabStop | options, {},
                    {Bind(member), On(evClick, this, click), exitHides()}});
  };
  rows.push_back({Kind<TLabel>, "Label15", page, 328, 128, 0, 0, 0, "&Befehlszeilengruppen:", coAutoSize | coBold, {},
                  {FocusControl("ComboBox_ExecLines")}});
  rows.push_back({Kind<TComboBox>, "ComboBox_ExecLines", page, 328, 144, 137, 21, IDS_HELP_GROUPS, "", coTabStop, {},
                  {Bind(groups_), Items({NewGroupItem}), On(evSelect, this, &TGroupEditorPanel::ComboBox_ExecLinesChange),
                   exitHides()}});
  button(buttons_[geNewExec], "Button_NewExec", 328, 176, 137, IDS_HELP_NEWEXEC, "Neu", coDisabled,
         &TGroupEditorPanel::Button_NewExecClick);
  button(buttons_[geEditExec], "Button_EditExec", 328, 208, 137, IDS_HELP_EDITEXEC, "Bearbeiten", coDisabled,
         &TGroupEditorPanel::Button_EditExecClick);
  button(buttons_[geDelExec], "Button_DelExec", 328, 240, 137, IDS_HELP_DELEXEC, "Löschen", coDisabled,
         &TGroupEditorPanel::Button_DelExecClick);
  between(rows);
  rows.push_back({Kind<TLabel>, "Label_ExecName", page, 328, 320, 0, 0, 0, "Name:", coAutoSize});
  rows.push_back({Kind<TEdit>, "Edit_ExecName", page, 328, 336, 137, 21, IDS_HELP_EXECNAME, "", coTabStop, {},
                  {Bind(name_), On(evChange, this, &TGroupEditorPanel::Edit_ExecNameChange), exitHides()}});
  rows.push_back({Kind<TListView>, "ListView_ExecLines", page, 480, 144, 321, 185, IDS_HELP_EXECLINES, "", coTabStop,
                  {},
                  {Bind(rows_), Columns({{"Typ", 100}, {"Parameter", 200}}), WindowStyles(LVS_NOSORTHEADER),
                   // Programs, documents, folders and links dropped from the shell.
                   WindowExStyles(WS_EX_ACCEPTFILES), On(evChange, this, &TGroupEditorPanel::ListView_ExecLinesSelectItem),
                   On(evDblClick, this, &TGroupEditorPanel::ListView_ExecLinesDblClick), exitHides()}});
  button(newLine_, "Button_NewExecLine", 480, 336, 73, IDS_HELP_NEWEXECLINE, "Neu", 0,
         &TGroupEditorPanel::Button_NewExecLineClick);
  button(buttons_[geEditExecLine], "Button_EditExecLine", 556, 336, 73, IDS_HELP_EDITEXECLINE, "Bearbeiten",
         coDisabled, &TGroupEditorPanel::Button_EditExecLineClick);
  button(buttons_[geDelExecLine], "Button_DelExecLine", 632, 336, 73, IDS_HELP_DELEXECLINE, "Löschen", coDisabled,
         &TGroupEditorPanel::Button_DelExecLineClick);
  button(buttons_[geTestExecLines], "Button_TestExecLines", 712, 336, 89, IDS_HELP_TESTEXECLINES, "Testen",
         coDisabled, &TGroupEditorPanel::Button_TestExecLinesClick);
}

TForm2& TGroupEditorPanel::CommandLineDialog() {
  return LazyForm(lineDialog_, [this](TForm2& dialog) { dialog.Create(form_.Handle); }, balloons_);
}

bool TGroupEditorPanel::Owns(const TControl* control) {
  if (control == &groups_.Get() || control == &name_.Get() || control == &rows_.Get() || control == &newLine_.Get())
    return true;
  for (TBound<TButton>& button : buttons_)
    if (control == &button.Get()) return true;
  return false;
}

void TGroupEditorPanel::AddGroupItem(const std::string& name) { groups_->Insert(groups_->Count() - 1, name); }

void TGroupEditorPanel::ShowGroupItems(const std::vector<std::string>& items) {
  groups_->Clear();
  for (const std::string& item : items) groups_->Add(item);
}

void TGroupEditorPanel::SelectGroupItem(int item) { groups_->SetItemIndex(item); }

void TGroupEditorPanel::ShowName(const std::string& name) { name_->SetText(name); }

void TGroupEditorPanel::ShowRows(const std::vector<TLineRow>& rows) {
  TListView& list = Rows();
  FitKindColumn(list);
  list.Clear();
  for (const TLineRow& row : rows) list.InsertRow(-1, CellsOf(row));
}

void TGroupEditorPanel::InsertRows(int at, const std::vector<TLineRow>& rows) {
  TListView& list = Rows();
  FitKindColumn(list);
  for (const TLineRow& row : rows) list.InsertRow(at++, CellsOf(row));
}

void TGroupEditorPanel::DeleteRows(int at, int count) {
  TListView& list = Rows();
  for (; count > 0; --count) list.DeleteRow(at);
}

void TGroupEditorPanel::ChangeRow(int row, const TLineRow& shown) {
  TListView& list = Rows();
  list.SetCell(row, 0, shown.Caption);
  list.SetCell(row, 1, shown.HasParam ? shown.Param : std::string());
}

void TGroupEditorPanel::SelectRow(int row) { Rows().SetSelected(row); }

void TGroupEditorPanel::SetEnabled(TGroupButton button, bool enabled) {
  buttons_[button]->SetEnabled(enabled);
}

void TGroupEditorPanel::GroupTableChanged() {
  if (TableChanged) TableChanged();
}

void TGroupEditorPanel::FocusGroupList() { groups_->SetFocus(); }

void TGroupEditorPanel::FocusRows() { Rows().SetFocus(); }


void TGroupEditorPanel::ComboBox_ExecLinesChange(TControl&) {
  editor_.GroupChosen(groups_->ItemIndex());
}

void TGroupEditorPanel::Edit_ExecNameChange(TControl&) { editor_.NameChanged(name_->Text()); }

void TGroupEditorPanel::Button_NewExecClick(TControl&) { editor_.CommitNew(); }

void TGroupEditorPanel::Button_EditExecClick(TControl&) { editor_.CommitEdit(); }

void TGroupEditorPanel::Button_DelExecClick(TControl&) { editor_.DeleteGroup(); }

void TGroupEditorPanel::ListView_ExecLinesSelectItem(TControl&) {
  editor_.RowSelected(rows_->Selected());
}

void TGroupEditorPanel::ListView_ExecLinesDblClick(TControl& sender) {
  if (buttons_[geEditExecLine]->Enabled()) Button_EditExecLineClick(sender);
}

void TGroupEditorPanel::Button_NewExecLineClick(TControl&) {
  TExecLine line;
  if (CommandLineDialog().Execute(line, true, project_.GroupNames())) editor_.ApplyNewLine(line);
}

void TGroupEditorPanel::Button_EditExecLineClick(TControl&) {
  const TExecLine* edited = editor_.LineToEdit();
  if (!edited) return;
  const int row = editor_.SelectedRow();
  TExecLine line = *edited;
  if (CommandLineDialog().Execute(line, false, project_.GroupNames())) editor_.ApplyEditedLine(row, line);
}

void TGroupEditorPanel::Button_DelExecLineClick(TControl&) { editor_.DeleteRow(); }

void TGroupEditorPanel::LinesDropped(const std::vector<std::string>& paths, const std::vector<TRefusedItem>& dropRefused,
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
  if (!lines.empty()) editor_.ApplyDroppedLines(rows_->RowAt(at), lines);
  if (!refused.empty())
    ShowMessageBoxW(LeftOutMessage({}, refused), WidenText("Befehlszeilen übernehmen"), MB_OK | MB_ICONWARNING);
}

void TGroupEditorPanel::Button_TestExecLinesClick(TControl&) {
  // The interpreter runs its own copy: the list may change while a started
  // program is awaited.
  const std::vector<TExecLine> lines = editor_.WorkingLines();
  bool aborted = false;
  RunExecLines(host_, project_, lines, aborted, 0, -1);
}

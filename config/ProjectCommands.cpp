// The editor page's file commands (new, open, save, save as, back) and what
// a reset and an interactive load do to the editors.
#include "config/CheckForm.h"
#include "config/MainForm.h"
#include "config/SavePrompt.h"
#include "model/Platform.h"
#include "model/ProjectFile.h"

void TForm1::Button_NewClick(TControl&) {
  if (AskSaveFirst()) ResetProject();
}

void TForm1::Button_OpenClick(TControl&) {
  if (AskSaveFirst() && OpenDialog.Execute(Handle)) OpenProject(OpenDialog.FileName);
}

void TForm1::OpenProject(const std::string& fileName) {
  // The tree is drawn once, when it is whole: drawn node by node, a menu
  // of thousands of entries takes many seconds to load.
  TTreeUpdate update(MenuTree());
  LoadProject(fileName, true);
}

void TForm1::Button_Save1Click(TControl&) {
  if (SaveDespiteFindings()) SaveCurrentProject(false);
}

void TForm1::Button_Save2Click(TControl&) {
  if (SaveDespiteFindings()) SaveCurrentProject(true);
}

void TForm1::SaveCurrentProject(bool askName) {
  if (askName || ProjectFileName.empty()) {
    if (!SaveDialog.Execute(Handle)) return;
    ProjectFileName = SaveDialog.FileName;
  }
  SaveProject(ProjectFileName);
}

bool TForm1::SaveDespiteFindings() {
  // A warning, never a lock: "Ja" always saves. A project without findings
  // is saved without a question.
  std::vector<TFinding> findings = CheckCurrentProject();
  if (findings.empty()) return true;
  const int answer =
      Platform.MessageBoxes->Show(SaveDespiteFindingsText(findings.size()), "Warnung", mbYesNo | mbIconWarning);
  if (answer == idYes) return true;
  TCheckForm& check = CheckWindow();
  check.ShowFindings(std::move(findings));
  check.Show();
  return false;
}

void TForm1::Button_CloseClick(TControl&) {
  if (AskSaveFirst()) ShowPage(PageStart);
}

// ---------------------------------------------------------------------------
// The editors' side of a reset and of a load

void TForm1::ProjectReset() {
  Get<TCheckBox>("CheckBox_UseMenu").SetChecked(true);
  {
    // The emptied tree names no entry; the refresh below shows that.
    MenuTreeSync = false;
    MenuTree().Clear();
    MenuTreeSync = true;
  }
  loadPath_.clear();
  Get<TEdit>("Edit_ItemText").SetText("");
  GroupListsRefilled({});
  TreeView_MenuChange(nullptr);
  // No group selected: name and working list emptied, the group's buttons
  // off.
  ComboBox_ExecLinesChange(Control("ComboBox_ExecLines"));
}

void TForm1::GroupListsRefilled(const std::vector<std::string>& names) {
  TComboBox& assignment = Get<TComboBox>("ComboBox_Assignment");
  TComboBox& groups = Get<TComboBox>("ComboBox_ExecLines");
  assignment.Clear();
  groups.Clear();
  assignment.Add(NoActionItem);
  for (const std::string& name : names) {
    assignment.Add(name);
    groups.Add(name);
  }
  groups.Add(NewGroupItem);
}

void TForm1::GroupLoaded(const std::string& name) {
  TComboBox& groups = Get<TComboBox>("ComboBox_ExecLines");
  groups.Insert(groups.Count() - 1, name);
  Get<TComboBox>("ComboBox_Assignment").Add(name);
}

void TForm1::SetMenuSetting(bool useMenu) { Get<TCheckBox>("CheckBox_UseMenu").SetChecked(useMenu); }

bool TForm1::MenuSetting() const { return const_cast<TForm1*>(this)->Get<TCheckBox>("CheckBox_UseMenu").Checked(); }

// The command-line group editor's panel of the editor page: the group list,
// the name field, the list of command lines and their buttons as the group
// editor drives them, and the handlers of what the user does there.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "config/CommandLineDialog.h"
#include "config/FolderImport.h"
#include "config/GroupEditorPresenter.h"
#include "controls/Balloons.h"
#include "framework/Form.h"
#include "launcher/LauncherHost_win.h"

class TGroupEditorPanel : public IGroupEditorView {
 public:
  TGroupEditorPanel(TForm& form, TBalloons& balloons, TProject& project);
  ~TGroupEditorPanel() override;
  TGroupEditorPanel(const TGroupEditorPanel&) = delete;
  TGroupEditorPanel& operator=(const TGroupEditorPanel&) = delete;

  // The panel's rows of the page's table, in the order of their tabs; the
  // page's own rows that stand among them in that order come from between.
  void AddRows(std::vector<TControlDef>& rows, const char* page,
               const std::function<void(std::vector<TControlDef>&)>& between);
  // What follows a changed group table besides the group list.
  std::function<void()> TableChanged;

  TGroupEditor& Editor() { return editor_; }
  TButton& Button(TGroupButton button) { return *buttons_[button]; }
  // Whether the control is one of the panel's that take the focus.
  bool Owns(const TControl* control);
  TListView& Rows() { return *rows_; }
  // A group loaded from the file: appended to the group list.
  void AddGroupItem(const std::string& name);
  // The dialog of a command line: made when first asked for.
  TForm2& CommandLineDialog();
  // Files dropped onto the command-line list at this point of it: a command
  // line each, before the row there. Each is taken or refused on its own:
  // those refused already (names Windows-1252 lacks) and those that cannot
  // be read are named in one message, the others come in.
  void LinesDropped(const std::vector<std::string>& paths, const std::vector<TRefusedItem>& refused, POINT at);

  void ComboBox_ExecLinesChange(TControl& sender);
  void ListView_ExecLinesSelectItem(TControl& sender);
  void Edit_ExecNameChange(TControl& sender);
  void Button_NewExecClick(TControl& sender);
  void Button_EditExecClick(TControl& sender);
  void Button_DelExecClick(TControl& sender);
  void ListView_ExecLinesDblClick(TControl& sender);
  void Button_NewExecLineClick(TControl& sender);
  void Button_EditExecLineClick(TControl& sender);
  void Button_DelExecLineClick(TControl& sender);
  void Button_TestExecLinesClick(TControl& sender);

  void ShowGroupItems(const std::vector<std::string>& items) override;
  void SelectGroupItem(int item) override;
  void ShowName(const std::string& name) override;
  void ShowRows(const std::vector<TLineRow>& rows) override;
  void InsertRows(int at, const std::vector<TLineRow>& rows) override;
  void DeleteRows(int at, int count) override;
  void ChangeRow(int row, const TLineRow& shown) override;
  void SelectRow(int row) override;
  void SetEnabled(TGroupButton button, bool enabled) override;
  void GroupTableChanged() override;
  void FocusGroupList() override;
  void FocusRows() override;

 private:
  TForm& form_;
  TBalloons& balloons_;
  TProject& project_;
  TGroupEditor editor_;
  TBound<TComboBox> groups_;
  TBound<TEdit> name_;
  TBound<TListView> rows_;
  TBound<TButton> newLine_;
  // By TGroupButton.
  TBound<TButton> buttons_[6];
  TFormPtr<TForm2> lineDialog_;
  // The test run's platform.
  TWinLauncherHost host_;
};

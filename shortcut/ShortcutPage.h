// The shortcut page of the configuration window: six steps to a shell link
// that starts TRV.EXE with a project, in any folder of the shell's tree,
// with a title, a hint and a hotkey.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "controls/ConfigPage.h"
#include "controls/VQControls.h"
#include "framework/Dialogs.h"
#include "shortcut/ShellControls.h"

class TShortcutPage : public TConfigPage {
 public:
  TShortcutPage(TForm& form, TBalloons& balloons);
  std::vector<TControlDef> Controls() override;

  // Shows another page of the notebook.
  std::function<void(int)> ShowPage;

  // The two ways in: from the start page with empty fields, from the
  // editor with its saved project named.
  void OpenFromStart();
  void OpenForProject(const std::string& fileName);
  // A project file dropped on the page.
  void SetProjectFile(const std::string& fileName);

  // The link's target: the menu, or one group of the project named above.
  void Edit_ProjectChange(TControl& sender);
  void RadioButton_LinkTargetClick(TControl& sender);
  // The group a link is to start, "" for the menu.
  std::string LinkGroup();
  void Button_CreateClick(TControl& sender);
  void Button_SpecialFoldersClick(TControl& sender);
  void MenuItem_SpecialFolderClick(int tag);
  // The path of a special folder (CSIDL), empty when the shell knows none.
  static std::string GetSpecialFolderPath(int tag);
  // The shell's tree and list of the page, wired to the page once made.
  TShellTreeViewControl& ShellTree();
  TShellListViewControl& ShellList();
  // The link's title field, on which the balloons' tool lives.
  TEdit& TitleField() { return *title_; }

 private:
  void ShellTreeViewChange();
  bool ShellListViewAddFolder(const TShellListItem& item);
  void Edit_LinkTitleKeyPress(TControl& sender, char& key);
  void Button_SearchClick(TControl& sender);
  void Button_TestProjectClick(TControl& sender);
  void Button_BackClick(TControl& sender);
  void HotKeyExit(TControl& sender);
  void ResetLinkTarget();

  TOpenDialog openDialog_;
  bool wired_ = false;

  TBound<TShellTreeViewControl> tree_;
  TBound<TShellListViewControl> list_;
  TBound<TMemo> dirName_;
  TBound<TEdit> title_, hint_, project_;
  TBound<TRadioButton> linkMenu_, linkSearch_, linkGroup_;
  TBound<TComboBox> groups_;
  TBound<THotKey> hotKey_;
  TBound<TVQButton> specialFolders_;
};

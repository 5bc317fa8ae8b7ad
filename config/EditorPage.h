// The editor page of the configuration window: the project's file commands,
// the panels of the menu structure editor and of the command-line group
// editor with the history that both share, and the project check's window.
// The page is the project's view: a reset and an interactive load fill its
// editors.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "config/CheckForm.h"
#include "config/EditorHistory.h"
#include "config/EditorIcons_win.h"
#include "config/FolderImport.h"
#include "config/GroupEditor_win.h"
#include "config/MenuEditor_win.h"
#include "config/ProjectCheck.h"
#include "controls/ConfigPage.h"
#include "controls/VQControls.h"
#include "framework/Dialogs.h"
#include "launcher/LauncherHost_win.h"
#include "model/Project.h"

class TEditorPage : public TConfigPage, public IProjectView {
 public:
  TEditorPage(TForm& form, TBalloons& balloons, TProject& project);
  ~TEditorPage() override;
  std::vector<TControlDef> Controls() override;
  void Created() override;
  void Destroying() override;
  // The page is about to show: the icons are made at its first showing.
  void Showing();

  // Shows another page of the notebook; opens the shortcut page for a
  // saved project.
  std::function<void(int)> ShowPage;
  std::function<void(const std::string&)> CreateLinkFor;
  // The project's modified flag turned.
  std::function<void(bool)> ModifiedShown;

  // The save-before prompt, after the working list's question when its
  // lines changed: true when the caller may discard the project.
  bool AskSaveFirst();
  // Ctrl+Z and Ctrl+Y (or Ctrl+Shift+Z): the newest change of the project
  // or of the working list taken back, the last one taken back done again;
  // in the tree the menu's changes, in the group editor the working list's
  // and then the groups'.
  void Undo();
  void Redo();
  // The editor the focus is in: where the keys act.
  TEditorScope FocusedEditor();
  // The page's keys: undo and redo, Ctrl+N, Ctrl+O, Ctrl+S, Ctrl+Shift+S,
  // Del on an entry or a command line, Enter on a command line. True when
  // the key was the page's.
  bool KeyDown(WORD key);
  // The menu of a folder of shortcuts in place of the menu list, as one
  // step; returns the message about what it left out ("" when nothing).
  std::u16string ImportFolder(const std::string& folder);
  // Loads a project into the model and the editors (open, dropped files).
  void OpenProject(const std::string& fileName);
  // Saves without the check: "Speichern" (asking for a name when the
  // project has none), or "Speichern unter".
  void SaveCurrentProject(bool askName);
  // The check before a save: true when the project has no findings or the
  // user saves all the same; otherwise the findings are shown.
  bool SaveDespiteFindings();
  // The place of a finding shown in the editors (the group and its line,
  // or the menu entry), found again by the group's name since the project
  // may have changed after the check.
  void ShowFinding(const TFinding& finding);
  std::vector<TFinding> CheckProject();

  // The menu structure editor: the tree and the menu list always hold the
  // same entries in the same order.
  TTreeView& MenuTree() { return menuPanel_.Tree(); }
  TMenuEditor& MenuEditor() { return menuPanel_.Editor(); }
  TMenuEditorPanel& MenuPanel() { return menuPanel_; }
  // The command-line group editor: a group of the list, or a new one, with
  // its working list of command lines.
  TGroupEditor& GroupEditor() { return groupPanel_.Editor(); }
  TGroupEditorPanel& GroupPanel() { return groupPanel_; }
  std::vector<TExecLine> WorkingLines() { return GroupEditor().WorkingLines(); }
  void LinesDropped(const std::vector<std::string>& paths, const std::vector<TRefusedItem>& refused, POINT at) {
    groupPanel_.LinesDropped(paths, refused, at);
  }

  // The windows the page opens: made when first asked for.
  TCheckForm& CheckWindow();
  TForm2& CommandLineDialog() { return groupPanel_.CommandLineDialog(); }

  // IProjectView: what a reset and an interactive load do to the editors.
  void ProjectReset() override;
  void GroupListsRefilled(const std::vector<std::string>& names) override;
  void GroupLoaded(const std::string& name) override;
  void MenuItemLoaded(int index, const TTRVMenuItem& entry) override;
  void SetMenuSetting(bool useMenu) override;
  void ModifiedChanged(bool modified) override;
  void ProjectChanged() override;

 private:
  // The icons beside entries and command lines, unless switched off.
  void ShowIcons();
  void Button_NewClick(TControl& sender);
  void Button_OpenClick(TControl& sender);
  void Button_Save1Click(TControl& sender);
  void Button_Save2Click(TControl& sender);
  void Button_CloseClick(TControl& sender);
  void Button_CreateLinkClick(TControl& sender);
  void Button_CheckClick(TControl& sender);
  void CheckBox_UseMenuClick(TControl& sender);
  // "Häufig Gewähltes zuerst": the user's own setting for the project's
  // file, kept beside the choices, never in the project.
  void CheckBox_MostUsedClick(TControl& sender);
  // A click on the disabled box: why it is disabled.
  void Label_MostUsedHintClick(TControl& sender);
  // The box as the project's file has it; disabled until the project has a
  // file.
  void ShowMostUsedSetting();
  // The folder browser at the project's folder, else at the special folder
  // otherwise (a CSIDL); false when the user gave none.
  bool BrowseForFolder(const std::string& title, int otherwise, std::string& folder);
  // "Aus Ordner übernehmen…": the menu from a folder of shortcuts.
  void Button_ImportClick(TControl& sender);
  // "Ordner als Untermenü": an entry whose submenu shows a folder.
  void Button_FolderMenuClick(TControl& sender);

  // F2 on the tree or the command-line list: the help text and what
  // Ctrl+Z there would take back.
  void ShowEditorHelp(TControl& editor);
  // The focus came to a menu entry's field: changed lines asked about.
  void EntryFieldEntered();
  bool askingLines_ = false;

  TProject& project_;
  TMenuEditorPanel menuPanel_;
  TGroupEditorPanel groupPanel_;
  TEditorHistory history_;
  TOpenDialog openDialog_;
  TSaveDialog saveDialog_;
  TFormPtr<TCheckForm> checkWindow_;
  TBound<TCheckBox> useMenu_, mostUsed_;
  TBound<TButton> import_, folderMenu_;
  // The file commands, by their keys: Ctrl+N, Ctrl+O, Ctrl+S, Ctrl+Shift+S.
  TBound<TVQButton> new_, open_, save_, saveAs_;
  // What the icon rules resolve a command line's program through.
  TWinLauncherHost host_;
  std::unique_ptr<TEditorIcons> icons_;
  bool iconsAsked_ = false;
};

// TForm1, the configuration window: header band, the notebook with the start
// page, the editor page and the shortcut page, the balloon tooltips every
// configuration window uses, the context help keys, the "&Info" entry of the
// system menu and files dropped from the shell.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "config/ProjectCheck.h"
#include "framework/Dialogs.h"
#include "shortcut/ShellControls.h"
#include "framework/Form.h"
#include "model/Project.h"
#include "update/UpdateFile.h"

// The system menu entry that opens the about box.
constexpr UINT InfoSystemCommand = 0xF200;

// The pages of the notebook.
enum : int { PageStart = 0, PageCreate = 1, PageLink = 2 };

// The balloon's icons.
enum : int { biInformation = 1, biWarning = 2, biError = 3 };

// Process-wide state of the balloon tooltips and the start page.
extern HWND BalloonWindow;
extern TTTOOLINFOA BalloonToolInfo;
extern HWND BalloonOwner;
extern std::vector<std::string> HelpTexts;  // by Tag; index 0 is empty
extern int AnimationSequenceStep;
extern bool AnimationRunning;

// While false, selection changes of the menu tree are not shown in the
// entry fields and buttons: the tree selects a new node before the menu list
// has its entry.
extern bool MenuTreeSync;

class TForm1 : public TForm, public IProjectView {
 public:
  TForm1();
  void Create();

  TOpenDialog OpenDialog;
  TSaveDialog SaveDialog;
  // The update reminder and Ctrl+U.
  TVQUpdateFile VQUpdateFile;

  TTimer* Timer_Balloon = nullptr;
  // Work that waits until the window is on screen.
  TTimer* Timer_Ready = nullptr;

  // The balloon facility, shared with the other configuration windows.
  void CreateBalloonWindow(HWND parent, bool subclass);
  void AddBalloonTool(HWND host, const std::string& text);
  void SetBalloonTitle(int icon, const std::string& title);
  // text nullptr: keep the last text. lifetime 0: until dismissed.
  void ShowBalloon(HWND host, const char* text, UINT lifetime, POINT point, bool show);
  // The balloon window and its one tool.
  void MakeBalloonWindow();
  void Timer_BalloonTimer();
  // The window the one balloon tool is registered with.
  HWND BalloonHost();

  // Esc, F1 and F2 of this window and of the command-line dialog.
  void HelpKeyDown(TForm& window, WORD& key);
  // Balloon position follows a moved window (this one or the dialog).
  void WindowMoved(int& lastX, int& lastY, LPARAM origin);

  void ShowPage(int index);
  void Button_Option3Click(TControl& sender);

  // Hide the balloon of the control that is left or entered (this window's
  // and the command-line dialog's).
  void Ctrl_ToolTipExit(TControl& sender);
  void Ctrl_ToolTipEnter(TControl& sender);

  // A validation balloon under the control, pointing at (16, height - 8).
  void ShowValidationBalloon(TControl& control, const std::string& title, const std::string& text, UINT lifetime);
  // A balloon about the control, pointing at anchor (its client
  // coordinates); owned: it goes when the control is left.
  void ShowBalloonAt(TControl& control, int icon, const std::string& title, const std::string& text, UINT lifetime,
                     POINT anchor, bool owned);

  // The project file commands of the editor page. "Speichern" is also the
  // "&Ja" of the save-before prompt.
  void Button_NewClick(TControl& sender);
  void Button_OpenClick(TControl& sender);
  void Button_Save1Click(TControl& sender);
  void Button_Save2Click(TControl& sender);
  void Button_CloseClick(TControl& sender);
  // Saves without the check: "Speichern" (asking for a name when the
  // project has none), or "Speichern unter".
  void SaveCurrentProject(bool askName);
  // The check before a save: true when the project has no findings or the
  // user saves all the same; otherwise the findings are shown.
  bool SaveDespiteFindings();
  // Loads a project into the model and the editors (open, dropped files).
  void OpenProject(const std::string& fileName);

  // The menu structure editor: the tree and the menu list MenuItems always
  // hold the same entries in the same order.
  void TreeView_MenuChange(TControl& sender);
  void TreeView_MenuChange(HTREEITEM node);
  bool ValidateMenuEntry();
  void Button_NewItemClick(TControl& sender);
  void Button_NewSubItemClick(TControl& sender);
  void Button_EditItemClick(TControl& sender);
  void Button_DelItemClick(TControl& sender);
  void Button_UpClick(TControl& sender);
  void Button_DownClick(TControl& sender);
  TTreeView& MenuTree();

  // The command-line group editor: a group of the list, or a new one, with
  // its working list of command lines.
  void ComboBox_ExecLinesChange(TControl& sender);
  void Edit_ExecNameChange(TControl& sender);
  void Button_NewEditExecClick(TControl& sender);
  void Button_DelExecClick(TControl& sender);
  void ListView_ExecLinesSelectItem(TControl& sender);
  void ListView_ExecLinesDblClick(TControl& sender);
  void Button_NewExecLineClick(TControl& sender);
  void Button_EditExecLineClick(TControl& sender);
  void Button_DelExecLineClick(TControl& sender);
  void Button_TestExecLinesClick(TControl& sender);
  // The project check: its window with the findings, and the place of a
  // finding shown in the editors (the group and its line, or the menu
  // entry), found again by the group's name since the project may have
  // changed after the check.
  void Button_CheckClick(TControl& sender);
  void ShowFinding(const TFinding& finding);
  // The selected group, -1 for none (or the new group's item).
  int SelectedGroup();
  std::vector<std::string> WorkingCaptions();
  std::vector<TExecLine> WorkingLines();

  // The shortcut page: a shell link to a project, with a title, a hint and
  // a hotkey, in any folder.
  void Button_Option2Click(TControl& sender);
  void Button_CreateLinkClick(TControl& sender);
  void ShellTreeViewChange();
  void ShellListViewChange();
  bool ShellListViewAddFolder(const TShellListItem& item);
  void Edit_LinkTitleKeyPress(TControl& sender, char& key);
  void Button_SpecialFoldersClick(TControl& sender);
  void MenuItem_SpecialFolderClick(int tag);
  void Button_SearchClick(TControl& sender);
  void Button_TestProjectClick(TControl& sender);
  // The link's target: the menu, or one group of the project named above.
  void Edit_ProjectChange(TControl& sender);
  void RadioButton_LinkTargetClick(TControl& sender);
  // The group a link is to start, "" for the menu.
  std::string LinkGroup();
  void ResetLinkTarget();
  void HotKeyExit(TControl& sender);
  void Button_CreateClick(TControl& sender);
  // The path of a special folder (CSIDL), empty when the shell knows none.
  static std::string GetSpecialFolderPath(int tag);
  // The shell's tree and list of the page, wired to the page once made.
  TShellTreeViewControl& ShellTree();
  TShellListViewControl& ShellList();

  // The start page's animation: a ring of pictures round the title, drawn
  // off screen and shown in one blit.
  void SetUpAnimation();
  void DXDrawClick(TControl& sender);
  void DXDrawPaint(TControl& sender, HDC dc);
  void DXTimerTimer();
  void NotebookPageChanged(int page);
  // The frame timer runs while the animation is on, the start page shows
  // and the application is active.
  void UpdateDXTimer();
  void FreeAnimation();
  TTimer* DXTimer = nullptr;

  // IProjectView: what a reset and an interactive load do to the editors.
  void ProjectReset() override;
  void GroupListsRefilled(const std::vector<std::string>& names) override;
  void GroupLoaded(const std::string& name) override;
  void MenuItemLoaded(int index) override;
  void SetMenuSetting(bool useMenu) override;
  bool MenuSetting() const override;

 protected:
  void FormCreate() override;
  void FormShow() override;
  void FormPaint(HDC dc) override;
  void FormCloseQuery(bool& canClose) override;
  void FormKeyDown(WORD& key) override;
  void FormDestroy() override;

 private:
  void Button_Option1Click(TControl& sender);
  void Button_Option4Click(TControl& sender);
  void Button_OptionMouseDown(TControl& sender, TMouseButton button, int x, int y);
  void Button_OptionMouseUp(TControl& sender, TMouseButton button, int x, int y);
  // The option's picture: centred on its button, 2 pixels lower right while
  // the left button holds the option pressed.
  void PlaceOptionImage(int option, bool pressed);

  void Button_BackClick(TControl& sender);
  void ApplicationDeactivate();
  void SystemCommand(TMessage& message);
  void FilesDropped(TMessage& message);
  void LoadHelpTexts();
  void TakeSequenceStep(int option);

  // The editor page's and the shortcut page's controls, in the order of
  // their tabs.
  std::vector<TControlDef> EditorPageControls();
  std::vector<TControlDef> LinkPageControls();
  // Selects a node just added to the tree and gives it its entry in the
  // menu list, at the node's place and depth.
  void PlaceNewMenuEntry(HTREEITEM node, const std::string& text, int assignment);
  // Moves the node's subtree among its siblings to after the given sibling
  // (or TVI_FIRST), and its block in the menu list to target.
  void MoveMenuEntry(HTREEITEM node, HTREEITEM after, int target);

  HBITMAP frame_ = nullptr;
  bool applicationActive_ = true;
  bool linkPageWired_ = false;
  std::string balloonText_;
  // While a project loads: the last loaded entry's node and its ancestors,
  // with the levels the file gave them.
  struct TLoadedNode {
    int Level;
    HTREEITEM Node;
  };
  std::vector<TLoadedNode> loadPath_;
  int lastX_ = 0, lastY_ = 0;
};

extern TForm1* Form1;

// The position of the command-line dialog at its last move.
extern int LastDialogX, LastDialogY;

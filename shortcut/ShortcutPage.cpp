// The shortcut page of the configuration window: six steps to a shell link
// that starts TRV.EXE with a project, in any folder of the shell's tree,
// with a title, a hint and a hotkey.
#include "config/MainForm.h"

#include <shellapi.h>
#include <shlobj.h>

#include <fstream>
#include <sstream>

#include "config/SavePrompt.h"
#include "config/StartPage.h"
#include "framework/Application.h"
#include "model/Files_win.h"
#include "model/MessageBox_win.h"
#include "shortcut/LinkRules.h"
#include "shortcut/ShellLink.h"
#include "shortcut/ShellTreePath.h"

namespace {

const struct {
  const char* Caption;
  int Tag;  // the shell's special-folder number
} SpecialFolders[] = {
    {"Startmenü (benutzerspezifisch)", CSIDL_STARTMENU},
    {"Startmenü (allgemein)", CSIDL_COMMON_STARTMENU},
    {"Autostart (benutzerspezifisch)", CSIDL_STARTUP},
    {"Autostart (allgemein)", CSIDL_COMMON_STARTUP},
    {"Quick Launch", CSIDL_APPDATA},
};


}  // namespace

TShellTreeViewControl& TForm1::ShellTree() {
  auto& tree = Get<TShellTreeViewControl>("ShellTreeView");
  if (!linkPageWired_) {
    linkPageWired_ = true;
    auto& list = Get<TShellListViewControl>("ShellListView");
    tree.Tree.ShellListView = &list.List;
    tree.Tree.OnChange = [this] { Application.Guard([this] { ShellTreeViewChange(); }); };
    list.List.OnChange = [this] { Application.Guard([this] { ShellListViewChange(); }); };
    list.List.OnAddFolder = [this](const TShellListItem& item) { return ShellListViewAddFolder(item); };
    // Any key and any combination may be a link's hotkey.
    SendMessageA(Control("HotKey").Handle, HKM_SETRULES, 0, 0);
  }
  return tree;
}

TShellListViewControl& TForm1::ShellList() {
  ShellTree();
  return Get<TShellListViewControl>("ShellListView");
}

std::string TForm1::GetSpecialFolderPath(int tag) {
  LPITEMIDLIST list = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, tag, &list)) || !list) return std::string();
  char path[MAX_PATH + 1] = "";
  const bool known = SHGetPathFromIDListA(list, path);
  CoTaskMemFree(list);
  return known ? path : std::string();
}

// ---------------------------------------------------------------------------
// The two ways in

void TForm1::Button_Option2Click(TControl&) {
  TakeSequenceStep(2);
  TShellTreeView& tree = ShellTree().Tree;
  // Back to the desktop with its first level shown.
  if (HTREEITEM root = tree.Root()) {
    for (HTREEITEM node = tree.FirstChild(root); node; node = tree.NextSibling(node)) tree.Collapse(node, true);
    tree.SetSelected(root);
  }
  for (const char* edit : {"Edit_LinkTitle", "Edit_LinkHint", "Edit_Project"}) Get<TEdit>(edit).SetText("");
  ResetLinkTarget();
  ShowPage(PageLink);
  Get<THotKey>("HotKey").SetHotKey(0);
  tree.SetFocus();
}

void TForm1::Button_CreateLinkClick(TControl&) {
  if (!AskSaveFirst()) return;
  if (ProjectFileName.empty()) {
    ShowMessageBoxA("Das aktuelle Projekt muss zunächst gespeichert werden.", "Speicherung erforderlich",
                    MB_OK | MB_ICONWARNING);
    return;
  }
  TShellTreeView& tree = ShellTree().Tree;
  for (const char* edit : {"Edit_LinkTitle", "Edit_LinkHint"}) Get<TEdit>(edit).SetText("");
  Get<TEdit>("Edit_Project").SetText(ProjectFileName);
  ResetLinkTarget();
  ShowPage(PageLink);
  tree.SetFocus();
}

void TForm1::Button_BackClick(TControl&) { ShowPage(PageStart); }

// ---------------------------------------------------------------------------
// Step 1: the folder

void TForm1::ShellTreeViewChange() { Control("Edit_DirName").SetCaption(ShellTree().Tree.SelectedPath()); }

void TForm1::ShellListViewChange() { ShellTreeViewChange(); }

bool TForm1::ShellListViewAddFolder(const TShellListItem& item) {
  return item.IsFolder || HasExtension(item.PathName.empty() ? item.Name : item.PathName, ".LNK");
}

void TForm1::Button_SpecialFoldersClick(TControl& sender) {
  HMENU menu = CreatePopupMenu();
  for (const auto& folder : SpecialFolders) AppendMenuA(menu, MF_STRING, folder.Tag, folder.Caption);
  POINT corner = {sender.Width() + 1, 0};
  ClientToScreen(sender.Handle, &corner);
  const int tag = TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD | TPM_NONOTIFY, corner.x,
                                 corner.y, 0, Handle, nullptr);
  DestroyMenu(menu);
  if (tag) MenuItem_SpecialFolderClick(tag);
}

void TForm1::MenuItem_SpecialFolderClick(int tag) {
  const std::string path = SpecialFolderPath(tag, GetSpecialFolderPath(tag));
  if (!path.empty() && FolderExists(path)) {
    SetShellTreePath(path, ShellTree().Tree);
    return;
  }
  TControl& button = Control("Button_SpecialFolders");
  TAnchor anchor = HelpBalloonAnchor(button.Width(), button.Height());
  ShowBalloonAt(button, biError, "Verzeichnis kann nicht gefunden werden",
                WrapHelpText("Das gewünschte Verzeichnis konnte nicht gefunden werden."), 5000, {anchor.X, anchor.Y},
                true);
}

// ---------------------------------------------------------------------------
// Steps 2 to 5: title, hint, project, hotkey

void TForm1::Edit_LinkTitleKeyPress(TControl& sender, char& key) {
  if (key && std::string(ForbiddenFileNameChars).find(key) != std::string::npos) {
    const char refused = key;
    key = 0;
    TAnchor anchor = ValidationBalloonAnchor(sender.Width(), sender.Height());
    ShowBalloonAt(sender, biError, "Unerlaubtes Zeichen", ForbiddenCharText(refused), 5000, {anchor.X, anchor.Y},
                  true);
  } else {
    Timer_BalloonTimer();
  }
}

void TForm1::Button_SearchClick(TControl&) {
  if (OpenDialog.Execute(Handle)) Get<TEdit>("Edit_Project").SetText(OpenDialog.FileName);
}

// ---------------------------------------------------------------------------
// Step 4: the menu, or one group alone

void TForm1::ResetLinkTarget() {
  Get<TRadioButton>("RadioButton_LinkMenu").SetChecked(true);
  Get<TRadioButton>("RadioButton_LinkGroup").SetChecked(false);
  RadioButton_LinkTargetClick(Control("RadioButton_LinkMenu"));
}

void TForm1::Edit_ProjectChange(TControl&) {
  // The groups of the file named now, read afresh: the link starts the file,
  // not what the editor holds.
  TComboBox& groups = Get<TComboBox>("ComboBox_LinkGroup");
  const std::string chosen = groups.ItemIndex() >= 0 ? groups.Item(groups.ItemIndex()) : std::string();
  groups.Clear();
  const std::string project = Get<TEdit>("Edit_Project").Text();
  if (!FileExists(project)) return;
  std::ifstream in(project, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  for (const std::string& name : ProjectGroupNames(text.str())) {
    groups.Add(name);
    if (name == chosen) groups.SetItemIndex(groups.Count() - 1);
  }
}

void TForm1::RadioButton_LinkTargetClick(TControl&) {
  Control("ComboBox_LinkGroup").SetEnabled(Get<TRadioButton>("RadioButton_LinkGroup").Checked());
}

std::string TForm1::LinkGroup() {
  TComboBox& groups = Get<TComboBox>("ComboBox_LinkGroup");
  if (!Get<TRadioButton>("RadioButton_LinkGroup").Checked() || groups.ItemIndex() < 0) return std::string();
  return groups.Item(groups.ItemIndex());
}

void TForm1::Button_TestProjectClick(TControl&) {
  TEdit& project = Get<TEdit>("Edit_Project");
  if (FileExists(project.Text())) {
    // As the link would start it; the window stays open.
    ShellExecuteA(Handle, "open", ProgramFilePath().c_str(), LinkArguments(project.Text(), LinkGroup()).c_str(), nullptr,
                  SW_SHOWNORMAL);
    return;
  }
  TAnchor anchor = ValidationBalloonAnchor(project.Width(), project.Height());
  ShowBalloonAt(project, biError, "Kein gültiges Projekt angegeben", MissingProjectText(project.Text()), 5000,
                {anchor.X, anchor.Y}, true);
}

void TForm1::HotKeyExit(TControl& sender) {
  Ctrl_ToolTipExit(sender);
  if (!WantsModifierAdvice(ShortCutOfHotKey(Get<THotKey>("HotKey").HotKey()))) return;
  TAnchor anchor = HelpBalloonAnchor(sender.Width(), sender.Height());
  ShowBalloonAt(sender, biWarning, "Zusatztaste empfohlen",
                WrapHelpText("Es wird empfohlen, kein einzelnes Zeichen als Tastenkombination zu definieren, da "
                             "dieses Zeichen dann nicht mehr zum Eingeben von Texten verwendet werden kann. "
                             "Kombinieren Sie also das Zeichen mit einer Sondertaste wie \"Strg\", \"Alt\" oder "
                             "\"Umschalt\"."),
                10000, {anchor.X, anchor.Y}, true);
}

// ---------------------------------------------------------------------------
// Step 6: the link

void TForm1::Button_CreateClick(TControl&) {
  const std::string folder = Control("Edit_DirName").Caption();
  TControl& tree = ShellTree();
  TEdit& title = Get<TEdit>("Edit_LinkTitle");
  TEdit& project = Get<TEdit>("Edit_Project");
  // These balloons go after their time or by the general rules: they have
  // no owner.
  auto refuse = [this](TControl& control, const std::string& caption, const std::string& text) {
    TAnchor anchor = ValidationBalloonAnchor(control.Width(), control.Height());
    ShowBalloonAt(control, biWarning, caption, text, 5000, {anchor.X, anchor.Y}, false);
  };
  if (!FolderExists(folder)) return refuse(tree, "Kein gültiges Verzeichnis angegeben", InvalidFolderText(folder));
  if (!IsUsableLinkTitle(title.Text()))
    return refuse(title, "Kein gültiger Name für die Verknüpfung",
                  "Geben Sie einen gültigen Namen für die Verknüpfung ein.");
  if (!FileExists(project.Text()))
    return refuse(project, "Kein gültiges Projekt angegeben", MissingProjectText(project.Text()));
  if (Get<TRadioButton>("RadioButton_LinkGroup").Checked() && LinkGroup().empty())
    return refuse(Control("ComboBox_LinkGroup"), "Keine Befehlszeilengruppe ausgewählt",
                  "Wählen Sie die Befehlszeilengruppe aus, die die Verknüpfung starten soll.");
  const bool created =
      CreateShellLink(ProgramFilePath(), LinkFileName(folder, title.Text()), LinkArguments(project.Text(), LinkGroup()),
                      Get<TEdit>("Edit_LinkHint").Text(), "", 0, LinkHotKey(ShortCutOfHotKey(Get<THotKey>("HotKey").HotKey())));
  if (created) {
    ShowMessageBoxA("Die Verknüpfung wurde erstellt.", "Vorgang erfolgreich", MB_OK | MB_ICONINFORMATION);
    ShowPage(PageStart);
  } else {
    ShowMessageBoxA("Die Verknüpfung konnte nicht erstellt werden.", "Vorgang nicht erfolgreich",
                    MB_OK | MB_ICONWARNING);
  }
}

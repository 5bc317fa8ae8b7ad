#include "shortcut/ShortcutPage.h"

#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

#include <memory>

#include "controls/BalloonLayout.h"
#include "controls/VQControls.h"
#include "framework/Application.h"
#include "model/Files_win.h"
#include "model/MessageBox_win.h"
#include "model/Platform.h"
#include "model/Text.h"
#include "model/Wide_win.h"
#include "shortcut/LinkRules.h"
#include "shortcut/ShellLink.h"
#include "resources/Resource.h"
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

TShortcutPage::TShortcutPage(TForm& form, TBalloons& balloons) : TConfigPage(form, balloons) {
  openDialog_.Filter = "Tarvo-Dateien (*.trv)|*.trv";
  openDialog_.DefaultExt = "trv";
  openDialog_.Options = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_ENABLESIZING;
}

std::vector<TControlDef> TShortcutPage::Controls() {
  const char* const page = "Page_Link";
  std::vector<TControlDef> rows;
  // The six steps: a large number and its question.
  struct TStep {
    const char *Number, *Caption, *NumberName, *CaptionName;
    int Left, Top;
  };
  const TStep steps[] = {
      {"1.", "Wo soll die Verknüpfung erstellt werden?", "Label_Step1", "Label_Step1Caption", 0, 0},
      {"2.", "Wie soll die Verknüpfung heißen?", "Label_Step2", "Label_Step2Caption", 408, 0},
      {"3.", "Welchen Hinweistext soll die Verknüpfung enthalten?", "Label_Step3", "Label_Step3Caption", 408, 64},
      {"4.", "Auf welches Projekt soll die Verknüpfung verweisen?", "Label_Step4", "Label_Step4Caption", 408, 128},
      {"5.", "Welche Tastenkombination soll verwendet werden?", "Label_Step5", "Label_Step5Caption", 408, 230},
      {"6.", "Erstellen Sie die Verknüpfung.", "Label_Step6", "Label_Step6Caption", 408, 286},
  };
  for (const TStep& step : steps) {
    rows.push_back({Kind<TLabel>, step.NumberName, page, step.Left, step.Top - 4, 0, 0, 0, step.Number, coAutoSize,
                    {"Arial Black", 24}});
    rows.push_back({Kind<TLabel>, step.CaptionName, page, step.Left + 32, step.Top + 4, 0, 0, 0, step.Caption,
                    coAutoSize | coBold});
  }
  // Step 4 is taller than the others: it holds the choice between the menu
  // and one group.
  const char* const lines[] = {"Bevel_Step2", "Bevel_Step3", "Bevel_Step4", "Bevel_Step5"};
  const int lineTops[] = {56, 120, 226, 282};
  for (int i = 0; i < 4; ++i)
    rows.push_back({Kind<TBevel>, lines[i], page, 408, lineTops[i], 393, 2, 0, "", coBevelTopLine});
  rows.push_back({Kind<TBevel>, "Bevel_LinkHalves", page, 398, 0, 2, 361, 0, "", coBevelLeftLine});
  // The balloon of a field goes when it is left.
  auto exitHides = [this] { return balloons_.ExitHides(); };

  rows.push_back({Kind<TShellListViewControl>, "ShellListView", page, 196, 56, 194, 264, IDS_HELP_LINKFOLDER, "", coTabStop, {},
                  {exitHides(), Bind(list_)}});
  rows.push_back({Kind<TShellTreeViewControl>, "ShellTreeView", page, 0, 56, 190, 264, IDS_HELP_LINKFOLDER, "", coTabStop, {},
                  {exitHides(), Bind(tree_)}});
  rows.push_back({Kind<TMemo>, "Edit_DirName", page, 0, 328, 390, 17, 0, "", 0, {}, {Bind(dirName_)}});
  rows.push_back({Kind<TEdit>, "Edit_LinkTitle", page, 440, 28, 320, 21, IDS_HELP_LINKTITLE, "", coTabStop, {},
                  {On(evKeyPress, this, &TShortcutPage::Edit_LinkTitleKeyPress), exitHides(), Bind(title_)}});
  rows.push_back({Kind<TLabel>, "Label_LinkExtension", page, 764, 31, 0, 0, 0, ".lnk", coAutoSize});
  rows.push_back({Kind<TEdit>, "Edit_LinkHint", page, 440, 92, 361, 21, IDS_HELP_LINKHINT, "", coTabStop, {},
                  {exitHides(), Bind(hint_)}});
  rows.push_back({Kind<TEdit>, "Edit_Project", page, 440, 152, 264, 21, IDS_HELP_LINKPROJECT, "", coTabStop, {},
                  {On(evChange, this, &TShortcutPage::Edit_ProjectChange), exitHides(), Bind(project_)}});
  rows.push_back({Kind<TVQButton>, "Button_Search", page, 708, 151, 25, 22, IDS_HELP_SEARCHPROJECT, "", coTabStop, {},
                  {Picture(IDI_SEARCH, 16), On(evClick, this, &TShortcutPage::Button_SearchClick), exitHides()}});
  rows.push_back({Kind<TButton>, "Button_TestProject", page, 740, 150, 61, 25, IDS_HELP_TESTPROJECT, "Testen", coTabStop, {},
                  {On(evClick, this, &TShortcutPage::Button_TestProjectClick), exitHides()}});
  // What the link starts: the project's menu, or one of its groups alone.
  // The second caption takes 205 pixels in Arial's metrics (Liberation Sans
  // under Wine), but 238 in the wider font Wine falls back to without
  // them (DejaVu Sans): it has room for both, at the cost of the list's
  // width.
  rows.push_back({Kind<TRadioButton>, "RadioButton_LinkMenu", page, 440, 180, 120, 17, 0, "Menü anzeigen",
                  coTabStop | coChecked, {},
                  {On(evClick, this, &TShortcutPage::RadioButton_LinkTargetClick), Bind(linkMenu_)}});
  // For a second link: typing a few letters finds an entry in any submenu.
  rows.push_back({Kind<TRadioButton>, "RadioButton_LinkSearch", page, 570, 180, 231, 17, IDS_HELP_LINKSEARCH,
                  "Suchen statt Menü", coTabStop, {},
                  {On(evClick, this, &TShortcutPage::RadioButton_LinkTargetClick), exitHides(), Bind(linkSearch_)}});
  rows.push_back({Kind<TRadioButton>, "RadioButton_LinkGroup", page, 440, 201, 242, 17, 0,
                  "Nur diese Befehlszeilengruppe starten:", coTabStop, {},
                  {On(evClick, this, &TShortcutPage::RadioButton_LinkTargetClick), Bind(linkGroup_)}});
  rows.push_back({Kind<TComboBox>, "ComboBox_LinkGroup", page, 686, 199, 115, 21, 0, "", coTabStop | coDisabled, {},
                  {exitHides(), Bind(groups_)}});
  rows.push_back({Kind<THotKey>, "HotKey", page, 440, 254, 200, 21, 0, "", coTabStop, {},
                  {On(evExit, this, &TShortcutPage::HotKeyExit), balloons_.EnterHides(), Bind(hotKey_)}});
  rows.push_back({Kind<TVQButton>, "Button_Create", page, 440, 310, 49, 49, 0, "", coTabStop, {},
                  {Picture(IDI_CREATELINK, 32), On(evClick, this, &TShortcutPage::Button_CreateClick)}});
  rows.push_back({Kind<TLabel>, "Label_Create", page, 496, 326, 0, 0, 0, "Verknüpfung erstellen", coAutoSize,
                  {"Arial", 13, true, true}});
  rows.push_back({Kind<TVQButton>, "Button_Back", page, 744, 310, 49, 49, IDS_HELP_BACK, "", coTabStop, {},
                  {Picture(IDI_BACK, 32), On(evClick, this, &TShortcutPage::Button_BackClick), exitHides()}});
  // At the tree's top right corner.
  rows.push_back({Kind<TVQButton>, "Button_SpecialFolders", page, 166, 32, 24, 22, IDS_HELP_SPECIALFOLDERS, "", coTabStop, {},
                  {Picture(IDI_OPEN, 16), On(evClick, this, &TShortcutPage::Button_SpecialFoldersClick), exitHides(),
                   Bind(specialFolders_)}});
  return rows;
}

TShellTreeViewControl& TShortcutPage::ShellTree() {
  TShellTreeViewControl& tree = *tree_;
  if (!wired_) {
    wired_ = true;
    TShellListViewControl& list = *list_;
    tree.Tree.ShellListView = &list.List;
    tree.Tree.OnChange = [this] { Application.Guard([this] { ShellTreeViewChange(); }); };
    list.List.OnChange = [this] { Application.Guard([this] { ShellTreeViewChange(); }); };
    list.List.OnAddFolder = [this](const TShellListItem& item) { return ShellListViewAddFolder(item); };
    // Any key and any combination may be a link's hotkey.
    SendMessageA(hotKey_->Handle, HKM_SETRULES, 0, 0);
  }
  return tree;
}

TShellListViewControl& TShortcutPage::ShellList() {
  ShellTree();
  return *list_;
}

std::string TShortcutPage::GetSpecialFolderPath(int tag) {
  LPITEMIDLIST list = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, tag, &list)) || !list) return std::string();
  wchar_t path[MAX_PATH + 1] = L"";
  const bool known = SHGetPathFromIDListW(list, path);
  CoTaskMemFree(list);
  // A folder whose name Windows-1252 lacks is none the program can name.
  std::string narrow;
  return known && TryNarrow(path, narrow) ? narrow : std::string();
}

// ---------------------------------------------------------------------------
// The two ways in

void TShortcutPage::OpenFromStart() {
  TShellTreeView& tree = ShellTree().Tree;
  // Back to the desktop with its first level shown.
  if (HTREEITEM root = tree.Root()) {
    for (HTREEITEM node = tree.FirstChild(root); node; node = tree.NextSibling(node)) tree.Collapse(node, true);
    tree.SetSelected(root);
  }
  for (TBound<TEdit>* edit : {&title_, &hint_, &project_}) (*edit)->SetText("");
  ResetLinkTarget();
  ShowPage(PageLink);
  hotKey_->SetHotKey(0);
  tree.SetFocus();
}

void TShortcutPage::OpenForProject(const std::string& fileName) {
  TShellTreeView& tree = ShellTree().Tree;
  for (TBound<TEdit>* edit : {&title_, &hint_}) (*edit)->SetText("");
  project_->SetText(fileName);
  ResetLinkTarget();
  ShowPage(PageLink);
  tree.SetFocus();
}

void TShortcutPage::SetProjectFile(const std::string& fileName) { project_->SetCaption(fileName); }

void TShortcutPage::Button_BackClick(TControl&) { ShowPage(PageStart); }

// ---------------------------------------------------------------------------
// Step 1: the folder

void TShortcutPage::ShellTreeViewChange() { dirName_->SetCaption(ShellTree().Tree.SelectedPath()); }

bool TShortcutPage::ShellListViewAddFolder(const TShellListItem& item) {
  return item.IsFolder || HasExtension(item.PathName.empty() ? item.Name : item.PathName, ".LNK");
}

void TShortcutPage::Button_SpecialFoldersClick(TControl& sender) {
  HMENU menu = CreatePopupMenu();
  for (const auto& folder : SpecialFolders) AppendMenuW(menu, MF_STRING, folder.Tag, W(folder.Caption).c_str());
  POINT corner = {sender.Width() + 1, 0};
  ClientToScreen(sender.Handle, &corner);
  const int tag = TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD | TPM_NONOTIFY, corner.x,
                                 corner.y, 0, form_.Handle, nullptr);
  DestroyMenu(menu);
  if (tag) MenuItem_SpecialFolderClick(tag);
}

void TShortcutPage::MenuItem_SpecialFolderClick(int tag) {
  const std::string path = SpecialFolderPath(tag, GetSpecialFolderPath(tag));
  if (!path.empty() && FolderExists(path)) {
    SetShellTreePath(path, ShellTree().Tree);
    return;
  }
  balloons_.ShowHelp(*specialFolders_, biError, "Verzeichnis kann nicht gefunden werden",
                     "Das gewünschte Verzeichnis konnte nicht gefunden werden.", 5000, true);
}

// ---------------------------------------------------------------------------
// Steps 2 to 5: title, hint, project, hotkey

void TShortcutPage::Edit_LinkTitleKeyPress(TControl& sender, char& key) {
  if (key && std::string(ForbiddenFileNameChars).find(key) != std::string::npos) {
    const char refused = key;
    key = 0;
    TAnchor anchor = ValidationBalloonAnchor(sender.Width(), sender.Height());
    balloons_.ShowAt(sender, biError, "Unerlaubtes Zeichen", ForbiddenCharText(refused), 5000, {anchor.X, anchor.Y},
                  true);
  } else {
    balloons_.Hide();
  }
}

void TShortcutPage::Button_SearchClick(TControl&) {
  if (openDialog_.Execute(form_.Handle)) project_->SetText(openDialog_.FileName);
}

// ---------------------------------------------------------------------------
// Step 4: the menu, or one group alone

void TShortcutPage::ResetLinkTarget() {
  linkMenu_->SetChecked(true);
  linkSearch_->SetChecked(false);
  linkGroup_->SetChecked(false);
  RadioButton_LinkTargetClick(*linkMenu_);
}

void TShortcutPage::Edit_ProjectChange(TControl&) {
  // The groups of the file named now, read afresh: the link starts the file,
  // not what the editor holds.
  TComboBox& groups = *groups_;
  const std::string chosen = groups.ItemIndex() >= 0 ? groups.Item(groups.ItemIndex()) : std::string();
  groups.Clear();
  const std::string project = project_->Text();
  if (!FileExists(project)) return;
  // Through the platform's files: a path reaches Windows as it is.
  std::string text;
  try {
    std::unique_ptr<IInputFile> in = Platform.Files->OpenRead(project);
    char buffer[65536];
    while (size_t n = in->Read(buffer, sizeof buffer)) text.append(buffer, n);
  } catch (const EInOutError&) {
    return;
  }
  for (const std::string& name : ProjectGroupNames(text)) {
    groups.Add(name);
    if (name == chosen) groups.SetItemIndex(groups.Count() - 1);
  }
}

void TShortcutPage::RadioButton_LinkTargetClick(TControl&) {
  groups_->SetEnabled(linkGroup_->Checked());
}

std::string TShortcutPage::LinkGroup() {
  TComboBox& groups = *groups_;
  if (!linkGroup_->Checked() || groups.ItemIndex() < 0) return std::string();
  return groups.Item(groups.ItemIndex());
}

void TShortcutPage::Button_TestProjectClick(TControl&) {
  TEdit& project = *project_;
  if (FileExists(project.Text())) {
    // As the link would start it; the window stays open.
    NeedCom();
    ShellExecuteW(form_.Handle, L"open", W(ProgramFilePath()).c_str(),
                  W(LinkArguments(project.Text(), LinkGroup(), linkSearch_->Checked())).c_str(), nullptr, SW_SHOWNORMAL);
    return;
  }
  TAnchor anchor = ValidationBalloonAnchor(project.Width(), project.Height());
  balloons_.ShowAt(project, biError, "Kein gültiges Projekt angegeben", MissingProjectText(project.Text()), 5000,
                {anchor.X, anchor.Y}, true);
}

void TShortcutPage::HotKeyExit(TControl& sender) {
  balloons_.ControlLeft(sender);
  if (!WantsModifierAdvice(ShortCutOfHotKey(hotKey_->HotKey()))) return;
  balloons_.ShowHelp(sender, biWarning, "Zusatztaste empfohlen",
                     "Es wird empfohlen, kein einzelnes Zeichen als Tastenkombination zu definieren, da "
                     "dieses Zeichen dann nicht mehr zum Eingeben von Texten verwendet werden kann. "
                     "Kombinieren Sie also das Zeichen mit einer Sondertaste wie \"Strg\", \"Alt\" oder "
                     "\"Umschalt\".",
                     10000, true);
}

// ---------------------------------------------------------------------------
// Step 6: the link

void TShortcutPage::Button_CreateClick(TControl&) {
  const std::string folder = dirName_->Caption();
  TControl& tree = ShellTree();
  TEdit& title = *title_;
  TEdit& project = *project_;
  // These balloons go after their time or by the general rules: they have
  // no owner.
  auto refuse = [this](TControl& control, const std::string& caption, const std::string& text) {
    TAnchor anchor = ValidationBalloonAnchor(control.Width(), control.Height());
    balloons_.ShowAt(control, biWarning, caption, text, 5000, {anchor.X, anchor.Y}, false);
  };
  if (!FolderExists(folder)) return refuse(tree, "Kein gültiges Verzeichnis angegeben", InvalidFolderText(folder));
  if (!IsUsableLinkTitle(title.Text()))
    return refuse(title, "Kein gültiger Name für die Verknüpfung",
                  "Geben Sie einen gültigen Namen für die Verknüpfung ein.");
  if (!FileExists(project.Text()))
    return refuse(project, "Kein gültiges Projekt angegeben", MissingProjectText(project.Text()));
  if (linkGroup_->Checked() && LinkGroup().empty())
    return refuse(*groups_, "Keine Befehlszeilengruppe ausgewählt",
                  "Wählen Sie die Befehlszeilengruppe aus, die die Verknüpfung starten soll.");
  const bool created =
      CreateShellLink(ProgramFilePath(), LinkFileName(folder, title.Text()), LinkArguments(project.Text(), LinkGroup(), linkSearch_->Checked()),
                      hint_->Text(), "", 0, LinkHotKey(ShortCutOfHotKey(hotKey_->HotKey())));
  if (created) {
    ShowMessageBoxA("Die Verknüpfung wurde erstellt.", "Vorgang erfolgreich", MB_OK | MB_ICONINFORMATION);
    ShowPage(PageStart);
  } else {
    ShowMessageBoxA("Die Verknüpfung konnte nicht erstellt werden.", "Vorgang nicht erfolgreich",
                    MB_OK | MB_ICONWARNING);
  }
}

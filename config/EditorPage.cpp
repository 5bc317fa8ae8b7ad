#include "config/EditorPage.h"

#include <commdlg.h>
#include <shlobj.h>

#include "config/BrowseForPath.h"
#include "config/FolderImport_win.h"
#include "config/ProjectCheck_win.h"
#include "config/SavePrompt.h"
#include "controls/VQControls.h"
#include "launcher/MostUsed_win.h"
#include "model/MessageBox_win.h"
#include "model/Wide.h"
#include "model/Platform.h"
#include "model/ProjectFile.h"
#include "resources/Resource.h"
#include "shortcut/ShortcutPage.h"

TEditorPage::TEditorPage(TForm& form, TBalloons& balloons, TProject& project)
    : TConfigPage(form, balloons),
      project_(project),
      menuPanel_(balloons, project),
      groupPanel_(form, balloons, project),
      history_(project, menuPanel_.Editor(), groupPanel_.Editor()) {
  // Menu entries follow their groups' new places; the assignment list
  // shows the groups as they are now.
  groupPanel_.TableChanged = [this] {
    menuPanel_.FillAssignments(project_.GroupNames());
    MenuEditor().ShowSelectedEntry();
  };
  openDialog_.Filter = saveDialog_.Filter = "Tarvo-Dateien (*.trv)|*.trv";
  openDialog_.DefaultExt = saveDialog_.DefaultExt = "trv";
  openDialog_.Options = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_ENABLESIZING;
  saveDialog_.Options = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_ENABLESIZING;
}

TEditorPage::~TEditorPage() { Destroying(); }

namespace {
// Posted when the focus came to a menu entry's field: asked once the focus
// has settled, not in the middle of its change.
const UINT WM_ENTRYFIELDENTERED = WM_APP + 3;
}  // namespace

void TEditorPage::Created() {
  project_.View = this;
  form_.OnMessage(WM_ENTRYFIELDENTERED, [this](TMessage&) { EntryFieldEntered(); });
  menuPanel_.EntryFieldFocused = [this] { PostMessageW(form_.Handle, WM_ENTRYFIELDENTERED, 0, 0); };
}

void TEditorPage::EntryFieldEntered() {
  // Going to the menu entry's fields leaves the working list: the entry is
  // about to be bound to a group that lacks the changed lines. The focus
  // comes back to the field when the question closes, and is then asked
  // about no more.
  if (askingLines_ || !GroupEditor().LinesChanged()) return;
  if (!menuPanel_.IsEntryField(form_.ActiveControl())) return;
  askingLines_ = true;
  const bool leave = GroupEditor().LeaveLines();
  askingLines_ = false;
  if (!leave) groupPanel_.FocusRows();
}

void TEditorPage::Showing() {
  // Made at the page's first showing, not with the window: the start page
  // shows no icon, and whatever the icons make would be paid at every start.
  if (iconsAsked_) return;
  iconsAsked_ = true;
  ShowIcons();
}

void TEditorPage::ShowIcons() {
  if (!MenuIconsWanted()) return;
  TListView& lines = groupPanel_.Rows();
  icons_ = std::make_unique<TEditorIcons>(form_, [this, &lines] {
    MenuTree().Invalidate();
    lines.Invalidate();
  });
  MenuTree().SetImages(icons_->Images());
  MenuTree().ImageOf = [this](HTREEITEM node) {
    if (!icons_) return 0;
    const int index = menuPanel_.EntryIndexOf(node);
    if (index < 0 || static_cast<size_t>(index) >= project_.MenuItems().size()) return 0;
    const TTRVMenuItem& entry = project_.MenuItems()[static_cast<size_t>(index)];
    // A folder's entry shows a folder: the Windows folder's icon, which asks
    // no share, however often the tree is drawn.
    std::string windows;
    if (!entry.Folder.empty()) return host_.WindowsFolder(windows) ? icons_->ImageOf(windows) : 0;
    return icons_->ImageOf(GroupIconTarget(host_, project_, entry.Assignment));
  };
  lines.SetImages(icons_->Images());
  lines.ImageOf = [this](int row) {
    if (!icons_) return 0;
    const std::vector<TExecLine>& working = GroupEditor().WorkingLines();
    if (row < 0 || static_cast<size_t>(row) >= working.size()) return 0;
    return icons_->ImageOf(CommandIconTarget(host_, working[static_cast<size_t>(row)]));
  };
}

void TEditorPage::ProjectChanged() {
  // An entry's group, or the group's first program, may have changed.
  if (icons_) MenuTree().Invalidate();
}

void TEditorPage::Destroying() {
  if (project_.View == this) project_.View = nullptr;
  if (icons_) {
    // The controls share the image list, which goes with the icons.
    MenuTree().SetImages(nullptr);
    groupPanel_.Rows().SetImages(nullptr);
  }
  icons_.reset();
  checkWindow_.reset();
}

TCheckForm& TEditorPage::CheckWindow() {
  return LazyForm(checkWindow_, [this](TCheckForm& window) {
    window.Check = [this] { return CheckProject(); };
    window.FindingChosen = [this](const TFinding& finding) { ShowFinding(finding); };
    window.Create(form_.Handle);
  });
}

std::vector<TFinding> TEditorPage::CheckProject() {
  return ::CheckProject(project_.ExecGroups(), project_.MenuItems(), project_.UseMenu(), project_.FileName(),
                        WindowsCheckLookup());
}

bool TEditorPage::AskSaveFirst() {
  // The working list's changed lines first: taken over, they are part of
  // what the save question asks about.
  if (!GroupEditor().LeaveLines()) return false;
  TSavePromptActions actions;
  actions.Beep = [] { MessageBeep(MB_ICONEXCLAMATION); };
  // The prompt's "&Ja" saves without the check: the user is leaving the
  // project, and a "Nein" there would discard it.
  actions.Save = [this] { SaveCurrentProject(false); };
  return ::AskSaveFirst(project_, actions);
}

void TEditorPage::Button_CreateLinkClick(TControl&) {
  if (!AskSaveFirst()) return;
  if (project_.FileName().empty()) {
    ShowMessageBoxA("Das aktuelle Projekt muss zunächst gespeichert werden.", "Speicherung erforderlich",
                    MB_OK | MB_ICONWARNING);
    return;
  }
  if (CreateLinkFor) CreateLinkFor(project_.FileName());
}

std::vector<TControlDef> TEditorPage::Controls() {
  const char* const page = "Page_Create";
  std::vector<TControlDef> rows;
  // The file commands: an icon button, its caption and its description
  // beside it.
  struct TCommand {
    const char *Button, *CaptionLabel, *HintLabel;
    int Left, Top, Width, Icon;
    const char *Caption, *Hint;
    int HintWidth;
    void (TEditorPage::*Click)(TControl&);
    TBound<TVQButton>* Member;
  };
  const TCommand commands[] = {
      {"Button_New", "Label_New", "Label_NewHint", 0, 0, 49, IDI_NEW, "Neu",
       "Aktuelle Menüs und Befehlszeilenfolgen entfernen, um ein neues Projekt zu beginnen", 272,
       &TEditorPage::Button_NewClick, &new_},
      {"Button_Open", "Label_Open", "Label_OpenHint", 336, 0, 51, IDI_OPEN, "Öffnen", "Vorhandenes Projekt öffnen",
       152, &TEditorPage::Button_OpenClick, &open_},
      {"Button_CreateLink", "Label_CreateLink", "Label_CreateLinkHint", 552, 0, 51, IDI_CREATELINK,
       "Verknüpfung erstellen", "Verknüpfung zum Aufrufen des aktuellen Projekts erstellen", 193,
       &TEditorPage::Button_CreateLinkClick, nullptr},
      {"Button_Save1", "Label_Save1", "Label_Save1Hint", 0, 56, 49, IDI_SAVE, "Speichern",
       "Das aktuelle Projekt unter demselben Dateinamen, unter dem es bereits gespeichert wurde, speichern", 272,
       &TEditorPage::Button_Save1Click, &save_},
      {"Button_Save2", "Label_Save2", "Label_Save2Hint", 336, 56, 49, IDI_SAVEAS, "Speichern unter",
       "Das aktuelle Projekt in einer neuen Datei speichern", 152, &TEditorPage::Button_Save2Click,
       &saveAs_},
      {"Button_Close", "Label_Close", "Label_CloseHint", 552, 56, 51, IDI_BACK, "Zurück", "Zum Hauptmenü wechseln",
       193, &TEditorPage::Button_CloseClick, nullptr},
  };
  for (const TCommand& c : commands) {
    std::vector<TProp> props = {Picture(c.Icon, 32)};
    if (c.Click) props.push_back(On(evClick, this, c.Click));
    if (c.Member) props.push_back(Bind(*c.Member));
    rows.push_back({Kind<TVQButton>, c.Button, page, c.Left, c.Top, c.Width, 49, 0, "", coTabStop, {}, props});
    rows.push_back({Kind<TLabel>, c.CaptionLabel, page, c.Left + 56, c.Top, 0, 0, 0, c.Caption, coAutoSize,
                    {"Arial", 13, true}});
    rows.push_back({Kind<TLabel>, c.HintLabel, page, c.Left + 56, c.Top + 16, c.HintWidth, 39, 0, c.Hint, coWordWrap});
  }
  rows.push_back({Kind<TBevel>, "Bevel1", page, 0, 112, 801, 2, 0, "", coBevelTopLine});

  // What the balloon of a field or button goes with: leaving it.
  auto exitHides = [this] { return balloons_.ExitHides(); };
  // The menu structure editor.
  // The two ways to a menu from a folder, side by side above the tree.
  rows.push_back({Kind<TButton>, "Button_FolderMenu", page, 0, 117, 169, 25, IDS_HELP_FOLDERMENU,
                  "Ordner als Unter&menü", coTabStop, {},
                  {Bind(folderMenu_), On(evClick, this, &TEditorPage::Button_FolderMenuClick), exitHides()}});
  rows.push_back({Kind<TButton>, "Button_Import", page, 176, 117, 137, 25, IDS_HELP_IMPORT, "Aus &Ordner übernehmen…",
                  coTabStop, {}, {Bind(import_), On(evClick, this, &TEditorPage::Button_ImportClick), exitHides()}});
  rows.push_back({Kind<TCheckBox>, "CheckBox_UseMenu", page, 0, 150, 169, 17, IDS_HELP_USEMENU, "Menü&struktur:",
                  coTabStop | coBold | coChecked, {},
                  {Bind(useMenu_), On(evClick, this, &TEditorPage::CheckBox_UseMenuClick), exitHides()}});
  menuPanel_.AddRows(rows, page);
  // A disabled window leaves its clicks to the page, where this windowless
  // label under the box takes them.
  rows.push_back({Kind<TLabel>, "Label_MostUsedHint", page, 0, 313, 169, 17, 0, "", 0, {},
                  {On(evClick, this, &TEditorPage::Label_MostUsedHintClick)}});
  rows.push_back({Kind<TCheckBox>, "CheckBox_MostUsed", page, 0, 313, 169, 17, IDS_HELP_MOSTUSED,
                  "&Häufig Gewähltes zuerst", coTabStop | coDisabled, {},
                  {Bind(mostUsed_), On(evClick, this, &TEditorPage::CheckBox_MostUsedClick), exitHides()}});
  rows.push_back({Kind<TBevel>, "Bevel_Editors", page, 320, 120, 2, 241, 0, "", coBevelLeftLine});
  // The command-line group editor, with the whole project's check in the
  // free row below the group's buttons.
  groupPanel_.AddRows(rows, page, [&](std::vector<TControlDef>& between) {
    between.push_back({Kind<TButton>, "Button_Check", page, 328, 272, 137, 25, IDS_HELP_CHECK, "Prüfen", coTabStop, {},
                       {On(evClick, this, &TEditorPage::Button_CheckClick), exitHides()}});
  });
  return rows;
}

void TEditorPage::Button_NewClick(TControl&) {
  if (AskSaveFirst()) project_.Reset();
}

void TEditorPage::Button_OpenClick(TControl&) {
  if (AskSaveFirst() && openDialog_.Execute(form_.Handle)) OpenProject(openDialog_.FileName);
}

void TEditorPage::OpenProject(const std::string& fileName) {
  // The tree is drawn once, when it is whole: drawn node by node, a menu
  // of thousands of entries takes many seconds to load.
  TTreeUpdate update(MenuTree());
  // Also after a load that failed half-way: the file name may have gone.
  struct TShowSetting {
    TEditorPage& Page;
    ~TShowSetting() { Page.ShowMostUsedSetting(); }
  } showSetting{*this};
  LoadProject(project_, fileName, true);
}

void TEditorPage::Button_Save1Click(TControl&) {
  if (SaveDespiteFindings()) SaveCurrentProject(false);
}

void TEditorPage::Button_Save2Click(TControl&) {
  if (SaveDespiteFindings()) SaveCurrentProject(true);
}

void TEditorPage::SaveCurrentProject(bool askName) {
  if (askName || project_.FileName().empty()) {
    if (!saveDialog_.Execute(form_.Handle)) return;
    project_.SetFileName(saveDialog_.FileName);
  }
  SaveProject(project_, project_.FileName());
  ShowMostUsedSetting();
}

bool TEditorPage::SaveDespiteFindings() {
  // A warning, never a lock: "Ja" always saves. A project without findings
  // is saved without a question.
  std::vector<TFinding> findings = CheckProject();
  if (findings.empty()) return true;
  const int answer =
      Platform.MessageBoxes->Show(SaveDespiteFindingsText(findings.size()), "Warnung", mbYesNo | mbIconWarning);
  if (answer == idYes) return true;
  TCheckForm& check = CheckWindow();
  check.ShowFindings(std::move(findings));
  check.Show();
  return false;
}

void TEditorPage::Button_CloseClick(TControl&) {
  if (AskSaveFirst()) ShowPage(PageStart);
}

// ---------------------------------------------------------------------------
// The editors' side of a reset and of a load

void TEditorPage::ProjectReset() {
  useMenu_->SetChecked(true);
  // A new project has no file yet.
  mostUsed_->SetChecked(false);
  mostUsed_->SetEnabled(false);
  menuPanel_.FillAssignments({});
  MenuEditor().Reset();
  GroupEditor().Reset();
}

void TEditorPage::GroupListsRefilled(const std::vector<std::string>& names) {
  menuPanel_.FillAssignments(names);
  GroupEditor().Refill(names);
}

void TEditorPage::GroupLoaded(const std::string& name) {
  groupPanel_.AddGroupItem(name);
  menuPanel_.AddAssignment(name);
}

bool TEditorPage::BrowseForFolder(const std::string& title, int otherwise, std::string& folder) {
  // Where the project lies, else the special folder.
  folder = project_.FileName();
  const size_t slash = folder.find_last_of('\\');
  folder = slash == std::string::npos ? TShortcutPage::GetSpecialFolderPath(otherwise) : folder.substr(0, slash);
  // With a field for a path typed or pasted: a folder the tree does not
  // show (a hidden one, another drive's) can still be given.
  return BrowseForPath(form_.Handle, title, "", folder, false, false, true);
}

void TEditorPage::Button_ImportClick(TControl&) {
  std::string folder;
  if (!BrowseForFolder("Wählen Sie den Ordner, dessen Verknüpfungen das Menü bilden sollen.", CSIDL_PROGRAMS, folder))
    return;
  if (!project_.MenuItems().empty() &&
      ShowMessageBoxA("Das Projekt hat schon Menüeinträge. Sollen sie durch das Menü aus dem Ordner ersetzt werden?",
                      "Aus Ordner übernehmen", MB_YESNO | MB_ICONQUESTION) != IDYES)
    return;
  const std::u16string leftOut = ImportFolder(folder);
  if (!leftOut.empty())
    ShowMessageBoxW(leftOut, WidenText("Aus Ordner übernehmen"), MB_OK | MB_ICONINFORMATION);
}

void TEditorPage::Button_FolderMenuClick(TControl&) {
  std::string folder;
  if (BrowseForFolder("Wählen Sie den Ordner, dessen Inhalt das Untermenü zeigen soll.", CSIDL_PERSONAL, folder))
    MenuEditor().NewFolderItem(folder);
}

std::u16string TEditorPage::ImportFolder(const std::string& folder) {
  TWindowsImportReader reader;
  const TFolderMenu imported = MenuOfFolder(reader, folder, project_.GroupNames());
  TTreeUpdate update(MenuTree());
  history_.Import(imported.Menu, imported.Groups);
  return LeftOutMessage(imported.BrokenLinks, imported.Refused);
}

void TEditorPage::CheckBox_UseMenuClick(TControl&) {
  project_.ChangeMenuSetting(useMenu_->Checked());
}

void TEditorPage::CheckBox_MostUsedClick(TControl&) {
  if (project_.FileName().empty()) return;
  try {
    SetMostUsedWanted(project_.FileName(), mostUsed_->Checked());
  } catch (...) {
    // The box says what the file holds; the error box says why.
    ShowMostUsedSetting();
    throw;
  }
  // A user without a folder for it keeps nothing.
  ShowMostUsedSetting();
}

void TEditorPage::Label_MostUsedHintClick(TControl&) {
  if (mostUsed_->Enabled()) return;
  balloons_.ShowValidation(*mostUsed_, "Speicherung erforderlich",
                           "„Häufig Gewähltes zuerst“ gilt für die Datei des Projekts. Speichern Sie das Projekt "
                           "zunächst.",
                           5000);
}

void TEditorPage::ShowMostUsedSetting() {
  const bool saved = !project_.FileName().empty();
  mostUsed_->SetEnabled(saved);
  mostUsed_->SetChecked(saved && MostUsedWanted(project_.FileName()));
}

TEditorScope TEditorPage::FocusedEditor() {
  TControl* focus = form_.ActiveControl();
  if (!focus) return esAll;
  if (groupPanel_.Owns(focus)) return esGroups;
  if (menuPanel_.Owns(focus) || focus == &useMenu_.Get() || focus == &mostUsed_.Get() || focus == &import_.Get() ||
      focus == &folderMenu_.Get())
    return esMenu;
  return esAll;
}

void TEditorPage::Undo() {
  // The tree is drawn once, when it shows the menu list again.
  TTreeUpdate update(MenuTree());
  history_.Undo(FocusedEditor());
}

void TEditorPage::Redo() {
  TTreeUpdate update(MenuTree());
  history_.Redo(FocusedEditor());
}

void TEditorPage::ShowEditorHelp(TControl& editor) {
  // F2 again hides it, as on every other control.
  if (balloons_.Timer().Enabled() && balloons_.Owner() == editor.Handle) {
    balloons_.Hide();
    return;
  }
  const std::vector<std::string>& texts = balloons_.HelpTexts();
  std::string text = editor.Tag > 0 && static_cast<size_t>(editor.Tag) < texts.size() ? texts[editor.Tag] : "";
  const std::string undo = history_.UndoText(FocusedEditor());
  if (!undo.empty()) text += (text.empty() ? "" : "\r\n\r\n") + std::string("Strg+Z nimmt zurück: ") + undo + ".";
  balloons_.ShowHelp(editor, biInformation, "Information", text, 0, true);
}

bool TEditorPage::KeyDown(WORD key) {
  const bool control = GetKeyState(VK_CONTROL) < 0, shift = GetKeyState(VK_SHIFT) < 0;
  TControl* focus = form_.ActiveControl();
  // A field keeps its own keys for its text: Ctrl+Z there undoes typing.
  const bool inField = focus && dynamic_cast<TEdit*>(focus);
  // A command of a button runs only while the button may be clicked.
  auto click = [](TControl& button) {
    if (button.Enabled() && button.OnClick) button.OnClick(button);
    return true;
  };
  if (control) {
    switch (key) {
      case 'Z':
        if (inField) return false;
        shift ? Redo() : Undo();
        return true;
      case 'Y':
        if (inField) return false;
        Redo();
        return true;
      case 'N':
        return click(*new_);
      case 'O':
        return click(*open_);
      case 'S':
        return click(shift ? *saveAs_ : *save_);
      default:
        return false;
    }
  }
  if (!focus || shift) return false;
  // The editors' help says what Ctrl+Z there would take back.
  const bool inTree = focus == &MenuTree(), inLines = focus == &groupPanel_.Rows();
  if (key == VK_F2 && (inTree || inLines)) {
    ShowEditorHelp(*focus);
    return true;
  }
  if (key == VK_DELETE && inTree) return click(menuPanel_.Button(meDelItem));
  if (key == VK_DELETE && inLines) return click(groupPanel_.Button(geDelExecLine));
  if (key == VK_RETURN && inLines) return click(groupPanel_.Button(geEditExecLine));
  return false;
}

void TEditorPage::ModifiedChanged(bool modified) {
  if (ModifiedShown) ModifiedShown(modified);
}

void TEditorPage::SetMenuSetting(bool useMenu) { useMenu_->SetChecked(useMenu); }

void TEditorPage::MenuItemLoaded(int index, const TTRVMenuItem& entry) { MenuEditor().EntryLoaded(index, entry); }

void TEditorPage::Button_CheckClick(TControl&) {
  TCheckForm& check = CheckWindow();
  check.ShowFindings(CheckProject());
  check.Show();
}

void TEditorPage::ShowFinding(const TFinding& finding) {
  if (finding.MenuEntry >= 0) {
    if (finding.MenuEntry < static_cast<int>(project_.MenuItems().size())) MenuEditor().ShowEntryAt(finding.MenuEntry);
    return;
  }
  GroupEditor().ShowGroupByName(finding.GroupName, finding.Line);
}


#include "config/EditorPage.h"

#include <commdlg.h>
#include <shlobj.h>

#include "config/BrowseForPath.h"
#include "config/FolderImport_win.h"
#include "config/ProjectCheck_win.h"
#include "config/SavePrompt.h"
#include "controls/VQControls.h"
#include "model/MessageBox_win.h"
#include "model/Wide.h"
#include "model/Platform.h"
#include "model/ProjectFile.h"
#include "resources/Resource.h"
#include "shortcut/ShortcutPage.h"

TEditorPage::TEditorPage(TForm& form, TBalloons& balloons, TProject& project)
    : TConfigPage(form, balloons),
      project_(project),
      menuView_(form),
      menuEditor_(project, menuView_),
      groupView_(form),
      groupEditor_(project, groupView_),
      history_(project, menuEditor_, groupEditor_) {
  menuView_.CanDrop = [this](int source, int target, TMenuDropPlace place) {
    return menuEditor_.CanDrop(source, target, place);
  };
  menuView_.Dropped = [this](int source, int target, TMenuDropPlace place) { menuEditor_.Drop(source, target, place); };
  groupEditor_.Beep = [] { MessageBeep(MB_ICONEXCLAMATION); };
  // Menu entries follow their groups' new places; the assignment list
  // shows the groups as they are now.
  groupView_.TableChanged = [this] {
    FillAssignments(project_.GroupNames());
    menuEditor_.ShowSelectedEntry();
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
}

void TEditorPage::EntryFieldEntered() {
  // Going to the menu entry's fields leaves the working list: the entry is
  // about to be bound to a group that lacks the changed lines. The focus
  // comes back to the field when the question closes, and is then asked
  // about no more.
  if (askingLines_ || !groupEditor_.LinesChanged()) return;
  TControl* focus = form_.ActiveControl();
  if (!focus || (focus->Name != "Edit_ItemText" && focus->Name != "ComboBox_Assignment")) return;
  askingLines_ = true;
  const bool leave = groupEditor_.LeaveLines();
  askingLines_ = false;
  if (!leave) groupView_.FocusRows();
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
  TListView& lines = Get<TListView>("ListView_ExecLines");
  icons_ = std::make_unique<TEditorIcons>(form_, [this, &lines] {
    MenuTree().Invalidate();
    lines.Invalidate();
  });
  MenuTree().SetImages(icons_->Images());
  MenuTree().ImageOf = [this](HTREEITEM node) {
    if (!icons_) return 0;
    const int index = menuView_.EntryIndexOf(node);
    if (index < 0 || static_cast<size_t>(index) >= project_.MenuItems().size()) return 0;
    return icons_->ImageOf(GroupIconTarget(project_, project_.MenuItems()[static_cast<size_t>(index)].Assignment));
  };
  lines.SetImages(icons_->Images());
  lines.ImageOf = [this](int row) {
    if (!icons_) return 0;
    const std::vector<TExecLine>& working = groupEditor_.WorkingLines();
    if (row < 0 || static_cast<size_t>(row) >= working.size()) return 0;
    return icons_->ImageOf(CommandIconTarget(working[static_cast<size_t>(row)]));
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
    Get<TListView>("ListView_ExecLines").SetImages(nullptr);
  }
  icons_.reset();
  checkWindow_.reset();
  lineDialog_.reset();
}

TCheckForm& TEditorPage::CheckWindow() {
  return LazyForm(checkWindow_, [this](TCheckForm& window) {
    window.Check = [this] { return CheckProject(); };
    window.FindingChosen = [this](const TFinding& finding) { ShowFinding(finding); };
    window.Create(form_.Handle);
  });
}

TForm2& TEditorPage::CommandLineDialog() {
  return LazyForm(lineDialog_, [this](TForm2& dialog) { dialog.Create(form_.Handle); }, balloons_);
}

std::vector<TFinding> TEditorPage::CheckProject() {
  return ::CheckProject(project_.ExecGroups(), project_.MenuItems(), project_.UseMenu(), project_.FileName(),
                        WindowsCheckLookup());
}

bool TEditorPage::AskSaveFirst() {
  // The working list's changed lines first: taken over, they are part of
  // what the save question asks about.
  if (!groupEditor_.LeaveLines()) return false;
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
  };
  const TCommand commands[] = {
      {"Button_New", "Label_New", "Label_NewHint", 0, 0, 49, IDI_NEW, "Neu",
       "Aktuelle Menüs und Befehlszeilenfolgen entfernen, um ein neues Projekt zu beginnen", 272,
       &TEditorPage::Button_NewClick},
      {"Button_Open", "Label_Open", "Label_OpenHint", 336, 0, 51, IDI_OPEN, "Öffnen", "Vorhandenes Projekt öffnen",
       152, &TEditorPage::Button_OpenClick},
      {"Button_CreateLink", "Label_CreateLink", "Label_CreateLinkHint", 552, 0, 51, IDI_CREATELINK,
       "Verknüpfung erstellen", "Verknüpfung zum Aufrufen des aktuellen Projekts erstellen", 193,
       &TEditorPage::Button_CreateLinkClick},
      {"Button_Save1", "Label_Save1", "Label_Save1Hint", 0, 56, 49, IDI_SAVE, "Speichern",
       "Das aktuelle Projekt unter demselben Dateinamen, unter dem es bereits gespeichert wurde, speichern", 272,
       &TEditorPage::Button_Save1Click},
      {"Button_Save2", "Label_Save2", "Label_Save2Hint", 336, 56, 49, IDI_SAVEAS, "Speichern unter",
       "Das aktuelle Projekt in einer neuen Datei speichern", 152, &TEditorPage::Button_Save2Click},
      {"Button_Close", "Label_Close", "Label_CloseHint", 552, 56, 51, IDI_BACK, "Zurück", "Zum Hauptmenü wechseln",
       193, &TEditorPage::Button_CloseClick},
  };
  for (const TCommand& c : commands) {
    std::vector<TProp> props = {Picture(c.Icon, 32)};
    if (c.Click) props.push_back(On(evClick, this, c.Click));
    rows.push_back({Kind<TVQButton>, c.Button, page, c.Left, c.Top, c.Width, 49, 0, "", coTabStop, {}, props});
    rows.push_back({Kind<TLabel>, c.CaptionLabel, page, c.Left + 56, c.Top, 0, 0, 0, c.Caption, coAutoSize,
                    {"Arial", 13, true}});
    rows.push_back({Kind<TLabel>, c.HintLabel, page, c.Left + 56, c.Top + 16, c.HintWidth, 39, 0, c.Hint, coWordWrap});
  }
  rows.push_back({Kind<TBevel>, "Bevel1", page, 0, 112, 801, 2, 0, "", coBevelTopLine});

  // What the balloon of a field or button goes with: leaving it.
  auto exitHides = [this] { return balloons_.ExitHides(); };
  auto button = [&](const char* name, int left, int top, int width, int tag, const char* caption, unsigned options,
                    void (TEditorPage::*click)(TControl&), bool hidesBalloon = true) {
    std::vector<TProp> props;
    if (click) props.push_back(On(evClick, this, click));
    if (hidesBalloon) props.push_back(exitHides());
    rows.push_back({Kind<TButton>, name, page, left, top, width, 25, tag, caption, coTabStop | options, {}, props});
  };

  // The menu structure editor.
  button("Button_Import", 176, 117, 137, IDS_HELP_IMPORT, "Aus &Ordner übernehmen…", 0, &TEditorPage::Button_ImportClick);
  rows.push_back({Kind<TCheckBox>, "CheckBox_UseMenu", page, 0, 128, 169, 17, IDS_HELP_USEMENU, "Menü&struktur:",
                  coTabStop | coBold | coChecked, {},
                  {On(evClick, this, &TEditorPage::CheckBox_UseMenuClick), exitHides()}});
  rows.push_back({Kind<TTreeView>, "TreeView_Menu", page, 0, 144, 169, 185, IDS_HELP_MENUTREE, "", coTabStop, {},
                  {Indent(19), On(evChange, this, &TEditorPage::TreeView_MenuChange), exitHides()}});
  rows.push_back({Kind<TLabel>, "Label_ItemText", page, 176, 144, 0, 0, 0, "Text:", coAutoSize});
  // The menu entry's fields: coming to them leaves the working list.
  auto enterEntry = [this] {
    TProp p = balloons_.EnterHides();
    p.Notify = [this, hides = p.Notify](TControl& c) {
      hides(c);
      PostMessageA(form_.Handle, WM_ENTRYFIELDENTERED, 0, 0);
    };
    return p;
  };
  rows.push_back({Kind<TEdit>, "Edit_ItemText", page, 176, 160, 137, 21, IDS_HELP_ITEMTEXT, "", coTabStop, {},
                  {enterEntry(), exitHides()}});
  rows.push_back({Kind<TLabel>, "Label14", page, 176, 192, 0, 0, 0, "Zugeordnete Befehlszeilen:", coAutoSize});
  rows.push_back({Kind<TComboBox>, "ComboBox_Assignment", page, 176, 208, 137, 21, IDS_HELP_ASSIGNMENT, "", coTabStop, {},
                  {Items({NoActionItem}), enterEntry(), exitHides()}});
  button("Button_NewItem", 176, 240, 137, IDS_HELP_NEWITEM, "Neuer Eintrag", 0, &TEditorPage::Button_NewItemClick);
  button("Button_NewSubItem", 176, 272, 137, IDS_HELP_NEWSUBITEM, "Neuer Untereintrag", coDisabled, &TEditorPage::Button_NewSubItemClick);
  button("Button_EditItem", 176, 304, 137, IDS_HELP_EDITITEM, "Eintrag bearbeiten", coDisabled, &TEditorPage::Button_EditItemClick);
  button("Button_DelItem", 176, 336, 137, IDS_HELP_DELITEM, "Eintrag löschen", coDisabled, &TEditorPage::Button_DelItemClick);
  button("Button_Up", 0, 336, 81, 0, "Hoch", coDisabled, &TEditorPage::Button_UpClick, false);
  button("Button_Down", 88, 336, 83, 0, "Runter", coDisabled, &TEditorPage::Button_DownClick, false);
  rows.push_back({Kind<TBevel>, "Bevel_Editors", page, 320, 120, 2, 241, 0, "", coBevelLeftLine});

  // The command-line group editor.
  rows.push_back({Kind<TLabel>, "Label15", page, 328, 128, 0, 0, 0, "&Befehlszeilengruppen:", coAutoSize | coBold, {},
                  {FocusControl("ComboBox_ExecLines")}});
  rows.push_back({Kind<TComboBox>, "ComboBox_ExecLines", page, 328, 144, 137, 21, IDS_HELP_GROUPS, "", coTabStop, {},
                  {Items({NewGroupItem}), On(evSelect, this, &TEditorPage::ComboBox_ExecLinesChange), exitHides()}});
  button("Button_NewExec", 328, 176, 137, IDS_HELP_NEWEXEC, "Neu", coDisabled, &TEditorPage::Button_NewEditExecClick);
  button("Button_EditExec", 328, 208, 137, IDS_HELP_EDITEXEC, "Bearbeiten", coDisabled, &TEditorPage::Button_NewEditExecClick);
  button("Button_DelExec", 328, 240, 137, IDS_HELP_DELEXEC, "Löschen", coDisabled, &TEditorPage::Button_DelExecClick);
  // The whole project's check, in the free row below the group's buttons.
  button("Button_Check", 328, 272, 137, IDS_HELP_CHECK, "Prüfen", 0, &TEditorPage::Button_CheckClick);
  rows.push_back({Kind<TLabel>, "Label_ExecName", page, 328, 320, 0, 0, 0, "Name:", coAutoSize});
  rows.push_back({Kind<TEdit>, "Edit_ExecName", page, 328, 336, 137, 21, IDS_HELP_EXECNAME, "", coTabStop, {},
                  {On(evChange, this, &TEditorPage::Edit_ExecNameChange), exitHides()}});
  rows.push_back({Kind<TListView>, "ListView_ExecLines", page, 480, 144, 321, 185, IDS_HELP_EXECLINES, "", coTabStop, {},
                  {Columns({{"Typ", 100}, {"Parameter", 200}}), WindowStyles(LVS_NOSORTHEADER),
                   // Programs, documents, folders and links dropped from the shell.
                   WindowExStyles(WS_EX_ACCEPTFILES), On(evChange, this, &TEditorPage::ListView_ExecLinesSelectItem),
                   On(evDblClick, this, &TEditorPage::ListView_ExecLinesDblClick), exitHides()}});
  button("Button_NewExecLine", 480, 336, 73, IDS_HELP_NEWEXECLINE, "Neu", 0, &TEditorPage::Button_NewExecLineClick);
  button("Button_EditExecLine", 556, 336, 73, IDS_HELP_EDITEXECLINE, "Bearbeiten", coDisabled, &TEditorPage::Button_EditExecLineClick);
  button("Button_DelExecLine", 632, 336, 73, IDS_HELP_DELEXECLINE, "Löschen", coDisabled, &TEditorPage::Button_DelExecLineClick);
  button("Button_TestExecLines", 712, 336, 89, IDS_HELP_TESTEXECLINES, "Testen", coDisabled, &TEditorPage::Button_TestExecLinesClick);
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
  Get<TCheckBox>("CheckBox_UseMenu").SetChecked(true);
  FillAssignments({});
  menuEditor_.Reset();
  groupEditor_.Reset();
}

void TEditorPage::FillAssignments(const std::vector<std::string>& names) {
  TComboBox& assignment = Get<TComboBox>("ComboBox_Assignment");
  assignment.Clear();
  assignment.Add(NoActionItem);
  for (const std::string& name : names) assignment.Add(name);
}

void TEditorPage::GroupListsRefilled(const std::vector<std::string>& names) {
  FillAssignments(names);
  groupEditor_.Refill(names);
}

void TEditorPage::GroupLoaded(const std::string& name) {
  TComboBox& groups = Get<TComboBox>("ComboBox_ExecLines");
  groups.Insert(groups.Count() - 1, name);
  Get<TComboBox>("ComboBox_Assignment").Add(name);
}

void TEditorPage::Button_ImportClick(TControl&) {
  // Where the project lies, else the Start menu's programs.
  std::string folder = project_.FileName();
  const size_t slash = folder.find_last_of('\\');
  folder = slash == std::string::npos ? TShortcutPage::GetSpecialFolderPath(CSIDL_PROGRAMS) : folder.substr(0, slash);
  // With a field for a path typed or pasted: a folder the tree does not
  // show (a hidden one, another drive's) can still be given.
  if (!BrowseForPath(form_.Handle, "Wählen Sie den Ordner, dessen Verknüpfungen das Menü bilden sollen.", "", folder,
                     false, false, true))
    return;
  if (!project_.MenuItems().empty() &&
      ShowMessageBoxA("Das Projekt hat schon Menüeinträge. Sollen sie durch das Menü aus dem Ordner ersetzt werden?",
                      "Aus Ordner übernehmen", MB_YESNO | MB_ICONQUESTION) != IDYES)
    return;
  const std::u16string leftOut = ImportFolder(folder);
  if (!leftOut.empty())
    ShowMessageBoxW(leftOut, WidenText("Aus Ordner übernehmen"), MB_OK | MB_ICONINFORMATION);
}

std::u16string TEditorPage::ImportFolder(const std::string& folder) {
  TWindowsFolderReader reader;
  const TFolderMenu imported = MenuOfFolder(reader, folder, project_.GroupNames());
  TTreeUpdate update(MenuTree());
  history_.Import(imported.Menu, imported.Groups);
  return LeftOutMessage(imported.BrokenLinks, imported.Refused);
}

void TEditorPage::CheckBox_UseMenuClick(TControl&) {
  project_.ChangeMenuSetting(Get<TCheckBox>("CheckBox_UseMenu").Checked());
}

TEditorScope TEditorPage::FocusedEditor() {
  TControl* focus = form_.ActiveControl();
  if (!focus) return esAll;
  // The group editor's controls all name its groups or lines ("Exec").
  if (focus->Name.find("Exec") != std::string::npos) return esGroups;
  for (const char* name : {"TreeView_Menu", "ComboBox_Assignment", "CheckBox_UseMenu", "Button_Import", "Button_NewItem",
                           "Button_NewSubItem", "Button_EditItem", "Button_DelItem", "Button_Up", "Button_Down"})
    if (focus->Name == name) return esMenu;
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
  auto click = [this](const char* button, void (TEditorPage::*handler)(TControl&)) {
    TControl& sender = Control(button);
    if (sender.Enabled()) (this->*handler)(sender);
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
        return click("Button_New", &TEditorPage::Button_NewClick);
      case 'O':
        return click("Button_Open", &TEditorPage::Button_OpenClick);
      case 'S':
        return shift ? click("Button_Save2", &TEditorPage::Button_Save2Click)
                     : click("Button_Save1", &TEditorPage::Button_Save1Click);
      default:
        return false;
    }
  }
  if (!focus || shift) return false;
  // The editors' help says what Ctrl+Z there would take back.
  if (key == VK_F2 && (focus->Name == "TreeView_Menu" || focus->Name == "ListView_ExecLines")) {
    ShowEditorHelp(*focus);
    return true;
  }
  if (key == VK_DELETE && focus->Name == "TreeView_Menu")
    return click("Button_DelItem", &TEditorPage::Button_DelItemClick);
  if (key == VK_DELETE && focus->Name == "ListView_ExecLines")
    return click("Button_DelExecLine", &TEditorPage::Button_DelExecLineClick);
  if (key == VK_RETURN && focus->Name == "ListView_ExecLines")
    return click("Button_EditExecLine", &TEditorPage::Button_EditExecLineClick);
  return false;
}

void TEditorPage::ModifiedChanged(bool modified) {
  if (ModifiedShown) ModifiedShown(modified);
}

void TEditorPage::SetMenuSetting(bool useMenu) { Get<TCheckBox>("CheckBox_UseMenu").SetChecked(useMenu); }


#include "config/MainForm.h"

#include <commdlg.h>
#include <shellapi.h>

#include "config/CheckForm.h"
#include "config/CommandLineDialog.h"
#include "config/SavePrompt.h"
#include "config/StartPage.h"
#include "controls/Drawing.h"
#include "controls/InfoDlg.h"
#include "controls/VQControls.h"
#include "framework/Application.h"
#include "model/Errors.h"
#include "model/Project.h"
#include "model/ProjectFile.h"
#include "resources/Resource.h"
#include "shortcut/ShellLink.h"

HWND BalloonWindow = nullptr;
TTTOOLINFOA BalloonToolInfo = {};
HWND BalloonOwner = nullptr;
std::vector<std::string> HelpTexts;
int AnimationSequenceStep = 0;
bool AnimationRunning = false;
int LastDialogX = 0, LastDialogY = 0;
TForm1* Form1 = nullptr;

namespace {
// The tool description as the tooltip of Common Controls 5 knows it.
const UINT BalloonToolInfoSize = 44;

const TFontDef OptionFont = {"Arial", 19};
}  // namespace

TForm1::TForm1() : TForm("TForm1") {
  Caption = "Tarvo - Konfiguration";
  ClientWidth = 817;
  ClientHeight = 429;
  Style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  FontName = "Arial";
  FontHeight = 11;
  KeyPreview = true;
}

void TForm1::Create() {
  auto option = [this](const char* name, int top, int tag, void (TForm1::*click)(TControl&)) {
    return TControlDef{Kind<TButton>, name, "Page_Start", 8, top, 73, 65, tag, "", coTabStop, {},
                       {On(evClick, this, click), On(evMouseDown, this, &TForm1::Button_OptionMouseDown),
                        On(evMouseUp, this, &TForm1::Button_OptionMouseUp),
                        On(evExit, this, &TForm1::Ctrl_ToolTipExit)}};
  };
  // The pictures lie on their buttons, which take their clicks and show the
  // hot look over them too.
  auto optionImage = [](const char* name, int tag) {
    return TControlDef{Kind<TVQImage>, name, "Page_Start", 0, 0, 48, 48, tag};
  };
  std::vector<TControlDef> table = {
      {Kind<TBevel>, "Bevel_Top", nullptr, 0, 0, 817, 49, 0, "", coAlignTop | coBevelBottomLine},
      {Kind<TImage>, "Image_AppIcon", nullptr, 8, 8, 32, 32, 0, "", coTransparent},
      {Kind<TLabel>, "Label_Headline", nullptr, 48, 12, 0, 0, 0, "Tarvo", coTransparent | coAutoSize,
       {"Tahoma", 21, true}},
      {Kind<TImage>, "Image_Logo", nullptr, 672, -1, 145, 50, 0, "", coTransparent | coStretchProportional},
      {Kind<TNotebook>, "Notebook", nullptr, 8, 64, 801, 361},
      {Kind<TTabSheet>, "Page_Start", "Notebook", 0, 0, 0, 0, 0, "Startseite"},
      {Kind<TTabSheet>, "Page_Create", "Notebook", 0, 0, 0, 0, 0, "Erstellen"},
      {Kind<TTabSheet>, "Page_Link", "Notebook", 0, 0, 0, 0, 0, "Verknüpfung"},
      {Kind<TLabel>, "Label1", "Page_Start", 0, 0, 801, 73, 0,
       "Mit dem Tarvo (TRV) können Sie sich das Aufrufen von Programmen und Dokumenten erleichtern. TRV stellt Ihnen "
       "die Möglichkeit bereit, eigene Menüs zum Aufrufen von Programmen zu erstellen, die dann durch Betätigen einer "
       "Verknüpfung z.B. auf dem Desktop angezeigt werden.\r\n\r\nWas möchten Sie tun?",
       coWordWrap},
      {Kind<TLabel>, "Label2", "Page_Start", 120, 84, 0, 0, 0, "Menüs und Befehlszeilenfolgen\r\n&erstellen oder bearbeiten",
       coWordWrap | coAutoSize, OptionFont, {FocusControl("Button_Option1")}},
      option("Button_Option1", 72, 1, &TForm1::Button_Option1Click),
      {Kind<TLabel>, "Label3", "Page_Start", 120, 164, 0, 0, 0, "&Verknüpfung zum Aufrufen eines Menüs anlegen", coAutoSize,
       OptionFont, {FocusControl("Button_Option2")}},
      option("Button_Option2", 144, 2, &TForm1::Button_Option2Click),
      {Kind<TLabel>, "Label32", "Page_Start", 120, 236, 0, 0, 0, "Über \"&Tarvo\"...", coAutoSize, OptionFont,
       {FocusControl("Button_Option3")}},
      option("Button_Option3", 216, 3, &TForm1::Button_Option3Click),
      {Kind<TLabel>, "Label4", "Page_Start", 120, 308, 0, 0, 0, "&Beenden", coAutoSize, OptionFont,
       {FocusControl("Button_Option4")}},
      option("Button_Option4", 288, 4, &TForm1::Button_Option4Click),
      optionImage("Image_Option1", 1),
      optionImage("Image_Option2", 2),
      optionImage("Image_Option3", 3),
      optionImage("Image_Option4", 4),
      {Kind<TPaintBox>, "DXDraw", "Page_Start", 400, 200, 404, 164, 0, "", 0, {},
       {On(evPaint, this, &TForm1::DXDrawPaint), On(evClick, this, &TForm1::DXDrawClick)}},
  };
  for (TControlDef& row : EditorPageControls()) table.push_back(std::move(row));
  for (TControlDef& row : LinkPageControls()) table.push_back(std::move(row));
  TForm::Create(table);
  Application.MainWindow = Handle;
}

std::vector<TControlDef> TForm1::LinkPageControls() {
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
  auto exitHides = [this] { return On(evExit, this, &TForm1::Ctrl_ToolTipExit); };

  rows.push_back({Kind<TShellListViewControl>, "ShellListView", page, 196, 56, 194, 264, 29, "", coTabStop, {}, {exitHides()}});
  rows.push_back({Kind<TShellTreeViewControl>, "ShellTreeView", page, 0, 56, 190, 264, 29, "", coTabStop, {}, {exitHides()}});
  rows.push_back({Kind<TMemo>, "Edit_DirName", page, 0, 328, 390, 17, 0, "", 0});
  rows.push_back({Kind<TEdit>, "Edit_LinkTitle", page, 440, 28, 320, 21, 30, "", coTabStop, {},
                  {On(evKeyPress, this, &TForm1::Edit_LinkTitleKeyPress), exitHides()}});
  rows.push_back({Kind<TLabel>, "Label_LinkExtension", page, 764, 31, 0, 0, 0, ".lnk", coAutoSize});
  rows.push_back({Kind<TEdit>, "Edit_LinkHint", page, 440, 92, 361, 21, 31, "", coTabStop, {}, {exitHides()}});
  rows.push_back({Kind<TEdit>, "Edit_Project", page, 440, 152, 264, 21, 32, "", coTabStop, {},
                  {On(evChange, this, &TForm1::Edit_ProjectChange), exitHides()}});
  rows.push_back({Kind<TVQButton>, "Button_Search", page, 708, 151, 25, 22, 33, "", coTabStop, {},
                  {Picture(IDI_SEARCH, 16), On(evClick, this, &TForm1::Button_SearchClick), exitHides()}});
  rows.push_back({Kind<TButton>, "Button_TestProject", page, 740, 150, 61, 25, 34, "Testen", coTabStop, {},
                  {On(evClick, this, &TForm1::Button_TestProjectClick), exitHides()}});
  // What the link starts: the project's menu, or one of its groups alone.
  // The second caption takes 205 pixels in Arial's metrics (Liberation Sans
  // under Wine), but 238 in the wider font Wine falls back to without
  // them (DejaVu Sans): it has room for both, at the cost of the list's
  // width.
  rows.push_back({Kind<TRadioButton>, "RadioButton_LinkMenu", page, 440, 180, 361, 17, 0, "Menü anzeigen",
                  coTabStop | coChecked, {}, {On(evClick, this, &TForm1::RadioButton_LinkTargetClick)}});
  rows.push_back({Kind<TRadioButton>, "RadioButton_LinkGroup", page, 440, 201, 242, 17, 0,
                  "Nur diese Befehlszeilengruppe starten:", coTabStop, {},
                  {On(evClick, this, &TForm1::RadioButton_LinkTargetClick)}});
  rows.push_back({Kind<TComboBox>, "ComboBox_LinkGroup", page, 686, 199, 115, 21, 0, "", coTabStop | coDisabled, {},
                  {exitHides()}});
  rows.push_back({Kind<THotKey>, "HotKey", page, 440, 254, 200, 21, 0, "", coTabStop, {},
                  {On(evExit, this, &TForm1::HotKeyExit), On(evEnter, this, &TForm1::Ctrl_ToolTipEnter)}});
  rows.push_back({Kind<TVQButton>, "Button_Create", page, 440, 310, 49, 49, 0, "", coTabStop, {},
                  {Picture(IDI_CREATELINK, 32), On(evClick, this, &TForm1::Button_CreateClick)}});
  rows.push_back({Kind<TLabel>, "Label_Create", page, 496, 326, 0, 0, 0, "Verknüpfung erstellen", coAutoSize,
                  {"Arial", 13, true, true}});
  rows.push_back({Kind<TVQButton>, "Button_Back", page, 744, 310, 49, 49, 36, "", coTabStop, {},
                  {Picture(IDI_BACK, 32), On(evClick, this, &TForm1::Button_BackClick), exitHides()}});
  // At the tree's top right corner.
  rows.push_back({Kind<TVQButton>, "Button_SpecialFolders", page, 166, 32, 24, 22, 35, "", coTabStop, {},
                  {Picture(IDI_OPEN, 16), On(evClick, this, &TForm1::Button_SpecialFoldersClick), exitHides()}});
  return rows;
}

std::vector<TControlDef> TForm1::EditorPageControls() {
  const char* const page = "Page_Create";
  std::vector<TControlDef> rows;
  // The file commands: an icon button, its caption and its description
  // beside it.
  struct TCommand {
    const char *Button, *CaptionLabel, *HintLabel;
    int Left, Top, Width, Icon;
    const char *Caption, *Hint;
    int HintWidth;
    void (TForm1::*Click)(TControl&);
  };
  const TCommand commands[] = {
      {"Button_New", "Label_New", "Label_NewHint", 0, 0, 49, IDI_NEW, "Neu",
       "Aktuelle Menüs und Befehlszeilenfolgen entfernen, um ein neues Projekt zu beginnen", 272,
       &TForm1::Button_NewClick},
      {"Button_Open", "Label_Open", "Label_OpenHint", 336, 0, 51, IDI_OPEN, "Öffnen", "Vorhandenes Projekt öffnen",
       152, &TForm1::Button_OpenClick},
      {"Button_CreateLink", "Label_CreateLink", "Label_CreateLinkHint", 552, 0, 51, IDI_CREATELINK,
       "Verknüpfung erstellen", "Verknüpfung zum Aufrufen des aktuellen Projekts erstellen", 193,
       &TForm1::Button_CreateLinkClick},
      {"Button_Save1", "Label_Save1", "Label_Save1Hint", 0, 56, 49, IDI_SAVE, "Speichern",
       "Das aktuelle Projekt unter demselben Dateinamen, unter dem es bereits gespeichert wurde, speichern", 272,
       &TForm1::Button_Save1Click},
      {"Button_Save2", "Label_Save2", "Label_Save2Hint", 336, 56, 49, IDI_SAVEAS, "Speichern unter",
       "Das aktuelle Projekt in einer neuen Datei speichern", 152, &TForm1::Button_Save2Click},
      {"Button_Close", "Label_Close", "Label_CloseHint", 552, 56, 51, IDI_BACK, "Zurück", "Zum Hauptmenü wechseln",
       193, &TForm1::Button_CloseClick},
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
  auto exitHides = [this] { return On(evExit, this, &TForm1::Ctrl_ToolTipExit); };
  auto button = [&](const char* name, int left, int top, int width, int tag, const char* caption, unsigned options,
                    void (TForm1::*click)(TControl&), bool hidesBalloon = true) {
    std::vector<TProp> props;
    if (click) props.push_back(On(evClick, this, click));
    if (hidesBalloon) props.push_back(exitHides());
    rows.push_back({Kind<TButton>, name, page, left, top, width, 25, tag, caption, coTabStop | options, {}, props});
  };

  // The menu structure editor.
  rows.push_back({Kind<TCheckBox>, "CheckBox_UseMenu", page, 0, 128, 169, 17, 38, "Menü&struktur:",
                  coTabStop | coBold | coChecked, {}, {exitHides()}});
  rows.push_back({Kind<TTreeView>, "TreeView_Menu", page, 0, 144, 169, 185, 37, "", coTabStop, {},
                  {Indent(19), On(evChange, this, &TForm1::TreeView_MenuChange), exitHides()}});
  rows.push_back({Kind<TLabel>, "Label_ItemText", page, 176, 144, 0, 0, 0, "Text:", coAutoSize});
  rows.push_back({Kind<TEdit>, "Edit_ItemText", page, 176, 160, 137, 21, 5, "", coTabStop, {},
                  {On(evEnter, this, &TForm1::Ctrl_ToolTipEnter), exitHides()}});
  rows.push_back({Kind<TLabel>, "Label14", page, 176, 192, 0, 0, 0, "Zugeordnete Befehlszeilen:", coAutoSize});
  rows.push_back({Kind<TComboBox>, "ComboBox_Assignment", page, 176, 208, 137, 21, 6, "", coTabStop, {},
                  {Items({NoActionItem}), On(evEnter, this, &TForm1::Ctrl_ToolTipEnter), exitHides()}});
  button("Button_NewItem", 176, 240, 137, 7, "Neuer Eintrag", 0, &TForm1::Button_NewItemClick);
  button("Button_NewSubItem", 176, 272, 137, 8, "Neuer Untereintrag", coDisabled, &TForm1::Button_NewSubItemClick);
  button("Button_EditItem", 176, 304, 137, 9, "Eintrag bearbeiten", coDisabled, &TForm1::Button_EditItemClick);
  button("Button_DelItem", 176, 336, 137, 10, "Eintrag löschen", coDisabled, &TForm1::Button_DelItemClick);
  button("Button_Up", 0, 336, 81, 0, "Hoch", coDisabled, &TForm1::Button_UpClick, false);
  button("Button_Down", 88, 336, 83, 0, "Runter", coDisabled, &TForm1::Button_DownClick, false);
  rows.push_back({Kind<TBevel>, "Bevel_Editors", page, 320, 120, 2, 241, 0, "", coBevelLeftLine});

  // The command-line group editor.
  rows.push_back({Kind<TLabel>, "Label15", page, 328, 128, 0, 0, 0, "&Befehlszeilengruppen:", coAutoSize | coBold, {},
                  {FocusControl("ComboBox_ExecLines")}});
  rows.push_back({Kind<TComboBox>, "ComboBox_ExecLines", page, 328, 144, 137, 21, 11, "", coTabStop, {},
                  {Items({NewGroupItem}), On(evSelect, this, &TForm1::ComboBox_ExecLinesChange), exitHides()}});
  button("Button_NewExec", 328, 176, 137, 12, "Neu", coDisabled, &TForm1::Button_NewEditExecClick);
  button("Button_EditExec", 328, 208, 137, 13, "Bearbeiten", coDisabled, &TForm1::Button_NewEditExecClick);
  button("Button_DelExec", 328, 240, 137, 14, "Löschen", coDisabled, &TForm1::Button_DelExecClick);
  // The whole project's check, in the free row below the group's buttons.
  button("Button_Check", 328, 272, 137, 41, "Prüfen", 0, &TForm1::Button_CheckClick);
  rows.push_back({Kind<TLabel>, "Label_ExecName", page, 328, 320, 0, 0, 0, "Name:", coAutoSize});
  rows.push_back({Kind<TEdit>, "Edit_ExecName", page, 328, 336, 137, 21, 15, "", coTabStop, {},
                  {On(evChange, this, &TForm1::Edit_ExecNameChange), exitHides()}});
  rows.push_back({Kind<TListView>, "ListView_ExecLines", page, 480, 144, 321, 185, 20, "", coTabStop, {},
                  {Columns({{"Typ", 100}, {"Parameter", 200}}), WindowStyles(LVS_NOSORTHEADER),
                   On(evChange, this, &TForm1::ListView_ExecLinesSelectItem),
                   On(evDblClick, this, &TForm1::ListView_ExecLinesDblClick), exitHides()}});
  button("Button_NewExecLine", 480, 336, 73, 16, "Neu", 0, &TForm1::Button_NewExecLineClick);
  button("Button_EditExecLine", 556, 336, 73, 17, "Bearbeiten", coDisabled, &TForm1::Button_EditExecLineClick);
  button("Button_DelExecLine", 632, 336, 73, 18, "Löschen", coDisabled, &TForm1::Button_DelExecLineClick);
  button("Button_TestExecLines", 712, 336, 89, 19, "Testen", coDisabled, &TForm1::Button_TestExecLinesClick);
  return rows;
}

// ---------------------------------------------------------------------------
// Creating and showing

void TForm1::FormCreate() {
  // A due reminder comes before the window shows; an update-only start
  // ends here without it.
  VQUpdateFile.CanEndProgram = [] { return AskSaveFirst(); };
  VQUpdateFile.AutomaticUpdate("", false, 0);
  if (Application.Terminated) return;
  Timer_Balloon = &AddTimer();
  Timer_Balloon->SetInterval(5000);
  Timer_Balloon->OnTimer = [this] { Timer_BalloonTimer(); };
  SavePromptActions.Beep = [] { MessageBeep(MB_ICONEXCLAMATION); };
  // The prompt's "&Ja" saves without the check: the user is leaving the
  // project, and a "Nein" there would discard it.
  SavePromptActions.Save = [this] { SaveCurrentProject(false); };
  ProjectView = this;
  OpenDialog.Filter = SaveDialog.Filter = "Tarvo-Dateien (*.trv)|*.trv";
  OpenDialog.DefaultExt = SaveDialog.DefaultExt = "trv";
  OpenDialog.Options = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_ENABLESIZING;
  SaveDialog.Options = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_ENABLESIZING;

  AppendMenuA(GetSystemMenu(Handle, FALSE), MF_STRING, InfoSystemCommand, "&Info");
  LoadHelpTexts();
  // The balloon window waits until the window has been painted: a timer's
  // message comes only when nothing is left to paint.
  Timer_Ready = &AddTimer();
  Timer_Ready->SetInterval(1);
  Timer_Ready->OnTimer = [this] {
    Timer_Ready->SetEnabled(false);
    if (!BalloonWindow) MakeBalloonWindow();
    // The command-line dialog is made once, after this window and before
    // it is first needed.
    CommandLineDialog();
  };
  Timer_Ready->SetEnabled(true);
  // What DragAcceptFiles does, without loading the shell for it.
  SetWindowLongA(Handle, GWL_EXSTYLE, GetWindowLongA(Handle, GWL_EXSTYLE) | WS_EX_ACCEPTFILES);
  OnMessage(WM_SYSCOMMAND, [this](TMessage& m) { SystemCommand(m); });
  OnMessage(WM_MOVE, [this](TMessage& m) { WindowMoved(lastX_, lastY_, m.LParam); });
  OnMessage(WM_DROPFILES, [this](TMessage& m) { FilesDropped(m); });
  SetUpAnimation();
}

void TForm1::FormDestroy() {
  FreeAnimation();
  FreeCheckWindow();
  if (ProjectView == this) ProjectView = nullptr;
  SavePromptActions = {};
}

void TForm1::LoadHelpTexts() {
  HelpTexts.assign(1, std::string());
  std::vector<char> buffer(8192);
  for (int n = 1;; ++n) {
    int length = LoadStringA(GetModuleHandleA(nullptr), n, buffer.data(), static_cast<int>(buffer.size()));
    if (length <= 0) break;
    HelpTexts.push_back(ExpandHelpText(std::string(buffer.data(), length)));
  }
}

void TForm1::FormShow() {
  Application.OnDeactivate = [this] { ApplicationDeactivate(); };
  Application.OnActivate = [this] {
    applicationActive_ = true;
    UpdateDXTimer();
  };
  SetImageIcon(Control("Image_AppIcon"), ResourceIcon(IDI_MAINICON, Scale(32)), 32);
  TControl& logo = Control("Image_Logo");
  if (!logo.Bitmap) {
    int scale = 1;
    logo.Bitmap = LoadLogoBitmap(scale);
  }
  logo.Invalidate();
  for (int n = 1;; ++n) {
    TControl* button = FindComponent("Button_Option" + std::to_string(n));
    if (!button) break;
    TControl& image = Control("Image_Option" + std::to_string(n));
    SetImageIcon(image, ResourceIcon(IDI_OPTION1 + n - 1, Scale(48)), 48);
    image.SetParentControl(*button);
    PlaceOptionImage(n, false);
  }
  // The first still frame.
  DXDrawClick(Control("DXDraw"));
}

void TForm1::FormPaint(HDC dc) {
  RECT client;
  GetClientRect(Handle, &client);
  PaintGradient(dc, MainHeaderGradient(client.right), Control("Bevel_Top").Height());
}

void TForm1::FormCloseQuery(bool& canClose) { canClose = AskSaveFirst(); }

// ---------------------------------------------------------------------------
// Start page

void TForm1::TakeSequenceStep(int option) { AnimationSequenceStep = NextSequenceStep(AnimationSequenceStep, option); }

void TForm1::Button_Option1Click(TControl&) {
  TakeSequenceStep(1);
  ResetProject();
  ShowPage(PageCreate);
}

void TForm1::Button_Option3Click(TControl&) {
  TakeSequenceStep(3);
  AboutBox().ShowAboutBox(Application.Title, "2004-2005", ResourceIcon(IDI_MAINICON, Scale(32)));
}

void TForm1::Button_Option4Click(TControl&) {
  if (AnimationSequenceStep == ClickSequenceComplete) {
    AnimationRunning = !AnimationRunning;
    AnimationSequenceStep = 0;
    UpdateDXTimer();
    return;
  }
  Close();
}

// The picture is placed, never moved by an amount: a release without its
// press (pressed elsewhere) or a press without its release (right button,
// released elsewhere) would otherwise leave it off centre for good.
void TForm1::Button_OptionMouseDown(TControl& sender, TMouseButton button, int, int) {
  PlaceOptionImage(sender.Tag, button == mbLeft);
}

void TForm1::Button_OptionMouseUp(TControl& sender, TMouseButton, int, int) { PlaceOptionImage(sender.Tag, false); }

void TForm1::PlaceOptionImage(int option, bool pressed) {
  TControl& button = Control("Button_Option" + std::to_string(option));
  TControl& image = Control("Image_Option" + std::to_string(option));
  const int nudge = pressed ? 2 : 0;
  image.SetPosition(CenterOffset(button.Width(), image.Width()) + nudge,
                    CenterOffset(button.Height(), image.Height()) + nudge);
}


void TForm1::ShowPage(int index) {
  SetPageIndex("Notebook", index);
  NotebookPageChanged(index);
}

// ---------------------------------------------------------------------------
// Balloons

HWND TForm1::BalloonHost() {
  // The shortcut page's title field hosts the tool once it exists.
  if (TControl* edit = FindComponent("Edit_LinkTitle")) return edit->Handle;
  return Handle;
}

void TForm1::CreateBalloonWindow(HWND parent, bool subclass) {
  BalloonWindow = CreateWindowExA(0, "Tooltips_Class32", nullptr, TTS_ALWAYSTIP | TTS_BALLOON, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, parent, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
  SetWindowPos(BalloonWindow, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  // Help texts carry their own line breaks; they show only with a maximum
  // width set.
  SendMessageA(BalloonWindow, TTM_SETMAXTIPWIDTH, 0, 600);
  BalloonToolInfo = {};
  BalloonToolInfo.cbSize = BalloonToolInfoSize;
  BalloonToolInfo.uFlags = TTF_TRACK | (subclass ? TTF_SUBCLASS : 0);
  BalloonToolInfo.hinst = GetModuleHandleA(nullptr);
}

void TForm1::AddBalloonTool(HWND host, const std::string& text) {
  balloonText_ = text;
  BalloonToolInfo.hwnd = host;
  GetClientRect(host, &BalloonToolInfo.rect);
  BalloonToolInfo.lpszText = &balloonText_[0];
  SendMessageA(BalloonWindow, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&BalloonToolInfo));
}

void TForm1::SetBalloonTitle(int icon, const std::string& title) {
  if (!BalloonWindow) MakeBalloonWindow();
  char buffer[256] = {};
  title.copy(buffer, 255);
  SendMessageA(BalloonWindow, TTM_SETTITLEA, icon, reinterpret_cast<LPARAM>(buffer));
}

void TForm1::MakeBalloonWindow() {
  CreateBalloonWindow(Handle, false);
  AddBalloonTool(BalloonHost(), "");
}

void TForm1::ShowBalloon(HWND host, const char* text, UINT lifetime, POINT point, bool show) {
  // Made once the window is on screen; a balloon asked for sooner is shown.
  if (!BalloonWindow) MakeBalloonWindow();
  if (!IsWindow(BalloonWindow)) {
    MakeBalloonWindow();
    return;
  }
  BalloonToolInfo.hwnd = host;
  if (text) {
    balloonText_ = text;
    BalloonToolInfo.lpszText = &balloonText_[0];
    SendMessageA(BalloonWindow, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&BalloonToolInfo));
  }
  if (show) {
    BalloonToolInfo.rect = {point.x, point.y, 0, 0};
    SendMessageA(BalloonWindow, TTM_TRACKPOSITION, 0, MAKELPARAM(point.x, point.y));
  } else {
    BalloonToolInfo.rect = {0, 0, 0, 0};
  }
  SendMessageA(BalloonWindow, TTM_TRACKACTIVATE, show, reinterpret_cast<LPARAM>(&BalloonToolInfo));
  Timer_Balloon->SetInterval(lifetime);
  Timer_Balloon->SetEnabled(false);
  Timer_Balloon->SetEnabled(true);
}

void TForm1::Timer_BalloonTimer() {
  if (!Timer_Balloon->Enabled()) return;
  ShowBalloon(BalloonToolInfo.hwnd, nullptr, 5000, {0, 0}, false);
  Timer_Balloon->SetEnabled(false);
  BalloonOwner = nullptr;
}

void TForm1::Ctrl_ToolTipExit(TControl& sender) {
  if (sender.Handle == BalloonOwner) Timer_BalloonTimer();
}

void TForm1::Ctrl_ToolTipEnter(TControl& sender) { Ctrl_ToolTipExit(sender); }

void TForm1::ShowValidationBalloon(TControl& control, const std::string& title, const std::string& text,
                                   UINT lifetime) {
  TAnchor anchor = ValidationBalloonAnchor(control.Width(), control.Height());
  ShowBalloonAt(control, biWarning, title, text, lifetime, {anchor.X, anchor.Y}, true);
}

void TForm1::ShowBalloonAt(TControl& control, int icon, const std::string& title, const std::string& text,
                           UINT lifetime, POINT anchor, bool owned) {
  SetBalloonTitle(icon, title);
  ClientToScreen(control.Handle, &anchor);
  ShowBalloon(BalloonHost(), text.c_str(), lifetime, anchor, true);
  if (owned) BalloonOwner = control.Handle;
}

void TForm1::ApplicationDeactivate() {
  Timer_BalloonTimer();
  applicationActive_ = false;
  UpdateDXTimer();
}

void TForm1::WindowMoved(int& lastX, int& lastY, LPARAM origin) {
  const int x = LOWORD(origin), y = HIWORD(origin);
  if (BalloonWindow && Timer_Balloon->Enabled()) {
    const int left = BalloonToolInfo.rect.left + x - lastX, top = BalloonToolInfo.rect.top + y - lastY;
    BalloonToolInfo.rect = {left, top, 0, 0};
    SendMessageA(BalloonWindow, TTM_TRACKPOSITION, 0, MAKELPARAM(left, top));
  }
  lastX = x;
  lastY = y;
}

// ---------------------------------------------------------------------------
// Keys

void TForm1::FormKeyDown(WORD& key) {
  if (VQUpdateFile.ShortCut(key)) {
    key = 0;
    return;
  }
  HelpKeyDown(*this, key);
}

void TForm1::HelpKeyDown(TForm& window, WORD& key) {
  if (key == VK_ESCAPE && Timer_Balloon->Enabled()) {
    Timer_BalloonTimer();
    key = 0;
  } else if (key == VK_F1) {
    Application.HelpContents();
  } else if (key == VK_F2) {
    TControl* control = window.ActiveControl();
    if (!control || control->Tag <= 0) return;
    if (Timer_Balloon->Enabled() && BalloonOwner == control->Handle) {
      Timer_BalloonTimer();
      return;
    }
    const std::string text =
        static_cast<size_t>(control->Tag) < HelpTexts.size() ? HelpTexts[control->Tag] : std::string();
    TAnchor anchor = HelpBalloonAnchor(control->Width(), control->Height());
    ShowBalloonAt(*control, biInformation, "Information", WrapHelpText(text), 0, {anchor.X, anchor.Y}, true);
  }
}

// ---------------------------------------------------------------------------
// Messages: system menu, moves, dropped files

void TForm1::SystemCommand(TMessage& message) {
  message.Result = DefaultHandler(message);
  if (message.WParam == InfoSystemCommand) Button_Option3Click(Control("Button_Option3"));
}

void TForm1::FilesDropped(TMessage& message) {
  message.Result = DefaultHandler(message);
  HDROP drop = reinterpret_cast<HDROP>(message.WParam);
  std::vector<std::string> paths;
  const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    UINT length = DragQueryFileA(drop, i, nullptr, 0);
    std::string path(length + 1, '\0');
    path.resize(DragQueryFileA(drop, i, &path[0], length + 1));
    paths.push_back(path);
  }
  DragFinish(drop);
  if (paths.empty()) return;

  const std::string candidate = DroppedCandidate(paths[0], [](const std::string& link) {
    std::string target, arguments, description, workingDirectory, iconPath;
    int iconIndex = 0;
    ReadShellLink(link, target, arguments, description, workingDirectory, iconPath, iconIndex);
    return arguments;
  });
  const DWORD attributes = GetFileAttributesA(candidate.c_str());
  if (candidate.empty() || attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) ||
      !HasExtension(candidate, ".TRV"))
    return;
  switch (PageIndex("Notebook")) {
    case PageCreate:
      if (AskSaveFirst()) OpenProject(candidate);
      break;
    case PageLink:
      if (TControl* edit = FindComponent("Edit_Project")) edit->SetCaption(candidate);
      break;
    default:
      ShowPage(PageCreate);
      OpenProject(candidate);
      break;
  }
}

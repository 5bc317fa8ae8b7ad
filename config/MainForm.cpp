#include "config/MainForm.h"

#include <shellapi.h>

#include "config/StartPage.h"
#include "controls/Drawing.h"
#include "controls/InfoDlg.h"
#include "controls/VQControls.h"
#include "framework/Application.h"
#include "resources/Resource.h"
#include "model/MessageBox_win.h"
#include "model/Wide_win.h"
#include "shortcut/ShellLink.h"

TForm1::TForm1()
    : TForm("TForm1"),
      startPage_(*this, Balloons),
      editorPage_(*this, Balloons, Project),
      shortcutPage_(*this, Balloons),
      pages_{&startPage_, &editorPage_, &shortcutPage_} {
  Caption = "Tarvo - Konfiguration";
  ClientWidth = 817;
  ClientHeight = 429;
  Style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  FontName = "Arial";
  FontHeight = 11;
  KeyPreview = true;
  startPage_.OptionChosen = [this](int option) { OptionChosen(option); };
  editorPage_.ShowPage = shortcutPage_.ShowPage = [this](int page) { ShowPage(page); };
  editorPage_.CreateLinkFor = [this](const std::string& fileName) { shortcutPage_.OpenForProject(fileName); };
  // The title says what the save-before prompt would ask about.
  editorPage_.ModifiedShown = [this](bool modified) {
    SetWindowTextW(Handle, W(Caption + (modified ? " *" : "")).c_str());
  };
}

void TForm1::Create() {
  std::vector<TControlDef> table = {
      {Kind<TBevel>, "Bevel_Top", nullptr, 0, 0, 817, 49, 0, "", coAlignTop | coBevelBottomLine, {}, {Bind(header_)}},
      {Kind<TImage>, "Image_AppIcon", nullptr, 8, 8, 32, 32, 0, "", coTransparent, {}, {Bind(appIcon_)}},
      {Kind<TLabel>, "Label_Headline", nullptr, 48, 12, 0, 0, 0, "Tarvo", coTransparent | coAutoSize,
       {"Tahoma", 21, true}},
      {Kind<TImage>, "Image_Logo", nullptr, 672, -1, 145, 50, 0, "", coTransparent | coStretchProportional, {},
       {Bind(logo_)}},
      {Kind<TNotebook>, "Notebook", nullptr, 8, 64, 801, 361, 0, "", 0, {}, {Bind(notebook_)}},
      {Kind<TTabSheet>, "Page_Start", "Notebook", 0, 0, 0, 0, 0, "Startseite"},
      {Kind<TTabSheet>, "Page_Create", "Notebook", 0, 0, 0, 0, 0, "Erstellen"},
      {Kind<TTabSheet>, "Page_Link", "Notebook", 0, 0, 0, 0, 0, "Verknüpfung"},
  };
  for (TConfigPage* page : pages_)
    for (TControlDef& row : page->Controls()) table.push_back(std::move(row));
  TForm::Create(table);
  Application.MainWindow = Handle;
}

void TForm1::FormCreate() {
  // A due reminder comes before the window shows; an update-only start
  // ends here without it.
  VQUpdateFile.CanEndProgram = [this] { return editorPage_.AskSaveFirst(); };
  VQUpdateFile.AutomaticUpdate("", false, 0);
  if (Application.Terminated) return;
  Balloons.Attach(*this);
  // The shortcut page's title field hosts the tool; asking for it makes its
  // page's windows.
  Balloons.HostProvider = [this] { return shortcutPage_.TitleField().Handle; };
  Balloons.LoadHelpTexts();
  AppendMenuW(GetSystemMenu(Handle, FALSE), MF_STRING, InfoSystemCommand, L"&Info");
  // The balloon window waits until the window has been painted: a timer's
  // message comes only when nothing is left to paint.
  timerReady_ = &AddTimer();
  timerReady_->SetInterval(1);
  timerReady_->OnTimer = [this] {
    timerReady_->SetEnabled(false);
    NeedCom();
    if (!Balloons.Window()) Balloons.Make();
    // The command-line dialog is made once, after this window and before
    // it is first needed.
    editorPage_.CommandLineDialog();
  };
  timerReady_->SetEnabled(true);
  // What DragAcceptFiles does, without loading the shell for it.
  SetWindowLongA(Handle, GWL_EXSTYLE, GetWindowLongA(Handle, GWL_EXSTYLE) | WS_EX_ACCEPTFILES);
  OnMessage(WM_SYSCOMMAND, [this](TMessage& m) { SystemCommand(m); });
  OnMessage(WM_MOVE, [this](TMessage& m) { Balloons.WindowMoved(lastX_, lastY_, m.LParam); });
  OnMessage(WM_DROPFILES, [this](TMessage& m) { FilesDropped(m); });
  for (TConfigPage* page : pages_) page->Created();
}

void TForm1::FormDestroy() {
  for (TConfigPage* page : pages_) page->Destroying();
}

void TForm1::FormShow() {
  Application.OnDeactivate = [this] {
    Balloons.Hide();
    startPage_.ApplicationActivated(false);
  };
  Application.OnActivate = [this] { startPage_.ApplicationActivated(true); };
  SetImageIcon(*appIcon_, ResourceIcon(IDI_MAINICON, Scale(32)), 32);
  TImage& logo = *logo_;
  if (!logo.Bitmap) {
    int scale = 1;
    logo.Bitmap = LoadLogoBitmap(scale);
  }
  logo.Invalidate();
  startPage_.Shown();
}

void TForm1::FormPaint(HDC dc) {
  RECT client;
  GetClientRect(Handle, &client);
  PaintGradient(dc, MainHeaderGradient(client.right), header_->Height());
}

void TForm1::FormCloseQuery(bool& canClose) { canClose = editorPage_.AskSaveFirst(); }

void TForm1::FormKeyDown(WORD& key) {
  if (VQUpdateFile.ShortCut(key) || (notebook_->PageIndex() == PageCreate && editorPage_.KeyDown(key))) {
    key = 0;
    return;
  }
  Balloons.KeyDown(*this, key);
}

void TForm1::ShowPage(int index) {
  if (index == PageCreate) editorPage_.Showing();
  notebook_->SetPageIndex(index);
  startPage_.NotebookPageChanged(index);
  Balloons.Hide();
}

void TForm1::OptionChosen(int option) {
  switch (option) {
    case 1:
      Project.Reset();
      ShowPage(PageCreate);
      break;
    case 2:
      shortcutPage_.OpenFromStart();
      break;
    case 3:
      ShowAboutBox();
      break;
    default:
      Close();
      break;
  }
}

void TForm1::ShowAboutBox() {
  AboutBox().ShowAboutBox(Application.Title, "2004-2005", ResourceIcon(IDI_MAINICON, Scale(32)));
}

void TForm1::SystemCommand(TMessage& message) {
  message.Result = DefaultHandler(message);
  if (message.WParam != InfoSystemCommand) return;
  // As the start page's option: a step of the click sequence too.
  startPage_.TakeSequenceStep(3);
  ShowAboutBox();
}

void TForm1::FilesDropped(TMessage& message) {
  message.Result = DefaultHandler(message);
  HDROP drop = reinterpret_cast<HDROP>(message.WParam);
  POINT at = {};
  DragQueryPoint(drop, &at);
  // Each name exactly, or refused with its name: never another file's.
  std::vector<std::string> paths;
  std::vector<TRefusedItem> refused;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    UINT length = DragQueryFileW(drop, i, nullptr, 0);
    std::wstring wide(length + 1, L'\0');
    wide.resize(DragQueryFileW(drop, i, &wide[0], length + 1));
    std::string path;
    if (TryNarrow(wide, path))
      paths.push_back(path);
    else
      refused.push_back({U16(wide), ForeignTextMessage(U16(wide))});
  }
  DragFinish(drop);
  // The command-line list takes what is dropped on it as command lines.
  TControl* on = message.LParam ? FromHandle(reinterpret_cast<HWND>(message.LParam)) : nullptr;
  if (on && on == &editorPage_.GroupPanel().Rows()) {
    if (!paths.empty() || !refused.empty()) editorPage_.LinesDropped(paths, refused, at);
    return;
  }
  if (paths.empty()) {
    if (!refused.empty()) ShowMessageBoxW(refused[0].Reason, WidenText(Caption), MB_OK | MB_ICONWARNING);
    return;
  }

  const std::string candidate = DroppedCandidate(paths[0], [](const std::string& link) {
    std::string target, arguments, description, workingDirectory, iconPath;
    int iconIndex = 0;
    ReadShellLink(link, target, arguments, description, workingDirectory, iconPath, iconIndex);
    return arguments;
  });
  const DWORD attributes = GetFileAttributesW(W(candidate).c_str());
  if (candidate.empty() || attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) ||
      !HasExtension(candidate, ".TRV"))
    return;
  switch (notebook_->PageIndex()) {
    case PageCreate:
      if (editorPage_.AskSaveFirst()) editorPage_.OpenProject(candidate);
      break;
    case PageLink:
      shortcutPage_.SetProjectFile(candidate);
      break;
    default:
      ShowPage(PageCreate);
      editorPage_.OpenProject(candidate);
      break;
  }
}

#include "config/CommandLineDialog.h"

#include "config/BrowseForPath.h"
#include "config/CommandLines.h"
#include "controls/VQControls.h"
#include "launcher/Interpreter.h"
#include "model/Codec.h"
#include "model/Errors.h"
#include "model/Project.h"
#include "resources/Resource.h"
#include "model/Wide_win.h"

namespace {
const int PageRun = 0, PageMessage = 1, PageGroup = 2;
// By TWindowState.
const char* const WindowStateNames[] = {"Normal", "Minimiert", "Maximiert"};
}  // namespace

TForm2::TForm2(TBalloons& balloons) : TForm("TForm2"), balloons_(balloons) {
  Caption = "Befehlszeile";
  Style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  ExStyle = WS_EX_DLGMODALFRAME;
  ClientWidth = 513;
  ClientHeight = 179;
  FontName = "Arial";
  FontHeight = 11;
  Position = poOwnerFormCenter;
  KeyPreview = true;
}

void TForm2::Create(HWND owner) {
  // Leaving a field or list, and entering one, hides the balloon that
  // belongs to it.
  auto exitHides = [this] { return balloons_.ExitHides(); };
  auto enterHides = [this] { return balloons_.EnterHides(); };
  std::vector<std::string> kinds(LineKindLabels, LineKindLabels + 6);
  std::vector<std::string> messageTypes(MessageTypeNames, MessageTypeNames + 4);
  std::vector<std::string> windowStates(std::begin(WindowStateNames), std::end(WindowStateNames));
  TForm::Create(
      {
          {Kind<TLabel>, "Label1", nullptr, 8, 8, 0, 0, 0, "&Typ:", coAutoSize, {}, {FocusControl("ComboBox_Kind")}},
          {Kind<TComboBox>, "ComboBox_Kind", nullptr, 8, 32, 129, 21, IDS_HELP_KIND, "", coTabStop, {},
           {Items(kinds), On(evSelect, this, &TForm2::ComboBox_KindChange), exitHides(), enterHides(), Bind(kind_)}},
          {Kind<TNotebook>, "Notebook", nullptr, 152, 8, 353, 132, 0, "", 0, {}, {Bind(notebook_)}},
          {Kind<TTabSheet>, "Page_Run", "Notebook", 0, 0, 0, 0, 0, "Programmaufruf"},
          {Kind<TTabSheet>, "Page_Message", "Notebook", 0, 0, 0, 0, 0, "Meldung"},
          {Kind<TTabSheet>, "Page_Group", "Notebook", 0, 0, 0, 0, 0, "Befehlszeilengruppe"},
          // The access keys of the two labels without a field of their own
          // lead to the field below them.
          {Kind<TLabel>, "Label2", "Page_Run", 0, 0, 0, 0, 0, "Programm&aufruf:", coAutoSize, {},
           {FocusControl("Edit_Run")}},
          {Kind<TEdit>, "Edit_Run", "Page_Run", 0, 24, 321, 21, IDS_HELP_RUN, "", coTabStop, {},
           {exitHides(), enterHides(), Bind(run_)}},
          {Kind<TVQButton>, "Button_Search", "Page_Run", 326, 24, 25, 22, IDS_HELP_SEARCHRUN, "", coTabStop, {},
           {Picture(IDI_SEARCH, 16), On(evClick, this, &TForm2::Button_SearchClick), exitHides()}},
          {Kind<TCheckBox>, "CheckBox_Wait", "Page_Run", 0, 56, 353, 17, IDS_HELP_WAIT,
           "Mit dem weiteren Ablauf auf das Programmende warten", coTabStop, {}, {exitHides(), Bind(wait_)}},
          // On the label's row, where there is room.
          {Kind<TCheckBox>, "CheckBox_Elevated", "Page_Run", 184, 0, 169, 17, IDS_HELP_ELEVATED, "Als Administrator ausführen", coTabStop,
           {}, {exitHides(), Bind(elevated_)}},
          // Where the program runs and how its window shows: empty and
          // "Normal" start it as lines always started.
          {Kind<TLabel>, "Label8", "Page_Run", 0, 85, 0, 0, 0, "A&rbeitsordner:", coAutoSize, {},
           {FocusControl("Edit_Folder")}},
          {Kind<TEdit>, "Edit_Folder", "Page_Run", 88, 82, 233, 21, IDS_HELP_WORKFOLDER, "", coTabStop, {},
           {exitHides(), enterHides(), Bind(folder_)}},
          {Kind<TVQButton>, "Button_SearchFolder", "Page_Run", 326, 82, 25, 22, IDS_HELP_SEARCHFOLDER, "", coTabStop, {},
           {Picture(IDI_SEARCH, 16), On(evClick, this, &TForm2::Button_SearchFolderClick), exitHides()}},
          {Kind<TLabel>, "Label9", "Page_Run", 0, 113, 0, 0, 0, "&Fenster:", coAutoSize, {},
           {FocusControl("ComboBox_Window")}},
          {Kind<TComboBox>, "ComboBox_Window", "Page_Run", 88, 110, 121, 21, IDS_HELP_WINDOW, "", coTabStop, {},
           {Items(windowStates), exitHides(), enterHides(), Bind(window_)}},
          {Kind<TLabel>, "Label3", "Page_Message", 0, 0, 0, 0, 0, "&Text:", coAutoSize, {}, {FocusControl("Edit_Text")}},
          {Kind<TLabel>, "Label4", "Page_Message", 136, 0, 0, 0, 0, "T&itel:", coAutoSize, {},
           {FocusControl("Edit_Title")}},
          {Kind<TLabel>, "Label5", "Page_Message", 272, 0, 0, 0, 0, "&Meldungstyp:", coAutoSize, {},
           {FocusControl("ComboBox_MsgKind")}},
          {Kind<TEdit>, "Edit_Text", "Page_Message", 0, 24, 129, 21, IDS_HELP_MESSAGETEXT, "", coTabStop, {},
           {exitHides(), enterHides(), Bind(text_)}},
          {Kind<TEdit>, "Edit_Title", "Page_Message", 136, 24, 129, 21, IDS_HELP_MESSAGETITLE, "", coTabStop, {},
           {exitHides(), enterHides(), Bind(title_)}},
          {Kind<TComboBox>, "ComboBox_MsgKind", "Page_Message", 272, 24, 81, 21, IDS_HELP_MESSAGETYPE, "", coTabStop, {},
           {Items(messageTypes), exitHides(), enterHides(), Bind(messageType_)}},
          {Kind<TCheckBox>, "CheckBox_CancelButton", "Page_Message", 0, 56, 353, 17, IDS_HELP_CANCELBUTTON,
           "Schaltfläche \"Abbrechen\" anzeigen", coTabStop, {}, {exitHides(), Bind(cancelButton_)}},
          {Kind<TLabel>, "Label6", "Page_Group", 0, 0, 0, 0, 0, "&Befehlszeilengruppe:", coAutoSize, {},
           {FocusControl("ComboBox_ExecGroups")}},
          {Kind<TComboBox>, "ComboBox_ExecGroups", "Page_Group", 0, 24, 353, 21, IDS_HELP_CALLGROUP, "", coTabStop, {},
           {Bind(groups_)}},
          {Kind<TLabel>, "Label7", "Page_Group", 0, 56, 0, 0, 0, "Achten Sie darauf, Endlosschleifen zu vermeiden!",
           coAutoSize},
          {Kind<TButton>, "Button_OK", nullptr, 352, 147, 75, 25, 0, "&OK", coTabStop | coDefault, {},
           {On(evClick, this, &TForm2::Button_OKClick)}},
          // Esc does not close the dialog: it only hides a balloon.
          {Kind<TButton>, "Button_Cancel", nullptr, 432, 147, 75, 25, 0, "Ab&brechen", coTabStop, {},
           {On(evClick, this, &TForm2::Button_CancelClick), exitHides()}},
      },
      owner);
}

void TForm2::FormCreate() {
  OnMessage(WM_MOVE, [this](TMessage& m) { balloons_.WindowMoved(lastX_, lastY_, m.LParam); });
}

void TForm2::FormKeyDown(WORD& key) { balloons_.KeyDown(*this, key); }

void TForm2::Prepare(TExecLine& line, bool isNew, const std::vector<std::string>& groupNames) {
  line_ = &line;
  isNew_ = isNew;
  groupNames_ = groupNames;
}

bool TForm2::Execute(TExecLine& line, bool isNew, const std::vector<std::string>& groupNames) {
  Prepare(line, isNew, groupNames);
  const bool ok = ShowModal() == mrOK;
  line_ = nullptr;
  return ok;
}

void TForm2::FormShow() {
  balloons_.Hide();
  kind_->SetItemIndex(-1);
  editedLineKind_ = -1;
  exactRun_.clear();
  for (TBound<TEdit>* edit : {&run_, &folder_, &text_, &title_}) (*edit)->SetText("");
  for (TBound<TCheckBox>* box : {&wait_, &elevated_, &cancelButton_}) (*box)->SetChecked(false);
  messageType_->SetItemIndex(-1);
  window_->SetItemIndex(wsNormal);
  groups_->Clear();
  for (const std::string& name : groupNames_) groups_->Add(name);
  if (!isNew_ && line_) LoadLine(*line_);
  ShowKindPage(false);
  kind_->SetFocus();
}

void TForm2::LoadLine(const TExecLine& line) {
  // A kind the list has no name for shows none.
  const int kind = line.Kind >= 0 && line.Kind < 6 ? line.Kind : -1;
  kind_->SetItemIndex(kind);
  editedLineKind_ = kind;
  // A line without a parameter gives no fields.
  const std::string& param = line.Params;
  const TStrings fields = param.empty() ? TStrings() : SplitDelimited(param, ';');
  auto flag = [&](int index) { return StrToInt(FieldAt(fields, index)) != 0; };
  switch (kind) {
    case lkCommand:
      run_->SetText(FieldAt(fields, 0));
      wait_->SetChecked(flag(1));
      elevated_->SetChecked(RunsElevated(param));
      if (RunsExactly(param)) exactRun_ = FieldAt(fields, 0);
      folder_->SetText(StartFolder(param));
      window_->SetItemIndex(StartWindow(param));
      break;
    case lkMessage:
    case lkQuestion:
      text_->SetText(FieldAt(fields, 0));
      title_->SetText(FieldAt(fields, 1));
      messageType_->SetItemIndex(StrToInt(FieldAt(fields, 2)));
      cancelButton_->SetChecked(flag(3));
      break;
    case lkCallGroup: {
      TComboBox& groups = *groups_;
      const std::string name = fields.empty() ? std::string() : fields[0];
      for (int i = 0; i < groups.Count(); ++i)
        if (groups.Item(i) == name) {
          groups.SetItemIndex(i);
          break;
        }
      break;
    }
    default:
      break;
  }
}

void TForm2::ComboBox_KindChange(TControl&) { ShowKindPage(true); }

void TForm2::ShowKindPage(bool presetMessageType) {
  const int kind = kind_->ItemIndex();
  int page = PageRun;
  if (kind == lkMessage || kind == lkQuestion) {
    page = PageMessage;
    if (presetMessageType) messageType_->SetItemIndex(kind == lkMessage ? 3 : 1);
  } else if (kind == lkCallGroup) {
    page = PageGroup;
  }
  notebook_->SetPageIndex(page);
}

void TForm2::Button_SearchClick(TControl&) {
  TEdit& run = *run_;
  std::string path = run.Text();
  if (!BrowseForPath(Handle, "Geben Sie die gewünschte Datei bzw. den gewünschten Ordner an.", "", path, true, true,
                     true))
    return;
  path = QuotedPath(path);
  // Replaces the selection, or goes in at the caret.
  SendMessageW(run.Handle, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(W(path).c_str()));
}

void TForm2::Button_SearchFolderClick(TControl&) {
  std::string path = folder_->Text();
  if (!BrowseForPath(Handle, "Wählen Sie den Ordner, in dem das Programm arbeiten soll.", "", path, true, false, true))
    return;
  folder_->SetText(path);
}

std::string TForm2::RowParam(int kind) {
  switch (kind) {
    case lkCommand: {
      // A command run as administrator carries a third field "1"; others
      // have none, as files always had them. A dropped file's line stays
      // exact until its text is changed: then it is the user's, typed. A
      // working folder or a window other than normal adds the fifth and
      // sixth fields; without them the line is written as it always was.
      const std::string run = run_->Text();
      std::string params = WithElevation(CommandParams(run, wait_->Checked()), elevated_->Checked());
      if (!exactRun_.empty() && run == exactRun_) params = WithExactRun(params, true);
      const int window = window_->ItemIndex();
      return WithStartup(params, folder_->Text(), window > 0 ? static_cast<TWindowState>(window) : wsNormal);
    }
    case lkMessage:
    case lkQuestion:
      return MessageParams(text_->Text(), title_->Text(), messageType_->ItemIndex(), cancelButton_->Checked());
    case lkNoAction:
      return NoActionParams;
    case lkCallGroup: {
      TComboBox& groups = *groups_;
      return CallParams(groups.Item(groups.ItemIndex()));
    }
    default:
      return std::string();
  }
}

void TForm2::Button_OKClick(TControl&) {
  TLineInput input;
  input.Kind = kind_->ItemIndex();
  input.Run = run_->Text();
  input.Text = text_->Text();
  input.Title = title_->Text();
  input.MessageType = messageType_->ItemIndex();
  input.Group = groups_->ItemIndex();
  const TLineCheck failing = FirstFailingCheck(input);
  if (failing != lcNone) {
    const TCheckBalloon& balloon = CheckBalloons[failing];
    balloons_.ShowValidation(CheckedField(failing), balloon.Title, balloon.Text, 5000);
    return;
  }
  if (line_) {
    line_->Kind = input.Kind;
    line_->Params = RowParam(input.Kind);
  }
  ModalResult = mrOK;
}

TControl& TForm2::CheckedField(TLineCheck check) {
  switch (check) {
    case lcRun: return *run_;
    case lcText: return *text_;
    case lcTitle: return *title_;
    case lcMessageType: return *messageType_;
    case lcGroup: return *groups_;
    default: return *kind_;
  }
}

void TForm2::Button_CancelClick(TControl&) { ModalResult = mrCancel; }

void TForm2::FormClose(TCloseAction&) { balloons_.Hide(); }

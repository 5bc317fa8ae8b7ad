#include "update/StatusForm.h"

#include <shellapi.h>
#include <wininet.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "controls/Drawing.h"
#include "controls/VQControls.h"
#include "framework/Application.h"
#include "model/Errors.h"
#include "model/Files_win.h"
#include "model/MessageBox_win.h"
#include "model/Registry_win.h"
#include "model/Wide_win.h"
#include "update/Http_win.h"
#include "update/Signature_win.h"
#include "update/UpdateSettings.h"

namespace {

const char* const WelcomeText =
    "In regelmäßigen Abständen sollte im Internet nach Programmverbesserungen und -updates gesucht werden, um "
    "möglichen Programmfehlern vorzubeugen.\r\nKlicken Sie auf \"Weiter\", um jetzt nach neuen Updates zu suchen, "
    "oder auf \"Abbrechen\", um zu einem anderen Zeitpunkt nach Programmverbesserungen zu suchen.\r\n\r\nKlicken "
    "Sie auf \"Einstellungen\", um festzulegen, ob und in welchen Abständen Sie zum Suchen nach Updates "
    "aufgefordert werden möchten.";
const char* const CheckText =
    "Stellen Sie sicher, dass eine Internetverbindung besteht, und klicken Sie auf \"Jetzt auf neue Updates "
    "prüfen\".";
const char* const DownloadText =
    "Die Updates werden jetzt heruntergeladen. Bitten warten Sie, bis der Download abgeschlossen ist, oder klicken "
    "Sie auf \"Download abbrechen\", wenn Sie die Updates zu einer anderen Zeit herunterladen wollen.";
const char* const InstallText =
    "Das Update kann jetzt installiert werden.\r\nKlicken Sie auf \"Weiter\", um den Vorgang fortzusetzen und die "
    "Installation durchzuführen.\r\n\r\nAktivieren Sie das Kontrollfeld \"Programm automatisch neu starten\", um "
    "die Anwendung nach der Installation sofort neu zu starten.";
const char* const FinishText =
    "Die Installation wurde vorbereitet.\r\nKlicken Sie auf \"Beenden\", um die alten Dateien zu ersetzen. Ein "
    "Neustart des Computers ist nicht erforderlich.\r\n\r\nWenn Sie nicht die Option zum automatischen Neustart des "
    "Programms aktiviert haben, müssen Sie das Programm nach der Installation manuell neu starten.";
const char* const NeverText =
    "Wenn Sie diese Option aktivieren, werden Sie nicht automatisch zum Suchen nach neuen Updates aufgefordert. Sie "
    "haben dann aber immer noch die Möglichkeit, über die Tastenkombination Strg+U die Suche nach Updates zu "
    "starten.";
const char* const RegularText =
    "Aktivieren Sie diese Option, um in festgelegten Abständen automatisch zum Suchen nach neuen Updates "
    "aufgefordert zu werden. Dies geschieht dann jeweils unmittelbar nach dem Starten des Programms.";

const TColorRef StepPanelColor = 15120283;
const COLORREF TitleColor = 12937777;
// A transfer that receives nothing for this long has failed.
const DWORD ReadTimeoutMs = 10000;
// A worker's news: the size is known, bytes came in, the transfer ended.
const UINT WM_TRANSFER = WM_APP + 40;

TFormPtr<TStatusForm> statusForm;

// The locale's own where Windows-1252 has it, else the German one.
char DecimalSeparator() {
  wchar_t text[8] = L"";
  std::string separator;
  if (!GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, text, 8) || !TryNarrow(text, separator) ||
      separator.size() != 1)
    return ',';
  return separator[0];
}

// A span of days as the locale writes a time of day in its long format.
std::string LongTimeText(double days) {
  long seconds = static_cast<long>(days * 86400 + 0.5) % 86400;
  if (seconds < 0) seconds = 0;
  SYSTEMTIME time = {};
  time.wHour = static_cast<WORD>(seconds / 3600);
  time.wMinute = static_cast<WORD>(seconds / 60 % 60);
  time.wSecond = static_cast<WORD>(seconds % 60);
  wchar_t text[64] = L"";
  std::string shown;
  // A locale that writes times with characters Windows-1252 lacks gets the
  // German form.
  if (!GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &time, nullptr, text, 64) || !TryNarrow(text, shown))
    shown = Format("%u:%02u:%02u", static_cast<unsigned>(time.wHour), static_cast<unsigned>(time.wMinute),
                   static_cast<unsigned>(time.wSecond));
  return shown;
}

// A new, empty file in the folder; "" when none can be made.
std::string NewTempFile(const std::string& folder, const wchar_t* prefix) {
  wchar_t file[MAX_PATH] = L"";
  std::string name;
  if (!GetTempFileNameW(W(folder).c_str(), prefix, 0, file)) return "";
  if (TryNarrow(file, name)) return name;
  DeleteFileW(file);
  return "";
}

void RemoveFile(const std::string& path) { DeleteFileW(W(path).c_str()); }

}  // namespace

// What the UI thread and a transfer's worker share. The worker owns no
// window state: it posts its news, and an abandoned worker (cancelled, timed
// out) finishes on its own and removes its own part file.
struct TTransferState {
  HWND Window = nullptr;
  std::atomic<bool> Cancel{false};
  std::atomic<bool> Done{false};
  std::atomic<bool> Posted{false};
  std::atomic<bool> Begun{false};
  std::atomic<int64_t> Size{-1};
  std::atomic<int64_t> Received{0};
  std::atomic<DWORD> LastActivity{0};
  bool Ok = false;  // written before Done
  TPartFileHandoff PartFile;
  void Post() {
    LastActivity = GetTickCount();
    if (!Posted.exchange(true)) PostMessageW(Window, WM_TRANSFER, 0, 0);
  }
};

TStatusForm& StatusForm() {
  return LazyForm(statusForm, [](TStatusForm& form) { form.Create(); });
}
void FreeStatusForm() { statusForm.reset(); }

TStatusForm::TStatusForm() : TForm("TStatusForm") {
  Caption = "Updates installieren";
  Style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  // Shown at a start before the main window: it needs its own taskbar
  // button then.
  ExStyle = WS_EX_DLGMODALFRAME | WS_EX_APPWINDOW | WS_EX_CONTROLPARENT;
  ClientWidth = 658;
  ClientHeight = 353;
  FontName = "Verdana";
  FontHeight = 11;
  Color = clWhite;
  Position = poDesigned;
}

TStatusForm::~TStatusForm() = default;

void TStatusForm::Create() {
  auto button = [this](const char* name, const char* parent, int x, int y, int w, const char* caption,
                       unsigned options, void (TStatusForm::*handler)(TControl&), TBound<TButton>& member) {
    return TControlDef{Kind<TButton>, name, parent, x, y, w, 25, 0, caption, coTabStop | options, {},
                       {On(evClick, this, handler), Bind(member)}};
  };
  auto label = [](const char* name, const char* parent, int x, int y, int w, int h, const char* caption,
                  std::vector<TProp> props = {}) {
    return TControlDef{Kind<TLabel>, name, parent, x, y, w, h, 0, caption, coWordWrap, {}, std::move(props)};
  };
  const TFontDef titleFont = {"Verdana", 19, true};
  const TFontDef percentFont = {"MS Sans Serif", 11, true};
  TForm::Create(
      {
          {Kind<TPaintBox>, "PaintBox_Process", nullptr, 0, 0, 225, 353, 0, "", 0, {},
           {On(evPaint, this, &TStatusForm::PaintBox_ProcessPaint), Bind(paintBox_)}},
          {Kind<TPanel>, "Panel_Title", nullptr, 232, 8, 417, 41, 0, WizardTexts[wsWelcome], 0, titleFont,
           {BackColor(TitleColor), Bind(title_)}},
          {Kind<TNotebook>, "Pages", nullptr, 232, 56, 417, 249, 0, "", 0, {}, {Bind(pages_)}},
          {Kind<TTabSheet>, "Bestätigung1", "Pages", 0, 0, 0, 0},
          {Kind<TImage>, "Image_Icon1", "Bestätigung1", 8, 8, 32, 32, 0, "", 0, {}, {Bind(icon1_)}},
          label("Label2", "Bestätigung1", 56, 8, 353, 233, WelcomeText),
          {Kind<TTabSheet>, "Prüfen", "Pages", 0, 0, 0, 0},
          label("Label4", "Prüfen", 8, 8, 401, 57, CheckText),
          button("Button_Check", "Prüfen", 8, 72, 233, "Jetzt auf neue Updates prüfen", 0,
                 &TStatusForm::Button_CheckClick, check_),
          {Kind<TTabSheet>, "Bestätigung2", "Pages", 0, 0, 0, 0},
          label("Label_CheckResult", "Bestätigung2", 8, 8, 401, 233, "", {Bind(checkResult_)}),
          {Kind<TTabSheet>, "Download", "Pages", 0, 0, 0, 0},
          label("Label_Download", "Download", 8, 8, 401, 73, DownloadText, {Bind(downloadText_)}),
          {Kind<TProgressBar>, "Status", "Download", 8, 96, 337, 25, 0, "", 0, {}, {Bind(progress_)}},
          {Kind<TLabel>, "PerCent", "Download", 352, 100, 57, 17, 0, "", 0, percentFont, {Bind(percent_)}},
          label("StatusLabel", "Download", 8, 132, 401, 17, "", {Bind(statusText_)}),
          label("TimeLeft", "Download", 8, 152, 401, 17, "", {Bind(timeLeft_)}),
          {Kind<TImage>, "Image_Download", "Download", 8, 180, 32, 32, 0, "", 0, {}, {Bind(downloadIcon_)}},
          button("CancelDownload", "Download", 264, 216, 145, "Download ab&brechen", 0,
                 &TStatusForm::CancelDownloadClick, cancelDownload_),
          {Kind<TTabSheet>, "Einrichten", "Pages", 0, 0, 0, 0},
          {Kind<TImage>, "Image_Icon2", "Einrichten", 8, 8, 32, 32, 0, "", 0, {}, {Bind(icon2_)}},
          label("Label3", "Einrichten", 56, 8, 353, 161, InstallText, {Bind(installText_)}),
          {Kind<TCheckBox>, "CheckBox_Restart", "Einrichten", 56, 184, 353, 17, 0, "Programm automatisch neu starten",
           coTabStop | coChecked, {}, {Bind(restart_)}},
          {Kind<TTabSheet>, "Bestätigung3", "Pages", 0, 0, 0, 0},
          {Kind<TImage>, "Image_Icon3", "Bestätigung3", 8, 8, 32, 32, 0, "", 0, {}, {Bind(icon3_)}},
          label("Label5", "Bestätigung3", 56, 8, 353, 233, FinishText),
          {Kind<TTabSheet>, "Einstellungen", "Pages", 0, 0, 0, 0},
          {Kind<TGroupBox>, "GroupBox_AutoUpdt", "Einstellungen", 0, 0, 417, 249, 0,
           "Wie oft wollen Sie zum Suchen nach Updates aufgefordert werden?"},
          {Kind<TRadioButton>, "RadioButton_NoAutoUpdt", "GroupBox_AutoUpdt", 12, 24, 393, 17, 0,
           "Niemals automatisch zum Updaten auffordern", coTabStop, {},
           {On(evClick, this, &TStatusForm::RadioButton_UpdtClick), Bind(never_)}},
          label("Label1", "GroupBox_AutoUpdt", 30, 44, 375, 57, NeverText),
          {Kind<TRadioButton>, "RadioButton_AutoUpdt", "GroupBox_AutoUpdt", 12, 108, 393, 17, 0,
           "Regelmäßig in bestimmten Abständen zum Updaten auffordern", coTabStop | coChecked, {},
           {On(evClick, this, &TStatusForm::RadioButton_UpdtClick), Bind(regular_)}},
          label("Label6", "GroupBox_AutoUpdt", 30, 128, 375, 57, RegularText),
          {Kind<TLabel>, "Label_AutoUpdt1", "GroupBox_AutoUpdt", 30, 195, 33, 17, 0, "Alle", 0, {},
           {Bind(intervalBefore_)}},
          {Kind<TSpinEdit>, "SpinEdit_AutoUpdt", "GroupBox_AutoUpdt", 66, 192, 57, 21, 0, "28", coTabStop, {},
           {Range(1, 365), Bind(interval_)}},
          {Kind<TLabel>, "Label_AutoUpdt2", "GroupBox_AutoUpdt", 130, 195, 260, 17, 0, "Tage an Updates erinnern", 0,
           {}, {Bind(intervalAfter_)}},
          label("Label_SettingsError", "GroupBox_AutoUpdt", 12, 220, 393, 26, "", {Bind(settingsError_)}),
          {Kind<TBevel>, "Bevel1", nullptr, 232, 312, 417, 2, 0, "", coBevelTopLine},
          button("Button_Settings", nullptr, 240, 320, 97, "Einstellungen", 0, &TStatusForm::Button_SettingsClick,
                 settings_),
          {Kind<TNotebook>, "Notebook_StdButtons", nullptr, 456, 314, 193, 37, 0, "", 0, {}, {Bind(buttonPages_)}},
          {Kind<TTabSheet>, "Standard", "Notebook_StdButtons", 0, 0, 0, 0},
          button("Button_Cancel", "Standard", 8, 6, 89, "Abbrechen", coCancel, &TStatusForm::Button_CancelClick,
                 cancel_),
          button("Button_Next", "Standard", 104, 6, 89, "Weiter >", coDefault, &TStatusForm::Button_NextClick, next_),
          {Kind<TTabSheet>, "Page_SettingsButtons", "Notebook_StdButtons", 0, 0, 0, 0},
          button("Button_SettingsCancel", "Page_SettingsButtons", 8, 6, 89, "Abbrechen", coCancel,
                 &TStatusForm::Button_SettingsCancelClick, settingsCancel_),
          button("Button_SettingsSave", "Page_SettingsButtons", 104, 6, 89, "Speichern", coDefault,
                 &TStatusForm::Button_SettingsSaveClick, settingsSave_),
      },
      Application.Handle);
}

void TStatusForm::FormCreate() {
  HICON information = LoadIconA(nullptr, IDI_INFORMATION);
  for (TImage* icon : {&*icon1_, &*icon2_, &*icon3_}) SetImageIcon(*icon, information, 32);
  SetImageIcon(*downloadIcon_, ResourceIcon(1, Scale(32)), 32);
  title_->SetFontColor(clWhite);
  SendMessageW(Handle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(ResourceIcon(1, GetSystemMetrics(SM_CXICON))));
  OnMessage(WM_TRANSFER, [this](TMessage&) { TransferNews(); });
  // Wakes the transfer's wait even when nothing else happens, so that a
  // server that stops sending is noticed.
  Timer_Transfer = &AddTimer();
  Timer_Transfer->SetInterval(250);
  Timer_Transfer->OnTimer = [] {};
}

void TStatusForm::FormShow() {
  if (!TryNarrow(TempFolderW(), TempDir)) TempDir.clear();
  RECT window;
  GetWindowRect(Handle, &window);
  const int width = window.right - window.left, height = window.bottom - window.top;
  SetWindowPos(Handle, nullptr, GetSystemMetrics(SM_CXSCREEN) / 2 - width / 2,
               GetSystemMetrics(SM_CYSCREEN) / 2 - height / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  wizard_.Show();
}

TControl& TStatusForm::ControlOf(TWizardControl control) {
  switch (control) {
    case wcNext: return *next_;
    case wcCancel: return *cancel_;
    case wcCheck: return *check_;
    case wcSettings: return *settings_;
    case wcCancelDownload: return *cancelDownload_;
    case wcInterval: break;
  }
  return *interval_;
}

TLabel& TStatusForm::LabelOf(TWizardLabel label) {
  switch (label) {
    case wlCheckResult: return *checkResult_;
    case wlDownload: return *downloadText_;
    case wlInstall: return *installText_;
    case wlSettingsError: break;
  }
  return *settingsError_;
}

void TStatusForm::ShowPage(int page) { pages_->SetPageIndex(page); }
void TStatusForm::ShowTitle(const std::string& title) { title_->SetCaption(title); }
void TStatusForm::ShowSettingsButtons(bool settings) { buttonPages_->SetPageIndex(settings ? 1 : 0); }
void TStatusForm::SetText(TWizardLabel label, const std::string& text) { LabelOf(label).SetCaption(text); }
void TStatusForm::SetCaption(TWizardControl control, const std::string& caption) {
  ControlOf(control).SetCaption(caption);
}
void TStatusForm::SetEnabled(TWizardControl control, bool enabled) {
  if (control == wcInterval)
    for (TControl* c : std::initializer_list<TControl*>{&*intervalBefore_, &*interval_, &*intervalAfter_})
      c->SetEnabled(enabled);
  else
    ControlOf(control).SetEnabled(enabled);
}
void TStatusForm::SetVisible(TWizardControl control, bool visible) { ControlOf(control).SetVisible(visible); }
void TStatusForm::ShowInstallError() { SetImageIcon(*icon2_, LoadIconA(nullptr, IDI_ERROR), 32); }
void TStatusForm::ResetProgress() { progress_->SetPosition(0); }
void TStatusForm::ShowNeverRemind() {
  never_->SetChecked(true);
  regular_->SetChecked(false);
}
void TStatusForm::ShowInterval(int32_t days) { interval_->SetValue(days); }
void TStatusForm::StepChanged() { paintBox_->Invalidate(); }
void TStatusForm::CloseWizard() { Close(); }

void TStatusForm::Button_NextClick(TControl&) { wizard_.Next(); }
void TStatusForm::Button_CheckClick(TControl&) { wizard_.Check(); }
void TStatusForm::CancelDownloadClick(TControl&) { wizard_.CancelDownload(); }
void TStatusForm::Button_CancelClick(TControl&) { wizard_.Cancel(); }

bool TStatusForm::CanCheck() {
  DWORD flags = 0;
  if (!InternetGetConnectedState(&flags, 0)) {
    ReportNoConnection();
    return false;
  }
  // A temporary folder the program cannot name holds neither the check's
  // file nor the download: refused before anything is fetched.
  return !(TempDir.empty() && RefusesInstallPaths());
}

void TStatusForm::ReportNoConnection() {
  ShowMessageBoxA("Es besteht keine Internetverbindung.", "Internetverbindung erforderlich",
                  MB_OK | MB_ICONEXCLAMATION);
}

bool TStatusForm::FetchUpdateInfo() {
  UpdateInfo.reset();
  if (!TempIniFileName.empty()) RemoveFile(TempIniFileName);
  const std::string file = NewTempFile(TempDir, L"$VQ");
  if (file.empty()) return false;
  TempIniFileName = file;
  return RunTransfer("http://" + Host + "/Updates.ini", TempIniFileName, false);
}

void TStatusForm::ReportCheckFailed() {
  // The window may have been closed while the check ran.
  if (ModalResult == mrNone && IsWindowVisible(Handle)) ReportNoConnection();
}

TCheckResult TStatusForm::ReadUpdateInfo() {
  UpdateInfo.reset(new TIniUpdateInfo(TempIniFileName));
  if (!IsUpdateAvailable(UpdateInfo.get(), ProgramName, ProgramDate, Installed)) return crNoUpdate;
  // The news shown next are the maker's only if the section is signed.
  if (!VerifyReleaseSection(*UpdateInfo, ProgramName, AcceptedReleaseKeys()).Ok) {
    ShowMessageBoxA(UnverifiedUpdateMessage, Caption.c_str(), MB_OK | MB_ICONERROR);
    return crRefused;
  }
  // Known before the download: folders the script cannot name.
  return RefusesInstallPaths() ? crRefused : crUpdate;
}

std::string TStatusForm::NewsList() {
  const std::string news = UpdateInfo->Read(ProgramName, "News", std::string("\"") + NoNewsEntry + "\"");
  return BuildNewsList(news, ProgramDate);
}

bool TStatusForm::RefusesInstallPaths() {
  // The folders as Windows names them: one Windows-1252 lacks a character
  // of is named as it is.
  const std::u16string problem = CheckInstallPaths(TempFolderW(), ProgramFilePathW(), InstallReportPathW());
  if (problem.empty()) return false;
  ShowMessageBoxW(problem, WidenText(Caption), MB_OK | MB_ICONERROR);
  return true;
}

bool TStatusForm::Download() {
  Application.ProcessMessages();
  if (ArchivePath.empty()) {
    ArchivePath = NewTempFile(TempDir, L"TRV");
    if (ArchivePath.empty()) ArchivePath = TempDir + ZIPFileName;
  }
  downloadStart_ = GetTickCount();
  routeWork_ = true;
  // A file of an earlier run never passes for this one's.
  RemoveFile(ArchivePath);
  const bool complete = RunTransfer("http://" + Host + "/Updates/" + UpdateInfo->Read(ProgramName, "File", ""),
                                    ArchivePath, true);
  routeWork_ = false;
  if (!complete) RemoveFile(ArchivePath);
  return complete;
}

TInstallResult TStatusForm::PrepareInstall(std::string& error) {
  TInstallRequest request;
  request.TempDir = TempDir;
  request.ArchivePath = ArchivePath;
  request.Restart = restart_->Checked();
  request.Info = UpdateInfo.get();
  request.ProgramName = ProgramName;
  request.ProgramPath = ProgramFilePath();
  request.ProgramDate = ProgramDate;
  request.Installed = Installed;
  request.ReportPath = InstallReportPath();
  request.ProcessId = GetCurrentProcessId();
  request.AcceptedKeys = AcceptedReleaseKeys();
  const TInstallPreparation preparation = PrepareInstallScript(request);
  switch (preparation.Result) {
    case TInstallPreparation::ipPrepared:
      Prepared = preparation;
      return irPrepared;
    case TInstallPreparation::ipMissing:
      return irMissing;
    default:
      error = preparation.Error;
      return irRefused;
  }
}

bool TStatusForm::MayEndProgram() { return !CanEndProgram || CanEndProgram(); }
void TStatusForm::EndProgram() { Application.Terminate(); }

bool TStatusForm::RunTransfer(const std::string& url, const std::string& path, bool download) {
  const DWORD started = GetTickCount();
  auto state = std::make_shared<TTransferState>();
  state->Window = Handle;
  state->LastActivity = GetTickCount();
  transfer_ = state;
  // The worker writes a file of its own: an abandoned worker may still be
  // writing when the next transfer begins.
  static std::atomic<unsigned> serial{0};
  const std::string part = path + Format(".%u.part", ++serial);
  std::thread([state, url, part, download] {
    THttpTransfer transfer;
    transfer.ReadTimeoutMs = ReadTimeoutMs;
    transfer.MaxSize = download ? MaxArchiveDownloadSize : MaxUpdateInfoSize;
    transfer.TimeLimitMs = download ? DownloadTimeLimitMs : CheckTimeLimitMs;
    if (download) {
      transfer.PaceSpanMs = DownloadPaceSpanMs;
      transfer.PaceMinBytes = DownloadPaceMinBytes;
    }
    transfer.OnBegin = [state](int64_t size) {
      state->Size = size;
      state->Begun = true;
      state->Post();
    };
    transfer.OnWork = [state](int64_t received) {
      state->Received = received;
      state->Post();
    };
    transfer.Cancelled = [state] { return state->Cancel.load(); };
    bool ok = false;
    try {
      ok = HttpGetFile(url, part, transfer);
    } catch (...) {
      ok = false;
    }
    state->Ok = ok;
    // Given up by the window already: nobody else will take the file.
    if (state->PartFile.WorkerDone()) RemoveFile(part);
    state->Done = true;
    state->Post();
  }).detach();

  Timer_Transfer->SetEnabled(true);
  bool ok = false;
  for (;;) {
    if (state->Done) {
      TransferNews();
      ok = state->Ok && !(download && wizard_.CancelRequested());
      break;
    }
    if (download && ModalResult != mrNone && !wizard_.CancelRequested() && !wizard_.Asking()) {
      // The close box or Esc during the download: the question first.
      if (!wizard_.ConfirmCancelDownload()) ModalResult = mrNone;
    }
    if (!download && ModalResult != mrNone) break;
    if (download && wizard_.CancelRequested()) break;
    if (GetTickCount() - state->LastActivity > ReadTimeoutMs) break;
    // The worker's own limit may wait on a read; the window does not.
    if (GetTickCount() - started > (download ? DownloadTimeLimitMs : CheckTimeLimitMs) + ReadTimeoutMs) break;
    if (!Application.HandleNextMessage()) break;
  }
  Timer_Transfer->SetEnabled(false);
  transfer_.reset();
  if (!ok) {
    state->Cancel = true;
    // A worker that finished meanwhile left its file to us.
    if (state->PartFile.Abandon()) RemoveFile(part);
    return false;
  }
  if (!MoveFileExW(W(part).c_str(), W(path).c_str(), MOVEFILE_REPLACE_EXISTING)) {
    RemoveFile(part);
    return false;
  }
  return true;
}

void TStatusForm::TransferNews() {
  std::shared_ptr<TTransferState> state = transfer_;
  if (!state) return;
  state->Posted = false;
  if (!routeWork_) return;
  if (state->Begun.exchange(false)) HTTPWorkBegin(state->Size);
  OnUpdateTimer(state->Received);
}

void TStatusForm::HTTPWorkBegin(int64_t size) {
  maximum_ = size > 0 ? size : 0;
  // The bar counts in ints; the display's texts use the real counts.
  progress_->SetRange(0, static_cast<int>(maximum_ > 0x7FFFFFFF ? 0x7FFFFFFF : maximum_));
}

void TStatusForm::OnUpdateTimer(int64_t count) {
  if (maximum_ == 0) return;
  const double elapsed = (GetTickCount() - downloadStart_) / 86400000.0;
  double remaining = 0;
  const bool estimated = RemainingTime(maximum_, count, elapsed, remaining);
  progress_->SetPosition(static_cast<int>(count > 0x7FFFFFFF ? 0x7FFFFFFF : count));
  percent_->SetCaption(PercentText(maximum_, count));
  const char separator = DecimalSeparator();
  statusText_->SetCaption(FormatByteSize(static_cast<double>(count), false, separator) + " von " +
                          FormatByteSize(static_cast<double>(maximum_), false, separator) + " gedownloadet");
  if (estimated) timeLeft_->SetCaption("verbleibende Zeit: " + LongTimeText(remaining));
}

bool TStatusForm::AskCancelDownload() {
  MessageBeep(MB_ICONQUESTION);
  return ShowMessageBoxA("Soll der Download wirklich abgebrochen werden?", Application.Title,
                         MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void TStatusForm::FormCloseQuery(bool& canClose) {
  // A download still running stops first; its loop asks the question.
  canClose = wizard_.CanClose();
}

void TStatusForm::FormClose(TCloseAction&) { wizard_.Closed(); }

void TStatusForm::FormDestroy() {
  Application.Guard([this] {
    UpdateInfo.reset();
    if (!TempIniFileName.empty()) RemoveFile(TempIniFileName);
    if (wizard_.WritesReminder()) {
      TWinRegistry registry;
      OpenUpdateKey(registry, RegistryKey, HKCU).WriteNextReminder(TodayDate());
    }
    // A script that cannot start says so in its report.
    if (wizard_.InstallPrepared()) StartInstallScript(Prepared);
    // A download never installed goes with the program.
    if (!ArchivePath.empty()) RemoveFile(ArchivePath);
  });
}

void TStatusForm::Button_SettingsClick(TControl&) {
  TWinRegistry registry;
  TUpdateSettings settings = OpenUpdateKey(registry, RegistryKey, HKCU);
  wizard_.OpenSettings(settings);
}

void TStatusForm::RadioButton_UpdtClick(TControl&) { wizard_.ReminderChoiceChanged(regular_->Checked()); }

void TStatusForm::Button_SettingsSaveClick(TControl&) {
  TWinRegistry registry;
  TUpdateSettings settings = OpenUpdateKey(registry, RegistryKey, HKCU);
  wizard_.SaveSettings(settings, never_->Checked(), interval_->Value());
}

void TStatusForm::Button_SettingsCancelClick(TControl&) { wizard_.CloseSettings(); }

void TStatusForm::PaintBox_ProcessPaint(TControl& sender, HDC dc) {
  const int width = sender.Width();
  std::vector<TGradientLine> lines;
  for (int x = 0; x <= width; ++x) lines.push_back({x, BlendColor(StepPanelColor, RGBColor(255, 255, 255), x, width)});
  PaintGradient(dc, lines, sender.Height());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 0));
  // 10 points in the window's font.
  const int fontHeight = 13;
  for (int i = wsWelcome; i <= wsFinish; ++i) {
    const bool current = i == wizard_.Step();
    HGDIOBJ old = SelectObject(dc, FontHandle(FontName, fontHeight, current, current));
    const std::wstring text = W(WizardTexts[i]);
    TextOutW(dc, Scale(16), Scale(16 + 56 * i), text.c_str(), static_cast<int>(text.size()));
    SelectObject(dc, old);
  }
}

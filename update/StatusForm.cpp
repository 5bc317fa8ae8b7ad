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

const char* const WizardTexts[10] = {
    "Willkommen",
    "Auf neue Updates prüfen",
    "Ergebnis der Prüfung",
    "Download der Updates",
    "Installieren",
    "Abschließen der Installation",
    "Es stehen keine neuen Updates zur Verfügung. Klicken Sie auf \"Beenden\", um den Assistenten zu verlassen.",
    "Es stehen neue Updates zum Download bereit.\r\n\r\nDie Updates beheben folgende Probleme bzw. stellen folgende "
    "neue Funktionen zur Verfügung:\r\n%s\r\n\r\nKlicken Sie auf \"Weiter\", um die Updates jetzt herunterzuladen.",
    "Der Download wurde nicht vollendet.\r\n\r\nKlicken Sie auf \"Erneut versuchen\", um den Download erneut zu "
    "starten.\r\nKlicken Sie auf \"Abbrechen\", um den Assistenten zu beenden.",
    "Die Update-Dateien wurden erfolgreich heruntergeladen. Klicken Sie auf \"Weiter\", um die Updates zu "
    "installieren.",
};

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
const char* const MissingArchiveText =
    "Die Installationsdateien wurden nicht gefunden. Klicken Sie auf \"Abbrechen\" und versuchen Sie es später noch "
    "einmal.";
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
const char* const SettingsNotSavedText =
    "Die Einstellungen konnten nicht gespeichert werden: Sie haben keine Berechtigung, in die Registrierung zu "
    "schreiben.";
const char* const MachineKeepsRemindersOffText =
    "Die Erinnerungen bleiben ausgeschaltet: Sie sind für alle Benutzer dieses Computers abgeschaltet, und Sie "
    "haben keine Berechtigung, das zu ändern.";

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

std::string ReplaceFirst(std::string text, const std::string& what, const std::string& with) {
  const size_t at = text.find(what);
  if (at != std::string::npos) text.replace(at, what.size(), with);
  return text;
}

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
                       unsigned options, void (TStatusForm::*handler)(TControl&)) {
    return TControlDef{Kind<TButton>, name, parent, x, y, w, 25, 0, caption, coTabStop | options, {},
                       {On(evClick, this, handler)}};
  };
  auto label = [](const char* name, const char* parent, int x, int y, int w, int h, const char* caption) {
    return TControlDef{Kind<TLabel>, name, parent, x, y, w, h, 0, caption, coWordWrap};
  };
  const TFontDef titleFont = {"Verdana", 19, true};
  const TFontDef percentFont = {"MS Sans Serif", 11, true};
  TForm::Create(
      {
          {Kind<TPaintBox>, "PaintBox_Process", nullptr, 0, 0, 225, 353, 0, "", 0, {},
           {On(evPaint, this, &TStatusForm::PaintBox_ProcessPaint)}},
          {Kind<TPanel>, "Panel_Title", nullptr, 232, 8, 417, 41, 0, WizardTexts[wsWelcome], 0, titleFont, {BackColor(TitleColor)}},
          {Kind<TNotebook>, "Pages", nullptr, 232, 56, 417, 249},
          {Kind<TTabSheet>, "Bestätigung1", "Pages", 0, 0, 0, 0},
          {Kind<TImage>, "Image_Icon1", "Bestätigung1", 8, 8, 32, 32},
          label("Label2", "Bestätigung1", 56, 8, 353, 233, WelcomeText),
          {Kind<TTabSheet>, "Prüfen", "Pages", 0, 0, 0, 0},
          label("Label4", "Prüfen", 8, 8, 401, 57, CheckText),
          button("Button_Check", "Prüfen", 8, 72, 233, "Jetzt auf neue Updates prüfen", 0,
                 &TStatusForm::Button_CheckClick),
          {Kind<TTabSheet>, "Bestätigung2", "Pages", 0, 0, 0, 0},
          label("Label_CheckResult", "Bestätigung2", 8, 8, 401, 233, ""),
          {Kind<TTabSheet>, "Download", "Pages", 0, 0, 0, 0},
          label("Label_Download", "Download", 8, 8, 401, 73, DownloadText),
          {Kind<TProgressBar>, "Status", "Download", 8, 96, 337, 25},
          {Kind<TLabel>, "PerCent", "Download", 352, 100, 57, 17, 0, "", 0, percentFont},
          label("StatusLabel", "Download", 8, 132, 401, 17, ""),
          label("TimeLeft", "Download", 8, 152, 401, 17, ""),
          {Kind<TImage>, "Image_Download", "Download", 8, 180, 32, 32},
          button("CancelDownload", "Download", 264, 216, 145, "Download ab&brechen", 0,
                 &TStatusForm::CancelDownloadClick),
          {Kind<TTabSheet>, "Einrichten", "Pages", 0, 0, 0, 0},
          {Kind<TImage>, "Image_Icon2", "Einrichten", 8, 8, 32, 32},
          label("Label3", "Einrichten", 56, 8, 353, 161, InstallText),
          {Kind<TCheckBox>, "CheckBox_Restart", "Einrichten", 56, 184, 353, 17, 0, "Programm automatisch neu starten",
           coTabStop | coChecked},
          {Kind<TTabSheet>, "Bestätigung3", "Pages", 0, 0, 0, 0},
          {Kind<TImage>, "Image_Icon3", "Bestätigung3", 8, 8, 32, 32},
          label("Label5", "Bestätigung3", 56, 8, 353, 233, FinishText),
          {Kind<TTabSheet>, "Einstellungen", "Pages", 0, 0, 0, 0},
          {Kind<TGroupBox>, "GroupBox_AutoUpdt", "Einstellungen", 0, 0, 417, 249, 0,
           "Wie oft wollen Sie zum Suchen nach Updates aufgefordert werden?"},
          {Kind<TRadioButton>, "RadioButton_NoAutoUpdt", "GroupBox_AutoUpdt", 12, 24, 393, 17, 0,
           "Niemals automatisch zum Updaten auffordern", coTabStop, {},
           {On(evClick, this, &TStatusForm::RadioButton_UpdtClick)}},
          label("Label1", "GroupBox_AutoUpdt", 30, 44, 375, 57, NeverText),
          {Kind<TRadioButton>, "RadioButton_AutoUpdt", "GroupBox_AutoUpdt", 12, 108, 393, 17, 0,
           "Regelmäßig in bestimmten Abständen zum Updaten auffordern", coTabStop | coChecked, {},
           {On(evClick, this, &TStatusForm::RadioButton_UpdtClick)}},
          label("Label6", "GroupBox_AutoUpdt", 30, 128, 375, 57, RegularText),
          {Kind<TLabel>, "Label_AutoUpdt1", "GroupBox_AutoUpdt", 30, 195, 33, 17, 0, "Alle"},
          {Kind<TSpinEdit>, "SpinEdit_AutoUpdt", "GroupBox_AutoUpdt", 66, 192, 57, 21, 0, "28", coTabStop, {},
           {Range(1, 365)}},
          {Kind<TLabel>, "Label_AutoUpdt2", "GroupBox_AutoUpdt", 130, 195, 260, 17, 0, "Tage an Updates erinnern"},
          label("Label_SettingsError", "GroupBox_AutoUpdt", 12, 220, 393, 26, ""),
          {Kind<TBevel>, "Bevel1", nullptr, 232, 312, 417, 2, 0, "", coBevelTopLine},
          button("Button_Settings", nullptr, 240, 320, 97, "Einstellungen", 0, &TStatusForm::Button_SettingsClick),
          {Kind<TNotebook>, "Notebook_StdButtons", nullptr, 456, 314, 193, 37},
          {Kind<TTabSheet>, "Standard", "Notebook_StdButtons", 0, 0, 0, 0},
          button("Button_Cancel", "Standard", 8, 6, 89, "Abbrechen", coCancel, &TStatusForm::Button_CancelClick),
          button("Button_Next", "Standard", 104, 6, 89, "Weiter >", coDefault, &TStatusForm::Button_NextClick),
          {Kind<TTabSheet>, "Page_SettingsButtons", "Notebook_StdButtons", 0, 0, 0, 0},
          button("Button_SettingsCancel", "Page_SettingsButtons", 8, 6, 89, "Abbrechen", coCancel,
                 &TStatusForm::Button_SettingsCancelClick),
          button("Button_SettingsSave", "Page_SettingsButtons", 104, 6, 89, "Speichern", coDefault,
                 &TStatusForm::Button_SettingsSaveClick),
      },
      Application.Handle);
}

void TStatusForm::FormCreate() {
  Downloading = false;
  HICON information = LoadIconA(nullptr, IDI_INFORMATION);
  for (const char* name : {"Image_Icon1", "Image_Icon2", "Image_Icon3"})
    SetImageIcon(Control(name), information, 32);
  SetImageIcon(Control("Image_Download"), ResourceIcon(1, Scale(32)), 32);
  Control("Panel_Title").SetFontColor(clWhite);
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
  Control("Button_Check").SetEnabled(true);
  RECT window;
  GetWindowRect(Handle, &window);
  const int width = window.right - window.left, height = window.bottom - window.top;
  SetWindowPos(Handle, nullptr, GetSystemMetrics(SM_CXSCREEN) / 2 - width / 2,
               GetSystemMetrics(SM_CYSCREEN) / 2 - height / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SetPageIndex("Notebook_StdButtons", 0);
  Control("Button_Settings").SetVisible(true);
  if (InstallPrepared) {
    // An install prepared earlier in this run, whose finish was put off
    // (the save prompt said no): it stays prepared, and the wizard shows
    // its finish again rather than forgetting it and leaving its folder.
    WizardStep = wsFinish;
    ShowStepPage();
    Control("Button_Next").SetCaption("Beenden");
    Control("Button_Next").SetEnabled(true);
    Control("Button_Cancel").SetEnabled(false);
    return;
  }
  WizardStep = wsWelcome;
  SetPageIndex("Pages", wsWelcome);
  Control("Button_Cancel").SetEnabled(true);
  Control("Button_Next").SetEnabled(true);
  Control("Button_Next").SetCaption("Weiter >");
  UpdateAvailable = CancelRequested = DownloadFailed = false;
  Control("Panel_Title").SetCaption(WizardTexts[wsWelcome]);
  Control("PaintBox_Process").Invalidate();
}

void TStatusForm::ShowStepPage() {
  if (PageIndex("Pages") != SettingsPage) {
    SetPageIndex("Pages", WizardStep);
    Control("Panel_Title").SetCaption(WizardTexts[WizardStep]);
  }
  Control("PaintBox_Process").Invalidate();
}

void TStatusForm::Button_NextClick(TControl&) {
  ++WizardStep;
  TControl& next = Control("Button_Next");
  switch (WizardStep) {
    case wsCheck:
      next.SetEnabled(false);
      break;
    case wsResult:
      if (UpdateAvailable) {
        const std::string news = UpdateInfo->Read(ProgramName, "News", std::string("\"") + NoNewsEntry + "\"");
        Control("Label_CheckResult")
            .SetCaption(ReplaceFirst(WizardTexts[wtNews], "%s", BuildNewsList(news, ProgramDate)));
      } else {
        next.SetCaption("Beenden");
        Control("Button_Cancel").SetEnabled(false);
        Control("Label_CheckResult").SetCaption(WizardTexts[wtNoUpdate]);
      }
      next.SetEnabled(true);
      break;
    case wsDownload:
      if (UpdateAvailable)
        Get<TProgressBar>("Status").SetPosition(0);
      else
        Close();
      break;
    case wsInstall:
      break;
    case wsFinish: {
      TInstallRequest request;
      request.TempDir = TempDir;
      request.ArchivePath = ArchivePath;
      request.Restart = Get<TCheckBox>("CheckBox_Restart").Checked();
      request.Info = UpdateInfo.get();
      request.ProgramName = ProgramName;
      request.ProgramPath = ProgramFilePath();
      request.ProgramDate = ProgramDate;
      request.Installed = Installed;
      request.ReportPath = InstallReportPath();
      request.ProcessId = GetCurrentProcessId();
      request.AcceptedKeys = AcceptedReleaseKeys();
      const TInstallPreparation preparation = PrepareInstallScript(request);
      if (preparation.Result != TInstallPreparation::ipPrepared) {
        // A refused archive is reported like a missing one: nothing is
        // installed, the user may only cancel.
        Control("Label3").SetCaption(preparation.Result == TInstallPreparation::ipMissing ? MissingArchiveText
                                                                                           : preparation.Error);
        SetImageIcon(Control("Image_Icon2"), LoadIconA(nullptr, IDI_ERROR), 32);
        next.SetEnabled(false);
        return;
      }
      Prepared = preparation;
      InstallPrepared = true;
      next.SetCaption("Beenden");
      Control("Button_Cancel").SetEnabled(false);
      break;
    }
    case wsEnd:
      if (CanEndProgram && !CanEndProgram()) {
        // The script starts when the program ends later.
        --WizardStep;
        return;
      }
      Application.Terminate();
      return;
    default:
      return;
  }
  ShowStepPage();
  if (WizardStep == wsDownload && UpdateAvailable) {
    next.SetEnabled(false);
    TControl& cancel = Control("CancelDownload");
    cancel.SetCaption("Download ab&brechen");
    Application.ProcessMessages();
    if (ArchivePath.empty()) {
      ArchivePath = NewTempFile(TempDir, L"TRV");
      if (ArchivePath.empty()) ArchivePath = TempDir + ZIPFileName;
    }
    DownloadUpdateArchive(ArchivePath);
    Control("Label_Download").SetCaption(DownloadFailed ? WizardTexts[wtDownloadFailed] : WizardTexts[wtDownloaded]);
    if (DownloadFailed) {
      cancel.SetCaption("Erneut versuchen");
    } else {
      cancel.SetVisible(false);
      next.SetEnabled(true);
    }
  }
}

void TStatusForm::Button_CheckClick(TControl&) {
  // Disabled while the check runs: a second click (its wait answers
  // messages) would nest a second check inside the first.
  TControl& check = Control("Button_Check");
  if (!check.Enabled()) return;
  auto noConnection = [] {
    ShowMessageBoxA("Es besteht keine Internetverbindung.", "Internetverbindung erforderlich",
                    MB_OK | MB_ICONEXCLAMATION);
  };
  DWORD flags = 0;
  if (!InternetGetConnectedState(&flags, 0)) {
    noConnection();
    return;
  }
  // A temporary folder the program cannot name holds neither the check's
  // file nor the download: refused before anything is fetched.
  if (TempDir.empty() && RefusesInstallPaths()) return;
  check.SetEnabled(false);
  UpdateAvailable = true;
  UpdateInfo.reset();
  if (!TempIniFileName.empty()) RemoveFile(TempIniFileName);
  const std::string file = NewTempFile(TempDir, L"$VQ");
  if (file.empty()) {
    UpdateAvailable = false;
  } else {
    TempIniFileName = file;
    UpdateAvailable = RunTransfer("http://" + Host + "/Updates.ini", TempIniFileName, false);
  }
  check.SetEnabled(true);
  if (!UpdateAvailable) {
    // The window may have been closed while the check ran.
    if (ModalResult == mrNone && IsWindowVisible(Handle)) noConnection();
    return;
  }
  UpdateInfo.reset(new TIniUpdateInfo(TempIniFileName));
  UpdateAvailable = IsUpdateAvailable(UpdateInfo.get(), ProgramName, ProgramDate, Installed);
  // The news shown next are the maker's only if the section is signed.
  if (UpdateAvailable && !VerifyReleaseSection(*UpdateInfo, ProgramName, AcceptedReleaseKeys()).Ok) {
    UpdateAvailable = false;
    ShowMessageBoxA(UnverifiedUpdateMessage, Caption.c_str(), MB_OK | MB_ICONERROR);
    return;
  }
  // Known before the download: folders the script cannot name.
  if (UpdateAvailable && RefusesInstallPaths()) {
    UpdateAvailable = false;
    return;
  }
  Button_NextClick(Control("Button_Next"));
}

bool TStatusForm::RefusesInstallPaths() {
  // The folders as Windows names them: one Windows-1252 lacks a character
  // of is named as it is.
  const std::u16string problem = CheckInstallPaths(TempFolderW(), ProgramFilePathW(), InstallReportPathW());
  if (problem.empty()) return false;
  ShowMessageBoxW(problem, WidenText(Caption), MB_OK | MB_ICONERROR);
  return true;
}

void TStatusForm::DownloadUpdateArchive(const std::string& path) {
  downloadStart_ = GetTickCount();
  routeWork_ = true;
  Downloading = true;
  // A file of an earlier run never passes for this one's.
  RemoveFile(path);
  const bool complete = RunTransfer("http://" + Host + "/Updates/" + UpdateInfo->Read(ProgramName, "File", ""),
                                    path, true);
  Downloading = false;
  routeWork_ = false;
  if (!complete) DownloadFailed = true;
  if (DownloadFailed) RemoveFile(path);
}

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
      ok = state->Ok && !(download && DownloadFailed);
      break;
    }
    if (download && ModalResult != mrNone && !CancelRequested && !asking_) {
      // The close box or Esc during the download: the question first.
      if (!AskCancelDownload()) ModalResult = mrNone;
    }
    if (!download && ModalResult != mrNone) break;
    if (download && (CancelRequested || DownloadFailed)) {
      DownloadFailed = true;
      break;
    }
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
  TProgressBar& bar = Get<TProgressBar>("Status");
  // The bar counts in ints; the display's texts use the real counts.
  bar.SetRange(0, static_cast<int>(maximum_ > 0x7FFFFFFF ? 0x7FFFFFFF : maximum_));
}

void TStatusForm::OnUpdateTimer(int64_t count) {
  if (maximum_ == 0) return;
  const double elapsed = (GetTickCount() - downloadStart_) / 86400000.0;
  double remaining = 0;
  const bool estimated = RemainingTime(maximum_, count, elapsed, remaining);
  Get<TProgressBar>("Status").SetPosition(static_cast<int>(count > 0x7FFFFFFF ? 0x7FFFFFFF : count));
  Control("PerCent").SetCaption(PercentText(maximum_, count));
  const char separator = DecimalSeparator();
  Control("StatusLabel")
      .SetCaption(FormatByteSize(static_cast<double>(count), false, separator) + " von " +
                  FormatByteSize(static_cast<double>(maximum_), false, separator) + " gedownloadet");
  if (estimated) Control("TimeLeft").SetCaption("verbleibende Zeit: " + LongTimeText(remaining));
  if (CancelRequested) DownloadFailed = true;
}

bool TStatusForm::AskCancelDownload() {
  asking_ = true;
  MessageBeep(MB_ICONQUESTION);
  const bool stop = ShowMessageBoxA("Soll der Download wirklich abgebrochen werden?", Application.Title,
                                    MB_YESNO | MB_ICONQUESTION) == IDYES;
  asking_ = false;
  if (stop) CancelRequested = true;
  return stop;
}

void TStatusForm::CancelDownloadClick(TControl&) {
  if (Downloading) {
    AskCancelDownload();
    return;
  }
  WizardStep = wsResult;
  DownloadFailed = CancelRequested = false;
  Button_NextClick(Control("Button_Next"));
}

void TStatusForm::Button_CancelClick(TControl&) {
  if (Downloading && !AskCancelDownload()) return;
  Close();
}

void TStatusForm::FormCloseQuery(bool& canClose) {
  // A download still running stops first; its loop asks the question.
  canClose = !Downloading;
}

void TStatusForm::FormClose(TCloseAction&) {
  if (WizardStep == wsFinish && (!CanEndProgram || CanEndProgram())) Application.Terminate();
}

void TStatusForm::FormDestroy() {
  Application.Guard([this] {
    UpdateInfo.reset();
    if (!TempIniFileName.empty()) RemoveFile(TempIniFileName);
    const bool noNewRelease = PageIndex("Pages") == wsDownload && !Control("Button_Cancel").Enabled();
    if (InstallPrepared || noNewRelease) {
      TWinRegistry registry;
      OpenUpdateKey(registry, RegistryKey, HKCU).WriteNextReminder(TodayDate());
    }
    // A script that cannot start says so in its report.
    if (InstallPrepared) StartInstallScript(Prepared);
    // A download never installed goes with the program.
    if (!ArchivePath.empty()) RemoveFile(ArchivePath);
  });
}

void TStatusForm::Button_SettingsClick(TControl&) {
  TWinRegistry registry;
  TUpdateSettings settings = OpenUpdateKey(registry, RegistryKey, HKCU);
  if (settings.Exists("NoUpdate")) {
    Get<TRadioButton>("RadioButton_NoAutoUpdt").SetChecked(true);
    Get<TRadioButton>("RadioButton_AutoUpdt").SetChecked(false);
    RadioButton_UpdtClick(Control("RadioButton_NoAutoUpdt"));
  }
  int32_t interval = 28;
  if (!settings.ReadInteger("UpdateInterval", interval)) interval = 28;
  Get<TSpinEdit>("SpinEdit_AutoUpdt").SetValue(interval);
  Control("Label_SettingsError").SetCaption("");
  Control("Button_Settings").SetVisible(false);
  Control("Panel_Title").SetCaption("Einstellungen");
  SetPageIndex("Notebook_StdButtons", 1);
  SetPageIndex("Pages", SettingsPage);
}

void TStatusForm::RadioButton_UpdtClick(TControl&) {
  const bool regular = Get<TRadioButton>("RadioButton_AutoUpdt").Checked();
  for (const char* name : {"Label_AutoUpdt1", "SpinEdit_AutoUpdt", "Label_AutoUpdt2"}) Control(name).SetEnabled(regular);
}

void TStatusForm::Button_SettingsSaveClick(TControl&) {
  TWinRegistry registry;
  TUpdateSettings settings = OpenUpdateKey(registry, RegistryKey, HKCU);
  const TUpdateSettings::TSaveResult saved = Get<TRadioButton>("RadioButton_NoAutoUpdt").Checked()
                                                 ? settings.SaveNoUpdate()
                                                 : settings.SaveInterval(Get<TSpinEdit>("SpinEdit_AutoUpdt").Value());
  if (saved != TUpdateSettings::srSaved) {
    Control("Label_SettingsError")
        .SetCaption(saved == TUpdateSettings::srRefused ? SettingsNotSavedText : MachineKeepsRemindersOffText);
    return;
  }
  Button_SettingsCancelClick(Control("Button_SettingsSave"));
}

void TStatusForm::Button_SettingsCancelClick(TControl&) {
  const int step = WizardStep > wsFinish ? wsFinish : WizardStep;
  Control("Panel_Title").SetCaption(WizardTexts[step]);
  SetPageIndex("Pages", step);
  SetPageIndex("Notebook_StdButtons", 0);
  Control("Button_Settings").SetVisible(true);
}

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
    const bool current = i == WizardStep;
    HGDIOBJ old = SelectObject(dc, FontHandle(FontName, fontHeight, current, current));
    const std::wstring text = W(WizardTexts[i]);
    TextOutW(dc, Scale(16), Scale(16 + 56 * i), text.c_str(), static_cast<int>(text.size()));
    SelectObject(dc, old);
  }
}

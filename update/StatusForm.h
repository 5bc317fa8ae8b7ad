// TStatusForm, the update wizard "Updates installieren": welcome, check,
// result with the news, download with progress, install, finish, and a
// settings page for the reminders. Transfers run on a worker thread while
// the window goes on answering; every handler runs on the window's thread.
// At program end the window writes the next reminder date and starts the
// prepared install script.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/Form.h"
#include "update/InstallScript_win.h"
#include "update/UpdateInfo_win.h"

// The wizard's steps in their order: each is also its page's index and its
// title's in WizardTexts. wsEnd ends the program.
enum TWizardStep { wsWelcome, wsCheck, wsResult, wsDownload, wsInstall, wsFinish, wsEnd };
// The settings page, after the steps' pages.
const int SettingsPage = 6;
// WizardTexts: the titles of the steps, then these.
enum TWizardText { wtNoUpdate = 6, wtNews = 7, wtDownloadFailed = 8, wtDownloaded = 9 };
extern const char* const WizardTexts[10];

struct TTransferState;

class TStatusForm : public TForm {
 public:
  TStatusForm();
  ~TStatusForm() override;
  void Create();

  // Set by the update component before each showing.
  std::string ProgramName;
  std::string ZIPFileName;
  std::string RegistryKey;
  TDateTime ProgramDate = 0;
  // The release the program file was installed from, if known.
  TInstalledRelease Installed;
  bool HKCU = false;
  // The server's "host" or "host:port".
  std::string Host;
  // Asked before the finish ends the program (unsaved work); true: it may.
  std::function<bool()> CanEndProgram;

  std::string TempIniFileName;
  bool Downloading = false;
  bool UpdateAvailable = false;

  // With its trailing backslash; "" when Windows-1252 lacks a character of
  // it (the check then refuses the update, naming it).
  std::string TempDir;
  int WizardStep = 0;
  bool CancelRequested = false;
  bool DownloadFailed = false;
  bool InstallPrepared = false;
  std::unique_ptr<TIniUpdateInfo> UpdateInfo;
  // The prepared script, started at program end.
  TInstallPreparation Prepared;
  // The archive of this run, under a name of its own: two running programs
  // never share a download.
  std::string ArchivePath;

  void Button_NextClick(TControl& sender);
  void Button_CancelClick(TControl& sender);
  void Button_CheckClick(TControl& sender);
  // Shows why the install script could not name its folders; false when it
  // can.
  bool RefusesInstallPaths();
  void CancelDownloadClick(TControl& sender);
  void Button_SettingsClick(TControl& sender);
  void Button_SettingsSaveClick(TControl& sender);
  void Button_SettingsCancelClick(TControl& sender);
  void RadioButton_UpdtClick(TControl& sender);
  void PaintBox_ProcessPaint(TControl& sender, HDC dc);
  // The transfer's work events: the announced size (-1: none), then the
  // bytes received so far after each block.
  void HTTPWorkBegin(int64_t size);
  void OnUpdateTimer(int64_t count);
  void DownloadUpdateArchive(const std::string& path);

 protected:
  void FormCreate() override;
  void FormShow() override;
  void FormCloseQuery(bool& canClose) override;
  void FormClose(TCloseAction& action) override;
  void FormDestroy() override;

 private:
  // Fetches url into path on a worker thread while the window answers.
  // False when it failed, was cancelled, timed out or the window closed.
  bool RunTransfer(const std::string& url, const std::string& path, bool download);
  // The cancel question of a running download; true when it is to stop.
  bool AskCancelDownload();
  // The worker's news: work begin and work events of the download.
  void TransferNews();
  void ShowStepPage();
  std::shared_ptr<TTransferState> transfer_;
  int64_t maximum_ = 0;
  DWORD downloadStart_ = 0;
  bool routeWork_ = false;
  bool asking_ = false;
  TTimer* Timer_Transfer = nullptr;
};

// The wizard, made when it is first needed; freed with the configuration
// mode, which is when it writes the reminder date and starts the script.
TStatusForm& StatusForm();
void FreeStatusForm();

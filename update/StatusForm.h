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
#include "update/UpdateWizard.h"

struct TTransferState;

// The window of TUpdateWizard: its controls, the transfers and the install
// script.
class TStatusForm : public TForm, private IUpdateWizardView, private IUpdateWizardWork {
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

  TUpdateWizard& Wizard() { return wizard_; }

  void Button_NextClick(TControl& sender);
  void Button_CancelClick(TControl& sender);
  void Button_CheckClick(TControl& sender);
  void CancelDownloadClick(TControl& sender);
  void Button_SettingsClick(TControl& sender);
  void Button_SettingsSaveClick(TControl& sender);
  void Button_SettingsCancelClick(TControl& sender);
  void RadioButton_UpdtClick(TControl& sender);
  void PaintBox_ProcessPaint(TControl& sender, HDC dc);

 protected:
  void FormCreate() override;
  void FormShow() override;
  void FormCloseQuery(bool& canClose) override;
  void FormClose(TCloseAction& action) override;
  void FormDestroy() override;

 private:
  // IUpdateWizardView.
  void ShowPage(int page) override;
  void ShowTitle(const std::string& title) override;
  void ShowSettingsButtons(bool settings) override;
  void SetText(TWizardLabel label, const std::string& text) override;
  void SetCaption(TWizardControl control, const std::string& caption) override;
  void SetEnabled(TWizardControl control, bool enabled) override;
  void SetVisible(TWizardControl control, bool visible) override;
  void ShowInstallError() override;
  void ResetProgress() override;
  void ShowNeverRemind() override;
  void ShowInterval(int32_t days) override;
  void StepChanged() override;
  void CloseWizard() override;
  // IUpdateWizardWork.
  bool CanCheck() override;
  bool FetchUpdateInfo() override;
  void ReportCheckFailed() override;
  TCheckResult ReadUpdateInfo() override;
  std::string NewsList() override;
  bool Download() override;
  bool AskCancelDownload() override;
  TInstallResult PrepareInstall(std::string& error) override;
  bool MayEndProgram() override;
  void EndProgram() override;

  // The control a view call names.
  TControl& ControlOf(TWizardControl control);
  TLabel& LabelOf(TWizardLabel label);
  // Shows why the install script could not name its folders; false when it
  // can.
  bool RefusesInstallPaths();
  void ReportNoConnection();
  // Fetches url into path on a worker thread while the window answers.
  // False when it failed, was cancelled, timed out or the window closed.
  bool RunTransfer(const std::string& url, const std::string& path, bool download);
  // The worker's news: work begin and work events of the download.
  void TransferNews();
  // The transfer's work events: the announced size (-1: none), then the
  // bytes received so far after each block.
  void HTTPWorkBegin(int64_t size);
  void OnUpdateTimer(int64_t count);

  TUpdateWizard wizard_{*this, *this};
  std::string TempIniFileName;
  // With its trailing backslash; "" when Windows-1252 lacks a character of
  // it (the check then refuses the update, naming it).
  std::string TempDir;
  std::unique_ptr<TIniUpdateInfo> UpdateInfo;
  // The prepared script, started at program end.
  TInstallPreparation Prepared;
  // The archive of this run, under a name of its own: two running programs
  // never share a download.
  std::string ArchivePath;
  std::shared_ptr<TTransferState> transfer_;
  int64_t maximum_ = 0;
  DWORD downloadStart_ = 0;
  bool routeWork_ = false;
  TTimer* Timer_Transfer = nullptr;

  TBound<TPaintBox> paintBox_;
  TBound<TPanel> title_;
  TBound<TNotebook> pages_, buttonPages_;
  TBound<TImage> icon1_, icon2_, icon3_, downloadIcon_;
  TBound<TLabel> checkResult_, downloadText_, installText_, settingsError_, percent_, statusText_, timeLeft_,
      intervalBefore_, intervalAfter_;
  TBound<TProgressBar> progress_;
  TBound<TButton> check_, cancelDownload_, settings_, cancel_, next_, settingsCancel_, settingsSave_;
  TBound<TCheckBox> restart_;
  TBound<TRadioButton> never_, regular_;
  TBound<TSpinEdit> interval_;
};

// The wizard, made when it is first needed; freed with the configuration
// mode, which is when it writes the reminder date and starts the script.
TStatusForm& StatusForm();
void FreeStatusForm();

// The update wizard "Updates installieren" without its window: which step
// shows, what its page, title and buttons say, where "Weiter",
// "Abbrechen" and the pages' own buttons lead, and the settings page of the
// reminders. The window does the work (the transfers of the check and the
// download, the install script, the program's end) and reports how it went;
// it draws what it is told. Portable: no platform types.
#pragma once

#include <cstdint>
#include <string>

#include "update/UpdateSettings.h"

// The wizard's steps in their order: each is also its page's index and its
// title's in WizardTexts. wsEnd ends the program.
enum TWizardStep { wsWelcome, wsCheck, wsResult, wsDownload, wsInstall, wsFinish, wsEnd };
// The settings page, after the steps' pages.
const int SettingsPage = 6;
// WizardTexts: the titles of the steps, then these.
enum TWizardText { wtNoUpdate = 6, wtNews = 7, wtDownloadFailed = 8, wtDownloaded = 9 };
extern const char* const WizardTexts[10];
extern const char* const MissingArchiveText;
extern const char* const SettingsNotSavedText;
extern const char* const MachineKeepsRemindersOffText;

// The controls whose state the steps change. wcInterval: the interval's
// field with its two labels.
enum TWizardControl { wcNext, wcCancel, wcCheck, wcSettings, wcCancelDownload, wcInterval };
// The texts of the pages that change.
enum TWizardLabel { wlCheckResult, wlDownload, wlInstall, wlSettingsError };

// What the window shows for the wizard.
class IUpdateWizardView {
 public:
  virtual ~IUpdateWizardView() = default;
  // A page of the notebook: a step's (by TWizardStep) or SettingsPage.
  virtual void ShowPage(int page) = 0;
  virtual void ShowTitle(const std::string& title) = 0;
  // The row of buttons below the pages: the settings page's or the steps'.
  virtual void ShowSettingsButtons(bool settings) = 0;
  virtual void SetText(TWizardLabel label, const std::string& text) = 0;
  virtual void SetCaption(TWizardControl control, const std::string& caption) = 0;
  virtual void SetEnabled(TWizardControl control, bool enabled) = 0;
  virtual void SetVisible(TWizardControl control, bool visible) = 0;
  // The install page's icon becomes the error's.
  virtual void ShowInstallError() = 0;
  // The download's bar back at its start.
  virtual void ResetProgress() = 0;
  // The settings page's choice set to "Niemals ...".
  virtual void ShowNeverRemind() = 0;
  virtual void ShowInterval(int32_t days) = 0;
  // The list of steps beside the pages marks the current one.
  virtual void StepChanged() = 0;
  // Hides the wizard as its close box does.
  virtual void CloseWizard() = 0;
};

// How the window's reading of the fetched release list went.
enum TCheckResult { crNoUpdate, crUpdate, crRefused };
// How the window's preparation of the install script went.
enum TInstallResult { irPrepared, irMissing, irRefused };

// The work the window does for the wizard. Each call may answer messages
// while it runs, so that the user's clicks reach the wizard meanwhile; each
// tells the user itself what went wrong, with its message box.
class IUpdateWizardWork {
 public:
  virtual ~IUpdateWizardWork() = default;
  // A connection, and a temporary folder the program can name; false when
  // the user was told which is missing.
  virtual bool CanCheck() = 0;
  // Fetches the release list; false when that failed, timed out or the
  // window was closed meanwhile.
  virtual bool FetchUpdateInfo() = 0;
  // A failed fetch is told (unless the window went meanwhile).
  virtual void ReportCheckFailed() = 0;
  // The fetched list: a newer release, none, or one that is refused (its
  // section is not signed, or the install script could not name its
  // folders).
  virtual TCheckResult ReadUpdateInfo() = 0;
  // The news of the newer release as the result page lists them.
  virtual std::string NewsList() = 0;
  // Fetches the release's archive; false when that failed or was cancelled.
  virtual bool Download() = 0;
  // The cancel question of a running download; true: stop it.
  virtual bool AskCancelDownload() = 0;
  // The install script from the downloaded archive, started at the
  // program's end; error: why a refused archive is refused.
  virtual TInstallResult PrepareInstall(std::string& error) = 0;
  // Asked before the program ends (unsaved work); true: it may.
  virtual bool MayEndProgram() = 0;
  virtual void EndProgram() = 0;
};

class TUpdateWizard {
 public:
  TUpdateWizard(IUpdateWizardView& view, IUpdateWizardWork& work);
  TUpdateWizard(const TUpdateWizard&) = delete;
  TUpdateWizard& operator=(const TUpdateWizard&) = delete;

  TWizardStep Step() const { return static_cast<TWizardStep>(step_); }
  bool SettingsShown() const { return settingsShown_; }
  bool UpdateAvailable() const { return updateAvailable_; }
  bool Downloading() const { return downloading_; }
  // The user said yes to the cancel question of the running download.
  bool CancelRequested() const { return cancelRequested_; }
  // The cancel question is open: a second one is not asked.
  bool Asking() const { return asking_; }
  bool InstallPrepared() const { return installPrepared_; }
  // An install prepared by an earlier showing of this run; tests set it
  // without a script to start.
  void SetInstallPrepared(bool prepared) { installPrepared_ = prepared; }
  // At the wizard's end the next reminder is written: an install was
  // prepared, or the check found no newer release and the user left.
  bool WritesReminder() const;

  // Before each showing: the welcome, or the finish of an install still
  // prepared.
  void Show();
  // "Weiter >" (and "Beenden" where it says so).
  void Next();
  // "Jetzt auf neue Updates prüfen": on to the result when the list came.
  void Check();
  // The download page's button: the cancel question while the download
  // runs, after a failed one "Erneut versuchen".
  void CancelDownload();
  // "Abbrechen" of the steps.
  void Cancel();
  // The cancel question of the running download; true: it stops.
  bool ConfirmCancelDownload();
  // The window may close: never while a download runs (its own loop asks).
  bool CanClose() const { return !downloading_; }
  // The window closed: at the finish the program ends, as "Beenden" ends it.
  void Closed();

  // "Einstellungen": the page shows the settings' choice.
  void OpenSettings(TUpdateSettings& settings);
  // The user chose regular reminders (or "Niemals").
  void ReminderChoiceChanged(bool regular);
  // "Speichern": the choice saved, then back to the step; a refused save
  // stays and says why.
  void SaveSettings(TUpdateSettings& settings, bool never, int32_t days);
  // "Abbrechen" of the settings page: back to the step's page.
  void CloseSettings();

 private:
  void ShowStepPage();
  // The download on its page and its outcome.
  void RunDownload();

  IUpdateWizardView& view_;
  IUpdateWizardWork& work_;
  int step_ = wsWelcome;
  bool settingsShown_ = false;
  bool checking_ = false;
  bool updateAvailable_ = false;
  bool downloading_ = false;
  bool downloadFailed_ = false;
  bool cancelRequested_ = false;
  bool asking_ = false;
  bool installPrepared_ = false;
};

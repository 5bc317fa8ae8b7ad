#include "update/UpdateWizard.h"

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
const char* const MissingArchiveText =
    "Die Installationsdateien wurden nicht gefunden. Klicken Sie auf \"Abbrechen\" und versuchen Sie es später noch "
    "einmal.";
const char* const SettingsNotSavedText =
    "Die Einstellungen konnten nicht gespeichert werden: Sie haben keine Berechtigung, in die Registrierung zu "
    "schreiben.";
const char* const MachineKeepsRemindersOffText =
    "Die Erinnerungen bleiben ausgeschaltet: Sie sind für alle Benutzer dieses Computers abgeschaltet, und Sie "
    "haben keine Berechtigung, das zu ändern.";

namespace {

const char* const NextCaption = "Weiter >";
const char* const EndCaption = "Beenden";
const char* const CancelDownloadCaption = "Download ab&brechen";
const char* const RetryCaption = "Erneut versuchen";
const char* const SettingsTitle = "Einstellungen";
const int32_t DefaultInterval = 28;

std::string ReplaceFirst(std::string text, const std::string& what, const std::string& with) {
  const size_t at = text.find(what);
  if (at != std::string::npos) text.replace(at, what.size(), with);
  return text;
}

}  // namespace

TUpdateWizard::TUpdateWizard(IUpdateWizardView& view, IUpdateWizardWork& work) : view_(view), work_(work) {}

bool TUpdateWizard::WritesReminder() const {
  // "Beenden" of a check that found nothing leads past the result to the
  // download step, which closes the wizard instead.
  return installPrepared_ || (step_ == wsDownload && !updateAvailable_);
}

void TUpdateWizard::Show() {
  checking_ = false;
  view_.SetEnabled(wcCheck, true);
  // A wizard closed on its settings page opens on its step.
  settingsShown_ = false;
  view_.ShowSettingsButtons(false);
  view_.SetVisible(wcSettings, true);
  if (installPrepared_) {
    // An install prepared earlier in this run, whose finish was put off
    // (the save prompt said no): it stays prepared, and the wizard shows
    // its finish again rather than forgetting it and leaving its folder.
    step_ = wsFinish;
    ShowStepPage();
    view_.SetCaption(wcNext, EndCaption);
    view_.SetEnabled(wcNext, true);
    view_.SetEnabled(wcCancel, false);
    return;
  }
  step_ = wsWelcome;
  view_.ShowPage(wsWelcome);
  view_.SetEnabled(wcCancel, true);
  view_.SetEnabled(wcNext, true);
  view_.SetCaption(wcNext, NextCaption);
  updateAvailable_ = cancelRequested_ = false;
  view_.ShowTitle(WizardTexts[wsWelcome]);
  view_.StepChanged();
}

void TUpdateWizard::ShowStepPage() {
  // A check that ends while the settings page shows moves the step unseen;
  // leaving the settings shows it.
  if (!settingsShown_) {
    view_.ShowPage(step_);
    view_.ShowTitle(WizardTexts[step_]);
  }
  view_.StepChanged();
}

void TUpdateWizard::Next() {
  ++step_;
  switch (step_) {
    case wsCheck:
      view_.SetEnabled(wcNext, false);
      break;
    case wsResult:
      if (updateAvailable_) {
        view_.SetText(wlCheckResult, ReplaceFirst(WizardTexts[wtNews], "%s", work_.NewsList()));
      } else {
        view_.SetCaption(wcNext, EndCaption);
        view_.SetEnabled(wcCancel, false);
        view_.SetText(wlCheckResult, WizardTexts[wtNoUpdate]);
      }
      view_.SetEnabled(wcNext, true);
      break;
    case wsDownload:
      if (updateAvailable_)
        view_.ResetProgress();
      else
        view_.CloseWizard();
      break;
    case wsInstall:
      break;
    case wsFinish: {
      std::string error;
      const TInstallResult result = work_.PrepareInstall(error);
      if (result != irPrepared) {
        // A refused archive is reported like a missing one: nothing is
        // installed, the user may only cancel.
        view_.SetText(wlInstall, result == irMissing ? MissingArchiveText : error);
        view_.ShowInstallError();
        view_.SetEnabled(wcNext, false);
        return;
      }
      installPrepared_ = true;
      view_.SetCaption(wcNext, EndCaption);
      view_.SetEnabled(wcCancel, false);
      break;
    }
    case wsEnd:
      if (!work_.MayEndProgram()) {
        // The script starts when the program ends later.
        --step_;
        return;
      }
      work_.EndProgram();
      return;
    default:
      return;
  }
  ShowStepPage();
  if (step_ == wsDownload && updateAvailable_) RunDownload();
}

void TUpdateWizard::RunDownload() {
  view_.SetEnabled(wcNext, false);
  view_.SetCaption(wcCancelDownload, CancelDownloadCaption);
  downloading_ = true;
  const bool failed = !work_.Download() || cancelRequested_;
  downloading_ = false;
  view_.SetText(wlDownload, failed ? WizardTexts[wtDownloadFailed] : WizardTexts[wtDownloaded]);
  if (failed) {
    view_.SetCaption(wcCancelDownload, RetryCaption);
  } else {
    view_.SetVisible(wcCancelDownload, false);
    view_.SetEnabled(wcNext, true);
  }
}

void TUpdateWizard::Check() {
  // A second click while the check waits (its wait answers messages)
  // would nest a second check inside the first.
  if (checking_) return;
  if (!work_.CanCheck()) return;
  checking_ = true;
  view_.SetEnabled(wcCheck, false);
  updateAvailable_ = work_.FetchUpdateInfo();
  checking_ = false;
  view_.SetEnabled(wcCheck, true);
  if (!updateAvailable_) {
    work_.ReportCheckFailed();
    return;
  }
  const TCheckResult result = work_.ReadUpdateInfo();
  updateAvailable_ = result == crUpdate;
  // A refused release stays unoffered; the check page stays.
  if (result == crRefused) return;
  Next();
}

bool TUpdateWizard::ConfirmCancelDownload() {
  asking_ = true;
  const bool stop = work_.AskCancelDownload();
  asking_ = false;
  if (stop) cancelRequested_ = true;
  return stop;
}

void TUpdateWizard::CancelDownload() {
  if (downloading_) {
    ConfirmCancelDownload();
    return;
  }
  // "Erneut versuchen": the download step afresh.
  step_ = wsResult;
  cancelRequested_ = false;
  Next();
}

void TUpdateWizard::Cancel() {
  if (downloading_ && !ConfirmCancelDownload()) return;
  view_.CloseWizard();
}

void TUpdateWizard::Closed() {
  if (step_ == wsFinish && work_.MayEndProgram()) work_.EndProgram();
}

void TUpdateWizard::OpenSettings(TUpdateSettings& settings) {
  if (settings.Exists("NoUpdate")) {
    view_.ShowNeverRemind();
    ReminderChoiceChanged(false);
  }
  int32_t interval = DefaultInterval;
  if (!settings.ReadInteger("UpdateInterval", interval)) interval = DefaultInterval;
  view_.ShowInterval(interval);
  view_.SetText(wlSettingsError, "");
  view_.SetVisible(wcSettings, false);
  view_.ShowTitle(SettingsTitle);
  view_.ShowSettingsButtons(true);
  view_.ShowPage(SettingsPage);
  settingsShown_ = true;
}

void TUpdateWizard::ReminderChoiceChanged(bool regular) { view_.SetEnabled(wcInterval, regular); }

void TUpdateWizard::SaveSettings(TUpdateSettings& settings, bool never, int32_t days) {
  const TUpdateSettings::TSaveResult saved = never ? settings.SaveNoUpdate() : settings.SaveInterval(days);
  if (saved != TUpdateSettings::srSaved) {
    view_.SetText(wlSettingsError,
                  saved == TUpdateSettings::srRefused ? SettingsNotSavedText : MachineKeepsRemindersOffText);
    return;
  }
  CloseSettings();
}

void TUpdateWizard::CloseSettings() {
  const int step = step_ > wsFinish ? wsFinish : step_;
  view_.ShowTitle(WizardTexts[step]);
  view_.ShowPage(step);
  settingsShown_ = false;
  view_.ShowSettingsButtons(false);
  view_.SetVisible(wcSettings, true);
}

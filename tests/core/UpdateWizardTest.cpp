// The update wizard against a fake window that records what it shows and
// answers the work as each case scripts it. The work's calls may run the
// user's clicks meanwhile, as the window's waits do.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "tests/core/FakeRegistry.h"
#include "update/UpdateWizard.h"

namespace {

const std::string Key = "Software\\VQ\\Tarvo";

class TFakeWizardWindow : public IUpdateWizardView, public IUpdateWizardWork {
 public:
  // Shown.
  int Page = -1, Interval = 0, StepChanges = 0, ProgressResets = 0, Closes = 0;
  bool SettingsButtons = false, InstallError = false, Never = false;
  std::string Title;
  std::map<TWizardLabel, std::string> Texts;
  std::map<TWizardControl, std::string> Captions;
  std::map<TWizardControl, bool> Enabled, Visible;
  // The work's answers.
  bool Connected = true, Fetched = true, Downloaded = true, AnswerYes = false, MayEnd = true;
  TCheckResult Read = crUpdate;
  TInstallResult Install = irPrepared;
  std::string News = "- 01.02.2026: neu", InstallError_ = "Das Archiv ist nicht signiert.";
  // What the user does while a call waits.
  std::function<void()> WhileFetching, WhileDownloading;
  // Asked.
  int Fetches = 0, FailuresTold = 0, Downloads = 0, Questions = 0, Ends = 0;

  void ShowPage(int page) override { Page = page; }
  void ShowTitle(const std::string& title) override { Title = title; }
  void ShowSettingsButtons(bool settings) override { SettingsButtons = settings; }
  void SetText(TWizardLabel label, const std::string& text) override { Texts[label] = text; }
  void SetCaption(TWizardControl control, const std::string& caption) override { Captions[control] = caption; }
  void SetEnabled(TWizardControl control, bool enabled) override { Enabled[control] = enabled; }
  void SetVisible(TWizardControl control, bool visible) override { Visible[control] = visible; }
  void ShowInstallError() override { InstallError = true; }
  void ResetProgress() override { ++ProgressResets; }
  void ShowNeverRemind() override { Never = true; }
  void ShowInterval(int32_t days) override { Interval = days; }
  void StepChanged() override { ++StepChanges; }
  void CloseWizard() override { ++Closes; }

  bool CanCheck() override { return Connected; }
  bool FetchUpdateInfo() override {
    ++Fetches;
    if (WhileFetching) WhileFetching();
    return Fetched;
  }
  void ReportCheckFailed() override { ++FailuresTold; }
  TCheckResult ReadUpdateInfo() override { return Read; }
  std::string NewsList() override { return News; }
  bool Download() override {
    ++Downloads;
    if (WhileDownloading) WhileDownloading();
    return Downloaded;
  }
  bool AskCancelDownload() override { return ++Questions, AnswerYes; }
  TInstallResult PrepareInstall(std::string& error) override {
    error = InstallError_;
    return Install;
  }
  bool MayEndProgram() override { return MayEnd; }
  void EndProgram() override { ++Ends; }
};

enum TUserEvent { ueShow, ueNext, ueCheck, ueCancelDownload, ueCancel, ueClosed, ueSettings, ueSettingsCancel };

class UpdateWizardTest : public ::testing::Test {
 protected:
  void Do(TUserEvent event) {
    switch (event) {
      case ueShow: wizard.Show(); break;
      case ueNext: wizard.Next(); break;
      case ueCheck: wizard.Check(); break;
      case ueCancelDownload: wizard.CancelDownload(); break;
      case ueCancel: wizard.Cancel(); break;
      case ueClosed: wizard.Closed(); break;
      case ueSettings: {
        TUpdateSettings settings(registry, "Tarvo", false);
        wizard.OpenSettings(settings);
        break;
      }
      case ueSettingsCancel: wizard.CloseSettings(); break;
    }
  }
  // What the user sees: the step the list marks, the page, its title, the
  // caption of "Weiter", and which of Weiter, Abbrechen and the check's
  // button are enabled.
  std::string Seen() {
    std::string on;
    for (TWizardControl c : {wcNext, wcCancel, wcCheck}) on += window.Enabled[c] ? '1' : '0';
    return std::to_string(wizard.Step()) + "|" + std::to_string(window.Page) + "|" + window.Title + "|" +
           window.Captions[wcNext] + "|" + on;
  }
  struct TRow {
    TUserEvent Event;
    const char* Seen;
  };
  void Run(const std::vector<TRow>& script) {
    int row = 0;
    for (const TRow& r : script) {
      Do(r.Event);
      EXPECT_EQ(Seen(), r.Seen) << "row " << row;
      ++row;
    }
  }
  // Welcome, check, the result of a newer release.
  void ToResult() {
    Run({{ueShow, "0|0|Willkommen|Weiter >|111"},
         {ueNext, "1|1|Auf neue Updates prüfen|Weiter >|011"},
         {ueCheck, "2|2|Ergebnis der Prüfung|Weiter >|111"}});
  }

  TFakeRegistry registry;
  TFakeWizardWindow window;
  TUpdateWizard wizard{window, window};
};

TEST_F(UpdateWizardTest, ANewerReleaseIsCheckedDownloadedPreparedAndEndsTheProgram) {
  ToResult();
  EXPECT_EQ(window.Texts[wlCheckResult],
            "Es stehen neue Updates zum Download bereit.\r\n\r\nDie Updates beheben folgende Probleme bzw. stellen "
            "folgende neue Funktionen zur Verfügung:\r\n- 01.02.2026: neu\r\n\r\nKlicken Sie auf \"Weiter\", um die "
            "Updates jetzt herunterzuladen.");
  // The download runs on its page with "Weiter" off, and no close.
  window.WhileDownloading = [&] {
    EXPECT_EQ(Seen(), "3|3|Download der Updates|Weiter >|011");
    EXPECT_EQ(window.Captions[wcCancelDownload], "Download ab&brechen");
    EXPECT_TRUE(wizard.Downloading());
    EXPECT_FALSE(wizard.CanClose());
  };
  Run({{ueNext, "3|3|Download der Updates|Weiter >|111"},
       {ueNext, "4|4|Installieren|Weiter >|111"},
       {ueNext, "5|5|Abschließen der Installation|Beenden|101"}});
  EXPECT_EQ(window.ProgressResets, 1);
  EXPECT_EQ(window.Texts[wlDownload], WizardTexts[wtDownloaded]);
  EXPECT_FALSE(window.Visible[wcCancelDownload]);
  EXPECT_TRUE(wizard.CanClose());
  EXPECT_TRUE(wizard.InstallPrepared());
  EXPECT_TRUE(wizard.WritesReminder());
  EXPECT_EQ(window.Ends, 0);
  wizard.Next();
  EXPECT_EQ(window.Ends, 1);
}

TEST_F(UpdateWizardTest, NoNewerReleaseEndsTheWizardAndRemindsLater) {
  window.Read = crNoUpdate;
  Run({{ueShow, "0|0|Willkommen|Weiter >|111"},
       {ueNext, "1|1|Auf neue Updates prüfen|Weiter >|011"},
       {ueCheck, "2|2|Ergebnis der Prüfung|Beenden|101"}});
  EXPECT_EQ(window.Texts[wlCheckResult],
            "Es stehen keine neuen Updates zur Verfügung. Klicken Sie auf \"Beenden\", um den Assistenten zu "
            "verlassen.");
  EXPECT_FALSE(wizard.WritesReminder());
  wizard.Next();
  EXPECT_EQ(window.Closes, 1);
  EXPECT_EQ(window.Downloads, 0);
  EXPECT_TRUE(wizard.WritesReminder());
  // Shown again, the wizard starts afresh and owes no reminder.
  Run({{ueShow, "0|0|Willkommen|Weiter >|111"}});
  EXPECT_FALSE(wizard.WritesReminder());
}

TEST_F(UpdateWizardTest, AFailedOrRefusedCheckStaysOnTheCheckPage) {
  const struct {
    bool connected, fetched;
    TCheckResult read;
    int fetches, told;
  } cases[] = {
      {false, true, crUpdate, 0, 0},  // no connection: the window said so, nothing fetched
      {true, false, crUpdate, 1, 1},  // the fetch failed
      {true, true, crRefused, 1, 0},  // unsigned, or folders the script cannot name
  };
  for (const auto& c : cases) {
    TFakeWizardWindow window;
    TUpdateWizard wizard(window, window);
    window.Connected = c.connected, window.Fetched = c.fetched, window.Read = c.read;
    wizard.Show();
    wizard.Next();
    wizard.Check();
    EXPECT_EQ(wizard.Step(), wsCheck);
    EXPECT_EQ(window.Page, wsCheck);
    EXPECT_FALSE(wizard.UpdateAvailable());
    EXPECT_TRUE(window.Enabled[wcCheck]);
    EXPECT_FALSE(window.Enabled[wcNext]);
    EXPECT_EQ(window.Fetches, c.fetches);
    EXPECT_EQ(window.FailuresTold, c.told);
  }
}

TEST_F(UpdateWizardTest, AClickDuringTheCheckStartsNoSecondCheck) {
  window.WhileFetching = [&] {
    EXPECT_FALSE(window.Enabled[wcCheck]);
    wizard.Check();
  };
  ToResult();
  EXPECT_EQ(window.Fetches, 1);
}

TEST_F(UpdateWizardTest, AFailedDownloadIsTriedAgain) {
  ToResult();
  window.Downloaded = false;
  Run({{ueNext, "3|3|Download der Updates|Weiter >|011"}});
  EXPECT_EQ(window.Texts[wlDownload],
            "Der Download wurde nicht vollendet.\r\n\r\nKlicken Sie auf \"Erneut versuchen\", um den Download erneut "
            "zu starten.\r\nKlicken Sie auf \"Abbrechen\", um den Assistenten zu beenden.");
  EXPECT_EQ(window.Captions[wcCancelDownload], "Erneut versuchen");
  EXPECT_FALSE(wizard.WritesReminder());
  window.Downloaded = true;
  Run({{ueCancelDownload, "3|3|Download der Updates|Weiter >|111"}});
  EXPECT_EQ(window.Downloads, 2);
  EXPECT_EQ(window.Texts[wlDownload], WizardTexts[wtDownloaded]);
}

TEST_F(UpdateWizardTest, CancellingARunningDownloadAsksFirst) {
  ToResult();
  // Each row: a click during the download, the answer; then whether the
  // wizard closed and the download failed.
  const struct {
    TUserEvent click;
    bool yes;
    int closes;
    bool failed;
  } cases[] = {
      {ueCancel, false, 0, false},
      {ueCancel, true, 1, true},
      {ueCancelDownload, false, 0, false},
      {ueCancelDownload, true, 0, true},
  };
  for (const auto& c : cases) {
    const int questions = window.Questions, closes = window.Closes;
    window.AnswerYes = c.yes;
    window.WhileDownloading = [&] { Do(c.click); };
    wizard.CancelDownload();  // afresh from the result
    EXPECT_EQ(window.Questions, questions + 1);
    EXPECT_EQ(window.Closes - closes, c.closes);
    EXPECT_EQ(window.Texts[wlDownload], WizardTexts[c.failed ? wtDownloadFailed : wtDownloaded]) << c.yes;
    EXPECT_EQ(wizard.CancelRequested(), c.yes);
    EXPECT_FALSE(wizard.Asking());
  }
  // Once it ended, "Abbrechen" closes without a question.
  window.WhileDownloading = nullptr;
  const int questions = window.Questions;
  wizard.Cancel();
  EXPECT_EQ(window.Questions, questions);
}

TEST_F(UpdateWizardTest, AnArchiveThatCannotBeInstalledLeavesOnlyCancel) {
  const struct {
    TInstallResult result;
    const char* text;
  } cases[] = {
      {irMissing,
       "Die Installationsdateien wurden nicht gefunden. Klicken Sie auf \"Abbrechen\" und versuchen Sie es später "
       "noch einmal."},
      {irRefused, "Das Archiv ist nicht signiert."},
  };
  for (const auto& c : cases) {
    TFakeWizardWindow window;
    TUpdateWizard wizard(window, window);
    window.Install = c.result;
    for (auto step : {&TUpdateWizard::Show, &TUpdateWizard::Next, &TUpdateWizard::Check, &TUpdateWizard::Next,
                      &TUpdateWizard::Next, &TUpdateWizard::Next})
      (wizard.*step)();
    EXPECT_EQ(window.Texts[wlInstall], c.text);
    EXPECT_TRUE(window.InstallError);
    EXPECT_EQ(window.Page, wsInstall);
    EXPECT_FALSE(window.Enabled[wcNext]);
    EXPECT_TRUE(window.Enabled[wcCancel]);
    EXPECT_FALSE(wizard.InstallPrepared());
    EXPECT_FALSE(wizard.WritesReminder());
  }
}

TEST_F(UpdateWizardTest, AFinishPutOffIsShownAgainAndEndsAtTheClose) {
  ToResult();
  window.MayEnd = false;
  Run({{ueNext, "3|3|Download der Updates|Weiter >|111"},
       {ueNext, "4|4|Installieren|Weiter >|111"},
       {ueNext, "5|5|Abschließen der Installation|Beenden|101"},
       // The save prompt said no: the finish stays.
       {ueNext, "5|5|Abschließen der Installation|Beenden|101"},
       {ueClosed, "5|5|Abschließen der Installation|Beenden|101"},
       // Shown again (Ctrl+U), even after leaving on the settings page.
       {ueSettings, "5|6|Einstellungen|Beenden|101"},
       {ueShow, "5|5|Abschließen der Installation|Beenden|101"}});
  EXPECT_EQ(window.Ends, 0);
  EXPECT_FALSE(window.SettingsButtons);
  EXPECT_TRUE(wizard.InstallPrepared());
  window.MayEnd = true;
  wizard.Closed();
  EXPECT_EQ(window.Ends, 1);
}

TEST_F(UpdateWizardTest, ClosingBeforeTheFinishKeepsTheProgram) {
  window.Read = crNoUpdate;
  for (TUserEvent e : {ueShow, ueClosed, ueNext, ueClosed, ueCheck, ueClosed}) Do(e);
  EXPECT_EQ(window.Ends, 0);
}

TEST_F(UpdateWizardTest, TheSettingsPageShowsTheChoiceAndReturnsToTheStep) {
  const struct {
    const char* values;  // NoUpdate, UpdateInterval in the machine's key
    bool never;
    int interval;
  } cases[] = {{"", false, 28}, {"n", true, 28}, {"7", false, 7}, {"n14", true, 14}};
  for (const auto& c : cases) {
    TFakeRegistry registry;
    std::string values = c.values;
    if (!values.empty() && values[0] == 'n') {
      registry.Roots[rrLocalMachine].Keys[Key]["NoUpdate"] = "s";
      values.erase(0, 1);
    }
    if (!values.empty()) registry.Roots[rrLocalMachine].Keys[Key]["UpdateInterval"] = "i" + values;
    TFakeWizardWindow window;
    TUpdateWizard wizard(window, window);
    wizard.Show();
    window.Enabled[wcInterval] = true;
    TUpdateSettings settings(registry, "Tarvo", false);
    wizard.OpenSettings(settings);
    EXPECT_EQ(window.Never, c.never) << c.values;
    EXPECT_EQ(window.Enabled[wcInterval], !c.never) << c.values;
    EXPECT_EQ(window.Interval, c.interval) << c.values;
    EXPECT_EQ(window.Page, SettingsPage);
    EXPECT_EQ(window.Title, "Einstellungen");
    EXPECT_TRUE(window.SettingsButtons);
    EXPECT_FALSE(window.Visible[wcSettings]);
    EXPECT_TRUE(wizard.SettingsShown());
  }
  // The choice enables the interval's field.
  wizard.ReminderChoiceChanged(true);
  EXPECT_TRUE(window.Enabled[wcInterval]);
  wizard.ReminderChoiceChanged(false);
  EXPECT_FALSE(window.Enabled[wcInterval]);
  // A check that ends meanwhile moves the step unseen.
  window.WhileFetching = [&] { Do(ueSettings); };
  Run({{ueShow, "0|0|Willkommen|Weiter >|111"},
       {ueNext, "1|1|Auf neue Updates prüfen|Weiter >|011"},
       {ueCheck, "2|6|Einstellungen|Weiter >|111"},
       {ueSettingsCancel, "2|2|Ergebnis der Prüfung|Weiter >|111"}});
  EXPECT_FALSE(window.SettingsButtons);
  EXPECT_TRUE(window.Visible[wcSettings]);
  EXPECT_FALSE(wizard.SettingsShown());
}

TEST_F(UpdateWizardTest, SavingTheSettingsStoresTheChoiceOrSaysWhyNot) {
  const struct {
    bool userRefuses, machineRefuses, machineNever, never;
    int days;
    const char* error;  // nullptr: saved, back to the step
  } cases[] = {
      {false, false, false, true, 28, nullptr},
      {false, false, false, false, 14, nullptr},
      {true, true, false, false, 14,
       "Die Einstellungen konnten nicht gespeichert werden: Sie haben keine Berechtigung, in die Registrierung zu "
       "schreiben."},
      {false, true, true, false, 14,
       "Die Erinnerungen bleiben ausgeschaltet: Sie sind für alle Benutzer dieses Computers abgeschaltet, und Sie "
       "haben keine Berechtigung, das zu ändern."},
  };
  for (const auto& c : cases) {
    TFakeRegistry registry;
    if (c.machineNever) registry.Roots[rrLocalMachine].Keys[Key]["NoUpdate"] = "s";
    registry.Roots[rrCurrentUser].Refuses = c.userRefuses;
    registry.Roots[rrLocalMachine].Refuses = c.machineRefuses;
    TFakeWizardWindow window;
    TUpdateWizard wizard(window, window);
    wizard.Show();
    TUpdateSettings settings(registry, "Tarvo", false);
    wizard.OpenSettings(settings);
    wizard.SaveSettings(settings, c.never, c.days);
    EXPECT_EQ(window.Texts[wlSettingsError], c.error ? c.error : "") << c.days;
    EXPECT_EQ(wizard.SettingsShown(), c.error != nullptr);
    EXPECT_EQ(window.Page, c.error ? SettingsPage : wsWelcome);
    if (c.error) continue;
    int32_t interval = 0;
    EXPECT_EQ(settings.Exists("NoUpdate"), c.never);
    EXPECT_EQ(settings.ReadInteger("UpdateInterval", interval), !c.never);
    if (!c.never) {
      EXPECT_EQ(interval, c.days);
    }
  }
}

}  // namespace

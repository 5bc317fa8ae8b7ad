#include <gtest/gtest.h>

#include <map>

#include "tests/core/FakeRegistry.h"
#include "update/UpdateSettings.h"

namespace {

const TDateTime Today = 46364;
const std::string Key = "Software\\VQ\\Tarvo";

TEST(UpdateSettings, TheDateValueIsEightLittleEndianBytes) {
  const std::string bytes = EncodeDateValue(Today + 27);
  ASSERT_EQ(bytes.size(), 8u);
  EXPECT_EQ(bytes, std::string("\x00\x00\x00\x00\xE0\xA6\xE6\x40", 8));  // 46391.0
  TDateTime back = 0;
  ASSERT_TRUE(DecodeDateValue(bytes, back));
  EXPECT_EQ(back, Today + 27);
  EXPECT_FALSE(DecodeDateValue(std::string(7, '\0'), back));
}

TEST(UpdateSettings, ValuesTheMachineRefusesGoToTheUser) {
  TFakeRegistry registry;
  registry.Roots[rrLocalMachine].Refuses = true;
  TUpdateSettings settings(registry, "Tarvo", false);
  ASSERT_TRUE(settings.WriteNextReminder(Today));
  TDateTime date = 0;
  ASSERT_TRUE(settings.ReadDate("Update", date));
  EXPECT_EQ(date, Today + 27);
  EXPECT_TRUE(registry.Roots[rrCurrentUser].Keys[Key].count("Update"));
  // Neither root: nothing is stored, and the caller is told.
  registry.Roots[rrCurrentUser].Refuses = true;
  EXPECT_EQ(settings.SaveInterval(7), TUpdateSettings::srRefused);
  EXPECT_FALSE(settings.Exists("UpdateInterval"));
}

TEST(UpdateSettings, TheUserIsReadFirstAndTheMachinesSettingsStillHold) {
  TFakeRegistry registry;
  registry.Roots[rrLocalMachine].Keys[Key]["NoUpdate"] = "s";
  registry.Roots[rrLocalMachine].Keys[Key]["UpdateInterval"] = "i7";
  registry.Roots[rrCurrentUser].Keys[Key]["UpdateInterval"] = "i14";
  TUpdateSettings settings(registry, "Tarvo", false);
  EXPECT_TRUE(settings.Exists("NoUpdate"));
  int32_t interval = 0;
  ASSERT_TRUE(settings.ReadInteger("UpdateInterval", interval));
  EXPECT_EQ(interval, 14);
  // Written where it belongs, the machine's value replaces the user's copy.
  ASSERT_TRUE(settings.WriteInteger("UpdateInterval", 3));
  ASSERT_TRUE(settings.ReadInteger("UpdateInterval", interval));
  EXPECT_EQ(interval, 3);
  EXPECT_FALSE(registry.Roots[rrCurrentUser].Keys[Key].count("UpdateInterval"));
}

TEST(UpdateSettings, TheTwoChoicesRemoveEachOther) {
  TFakeRegistry registry;
  TUpdateSettings settings(registry, "Tarvo", false);
  ASSERT_EQ(settings.SaveInterval(7), TUpdateSettings::srSaved);
  ASSERT_EQ(settings.SaveNoUpdate(), TUpdateSettings::srSaved);
  EXPECT_TRUE(settings.Exists("NoUpdate"));
  EXPECT_FALSE(settings.Exists("UpdateInterval"));
  ASSERT_EQ(settings.SaveInterval(30), TUpdateSettings::srSaved);
  EXPECT_FALSE(settings.Exists("NoUpdate"));
  ASSERT_TRUE(settings.WriteNextReminder(Today));
  TDateTime date = 0;
  ASSERT_TRUE(settings.ReadDate("Update", date));
  EXPECT_EQ(date, Today + 29);
}

// A standard user under a machine that switched the reminders off: the
// interval lands in the user's root, but the machine's "NoUpdate" stays and
// still wins, which the old save reported as saved.
TEST(UpdateSettings, ARegularReminderTheMachineOverridesIsNotReportedAsSaved) {
  const struct {
    bool machineOff;
    bool machineRefuses;
    TUpdateSettings::TSaveResult result;
  } cases[] = {
      {true, true, TUpdateSettings::srMachineKeepsThemOff},
      {true, false, TUpdateSettings::srSaved},  // an administrator removes it
      {false, true, TUpdateSettings::srSaved},
  };
  for (const auto& c : cases) {
    TFakeRegistry registry;
    if (c.machineOff) registry.Roots[rrLocalMachine].Keys[Key]["NoUpdate"] = "s";
    registry.Roots[rrLocalMachine].Refuses = c.machineRefuses;
    TUpdateSettings settings(registry, "Tarvo", false);
    EXPECT_EQ(settings.SaveInterval(14), c.result) << c.machineOff << c.machineRefuses;
    EXPECT_EQ(settings.Exists("NoUpdate"), c.result == TUpdateSettings::srMachineKeepsThemOff);
  }
}

// The hidden script's result reaches the next start: what it tells, and
// what it leaves for the reminder and the release rule.
TEST(UpdateSettings, TheInstallReportIsToldAndRecordedAtTheNextStart) {
  const std::string prepared = InstallReportText("10.12.2026", "C:\\Temp\\TRV-Update-1\\");
  const TDateTime programDate = Today + 1.77;
  const struct {
    const char* result;  // nullptr: the script has not ended
    double age;          // of the report, in seconds
    TInstallOutcome outcome;
    const char* says;
    bool recorded, remindsAgain;
  } cases[] = {
      {"0", 60, irInstalled, "Das Update vom 10.12.2026 wurde installiert.", true, false},
      {"1", 60, irWaitGivenUp, "nicht innerhalb von zwei Minuten beendet", false, true},
      {"2", 60, irRestoreFailed, "im Ordner \"C:\\Temp\\TRV-Update-1\\TRV-Sicherung\"", false, true},
      {"3", 60, irNoFolder, "nicht zugänglich", false, true},
      {"4", 60, irBackupFailed, "nicht gesichert werden", false, true},
      {"5", 60, irTakenBack, "wurde zurückgenommen", false, true},
      {"100", 60, irNotStarted, "nicht gestartet werden", false, true},
      {"9", 60, irUnknown, "unbekannten Ergebnis", false, true},
      {"0x", 60, irUnknown, "unbekannten Ergebnis", false, true},
      {"99999999999", 60, irUnknown, "unbekannten Ergebnis", false, true},
      {nullptr, 60, irPending, "", false, false},
      {nullptr, 3600, irUnknown, "unbekannten Ergebnis", false, true},  // a script that never ended
  };
  for (const auto& c : cases) {
    TFakeRegistry registry;
    TUpdateSettings settings(registry, "Tarvo", false);
    settings.WriteNextReminder(Today);
    const TInstallReport report =
        ReadInstallReport(prepared + (c.result ? std::string("Result=") + c.result + " \r\n" : ""), c.age);
    EXPECT_EQ(report.Outcome, c.outcome) << (c.result ? c.result : "-");
    if (c.outcome != irPending) EXPECT_NE(InstallReportMessage(report).find(c.says), std::string::npos) << c.says;
    RecordInstallReport(settings, report, programDate);
    const TInstalledRelease installed = ReadInstalledRelease(settings);
    EXPECT_EQ(installed.Release, c.recorded ? Today + 2 : 0) << c.says;
    EXPECT_EQ(installed.ProgramDate, c.recorded ? programDate : 0) << c.says;
    EXPECT_EQ(settings.Exists("Update"), !c.remindsAgain) << c.says;
  }
}

}  // namespace

#include "update/UpdateSettings.h"

bool TUpdateSettings::WriteNextReminder(TDateTime today) {
  int32_t interval = 0;
  const bool present = ReadInteger("UpdateInterval", interval);
  return WriteDate("Update", NextReminderDate(today, present, interval));
}

TUpdateSettings::TSaveResult TUpdateSettings::SaveNoUpdate() {
  if (!WriteString("NoUpdate", "")) return srRefused;
  Delete("UpdateInterval");
  return Exists("NoUpdate") ? srSaved : srRefused;
}

TUpdateSettings::TSaveResult TUpdateSettings::SaveInterval(int32_t days) {
  if (!WriteInteger("UpdateInterval", days)) return srRefused;
  Delete("NoUpdate");
  if (Exists("NoUpdate")) return srMachineKeepsThemOff;
  int32_t saved = 0;
  return ReadInteger("UpdateInterval", saved) && saved == days ? srSaved : srRefused;
}

TInstalledRelease ReadInstalledRelease(TUpdateSettings& settings) {
  TInstalledRelease installed;
  if (!settings.ReadDate("InstalledRelease", installed.Release) ||
      !settings.ReadDate("InstalledProgramDate", installed.ProgramDate))
    installed = {};
  return installed;
}

void RecordInstallReport(TUpdateSettings& settings, const TInstallReport& report, TDateTime programDate) {
  TDateTime release = 0;
  if (report.Outcome == irInstalled) {
    if (ParseReleaseDate(report.Release, release) && programDate > 0) {
      settings.WriteDate("InstalledRelease", release);
      settings.WriteDate("InstalledProgramDate", programDate);
    }
  } else if (report.Outcome != irPending) {
    settings.Delete("Update");
  }
}

// The updater's registry values ("ApplicationFileName", "Update",
// "UpdateInterval", "NoUpdate", "OnlyUpdate", "UpdateServer") under
// "Software\VQ\" and the program's key, read and written by the rules of
// model/Settings.h.
#pragma once

#include <cstdint>
#include <string>

#include "model/Settings.h"
#include "update/UpdateRules.h"

// The updater's values: the generic two-root rules of TSettings and the
// choices the wizard and the settings page make.
class TUpdateSettings : public TSettings {
 public:
  using TSettings::TSettings;

  // The wizard's end: "Update" := today + interval - 1.
  bool WriteNextReminder(TDateTime today);
  // The settings page's two choices; each removes the other's value. What
  // counts is what a start then reads: a machine's "NoUpdate" that a
  // standard user cannot remove keeps the reminders off, and that is said.
  enum TSaveResult { srSaved, srRefused, srMachineKeepsThemOff };
  TSaveResult SaveNoUpdate();
  TSaveResult SaveInterval(int32_t days);
};

// The release the wizard installed this program file from, when the first
// start after the installation recorded it ("InstalledRelease" and
// "InstalledProgramDate"); Release 0 when none was.
TInstalledRelease ReadInstalledRelease(TUpdateSettings& settings);
// The first start after an installation: a release that was installed is
// recorded with the program file's date (programDate); one that was not
// makes the reminder due again, so that the update is offered once more
// (the wizard recorded the next reminder when it prepared the script).
void RecordInstallReport(TUpdateSettings& settings, const TInstallReport& report, TDateTime programDate);

// The updater's key: "Software\VQ\" and key, below HKEY_CURRENT_USER when
// currentUser, else below HKEY_LOCAL_MACHINE (with the fallbacks of TSettings).
inline TUpdateSettings OpenUpdateKey(IRegistry& registry, const std::string& key, bool currentUser) {
  return TUpdateSettings(registry, key, currentUser);
}

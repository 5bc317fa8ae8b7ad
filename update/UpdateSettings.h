// The updater's registry values ("ApplicationFileName", "Update",
// "UpdateInterval", "NoUpdate", "OnlyUpdate", "UpdateServer") under
// "Software\VQ\" and the program's key. The registry comes through a small
// interface; the rules of the two roots are portable: a value is read from
// HKEY_CURRENT_USER first, then from HKEY_LOCAL_MACHINE, so that an
// administrator's machine-wide setting still holds; a value the chosen root
// refuses is written to HKEY_CURRENT_USER instead, where a standard user may
// write.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "update/UpdateRules.h"

enum TRegistryRoot { rrCurrentUser, rrLocalMachine };

// One opened key.
class IRegistryKey {
 public:
  virtual ~IRegistryKey() = default;
  virtual bool ValueExists(const std::string& name) = 0;
  virtual bool ReadString(const std::string& name, std::string& value) = 0;
  virtual bool ReadInteger(const std::string& name, int32_t& value) = 0;
  virtual bool ReadBinary(const std::string& name, std::string& bytes) = 0;
  // False when the key refuses the change.
  virtual bool WriteString(const std::string& name, const std::string& value) = 0;
  virtual bool WriteInteger(const std::string& name, int32_t value) = 0;
  virtual bool WriteBinary(const std::string& name, const std::string& bytes) = 0;
  virtual bool DeleteValue(const std::string& name) = 0;
};

class IRegistry {
 public:
  virtual ~IRegistry() = default;
  // Opens the key path below the root, creating it when forWriting; null
  // when it cannot be opened so.
  virtual std::unique_ptr<IRegistryKey> Open(TRegistryRoot root, const std::string& path, bool forWriting) = 0;
};

// The "Update" value: exactly 8 bytes, a little-endian double.
std::string EncodeDateValue(TDateTime date);
bool DecodeDateValue(const std::string& bytes, TDateTime& date);

class TUpdateSettings {
 public:
  // key: the last part of "Software\VQ\<key>"; currentUser: the root the
  // component is set to (false: HKEY_LOCAL_MACHINE).
  TUpdateSettings(IRegistry& registry, const std::string& key, bool currentUser);

  bool Exists(const std::string& name);
  bool ReadString(const std::string& name, std::string& value);
  bool ReadInteger(const std::string& name, int32_t& value);
  bool ReadDate(const std::string& name, TDateTime& date);
  // False when neither root takes the value.
  bool WriteString(const std::string& name, const std::string& value);
  bool WriteInteger(const std::string& name, int32_t value);
  bool WriteDate(const std::string& name, TDateTime date);
  // Removes the value from both roots, as far as they let it.
  void Delete(const std::string& name);

  // The wizard's end: "Update" := today + interval - 1.
  bool WriteNextReminder(TDateTime today);
  // The settings page's two choices; each removes the other's value. What
  // counts is what a start then reads: a machine's "NoUpdate" that a
  // standard user cannot remove keeps the reminders off, and that is said.
  enum TSaveResult { srSaved, srRefused, srMachineKeepsThemOff };
  TSaveResult SaveNoUpdate();
  TSaveResult SaveInterval(int32_t days);

  std::string Path() const { return path_; }

 private:
  template <class Write>
  bool WriteEither(Write write, const std::string& name);
  IRegistry& registry_;
  std::string path_;
  TRegistryRoot preferred_;
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
// currentUser, else below HKEY_LOCAL_MACHINE (with the fallbacks above).
inline TUpdateSettings OpenUpdateKey(IRegistry& registry, const std::string& key, bool currentUser) {
  return TUpdateSettings(registry, key, currentUser);
}

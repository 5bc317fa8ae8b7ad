#include "update/UpdateSettings.h"

#include <cstring>

std::string EncodeDateValue(TDateTime date) {
  uint64_t bits = 0;
  std::memcpy(&bits, &date, sizeof bits);
  std::string bytes(8, '\0');
  for (int i = 0; i < 8; ++i) bytes[i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
  return bytes;
}

bool DecodeDateValue(const std::string& bytes, TDateTime& date) {
  if (bytes.size() != 8) return false;
  uint64_t bits = 0;
  for (int i = 0; i < 8; ++i) bits |= static_cast<uint64_t>(static_cast<unsigned char>(bytes[i])) << (8 * i);
  std::memcpy(&date, &bits, sizeof date);
  return true;
}

TUpdateSettings::TUpdateSettings(IRegistry& registry, const std::string& key, bool currentUser)
    : registry_(registry), path_("Software\\VQ\\" + key), preferred_(currentUser ? rrCurrentUser : rrLocalMachine) {}

namespace {
// The roots in the order values are read.
const TRegistryRoot ReadOrder[2] = {rrCurrentUser, rrLocalMachine};
}  // namespace

bool TUpdateSettings::Exists(const std::string& name) {
  for (TRegistryRoot root : ReadOrder)
    if (auto key = registry_.Open(root, path_, false))
      if (key->ValueExists(name)) return true;
  return false;
}

bool TUpdateSettings::ReadString(const std::string& name, std::string& value) {
  for (TRegistryRoot root : ReadOrder)
    if (auto key = registry_.Open(root, path_, false))
      if (key->ReadString(name, value)) return true;
  return false;
}

bool TUpdateSettings::ReadInteger(const std::string& name, int32_t& value) {
  for (TRegistryRoot root : ReadOrder)
    if (auto key = registry_.Open(root, path_, false))
      if (key->ReadInteger(name, value)) return true;
  return false;
}

bool TUpdateSettings::ReadDate(const std::string& name, TDateTime& date) {
  std::string bytes;
  for (TRegistryRoot root : ReadOrder)
    if (auto key = registry_.Open(root, path_, false))
      if (key->ReadBinary(name, bytes)) return DecodeDateValue(bytes, date);
  return false;
}

template <class Write>
bool TUpdateSettings::WriteEither(Write write, const std::string& name) {
  if (auto key = registry_.Open(preferred_, path_, true))
    if (write(*key)) {
      // A copy the user's root held from a refused write would hide it.
      if (preferred_ != rrCurrentUser)
        if (auto user = registry_.Open(rrCurrentUser, path_, false))
          if (user->ValueExists(name))
            if (auto writable = registry_.Open(rrCurrentUser, path_, true)) writable->DeleteValue(name);
      return true;
    }
  if (preferred_ == rrCurrentUser) return false;
  auto key = registry_.Open(rrCurrentUser, path_, true);
  return key && write(*key);
}

bool TUpdateSettings::WriteString(const std::string& name, const std::string& value) {
  return WriteEither([&](IRegistryKey& key) { return key.WriteString(name, value); }, name);
}

bool TUpdateSettings::WriteInteger(const std::string& name, int32_t value) {
  return WriteEither([&](IRegistryKey& key) { return key.WriteInteger(name, value); }, name);
}

bool TUpdateSettings::WriteDate(const std::string& name, TDateTime date) {
  return WriteEither([&](IRegistryKey& key) { return key.WriteBinary(name, EncodeDateValue(date)); }, name);
}

void TUpdateSettings::Delete(const std::string& name) {
  for (TRegistryRoot root : ReadOrder)
    if (auto key = registry_.Open(root, path_, true)) key->DeleteValue(name);
}

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

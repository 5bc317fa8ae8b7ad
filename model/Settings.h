// The program's and the updater's registry values under "Software\VQ\" and
// a key. The registry comes through a small interface; the rules of the two
// roots are portable: a value is read from HKEY_CURRENT_USER first, then
// from HKEY_LOCAL_MACHINE, so that an administrator's machine-wide setting
// still holds; a value the chosen root refuses is written to
// HKEY_CURRENT_USER instead, where a standard user may write.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

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

// A date value (as "Update"): exactly 8 bytes, a little-endian double.
std::string EncodeDateValue(double date);
bool DecodeDateValue(const std::string& bytes, double& date);

class TSettings {
 public:
  // key: the last part of "Software\VQ\<key>"; currentUser: the root the
  // values are set to (false: HKEY_LOCAL_MACHINE).
  TSettings(IRegistry& registry, const std::string& key, bool currentUser);

  bool Exists(const std::string& name);
  bool ReadString(const std::string& name, std::string& value);
  bool ReadInteger(const std::string& name, int32_t& value);
  bool ReadDate(const std::string& name, double& date);
  // False when neither root takes the value.
  bool WriteString(const std::string& name, const std::string& value);
  bool WriteInteger(const std::string& name, int32_t value);
  bool WriteDate(const std::string& name, double date);
  // Removes the value from both roots, as far as they let it.
  void Delete(const std::string& name);

  std::string Path() const { return path_; }

 private:
  template <class Write>
  bool WriteEither(Write write, const std::string& name);
  IRegistry& registry_;
  std::string path_;
  TRegistryRoot preferred_;
};

#include "model/Settings.h"

#include <cstring>

std::string EncodeDateValue(double date) {
  uint64_t bits = 0;
  std::memcpy(&bits, &date, sizeof bits);
  std::string bytes(8, '\0');
  for (int i = 0; i < 8; ++i) bytes[i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
  return bytes;
}

bool DecodeDateValue(const std::string& bytes, double& date) {
  if (bytes.size() != 8) return false;
  uint64_t bits = 0;
  for (int i = 0; i < 8; ++i) bits |= static_cast<uint64_t>(static_cast<unsigned char>(bytes[i])) << (8 * i);
  std::memcpy(&date, &bits, sizeof date);
  return true;
}

TSettings::TSettings(IRegistry& registry, const std::string& key, bool currentUser)
    : registry_(registry), path_("Software\\VQ\\" + key), preferred_(currentUser ? rrCurrentUser : rrLocalMachine) {}

namespace {
// The roots in the order values are read.
const TRegistryRoot ReadOrder[2] = {rrCurrentUser, rrLocalMachine};
}  // namespace

bool TSettings::Exists(const std::string& name) {
  for (TRegistryRoot root : ReadOrder)
    if (auto key = registry_.Open(root, path_, false))
      if (key->ValueExists(name)) return true;
  return false;
}

bool TSettings::ReadString(const std::string& name, std::string& value) {
  for (TRegistryRoot root : ReadOrder)
    if (auto key = registry_.Open(root, path_, false))
      if (key->ReadString(name, value)) return true;
  return false;
}

bool TSettings::ReadInteger(const std::string& name, int32_t& value) {
  for (TRegistryRoot root : ReadOrder)
    if (auto key = registry_.Open(root, path_, false))
      if (key->ReadInteger(name, value)) return true;
  return false;
}

bool TSettings::ReadDate(const std::string& name, double& date) {
  std::string bytes;
  for (TRegistryRoot root : ReadOrder)
    if (auto key = registry_.Open(root, path_, false))
      if (key->ReadBinary(name, bytes)) return DecodeDateValue(bytes, date);
  return false;
}

template <class Write>
bool TSettings::WriteEither(Write write, const std::string& name) {
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

bool TSettings::WriteString(const std::string& name, const std::string& value) {
  return WriteEither([&](IRegistryKey& key) { return key.WriteString(name, value); }, name);
}

bool TSettings::WriteInteger(const std::string& name, int32_t value) {
  return WriteEither([&](IRegistryKey& key) { return key.WriteInteger(name, value); }, name);
}

bool TSettings::WriteDate(const std::string& name, double date) {
  return WriteEither([&](IRegistryKey& key) { return key.WriteBinary(name, EncodeDateValue(date)); }, name);
}

void TSettings::Delete(const std::string& name) {
  for (TRegistryRoot root : ReadOrder)
    if (auto key = registry_.Open(root, path_, true)) key->DeleteValue(name);
}


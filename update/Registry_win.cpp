#include "update/Registry_win.h"

#include <windows.h>

#include <cstring>

namespace {

class TWinKey : public IRegistryKey {
 public:
  explicit TWinKey(HKEY key) : key_(key) {}
  ~TWinKey() override { RegCloseKey(key_); }
  TWinKey(const TWinKey&) = delete;
  TWinKey& operator=(const TWinKey&) = delete;

  bool ValueExists(const std::string& name) override {
    return RegQueryValueExA(key_, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
  }
  bool ReadString(const std::string& name, std::string& value) override {
    std::string bytes;
    if (!Read(name, REG_SZ, bytes)) return false;
    value = bytes.substr(0, bytes.find('\0'));
    return true;
  }
  bool ReadInteger(const std::string& name, int32_t& value) override {
    std::string bytes;
    if (!Read(name, REG_DWORD, bytes) || bytes.size() != 4) return false;
    std::memcpy(&value, bytes.data(), 4);
    return true;
  }
  bool ReadBinary(const std::string& name, std::string& bytes) override { return Read(name, REG_BINARY, bytes); }
  bool WriteString(const std::string& name, const std::string& value) override {
    return Write(name, REG_SZ, value.c_str(), value.size() + 1);
  }
  bool WriteInteger(const std::string& name, int32_t value) override {
    return Write(name, REG_DWORD, &value, sizeof value);
  }
  bool WriteBinary(const std::string& name, const std::string& bytes) override {
    return Write(name, REG_BINARY, bytes.data(), bytes.size());
  }
  bool DeleteValue(const std::string& name) override { return RegDeleteValueA(key_, name.c_str()) == ERROR_SUCCESS; }

 private:
  bool Read(const std::string& name, DWORD wanted, std::string& bytes) {
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key_, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != wanted)
      return false;
    bytes.assign(size, '\0');
    if (RegQueryValueExA(key_, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&bytes[0]), &size) !=
        ERROR_SUCCESS)
      return false;
    bytes.resize(size);
    return true;
  }
  bool Write(const std::string& name, DWORD type, const void* data, size_t size) {
    return RegSetValueExA(key_, name.c_str(), 0, type, static_cast<const BYTE*>(data), static_cast<DWORD>(size)) ==
           ERROR_SUCCESS;
  }
  HKEY key_;
};

}  // namespace

std::unique_ptr<IRegistryKey> TWinRegistry::Open(TRegistryRoot root, const std::string& path, bool forWriting) {
  HKEY base = root == rrCurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
  HKEY key = nullptr;
  const LONG result =
      forWriting ? RegCreateKeyExA(base, path.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key, nullptr)
                 : RegOpenKeyExA(base, path.c_str(), 0, KEY_READ, &key);
  if (result != ERROR_SUCCESS) return nullptr;
  return std::make_unique<TWinKey>(key);
}

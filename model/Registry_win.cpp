#include "model/Registry_win.h"

#include <windows.h>

#include <cstring>

#include "model/Wide_win.h"

namespace {

class TWinKey : public IRegistryKey {
 public:
  explicit TWinKey(HKEY key) : key_(key) {}
  ~TWinKey() override { RegCloseKey(key_); }
  TWinKey(const TWinKey&) = delete;
  TWinKey& operator=(const TWinKey&) = delete;

  bool ValueExists(const std::string& name) override {
    return RegQueryValueExW(key_, W(name).c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
  }
  // Strings are kept in UTF-16, as the registry holds them; the ones the
  // program wrote earlier in Windows-1252 read back the same. A value with
  // a character Windows-1252 lacks (put there by hand) counts as unreadable,
  // as one of another type does.
  bool ReadString(const std::string& name, std::string& value) override {
    std::string bytes;
    if (!Read(name, REG_SZ, bytes)) return false;
    std::wstring text(bytes.size() / sizeof(wchar_t), L'\0');
    if (!text.empty()) std::memcpy(&text[0], bytes.data(), text.size() * sizeof(wchar_t));
    return TryNarrow(text.substr(0, text.find(L'\0')), value);
  }
  bool ReadInteger(const std::string& name, int32_t& value) override {
    std::string bytes;
    if (!Read(name, REG_DWORD, bytes) || bytes.size() != 4) return false;
    std::memcpy(&value, bytes.data(), 4);
    return true;
  }
  bool ReadBinary(const std::string& name, std::string& bytes) override { return Read(name, REG_BINARY, bytes); }
  bool WriteString(const std::string& name, const std::string& value) override {
    const std::wstring text = W(value);
    return Write(name, REG_SZ, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
  }
  bool WriteInteger(const std::string& name, int32_t value) override {
    return Write(name, REG_DWORD, &value, sizeof value);
  }
  bool WriteBinary(const std::string& name, const std::string& bytes) override {
    return Write(name, REG_BINARY, bytes.data(), bytes.size());
  }
  bool DeleteValue(const std::string& name) override {
    return RegDeleteValueW(key_, W(name).c_str()) == ERROR_SUCCESS;
  }

 private:
  bool Read(const std::string& name, DWORD wanted, std::string& bytes) {
    const std::wstring wideName = W(name);
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key_, wideName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != wanted)
      return false;
    bytes.assign(size, '\0');
    if (RegQueryValueExW(key_, wideName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&bytes[0]), &size) !=
        ERROR_SUCCESS)
      return false;
    bytes.resize(size);
    return true;
  }
  bool Write(const std::string& name, DWORD type, const void* data, size_t size) {
    return RegSetValueExW(key_, W(name).c_str(), 0, type, static_cast<const BYTE*>(data), static_cast<DWORD>(size)) ==
           ERROR_SUCCESS;
  }
  HKEY key_;
};

}  // namespace

std::unique_ptr<IRegistryKey> TWinRegistry::Open(TRegistryRoot root, const std::string& path, bool forWriting) {
  HKEY base = root == rrCurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
  const std::wstring widePath = W(path);
  HKEY key = nullptr;
  const LONG result =
      forWriting
          ? RegCreateKeyExW(base, widePath.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key, nullptr)
          : RegOpenKeyExW(base, widePath.c_str(), 0, KEY_READ, &key);
  if (result != ERROR_SUCCESS) return nullptr;
  return std::make_unique<TWinKey>(key);
}

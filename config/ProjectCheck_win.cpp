#include "config/ProjectCheck_win.h"

#include <windows.h>

#include "model/Files_win.h"
#include "model/Wide_win.h"

namespace {

bool HasExtension(const std::string& name) {
  const size_t dot = name.find_last_of(".\\/:");
  return dot != std::string::npos && name[dot] == '.';
}

class TWinCheckLookup : public ICheckLookup {
 public:
  std::string ExpandEnvironment(const std::string& text) override {
    const std::wstring wide = W(text);
    std::wstring out(MAX_PATH, L'\0');
    for (;;) {
      const DWORD size = ExpandEnvironmentStringsW(wide.c_str(), &out[0], static_cast<DWORD>(out.size()));
      if (size == 0) return text;
      if (size <= out.size()) {
        out.resize(size - 1);
        // A value Windows-1252 lacks names nothing the check could find.
        std::string expanded;
        return TryNarrow(out, expanded) ? expanded : text;
      }
      out.resize(size);
    }
  }

  bool Exists(const std::string& path) override { return GetFileAttributesW(W(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

  bool FolderExists(const std::string& path) override { return ::FolderExists(path); }

  bool OnSearchPath(const std::string& name) override {
    wchar_t found[MAX_PATH];
    wchar_t* filePart = nullptr;
    // ".exe" is added only to a name without an extension, as process
    // creation does.
    return SearchPathW(nullptr, W(name).c_str(), L".exe", MAX_PATH, found, &filePart) != 0;
  }

  bool HasAppPath(const std::string& name) override {
    // The shell looks a bare name up with ".exe" added.
    for (const std::string& key : {name, HasExtension(name) ? std::string() : name + ".exe"}) {
      if (key.empty()) continue;
      const std::string path = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" + key;
      for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        HKEY opened = nullptr;
        if (RegOpenKeyExW(root, W(path).c_str(), 0, KEY_READ, &opened) == ERROR_SUCCESS) {
          RegCloseKey(opened);
          return true;
        }
      }
    }
    return false;
  }

  std::string ExeFolder() override {
    // A program folder Windows-1252 cannot hold leaves relative paths
    // unresolved; the check still runs.
    try {
      return ProgramFolder();
    } catch (const EForeignText&) {
      return std::string();
    }
  }
};

}  // namespace

ICheckLookup& WindowsCheckLookup() {
  static TWinCheckLookup lookup;
  return lookup;
}

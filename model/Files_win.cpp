#include "model/Files_win.h"

#include <windows.h>
#include <shlobj.h>

#include <vector>

#include "model/Wide_win.h"

std::wstring ProgramFilePathW() {
  // A path longer than the buffer comes back cut and without its end:
  // asked again with more room until it fits.
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return L"";
    if (length < buffer.size()) return std::wstring(buffer.data(), length);
    if (buffer.size() >= 32768) return L"";
    buffer.resize(buffer.size() * 2);
  }
}

std::string ProgramFilePath() { return Narrow(ProgramFilePathW()); }

std::string ProgramFolder() {
  const std::string path = ProgramFilePath();
  return path.substr(0, path.find_last_of('\\') + 1);
}

bool FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(W(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(W(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring LocalAppDataFolderW() {
  wchar_t folder[MAX_PATH] = L"";
  const DWORD size = GetEnvironmentVariableW(L"LOCALAPPDATA", folder, MAX_PATH);
  const bool absolute = size >= 3 && size < MAX_PATH && folder[1] == L':' && folder[2] == L'\\';
  if (!absolute &&
      (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder)) || !*folder))
    return L"";
  return folder;
}

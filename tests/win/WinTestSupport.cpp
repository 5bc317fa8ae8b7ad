#include "tests/win/WinTestSupport.h"

#include <cstring>
#include <fstream>
#include <sstream>

std::string ExeFolder() {
  char buffer[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
  std::string path(buffer, n);
  return path.substr(0, path.find_last_of('\\') + 1);
}

std::string TrvExePath() { return ExeFolder() + "TRV.EXE"; }

void RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((folder + "*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::string name = data.cFileName;
      if (name == "." || name == "..") continue;
      std::string path = folder + name;
      SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(path + "\\");
      else
        DeleteFileA(path.c_str());
    } while (FindNextFileA(find, &data));
    FindClose(find);
  }
  RemoveDirectoryA(folder.c_str());
}

TTempFolder::TTempFolder() {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  static int counter = 0;
  path_ = std::string(temp) + "tarvo-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter) + "\\";
  RemoveTree(path_);
  CreateDirectoryA(path_.c_str(), nullptr);
}

TTempFolder::~TTempFolder() { RemoveTree(path_); }

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

int CountFiles(const std::string& folder) {
  int n = 0;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((folder + "*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return 0;
  do {
    std::string name = data.cFileName;
    if (name != "." && name != "..") ++n;
  } while (FindNextFileA(find, &data));
  FindClose(find);
  return n;
}

namespace {
struct TFind {
  DWORD ProcessId;
  const char* ClassName;
  std::vector<HWND> Found;
};
BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
  TFind& find = *reinterpret_cast<TFind*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != find.ProcessId || !IsWindowVisible(window)) return TRUE;
  char name[64] = "";
  GetClassNameA(window, name, sizeof name);
  if (!find.ClassName || std::strcmp(name, find.ClassName) == 0) find.Found.push_back(window);
  return TRUE;
}
}  // namespace

std::string WindowText(HWND window) {
  char text[2048] = "";
  GetWindowTextA(window, text, sizeof text);
  return text;
}

std::vector<HWND> WindowsOf(DWORD processId, const char* className) {
  TFind find{processId, className, {}};
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&find));
  return find.Found;
}

HWND WaitForWindow(DWORD processId, const char* className, const char* caption, DWORD milliseconds) {
  for (DWORD waited = 0; waited <= milliseconds; waited += 20) {
    for (HWND window : WindowsOf(processId, className))
      if (!caption || WindowText(window) == caption) return window;
    Sleep(20);
  }
  return nullptr;
}

bool WaitWindowGone(HWND window, DWORD milliseconds) {
  for (DWORD waited = 0; waited <= milliseconds; waited += 20) {
    if (!IsWindow(window) || !IsWindowVisible(window)) return true;
    Sleep(20);
  }
  return false;
}

// Helpers for tests that run under Windows (Wine): paths beside the test
// executable, starting TRV.EXE, finding a process's windows.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The folder of the running test executable, with a trailing backslash.
std::string ExeFolder();

// TRV.EXE, built into the same folder as the tests.
std::string TrvExePath();

// A fresh, empty folder for one test, removed by the destructor.
class TTempFolder {
 public:
  TTempFolder();
  ~TTempFolder();
  const std::string& Path() const { return path_; }  // with trailing backslash
  std::string operator/(const std::string& name) const { return path_ + name; }

 private:
  std::string path_;
};

// A folder (with its trailing backslash) and all it holds, read-only files
// too.
void RemoveTree(const std::string& folder);

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
int CountFiles(const std::string& folder);

// A visible top-level window of the process with this class (and caption,
// when one is given), waited for with bounded retries; nullptr on time-out.
HWND WaitForWindow(DWORD processId, const char* className, const char* caption = nullptr,
                   DWORD milliseconds = 15000);
std::vector<HWND> WindowsOf(DWORD processId, const char* className);
// Waits until the window is gone.
bool WaitWindowGone(HWND window, DWORD milliseconds = 15000);
std::string WindowText(HWND window);

// Helpers for tests that run under Windows (Wine): paths beside the test
// executable, starting TRV.EXE.
#pragma once

#include <windows.h>

#include <string>

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

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
int CountFiles(const std::string& folder);

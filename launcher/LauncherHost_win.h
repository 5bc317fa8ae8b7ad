// The interpreter's platform side on Windows.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "launcher/Interpreter.h"

// The interpreter's platform on Win32. It keeps nothing between calls, so
// that each window that runs groups may simply have one of its own.
class TWinLauncherHost : public ILauncherHost {
 public:
  std::string ExeFolder() override;
  void ShellOpen(const std::string& file, const std::string& parameters, const TStartup& startup) override;
  bool DirectoryExists(const std::string& path) override;
  // A program, folder or variable Windows-1252 cannot hold ends the run
  // with an EForeignText that names it.
  std::string AssociatedProgram(const std::string& document) override;
  bool WindowsFolder(std::string& folder) override;
  uint32_t StartAndWait(const std::string& commandLine, const TStartup& startup) override;
  TStartResult StartWithVerb(const std::string& verb, const std::string& program, const std::string& parameters,
                             bool wait, const TStartup& startup) override;
  bool GetEnvironment(const std::string& name, std::string& value) override;
  int ShowMessageBox(const std::string& text, const std::string& title, unsigned style) override;
  std::string ApplicationTitle() override;
};

// Waits for the process to end while the application keeps handling its
// window messages as they arrive; no time is spent while nothing happens.
void WaitProcessingMessages(HANDLE process);

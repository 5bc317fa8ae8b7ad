// TVQUpdateFile, the update component of the configuration window: it
// reminds the user at intervals kept in the registry to look for a newer
// release, and opens the update wizard on Ctrl+U.
#pragma once

#include <functional>
#include <string>

#include "framework/Form.h"
#include "update/UpdateRules.h"

class TVQUpdateFile {
 public:

  std::string ProgramName = "TRV";
  std::string RegistryKey = "Tarvo";
  std::string ZIPFileName = "TRV.zip";
  bool HKCU = false;
  // Asked before the wizard's finish ends the program.
  std::function<bool()> CanEndProgram;

  // Shows the wizard when a reminder is due (manual: always); an
  // update-only start ends the program afterwards (Application.Terminated).
  void AutomaticUpdate(const std::string& appParams, bool manual, TDateTime programDate);
  // Ctrl+U of the owner window; true when the key was the shortcut.
  bool ShortCut(WORD key);
};

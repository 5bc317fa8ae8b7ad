// The installation of a downloaded update archive: verified against the
// maker's signature, extracted into a new folder of our own under the
// temporary folder, and its "Update.bat" template filled in with the
// program's folder and that new folder. The script runs after the program
// has ended.
#pragma once

#include <string>
#include <vector>

#include "update/UpdateRules.h"

struct TInstallPreparation {
  enum TResult { ipPrepared, ipMissing, ipFailed };
  TResult Result = ipFailed;
  // ipFailed: why, in German.
  std::string Error;
  // ipPrepared: the script to start at program end, in its folder.
  std::string ScriptPath;
};

struct TInstallRequest {
  std::string TempDir;      // with its trailing backslash
  std::string ZIPFileName;  // the archive's name in TempDir
  bool Restart = false;
  IUpdateInfo* Info = nullptr;  // the fetched "Updates.ini"
  std::string ProgramName;
  std::string ProgramPath;  // the running program file
  std::vector<std::string> AcceptedKeys;
};

// Nothing is extracted from an archive that fails the verification; a
// refused archive or template leaves no extracted file behind and keeps the
// archive. The archive is deleted once the script is prepared.
TInstallPreparation PrepareInstallScript(const TInstallRequest& request);

// A new, empty folder under parent (with its trailing backslash), made for
// one installation; its path with a trailing backslash.
std::string MakeExtractionFolder(const std::string& parent);

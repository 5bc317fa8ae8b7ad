// The installation of a downloaded update archive: verified against the
// maker's signature, extracted into a new folder of our own under the
// temporary folder, and its "Update.bat" template filled in. The script runs
// after the program has ended.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "update/UpdateRules.h"

// The prepared script, held open from its writing until the program ends,
// so that nobody can change it before it starts.
class TPreparedScript;

struct TInstallPreparation {
  enum TResult { ipPrepared, ipMissing, ipFailed };
  TResult Result = ipFailed;
  // ipFailed: why, in German.
  std::string Error;
  // ipPrepared: the script to start at program end, in its folder.
  std::string ScriptPath;
  std::shared_ptr<TPreparedScript> Script;
};

struct TInstallRequest {
  std::string TempDir;      // with its trailing backslash: the new folder goes there
  std::string ArchivePath;  // the downloaded archive
  bool Restart = false;
  IUpdateInfo* Info = nullptr;  // the fetched "Updates.ini"
  std::string ProgramName;
  std::string ProgramPath;  // the running program file
  TDateTime ProgramDate = 0;  // its date: an update must be newer
  TInstalledRelease Installed;  // the release it was installed from, if known
  std::string ReportPath;       // InstallReportPath(): what the next start tells
  unsigned long ProcessId = 0;  // the running program's, for the script to wait for
  std::vector<std::string> AcceptedKeys;
};

// Nothing is extracted from an archive that fails the verification or is
// no newer release; the archive is read through one handle that no one may
// write to meanwhile. A refused archive or template leaves no extracted file
// behind and keeps the archive. The archive is deleted once the script is
// prepared.
TInstallPreparation PrepareInstallScript(const TInstallRequest& request);

// Starts the prepared script, hidden, if it still holds what was written.
// The script and the lock it waits on (InstallLockName) stay open until the
// process ends. False when it was changed or could not be started; the
// report then says so.
bool StartInstallScript(const TInstallPreparation& preparation);
// The command line that runs a script: the system's own command processor,
// without the AutoRun commands (/d), which would run with the script's,
// maybe elevated, rights. In UTF-16, as CreateProcessW takes it: the command
// processor reads its command line so, whatever the OEM code page.
std::wstring InstallScriptCommandLine(const std::string& scriptPath);

// The temporary folder as Windows names it, with its trailing backslash;
// "" when it cannot be asked.
std::wstring TempFolderW();
// The per-user report of the last installation, which the next start reads
// and removes: "%LOCALAPPDATA%\VQ\Tarvo\Update.log" as Windows names it;
// "" when the folder is not known.
std::wstring InstallReportPathW();
// The same in Windows-1252; "" also when the folder has a character
// Windows-1252 lacks (CheckInstallPaths refuses the update then).
std::string InstallReportPath();
// Whether the install script can name the temporary folder, the update
// folder to be made in it, the program and the report: empty, else the
// German message with what the user can do, naming the folder as it is.
// Asked before anything is downloaded.
std::u16string CheckInstallPaths(const std::wstring& tempDir, const std::wstring& programPath,
                                 const std::wstring& reportPath);

// The security of that folder: a protected DACL that lets in the owner of
// this process's new objects alone (the administrators when it runs
// elevated, not the user's unelevated processes).
std::string OwnerOnlySddl();

// A new, empty folder under parent (with its trailing backslash), made for
// one installation, which only its owner may open; its path with a
// trailing backslash.
std::string MakeExtractionFolder(const std::string& parent);

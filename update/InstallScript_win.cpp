#include "update/InstallScript_win.h"

#include <windows.h>
#include <sddl.h>
#include <shlobj.h>

#include "model/Errors.h"
#include "model/Files_win.h"
#include "model/Wide_win.h"
#include "update/Signature_win.h"
#include "update/UpdateInfo_win.h"
#include "update/ZipArchive_win.h"

class TPreparedScript {
 public:
  TPreparedScript(const std::string& path, const std::string& bytes) : path_(path), bytes_(bytes) {}
  ~TPreparedScript() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  TPreparedScript(const TPreparedScript&) = delete;
  TPreparedScript& operator=(const TPreparedScript&) = delete;
  // Written whole, then opened again for reading alone, sharing only
  // reading: from then on nobody writes, renames or deletes it.
  bool Write() {
    const std::wstring path = W(path_);
    HANDLE out = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(out, bytes_.data(), static_cast<DWORD>(bytes_.size()), &written, nullptr) &&
                    written == bytes_.size();
    CloseHandle(out);
    handle_ = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                          nullptr);
    return ok && Unchanged();
  }
  // What the file holds now is what was written (between the writing and
  // the reopening it was open to nobody else's change for long).
  bool Unchanged() const {
    if (handle_ == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER start = {};
    if (!SetFilePointerEx(handle_, start, nullptr, FILE_BEGIN)) return false;
    std::string read(bytes_.size() + 1, '\0');
    DWORD size = 0;
    if (!ReadFile(handle_, &read[0], static_cast<DWORD>(read.size()), &size, nullptr)) return false;
    read.resize(size);
    return read == bytes_;
  }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  std::string bytes_;
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

namespace {

// The extraction folder holds files only: folders are never recreated. The
// names go back to Windows as it gave them, whatever they hold.
void RemoveFolder(const std::string& folder) {
  const std::wstring wideFolder = W(folder);
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((wideFolder + L"*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileW((wideFolder + data.cFileName).c_str());
    } while (FindNextFileW(find, &data));
    FindClose(find);
  }
  RemoveDirectoryW(wideFolder.c_str());
}

// The template's lines as a text editor shows them: CR LF or LF ends a line,
// a last line without an end counts.
std::vector<std::string> ReadLines(const std::string& path) {
  HANDLE file = CreateFileW(W(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw Exception("Die Datei \"" + path + "\" kann nicht geöffnet werden.");
  std::string text;
  char block[65536];
  DWORD read = 0;
  while (ReadFile(file, block, sizeof block, &read, nullptr) && read) text.append(block, read);
  CloseHandle(file);
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

std::string FolderOf(const std::string& path) { return path.substr(0, path.find_last_of('\\') + 1); }

// The new folder goes again however the preparation ends, unless kept.
class TFolderUnlessKept {
 public:
  explicit TFolderUnlessKept(const std::string& folder) : folder_(folder) {}
  ~TFolderUnlessKept() {
    if (!kept_) RemoveFolder(folder_);
  }
  TFolderUnlessKept(const TFolderUnlessKept&) = delete;
  TFolderUnlessKept& operator=(const TFolderUnlessKept&) = delete;
  void Keep() { kept_ = true; }

 private:
  std::string folder_;
  bool kept_ = false;
};

// The security of a folder that its owner alone may open, and that does
// not take its parent's permissions: the temporary folder's would let other
// processes put their files in, between our check and our use.
class TOwnerOnly {
 public:
  TOwnerOnly() {
    const std::string sddl = OwnerOnlySddl();
    if (!sddl.empty())
      ConvertStringSecurityDescriptorToSecurityDescriptorW(W(sddl).c_str(), SDDL_REVISION_1, &descriptor_, nullptr);
  }
  ~TOwnerOnly() {
    if (descriptor_) LocalFree(descriptor_);
  }
  TOwnerOnly(const TOwnerOnly&) = delete;
  TOwnerOnly& operator=(const TOwnerOnly&) = delete;
  SECURITY_ATTRIBUTES* Attributes() {
    attributes_ = {sizeof attributes_, descriptor_, FALSE};
    return descriptor_ ? &attributes_ : nullptr;
  }

 private:
  PSECURITY_DESCRIPTOR descriptor_ = nullptr;
  SECURITY_ATTRIBUTES attributes_ = {};
};

}  // namespace

std::string OwnerOnlySddl() {
  std::string sddl;
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return sddl;
  DWORD size = 0;
  GetTokenInformation(token, TokenOwner, nullptr, 0, &size);
  std::vector<BYTE> buffer(size ? size : 1);
  wchar_t* sid = nullptr;
  std::string sidText;
  // A SID's text is ASCII ("S-1-5-..."); anything else makes no descriptor.
  if (GetTokenInformation(token, TokenOwner, buffer.data(), size, &size) &&
      ConvertSidToStringSidW(reinterpret_cast<TOKEN_OWNER*>(buffer.data())->Owner, &sid)) {
    if (TryNarrow(sid, sidText)) sddl = "D:P(A;OICI;FA;;;" + sidText + ")";
    LocalFree(sid);
  }
  CloseHandle(token);
  return sddl;
}

std::string MakeExtractionFolder(const std::string& parent) {
  TOwnerOnly security;
  if (!security.Attributes())
    throw Exception("Für die Installation kann kein geschützter Ordner angelegt werden.");
  // A name nobody has used: an existing folder, planted or stale, is never
  // taken over.
  const DWORD seed = GetTickCount() ^ (GetCurrentProcessId() << 16);
  for (DWORD n = 0; n < 1000; ++n) {
    const std::string folder = parent + Format("TRV-Update-%08lX\\", static_cast<unsigned long>(seed + n));
    if (CreateDirectoryW(W(folder).c_str(), security.Attributes())) return folder;
    if (GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  throw Exception("Im Ordner \"" + parent + "\" kann kein Ordner für die Installation angelegt werden.");
}

TInstallPreparation PrepareInstallScript(const TInstallRequest& request) {
  TInstallPreparation preparation;
  if (!FileExists(request.ArchivePath)) {
    preparation.Result = TInstallPreparation::ipMissing;
    return preparation;
  }
  auto fail = [&](const std::string& error) {
    preparation.Result = TInstallPreparation::ipFailed;
    preparation.Error = error;
    return preparation;
  };
  if (!request.Info) return fail(UnverifiedUpdateMessage);
  {
    // One handle for the hash and the extraction.
    TArchiveFile archive(request.ArchivePath);
    if (archive.Invalid()) return fail("Das Update-Archiv kann nicht gelesen werden:\r\n" + request.ArchivePath);
    const TVerification verification =
        VerifyUpdateArchive(*request.Info, request.ProgramName, archive.Get(), request.AcceptedKeys);
    if (!verification.Ok) return fail(verification.Error);
    // The check's page decided on the same date; the install must not rely
    // on it.
    if (!IsUpdateAvailable(request.Info, request.ProgramName, request.ProgramDate, request.Installed))
      return fail("Das Update ist nicht neuer als dieses Programm und wird nicht installiert.");

    TScriptValues values;
    values.Restart = request.Restart;
    values.ProcessId = request.ProcessId;
    const std::string folder = MakeExtractionFolder(request.TempDir);
    TFolderUnlessKept made(folder);
    for (const auto& value : {std::make_pair(FolderOf(request.ProgramPath), &values.ProgramFolder),
                              std::make_pair(request.ProgramPath, &values.ProgramPath),
                              std::make_pair(folder, &values.UpdateFolder),
                              std::make_pair(request.ReportPath, &values.ReportPath)})
      if (!ToOemText(value.first, *value.second))
        return fail("Der Pfad kann nicht in das Installationsskript geschrieben werden:\r\n" + value.first);
    const TArchiveCheck extracted = ExtractArchive(archive.Get(), folder);
    if (!extracted.Ok) return fail(extracted.Error);
    const std::string script = folder + "Update.bat";
    if (!FileExists(script)) return fail("Das Update-Archiv enthält kein Installationsskript \"Update.bat\".");
    const TInstallScript filled = MakeInstallScript(ReadLines(script), values);
    if (!filled.Ok) return fail(filled.Error);
    std::string bytes;
    for (const std::string& line : filled.Lines) bytes += line + "\r\n";
    // Made after the guard: a refused script is closed before its folder
    // goes.
    auto prepared = std::make_shared<TPreparedScript>(script, bytes);
    if (!prepared->Write()) return fail("Die Datei \"" + script + "\" kann nicht geschrieben werden.");
    // Written now, so that a script that never ends leaves a report too;
    // the script adds its result.
    if (!request.ReportPath.empty()) {
      SHCreateDirectoryExW(nullptr, W(FolderOf(request.ReportPath)).c_str(), nullptr);
      HANDLE report = CreateFileW(W(request.ReportPath).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
      const std::string text = InstallReportText(request.Info->Read(request.ProgramName, "Date", ""), folder);
      DWORD written = 0;
      const bool ok = report != INVALID_HANDLE_VALUE &&
                      WriteFile(report, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                      written == text.size();
      if (report != INVALID_HANDLE_VALUE) CloseHandle(report);
      if (!ok) return fail("Die Datei \"" + request.ReportPath + "\" kann nicht geschrieben werden.");
    }
    preparation.ScriptPath = script;
    preparation.Script = prepared;
    made.Keep();
  }
  DeleteFileW(W(request.ArchivePath).c_str());
  preparation.Result = TInstallPreparation::ipPrepared;
  return preparation;
}

std::wstring InstallScriptCommandLine(const std::string& scriptPath) {
  wchar_t system[MAX_PATH] = L"";
  const UINT size = GetSystemDirectoryW(system, MAX_PATH);
  const std::wstring folder = size && size < MAX_PATH ? std::wstring(system) + L"\\" : L"";
  // The outer quotes are the command processor's: it takes off the first
  // and the last, and runs what is between as one quoted path.
  return L"\"" + folder + L"cmd.exe\" /d /c \"\"" + W(scriptPath) + L"\"\"";
}

namespace {
void ReportNotStarted() {
  const std::string report = InstallReportPath();
  HANDLE file = report.empty() ? INVALID_HANDLE_VALUE
                               : CreateFileW(W(report).c_str(), FILE_APPEND_DATA, 0, nullptr, OPEN_EXISTING,
                                             FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  const std::string line = Format("Result=%d\r\n", static_cast<int>(irNotStarted));
  DWORD written = 0;
  WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(file);
}
}  // namespace

bool StartInstallScript(const TInstallPreparation& preparation) {
  if (preparation.Result != TInstallPreparation::ipPrepared || !preparation.Script) return false;
  if (!preparation.Script->Unchanged()) {
    ReportNotStarted();
    return false;
  }
  // The lock the script waits on: no one may delete it while this process
  // holds it, and the process holds it until it ends.
  const std::string lock = FolderOf(preparation.ScriptPath) + InstallLockName;
  HANDLE held =
      CreateFileW(W(lock).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (held == INVALID_HANDLE_VALUE) {
    ReportNotStarted();
    return false;
  }
  // Kept with the script's handle until the process ends.
  static std::vector<std::shared_ptr<TPreparedScript>> started;
  started.push_back(preparation.Script);
  std::wstring command = InstallScriptCommandLine(preparation.ScriptPath);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr, nullptr, &startup,
                      &process)) {
    ReportNotStarted();
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

std::wstring TempFolderW() {
  wchar_t folder[MAX_PATH + 1] = L"";
  const DWORD size = GetTempPathW(MAX_PATH + 1, folder);
  return size && size <= MAX_PATH ? std::wstring(folder, size) : L"";
}

std::wstring InstallReportPathW() {
  // Every start looks for the report, before the window shows.
  const std::wstring folder = LocalAppDataFolderW();
  return folder.empty() ? L"" : folder + L"\\VQ\\Tarvo\\Update.log";
}

std::string InstallReportPath() {
  std::string path;
  return TryNarrow(InstallReportPathW(), path) ? path : "";
}

std::u16string CheckInstallPaths(const std::wstring& tempDir, const std::wstring& programPath,
                                 const std::wstring& reportPath) {
  return InstallPathProblem(U16(tempDir), U16(programPath), U16(reportPath), [](const std::u16string& path) {
    std::string oem;
    return ToOemText(path, oem);
  });
}

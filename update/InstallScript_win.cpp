#include "update/InstallScript_win.h"

#include <windows.h>

#include <fstream>
#include <sstream>

#include "model/Errors.h"
#include "update/Signature_win.h"
#include "update/UpdateInfo_win.h"
#include "update/ZipArchive_win.h"

namespace {

bool FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The extraction folder holds files only: folders are never recreated.
void RemoveFolder(const std::string& folder) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((folder + "*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileA((folder + data.cFileName).c_str());
    } while (FindNextFileA(find, &data));
    FindClose(find);
  }
  RemoveDirectoryA(folder.c_str());
}

// The template's lines as a text editor shows them: CR LF or LF ends a line,
// a last line without an end counts.
std::vector<std::string> ReadLines(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw Exception("Die Datei \"" + path + "\" kann nicht geöffnet werden.");
  std::stringstream buffer;
  buffer << in.rdbuf();
  const std::string text = buffer.str();
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

void WriteLines(const std::string& path, const std::vector<std::string>& lines) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  for (const std::string& line : lines) out << line << "\r\n";
  out.close();
  if (!out) throw Exception("Die Datei \"" + path + "\" kann nicht geschrieben werden.");
}

std::string FolderOf(const std::string& path) { return path.substr(0, path.find_last_of('\\') + 1); }

}  // namespace

std::string MakeExtractionFolder(const std::string& parent) {
  // A name nobody has used: an existing folder, planted or stale, is never
  // taken over.
  const DWORD seed = GetTickCount() ^ (GetCurrentProcessId() << 16);
  for (DWORD n = 0; n < 1000; ++n) {
    const std::string folder = parent + Format("TRV-Update-%08lX\\", static_cast<unsigned long>(seed + n));
    if (CreateDirectoryA(folder.c_str(), nullptr)) return folder;
    if (GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  throw Exception("Im Ordner \"" + parent + "\" kann kein Ordner für die Installation angelegt werden.");
}

TInstallPreparation PrepareInstallScript(const TInstallRequest& request) {
  TInstallPreparation preparation;
  const std::string archive = request.TempDir + request.ZIPFileName;
  if (!FileExists(archive)) {
    preparation.Result = TInstallPreparation::ipMissing;
    return preparation;
  }
  auto fail = [&](const std::string& error) {
    preparation.Result = TInstallPreparation::ipFailed;
    preparation.Error = error;
    return preparation;
  };
  if (!request.Info) return fail(UnverifiedUpdateMessage);
  const TVerification verification =
      VerifyUpdateArchive(*request.Info, request.ProgramName, archive, request.AcceptedKeys);
  if (!verification.Ok) return fail(verification.Error);

  const std::string folder = MakeExtractionFolder(request.TempDir);
  try {
    const TArchiveCheck extracted = ExtractArchive(archive, folder);
    if (!extracted.Ok) {
      RemoveFolder(folder);
      return fail(extracted.Error);
    }
    const std::string script = folder + "Update.bat";
    if (!FileExists(script)) {
      RemoveFolder(folder);
      return fail("Das Update-Archiv enthält kein Installationsskript \"Update.bat\".");
    }
    // The conversion cuts a text at its limit: a longer path goes in whole,
    // for the script to refuse it rather than name a wrong folder.
    auto oem = [](const std::string& text) { return text.size() > MaxOemTextLength ? text : ToOemText(text); };
    const TInstallScript filled = MakeInstallScript(ReadLines(script), oem(FolderOf(request.ProgramPath)),
                                                    oem(folder), request.Restart, oem(request.ProgramPath));
    if (!filled.Ok) {
      RemoveFolder(folder);
      return fail(filled.Error);
    }
    WriteLines(script, filled.Lines);
    preparation.ScriptPath = script;
  } catch (...) {
    RemoveFolder(folder);
    throw;
  }
  DeleteFileA(archive.c_str());
  preparation.Result = TInstallPreparation::ipPrepared;
  return preparation;
}

// Fuzzes the checks that stand between a downloaded archive and the disk:
// the archive's entry names and the install script's template; and the
// readers of the update information and of the install report. Any input
// must be accepted or refused with a message, never crash (sanitizers); an
// accepted name is a plain file name, an accepted template a whole script.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "update/UpdateRules.h"

namespace {
void Require(bool condition) {
  if (!condition) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Lines of the input: entry names and template lines alike.
  std::vector<std::string> lines(1);
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == '\n')
      lines.emplace_back();
    else
      lines.back() += static_cast<char>(data[i]);
  }

  std::vector<TArchiveEntry> entries;
  for (const std::string& line : lines) entries.push_back({line, line.size() * 1024ull * 1024ull});
  const TArchiveCheck check = CheckArchiveEntries(entries);
  Require(check.Ok != !check.Error.empty());
  for (const std::string& name : check.FileNames) {
    Require(IsSafeEntryFileName(name));
    Require(name.find_first_of("/\\:") == std::string::npos && name != "..");
  }

  TScriptValues values;
  values.ProgramFolder = "C:\\P\\";
  values.ProgramPath = "C:\\P\\TRV.EXE";
  values.UpdateFolder = "C:\\T\\";
  values.Restart = size % 2 == 0;
  const TInstallScript script = MakeInstallScript(lines, values);
  if (script.Ok) {
    // The template runs as a subroutine that ends with its own exit.
    Require(!script.Lines.empty() && script.Lines.back() == "@exit /b 0");
    Require(script.Error.empty());
  } else {
    Require(script.Lines.empty() && !script.Error.empty());
  }

  // The update information and the install report as the network and the
  // script leave them: read, never trusted to be well formed.
  const std::string text(reinterpret_cast<const char*>(data), size);
  TUpdateInfoText info(text);
  Require(info.Read("TRV", "News", "").size() <= 2047);
  Require(info.HasSection("TRV") || info.Read("TRV", "Date", "-") == "-");
  const TInstallReport report = ReadInstallReport(text, size);
  Require(!InstallReportMessage(report).empty() || report.Outcome == irPending);
  return 0;
}

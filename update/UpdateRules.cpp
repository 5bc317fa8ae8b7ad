#include "update/UpdateRules.h"

#include <cmath>

#include "model/Codec.h"
#include "model/Errors.h"
#include "model/Text.h"
#include "model/Wide.h"

const char* const NoNewsEntry = "keine Angaben gefunden";

int ReminderInterval(bool present, int32_t value) { return present && value >= 1 ? value : 28; }

TDateTime NextReminderDate(TDateTime today, bool intervalPresent, int32_t interval) {
  return today + ReminderInterval(intervalPresent, interval) - 1;
}

TDateTime DefaultReminderDate(TDateTime today) { return today - 1; }

bool ShowsWizard(const TReminderState& state) {
  if (state.Manual || state.OnlyUpdate) return true;
  return state.Today > state.NextReminder && !state.NoUpdate;
}

bool IsNewerRelease(TDateTime releaseDate, TDateTime programDate, const TInstalledRelease& installed) {
  if (programDate <= 0) return false;
  // The file's date to the second: the stored date may come from another
  // arithmetic (the system's own, before) that rounds the fraction apart.
  if (installed.Release > 0 && std::fabs(installed.ProgramDate - programDate) < 0.5 / 86400)
    return std::floor(releaseDate) > std::floor(installed.Release);
  return releaseDate >= programDate;
}

bool ParseReleaseDate(const std::string& text, TDateTime& date) {
  // Digits only, so that no sign, blank or second date slips through.
  int fields[3] = {0, 0, 0};
  size_t digits[3] = {0, 0, 0};
  size_t field = 0;
  for (char c : text) {
    if (c == '.') {
      if (++field > 2) return false;
    } else if (c >= '0' && c <= '9') {
      if (++digits[field] > 4) return false;
      fields[field] = fields[field] * 10 + (c - '0');
    } else {
      return false;
    }
  }
  if (field != 2 || digits[0] < 1 || digits[0] > 2 || digits[1] < 1 || digits[1] > 2 || digits[2] != 4) return false;
  int d = fields[0], m = fields[1], y = fields[2];
  static const int monthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  if (y < 1900 || m < 1 || m > 12 || d < 1 || d > monthDays[m - 1] + (m == 2 && leap)) return false;
  date = EncodeDateTime(y, m, d);
  return true;
}

TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second) {
  // Days since 1.1.1970 (civil-from-days), then since 30.12.1899.
  const int y = year - (month <= 2);
  const int era = y / 400, yoe = y - era * 400, mp = (month + 9) % 12;
  const int doy = (153 * mp + 2) / 5 + day - 1, doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  const double days = era * 146097 + doe - 719468 + 25569;
  return days + (hour * 3600 + minute * 60 + second) / 86400.0;
}

namespace {
std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}
bool SameText(const std::string& a, const std::string& b) { return a.size() == b.size() && UpperText(a) == UpperText(b); }
}  // namespace

TUpdateInfoText::TUpdateInfoText(const std::string& text) {
  TSection* section = nullptr;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = Trimmed(text.substr(start, end - start));
    start = end + 1;
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      const size_t close = line.find(']');
      const std::string name = Trimmed(line.substr(1, close == std::string::npos ? std::string::npos : close - 1));
      // A second section of a name adds nothing: the reader finds the first.
      section = nullptr;
      if (!Find(name)) {
        sections_.push_back({name, {}});
        section = &sections_.back();
      }
      continue;
    }
    if (!section) continue;
    const size_t equals = line.find('=');
    const std::string key = Trimmed(line.substr(0, equals));
    std::string value = equals == std::string::npos ? "" : Trimmed(line.substr(equals + 1));
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
      value = value.substr(1, value.size() - 2);
    if (value.size() > 2047) value.resize(2047);
    // Read finds the first of a key.
    section->Values.emplace_back(key, value);
  }
}

const TUpdateInfoText::TSection* TUpdateInfoText::Find(const std::string& section) const {
  for (const TSection& candidate : sections_)
    if (SameText(candidate.Name, section)) return &candidate;
  return nullptr;
}

bool TUpdateInfoText::HasSection(const std::string& section) {
  const TSection* found = Find(section);
  return found && !found->Values.empty();
}

std::string TUpdateInfoText::Read(const std::string& section, const std::string& key, const std::string& fallback) {
  if (const TSection* found = Find(section))
    for (const auto& pair : found->Values)
      if (SameText(pair.first, key)) return pair.second;
  return fallback;
}

bool IsUpdateAvailable(IUpdateInfo* info, const std::string& programName, TDateTime programDate,
                       const TInstalledRelease& installed) {
  if (!info || !info->HasSection(programName)) return false;
  TDateTime release = 0;
  return ParseReleaseDate(info->Read(programName, "Date", ""), release) &&
         IsNewerRelease(release, programDate, installed);
}

std::string BuildNewsList(const std::string& news, TDateTime programDate) {
  const double programDay = std::floor(programDate);
  std::string list;
  for (const std::string& entry : SplitDelimited(news, ',')) {
    const size_t colon = entry.find(':');
    TDateTime date = 0;
    const bool dated = colon != std::string::npos && ParseReleaseDate(entry.substr(0, colon), date);
    if (dated && std::floor(date) < programDay) continue;
    list += "- " + entry + "\r\n";
  }
  return list;
}

const char* const InstallLockName = "TRV.lock";

bool FormatTemplateLine(const std::string& line, const std::vector<std::string>& arguments, std::string& out) {
  out.clear();
  size_t next = 0;
  bool quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') quoted = !quoted;
    if (line[i] != '%') {
      out += line[i];
      continue;
    }
    const char kind = i + 1 < line.size() ? line[i + 1] : '\0';
    if (kind == '%') {
      out += '%';
    } else if (kind == 's' && next < arguments.size() && quoted) {
      out += arguments[next++];
    } else {
      return false;
    }
    ++i;
  }
  return true;
}

namespace {
TInstallScript Refused(const std::string& error) {
  TInstallScript script;
  script.Error = error;
  return script;
}

// A value of the head, quoted whole. A double quote or a line break would
// end the quotes: no path holds one. A per-cent sign is refused too: the
// command processor expands inside quotes, and Wine's expands the value of
// a variable once more, so "%PATH%" in a folder's name would become the
// path, whatever doubling the script did.
bool HeadValue(const std::string& value, std::string& out) {
  if (value.find_first_of(std::string("\"\r\n%\0", 5)) != std::string::npos) return false;
  out = value;
  return true;
}
}  // namespace

TInstallScript MakeInstallScript(const std::vector<std::string>& templateLines, const TScriptValues& values) {
  if (templateLines.empty()) return Refused("Die Vorlage des Installationsskripts ist leer.");
  const std::pair<const char*, const std::string*> head[] = {{"TRV_PROGRAM_DIR", &values.ProgramFolder},
                                                             {"TRV_PROGRAM", &values.ProgramPath},
                                                             {"TRV_UPDATE_DIR", &values.UpdateFolder},
                                                             {"TRV_REPORT", &values.ReportPath}};
  TInstallScript script;
  script.Lines.push_back("@setlocal DisableDelayedExpansion");
  for (const auto& value : head) {
    std::string quoted;
    if (value.second->size() > MaxOemTextLength || !HeadValue(*value.second, quoted))
      return Refused("Der Pfad kann nicht in das Installationsskript geschrieben werden:\r\n" + *value.second);
    script.Lines.push_back(std::string("@set \"") + value.first + "=" + quoted + "\"");
  }
  script.Lines.push_back(Format("@set \"TRV_PID=%lu\"", values.ProcessId));
  // The template runs as a subroutine, so that its exit code, whichever
  // way it ends, reaches the report. The removal ends the script on its
  // own line: the file it reads the next line from is gone then.
  script.Lines.push_back("@call :trv_install");
  script.Lines.push_back("@set \"TRV_RESULT=%ERRORLEVEL%\"");
  script.Lines.push_back("@>>\"%TRV_REPORT%\" echo Result=%TRV_RESULT%");
  script.Lines.push_back("@if \"%TRV_RESULT%\"==\"2\" exit /b 2");
  // Started, not called: the script ends, and removes its folder, while
  // the program runs on; the old program as well, unless it still runs.
  if (values.Restart) script.Lines.push_back("@if not \"%TRV_RESULT%\"==\"1\" start \"\" \"%TRV_PROGRAM%\"");
  // Left first: a folder that is some process's current one stays.
  script.Lines.push_back("@cd /d \"%TRV_UPDATE_DIR%..\" & rd /s /q \"%TRV_UPDATE_DIR%\" & exit /b %TRV_RESULT%");
  script.Lines.push_back(":trv_install");
  const std::vector<std::string> p = {"%TRV_PROGRAM_DIR%"}, t = {"%TRV_UPDATE_DIR%"},
                                  tp = {"%TRV_UPDATE_DIR%", "%TRV_PROGRAM_DIR%"};
  auto malformed = [&](size_t index) {
    return Refused(Format("Die Vorlage des Installationsskripts ist fehlerhaft (Zeile %u).",
                          static_cast<unsigned>(index + 1)));
  };
  // "!" in a folder's name would act again under delayed expansion.
  for (size_t i = 0; i < templateLines.size(); ++i)
    if (UpperText(templateLines[i]).find("ENABLEDELAYEDEXPANSION") != std::string::npos) return malformed(i);
  auto format = [&](size_t index, const std::vector<std::string>& arguments) {
    std::string out;
    if (!FormatTemplateLine(templateLines[index], arguments, out)) return false;
    script.Lines.push_back(out);
    return true;
  };
  size_t line = 0;
  // Whole groups of four, until a group's first line begins with a blank.
  while (line < templateLines.size() && (templateLines[line].empty() || templateLines[line][0] != ' ')) {
    if (templateLines[line].empty() || line + 3 >= templateLines.size()) return malformed(line);
    script.Lines.push_back(templateLines[line]);
    if (!format(line + 1, p)) return malformed(line + 1);
    if (!format(line + 2, p)) return malformed(line + 2);
    if (!format(line + 3, tp)) return malformed(line + 3);
    line += 4;
  }
  for (; line < templateLines.size(); ++line)
    if (!format(line, t)) return malformed(line);
  // A template that ends without an exit of its own has succeeded.
  script.Lines.push_back("@exit /b 0");
  script.Ok = true;
  return script;
}

std::string EntryFileName(const std::string& entryName) {
  const size_t slash = entryName.find_last_of("/\\");
  return slash == std::string::npos ? entryName : entryName.substr(slash + 1);
}

bool IsSafeEntryFileName(const std::string& fileName) {
  if (fileName.empty() || fileName == "." || fileName == "..") return false;
  for (char c : fileName)
    if (static_cast<unsigned char>(c) < 32 || std::string("<>:\"/\\|?*").find(c) != std::string::npos) return false;
  if (fileName.back() == ' ' || fileName.back() == '.') return false;
  // A device answers to its name with any extension.
  std::string base = UpperText(fileName.substr(0, fileName.find('.')));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  static const char* const devices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"};
  for (const char* device : devices)
    if (base == device) return false;
  // Windows counts the superscripts one to three (Windows-1252) as digits
  // of a port's name.
  const char last = base.size() == 4 ? base[3] : '\0';
  if (base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
      ((last >= '0' && last <= '9') || last == '\xB9' || last == '\xB2' || last == '\xB3'))
    return false;
  return true;
}

TArchiveCheck CheckArchiveEntries(const std::vector<TArchiveEntry>& entries) {
  TArchiveCheck check;
  auto refuse = [&](const std::string& error) {
    check.FileNames.clear();
    check.Error = error;
    return check;
  };
  std::vector<std::string> seen;
  uint64_t total = 0;
  for (const TArchiveEntry& entry : entries) {
    // Folders are not recreated; a name that climbs out is refused whatever
    // it ends in.
    std::string name = entry.Name;
    for (char& c : name)
      if (c == '\\') c = '/';
    if (("/" + name + "/").find("/../") != std::string::npos || name.find(':') != std::string::npos)
      return refuse("Das Update-Archiv enthält einen unzulässigen Dateinamen:\r\n" + entry.Name);
    if (!name.empty() && name.back() == '/' && entry.Size == 0) continue;
    const std::string file = EntryFileName(name);
    if (!IsSafeEntryFileName(file))
      return refuse("Das Update-Archiv enthält einen unzulässigen Dateinamen:\r\n" + entry.Name);
    const std::string key = UpperText(file);
    for (const std::string& other : seen)
      if (other == key) return refuse("Das Update-Archiv enthält die Datei mehrfach:\r\n" + entry.Name);
    seen.push_back(key);
    if (entry.Size > MaxEntrySize) return refuse("Das Update-Archiv enthält eine zu große Datei:\r\n" + entry.Name);
    total += entry.Size;
    if (total > MaxArchiveSize) return refuse("Das Update-Archiv ist zu groß.");
    check.FileNames.push_back(file);
  }
  check.Ok = true;
  return check;
}

std::string FormatByteSize(double count, bool longNames, char decimalSeparator) {
  static const char* const shortNames[] = {"Byte", "KB", "MB", "GB", "TB"};
  static const char* const longUnitNames[] = {"Byte", "Kilobyte", "Megabyte", "Gigabyte", "Terrabyte"};
  double v = count;
  int unit = 0;
  while (v >= 1024 && unit <= 4) {
    v /= 1024;
    ++unit;
  }
  if (unit == 5) {
    v *= 1024;
    unit = 4;
  }
  // One decimal at most, a half rounded up, a zero decimal dropped.
  std::string text = Format("%.1f", std::floor(v * 10 + 0.5) / 10);
  if (text.size() > 2 && text.compare(text.size() - 2, 2, ".0") == 0) text.resize(text.size() - 2);
  for (char& c : text)
    if (c == '.') c = decimalSeparator;
  return text + " " + (longNames ? longUnitNames : shortNames)[unit];
}

bool RemainingTime(int64_t size, int64_t received, double elapsed, double& remaining) {
  if (received <= 0) return false;
  remaining = (static_cast<double>(size) / static_cast<double>(received) - 1) * elapsed;
  return true;
}

std::string PercentText(int64_t size, int64_t received) {
  return Format("%.0f %%", static_cast<double>(received) / static_cast<double>(size) * 100);
}

bool TPartFileHandoff::WorkerDone() {
  std::lock_guard<std::mutex> lock(mutex_);
  done_ = true;
  return abandoned_;
}

bool TPartFileHandoff::Abandon() {
  std::lock_guard<std::mutex> lock(mutex_);
  abandoned_ = true;
  return done_;
}

std::string InstallReportText(const std::string& release, const std::string& folder) {
  return "Release=" + release + "\r\nFolder=" + folder + "\r\n";
}

TInstallReport ReadInstallReport(const std::string& text, double ageSeconds) {
  TInstallReport report;
  TUpdateInfoText lines("[Report]\n" + text);
  report.Release = lines.Read("Report", "Release", "");
  report.Folder = lines.Read("Report", "Folder", "");
  const std::string result = lines.Read("Report", "Result", "");
  if (result.empty()) {
    if (ageSeconds >= 3600) report.Outcome = irUnknown;
    return report;
  }
  // Three digits at most: no code is longer, and none can overflow.
  int code = 0;
  bool digits = result.size() <= 3;
  for (size_t i = 0; digits && i < result.size(); ++i) {
    digits = result[i] >= '0' && result[i] <= '9';
    code = code * 10 + (result[i] - '0');
  }
  report.Outcome = irUnknown;
  if (digits)
    for (TInstallOutcome known : {irInstalled, irWaitGivenUp, irRestoreFailed, irNoFolder, irBackupFailed,
                                  irTakenBack, irNotStarted})
      if (code == known) report.Outcome = known;
  return report;
}

std::string InstallReportMessage(const TInstallReport& report) {
  const std::string update = report.Release.empty() ? "Das Update" : "Das Update vom " + report.Release;
  const std::string unchanged = " Die bisherigen Programmdateien sind unverändert. Sie können das Update erneut "
                                "installieren (Strg+U).";
  switch (report.Outcome) {
    case irInstalled:
      return update + " wurde installiert.";
    case irWaitGivenUp:
      return update + " wurde nicht installiert: Das Programm wurde nicht innerhalb von zwei Minuten beendet." +
             unchanged;
    case irNoFolder:
      return update + " wurde nicht installiert: Der Programmordner oder der Ordner des Updates war nicht "
                      "zugänglich." + unchanged;
    case irBackupFailed:
      return update + " wurde nicht installiert: Die bisherigen Programmdateien konnten nicht gesichert werden." +
             unchanged;
    case irTakenBack:
      return update + " wurde zurückgenommen: Eine Programmdatei konnte nicht ersetzt werden (sie war vielleicht "
                      "geöffnet), die bereits ersetzten wurden wiederhergestellt." + unchanged;
    case irRestoreFailed:
      return update + " ist fehlgeschlagen: Eine Programmdatei konnte nicht ersetzt werden, und die bereits "
                      "ersetzten konnten nicht wiederhergestellt werden. Die bisherigen Programmdateien liegen im "
                      "Ordner \"" + report.Folder + "TRV-Sicherung\". Kopieren Sie sie von dort in den Programmordner "
                      "zurück.";
    case irNotStarted:
      return update + " wurde nicht installiert: Das Installationsskript konnte nicht gestartet werden." + unchanged;
    default:
      return update + " ist mit einem unbekannten Ergebnis beendet worden. Prüfen Sie, ob das Programm vollständig "
                      "ist; die bisherigen Dateien liegen gegebenenfalls im Ordner \"" + report.Folder +
             "TRV-Sicherung\".";
  }
}

std::u16string InstallPathProblem(const std::u16string& tempDir, const std::u16string& programPath,
                                  const std::u16string& reportPath,
                                  const std::function<bool(const std::u16string&)>& inBatchCodePage) {
  // The update folder's name under the temporary folder: "TRV-Update-XXXXXXXX\".
  const size_t updateNameLength = 20;
  const std::string allowed =
      "nur Zeichen der westeuropäischen Zeichentabelle (Windows-1252), kein \"%\" und kein Anführungszeichen "
      "enthält";
  const struct {
    const std::u16string& path;
    size_t extra;
    std::string advice;
  } paths[] = {
      {tempDir, updateNameLength,
       "Setzen Sie die Umgebungsvariablen TEMP und TMP auf einen Ordner, dessen Name " + allowed +
           " (zum Beispiel C:\\Temp), und starten Sie das Programm und das Update erneut."},
      {programPath, 0,
       "Verschieben Sie das Programm in einen Ordner, dessen Name " + allowed +
           ", und starten Sie das Update von dort erneut."},
      {reportPath, 0,
       "In diesem Ordner der lokalen Anwendungsdaten meldet das Installationsskript, wie die Installation "
       "verlaufen ist. Installieren Sie das Update von einem Benutzerkonto aus, dessen Ordner " + allowed + "."},
  };
  for (const auto& path : paths) {
    // A file's folder is named, the temporary folder as it is.
    const std::u16string folder =
        &path.path == &tempDir ? path.path : path.path.substr(0, path.path.find_last_of(u'\\') + 1);
    std::string narrow, quoted;
    if (!NarrowText(path.path, narrow))
      return WidenText("Das Update kann nicht installiert werden: ") + ForeignTextMessage(path.path) +
             WidenText("\r\n\r\n" + path.advice);
    if (narrow.size() + path.extra > MaxOemTextLength || !HeadValue(narrow, quoted) || !inBatchCodePage(path.path))
      return WidenText("Das Update kann nicht installiert werden, weil der Ordner \"") + folder +
             WidenText("\" zu lang ist oder ein Zeichen enthält, das das Installationsskript nicht verwenden "
                       "kann.\r\n\r\n" + path.advice);
  }
  return u"";
}

bool TTransferPace::Keeps(uint32_t now, int64_t received) {
  if (!started_) {
    started_ = true;
    spanStart_ = now;
    spanReceived_ = received;
  }
  while (static_cast<uint32_t>(now - spanStart_) >= spanMs_) {
    if (received - spanReceived_ < minBytes_) return false;
    // The next span counts from here: what came early does not carry a
    // later pause.
    spanStart_ = now;
    spanReceived_ = received;
  }
  return true;
}

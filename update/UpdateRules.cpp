#include "update/UpdateRules.h"

#include <cmath>

#include "model/Codec.h"
#include "model/Errors.h"

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

bool IsNewerRelease(TDateTime releaseDate, TDateTime programDate) { return releaseDate >= programDate; }

std::string BuildNewsList(const std::string& news, TDateTime programDate, const TDateParser& parseDate) {
  const double programDay = std::floor(programDate);
  std::string list;
  for (const std::string& entry : SplitDelimited(news, ',')) {
    const size_t colon = entry.find(':');
    TDateTime date = 0;
    const bool dated = colon != std::string::npos && parseDate(entry.substr(0, colon), date);
    if (dated && std::floor(date) < programDay) continue;
    list += "- " + entry + "\r\n";
  }
  return list;
}

bool FormatTemplateLine(const std::string& line, const std::vector<std::string>& arguments, std::string& out) {
  out.clear();
  size_t next = 0;
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] != '%') {
      out += line[i];
      continue;
    }
    const char kind = i + 1 < line.size() ? line[i + 1] : '\0';
    if (kind == '%') {
      out += '%';
    } else if (kind == 's' && next < arguments.size()) {
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
}  // namespace

TInstallScript MakeInstallScript(const std::vector<std::string>& templateLines, const std::string& programFolder,
                                 const std::string& tempFolder, bool restart, const std::string& programPath) {
  if (templateLines.empty()) return Refused("Die Vorlage des Installationsskripts ist leer.");
  for (const std::string* text : {&programFolder, &tempFolder, &programPath})
    if (text->size() > MaxOemTextLength)
      return Refused("Der Pfad ist für das Installationsskript zu lang:\r\n" + *text);
  const std::vector<std::string> p = {programFolder}, t = {tempFolder}, tp = {tempFolder, programFolder};
  TInstallScript script;
  auto format = [&](size_t index, const std::vector<std::string>& arguments) {
    std::string out;
    if (!FormatTemplateLine(templateLines[index], arguments, out)) return false;
    script.Lines.push_back(out);
    return true;
  };
  auto malformed = [&](size_t index) {
    return Refused(Format("Die Vorlage des Installationsskripts ist fehlerhaft (Zeile %u).",
                          static_cast<unsigned>(index + 1)));
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
  if (restart) script.Lines.push_back("\"" + programPath + "\"");
  script.Lines.push_back("del " + tempFolder + "Update.bat");
  script.Ok = true;
  return script;
}

#include "shortcut/LinkRules.h"

#include "model/Project.h"

const char* const ForbiddenFileNameChars = "\\/:*?\"<>|";
const char* const QuickLaunchSubPath = "Microsoft\\Internet Explorer\\Quick Launch";

bool IsValidLinkTitle(const std::string& title) { return title.find_first_of(ForbiddenFileNameChars) == std::string::npos; }

bool IsUsableLinkTitle(const std::string& title) {
  return !title.empty() && IsValidLinkTitle(title) && title.find_first_not_of(" .") != std::string::npos;
}

uint32_t ShortCutOfHotKey(uint16_t controlKey) {
  const unsigned flags = controlKey >> 8;
  return (controlKey & 0xFF) | (flags & 0x01 ? 0x2000 : 0) | (flags & 0x02 ? 0x4000 : 0) | (flags & 0x04 ? 0x8000 : 0);
}

uint16_t LinkHotKey(uint32_t controlValue) {
  return static_cast<uint16_t>((controlValue & 0xFF) | ((controlValue >> 5) & 0xFF00));
}

bool WantsModifierAdvice(uint32_t controlValue) { return controlValue != 0 && controlValue < 0x2000; }

namespace {
std::string WithTrailingDelimiter(std::string path) {
  if (path.empty() || path.back() != '\\') path += '\\';
  return path;
}
}  // namespace

std::string LinkFileName(const std::string& folder, const std::string& title) {
  return WithTrailingDelimiter(folder) + title + ".lnk";
}

std::string LinkArguments(const std::string& projectPath, const std::string& group, bool search) {
  // A path cannot hold a double quote; it stays as the links of a menu
  // always had it.
  const std::string project = "\"" + projectPath + "\"";
  if (search) return "/suchen " + project;
  return group.empty() ? project : project + " " + QuotedArgument(group);
}

std::string QuotedArgument(const std::string& argument) {
  std::string quoted = "\"";
  size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
    } else if (c == '"') {
      quoted.append(backslashes * 2 + 1, '\\');
      backslashes = 0;
    } else {
      quoted.append(backslashes, '\\');
      backslashes = 0;
    }
    if (c != '\\') quoted += c;
  }
  // Before the closing quote, backslashes count double.
  quoted.append(backslashes * 2, '\\');
  return quoted + "\"";
}

std::vector<std::string> ProjectGroupNames(const std::string& fileText) {
  std::vector<std::string> names;
  size_t start = 0;
  bool inGroups = false;
  while (start < fileText.size()) {
    size_t end = fileText.find('\n', start);
    if (end == std::string::npos) end = fileText.size();
    std::string line = fileText.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    start = end + 1;
    if (!inGroups) {
      if (line != GroupSectionHeader) return names;
      inGroups = true;
      continue;
    }
    if (line == MenuSectionHeader || line == UnusedMenuSectionHeader) break;
    if (!line.empty() && line[0] != ' ') names.push_back(line);
  }
  return names;
}

std::string SpecialFolderPath(int tag, const std::string& folderPath) {
  if (tag != QuickLaunchFolder || folderPath.empty()) return folderPath;
  return WithTrailingDelimiter(folderPath) + QuickLaunchSubPath;
}

std::string ForbiddenCharText(char c) { return std::string("Das Zeichen\r\n") + c + "\r\nist in Dateinamen nicht erlaubt."; }

std::string MissingProjectText(const std::string& project) {
  return "Die Projektdatei\r\n" + project + "\r\nexistiert nicht.";
}

std::string InvalidFolderText(const std::string& folder) {
  return "Im Verzeichnis\r\n" + folder + "\r\nkann keine Verknüpfung erstellt werden.";
}

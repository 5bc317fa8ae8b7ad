#include "shortcut/LinkRules.h"

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

std::string LinkArguments(const std::string& projectPath) { return "\"" + projectPath + "\""; }

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

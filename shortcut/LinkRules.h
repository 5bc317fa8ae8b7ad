// The shortcut page's rules that need no window: which titles can name a
// link file, the link's hotkey word, its file name and arguments, and the
// texts of the page's balloons. Portable: no platform types.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The characters a link title may not contain, in the order the help text
// lists them.
extern const char* const ForbiddenFileNameChars;

// True when none of the title's characters is forbidden (the empty title
// passes: the caller tests for it).
bool IsValidLinkTitle(const std::string& title);
// Whether "create" accepts the title: not empty, no forbidden character,
// and not made only of blanks and dots, which Windows cuts from a file name
// (the link would get another name, or none).
bool IsUsableLinkTitle(const std::string& title);

// The hotkey control's key (virtual key in the low byte, 0x01 Shift, 0x02
// Ctrl, 0x04 Alt in the high byte) as a shortcut value: the virtual key with
// 0x2000 Shift, 0x4000 Ctrl, 0x8000 Alt.
uint32_t ShortCutOfHotKey(uint16_t controlKey);
// A shortcut value as a link's hotkey word (0x0100 Shift, 0x0200 Ctrl,
// 0x0400 Alt in the high byte).
uint16_t LinkHotKey(uint32_t controlValue);
// A value without Shift, Ctrl or Alt, for which the page advises a
// modifier.
bool WantsModifierAdvice(uint32_t controlValue);

// folder + "\" (unless it ends with one) + title + ".lnk".
std::string LinkFileName(const std::string& folder, const std::string& title);
// The link's arguments: the quoted project path, and for a link that runs
// one group, a blank and the group's name quoted as the program's argument
// splitting reads it back. A link that opens the search instead of the menu
// names the switch "/suchen" before the project.
std::string LinkArguments(const std::string& projectPath, const std::string& group = std::string(),
                          bool search = false);
// One argument quoted for the runtime's splitting: backslashes before a
// double quote doubled, the quote escaped.
std::string QuotedArgument(const std::string& argument);
// The names of the groups in a project file's text, in file order; none
// when the text is no project.
std::vector<std::string> ProjectGroupNames(const std::string& fileText);

// The special folder "Quick Launch" below the application data folder.
extern const char* const QuickLaunchSubPath;
const int QuickLaunchFolder = 26;  // its tag: the application data folder
std::string SpecialFolderPath(int tag, const std::string& folderPath);

// Balloon texts built from the input they are about.
std::string ForbiddenCharText(char c);
std::string MissingProjectText(const std::string& project);
std::string InvalidFolderText(const std::string& folder);

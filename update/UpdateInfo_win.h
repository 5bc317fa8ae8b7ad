// The platform's side of the update information: the INI file, today and
// the program file's date, and the OEM code page of batch files.
#pragma once

#include <string>

#include "update/UpdateRules.h"

// "Updates.ini" as fetched into a temporary file, read from it once, when
// made (at most MaxUpdateInfoSize bytes; a file that cannot be read holds
// no section). Everything later asks the copy in memory.
class TIniUpdateInfo : public TUpdateInfoText {
 public:
  explicit TIniUpdateInfo(const std::string& fileName);
};

// A file of at most limit bytes, read whole; false when it cannot be read
// or is larger.
bool ReadSmallFile(const std::string& fileName, size_t limit, std::string& text);

// A text in the OEM code page, in which the command processor reads batch
// files, converted from UTF-16 whatever the machine's ANSI code page is.
// False when a character has no place there: the conversion never puts a
// look-alike in its stead ("“" for '"', "‰" for '%'), which would mean
// something else to the command processor.
bool ToOemText(const std::u16string& text, std::string& oem);
// The same of a Windows-1252 text.
bool ToOemText(const std::string& text, std::string& oem);
// A text from one code page to another through UTF-16, without best fit:
// false for bytes that are no text of the first, and for characters the
// second lacks. Windows-1252 on either side is the program's own exact
// conversion (model/Wide.h), never the system's table.
bool ConvertText(unsigned from, unsigned to, const std::string& text, std::string& out);

// Today's date (midnight) as a day count.
TDateTime TodayDate();
// The program file's last write as a local date and time, in the 2-second
// steps of the file systems that keep it so; 0 when it cannot be read.
TDateTime ProgramFileDate(const std::wstring& path);

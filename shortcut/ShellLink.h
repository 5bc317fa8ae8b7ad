// Writing and reading the shell links (.lnk) that start a project, through
// the shell's own link object. The byte layout of link files stays the
// shell's business.
#pragma once

#include <cstdint>
#include <string>

#include "model/Errors.h"

// Raised when the shell link object fails; ErrorCode is the HRESULT.
class EOleSysError : public Exception {
 public:
  EOleSysError(long errorCode, const std::string& message);
  long ErrorCode;
};

// The system's text for an HRESULT (trailing blanks and period removed, as
// the error box adds its own), or "OLE-Fehler %08X" when it has none.
std::string OleErrorText(long errorCode);
// Raises EOleSysError for a failed HRESULT; success codes pass.
void OleCheck(long result);

// Writes the link file; false on any failure (it never raises). Empty
// arguments and an empty icon path are left unset; the description and the
// hotkey (low byte virtual key, high byte 0x01 Shift, 0x02 Ctrl, 0x04 Alt;
// 0 = none) are always set. A link file name of 260 or more UTF-16 units is
// refused before the save.
bool CreateShellLink(const std::string& targetPath, const std::string& linkFileName, const std::string& arguments,
                     const std::string& description, const std::string& iconPath, int iconIndex, uint16_t hotkey);

// Reads the fields of a link as stored (the link is not resolved), whole.
// Every text is emptied first. Raises EOleSysError, or EForeignText when the
// target or the arguments hold a character Windows-1252 lacks (the
// description, working folder and icon path are then left empty instead).
void ReadShellLink(const std::string& linkFileName, std::string& targetPath, std::string& arguments,
                   std::string& description, std::string& workingDirectory, std::string& iconPath, int& iconIndex);

// Reads link after link with one shell link object: a folder of a thousand
// links is read without making a thousand objects.
class TShellLinkReader {
 public:
  TShellLinkReader();
  ~TShellLinkReader();
  TShellLinkReader(const TShellLinkReader&) = delete;
  TShellLinkReader& operator=(const TShellLinkReader&) = delete;
  // As ReadShellLink.
  void Read(const std::string& linkFileName, std::string& targetPath, std::string& arguments,
            std::string& description, std::string& workingDirectory, std::string& iconPath, int& iconIndex);

 private:
  struct TObjects;
  TObjects* objects_;
};

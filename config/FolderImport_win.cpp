#include "config/FolderImport_win.h"

#include <windows.h>

#include <exception>

#include "model/Errors.h"
#include "model/Files_win.h"
#include "model/Wide_win.h"

IFolderImportReader::TLinkRead TWindowsImportReader::ReadLink(const std::string& link, std::string& target,
                                                        std::string& arguments, std::u16string& reason) {
  std::string description, workingDirectory, iconPath;
  int iconIndex = 0;
  try {
    links_.Read(link, target, arguments, description, workingDirectory, iconPath, iconIndex);
  } catch (const EForeignText& e) {
    reason = e.WideMessage();
    return lrRefused;
  } catch (const std::exception&) {
    // A file named .lnk that is no link points at nothing either.
    return lrBroken;
  }
  return !target.empty() && (FileExists(target) || FolderExists(target)) ? lrRead : lrBroken;
}

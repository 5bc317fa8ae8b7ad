#include "config/FolderImport_win.h"

#include <windows.h>

#include <exception>

#include "model/Files_win.h"

std::vector<IFolderReader::TItem> TWindowsFolderReader::Items(const std::string& folder) {
  std::vector<TItem> items;
  WIN32_FIND_DATAA found = {};
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return items;
  do {
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    // Hidden and system items (desktop.ini) are none of the user's.
    if (found.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) continue;
    items.push_back({name, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return items;
}

bool TWindowsFolderReader::ReadLink(const std::string& link, std::string& target, std::string& arguments) {
  std::string description, workingDirectory, iconPath;
  int iconIndex = 0;
  try {
    links_.Read(link, target, arguments, description, workingDirectory, iconPath, iconIndex);
  } catch (const std::exception&) {
    // A file named .lnk that is no link points at nothing either.
    return false;
  }
  return !target.empty() && (FileExists(target) || FolderExists(target));
}

#include "config/FolderImport_win.h"

#include <windows.h>

#include <exception>

#include "model/Errors.h"
#include "model/Files_win.h"
#include "model/Wide_win.h"

std::vector<IFolderReader::TItem> TWindowsFolderReader::Items(const std::string& folder) {
  std::vector<TItem> items;
  WIN32_FIND_DATAW found = {};
  HANDLE search = FindFirstFileW(W(folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return items;
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    // Hidden and system items (desktop.ini) are none of the user's.
    if (found.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) continue;
    TItem item;
    item.IsFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (!TryNarrow(name, item.Name)) item.ForeignName = U16(name);
    items.push_back(item);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return items;
}

std::string TWindowsFolderReader::FolderIdentity(const std::string& folder) {
  // The volume and the file index name the folder itself, whichever
  // junction or symbolic link leads there.
  HANDLE handle = CreateFileW(W(folder).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return std::string();
  BY_HANDLE_FILE_INFORMATION info = {};
  const bool known = GetFileInformationByHandle(handle, &info) != 0;
  CloseHandle(handle);
  if (!known || (info.nFileIndexHigh == 0 && info.nFileIndexLow == 0)) return std::string();
  return Format("%08lX:%08lX%08lX", info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow);
}

IFolderReader::TLinkRead TWindowsFolderReader::ReadLink(const std::string& link, std::string& target,
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

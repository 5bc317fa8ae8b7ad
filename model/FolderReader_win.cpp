#include "model/FolderReader_win.h"

#include <windows.h>

#include "model/Errors.h"
#include "model/Wide_win.h"

TFolderListing TWindowsFolderReader::Read(const std::string& folder) {
  TFolderListing listing;
  WIN32_FIND_DATAW found = {};
  // A drive's root ("C:\\") has its backslash already.
  const std::string pattern = !folder.empty() && folder.back() == '\\' ? folder + "*" : folder + "\\*";
  HANDLE search = FindFirstFileW(W(pattern).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) {
    // Not there, or no folder at all, is "missing"; whatever else keeps us
    // out (rights, a share that refuses) is "unreadable".
    switch (GetLastError()) {
      case ERROR_FILE_NOT_FOUND:
      case ERROR_PATH_NOT_FOUND:
      case ERROR_INVALID_NAME:
      case ERROR_DIRECTORY:
      case ERROR_BAD_NETPATH:
      case ERROR_BAD_NET_NAME:
        listing.State = fsMissing;
        break;
      default:
        listing.State = fsUnreadable;
        break;
    }
    return listing;
  }
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    TFolderItem item;
    item.IsFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    item.Hidden = (found.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0;
    item.System = (found.dwFileAttributes & FILE_ATTRIBUTE_SYSTEM) != 0;
    if (!TryNarrow(name, item.Name)) item.ForeignName = U16(name);
    listing.Items.push_back(item);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return listing;
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

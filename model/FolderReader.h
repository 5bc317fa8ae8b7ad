// The items of a folder, as the menu from a folder and a folder's live
// submenu read them. Portable: the file system comes through this
// interface, which Windows implements (FolderReader_win) and tests fake.
#pragma once

#include <string>
#include <utility>
#include <vector>

struct TFolderItem {
  TFolderItem() = default;
  TFolderItem(std::string name, bool isFolder, bool hidden = false, bool system = false,
              std::u16string foreignName = std::u16string())
      : Name(std::move(name)), IsFolder(isFolder), Hidden(hidden), System(system), ForeignName(std::move(foreignName)) {}
  std::string Name;  // without the folder
  bool IsFolder = false;
  // Hidden or system: the shell shows it to nobody who has not asked.
  bool Hidden = false;
  bool System = false;
  // A name Windows-1252 cannot hold, as it is (Name is then empty): the
  // item is refused, never taken under another name.
  std::u16string ForeignName;
};

enum TFolderState { fsRead, fsMissing, fsUnreadable };

struct TFolderListing {
  TFolderState State = fsRead;
  std::vector<TFolderItem> Items;  // without "." and "..", in any order
};

class IFolderReader {
 public:
  virtual ~IFolderReader() = default;
  virtual TFolderListing Read(const std::string& folder) = 0;
  // What tells a folder apart however it is reached (through a junction or
  // a symbolic link too); empty when that cannot be told.
  virtual std::string FolderIdentity(const std::string& folder) = 0;
};

// Whether the shell leaves the item out of a folder's view: hidden and
// system items, and the folder's own settings (desktop.ini) whatever its
// attributes say.
bool IsShownItem(const TFolderItem& item);

// A menu from a folder of shortcuts: each subfolder becomes an entry with
// the folder's contents as its sub-entries, each link or program an entry
// with a group of its own that starts it. Portable: the folders come
// through a small interface.
#pragma once

#include <string>
#include <vector>

#include "model/Project.h"

class IFolderReader {
 public:
  virtual ~IFolderReader() = default;
  struct TItem {
    std::string Name;  // without the folder
    bool IsFolder = false;
  };
  // The folder's items (without "." and ".."), in any order.
  virtual std::vector<TItem> Items(const std::string& folder) = 0;
  // A link's target and arguments; false when the link names nothing that
  // exists.
  virtual bool ReadLink(const std::string& link, std::string& target, std::string& arguments) = 0;
};

struct TFolderMenu {
  std::vector<TTRVMenuItem> Menu;  // assignments count from FirstGroup
  std::vector<TExecGroup> Groups;
  // Links whose target is gone: left out.
  std::vector<std::string> BrokenLinks;
};

// The menu of the folder, with groups named after their entries and kept
// apart from the names taken already (a number appended).
TFolderMenu MenuOfFolder(IFolderReader& reader, const std::string& folder,
                         const std::vector<std::string>& takenGroupNames);

// A menu from a folder of shortcuts: each subfolder becomes an entry with
// the folder's contents as its sub-entries, each link or program an entry
// with a group of its own that starts it. Portable: the folders come
// through a small interface.
#pragma once

#include <string>
#include <vector>

#include "model/FolderReader.h"
#include "model/Project.h"

// The folders of this machine with their links read, as the import needs
// them.
class IFolderImportReader : public IFolderReader {
 public:
  enum TLinkRead { lrRead, lrBroken, lrRefused };
  // A link's target and argument string; lrBroken when it names nothing
  // that exists, lrRefused with the reason when it cannot be read or taken.
  virtual TLinkRead ReadLink(const std::string& link, std::string& target, std::string& arguments,
                             std::u16string& reason) = 0;
};

// An item left out, with the reason, both as they are shown.
struct TRefusedItem {
  std::u16string Path;
  std::u16string Reason;
};

struct TFolderMenu {
  std::vector<TTRVMenuItem> Menu;  // assignments count from FirstGroup
  std::vector<TExecGroup> Groups;
  // Links whose target is gone: left out.
  std::vector<std::string> BrokenLinks;
  // Items that cannot be taken as they are: left out.
  std::vector<TRefusedItem> Refused;
};

// The menu of the folder, with groups named after their entries and kept
// apart from the names taken already (a number appended). Each folder is
// visited once, however links between folders point.
TFolderMenu MenuOfFolder(IFolderImportReader& reader, const std::string& folder,
                         const std::vector<std::string>& takenGroupNames);

// The message that lists what an import or a drop left out ("" when
// nothing): broken links, then the refused items with their reasons.
std::u16string LeftOutMessage(const std::vector<std::string>& brokenLinks, const std::vector<TRefusedItem>& refused);

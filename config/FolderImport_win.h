// The folders of this machine for a menu from a folder of shortcuts.
#pragma once

#include "config/FolderImport.h"
#include "shortcut/ShellLink.h"

class TWindowsFolderReader : public IFolderReader {
 public:
  std::vector<TItem> Items(const std::string& folder) override;
  std::string FolderIdentity(const std::string& folder) override;
  TLinkRead ReadLink(const std::string& link, std::string& target, std::string& arguments,
                     std::u16string& reason) override;

 private:
  TShellLinkReader links_;
};

// The folders of this machine for a menu from a folder of shortcuts.
#pragma once

#include "config/FolderImport.h"
#include "model/FolderReader_win.h"
#include "shortcut/ShellLink.h"

class TWindowsImportReader : public IFolderImportReader {
 public:
  TFolderListing Read(const std::string& folder) override { return folders_.Read(folder); }
  std::string FolderIdentity(const std::string& folder) override { return folders_.FolderIdentity(folder); }
  TLinkRead ReadLink(const std::string& link, std::string& target, std::string& arguments,
                     std::u16string& reason) override;

 private:
  TWindowsFolderReader folders_;
  TShellLinkReader links_;
};

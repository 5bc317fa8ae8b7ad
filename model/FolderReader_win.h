// The folders of this machine, read with the Win32 API.
#pragma once

#include "model/FolderReader.h"

class TWindowsFolderReader : public IFolderReader {
 public:
  TFolderListing Read(const std::string& folder) override;
  std::string FolderIdentity(const std::string& folder) override;
};

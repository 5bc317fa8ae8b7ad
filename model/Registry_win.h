// The Windows registry behind the program's and the updater's settings.
#pragma once

#include "model/Settings.h"

class TWinRegistry : public IRegistry {
 public:
  std::unique_ptr<IRegistryKey> Open(TRegistryRoot root, const std::string& path, bool forWriting) override;
};

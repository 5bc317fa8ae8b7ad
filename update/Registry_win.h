// The Windows registry behind the updater's settings.
#pragma once

#include "update/UpdateSettings.h"

class TWinRegistry : public IRegistry {
 public:
  std::unique_ptr<IRegistryKey> Open(TRegistryRoot root, const std::string& path, bool forWriting) override;
};

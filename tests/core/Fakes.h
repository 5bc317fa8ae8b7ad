// Fakes of the platform services that need no test framework (shared by the
// unit tests and the fuzzer).
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "model/Errors.h"
#include "model/Platform.h"

// Files held in memory; can be told to fail.
class TFakeFiles : public IFileSystem {
 public:
  std::map<std::string, std::string> Files;
  int FailWritesWith = 0;  // a system error number, or 0
  std::unique_ptr<IInputFile> OpenRead(const std::string& fileName) override;
  void WriteFileSafely(const std::string& fileName, const std::string& content) override;
};

class TRecordingMessageBoxes : public IMessageBoxes {
 public:
  struct TBox {
    std::string Text, Caption;
    unsigned Flags;
  };
  std::vector<TBox> Shown;
  int Answer = idOK;
  int Show(const std::string& text, const std::string& caption, unsigned flags) override {
    Shown.push_back({text, caption, flags});
    return Answer;
  }
};


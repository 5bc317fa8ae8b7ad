// Fuzzes the project file reader: any bytes must load or fail with one of the
// program's own errors, never crash or read out of bounds (sanitizers), and
// whatever loads must save to a file that loads back to the same project.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>

#include "model/Errors.h"
#include "model/Platform.h"
#include "model/Project.h"
#include "model/ProjectFile.h"

namespace {

class TBytes : public IInputFile {
 public:
  explicit TBytes(std::string data) : data_(std::move(data)) {}
  size_t Read(char* buffer, size_t size) override {
    size_t n = std::min(size, data_.size() - pos_);
    std::memcpy(buffer, data_.data() + pos_, n);
    pos_ += n;
    return n;
  }

 private:
  std::string data_;
  size_t pos_ = 0;
};

class TFiles : public IFileSystem {
 public:
  std::map<std::string, std::string> Files;
  std::unique_ptr<IInputFile> OpenRead(const std::string& name) override {
    return std::make_unique<TBytes>(Files[name]);
  }
  void WriteFileSafely(const std::string& name, const std::string& content) override { Files[name] = content; }
};

class TSilentBoxes : public IMessageBoxes {
 public:
  int Show(const std::string&, const std::string&, unsigned) override { return idOK; }
};

class TByteCollation : public ICollation {
 public:
  int CompareText(const std::string& a, const std::string& b) override { return a.compare(b); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static TFiles files;
  static TSilentBoxes boxes;
  static TByteCollation collation;
  Platform.Files = &files;
  Platform.MessageBoxes = &boxes;
  Platform.Collation = &collation;

  files.Files["in.trv"] = std::string(reinterpret_cast<const char*>(data), size);
  bool loaded = false;
  try {
    loaded = LoadProject("in.trv", true);
  } catch (const Exception&) {
    return 0;
  }
  if (!loaded) return 0;

  const std::string first = ProjectFileText(UseMenu);
  SaveProject("out.trv");
  if (!LoadProject("out.trv", true)) std::abort();
  if (ProjectFileText(UseMenu) != first) std::abort();
  // Sorting keeps every group and every binding consistent.
  const size_t groups = ExecGroups.size();
  SortExecGroups(-1);
  if (ExecGroups.size() != groups) std::abort();
  return 0;
}

#include "tests/core/Fakes.h"

#include <algorithm>
#include <cstring>

namespace {
class TMemoryInput : public IInputFile {
 public:
  explicit TMemoryInput(std::string data) : data_(std::move(data)) {}
  // Hands out small, odd-sized pieces so that line ends straddle reads.
  size_t Read(char* buffer, size_t size) override {
    size_t n = std::min<size_t>({size, 7, data_.size() - pos_});
    std::memcpy(buffer, data_.data() + pos_, n);
    pos_ += n;
    return n;
  }

 private:
  std::string data_;
  size_t pos_ = 0;
};
}  // namespace

std::unique_ptr<IInputFile> TFakeFiles::OpenRead(const std::string& fileName) {
  auto it = Files.find(fileName);
  if (it == Files.end()) RaiseInOutError(2);
  return std::make_unique<TMemoryInput>(it->second);
}

void TFakeFiles::WriteFileSafely(const std::string& fileName, const std::string& content) {
  if (FailWritesWith) RaiseInOutError(FailWritesWith);
  Files[fileName] = content;
}


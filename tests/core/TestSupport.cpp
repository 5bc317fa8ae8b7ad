#include "tests/core/TestSupport.h"

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

void TRecordingView::GroupListsRefilled(const std::vector<std::string>& names) {
  std::string call = "refill";
  for (const std::string& n : names) call += " " + n;
  Calls.push_back(call);
}

void ProjectFixture::SetUp() {
  UseNativePlatform();
  Platform.Files = &files;
  Platform.MessageBoxes = &boxes;
  MenuItems.clear();
  ExecGroups.clear();
  ProjectFileName.clear();
  ProjectModified = false;
  PopupMode = false;
  UseMenu = true;
  ProjectView = nullptr;
}

void ProjectFixture::TearDown() {
  ProjectView = nullptr;
  PopupMode = false;
  UseNativePlatform();
}

std::vector<TTRVMenuItem> Menu(std::initializer_list<std::pair<const char*, int>> textAndLevel) {
  std::vector<TTRVMenuItem> items;
  for (auto& [text, level] : textAndLevel) items.push_back(TTRVMenuItem{text, 0, level});
  return items;
}

std::string Describe(const std::vector<TTRVMenuItem>& items) {
  std::string s;
  for (const TTRVMenuItem& item : items) {
    if (!s.empty()) s += ' ';
    s += item.Text + std::to_string(item.Level);
  }
  return s;
}

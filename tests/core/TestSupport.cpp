#include "tests/core/TestSupport.h"

void TRecordingView::GroupListsRefilled(const std::vector<std::string>& names) {
  std::string call = "refill";
  for (const std::string& n : names) call += " " + n;
  Calls.push_back(call);
}

void ProjectFixture::SetUp() {
  UseNativePlatform();
  Platform.Files = &files;
  Platform.MessageBoxes = &boxes;
}

void ProjectFixture::TearDown() {
  project.View = nullptr;
  UseNativePlatform();
}

void MarkModified(TProject& project) {
  // An entry appended last has no block below it: deleting it restores the
  // list as it was.
  const int end = static_cast<int>(project.MenuItems().size());
  project.InsertMenuItemAt(end, TTRVMenuItem());
  project.DeleteMenuItem(end);
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

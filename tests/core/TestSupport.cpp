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

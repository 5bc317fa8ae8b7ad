// Fakes of the platform interfaces and a fixture that gives every test an
// empty project.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "model/Errors.h"
#include "model/Platform.h"
#include "model/Project.h"
#include "tests/core/Fakes.h"

// Records what the model asked of the configuration window, one line each.
class TRecordingView : public IProjectView {
 public:
  std::vector<std::string> Calls;
  bool Checked = true;
  void ProjectReset() override { Calls.push_back("reset"); }
  void GroupListsRefilled(const std::vector<std::string>& names) override;
  void GroupLoaded(const std::string& name) override { Calls.push_back("group " + name); }
  void MenuItemLoaded(int index, const TTRVMenuItem& entry) override {
    Calls.push_back("item " + std::to_string(index) + " level " + std::to_string(entry.Level));
  }
  void SetMenuSetting(bool useMenu) override {
    Checked = useMenu;
    Calls.push_back(useMenu ? "menu on" : "menu off");
  }
};

// Empty project without a view, native collation, fake files and message
// boxes.
class ProjectFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  TProject project;
  TFakeFiles files;
  TRecordingMessageBoxes boxes;
};

// Changes the project and back: the same content, with unsaved changes.
void MarkModified(TProject& project);

std::vector<TTRVMenuItem> Menu(std::initializer_list<std::pair<const char*, int>> textAndLevel);
std::string Describe(const std::vector<TTRVMenuItem>& items);  // "X0 P0 c1 ..."

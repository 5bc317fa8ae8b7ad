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

// Records what the model asked of the configuration window, one line each.
class TRecordingView : public IProjectView {
 public:
  std::vector<std::string> Calls;
  bool Checked = true;
  void ProjectReset() override { Calls.push_back("reset"); }
  void GroupListsRefilled(const std::vector<std::string>& names) override;
  void GroupLoaded(const std::string& name) override { Calls.push_back("group " + name); }
  void MenuItemLoaded(int index) override { Calls.push_back("item " + std::to_string(index)); }
  void SetMenuSetting(bool useMenu) override {
    Checked = useMenu;
    Calls.push_back(useMenu ? "menu on" : "menu off");
  }
  bool MenuSetting() const override { return Checked; }
};

// Empty project, native collation, fake files and message boxes.
class ProjectFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  TFakeFiles files;
  TRecordingMessageBoxes boxes;
};

std::vector<TTRVMenuItem> Menu(std::initializer_list<std::pair<const char*, int>> textAndLevel);
std::string Describe(const std::vector<TTRVMenuItem>& items);  // "X0 P0 c1 ..."

// The real configuration window in the test process, on its editor page,
// with an empty project: shared by the tests of the menu and group editors.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "config/MainForm.h"
#include "model/Platform.h"
#include "model/Project.h"
#include "model/ProjectFile.h"
#include "tests/win/WinTestSupport.h"

class TEditorFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UseNativePlatform();
    form = NewForm<TForm1>();
    form->Create();
    form->Show();
    form->ShowPage(PageCreate);
    Project().Reset();
  }

  void TearDown() override { form.reset(); }

  TProject& Project() { return form->Project; }

  // Clicks an enabled button as the mouse would.
  void Click(const char* button, TForm* on = nullptr) {
    HWND wnd = (on ? on : form.get())->Control(button).Handle;
    ASSERT_TRUE(IsWindowEnabled(wnd)) << button;
    SendMessageA(wnd, BM_CLICK, 0, 0);
  }
  bool Enabled(const char* control) { return IsWindowEnabled(form->Control(control).Handle); }

  void LoadText(const std::string& text) {
    WriteFileBytes(file, text);
    ASSERT_TRUE(LoadProject(Project(), file, true));
  }

  TTempFolder folder;
  const std::string file = folder / "projekt.trv";
  TFormPtr<TForm1> form;
};

// Type to find in the real TRV.EXE: the search opened from the popup by its
// key or at once by the switch, typed into, and the match it runs.
#include <gtest/gtest.h>

#include <objbase.h>

#include "shortcut/ShellLink.h"
#include "tests/win/LauncherTestSupport.h"

namespace {

class Search : public ::testing::Test {
 protected:
  void SetUp() override {
    log = PlaceRecorder(temp / "rec.exe");
    const std::string rec = Quoted(temp / "rec.exe");
    // "Ende" sits two submenus deep; "Kalender" holds "ende" too, but not
    // at a word's start, and comes first in the menu.
    WriteFileBytes(temp / "projekt.trv",
                   ProjectText({"[ExecGroups]", "Ende", Command(rec + " ende", "1"), "Kalender",
                                Command(rec + " kalender", "1"), "[MenuItems]", "0 2 Kalender", "0 0 Mehr", "1 0 Tief",
                                "2 1 Ende"}));
    project = Quoted(temp / "projekt.trv");
    // The first SetCursorPos of a process needs a GetCursorPos before it.
    POINT p;
    GetCursorPos(&p);
    SetCursorPos(cursor.x, cursor.y);
  }
  // The search window's field, once the window shows.
  HWND Field(TTrvProcess& trv) {
    HWND window = WaitForWindow(trv.Id(), "TarvoSearch");
    if (!window) return nullptr;
    RECT r;
    GetWindowRect(window, &r);
    EXPECT_EQ(r.left, cursor.x);
    EXPECT_EQ(r.top, cursor.y);
    return FindWindowExA(window, nullptr, "Edit", nullptr);
  }
  // Types the text into the field and waits until the list shows count rows.
  bool Type(HWND field, const char* text, LRESULT count) {
    for (const char* c = text; *c; ++c) PostChar(field, *c);
    HWND list = FindWindowExA(GetParent(field), nullptr, "ListBox", nullptr);
    return WaitUntil([&] { return SendMessageA(list, LB_GETCOUNT, 0, 0) == count; });
  }
  TTempFolder temp;
  std::string log, project;
  POINT cursor = {240, 180};
};

TEST_F(Search, TypedIntoTheFieldRunsTheFirstOrTheChosenMatch) {
  {
    // The popup's key opens the search at the popup's place; Enter runs the
    // first match, the one whose word starts with the query.
    TTrvProcess trv("/suchtaste " + project);
    HWND popup = WaitForWindow(trv.Id(), "#32768");
    ASSERT_TRUE(popup);
    {
      TRemoteProcess remote(trv.Id());
      const std::vector<TRemoteMenuItem> items = ReadRemoteMenu(remote, MenuOfPopupWindow(popup));
      ASSERT_GE(items.size(), 3u);
      EXPECT_EQ(items[items.size() - 2].Caption, "Suchen…\t#") << "the key, shown above the way out";
      EXPECT_EQ(items.back().Caption, "Ab&brechen");
    }
    PostChar(popup, '#');
    HWND field = Field(trv);
    ASSERT_TRUE(field);
    EXPECT_TRUE(WindowsOf(trv.Id(), "#32768").empty());
    ASSERT_TRUE(Type(field, "ende", 2));
    PostKey(field, VK_RETURN);
    EXPECT_EQ(trv.WaitExit(), 0u);
    EXPECT_EQ(Args(WaitForRecords(log, 1)), std::vector<std::string>{"ende"});
  }
  {
    // The switch opens it at once; Down chooses the second match.
    TTrvProcess trv("/SUCHEN " + project);
    HWND field = Field(trv);
    ASSERT_TRUE(field);
    EXPECT_TRUE(WindowsOf(trv.Id(), "#32768").empty());
    ASSERT_TRUE(Type(field, "ENDE", 2));
    PostKey(field, VK_DOWN);
    PostKey(field, VK_RETURN);
    EXPECT_EQ(trv.WaitExit(), 0u);
    EXPECT_EQ(Args(WaitForRecords(log, 2)), (std::vector<std::string>{"ende", "kalender"}));
  }
  {
    // Esc closes it and runs nothing.
    TTrvProcess trv("/suchen " + project);
    HWND field = Field(trv);
    ASSERT_TRUE(field);
    ASSERT_TRUE(Type(field, "kal", 1));
    PostKey(field, VK_ESCAPE);
    EXPECT_EQ(trv.WaitExit(), 0u);
  }
  {
    // Without the switch the key is no key of the popup's: the popup stays
    // until Esc, and no search shows.
    TTrvProcess trv(project);
    HWND popup = WaitForWindow(trv.Id(), "#32768");
    ASSERT_TRUE(popup);
    {
      TRemoteProcess remote(trv.Id());
      for (const TRemoteMenuItem& item : ReadRemoteMenu(remote, MenuOfPopupWindow(popup)))
        EXPECT_NE(item.Caption, "Suchen…\t#");
    }
    PostChar(popup, '#');
    PostKey(popup, VK_ESCAPE);
    EXPECT_EQ(trv.WaitExit(), 0u);
  }
  EXPECT_EQ(ReadRecords(log).size(), 2u);
}

// A folder's submenu is searched too, once the folder has been read: its
// link, a subfolder deep, is found and started as the shell starts it.
TEST_F(Search, FindsTheItemsOfAFoldersSubmenu) {
  const std::string folder = temp / "Ablage";
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA((folder + "\\Unterordner").c_str(), nullptr));
  ASSERT_HRESULT_SUCCEEDED(CoInitialize(nullptr));
  ASSERT_TRUE(CreateShellLink(temp / "rec.exe", folder + "\\Unterordner\\Tiefer Rekorder.lnk", "aus der ablage", "", "",
                              0, 0));
  CoUninitialize();
  WriteFileBytes(temp / "projekt.trv", ProjectText({"[ExecGroups]", "Ende", Command(Quoted(temp / "rec.exe") + " ende", "1"),
                                                    "[MenuItems]", "0 1 Ende", "0 0 Ablage " + Quoted(folder)}));
  TTrvProcess trv("/suchen " + project);
  HWND field = Field(trv);
  ASSERT_TRUE(field);
  ASSERT_TRUE(Type(field, "rekorder", 1));
  PostKey(field, VK_RETURN);
  EXPECT_EQ(Args(WaitForRecords(log, 1)), (std::vector<std::string>{"aus", "der", "ablage"}));
  EXPECT_EQ(trv.WaitExit(), 0u);
}

}  // namespace

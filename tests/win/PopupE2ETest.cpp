// TRV.EXE's popup menu, driven from this process: where it appears, its
// shape read inside the program, choices by keyboard and mouse, and what
// each choice runs.
#include <gtest/gtest.h>

#include "model/Codec.h"
#include "tests/win/LauncherTestSupport.h"

namespace {


class Popup : public ::testing::Test {
 protected:
  void SetUp() override {
    log = PlaceRecorder(temp / "rec.exe");
    rec = Quoted(temp / "rec.exe");
    // The first SetCursorPos of a process needs a GetCursorPos before it.
    POINT p;
    GetCursorPos(&p);
    SetCursorPos(cursor.x, cursor.y);
  }
  std::string Project(std::initializer_list<std::string> lines) {
    WriteFileBytes(temp / "projekt.trv", ProjectText(lines));
    return Quoted(temp / "projekt.trv");
  }
  // Starts TRV.EXE on the project and waits for its popup.
  HWND StartPopup(TTrvProcess& trv) {
    EXPECT_TRUE(trv.Started());
    return WaitForWindow(trv.Id(), "#32768");
  }
  std::string Shape(TTrvProcess& trv, HWND popup) {
    TRemoteProcess remote(trv.Id());
    EXPECT_TRUE(remote.Ok());
    return DescribeMenu(remote, MenuOfPopupWindow(popup));
  }
  TTempFolder temp;
  std::string log, rec;
  POINT cursor = {240, 180};
};

TEST_F(Popup, AppearsAtTheCursorAndEscRunsNothing) {
  TTrvProcess trv(Project({"[ExecGroups]", "G", Command(rec + " nie", "1"), "[MenuItems]", "0 1 &Start"}));
  HWND popup = StartPopup(trv);
  ASSERT_TRUE(popup);
  RECT r;
  GetWindowRect(popup, &r);
  EXPECT_EQ(r.left, cursor.x);
  EXPECT_EQ(r.top, cursor.y);
  PostKey(popup, VK_ESCAPE);
  EXPECT_EQ(trv.WaitExit(), 0u);
  EXPECT_TRUE(ReadRecords(log).empty());
}

TEST_F(Popup, LevelsZeroOneTwoOneZeroGiveTheTreeOfTheEditor) {
  TTrvProcess trv(Project({"[ExecGroups]", "[MenuItems]", "0 0 &Eins", "1 0 &Zwei", "2 0 &Drei", "1 0 &Vier",
                           "0 0 &Fünf"}));
  HWND popup = StartPopup(trv);
  ASSERT_TRUE(popup);
  EXPECT_EQ(Shape(trv, popup), "&Eins [&Zwei [&Drei] &Vier] &Fünf - Ab&brechen");
  PostKey(popup, VK_ESCAPE);
  EXPECT_EQ(trv.WaitExit(), 0u);
}

TEST_F(Popup, IsTidiedSeparatorsAndAccessKeys) {
  struct Case {
    std::vector<std::string> entries;
    const char* shape;
  };
  for (const Case& c : {Case{{}, "Ab&brechen"}, Case{{"0 0 Öffnen", "0 0 -"}, "Ö&ffnen - Ab&brechen"},
                        Case{{"0 0 -", "0 0 Neu", "0 0 -", "0 0 -", "0 0 Nochmal", "0 0 &Bild"},
                             "&Neu - N&ochmal &Bild - &Abbrechen"},
                        Case{{"0 0 \"Neu starten\"", "1 0 Neu", "1 0 -", "1 0 Nie"}, "&Neu starten [&Neu - N&ie] - Ab&brechen"}}) {
    std::string text = "[ExecGroups]\r\n[MenuItems]\r\n";
    for (const std::string& e : c.entries) text += e + "\r\n";
    WriteFileBytes(temp / "projekt.trv", text);
    TTrvProcess trv(Quoted(temp / "projekt.trv"));
    HWND popup = StartPopup(trv);
    ASSERT_TRUE(popup) << c.shape;
    EXPECT_EQ(Shape(trv, popup), c.shape);
    PostKey(popup, VK_ESCAPE);
    EXPECT_EQ(trv.WaitExit(), 0u) << c.shape;
  }
}

TEST_F(Popup, AKeyboardChoiceRunsItsGroupAfterTheMenuClosedAndWaitsForEachProgram) {
  TTrvProcess trv(Project({"[ExecGroups]", "Andere", Command(rec + " andere", "1"), "Start",
                           Command(rec + " /warte=600 \"a b\"", "1"), Command(rec + " zwei", "0"), "[MenuItems]",
                           "0 1 &Andere", "0 2 &Start"}));
  HWND popup = StartPopup(trv);
  ASSERT_TRUE(popup);
  PostKey(popup, 'S');
  ASSERT_TRUE(WaitWindowGone(popup));
  EXPECT_EQ(trv.WaitExit(), 0u);
  std::vector<TRecord> records = WaitForRecords(log, 2);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].Args, (std::vector<std::string>{"/warte=600", "a b"}));
  char folder[MAX_PATH] = "";
  GetCurrentDirectoryA(MAX_PATH, folder);
  EXPECT_EQ(records[0].Folder, folder);
  EXPECT_EQ(records[1].Args, std::vector<std::string>{"zwei"});
  EXPECT_GE(records[1].Start, records[0].End);
}

TEST_F(Popup, CancelAndEntriesWithoutAGroupRunNothing) {
  for (UINT key : {UINT('B'), UINT('L'), UINT(VK_ESCAPE)}) {
    TTrvProcess trv(Project({"[ExecGroups]", "G", Command(rec + " nie", "1"), "[MenuItems]", "0 0 &Leer",
                             "0 1 &Gruppe"}));
    HWND popup = StartPopup(trv);
    ASSERT_TRUE(popup);
    PostKey(popup, key);
    EXPECT_EQ(trv.WaitExit(), 0u) << key;
  }
  EXPECT_TRUE(ReadRecords(log).empty());
}

TEST_F(Popup, OpeningASubmenuRunsItsOwnersGroupEachTime) {
  TTrvProcess trv(Project({"[ExecGroups]", "Extras", Command(rec + " extras", "1"), "Kind",
                           Command(rec + " kind", "1"), "[MenuItems]", "0 1 &Extras", "1 2 &Kind"}));
  HWND popup = StartPopup(trv);
  ASSERT_TRUE(popup);
  PostKey(popup, 'E');
  EXPECT_EQ(Args(WaitForRecords(log, 1)), std::vector<std::string>{"extras"});
  // The group runs before the submenu shows. Back to the top level and
  // into the submenu again.
  ASSERT_TRUE(WaitForPopupCount(trv.Id(), 2));
  PostKey(popup, VK_ESCAPE);
  ASSERT_TRUE(WaitForPopupCount(trv.Id(), 1));
  PostKey(popup, 'E');
  EXPECT_EQ(Args(WaitForRecords(log, 2)), (std::vector<std::string>{"extras", "extras"}));
  PostKey(popup, 'K');
  EXPECT_EQ(trv.WaitExit(), 0u);
  EXPECT_EQ(Args(ReadRecords(log)), (std::vector<std::string>{"extras", "extras", "kind"}));
}

void Click(int x, int y, DWORD down, DWORD up) {
  INPUT input[3] = {};
  const int w = GetSystemMetrics(SM_CXSCREEN) - 1, h = GetSystemMetrics(SM_CYSCREEN) - 1;
  input[0].type = INPUT_MOUSE;
  input[0].mi.dx = x * 65535 / w;
  input[0].mi.dy = y * 65535 / h;
  input[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  input[1].type = INPUT_MOUSE;
  input[1].mi.dwFlags = down;
  input[2].type = INPUT_MOUSE;
  input[2].mi.dwFlags = up;
  SendInput(3, input, sizeof(INPUT));
}

// Waits until the thread showing the popup runs its menu loop with the mouse
// captured.
bool WaitForMenuLoop(HWND popup) {
  const DWORD thread = GetWindowThreadProcessId(popup, nullptr);
  for (int i = 0; i < 750; ++i) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (GetGUIThreadInfo(thread, &info) && (info.flags & GUI_INMENUMODE) && info.hwndCapture) return true;
    Sleep(20);
  }
  return false;
}

TEST_F(Popup, AClickElsewhereClosesItAndRunsNothing) {
  TTrvProcess trv(Project({"[ExecGroups]", "G", Command(rec + " nie", "1"), "[MenuItems]", "0 1 &Start"}));
  HWND popup = StartPopup(trv);
  ASSERT_TRUE(popup);
  // The popup window shows a moment before its menu loop takes the mouse; a
  // click in between would go to the desktop, which would then keep it.
  ASSERT_TRUE(WaitForMenuLoop(popup));
  Click(700, 600, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
  EXPECT_EQ(trv.WaitExit(), 0u);
  EXPECT_TRUE(ReadRecords(log).empty());
}

TEST_F(Popup, EitherMouseButtonChoosesAnItem) {
  for (DWORD button : {DWORD(MOUSEEVENTF_RIGHTDOWN), DWORD(MOUSEEVENTF_LEFTDOWN)}) {
    TTrvProcess trv(Project({"[ExecGroups]", "G", Command(rec + " gewählt", "1"), "[MenuItems]", "0 1 &Start"}));
    HWND popup = StartPopup(trv);
    ASSERT_TRUE(popup);
    RECT item = {};
    {
      TRemoteProcess remote(trv.Id());
      HMENU menu = MenuOfPopupWindow(popup);
      ASSERT_TRUE(remote.CallUser32("GetMenuItemRect", {0, reinterpret_cast<DWORD>(menu), 0, remote.Scratch()}));
      std::string bytes = remote.ReadScratch(sizeof item);
      memcpy(&item, bytes.data(), sizeof item);
    }
    ASSERT_TRUE(WaitForMenuLoop(popup));
    Click((item.left + item.right) / 2, (item.top + item.bottom) / 2, button,
          button == MOUSEEVENTF_RIGHTDOWN ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
    EXPECT_EQ(trv.WaitExit(), 0u);
  }
  EXPECT_EQ(Args(ReadRecords(log)), (std::vector<std::string>{"gewählt", "gewählt"}));
}

TEST_F(Popup, AnErrorInTheChosenGroupIsShownInTheErrorBox) {
  TTrvProcess trv(Project({"[ExecGroups]", "G", " 1 Text;Titel;Info;0", "[MenuItems]", "0 1 &Start"}));
  HWND popup = StartPopup(trv);
  ASSERT_TRUE(popup);
  PostKey(popup, 'S');
  TMessageBox box = WaitForMessageBox(trv.Id());
  ASSERT_TRUE(box.Window);
  EXPECT_EQ(box.Text, "'Info' ist kein gültiger Integerwert.");
  ASSERT_TRUE(PressButton(box, IDOK));
  EXPECT_EQ(trv.WaitExit(), 0u);
}

TEST_F(Popup, AMessageOfTheChosenGroupIsAnsweredAfterTheMenuClosed) {
  TTrvProcess trv(Project({"[ExecGroups]", "G", " 2 Starten?;Frage;1;0", " 6 \"Ja\":", Command(rec + " ja", "1"),
                           " 6 \"Nein\":", " 6 Verzweigungsende", "[MenuItems]", "0 1 &Start"}));
  HWND popup = StartPopup(trv);
  ASSERT_TRUE(popup);
  PostKey(popup, 'S');
  TMessageBox box = WaitForMessageBox(trv.Id());
  ASSERT_TRUE(box.Window);
  EXPECT_TRUE(WindowsOf(trv.Id(), "#32768").empty());
  ASSERT_TRUE(PressButton(box, IDYES));
  EXPECT_EQ(trv.WaitExit(), 0u);
  EXPECT_EQ(Args(ReadRecords(log)), std::vector<std::string>{"ja"});
}

}  // namespace

namespace {

// The per-user switch of the menus' icons, set for one test and taken back.
class TMenuIconsOff {
 public:
  TMenuIconsOff() {
    RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\VQ\\Tarvo", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr);
    const DWORD off = 0;
    RegSetValueExA(key_, "MenuIcons", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&off), sizeof off);
  }
  ~TMenuIconsOff() {
    RegDeleteValueA(key_, "MenuIcons");
    RegCloseKey(key_);
  }

 private:
  HKEY key_ = nullptr;
};

}  // namespace

TEST_F(Popup, EntriesThatStartAFileShowItsIconFromTheCacheAtOnceUnlessSwitchedOff) {
  const std::string project =
      Project({"[ExecGroups]", "Programm", Command(rec, "0"), "Fehlt", Command(Quoted(temp / "fehlt.exe"), "0"),
               "Meldung", " 1 Hallo;Titel;0;0", "[MenuItems]", "0 1 &Programm", "0 2 &Fehlt", "0 3 &Meldung",
               "0 0 &Untermen\xFC", "1 1 &Darin"});
  // Which items have a bitmap, the top level's then the submenu's, as
  // "P-----|D" (a letter for each item with one, "-" for each without).
  auto bitmaps = [&] {
    TTrvProcess trv(project);
    HWND popup = StartPopup(trv);
    std::string shown;
    if (!popup) return shown;
    auto describe = [&](HWND window) {
      TRemoteProcess remote(trv.Id());
      for (const TRemoteMenuItem& item : ReadRemoteMenu(remote, MenuOfPopupWindow(window)))
        shown += item.Bitmap ? (item.Caption.empty() ? "?" : item.Caption.substr(1, 1)) : "-";
    };
    describe(popup);
    // A submenu's icons are settled when it opens.
    PostKey(popup, 'U');
    if (WaitForPopupCount(trv.Id(), 2))
      for (HWND window : WindowsOf(trv.Id(), "#32768"))
        if (window != popup) {
          shown += "|";
          describe(window);
        }
    PostKey(popup, VK_ESCAPE);
    PostKey(popup, 'M');
    TMessageBox box = WaitForMessageBox(trv.Id());
    EXPECT_EQ(box.Text, "Hallo");
    // The worker's wake-up (WM_APP + 1), as any process may post it to the
    // hidden window that owns the menu, carries nothing the program takes.
    // Posted while the chosen group's message shows: Wine runs the menu's
    // own loop in win32u, which ignores a fault of the window procedure it
    // calls; the message box's loop does not.
    HWND owner = nullptr;
    while ((owner = FindWindowExA(nullptr, owner, "TarvoPopupOwner", nullptr)) != nullptr) {
      DWORD pid = 0;
      GetWindowThreadProcessId(owner, &pid);
      if (pid != trv.Id()) continue;
      for (LPARAM forged : {LPARAM(0), LPARAM(0x00400000)}) PostMessageA(owner, WM_APP + 1, 0, forged);
      break;
    }
    EXPECT_TRUE(owner);
    EXPECT_TRUE(box.Window && PressButton(box, IDOK));
    EXPECT_EQ(trv.WaitExit(), 0u);
    return shown;
  };
  // The first start looks the icons up after the menus show and keeps them.
  bitmaps();
  EXPECT_EQ(bitmaps(), "P-----|D");
  TMenuIconsOff off;
  EXPECT_EQ(bitmaps(), "------|-");
}

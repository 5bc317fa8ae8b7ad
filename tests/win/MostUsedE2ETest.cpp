// "Häufig Gewähltes zuerst" in the real popup of TRV.EXE: choices made in
// one start put their entries at the top of the next, counted in the
// user's folder and never in the project.
#include <gtest/gtest.h>

#include "launcher/MostUsed.h"
#include "tests/win/LauncherTestSupport.h"

namespace {

// The top level of the popup: captions, "-" for a separator, "[...]" after
// an item with a submenu.
std::string TopLevel(DWORD processId, HWND popup) {
  TRemoteProcess remote(processId);
  std::string s;
  for (const TRemoteMenuItem& item : ReadRemoteMenu(remote, MenuOfPopupWindow(popup))) {
    if (!s.empty()) s += ' ';
    s += item.Separator ? "-" : item.Caption + (item.Submenu ? "[...]" : "");
  }
  return s;
}

// The user's folder of the program's files, for this test alone: TRV.EXE
// inherits it.
class TLocalAppData {
 public:
  explicit TLocalAppData(const std::string& folder) {
    GetEnvironmentVariableA("LOCALAPPDATA", old_, MAX_PATH);
    SetEnvironmentVariableA("LOCALAPPDATA", folder.c_str());
  }
  ~TLocalAppData() { SetEnvironmentVariableA("LOCALAPPDATA", old_); }

 private:
  char old_[MAX_PATH] = "";
};

TEST(MostUsedPopup, TheEntriesChosenMostStandOnTopAndRunTheirGroups) {
  TTempFolder temp;
  const std::string log = PlaceRecorder(temp / "rec.exe"), rec = Quoted(temp / "rec.exe");
  TLocalAppData appData(temp.Path() + "Lokal");
  const std::string project = temp / "Projekt.trv";
  const std::string text = ProjectText({"[ExecGroups]", "Eins", Command(rec + " eins", "1"), "Zwei",
                                        Command(rec + " zwei", "1"), "Drei", Command(rec + " drei", "1"),
                                        "[MenuItems]", "0 1 &Eins", "0 0 &Mehr", "1 2 &Zwei", "1 3 &Drei"});
  WriteFileBytes(project, text);
  const std::string choices = temp / ("Lokal\\VQ\\Tarvo\\Gewählt\\" + ChoicesFileName(project));
  // The setting as the editor writes it, with a choice of "Drei" from before.
  TChoices before;
  before.Add("Drei", "Mehr › Drei", 1700000000);
  CreateDirectoryA((temp / "Lokal").c_str(), nullptr);
  CreateDirectoryA((temp / "Lokal\\VQ").c_str(), nullptr);
  CreateDirectoryA((temp / "Lokal\\VQ\\Tarvo").c_str(), nullptr);
  CreateDirectoryA((temp / "Lokal\\VQ\\Tarvo\\Gewählt").c_str(), nullptr);
  const std::string off = FormatChoices(before, project);
  WriteFileBytes(choices, off);

  // One start: the popup's top level, then the keys typed into it.
  auto start = [&](std::initializer_list<UINT> keys) {
    TTrvProcess trv(Quoted(project));
    HWND popup = WaitForWindow(trv.Id(), "#32768");
    if (!popup) return std::string("no popup");
    const std::string shape = TopLevel(trv.Id(), popup);
    for (UINT key : keys) PostKey(popup, key);
    EXPECT_EQ(trv.WaitExit(), 0u) << shape;
    return shape;
  };

  // Off: the menu as ever, and a choice counts nowhere.
  EXPECT_EQ(start({'M', 'Z'}), "&Eins &Mehr[...] - Ab&brechen");
  EXPECT_EQ(ReadFileBytes(choices), off);
  before.First = true;
  WriteFileBytes(choices, FormatChoices(before, project));

  // On: "Zwei" twice and "Eins" once in the menu, "Drei" long ago...
  EXPECT_EQ(start({'M', 'Z'}), "&Drei - &Eins &Mehr[...] - Ab&brechen");
  EXPECT_EQ(start({'M', 'Z'}), "&Zwei &Drei - &Eins &Mehr[...] - Ab&brechen");
  EXPECT_EQ(start({'E'}), "&Zwei &Drei - &Eins &Mehr[...] - Ab&brechen");
  // ...stand on top in that order; the first item runs its group.
  EXPECT_EQ(start({VK_DOWN, VK_RETURN}), "&Zwei &Eins &Drei - E&ins &Mehr[...] - Ab&brechen");
  EXPECT_EQ(Args(WaitForRecords(log, 5)), (std::vector<std::string>{"zwei", "zwei", "zwei", "eins", "zwei"}));
  // A choice on top counts for its entry: "Eins" twice more from there
  // passes "Zwei".
  EXPECT_EQ(start({'E'}), "&Zwei &Eins &Drei - E&ins &Mehr[...] - Ab&brechen");
  EXPECT_EQ(start({'E'}), "&Zwei &Eins &Drei - E&ins &Mehr[...] - Ab&brechen");
  EXPECT_EQ(start({VK_ESCAPE}), "&Eins &Zwei &Drei - E&ins &Mehr[...] - Ab&brechen");
  {
    // A choice in the search counts as one in the popup.
    TTrvProcess trv("/suchen " + Quoted(project));
    HWND window = WaitForWindow(trv.Id(), "TarvoSearch");
    ASSERT_TRUE(window);
    HWND field = FindWindowExA(window, nullptr, "Edit", nullptr);
    HWND list = FindWindowExA(window, nullptr, "ListBox", nullptr);
    for (char c : std::string("zwei")) PostChar(field, c);
    ASSERT_TRUE(WaitUntil([&] { return SendMessageA(list, LB_GETCOUNT, 0, 0) == 1; }));
    PostKey(field, VK_RETURN);
    EXPECT_EQ(trv.WaitExit(), 0u);
  }
  EXPECT_EQ(start({VK_ESCAPE}), "&Zwei &Eins &Drei - E&ins &Mehr[...] - Ab&brechen");
  EXPECT_EQ(Args(ReadRecords(log)),
            (std::vector<std::string>{"zwei", "zwei", "zwei", "eins", "zwei", "eins", "eins", "zwei"}));
  // A file that cannot be written costs the choice, never the run.
  SetFileAttributesA(choices.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(start({'Z'}), "&Zwei &Eins &Drei - E&ins &Mehr[...] - Ab&brechen");
  EXPECT_EQ(Args(WaitForRecords(log, 9)).back(), "zwei");
  SetFileAttributesA(choices.c_str(), FILE_ATTRIBUTE_NORMAL);
  // The project is as it was.
  EXPECT_EQ(ReadFileBytes(project), text);
}

}  // namespace

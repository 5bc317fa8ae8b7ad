// A menu entry that stands for a folder, in the real popup of TRV.EXE: its
// submenu read as it opens, as the user sees it, and an item chosen by key
// started as the shell starts it. And the folder reader of Windows itself.
#include <gtest/gtest.h>

#include <objbase.h>

#include <map>

#include "model/FolderReader_win.h"
#include "shortcut/ShellLink.h"
#include "tests/win/LauncherTestSupport.h"

namespace {

// The submenu of the top level's first item as it shows, once opened with
// key when key is not 0 and count menus are open.
std::string FirstSubmenu(TTrvProcess& trv, HWND popup, UINT key, size_t count) {
  if (key) PostKey(popup, key);
  EXPECT_TRUE(WaitForPopupCount(trv.Id(), count));
  TRemoteProcess remote(trv.Id());
  EXPECT_TRUE(remote.Ok());
  const std::vector<TRemoteMenuItem> top = ReadRemoteMenu(remote, MenuOfPopupWindow(popup));
  return top.empty() || !top[0].Submenu ? "" : DescribeMenu(remote, top[0].Submenu);
}

TEST(LiveFolderPopup, ShowsTheFolderWhenItsSubmenuOpensAndStartsTheChosenItemAsTheShellDoes) {
  TTempFolder temp;
  const std::string log = PlaceRecorder(temp / "rec.exe");
  const std::string folder = temp / "Ablage";
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA((folder + "\\Unterordner").c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA((folder + "\\Leer").c_str(), nullptr));
  for (const char* name : {"Bericht 10.txt", "Bericht 2.txt", "Unterordner\\drin.txt", "geheim.txt", "desktop.ini"})
    WriteFileBytes(folder + "\\" + name, "x");
  SetFileAttributesA((folder + "\\geheim.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
  ASSERT_HRESULT_SUCCEEDED(CoInitialize(nullptr));
  ASSERT_TRUE(CreateShellLink(temp / "rec.exe", folder + "\\Rekorder.lnk", "live eins", "", "", 0, 0));
  ASSERT_TRUE(CreateShellLink(temp / "rec.exe", folder + "\\Zweiter Rekorder.lnk", "zwei", "", "", 0, 0));
  CoUninitialize();
  WriteFileBytes(temp / "projekt.trv", ProjectText({"[ExecGroups]", "[MenuItems]", "0 0 Ablage " + Quoted(folder)}));
  POINT p;
  GetCursorPos(&p);
  SetCursorPos(240, 180);

  TTrvProcess trv(Quoted(temp / "projekt.trv"));
  ASSERT_TRUE(trv.Started());
  HWND popup = WaitForWindow(trv.Id(), "#32768");
  ASSERT_TRUE(popup);
  {
    // Before it opens, the folder is not read: the submenu is empty.
    TRemoteProcess remote(trv.Id());
    ASSERT_TRUE(remote.Ok());
    EXPECT_EQ(DescribeMenu(remote, MenuOfPopupWindow(popup)), "&Ablage [] - Ab&brechen");
  }
  // Folders first, then files, numbers by value; links without their
  // extension; hidden files and desktop.ini left out; subfolders read when
  // they open. A folder that answers only after the wait shows so until the
  // submenu opens again.
  const std::string expected =
      "&Leer [] &Unterordner [] &Bericht 2.txt B&ericht 10.txt &Rekorder &Zweiter Rekorder";
  std::string shown = FirstSubmenu(trv, popup, 'A', 2);
  for (int again = 0; again < 5 && shown == "{(Ordner antwortet nicht)}"; ++again) {
    PostKey(popup, VK_ESCAPE);
    ASSERT_TRUE(WaitForPopupCount(trv.Id(), 1));
    shown = FirstSubmenu(trv, popup, 'A', 2);
  }
  EXPECT_EQ(shown, expected);
  // An empty subfolder says so, in a line that cannot be chosen.
  EXPECT_EQ(FirstSubmenu(trv, popup, 'L', 3),
            "&Leer [{(Ordner ist leer)}] &Unterordner [] &Bericht 2.txt B&ericht 10.txt &Rekorder &Zweiter Rekorder");
  PostKey(popup, VK_ESCAPE);
  ASSERT_TRUE(WaitForPopupCount(trv.Id(), 2));
  // The link chosen by its key: started as the shell starts a link, with
  // the link's arguments.
  PostKey(popup, 'R');
  EXPECT_EQ(Args(WaitForRecords(log, 1)), (std::vector<std::string>{"live", "eins"}));
  EXPECT_EQ(trv.WaitExit(), 0u);
}

TEST(LiveFolderReader, ReadsAttributesAndTellsAMissingFolderFromAnUnreadableOne) {
  TTempFolder temp;
  ASSERT_TRUE(CreateDirectoryA((temp / "Ordner").c_str(), nullptr));
  WriteFileBytes(temp / "Datei.txt", "x");
  WriteFileBytes(temp / "versteckt.txt", "x");
  WriteFileBytes(temp / "system.dat", "x");
  SetFileAttributesA((temp / "versteckt.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
  SetFileAttributesA((temp / "system.dat").c_str(), FILE_ATTRIBUTE_SYSTEM);
  TWindowsFolderReader reader;
  TFolderListing listing = reader.Read(temp.Path().substr(0, temp.Path().size() - 1));
  EXPECT_EQ(listing.State, fsRead);
  std::map<std::string, std::string> items;
  for (const TFolderItem& item : listing.Items)
    items[item.Name] = std::string(item.IsFolder ? "d" : "") + (item.Hidden ? "h" : "") + (item.System ? "s" : "");
  EXPECT_EQ(items, (std::map<std::string, std::string>{
                       {"Datei.txt", ""}, {"Ordner", "d"}, {"system.dat", "s"}, {"versteckt.txt", "h"}}));
  EXPECT_EQ(reader.Read(temp / "Ordner").State, fsRead);
  EXPECT_TRUE(reader.Read(temp / "Ordner").Items.empty());
  EXPECT_EQ(reader.Read(temp / "Fehlt").State, fsMissing);
  EXPECT_EQ(reader.Read(temp / "Fehlt\\tiefer").State, fsMissing);
  EXPECT_EQ(reader.Read(temp / "Datei.txt").State, fsMissing) << "a file is no folder";
}

}  // namespace

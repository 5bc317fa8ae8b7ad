#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>

#include "launcher/LiveFolder.h"
#include "model/Platform.h"
#include "tests/core/InterpreterFakes.h"

namespace {

class TFakeFolderReader : public IFolderReader {
 public:
  std::map<std::string, TFolderListing> Folders;  // any other: missing
  TFolderListing Read(const std::string& folder) override {
    auto it = Folders.find(folder);
    return it == Folders.end() ? TFolderListing{fsMissing, {}} : it->second;
  }
  std::string FolderIdentity(const std::string& folder) override { return folder; }
};

// The submenu as text: folders in brackets, each item's caption; or the notice.
std::string Shown(const TLiveMenu& menu) {
  std::string s;
  for (const TLiveItem& item : menu.Items) {
    if (!s.empty()) s += ' ';
    s += item.IsFolder ? "[" + item.Caption + "]" : item.Caption;
  }
  return menu.Notice.empty() ? s : s + menu.Notice;
}

TEST(LiveFolder, TheSubmenuShowsTheFolderAsTheShellDoes) {
  UseNativePlatform();
  TFakeFolderReader reader;
  reader.Folders["C:\\Menü"] = {fsRead,
                                {{"Bericht 10.txt", false},
                                 {"bericht 2.txt", false},
                                 {"Zeta.exe", false},
                                 {"Projekt 10", true},
                                 {"projekt 9", true},
                                 {"Editor.lnk", false},
                                 {"Web.url", false},
                                 {"A&B.txt", false},
                                 {"desktop.ini", false},
                                 {"geheim.txt", false, true},
                                 {"System", true, false, true},
                                 {"", false, false, false, u"\u0416.txt"}}};
  reader.Folders["C:\\Menü\\projekt 9"] = {fsRead, {{"Plan.lnk", false}, {"Alt", true}}};
  reader.Folders["C:\\Leer"] = {fsRead, {{"desktop.ini", false, true, true}, {"Thumbs.db", false, true}}};
  reader.Folders["C:\\Gesperrt"] = {fsUnreadable, {}};
  reader.Folders["C:\\"] = {fsRead, {{"boot.ini", false}}};
  reader.Folders[""] = reader.Folders["C:\\"];  // as Windows reads "\*"
  const struct {
    const char* Folder;
    const char* Shown;
    const char* FirstPath;
  } rows[] = {
      // Folders first, then files; numbers by value, case ignored; links
      // and Internet shortcuts without their extension; hidden and system
      // items, desktop.ini and names the menu cannot hold left out.
      {"C:\\Menü", "[projekt 9] [Projekt 10] A&&B.txt bericht 2.txt Bericht 10.txt Editor Web Zeta.exe",
       "C:\\Menü\\projekt 9"},
      {"C:\\Menü\\", "[projekt 9] [Projekt 10] A&&B.txt bericht 2.txt Bericht 10.txt Editor Web Zeta.exe",
       "C:\\Menü\\projekt 9"},
      // A subfolder, as its own submenu opens.
      {"C:\\Menü\\projekt 9", "[Alt] Plan", "C:\\Menü\\projekt 9\\Alt"},
      {"C:\\Fehlt", "(Ordner nicht gefunden)", ""},
      {"C:\\Leer", "(Ordner ist leer)", ""},
      {"C:\\Gesperrt", "(Ordner nicht lesbar)", ""},
      {"C:\\", "boot.ini", "C:\\boot.ini"},
      // A folder named by what cannot be had.
      {"", "(Ordner nicht gefunden)", ""},
  };
  for (const auto& row : rows) {
    const TLiveMenu menu = LiveMenuOfFolder(reader, row.Folder, *Platform.Collation);
    EXPECT_EQ(Shown(menu), row.Shown) << row.Folder;
    EXPECT_EQ(menu.Items.empty() ? "" : menu.Items[0].Path, row.FirstPath) << row.Folder;
  }
}

// The search: a folder's files before its subfolders', each placed below
// the entry and opening its file, to the levels and the number given.
TEST(LiveFolder, TheSearchFindsTheFilesOfTheFolderAndOfItsSubfolders) {
  UseNativePlatform();
  TFakeFolderReader reader;
  reader.Folders["C:\\M"] = {fsRead,
                             {{"Tief", true},
                              {"b 10.txt", false},
                              {"B 2.txt", false},
                              {"Fest & Feier.lnk", false},
                              {"geheim.txt", false, true},
                              {"Fehlt", true}}};
  reader.Folders["C:\\M\\Tief"] = {fsRead, {{"Unten", true}, {"plan.txt", false}}};
  reader.Folders["C:\\M\\Tief\\Unten"] = {fsRead, {{"x.txt", false}}};
  const std::string all =
      "Ablage › B 2.txt=B 2.txt | Ablage › b 10.txt=b 10.txt | Ablage › Fest & Feier=Fest & Feier.lnk | "
      "Ablage › Tief › plan.txt=Tief\\plan.txt | Ablage › Tief › Unten › x.txt=Tief\\Unten\\x.txt";
  const struct {
    int Levels;
    size_t Limit;
    std::string Found;
  } rows[] = {
      {3, 100, all},
      {2, 100, all.substr(0, all.rfind(" | "))},
      {1, 100, all.substr(0, all.find(" | Ablage › Tief"))},
      {3, 2, all.substr(0, all.find(" | Ablage › Fest"))},
  };
  for (const auto& row : rows) {
    std::string found;
    for (const TSearchEntry& entry : FolderSearchEntries(reader, "C:\\M", "Ablage", *Platform.Collation, row.Levels,
                                                         row.Limit)) {
      EXPECT_EQ(entry.Place.substr(entry.Place.size() - entry.Text.size()), entry.Text);
      EXPECT_EQ(entry.Tag, 0);
      found += (found.empty() ? "" : " | ") + entry.Place + "=" + entry.Path.substr(5);
    }
    EXPECT_EQ(found, row.Found) << row.Levels << " levels, " << row.Limit << " at most";
  }
}

TEST(LiveFolder, NamesCompareAsTheShellSortsThem) {
  UseNativePlatform();
  const struct {
    const char *A, *B;
    int Order;
  } rows[] = {
      {"Datei2", "Datei10", -1},     {"Datei10", "Datei2", 1},   {"datei", "DATEI2", -1},
      {"abc", "ABD", -1},            {"x01", "x1", -1},           {"x1", "x1", 0},
      {"2019 Bilder", "Bilder", -1}, {"a9b", "a10a", -1},        {"a", "a1", -1},
      {"Teil 99999999999999999999", "Teil 100000000000000000000", -1},
  };
  // Names of equal value and text ("x01", "x1") are told apart by the
  // whole names, so that the order never depends on the sort.
  for (const auto& row : rows)
    EXPECT_EQ(CompareNamesLogically(row.A, row.B, *Platform.Collation), row.Order) << row.A << " / " << row.B;
}

TEST_F(InterpreterFixture, AChosenItemOfAFolderOpensAsTheShellOpensItExactly) {
  OpenLiveItem(host, project, "C:\\Menü\\Editor.lnk");
  OpenLiveItem(host, project, "C:\\Eigene Dateien\\A&B %PATH%.txt");
  EXPECT_EQ(host.Calls,
            (std::vector<std::string>{"open C:\\Menü\\Editor.lnk|", "open C:\\Eigene Dateien\\A&B %PATH%.txt|"}));
  EXPECT_EQ(LiveItemParams("C:\\a b\\x.lnk"), "\"\"\"C:\\a b\\x.lnk\"\"\";0;0;1");
}

// A folder that does not answer: the reading waits no longer than it is
// told, and the menu comes when the folder answers.
class TBlockingReader : public TFakeFolderReader {
 public:
  std::mutex Lock;
  std::condition_variable Released;
  bool Free = false;
  TFolderListing Read(const std::string& folder) override {
    std::unique_lock<std::mutex> lock(Lock);
    Released.wait(lock, [this] { return Free; });
    return TFakeFolderReader::Read(folder);
  }
};

TEST(LiveFolder, AFolderThatDoesNotAnswerKeepsNobodyWaiting) {
  UseNativePlatform();
  auto reader = std::make_shared<TBlockingReader>();
  reader->Folders["\\\\host\\freigabe"] = {fsRead, {{"Liste.txt", false}}};
  TFolderReading reading(reader, "\\\\host\\freigabe", *Platform.Collation);
  EXPECT_FALSE(reading.Wait(20));
  {
    std::lock_guard<std::mutex> lock(reader->Lock);
    reader->Free = true;
  }
  reader->Released.notify_all();
  ASSERT_TRUE(reading.Wait(10000));
  EXPECT_EQ(Shown(reading.Menu()), "Liste.txt");
  // A reading whose object is gone before the folder answers ends alone.
  auto stuck = std::make_shared<TBlockingReader>();
  {
    TFolderReading gone(stuck, "C:\\Fehlt", *Platform.Collation);
    EXPECT_FALSE(gone.Wait(0));
  }
  {
    std::lock_guard<std::mutex> lock(stuck->Lock);
    stuck->Free = true;
  }
  stuck->Released.notify_all();
}

}  // namespace

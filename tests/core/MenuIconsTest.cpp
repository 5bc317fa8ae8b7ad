#include <gtest/gtest.h>

#include <set>

#include "launcher/MenuIcons.h"
#include "tests/core/FakeRegistry.h"
#include "tests/core/IconCacheBytes.h"
#include "tests/core/InterpreterFakes.h"
#include "model/Text.h"

namespace {

// Files with their stamps; each extracted icon is one colour, the number of
// the file in Files, so that a test sees whose icon it got.
class TFakeIconPlatform : public IIconPlatform {
 public:
  // As Windows finds files: in any case.
  struct TNoCase {
    bool operator()(const std::string& a, const std::string& b) const { return UpperText(a) < UpperText(b); }
  };
  std::map<std::string, TFileStamp, TNoCase> Files;
  // The icon the shell gives: its size and pixel count; 0: as asked.
  int GivenSize = 0;
  size_t GivenPixels = 0;
  int Extractions = 0;
  int Stamps = 0;
  std::set<std::string> Asked;  // every path stamped or extracted
  bool Stamp(const std::string& path, TFileStamp& stamp) override {
    ++Stamps;
    Asked.insert(path);
    auto it = Files.find(path);
    if (it == Files.end()) return false;
    stamp = it->second;
    return true;
  }
  bool IsQuick(const std::string& path) override { return !IsNetworkPath(path) && !IsRemoteDrive(path); }
  // N: is a mapped network drive.
  bool IsRemoteDrive(const std::string& path) override { return path.compare(0, 2, "N:") == 0; }
  bool Extract(const std::string& path, int size, TIconPixels& icon) override {
    ++Extractions;
    Asked.insert(path);
    icon.Size = GivenSize ? GivenSize : size;
    icon.Pixels.assign(GivenSize ? GivenPixels : static_cast<size_t>(size * size), ColourOf(path));
    return true;
  }
  uint32_t ColourOf(const std::string& path) const {
    return static_cast<uint32_t>(std::distance(Files.begin(), Files.find(path)) + 1) * 0x01010101u;
  }
};

const std::string CacheFile = "C:\\Users\\Anna\\AppData\\Local\\VQ\\Tarvo\\MenuIcons.cache";

class MenuIcons : public InterpreterFixture {
 protected:
  void SetUp() override {
    InterpreterFixture::SetUp();
    host.Folder = "C:\\Tools\\Tarvo\\";
    host.Environment["WERKZEUGE"] = "C:\\Tools";
    for (const char* file : {"C:\\Tools\\app.exe", "C:\\Tools\\ziel.exe", "C:\\Docs\\Brief.txt", "C:\\Docs",
                             "C:\\Program Files\\Editor\\ed.exe", "C:\\Tools\\Tarvo\\hilfe.exe"})
      platform.Files[file] = {100, 10};
  }
  // The icon the store gives the group's entry: whose colour, "" for none.
  std::string ShownIcon(TIconStore& store, int32_t assignment) {
    const std::string target = GroupIconTarget(host, project, assignment);
    TIconPixels icon;
    if (target.empty() || !store.Lookup(target, icon)) return "";
    for (const auto& file : platform.Files)
      if (platform.ColourOf(file.first) == icon.Pixels.at(0)) return file.first;
    return "?";
  }
  TFakeIconPlatform platform;
};

TEST_F(MenuIcons, EachEntryShowsTheIconOfWhatItsGroupStartsFirst) {
  struct TCase {
    const char* What;
    std::vector<TExecLine> Lines;
    std::string Icon;
  };
  project.AddExecGroup({"Ziel", Lines({"4 Doppelklicken zum Bearbeiten", "0 C:\\Tools\\ziel.exe;0"})});
  project.AddExecGroup({"Weiter", Lines({"5 Ziel"})});
  const TCase cases[] = {
      {"kind 0", Lines({"0 C:\\Tools\\app.exe -x;1"}), "C:\\Tools\\app.exe"},
      {"a message before it", Lines({"1 Hallo;Titel;0;0", "0 C:\\Tools\\app.exe;0"}), "C:\\Tools\\app.exe"},
      {"a call first", Lines({"5 Ziel", "0 C:\\Tools\\app.exe;0"}), "C:\\Tools\\ziel.exe"},
      {"a call to a group that starts nothing", Lines({"5 Weiter", "0 C:\\Tools\\app.exe;0"}), "C:\\Tools\\app.exe"},
      {"a document", Lines({"0 C:\\Docs\\Brief.txt;0"}), "C:\\Docs\\Brief.txt"},
      {"a folder", Lines({"0 C:\\Docs;0"}), "C:\\Docs"},
      {"a missing file", Lines({"0 C:\\Tools\\fehlt.exe;0", "0 C:\\Tools\\app.exe;0"}), ""},
      {"%NAME%", Lines({"0 %WERKZEUGE%\\app.exe;0"}), "C:\\Tools\\app.exe"},
      {"a relative path", Lines({"0 .\\hilfe.exe;0"}), "C:\\Tools\\Tarvo\\hilfe.exe"},
      {"a path up", Lines({"0 ..\\..\\Docs\\Brief.txt;0"}), "C:\\Docs\\Brief.txt"},
      {"a quoted path with blanks", Lines({"0 \"\"\"C:\\Program Files\\Editor\\ed.exe\"\" a.txt\";0"}),
       "C:\\Program Files\\Editor\\ed.exe"},
      {"a group that starts nothing", Lines({"1 Hallo;Titel;0;0", "3 Ablauf beenden"}), ""},
      // A dropped file's exact line: its path as it stands, "%" and all.
      {"an exact line", Lines({"0 \"\"\"C:\\Program Files\\Editor\\ed.exe\"\" %WERKZEUGE%\";0;0;1"}),
       "C:\\Program Files\\Editor\\ed.exe"},
      {"an exact line, not expanded", Lines({"0 %WERKZEUGE%\\app.exe;0;0;1"}), ""},
      {"a second call after one that starts nothing", Lines({"5 Weiter", "5 Ziel", "0 C:\\Tools\\app.exe;0"}),
       "C:\\Tools\\app.exe"},
  };
  TIconStore store(platform, files, CacheFile, 16);
  for (const TCase& c : cases) {
    const int index = project.AddExecGroup({c.What, c.Lines});
    EXPECT_EQ(ShownIcon(store, index + 1), c.Icon) << c.What;
    // The editor's list shows a row's icon: a command's alone.
    for (const TExecLine& line : c.Lines)
      if (line.Kind != lkCommand) EXPECT_EQ(CommandIconTarget(host, line), "") << c.What << " " << line.Params;
  }
  EXPECT_EQ(ShownIcon(store, 0), "") << "no assignment";
  EXPECT_EQ(ShownIcon(store, 999), "") << "a group that is not there";
}

TEST_F(MenuIcons, AWarmCacheAnswersAtOnceAndAChangedOrDeletedTargetIsLookedUpAgain) {
  {
    TIconStore store(platform, files, CacheFile, 16);
    TIconPixels icon;
    EXPECT_EQ(store.Quick("C:\\Tools\\app.exe", icon), TIconStore::iaLater);
    ASSERT_TRUE(store.Lookup("C:\\Tools\\app.exe", icon));
    ASSERT_TRUE(store.Lookup("C:\\Docs", icon));
    store.Save();
  }
  ASSERT_EQ(platform.Extractions, 2);
  TIconStore store(platform, files, CacheFile, 16);
  TIconPixels icon;
  EXPECT_EQ(store.Quick("C:\\Tools\\app.exe", icon), TIconStore::iaIcon);
  EXPECT_EQ(icon.Pixels.at(0), platform.ColourOf("C:\\Tools\\app.exe"));
  EXPECT_EQ(store.Quick("C:\\TOOLS\\APP.EXE", icon), TIconStore::iaIcon) << "the same path in another case";
  EXPECT_EQ(platform.Extractions, 2);
  // At another size the same file is another icon.
  TIconStore larger(platform, files, CacheFile, 24);
  EXPECT_EQ(larger.Quick("C:\\Tools\\app.exe", icon), TIconStore::iaLater);

  platform.Files["C:\\Tools\\app.exe"].Size = 11;
  EXPECT_EQ(store.Quick("C:\\Tools\\app.exe", icon), TIconStore::iaLater);
  EXPECT_TRUE(store.Lookup("C:\\Tools\\app.exe", icon));
  EXPECT_EQ(platform.Extractions, 3);
  platform.Files.erase("C:\\Docs");
  EXPECT_EQ(store.Quick("C:\\Docs", icon), TIconStore::iaNone);
  store.Save();
  TIconCache saved;
  ASSERT_TRUE(saved.Load(files.Files[CacheFile]));
  EXPECT_EQ(saved.Count(), 1u) << "the deleted folder is forgotten";
  EXPECT_EQ(saved.Find("C:\\Tools\\app.exe", 16)->Stamp.Size, 11u);
}

TEST_F(MenuIcons, AFileOnAShareIsLeftToTheWorkerEvenWhenCached) {
  platform.Files["\\\\server\\share\\app.exe"] = {1, 1};
  TIconStore store(platform, files, CacheFile, 16, true);
  TIconPixels icon;
  ASSERT_TRUE(store.Lookup("\\\\server\\share\\app.exe", icon));
  const int stamps = platform.Stamps;
  EXPECT_EQ(store.Quick("\\\\server\\share\\app.exe", icon), TIconStore::iaLater);
  EXPECT_EQ(platform.Stamps, stamps);
}

TEST_F(MenuIcons, ADamagedCacheFileIsIgnoredAndRebuilt) {
  {
    TIconStore store(platform, files, CacheFile, 16);
    TIconPixels icon;
    store.Lookup("C:\\Tools\\app.exe", icon);
    store.Save();
  }
  const std::string good = files.Files[CacheFile];
  std::string flipped = good;
  flipped[good.size() / 2] ^= 0x40;
  // Valid files, but larger than any cache of ours: one the platform tells
  // the size of, which must not be read at all, and one read until it is
  // too large.
  TIconCache large;
  ASSERT_TRUE(large.Load(good));
  for (uint64_t i = 0; i <= MaxIconCacheFileSize / (256 * 256 * 4); ++i)
    large.Put("C:\\Gross\\" + std::to_string(i) + ".exe", {{1, 1}, {256, std::vector<uint32_t>(65536, 7)}});
  const std::string wrongSize = IconCacheFileOf(1, IconCacheEntry("C:\\TOOLS\\APP.EXE|16", 100, 10, 256, 0xFF0000FF));
  const struct {
    const char* What;
    std::string Bytes;
    uint64_t ToldSize;  // the size the platform tells; 0: none
  } cases[] = {
      {"cut short", good.substr(0, good.size() - 1), 0},
      {"a flipped bit", flipped, 0},
      {"the signature alone", "TRVICONS1", 0},
      {"zeros", std::string(14, '\0'), 0},
      {"told larger than a cache", good, MaxIconCacheFileSize + 1},
      {"read larger than a cache", large.Bytes(), 0},
      {"a 16-pixel key holding 256 x 256 pixels", wrongSize, 0},
  };
  for (const auto& c : cases) {
    files.Files[CacheFile] = c.Bytes;
    if (c.ToldSize) platform.Files[CacheFile] = {1, c.ToldSize};
    TIconStore store(platform, files, CacheFile, 16);
    TIconPixels icon;
    EXPECT_EQ(store.Quick("C:\\Tools\\app.exe", icon), TIconStore::iaLater) << c.What;
    EXPECT_TRUE(store.Lookup("C:\\Tools\\app.exe", icon)) << c.What;
    EXPECT_EQ(icon.Size, 16) << c.What;
    EXPECT_EQ(icon.Pixels.size(), 256u) << c.What;
    store.Save();
    EXPECT_EQ(files.Files[CacheFile], good) << c.What;
    platform.Files.erase(CacheFile);
  }
}

TEST_F(MenuIcons, ACacheThatCannotBeWrittenOrReadLeavesTheIconsComing) {
  files.FailWritesWith = 5;  // access denied
  TIconStore store(platform, files, CacheFile, 16);
  TIconPixels icon;
  EXPECT_TRUE(store.Lookup("C:\\Tools\\app.exe", icon));
  EXPECT_NO_THROW(store.Save());
  EXPECT_EQ(files.Files.count(CacheFile), 0u);
  EXPECT_TRUE(store.Lookup("C:\\Docs", icon)) << "still answering after the failed save";
}

TEST(MenuIconSwitch, IconsAreOnAndNetworkIconsOffUnlessTheUserOrElseTheMachineSaysOtherwise) {
  const std::string key = "Software\\VQ\\Tarvo";
  struct TCase {
    const char* Name;
    const char* User;
    const char* Machine;
    bool Wanted;
  } cases[] = {{"MenuIcons", nullptr, nullptr, true},    {"MenuIcons", "i0", nullptr, false},
               {"MenuIcons", nullptr, "i0", false},     {"MenuIcons", "i1", "i0", true},
               {"MenuIcons", "i0", "i1", false},        {"MenuIcons", "s0", nullptr, true},
               {"NetworkIcons", nullptr, nullptr, false}, {"NetworkIcons", "i1", nullptr, true},
               {"NetworkIcons", nullptr, "i1", true},   {"NetworkIcons", "i0", "i1", false},
               {"NetworkIcons", "s1", nullptr, false}};
  for (const TCase& c : cases) {
    TFakeRegistry registry;
    if (c.User) registry.Roots[rrCurrentUser].Keys[key][c.Name] = c.User;
    if (c.Machine) registry.Roots[rrLocalMachine].Keys[key][c.Name] = c.Machine;
    const bool wanted = std::string(c.Name) == "MenuIcons" ? MenuIconsWanted(registry) : NetworkIconsWanted(registry);
    EXPECT_EQ(wanted, c.Wanted) << c.Name << " " << (c.User ? c.User : "-") << " " << (c.Machine ? c.Machine : "-");
  }
}

TEST_F(MenuIcons, FilesOnTheNetworkShowNoIconAndTheirHostIsNeverAskedUnlessSwitchedOn) {
  const struct {
    const char* Path;
    bool NetworkIcons;
    TIconStore::TAnswer Quick;
    bool Shown;  // by the lookup, which asks the file's host
  } cases[] = {
      {"\\\\server\\share\\app.exe", false, TIconStore::iaNone, false},
      {"//server/share/app.exe", false, TIconStore::iaNone, false},
      {"\\\\?\\UNC\\server\\share\\app.exe", false, TIconStore::iaNone, false},
      {"N:\\app.exe", false, TIconStore::iaNone, false},
      {"\\\\server\\share\\app.exe", true, TIconStore::iaLater, true},
      {"N:\\app.exe", true, TIconStore::iaLater, true},
      {"C:\\Tools\\app.exe", false, TIconStore::iaLater, true},
  };
  for (const auto& c : cases) {
    platform.Files[c.Path] = {1, 1};
    platform.Asked.clear();
    TIconStore store(platform, files, CacheFile, 16, c.NetworkIcons);
    TIconPixels icon;
    EXPECT_EQ(store.Quick(c.Path, icon), c.Quick) << c.Path;
    EXPECT_EQ(store.Lookup(c.Path, icon), c.Shown) << c.Path;
    EXPECT_EQ(platform.Asked.count(c.Path), c.Shown ? 1u : 0u) << c.Path;
  }
}

}  // namespace

namespace {

TEST_F(MenuIcons, AFullCacheKeepsOnlyTheIconsOfItsLastRun) {
  // The icons of earlier runs, and those the save keeps with this run's new one.
  const std::pair<size_t, size_t> runs[] = {
      {MaxCachedIcons - 1, MaxCachedIcons}, {MaxCachedIcons, 2}, {MaxCachedIcons + 1, 2}};
  for (auto [earlier, kept] : runs) {
    TIconCache many;
    for (size_t i = 0; i < earlier; ++i)
      many.Put("C:\\Alt\\" + std::to_string(i) + ".exe", {{1, 1}, {16, std::vector<uint32_t>(256, 7)}});
    files.Files[CacheFile] = many.Bytes();
    TIconStore store(platform, files, CacheFile, 16);
    TIconPixels icon;
    platform.Files["C:\\Alt\\5.exe"] = {1, 1};
    EXPECT_EQ(store.Quick("C:\\Alt\\5.exe", icon), TIconStore::iaIcon);
    EXPECT_TRUE(store.Lookup("C:\\Tools\\app.exe", icon));
    store.Save();
    TIconCache saved;
    ASSERT_TRUE(saved.Load(files.Files[CacheFile]));
    EXPECT_EQ(saved.Count(), kept) << earlier;
    EXPECT_TRUE(saved.Find("C:\\Alt\\5.exe", 16));
    EXPECT_TRUE(saved.Find("C:\\Tools\\app.exe", 16));
  }
}

TEST_F(MenuIcons, AnIconFromTheShellNotOfTheSizeAskedIsNone) {
  // A menu's bitmap takes Size x Size pixels of the size asked: any other
  // icon would overrun it (MenuBitmap).
  const struct {
    const char* What;
    int Size;
    size_t Pixels;
  } given[] = {{"larger", 32, 32 * 32}, {"smaller", 8, 8 * 8}, {"too many pixels", 16, 32 * 32}, {"too few", 16, 16}};
  for (const auto& g : given) {
    platform.GivenSize = g.Size, platform.GivenPixels = g.Pixels;
    TIconStore store(platform, files, CacheFile, 16);
    TIconPixels icon;
    EXPECT_FALSE(store.Lookup("C:\\Tools\\app.exe", icon)) << g.What;
    EXPECT_EQ(icon.Size, 16) << g.What;
    EXPECT_TRUE(icon.Pixels.empty()) << g.What;
  }
}

}  // namespace

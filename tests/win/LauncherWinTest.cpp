// The interpreter's Win32 side in this process: starting and awaiting
// programs, the Windows folder, associated programs.
#include <gtest/gtest.h>


#include "framework/Application.h"
#include "launcher/Interpreter.h"
#include "launcher/LauncherHost_win.h"
#include "launcher/MenuIcons_win.h"
#include "launcher/MostUsed_win.h"
#include "model/Platform.h"
#include "model/Text.h"
#include "model/Wide.h"
#include "model/Wide_win.h"
#include "tests/win/LauncherTestSupport.h"

namespace {

class LauncherHostWin : public ::testing::Test {
 protected:
  void SetUp() override {
    Application.Initialize();
    PlaceRecorder(temp / "rec.exe");
  }
  std::string Recorder() { return "\"" + temp / "rec.exe" + "\""; }
  TTempFolder temp;
  TWinLauncherHost host;
};

int TimerTicks = 0;
void CALLBACK CountTick(HWND, UINT, UINT_PTR, DWORD) { ++TimerTicks; }

unsigned long long ThreadMilliseconds() {
  FILETIME created, exited, kernel, user;
  GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
  auto ms = [](FILETIME t) { return ((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000; };
  return ms(kernel) + ms(user);
}

TEST_F(LauncherHostWin, TheWaitHandlesMessagesAsTheyArriveAndSpendsNoProcessorTime) {
  TimerTicks = 0;
  UINT_PTR timer = SetTimer(nullptr, 0, 40, CountTick);
  unsigned long long before = ThreadMilliseconds();
  uint32_t code = host.StartAndWait(Recorder() + " /warte=800", TStartup());
  unsigned long long spent = ThreadMilliseconds() - before;
  KillTimer(nullptr, timer);
  EXPECT_EQ(code, 0u);
  ASSERT_EQ(ReadRecords(temp / "rec.log").size(), 1u);
  // Polling once a second would have handled the timer at most once.
  EXPECT_GE(TimerTicks, 5);
  // A busy wait would have used the processor for the whole 800 ms.
  EXPECT_LT(spent, 400u);
}

TEST_F(LauncherHostWin, ReturnsTheExitCodeOrNotStarted) {
  EXPECT_EQ(host.StartAndWait(Recorder() + " /exit=7", TStartup()), 7u);
  EXPECT_EQ(host.StartAndWait("\"" + temp / "fehlt.exe" + "\"", TStartup()), NotStarted);
  EXPECT_EQ(host.StartAndWait("", TStartup()), NotStarted);
  EXPECT_EQ(RunAndWait(host, temp / "kein Programm.unbekannt", TStartup()), NotStarted);
}

TEST_F(LauncherHostWin, KnowsTheWindowsFolderAndTheProgramsFolder) {
  std::string folder;
  ASSERT_TRUE(host.WindowsFolder(folder));
  char windows[MAX_PATH] = "";
  GetWindowsDirectoryA(windows, MAX_PATH);
  EXPECT_EQ(_stricmp(folder.c_str(), windows), 0) << folder;
  EXPECT_EQ(host.ExeFolder(), ExeFolder());
  EXPECT_TRUE(host.DirectoryExists(temp.Path()));
  EXPECT_FALSE(host.DirectoryExists(temp / "rec.exe"));
  EXPECT_FALSE(host.DirectoryExists(temp / "fehlt"));
}

TEST_F(LauncherHostWin, ADocumentOfNoKnownTypeHasNoAssociatedProgram) {
  WriteFileBytes(temp / "x.unbekannt", "x");
  EXPECT_EQ(host.AssociatedProgram(temp / "x.unbekannt"), "");
  EXPECT_EQ(host.AssociatedProgram(temp / "fehlt.unbekannt"), "");
}

TEST_F(LauncherHostWin, ReadsEnvironmentVariablesOfAnyLengthAndTellsAnEmptyOneFromAMissingOne) {
  const std::string longValue(5000, 'x');
  SetEnvironmentVariableA("TARVO_LANG", longValue.c_str());
  SetEnvironmentVariableA("TARVO_LEER", "");
  SetEnvironmentVariableA("TARVO_NICHT_GESETZT", nullptr);
  std::string value = "alt";
  EXPECT_TRUE(host.GetEnvironment("TARVO_LANG", value));
  EXPECT_EQ(value, longValue);
  // Names are looked up as Windows does, in any case.
  EXPECT_TRUE(host.GetEnvironment("tarvo_leer", value));
  EXPECT_EQ(value, "");
  EXPECT_FALSE(host.GetEnvironment("TARVO_NICHT_GESETZT", value));
  SetEnvironmentVariableA("TARVO_LANG", nullptr);
  SetEnvironmentVariableA("TARVO_LEER", nullptr);
}

// Variables come as Windows holds them, whatever the ANSI code page: one
// that Windows-1252 cannot hold ends the run with its name, never with a
// look-alike path; the icon cache then stays away from such a folder.
TEST_F(LauncherHostWin, VariablesComeExactlyOrAreRefusedByName) {
  const struct {
    const wchar_t* value;
    const char* narrow;  // nullptr: refused
  } cases[] = {
      {L"C:\\J\u00FCrgen\\\u20AC \u201Ex\u201C", "C:\\Jürgen\\€ „x“"},
      {L"C:\\Users\\\u0141ukasz", nullptr},
  };
  wchar_t localAppData[MAX_PATH] = L"";
  GetEnvironmentVariableW(L"LOCALAPPDATA", localAppData, MAX_PATH);
  for (const auto& c : cases) {
    SetEnvironmentVariableW(L"TARVO_ORDNER", c.value);
    SetEnvironmentVariableW(L"LOCALAPPDATA", c.value);
    std::string value;
    if (c.narrow) {
      EXPECT_TRUE(host.GetEnvironment("TARVO_ORDNER", value));
      EXPECT_EQ(value, c.narrow);
      EXPECT_EQ(IconCacheFile(), std::string(c.narrow) + "\\VQ\\Tarvo\\MenuIcons.cache");
    } else {
      try {
        host.GetEnvironment("TARVO_ORDNER", value);
        ADD_FAILURE() << "taken over as " << value;
      } catch (const EForeignText& e) {
        const std::u16string named = u"„Ł“ (U+0141)";
        EXPECT_NE(e.WideMessage().find(named), std::u16string::npos) << e.Message();
      }
      EXPECT_EQ(IconCacheFile(), "");
    }
  }
  SetEnvironmentVariableW(L"TARVO_ORDNER", nullptr);
  SetEnvironmentVariableW(L"LOCALAPPDATA", localAppData);
}

// A link may name the project in its short (8.3) spelling, the editor in
// its long one: every spelling counts in the one file, which keeps the
// long one.
TEST(MostUsedFile, EverySpellingOfAProjectCountsInOneFile) {
  TTempFolder temp;
  CreateDirectoryA((temp / "Alle Menüs").c_str(), nullptr);
  const std::string project = temp / "Alle Menüs\\Mein Projekt für alles.trv";
  WriteFileBytes(project, "");
  wchar_t shortName[MAX_PATH] = L"";
  ASSERT_GT(GetShortPathNameW(W(project).c_str(), shortName, MAX_PATH), 0u);
  std::string shortPath;
  ASSERT_TRUE(TryNarrow(shortName, shortPath));
  ASSERT_NE(shortPath, project);
  std::string path, file;
  ASSERT_TRUE(ChoicesFileOf(project, path, file));
  EXPECT_EQ(path, project);
  for (const std::string& spelling : {shortPath, temp / "Alle Menüs\\.\\MEIN PROJEKT FÜR ALLES.TRV"}) {
    std::string samePath, sameFile;
    ASSERT_TRUE(ChoicesFileOf(spelling, samePath, sameFile)) << spelling;
    EXPECT_EQ(sameFile, file) << spelling;
    EXPECT_EQ(UpperText(samePath), UpperText(project)) << spelling;
  }
}

}  // namespace

namespace {

// A 16-pixel icon whose first row holds these BGRA pixels (as icons carry
// them, not premultiplied) and is transparent elsewhere; with withAlpha
// false its colours are 24-bit and the mask alone says what shows.
HICON TestIcon(std::initializer_list<uint32_t> firstRow, bool withAlpha) {
  std::vector<uint32_t> pixels(16 * 16, 0);
  std::copy(firstRow.begin(), firstRow.end(), pixels.begin());
  std::vector<BYTE> mask(2 * 16, 0xFF);
  for (size_t x = 0; x < firstRow.size(); ++x)
    if (pixels[x] >> 24) mask[x / 8] &= static_cast<BYTE>(~(0x80 >> (x % 8)));
  if (!withAlpha)
    for (uint32_t& p : pixels) p &= 0xFFFFFF;
  BITMAPINFO info = {};
  info.bmiHeader = {sizeof info.bmiHeader, 16, -16, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP colour = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  std::copy(pixels.begin(), pixels.end(), static_cast<uint32_t*>(bits));
  HBITMAP maskBitmap = CreateBitmap(16, 16, 1, 1, mask.data());
  ICONINFO icon = {TRUE, 0, 0, maskBitmap, colour};
  HICON handle = CreateIconIndirect(&icon);
  DeleteObject(maskBitmap);
  DeleteObject(colour);
  return handle;
}

TEST(MenuIconPixels, IconsBecomePremultipliedPixelsWithTheirTransparency) {
  struct TCase {
    const char* What;
    bool WithAlpha;
    int Size;
  } cases[] = {{"alpha channel", true, 16}, {"mask only", false, 16}, {"alpha channel, stretched", true, 32}};
  for (const TCase& c : cases) {
    HICON icon = TestIcon({0xFF0000FFu, 0x80FF0000u, 0xFF00FF00u}, c.WithAlpha);
    TIconPixels pixels;
    ASSERT_TRUE(RenderIcon(icon, c.Size, pixels)) << c.What;
    DestroyIcon(icon);
    ASSERT_EQ(pixels.Size, c.Size);
    const int step = c.Size / 16;
    auto at = [&](int x, int y) { return pixels.Pixels[static_cast<size_t>(y * step * c.Size + x * step)]; };
    EXPECT_EQ(at(0, 0), 0xFF0000FFu) << c.What << ": opaque blue";
    EXPECT_EQ(at(2, 0), 0xFF00FF00u) << c.What << ": opaque green";
    EXPECT_EQ(at(5, 5), 0u) << c.What << ": transparent";
    // Half-transparent red, premultiplied; behind a mask it is either shown
    // or not, never black.
    const uint32_t half = at(1, 0);
    if (c.WithAlpha) {
      EXPECT_NEAR(double(half >> 24), 128.0, 2.0) << c.What;
      EXPECT_NEAR(double(half >> 16 & 0xFF), 128.0, 2.0) << c.What;
    } else {
      EXPECT_TRUE(half == 0xFFFF0000u || half == 0u) << std::hex << half;
    }
    EXPECT_EQ(half & 0xFFFF, 0u) << c.What << ": no green or blue";
  }
}

TEST(MenuIconPixels, AnIconMadeOfPixelsGivesThemBack) {
  TIconPixels original;
  original.Size = 16;
  original.Pixels.assign(16 * 16, 0);
  original.Pixels[0] = 0xFF204080u;
  original.Pixels[17] = 0x80402010u;  // premultiplied: alpha 128
  HICON icon = IconOfPixels(original);
  ASSERT_TRUE(icon);
  TIconPixels back;
  ASSERT_TRUE(RenderIcon(icon, 16, back));
  DestroyIcon(icon);
  EXPECT_EQ(back.Pixels[0], 0xFF204080u);
  EXPECT_EQ(back.Pixels[2], 0u);
  for (int shift : {0, 8, 16, 24})
    EXPECT_NEAR(double(back.Pixels[17] >> shift & 0xFF), double(original.Pixels[17] >> shift & 0xFF), 2.0) << shift;
}


// A platform whose drive S: does not answer until the test opens the gate;
// it says when it is gone, which is when the worker that owned it has ended.
struct TGate {
  HANDLE Open = CreateEventA(nullptr, TRUE, FALSE, nullptr), Waiting = CreateEventA(nullptr, TRUE, FALSE, nullptr),
         Gone = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  std::vector<std::string> Extracted;  // read once the platform is gone
};

class TGatedPlatform : public IIconPlatform {
 public:
  explicit TGatedPlatform(TGate& gate) : gate_(gate) {}
  ~TGatedPlatform() override { SetEvent(gate_.Gone); }
  bool Stamp(const std::string& path, TFileStamp& stamp) override {
    if (path[0] == 'S') SignalObjectAndWait(gate_.Waiting, gate_.Open, INFINITE, FALSE);
    stamp = {1, 1};
    return path[0] == 'S' || path[0] == 'D';
  }
  bool IsQuick(const std::string& path) override { return path[0] == 'D'; }
  bool IsRemoteDrive(const std::string&) override { return false; }
  bool Extract(const std::string& path, int size, TIconPixels& icon) override {
    gate_.Extracted.push_back(path);
    icon = {size, std::vector<uint32_t>(static_cast<size_t>(size) * size, 0xFF0000FFu)};
    return true;
  }

 private:
  TGate& gate_;
};

TEST(MenuIconLoader, WhenADriveDoesNotAnswerAtTheEndWhatWasFoundIsSavedAndTheWorkerTouchesNothingMore) {
  UseNativePlatform();
  TTempFolder temp;
  const std::string cache = temp / "MenuIcons.cache";
  static TGate gate;  // outlives the worker whatever happens
  int size = 0;
  {
    TIconLoader loader(nullptr, 0, cache, std::make_unique<TGatedPlatform>(gate), 200);
    size = loader.Size();
    loader.Request("S:\\stumm.exe");
    loader.Request("D:\\schnell.exe");
    loader.Start();
    ASSERT_EQ(WaitForSingleObject(gate.Waiting, 10000), WAIT_OBJECT_0);
  }
  TIconCache saved;
  ASSERT_TRUE(saved.Load(ReadFileBytes(cache)));
  EXPECT_EQ(saved.Count(), 1u);
  EXPECT_TRUE(saved.Find("D:\\schnell.exe", size));
  const std::string written = ReadFileBytes(cache);

  SetEvent(gate.Open);
  ASSERT_EQ(WaitForSingleObject(gate.Gone, 10000), WAIT_OBJECT_0);
  EXPECT_EQ(gate.Extracted, std::vector<std::string>{"D:\\schnell.exe"});
  EXPECT_EQ(ReadFileBytes(cache), written);
}

// What the popup and the search show of an icon: the cache's answer at
// once where looking cannot keep the user waiting, the worker's later, and
// nothing for a path the worker has not answered yet.
TEST(MenuIconBitmaps, TheCacheAnswersAtOnceTheWorkerLater) {
  UseNativePlatform();
  TTempFolder temp;
  const std::string cache = temp / "MenuIcons.cache";
  static TGate gate;
  SetEvent(gate.Open);
  const int size = SmallIconSize();
  TIconCache cached;
  cached.Put("D:\\schnell.exe", {{1, 1}, {size, std::vector<uint32_t>(static_cast<size_t>(size) * size, 0xFF00FF00u)}});
  WriteFileBytes(cache, cached.Bytes());
  TProject project;
  TWinLauncherHost host;
  TIconBitmaps bitmaps(project, host, nullptr, 0, cache, std::make_unique<TGatedPlatform>(gate));
  HBITMAP bitmap = nullptr;
  EXPECT_FALSE(bitmaps.Known("D:\\schnell.exe", false, bitmap)) << "not asked of the cache: the worker's";
  EXPECT_TRUE(bitmaps.Known("D:\\schnell.exe", true, bitmap));
  EXPECT_NE(bitmap, nullptr) << "the cache's icon";
  EXPECT_FALSE(bitmaps.Known("S:\\stumm.exe", true, bitmap)) << "a slow drive is the worker's";
  bitmaps.Start();
  std::vector<std::pair<std::string, HBITMAP>> arrived;
  ASSERT_TRUE(WaitUntil([&] {
    for (auto& a : bitmaps.Arrived()) arrived.push_back(a);
    return arrived.size() >= 2;
  }));
  for (const auto& a : arrived) EXPECT_NE(a.second, nullptr) << a.first;
  EXPECT_TRUE(bitmaps.Known("S:\\stumm.exe", false, bitmap));
  EXPECT_NE(bitmap, nullptr);
}

}  // namespace

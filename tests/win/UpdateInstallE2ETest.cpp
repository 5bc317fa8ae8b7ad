// A real self-update end to end: TRVTEST.EXE, installed as TRV.EXE in a
// folder whose name has a blank, finds the release that scripts/release.sh
// made of TRV.EXE's next version (signed with the test key) on nginx,
// downloads it and installs it at its end through the shipped Update.bat,
// and starts again as the new program.
#include <gtest/gtest.h>
#include <windows.h>
#include <psapi.h>

#include <memory>
#include <set>
#include <vector>

#include "tests/win/ConfigDriver.h"
#include "tests/win/WinTestSupport.h"
#include "update/StatusForm.h"

namespace {

const char* const Key = "Software\\VQ\\Tarvo";
const std::string Folder = "C:\\Program Files\\Tarvo Test\\";
const std::string Program = Folder + "TRV.EXE";

void SetServer(const std::string& value) {
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, Key, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr), 0);
  RegSetValueExA(key, "UpdateServer", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>(value.size() + 1));
  RegCloseKey(key);
}

// The FileVersion of the version resource, "" while the file cannot be read
// (as while it is being replaced).
std::string FileVersion(const std::string& path) {
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
  if (!size) return "";
  std::vector<char> info(size);
  if (!GetFileVersionInfoA(path.c_str(), 0, size, info.data())) return "";
  char* version = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(info.data(), "\\StringFileInfo\\040704E4\\FileVersion", reinterpret_cast<void**>(&version),
                      &length))
    return "";
  return version;
}

// The processes running this program file, by their image's full path.
std::vector<DWORD> ProcessesOf(const std::string& path) {
  std::vector<DWORD> found;
  DWORD ids[1024], bytes = 0;
  if (!EnumProcesses(ids, sizeof ids, &bytes)) return found;
  for (DWORD i = 0; i < bytes / sizeof(DWORD); ++i) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, ids[i]);
    if (!process) continue;
    char image[MAX_PATH] = "";
    DWORD length = MAX_PATH;
    if (QueryFullProcessImageNameA(process, 0, image, &length) && lstrcmpiA(image, path.c_str()) == 0)
      found.push_back(ids[i]);
    CloseHandle(process);
  }
  return found;
}

void EndProcesses(const std::string& path) {
  for (DWORD id : ProcessesOf(path)) {
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
    if (!process) continue;
    TerminateProcess(process, 1);
    WaitForSingleObject(process, 10000);
    CloseHandle(process);
  }
}

std::string TempFolder() {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  return temp;
}

// The installation folders of updates ("TRV-Update-..." in the temporary
// folder).
std::set<std::string> UpdateFolders() {
  std::set<std::string> folders;
  for (const std::string& name : FoundNames(TempFolder() + "TRV-Update-*", true))
    folders.insert(TempFolder() + name + "\\");
  return folders;
}

class SelfUpdate : public ::testing::Test {
 protected:
  void SetUp() override {
    port = ReadFileBytes(ExeFolder() + "nginx\\port");
    while (!port.empty() && (port.back() == '\n' || port.back() == '\r')) port.pop_back();
    ASSERT_FALSE(port.empty()) << "nginx runs (a CTest fixture)";
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) RegDeleteTreeA(root, Key);
    DeleteFileA(InstallReportPath().c_str());
    EndProcesses(Program);
    RemoveTree(Folder);
    ASSERT_TRUE(CreateDirectoryA(Folder.c_str(), nullptr));
    ASSERT_TRUE(CopyFileA((ExeFolder() + "testprograms\\TRVTEST.EXE").c_str(), Program.c_str(), FALSE));
    WriteFileBytes(Folder + "TRV.HTM", "alt");
    WriteFileBytes(Folder + "Eigene.txt", "bleibt");
    ASSERT_NE(FileVersion(Program), TARVO_NEXT_VERSION_TEXT);
    before = UpdateFolders();
  }
  void TearDown() override {
    trv.reset();
    EndProcesses(Program);
    RemoveTree(Folder);
  }

  void Click(const char* button) { PostMessageA(ControlHandle(wizard, button), BM_CLICK, 0, 0); }
  bool Shows(const char* control, const std::string& text, int timeoutMs = 20000) {
    return WaitUntil([&] { return ControlCaption(wizard, control) == text; }, timeoutMs);
  }

  // The installed program's wizard from the welcome to its finish, which
  // ends the program and restarts it once the update is installed.
  void UpdateThroughTheWizard() {
    trv.reset(new TConfigProcess(Program, "", nullptr));
    wizard = trv->WaitForWindow("TStatusForm");
    ASSERT_NE(wizard, nullptr) << "the reminder of a first start";
    Click("Button_Next");
    ASSERT_TRUE(Shows("Panel_Title", WizardTexts[wsCheck]));
    Click("Button_Check");
    ASSERT_TRUE(Shows("Panel_Title", WizardTexts[wsResult]));
    const std::string news = ControlCaption(wizard, "Label_CheckResult");
    EXPECT_NE(news.find("- 31.12.2099: Neue Version für den Test\r\n- Hinweis\r\n"), std::string::npos) << news;
    Click("Button_Next");
    ASSERT_TRUE(Shows("Label_Download", WizardTexts[wtDownloaded], 60000));
    Click("Button_Next");
    ASSERT_TRUE(Shows("Panel_Title", WizardTexts[wsInstall]));
    SendMessageA(ControlHandle(wizard, "CheckBox_Restart"), BM_SETCHECK, BST_CHECKED, 0);
    Click("Button_Next");
    ASSERT_TRUE(Shows("Panel_Title", WizardTexts[wsFinish])) << ControlCaption(wizard, "Label3");
    Click("Button_Next");
    ASSERT_TRUE(trv->WaitForExit(20000)) << "the finish ends the program";
  }

  // The folder holds the new program, which runs again; the update's files
  // are gone.
  void ExpectInstalledAndRestarted() {
    std::set<std::string> made;
    ASSERT_TRUE(WaitUntil(
        [&] {
          for (const std::string& folder : UpdateFolders())
            if (!before.count(folder)) made.insert(folder);
          return !made.empty();
        },
        20000));
    ASSERT_EQ(made.size(), 1u) << "one installation";
    // The script's last command empties it. Under Wine the folder itself
    // stays: cmd holds the running script. Windows removes it.
    ASSERT_TRUE(WaitUntil([&] { return CountFiles(*made.begin()) == 0; }, 60000)) << *made.begin();
    EXPECT_EQ(GetFileAttributesA((TempFolder() + "TRV.zip").c_str()), INVALID_FILE_ATTRIBUTES);

    EXPECT_EQ(FileVersion(Program), TARVO_NEXT_VERSION_TEXT);
    EXPECT_TRUE(ReadFileBytes(Folder + "TRV.HTM") == ReadFileBytes(ExeFolder() + "TRV.HTM"));
    EXPECT_EQ(ReadFileBytes(Folder + "Eigene.txt"), "bleibt");
    const std::vector<std::string> pictures = FoundNames(ExeFolder() + "TRV-*.png", false);
    ASSERT_FALSE(pictures.empty());
    for (const std::string& picture : pictures)
      EXPECT_TRUE(ReadFileBytes(Folder + picture) == ReadFileBytes(ExeFolder() + picture)) << picture;
    EXPECT_EQ(CountFiles(Folder), 3 + static_cast<int>(pictures.size()))
        << "the program, its help page and pictures, the user's own file";

    // The new program first says how the hidden script's work went.
    DWORD restarted = 0;
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
          for (DWORD id : ProcessesOf(Program)) {
            const std::vector<HWND> boxes = id != trv->Pid() ? WindowsOf(id, "#32770") : std::vector<HWND>();
            if (!boxes.empty()) restarted = id, box = boxes.front();
          }
          return box != nullptr;
        },
        30000))
        << "the new program runs and tells of the installation";
    EXPECT_EQ(MessageBoxText(box), "Das Update vom 31.12.2099 wurde installiert.");
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntil([&] { return !WindowsOf(restarted, "TForm1").empty(); }, 30000))
        << "then its window";
  }

  std::string port;
  std::set<std::string> before;
  std::unique_ptr<TConfigProcess> trv;
  HWND wizard = nullptr;
};

TEST_F(SelfUpdate, TheInstalledProgramBecomesTheReleasedOneAndStartsAgain) {
  SetServer("127.0.0.1:" + port);
  UpdateThroughTheWizard();
  ExpectInstalledAndRestarted();
}

TEST_F(SelfUpdate, TheArchiveIsFetchedThroughARedirectToAMirror) {
  SetServer("127.0.0.1:" + port + "/umgeleitet");
  UpdateThroughTheWizard();
  ExpectInstalledAndRestarted();
  const std::string log = ReadFileBytes(ExeFolder() + "nginx\\access.log");
  EXPECT_NE(log.find("\"GET /umgeleitet/Updates/TRV.zip HTTP/1.1\" 302 "), std::string::npos) << log;
  EXPECT_NE(log.find("\"GET /spiegel/TRV.zip HTTP/1.1\" 200 "), std::string::npos) << log;
}

}  // namespace

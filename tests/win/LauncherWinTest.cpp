// The interpreter's Win32 side in this process: starting and awaiting
// programs, the Windows folder, associated programs.
#include <gtest/gtest.h>

#include "framework/Application.h"
#include "launcher/Interpreter.h"
#include "launcher/LauncherHost_win.h"
#include "tests/win/LauncherTestSupport.h"

namespace {

class LauncherHostWin : public ::testing::Test {
 protected:
  void SetUp() override {
    Application.Initialize();
    UseWindowsLauncherHost();
    PlaceRecorder(temp / "rec.exe");
  }
  void TearDown() override { LauncherHost = nullptr; }
  std::string Recorder() { return "\"" + temp / "rec.exe" + "\""; }
  TTempFolder temp;
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
  uint32_t code = LauncherHost->StartAndWait(Recorder() + " /warte=800", swShowNormal);
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
  EXPECT_EQ(LauncherHost->StartAndWait(Recorder() + " /exit=7", swShowNormal), 7u);
  EXPECT_EQ(LauncherHost->StartAndWait("\"" + temp / "fehlt.exe" + "\"", swShowNormal), NotStarted);
  EXPECT_EQ(LauncherHost->StartAndWait("", swShowNormal), NotStarted);
  EXPECT_EQ(RunAndWait(temp / "kein Programm.unbekannt", swShowNormal), NotStarted);
}

TEST_F(LauncherHostWin, KnowsTheWindowsFolderAndTheProgramsFolder) {
  std::string folder;
  ASSERT_TRUE(LauncherHost->WindowsFolder(folder));
  char windows[MAX_PATH] = "";
  GetWindowsDirectoryA(windows, MAX_PATH);
  EXPECT_EQ(_stricmp(folder.c_str(), windows), 0) << folder;
  EXPECT_EQ(LauncherHost->ExeFolder(), ExeFolder());
  EXPECT_TRUE(LauncherHost->DirectoryExists(temp.Path()));
  EXPECT_FALSE(LauncherHost->DirectoryExists(temp / "rec.exe"));
  EXPECT_FALSE(LauncherHost->DirectoryExists(temp / "fehlt"));
}

TEST_F(LauncherHostWin, ADocumentOfNoKnownTypeHasNoAssociatedProgram) {
  WriteFileBytes(temp / "x.unbekannt", "x");
  EXPECT_EQ(LauncherHost->AssociatedProgram(temp / "x.unbekannt"), "");
  EXPECT_EQ(LauncherHost->AssociatedProgram(temp / "fehlt.unbekannt"), "");
}

TEST_F(LauncherHostWin, ReadsEnvironmentVariablesOfAnyLengthAndTellsAnEmptyOneFromAMissingOne) {
  const std::string longValue(5000, 'x');
  SetEnvironmentVariableA("TARVO_LANG", longValue.c_str());
  SetEnvironmentVariableA("TARVO_LEER", "");
  SetEnvironmentVariableA("TARVO_NICHT_GESETZT", nullptr);
  std::string value = "alt";
  EXPECT_TRUE(LauncherHost->GetEnvironment("TARVO_LANG", value));
  EXPECT_EQ(value, longValue);
  // Names are looked up as Windows does, in any case.
  EXPECT_TRUE(LauncherHost->GetEnvironment("tarvo_leer", value));
  EXPECT_EQ(value, "");
  EXPECT_FALSE(LauncherHost->GetEnvironment("TARVO_NICHT_GESETZT", value));
  SetEnvironmentVariableA("TARVO_LANG", nullptr);
  SetEnvironmentVariableA("TARVO_LEER", nullptr);
}

}  // namespace

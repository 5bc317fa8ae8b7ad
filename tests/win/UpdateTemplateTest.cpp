// The shipped install script template (resources/Update.bat), prepared by
// the program's own PrepareInstallScript from a release signed with the test
// key, and run by cmd against a program folder whose name holds a blank and
// the command processor's & ( ) ^ !: it waits for the program's lock,
// replaces the installed files, and puts the old ones back when one cannot
// be replaced.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <vector>

#include "tests/win/SignedRelease.h"
#include "tests/win/WinTestSupport.h"
#include "update/InstallScript_win.h"
#include "update/Signature_win.h"
#include "update/UpdateInfo_win.h"

namespace {

// A file held open as the running program holds its lock (share 0: no one
// else may open, change or delete it), or with reading shared: it can be
// copied, but neither replaced nor renamed over.
class THeldFile {
 public:
  explicit THeldFile(const std::string& path, DWORD share = 0)
      : handle_(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr)) {}
  ~THeldFile() { Release(); }
  bool Held() const { return handle_ != INVALID_HANDLE_VALUE; }
  void Release() {
    if (Held()) CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE handle_;
};

class UpdateTemplate : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(SignedReleasesRoot().empty()) << "started by CTest with the signed releases";
    program = temp / "Tarvo & (Test) ^ !\\";
    ASSERT_TRUE(CreateDirectoryA(program.c_str(), nullptr));
    WriteFileBytes(program + "TRV.EXE", "alt-exe");
    WriteFileBytes(program + "TRV.HTM", "alt-htm");
    WriteFileBytes(program + "Eigene.txt", "bleibt");

    ASSERT_TRUE(CopyFileA((SignedReleaseFolder("vorlage-echt") + "TRV.zip").c_str(), (temp / "TRV.zip").c_str(),
                          FALSE));
    TIniUpdateInfo info(SignedReleaseFolder("vorlage-echt") + "Updates.ini");
    TInstallRequest request;
    request.TempDir = temp.Path();
    request.ArchivePath = temp / "TRV.zip";
    request.Info = &info;
    request.ProgramName = "TRV";
    request.ProgramPath = program + "TRV.EXE";
    request.ProgramDate = 46364.5;  // 8.12.2026 at noon: the release is newer
    request.ProcessId = GetCurrentProcessId();
    request.AcceptedKeys = AcceptedReleaseKeys();
    request.ReportPath = report = temp / "Bericht\\Update.log";
    TInstallPreparation preparation = PrepareInstallScript(request);
    ASSERT_EQ(preparation.Result, TInstallPreparation::ipPrepared) << preparation.Error;
    script = preparation.ScriptPath;
    update = script.substr(0, script.size() - std::string("Update.bat").size());
    // The program holds the script until it ends; here cmd runs it at once.
    preparation.Script.reset();
    // Of the two installed files the update replaces, the one it goes to
    // first and the other.
    // "dir" lists them as FindFirstFile finds them.
    for (const std::string& name : FoundNames(update + "*", false))
      if (name == "TRV.EXE" || name == "TRV.HTM") (first.empty() ? first : second) = name;
    ASSERT_FALSE(second.empty());
  }

  // cmd started on the prepared script, as the program's end starts it.
  void Start() {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    std::wstring command = InstallScriptCommandLine(script);
    ASSERT_TRUE(CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                               &startup, &process));
    CloseHandle(process.hThread);
  }
  // Its exit code once it has ended within the time, else STILL_ACTIVE.
  DWORD Finish(DWORD milliseconds = 60000) {
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(process.hProcess, milliseconds) == WAIT_OBJECT_0) GetExitCodeProcess(process.hProcess, &code);
    return code;
  }
  void TearDown() override {
    if (process.hProcess) {
      TerminateProcess(process.hProcess, 1);
      CloseHandle(process.hProcess);
    }
  }

  // The script run while the second installed file is held: the old files
  // stay, and the update folder goes all the same.
  void RunWithSecondFileHeld(DWORD share) {
    THeldFile held(program + second, share);
    ASSERT_TRUE(held.Held());
    Start();
    EXPECT_NE(Finish(), STILL_ACTIVE);
    held.Release();
    ExpectOldFiles();
    EXPECT_EQ(CountFiles(update), 0);
  }

  // What the next start reads of the script's end.
  TInstallOutcome Outcome() { return ReadInstallReport(ReadFileBytes(report)).Outcome; }

  void ExpectOldFiles() {
    EXPECT_EQ(ReadFileBytes(program + "TRV.EXE"), "alt-exe");
    EXPECT_EQ(ReadFileBytes(program + "TRV.HTM"), "alt-htm");
    EXPECT_EQ(ReadFileBytes(program + "Eigene.txt"), "bleibt");
    EXPECT_EQ(CountFiles(program), 3) << "no file added, no copy left beside";
  }

  TTempFolder temp;
  std::string program, script, update, report;
  std::string first, second;
  PROCESS_INFORMATION process = {};
};

TEST_F(UpdateTemplate, TheNewFilesReplaceTheInstalledOnesAndTheUpdateFolderIsEmptied) {
  Start();
  EXPECT_NE(Finish(), STILL_ACTIVE);
  EXPECT_EQ(ReadFileBytes(program + "TRV.EXE"), "neu-exe");
  EXPECT_EQ(ReadFileBytes(program + "TRV.HTM"), "neu-htm");
  EXPECT_EQ(ReadFileBytes(program + "TRV-Neu.png"), "neu-png");
  EXPECT_EQ(ReadFileBytes(program + "Eigene.txt"), "bleibt");
  EXPECT_EQ(CountFiles(program), 4) << "no copy left beside, no script";
  EXPECT_EQ(Outcome(), irInstalled);
  // No second command processor: it would run the user's AutoRun, which
  // Wine's cmd does not know of.
  EXPECT_EQ(ReadFileBytes(script).find("for /f"), std::string::npos);
  EXPECT_NE(InstallScriptCommandLine(script).find(L"cmd.exe\" /d /c "), std::wstring::npos);
  // Under Wine the folder itself stays: cmd holds the running script.
  EXPECT_EQ(CountFiles(update), 0);
}

TEST_F(UpdateTemplate, NothingIsTouchedWhileTheProgramHoldsItsLock) {
  THeldFile lock(update + InstallLockName);
  ASSERT_TRUE(lock.Held());
  Start();
  EXPECT_EQ(Finish(3000), STILL_ACTIVE) << "the script waits";
  ExpectOldFiles();
  EXPECT_EQ(Outcome(), irPending) << "the start after it tells nothing yet";
  lock.Release();
  EXPECT_NE(Finish(), STILL_ACTIVE);
  EXPECT_EQ(ReadFileBytes(program + "TRV.EXE"), "neu-exe");
  EXPECT_EQ(CountFiles(update), 0);
}

// An installed file held without sharing cannot even be copied aside:
// nothing is touched.
TEST_F(UpdateTemplate, AnInstalledFileThatCannotBeCopiedLeavesAllUntouched) {
  RunWithSecondFileHeld(0);
  EXPECT_EQ(Outcome(), irBackupFailed);
}

// Held with reading shared, it is copied aside but not replaced: the one
// replaced before it goes back.
TEST_F(UpdateTemplate, AFileThatCannotBeReplacedPutsBackTheOnesThatWere) {
  RunWithSecondFileHeld(FILE_SHARE_READ);
  EXPECT_EQ(Outcome(), irTakenBack);
}

TEST_F(UpdateTemplate, WhenPuttingBackFailsTooTheUpdateFolderKeepsTheOldFiles) {
  THeldFile held(program + second, FILE_SHARE_READ);
  // The name the replaced file is put back under before it is renamed.
  THeldFile putBack(program + first + ".alt");
  ASSERT_TRUE(held.Held() && putBack.Held());
  Start();
  EXPECT_EQ(Finish(), 2u);
  held.Release();
  putBack.Release();
  EXPECT_EQ(ReadFileBytes(program + first), first == "TRV.EXE" ? "neu-exe" : "neu-htm");
  EXPECT_EQ(ReadFileBytes(update + "TRV-Sicherung\\TRV.EXE"), "alt-exe");
  EXPECT_EQ(ReadFileBytes(update + "TRV-Sicherung\\TRV.HTM"), "alt-htm");
  EXPECT_NE(GetFileAttributesA(script.c_str()), INVALID_FILE_ATTRIBUTES) << "the program's removal skipped";
  const TInstallReport told = ReadInstallReport(ReadFileBytes(report));
  EXPECT_EQ(told.Outcome, irRestoreFailed);
  EXPECT_NE(InstallReportMessage(told).find(update + "TRV-Sicherung"), std::string::npos);
}

}  // namespace

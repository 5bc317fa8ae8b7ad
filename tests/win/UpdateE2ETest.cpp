// The update component and wizard end to end: TRVTEST.EXE (TRV.EXE that
// also accepts the tests' key) in a Wine prefix whose reminder is on,
// talking through WinINet to the local update server, which serves the
// releases that openssl signed for the tests.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>

#include "tests/win/ConfigDriver.h"
#include "tests/win/LauncherTestSupport.h"
#include "tests/win/SignedRelease.h"
#include "tests/win/WinTestSupport.h"
#include "update/ReleaseSignature.h"
#include "update/StatusForm.h"

namespace {

// TRVTEST.EXE is built apart from TRV.EXE (never packed with it).
std::string TestProgramFolder() { return ExeFolder() + "testprograms\\"; }
std::string TestProgram() { return TestProgramFolder() + "TRVTEST.EXE"; }

const char* const Key = "Software\\VQ\\Tarvo";

bool HasValue(HKEY root, const char* name, DWORD* type = nullptr, std::string* data = nullptr) {
  HKEY key;
  if (RegOpenKeyExA(root, Key, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  char buffer[1024];
  DWORD size = sizeof buffer, kind = 0;
  const bool found = RegQueryValueExA(key, name, nullptr, &kind, reinterpret_cast<BYTE*>(buffer), &size) == 0;
  RegCloseKey(key);
  if (found && type) *type = kind;
  if (found && data) data->assign(buffer, size);
  return found;
}

void SetValue(const char* name, const std::string& value) {
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, Key, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr), 0);
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>(value.size() + 1));
  RegCloseKey(key);
}

std::string Text(int index) { return WizardTexts[index]; }

class UpdateWizard : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(SignedReleasesRoot().empty()) << "started by CTest with the signed releases";
    site = ExeFolder() + "update-server\\site\\";
    port = ReadFileBytes(ExeFolder() + "update-server\\port");
    while (!port.empty() && (port.back() == '\n' || port.back() == '\r')) port.pop_back();
    ASSERT_FALSE(port.empty()) << "the update server runs";
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) RegDeleteTreeA(root, Key);
    // An earlier test's installation would be reported first.
    DeleteFileA(InstallReportPath().c_str());
    SetValue("UpdateServer", "127.0.0.1:" + port);
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    marker = std::string(temp) + "trv-update-marker.txt";
    DeleteFileA(marker.c_str());
    DeleteFileA((std::string(temp) + "TRV.zip").c_str());
    DeleteFileA((site + "Updates.ini").c_str());
  }
  void TearDown() override { DeleteFileA((site + "Updates.ini").c_str()); }

  // The release's section (one of its signed .ini files) and archive on
  // the server.
  void Publish(const std::string& release, const std::string& ini = "Updates.ini") {
    CreateDirectoryA((site + "Updates").c_str(), nullptr);
    ASSERT_TRUE(CopyFileA((SignedReleaseFolder(release) + ini).c_str(), (site + "Updates.ini").c_str(), FALSE));
    ASSERT_TRUE(
        CopyFileA((SignedReleaseFolder(release) + "TRV.zip").c_str(), (site + "Updates\\TRV.zip").c_str(), FALSE));
  }
  // TRVTEST.EXE (or another program) started, with its wizard when one is
  // due.
  void Start(const std::string& arguments = "", bool wizardExpected = true, const std::string& exe = TestProgram()) {
    trv.reset(new TConfigProcess(exe, arguments, nullptr));
    if (wizardExpected) {
      wizard = trv->WaitForWindow("TStatusForm");
      ASSERT_NE(wizard, nullptr);
    }
  }
  void Click(const char* button) { PostMessageA(ControlHandle(wizard, button), BM_CLICK, 0, 0); }
  std::string Caption(const char* control) { return ControlCaption(wizard, control); }
  bool Shows(const char* control, const std::string& text, int timeoutMs = 15000) {
    return WaitUntil([&] { return Caption(control) == text; }, timeoutMs);
  }
  // Welcome, check, result.
  void CheckForUpdates() {
    Click("Button_Next");
    ASSERT_TRUE(Shows("Panel_Title", Text(wsCheck)));
    Click("Button_Check");
    ASSERT_TRUE(Shows("Panel_Title", Text(wsResult)));
  }
  void Download() {
    CheckForUpdates();
    Click("Button_Next");
    ASSERT_TRUE(Shows("Panel_Title", Text(wsDownload)));
  }
  void PressCtrlU() {
    SetForegroundWindow(trv->MainWindow());
    INPUT keys[4] = {};
    for (INPUT& k : keys) k.type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[3].ki.wVk = VK_CONTROL;
    keys[1].ki.wVk = keys[2].ki.wVk = 'U';
    keys[2].ki.dwFlags = keys[3].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(4, keys, sizeof keys[0]);
  }

  std::string site, port, marker;
  std::unique_ptr<TConfigProcess> trv;
  HWND wizard = nullptr;
};

TEST_F(UpdateWizard, AFirstStartNotesTheProgramAndRemindsAtOnce) {
  Start();
  std::string name;
  ASSERT_TRUE(HasValue(HKEY_LOCAL_MACHINE, "ApplicationFileName", nullptr, &name));
  EXPECT_EQ(name, "\"" + TestProgram() + "\"" + std::string(1, '\0'));
  EXPECT_EQ(trv->FindWindowOfClass("TForm1"), nullptr) << "the reminder comes before the window";
  Click("Button_Cancel");
  EXPECT_NE(trv->WaitForWindow("TForm1"), nullptr);
  EXPECT_FALSE(HasValue(HKEY_LOCAL_MACHINE, "Update")) << "a wizard closed early writes no reminder date";
}

TEST_F(UpdateWizard, NoUpdateMeansNoReminderButCtrlUStillOpensTheWizard) {
  SetValue("NoUpdate", "");
  Start("", false);
  ASSERT_NE(trv->WaitForWindow("TForm1"), nullptr);
  EXPECT_EQ(trv->FindWindowOfClass("TStatusForm"), nullptr);
  PressCtrlU();
  EXPECT_NE(trv->WaitForWindow("TStatusForm"), nullptr);
}

TEST_F(UpdateWizard, OnlyUpdateShowsTheWizardAndEndsWithoutTheWindow) {
  SetValue("OnlyUpdate", "");
  SetValue("NoUpdate", "");
  Start();
  Click("Button_Cancel");
  EXPECT_TRUE(trv->WaitForExit(15000));
  EXPECT_EQ(trv->FindWindowOfClass("TForm1", false), nullptr);
}

TEST_F(UpdateWizard, UninstallWritesNothingAndShowsNothing) {
  Start("/uninstall", false);
  ASSERT_NE(trv->WaitForWindow("TForm1"), nullptr);
  PressCtrlU();
  EXPECT_FALSE(WaitUntil([&] { return trv->FindWindowOfClass("TStatusForm") != nullptr; }, 2000));
  EXPECT_FALSE(HasValue(HKEY_LOCAL_MACHINE, "ApplicationFileName"));
  EXPECT_FALSE(HasValue(HKEY_CURRENT_USER, "ApplicationFileName"));
}

TEST_F(UpdateWizard, ANewerReleaseIsCheckedDownloadedAndInstalledAtProgramEnd) {
  Publish("neu");
  Start();
  CheckForUpdates();
  const std::string result = Caption("Label_CheckResult");
  EXPECT_NE(result.find("- 31.12.2099: Neue Befehle, schneller\r\n- Hinweis\r\n"), std::string::npos) << result;
  EXPECT_EQ(result.find("Alte Meldung"), std::string::npos) << "news older than the program are left out";
  Click("Button_Next");
  ASSERT_TRUE(Shows("Label_Download", Text(wtDownloaded)));
  EXPECT_EQ(Caption("PerCent"), "100 %");
  EXPECT_EQ(Caption("StatusLabel"), "5 MB von 5 MB gedownloadet");
  EXPECT_FALSE(IsWindowVisible(ControlHandle(wizard, "CancelDownload")));
  {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    EXPECT_EQ(GetFileAttributesA((std::string(temp) + "TRV.zip").c_str()), INVALID_FILE_ATTRIBUTES)
        << "downloaded under a name of this run's own";
  }
  Click("Button_Next");
  ASSERT_TRUE(Shows("Panel_Title", Text(wsInstall)));
  SendMessageA(ControlHandle(wizard, "CheckBox_Restart"), BM_SETCHECK, BST_UNCHECKED, 0);
  Click("Button_Next");
  ASSERT_TRUE(Shows("Panel_Title", Text(wsFinish)));
  EXPECT_EQ(TextOf(ControlHandle(wizard, "Button_Next")), "Beenden");
  EXPECT_FALSE(IsWindowEnabled(ControlHandle(wizard, "Button_Cancel")));
  Click("Button_Next");
  ASSERT_TRUE(trv->WaitForExit(15000)) << "the finish ends the program";
  EXPECT_EQ(trv->FindWindowOfClass("TForm1", false), nullptr);
  // The script, started hidden at program end, writes what it was given.
  ASSERT_TRUE(WaitUntil([&] { return ReadFileBytes(marker).find("Ende") != std::string::npos; }, 20000));
  const std::string written = ReadFileBytes(marker);
  // The template writes its values in quotes, as it must use them.
  EXPECT_EQ(written.rfind("\"P=" + TestProgramFolder() + "\"\r\n", 0), 0u) << written;
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  EXPECT_NE(written.find(std::string(" P=") + TestProgramFolder() + "\""), std::string::npos) << written;
  EXPECT_NE(written.find(std::string("\"T=") + temp + "TRV-Update-"), std::string::npos) << written;
  EXPECT_TRUE(HasValue(HKEY_LOCAL_MACHINE, "Update")) << "the next reminder";
}

// The section is checked before its news are shown as the maker's.
TEST_F(UpdateWizard, TheShippedProgramRefusesAReleaseSignedWithTheTestKey) {
  Publish("neu");
  Start("", true, TrvExePath());
  Click("Button_Next");
  ASSERT_TRUE(Shows("Panel_Title", Text(wsCheck)));
  Click("Button_Check");
  TMessageBox box = WaitForMessageBox(trv->Pid());
  EXPECT_EQ(box.Text, UnverifiedUpdateMessage);
  PressButton(box, IDOK);
  EXPECT_EQ(Caption("Panel_Title"), Text(wsCheck));
  EXPECT_EQ(Caption("Label_CheckResult"), "") << "no news shown";
}

// A click on the check while it runs (its wait answers messages) nested a
// second check: it leaked its file and ran "Weiter" twice, past the news.
TEST_F(UpdateWizard, ASecondClickWhileTheCheckRunsStartsNoSecondCheck) {
  Publish("neu");
  SetValue("UpdateServer", "127.0.0.1:" + port + "/stall=2000");
  Start();
  Click("Button_Next");
  ASSERT_TRUE(Shows("Panel_Title", Text(wsCheck)));
  Click("Button_Check");
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowEnabled(ControlHandle(wizard, "Button_Check")); }));
  Click("Button_Check");
  ASSERT_TRUE(Shows("Panel_Title", Text(wsResult)));
  EXPECT_FALSE(WaitUntil([&] { return Caption("Panel_Title") != Text(wsResult); }, 5000)) << "the news stay";
}

TEST_F(UpdateWizard, ACancelledDownloadAsksFirstAndCanBeRetried) {
  Publish("neu", "Updates-2.ini");  // slowly
  Start();
  Download();
  ASSERT_TRUE(WaitUntil([&] { return Caption("PerCent") != "" && Caption("PerCent") != "0 %"; }));
  EXPECT_NE(Caption("StatusLabel").find(" von 5 MB gedownloadet"), std::string::npos);
  EXPECT_EQ(Caption("TimeLeft").rfind("verbleibende Zeit: ", 0), 0u);
  // "Nein" to either button's question: the transfer goes on.
  for (const char* button : {"CancelDownload", "Button_Cancel"}) {
    Click(button);
    TMessageBox box = WaitForMessageBox(trv->Pid());
    EXPECT_EQ(box.Text, "Soll der Download wirklich abgebrochen werden?");
    const std::string before = Caption("PerCent");
    PressButton(box, IDNO);
    EXPECT_TRUE(WaitUntil([&] { return Caption("PerCent") != before; })) << button;
  }
  EXPECT_TRUE(IsWindowVisible(wizard));
  Click("CancelDownload");
  PressButton(WaitForMessageBox(trv->Pid()), IDYES);
  ASSERT_TRUE(Shows("Label_Download", Text(wtDownloadFailed)));
  EXPECT_EQ(TextOf(ControlHandle(wizard, "CancelDownload")), "Erneut versuchen");
  Click("CancelDownload");
  EXPECT_TRUE(Shows("Label_Download", Text(wtDownloaded), 60000));
}

TEST_F(UpdateWizard, TransfersThatFailEndInTheRetryPage) {
  const struct {
    const char* ini;
    const char* what;
  } cases[] = {{"Updates-3.ini", "cut off mid-transfer"},
               {"Updates-4.ini", "404"},
               {"Updates-5.ini", "500"},
               {"Updates-6.ini", "no answer for longer than the read time-out of 10 s"}};
  for (const auto& c : cases) {
    Publish("neu", c.ini);
    Start();
    Download();
    EXPECT_TRUE(Shows("Label_Download", Text(wtDownloadFailed), 20000)) << c.what;
    EXPECT_EQ(TextOf(ControlHandle(wizard, "CancelDownload")), "Erneut versuchen") << c.what;
    trv.reset();
  }
}

TEST_F(UpdateWizard, AnArchiveOfNoAnnouncedSizeLeavesTheProgressAlone) {
  Publish("neu", "Updates-1.ini");
  Start();
  Download();
  ASSERT_TRUE(Shows("Label_Download", Text(wtDownloaded)));
  EXPECT_EQ(Caption("PerCent"), "");
  EXPECT_EQ(Caption("StatusLabel"), "");
}

TEST_F(UpdateWizard, NoNewerReleaseRemindsAgainOnlyAfterBeenden) {
  for (bool finish : {true, false}) {
    RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, Key, "Update");
    Publish("alt");
    Start();
    CheckForUpdates();
    EXPECT_EQ(Caption("Label_CheckResult"), Text(wtNoUpdate));
    if (finish)
      Click("Button_Next");
    else
      PostMessageA(wizard, WM_CLOSE, 0, 0);
    HWND main = trv->WaitForWindow("TForm1");
    ASSERT_NE(main, nullptr);
    PostMessageA(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(trv->WaitForExit(15000));
    EXPECT_EQ(HasValue(HKEY_LOCAL_MACHINE, "Update"), finish);
  }
}

TEST_F(UpdateWizard, AMissingUpdateInformationFileIsReportedAsNoConnection) {
  Start();
  Click("Button_Next");
  Click("Button_Check");
  TMessageBox box = WaitForMessageBox(trv->Pid());
  EXPECT_EQ(box.Caption, "Internetverbindung erforderlich");
  EXPECT_EQ(box.Text, "Es besteht keine Internetverbindung.");
  PressButton(box, IDOK);
  EXPECT_EQ(Caption("Panel_Title"), Text(wsCheck));
}

// A temporary folder Windows-1252 cannot hold names neither the check's file
// nor the download: the check refuses at once, naming the character,
// before anything is fetched.
TEST_F(UpdateWizard, ATemporaryFolderWindows1252CannotHoldIsRefusedByName) {
  Publish("neu");
  wchar_t temp[MAX_PATH] = L"";
  GetTempPathW(MAX_PATH, temp);
  const std::wstring foreign = std::wstring(temp) + L"\u0141\u00F3d\u017A\\";
  CreateDirectoryW(foreign.c_str(), nullptr);
  // The program inherits them.
  struct TTempVariables {
    wchar_t Saved[2][MAX_PATH] = {};
    explicit TTempVariables(const std::wstring& folder) {
      for (int i : {0, 1}) {
        GetEnvironmentVariableW(i ? L"TMP" : L"TEMP", Saved[i], MAX_PATH);
        SetEnvironmentVariableW(i ? L"TMP" : L"TEMP", folder.c_str());
      }
    }
    ~TTempVariables() {
      for (int i : {0, 1}) SetEnvironmentVariableW(i ? L"TMP" : L"TEMP", Saved[i]);
    }
  } variables(foreign);
  Start();
  Click("Button_Next");
  ASSERT_TRUE(Shows("Panel_Title", Text(wsCheck)));
  Click("Button_Check");
  TMessageBox box = WaitForMessageBox(trv->Pid());
  ASSERT_NE(box.Window, nullptr);
  wchar_t text[2048] = L"";
  GetDlgItemTextW(box.Window, 0xFFFF, text, 2048);
  const std::wstring shown = text, named = L"\u201E\u0141\u201C (U+0141)";
  EXPECT_NE(shown.find(L"\u201E" + foreign + L"\u201C"), std::wstring::npos);
  EXPECT_NE(shown.find(named), std::wstring::npos);
  EXPECT_NE(shown.find(L"Umgebungsvariablen TEMP und TMP"), std::wstring::npos);
  PressButton(box, IDOK);
  EXPECT_EQ(Caption("Panel_Title"), Text(wsCheck));
  EXPECT_TRUE(RemoveDirectoryW(foreign.c_str())) << "nothing was put there";
}

TEST_F(UpdateWizard, SettingsAreSavedAsNeverOrAsAnInterval) {
  Start();
  Click("Button_Settings");
  ASSERT_TRUE(Shows("Panel_Title", "Einstellungen"));
  Click("RadioButton_NoAutoUpdt");
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowEnabled(ControlHandle(wizard, "SpinEdit_AutoUpdt")); }));
  Click("Button_SettingsSave");
  ASSERT_TRUE(Shows("Panel_Title", Text(wsWelcome)));
  EXPECT_TRUE(HasValue(HKEY_LOCAL_MACHINE, "NoUpdate"));
  EXPECT_FALSE(HasValue(HKEY_LOCAL_MACHINE, "UpdateInterval"));

  Click("Button_Settings");
  ASSERT_TRUE(Shows("Panel_Title", "Einstellungen"));
  EXPECT_EQ(SendMessageA(ControlHandle(wizard, "RadioButton_NoAutoUpdt"), BM_GETCHECK, 0, 0), BST_CHECKED);
  Click("RadioButton_AutoUpdt");
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(ControlHandle(wizard, "SpinEdit_AutoUpdt")) != FALSE; }));
  SetWindowTextA(ControlHandle(wizard, "SpinEdit_AutoUpdt"), "14");
  Click("Button_SettingsSave");
  ASSERT_TRUE(Shows("Panel_Title", Text(wsWelcome)));
  DWORD type = 0;
  std::string interval;
  ASSERT_TRUE(HasValue(HKEY_LOCAL_MACHINE, "UpdateInterval", &type, &interval));
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(interval, std::string("\x0E\0\0\0", 4));
  EXPECT_FALSE(HasValue(HKEY_LOCAL_MACHINE, "NoUpdate"));
}

TEST_F(UpdateWizard, SettingsOpenedDuringTheCheckStayOpenAfterIt) {
  Publish("neu");
  SetValue("UpdateServer", "127.0.0.1:" + port + "/stall=3000");
  Start();
  Click("Button_Next");
  ASSERT_TRUE(Shows("Panel_Title", Text(wsCheck)));
  Click("Button_Check");
  Click("Button_Settings");
  ASSERT_TRUE(Shows("Panel_Title", "Einstellungen"));
  // The result arrives unseen.
  ASSERT_TRUE(WaitUntil([&] { return Caption("Label_CheckResult").find("Hinweis") != std::string::npos; }));
  EXPECT_EQ(Caption("Panel_Title"), "Einstellungen");
  Click("Button_SettingsCancel");
  EXPECT_TRUE(Shows("Panel_Title", Text(wsResult)));
}

// Ctrl+U after an install whose finish the save prompt put off: the old
// wizard started afresh and forgot the prepared install, whose folder then
// stayed and whose script never ran.
TEST(UpdateWizardForm, APreparedInstallIsShownAgainNotForgotten) {
  TStatusForm& wizard = StatusForm();
  wizard.Wizard().SetInstallPrepared(true);
  wizard.Show();
  EXPECT_TRUE(wizard.Wizard().InstallPrepared());
  EXPECT_EQ(wizard.Wizard().Step(), wsFinish);
  EXPECT_EQ(wizard.PageIndex("Pages"), 5);
  EXPECT_EQ(wizard.Control("Panel_Title").Caption(), Text(wsFinish));
  EXPECT_EQ(wizard.Control("Button_Next").Caption(), "Beenden");
  EXPECT_FALSE(wizard.Control("Button_Cancel").Enabled());
  wizard.Hide();
  // Nothing of a real install to start at the test's end.
  wizard.Wizard().SetInstallPrepared(false);
  FreeStatusForm();
}

}  // namespace

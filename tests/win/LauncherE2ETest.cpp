// TRV.EXE in popup mode with menu-less projects, driven from this process:
// programs started with and without waiting, messages and questions
// answered here, the end of a run, the program start's mode decision and
// the errors a run reports.
#include <gtest/gtest.h>

#include <algorithm>

#include "model/Codec.h"
#include "tests/win/LauncherTestSupport.h"

#include <psapi.h>
#include <tlhelp32.h>

namespace {

class LauncherRun : public ::testing::Test {
 protected:
  void SetUp() override {
    log = PlaceRecorder(temp / "rec.exe");
    rec = Quoted(temp / "rec.exe");
  }
  // Writes the project and returns the quoted path to pass to TRV.EXE.
  std::string Project(std::initializer_list<std::string> lines) {
    WriteFileBytes(temp / "projekt.trv", ProjectText(lines));
    return Quoted(temp / "projekt.trv");
  }
  // line(command, wait) makes a command line: the first waited for, the
  // second not; the second starts only once the first has ended.
  void ExpectWaitedThenNext(std::string (*line)(const std::string&, const char*), const std::string& first,
                            const std::vector<std::string>& firstArgs, const std::string& second) {
    TTrvProcess trv(Project({"[ExecGroups]", "G", line(rec + " /warte=600 " + first, "1"), line(rec + " " + second, "0"),
                             "[NotUsed:MenuItems]"}));
    EXPECT_EQ(trv.WaitExit(), 0u);
    std::vector<TRecord> records = WaitForRecords(log, 2);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].Args, firstArgs);
    EXPECT_EQ(records[1].Args, std::vector<std::string>{second});
    EXPECT_GE(records[1].Start, records[0].End);
  }
  TTempFolder temp;
  std::string log, rec;
};

// ---- Messages and questions ------------------------------------------------

TEST_F(LauncherRun, AMessageShowsWithItsTextsAndTheRunGoesOnAfterOk) {
  TTrvProcess trv(Project({"[ExecGroups]", "Erste", " 1 \"Grüße aus Tarvo\";Hinweis;3;0", Command(rec + " eins", "1"),
                           "[NotUsed:MenuItems]"}));
  TMessageBox box = WaitForMessageBox(trv.Id());
  ASSERT_TRUE(box.Window);
  EXPECT_EQ(box.Caption, "Hinweis");
  EXPECT_EQ(box.Text, "Grüße aus Tarvo");
  EXPECT_EQ(box.Buttons, std::vector<std::string>{"OK"});
  EXPECT_TRUE(ReadRecords(log).empty());
  ASSERT_TRUE(PressButton(box, IDOK));
  EXPECT_EQ(trv.WaitExit(), 0u);
  EXPECT_EQ(Args(ReadRecords(log)), std::vector<std::string>{"eins"});
}

TEST_F(LauncherRun, YesRunsOnlyTheYesBranchAndNestedQuestionsKeepTheOuterMarkers) {
  TTrvProcess trv(Project({"[ExecGroups]", "Frage", " 2 Außen?;Frage;1;0", " 6 \"Ja\":", " 2 Innen?;Frage;1;0",
                           " 6 \"Ja\":", Command(rec + " innen-ja", "1"), " 6 \"Nein\":",
                           Command(rec + " innen-nein", "1"), " 6 Verzweigungsende", Command(rec + " außen-ja", "1"),
                           " 6 \"Nein\":", Command(rec + " außen-nein", "1"), " 6 Verzweigungsende",
                           Command(rec + " danach", "1"), "[NotUsed:MenuItems]"}));
  TMessageBox outer = WaitForMessageBox(trv.Id());
  EXPECT_EQ(outer.Text, "Außen?");
  EXPECT_EQ(outer.Buttons, (std::vector<std::string>{"&Ja", "&Nein"}));
  ASSERT_TRUE(PressButton(outer, IDYES));
  TMessageBox inner = WaitForMessageBox(trv.Id());
  EXPECT_EQ(inner.Text, "Innen?");
  ASSERT_TRUE(PressButton(inner, IDNO));
  EXPECT_EQ(trv.WaitExit(), 0u);
  EXPECT_EQ(Args(ReadRecords(log)), (std::vector<std::string>{"innen-nein", "außen-ja", "danach"}));
}

TEST_F(LauncherRun, NoRunsOnlyTheNoBranch) {
  TTrvProcess trv(Project({"[ExecGroups]", "Frage", " 2 Weiter?;Frage;1;1", " 6 \"Ja\":", Command(rec + " ja", "1"),
                           " 6 \"Nein\":", Command(rec + " nein", "1"), " 6 Verzweigungsende",
                           Command(rec + " danach", "1"), "[NotUsed:MenuItems]"}));
  TMessageBox box = WaitForMessageBox(trv.Id());
  EXPECT_EQ(box.Buttons, (std::vector<std::string>{"&Ja", "&Nein", "Abbrechen"}));
  ASSERT_TRUE(PressButton(box, IDNO));
  EXPECT_EQ(trv.WaitExit(), 0u);
  EXPECT_EQ(Args(ReadRecords(log)), (std::vector<std::string>{"nein", "danach"}));
}

TEST_F(LauncherRun, CancelEndsTheRunItsCallersAndTheLaterGroups) {
  TTrvProcess trv(Project({"[ExecGroups]", "A", " 5 \"B\"", Command(rec + " a-danach", "1"), "B",
                           " 1 Weiter?;Frage;1;1", Command(rec + " b-danach", "1"), "C", Command(rec + " c", "1"),
                           "[NotUsed:MenuItems]"}));
  TMessageBox box = WaitForMessageBox(trv.Id());
  EXPECT_EQ(box.Buttons, (std::vector<std::string>{"OK", "Abbrechen"}));
  ASSERT_TRUE(PressButton(box, IDCANCEL));
  EXPECT_EQ(trv.WaitExit(), 0u);
  EXPECT_TRUE(ReadRecords(log).empty());
}

TEST_F(LauncherRun, EndRunInTheFirstGroupRunsNothingOfTheSecond) {
  TTrvProcess trv(Project({"[ExecGroups]", "Erste", Command(rec + " erste", "1"), " 3 ", Command(rec + " nie", "1"),
                           "Zweite", Command(rec + " zweite", "1"), "[NotUsed:MenuItems]"}));
  EXPECT_EQ(trv.WaitExit(), 0u);
  EXPECT_EQ(Args(ReadRecords(log)), std::vector<std::string>{"erste"});
}

TEST_F(LauncherRun, AllGroupsRunInTableOrderWithoutAMenu) {
  TTrvProcess trv(Project({"[ExecGroups]", "Zeta", Command(rec + " zeta", "1"), "Alpha", Command(rec + " alpha", "1"),
                           "Leer", "Mitte", " 4 Doppelklicken zum Bearbeiten", Command(rec + " mitte", "1"),
                           "[NotUsed:MenuItems]", "0 1 Zeta"}));
  EXPECT_EQ(trv.WaitExit(), 0u);
  EXPECT_EQ(Args(ReadRecords(log)), (std::vector<std::string>{"zeta", "alpha", "mitte"}));
}

// ---- Starting programs, documents and folders -------------------------------

TEST_F(LauncherRun, AWaitedProgramEndsBeforeTheNextLineStarts) {
  ExpectWaitedThenNext(Command, "eins", {"/warte=600", "eins"}, "zwei");
}

TEST_F(LauncherRun, RelativeFirstWordsResolveAgainstTheProgramsFolder) {
  // A copy of the program two folders below the test folder.
  const std::string exe = temp / "x\\y\\TRV.EXE";
  PlaceRecorder(temp / "x\\y\\tools\\rec.exe");
  ASSERT_TRUE(CopyFileA(TrvExePath().c_str(), exe.c_str(), FALSE));
  const std::string nearLog = temp / "x\\y\\tools\\rec.log";
  const std::string farLog = PlaceRecorder(temp / "oben.exe");
  TTrvProcess trv(Project({"[ExecGroups]", "G", Command(".\\tools\\rec.exe mit", "1"),
                           Command("..\\..\\oben.exe mit", "1"), Command(".\\tools\\rec.exe ohne", "0"),
                           Command("..\\..\\oben.exe ohne", "0"), "[NotUsed:MenuItems]"}),
                  exe);
  EXPECT_EQ(trv.WaitExit(), 0u);
  EXPECT_EQ(Args(WaitForRecords(nearLog, 2)), (std::vector<std::string>{"mit", "ohne"}));
  EXPECT_EQ(Args(WaitForRecords(farLog, 2)), (std::vector<std::string>{"mit", "ohne"}));
}

TEST_F(LauncherRun, AQuotedProgramPathWithBlanksAndQuotedArgumentsArriveExactly) {
  const std::string program = temp / "Mein Programm\\app.exe";
  const std::string appLog = PlaceRecorder(program);
  const std::string commandLine = Quoted(program) + " /x \"a b\"";
  TTrvProcess trv(
      Project({"[ExecGroups]", "G", Command(commandLine, "1"), Command(commandLine, "0"), "[NotUsed:MenuItems]"}));
  EXPECT_EQ(trv.WaitExit(), 0u);
  std::vector<TRecord> records = WaitForRecords(appLog, 2);
  ASSERT_EQ(records.size(), 2u);
  // With waiting, process creation gets the command line as typed.
  EXPECT_EQ(records[0].CommandLine, commandLine);
  EXPECT_EQ(records[0].Args, (std::vector<std::string>{"/x", "a b"}));
  char folder[MAX_PATH] = "";
  GetCurrentDirectoryA(MAX_PATH, folder);
  EXPECT_EQ(records[0].Folder, folder);
  // Without, the shell gets the program and the parameters /x "a b".
  EXPECT_EQ(records[1].Args, (std::vector<std::string>{"/x", "a b"}));
}

TEST_F(LauncherRun, ALineStartsInItsWorkingFolderWithItsWindowState) {
  const std::string waited = temp / "Arbeit mit Warten", opened = temp / "Arbeit;ohne";
  CreateDirectoryA(waited.c_str(), nullptr);
  CreateDirectoryA(opened.c_str(), nullptr);
  // Waited for, through process creation, minimized; not waited for,
  // through the shell, maximized; and a line as files always had it.
  TTrvProcess trv(Project({"[ExecGroups]", "G", " 0 " + JoinDelimited({rec + " eins", "1", "0", "0", waited, "1"}, ';'),
                           " 0 " + JoinDelimited({rec + " zwei", "0", "0", "0", opened, "2"}, ';'),
                           Command(rec + " drei", "0"), "[NotUsed:MenuItems]"}));
  EXPECT_EQ(trv.WaitExit(), 0u);
  const std::vector<TRecord> records = WaitForRecords(log, 3);
  ASSERT_EQ(records.size(), 3u);
  char current[MAX_PATH] = "";
  GetCurrentDirectoryA(MAX_PATH, current);
  const struct {
    const char* Arg;
    std::string Folder;
    int Show;
  } expected[] = {
      {"eins", waited, SW_SHOWMINNOACTIVE}, {"zwei", opened, SW_SHOWMAXIMIZED}, {"drei", current, SW_SHOWNORMAL}};
  // The programs not waited for may write their records in either order.
  for (const auto& e : expected) {
    SCOPED_TRACE(e.Arg);
    auto record = std::find_if(records.begin(), records.end(),
                               [&](const TRecord& r) { return r.Args == std::vector<std::string>{e.Arg}; });
    ASSERT_NE(record, records.end());
    EXPECT_EQ(record->Folder, e.Folder);
    EXPECT_EQ(record->Show, e.Show);
  }
}

// The processes the process started, with their image paths.
std::vector<std::pair<DWORD, std::string>> ChildProcesses(DWORD parent) {
  std::vector<std::pair<DWORD, std::string>> children;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL ok = Process32First(snapshot, &entry); ok; ok = Process32Next(snapshot, &entry))
    if (entry.th32ParentProcessID == parent) children.push_back({entry.th32ProcessID, entry.szExeFile});
  CloseHandle(snapshot);
  return children;
}

TEST_F(LauncherRun, AFolderWithWaitingOpensExplorerFromTheWindowsFolderAndTheRunContinuesWhenItEnds) {
  const std::string folder = temp / "Ein Ordner";
  CreateDirectoryA(folder.c_str(), nullptr);
  TTrvProcess trv(Project({"[ExecGroups]", "G", Command(Quoted(folder), "1"), Command(rec + " danach", "1"),
                           "[NotUsed:MenuItems]"}));
  char windows[MAX_PATH] = "";
  GetWindowsDirectoryA(windows, MAX_PATH);
  const std::string explorerPath = std::string(windows) + "\\explorer.exe";
  // Wine's desktop is an explorer.exe too (from the system folder) and may
  // turn up as a child of TRV.EXE: only the child from the Windows folder is
  // the one wanted, and no other process may be closed or ended here.
  DWORD explorer = 0;
  HANDLE process = nullptr;
  for (int i = 0; i < 500 && !process; ++i) {
    for (auto& child : ChildProcesses(trv.Id())) {
      if (_stricmp(child.second.c_str(), "explorer.exe") != 0) continue;
      HANDLE h = OpenProcess(PROCESS_ALL_ACCESS, FALSE, child.first);
      char image[MAX_PATH] = "";
      if (h && GetModuleFileNameExA(h, nullptr, image, MAX_PATH) && _stricmp(image, explorerPath.c_str()) == 0) {
        explorer = child.first;
        process = h;
        break;
      }
      if (h) CloseHandle(h);
    }
    if (!process) Sleep(20);
  }
  ASSERT_TRUE(process) << "no Explorer from the Windows folder started";
  // Explorer's window on the folder; closing it ends Explorer.
  HWND window = WaitForWindow(explorer, nullptr);
  EXPECT_TRUE(window) << "Explorer shows no window";
  EXPECT_TRUE(ReadRecords(log).empty());
  unsigned long long closed = GetTickCount64();
  if (window) PostMessageA(window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process, 10000) != WAIT_OBJECT_0) TerminateProcess(process, 0);
  CloseHandle(process);
  EXPECT_EQ(trv.WaitExit(), 0u);
  std::vector<TRecord> records = ReadRecords(log);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_GE(records[0].Start, closed);
}

// ---- Environment variables and elevation -------------------------------------

TEST_F(LauncherRun, SetEnvironmentVariablesExpandInTheCommandAndOtherPerCentSignsStay) {
  char tempValue[MAX_PATH] = "";
  ASSERT_GT(GetEnvironmentVariableA("TEMP", tempValue, MAX_PATH), 0u);
  const std::string tempFolder = std::string(tempValue) + "\\";
  ASSERT_EQ(_strnicmp(temp.Path().c_str(), tempFolder.c_str(), tempFolder.size()), 0) << temp.Path();
  const std::string viaTemp = "%TEMP%\\" + temp.Path().substr(tempFolder.size()) + "rec.exe";
  // A variable of the test's own whose value has blanks, inherited by
  // TRV.EXE: unquoted, it still names one program.
  const std::string folder = temp / "Mit Leerzeichen";
  const std::string folderLog = PlaceRecorder(folder + "\\rec.exe");
  SetEnvironmentVariableA("TARVO_TEST_ORDNER", folder.c_str());
  SetEnvironmentVariableA("TARVO_NICHT_GESETZT", nullptr);
  TTrvProcess trv(Project({"[ExecGroups]", "G", Command(viaTemp + " %TEMP% 100% %TARVO_NICHT_GESETZT%", "1"),
                           Command(viaTemp + " 100% ohne-warten", "0"),
                           Command("%TARVO_TEST_ORDNER%\\rec.exe \"%TARVO_TEST_ORDNER%\"", "1"),
                           "[NotUsed:MenuItems]"}));
  SetEnvironmentVariableA("TARVO_TEST_ORDNER", nullptr);
  EXPECT_EQ(trv.WaitExit(), 0u);
  EXPECT_EQ(Args(WaitForRecords(log, 2)),
            (std::vector<std::string>{tempValue, "100%", "%TARVO_NICHT_GESETZT%", "100%", "ohne-warten"}));
  EXPECT_EQ(Args(ReadRecords(folderLog)), std::vector<std::string>{folder});
}

// A command line of kind 0 to be run as administrator.
std::string Elevated(const std::string& commandLine, const char* wait) {
  return " 0 " + JoinDelimited({commandLine, wait, "1"}, ';');
}

TEST_F(LauncherRun, AnElevatedLineStartsTheProgramAndWaitsWhenAsked) {
  // Wine has no elevation prompt: its registry gives programs a "runas"
  // command equal to "open" (exefile\shell\runas\command: "%1" %*), so
  // what is seen here is the start through the shell's verb and the wait
  // on the process it hands back.
  ExpectWaitedThenNext(Elevated, "\"mit warten\"", {"/warte=600", "mit warten"}, "ohne");
}

// A document type of the tests' own, opened by a recorder. (Wine's shell
// looks associations up in HKEY_CLASSES_ROOT only, not in the user's classes.)
class DocumentRun : public LauncherRun {
 protected:
  void SetUp() override {
    LauncherRun::SetUp();
    viewerLog = PlaceRecorder(temp / "Betrachter.exe");
    SetValue(".trvtestdok", "TarvoTestDokument");
    SetValue("TarvoTestDokument\\shell\\open\\command",
             Quoted(temp / "Betrachter.exe") + " \"%1\"");
  }
  void TearDown() override {
    RegDeleteTreeA(HKEY_CLASSES_ROOT, "TarvoTestDokument");
    RegDeleteTreeA(HKEY_CLASSES_ROOT, ".trvtestdok");
  }
  static void SetValue(const char* key, const std::string& value) {
    HKEY h;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr), 0);
    RegSetValueExA(h, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(h);
  }
  std::string viewerLog;
};

TEST_F(DocumentRun, ADocumentWithWaitingStartsItsAssociatedProgramAndWaitsForIt) {
  const std::string document = temp / "Brief.trvtestdok";
  WriteFileBytes(document, "Hallo");
  TTrvProcess trv(Project({"[ExecGroups]", "G", Command(document + " /warte=500", "1"), Command(rec + " danach", "1"),
                           "[NotUsed:MenuItems]"}));
  EXPECT_EQ(trv.WaitExit(), 0u);
  std::vector<TRecord> viewer = ReadRecords(viewerLog);
  ASSERT_EQ(viewer.size(), 1u);
  EXPECT_EQ(viewer[0].Args, (std::vector<std::string>{document, "/warte=500"}));
  std::vector<TRecord> after = ReadRecords(log);
  ASSERT_EQ(after.size(), 1u);
  EXPECT_GE(after[0].Start, viewer[0].End);
}

TEST_F(DocumentRun, ADocumentWithoutWaitingIsOpenedByTheShell) {
  const std::string document = temp / "Notiz.trvtestdok";
  WriteFileBytes(document, "Hallo");
  TTrvProcess trv(Project({"[ExecGroups]", "G", Command(Quoted(document), "0"), "[NotUsed:MenuItems]"}));
  EXPECT_EQ(trv.WaitExit(), 0u);
  std::vector<TRecord> viewer = WaitForRecords(viewerLog, 1);
  ASSERT_EQ(viewer.size(), 1u);
  EXPECT_EQ(viewer[0].Args, std::vector<std::string>{document});
}

// ---- Program start -----------------------------------------------------------

TEST_F(LauncherRun, AQuotedProjectPathWithBlanksStartsPopupModeForThatFile) {
  const std::string folder = temp / "Mein Ordner";
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  const std::string project = folder + "\\Projekt mit Leerzeichen.trv";
  WriteFileBytes(project, ProjectText({"[ExecGroups]", "G", Command(rec + " gestartet", "1"), "[NotUsed:MenuItems]"}));
  TTrvProcess trv(Quoted(project));
  EXPECT_EQ(trv.WaitExit(), 0u);
  EXPECT_EQ(Args(ReadRecords(log)), std::vector<std::string>{"gestartet"});
}

TEST_F(LauncherRun, ATextFileThatIsNoProjectStartsPopupModeAndEndsSilently) {
  WriteFileBytes(temp / "notiz.txt", "Einkaufsliste\r\nBrot\r\n");
  TTrvProcess trv(Quoted(temp / "notiz.txt"));
  // A box or a window would keep it from ending.
  EXPECT_EQ(trv.WaitExit(), 0u);
}

TEST_F(LauncherRun, AnEmptyProjectWithoutMenuDoesNothing) {
  TTrvProcess trv(Project({"[ExecGroups]", "[NotUsed:MenuItems]"}));
  EXPECT_EQ(trv.WaitExit(), 0u);
}

TEST_F(LauncherRun, ArgumentsAfterTheGroupAreIgnored) {
  // The second argument names the group to run (a link to one group).
  TTrvProcess trv(Project({"[ExecGroups]", "G", Command(rec + " eins", "1"), "[NotUsed:MenuItems]"}) +
                  " G /uninstall weiter");
  EXPECT_EQ(trv.WaitExit(), 0u);
  EXPECT_EQ(Args(ReadRecords(log)), std::vector<std::string>{"eins"});
}

TEST_F(LauncherRun, AMissingFileOrAFolderOpensConfigurationMode) {
  for (const std::string& argument :
       {Quoted(temp / "fehlt.trv"), Quoted(temp.Path().substr(0, temp.Path().size() - 1)), std::string()}) {
    TTrvProcess trv(argument);
    HWND window = WaitForWindow(trv.Id(), nullptr);
    ASSERT_TRUE(window) << argument;
    // The configuration window, and no hidden application window before it.
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    EXPECT_STREQ(name, "TForm1") << argument;
    for (HWND app = FindWindowExA(nullptr, nullptr, "TarvoApplication", nullptr); app;
         app = FindWindowExA(nullptr, app, "TarvoApplication", nullptr)) {
      DWORD pid = 0;
      GetWindowThreadProcessId(app, &pid);
      EXPECT_NE(pid, trv.Id()) << argument;
    }
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(trv.WaitExit(), 0u) << argument;
  }
}

// ---- Errors of a run -----------------------------------------------------------

TEST_F(LauncherRun, ASelfCallingGroupEndsWithAGermanMessage) {
  TTrvProcess trv(Project({"[ExecGroups]", "Schleife", " 4 Doppelklicken zum Bearbeiten", " 5 \"Schleife\"",
                           Command(rec + " nie", "1"), "Zweite", Command(rec + " nie", "1"), "[NotUsed:MenuItems]"}));
  TMessageBox box = WaitForMessageBox(trv.Id());
  ASSERT_TRUE(box.Window);
  EXPECT_NE(box.Text.find("mehr als 200 Ebenen"), std::string::npos) << box.Text;
  EXPECT_NE(box.Text.find("ruft sich eine Befehlszeilengruppe selbst auf"), std::string::npos) << box.Text;
  ASSERT_TRUE(PressButton(box, IDOK));
  EXPECT_EQ(trv.WaitExit(), 0u);
  EXPECT_TRUE(ReadRecords(log).empty());
}

struct ErrorCase {
  const char* line;
  const char* text;
};

TEST_F(LauncherRun, ParametersThatDoNotFitShowTheErrorBoxAndEndTheRun) {
  for (const ErrorCase& c : {ErrorCase{" 1 Text;Titel;Info;0", "'Info' ist kein gültiger Integerwert."},
                             ErrorCase{" 2 Text;Titel;1;ja", "'ja' ist kein gültiger Integerwert."},
                             ErrorCase{" 0 notepad.exe", "Listenindex überschreitet das Maximum (1)"},
                             ErrorCase{" 0 \"\";1", "Listenindex überschreitet das Maximum (0)"},
                             ErrorCase{" 5 ", "Listenindex überschreitet das Maximum (0)"}}) {
    TTrvProcess trv(Project({"[ExecGroups]", "G", c.line, Command(rec + " nie", "1"), "Zweite",
                             Command(rec + " nie", "1"), "[NotUsed:MenuItems]"}));
    TMessageBox box = WaitForMessageBox(trv.Id());
    ASSERT_TRUE(box.Window) << c.line;
    EXPECT_EQ(box.Text, c.text);
    EXPECT_EQ(box.Caption, "TRV");
    ASSERT_TRUE(PressButton(box, IDOK));
    EXPECT_EQ(trv.WaitExit(), 0u) << c.line;
  }
  EXPECT_TRUE(ReadRecords(log).empty());
}

TEST_F(LauncherRun, AProjectThatCannotBeReadIsReportedAndNothingRuns) {
  Project({"[ExecGroups]", "G", Command(rec + " nie", "1"), "[NotUsed:MenuItems]"});
  HANDLE locked = CreateFileA((temp / "projekt.trv").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(locked, INVALID_HANDLE_VALUE);
  TTrvProcess trv(Quoted(temp / "projekt.trv"));
  TMessageBox box = WaitForMessageBox(trv.Id());
  CloseHandle(locked);
  ASSERT_TRUE(box.Window);
  EXPECT_FALSE(box.Text.empty());
  ASSERT_TRUE(PressButton(box, IDOK));
  EXPECT_EQ(trv.WaitExit(), 0u);
  EXPECT_TRUE(ReadRecords(log).empty());
}

TEST_F(LauncherRun, ADamagedProjectIsReportedAndNothingOfItRuns) {
  TTrvProcess trv(Project({"[ExecGroups]", "G", Command(rec + " nie", "1"), "[MenuItems]", "x 1 Eintrag"}));
  TMessageBox box = WaitForMessageBox(trv.Id());
  ASSERT_TRUE(box.Window);
  EXPECT_EQ(box.Text, "'x' ist kein gültiger Integerwert.");
  ASSERT_TRUE(PressButton(box, IDOK));
  EXPECT_EQ(trv.WaitExit(), 0u);
  EXPECT_TRUE(ReadRecords(log).empty());
}

}  // namespace

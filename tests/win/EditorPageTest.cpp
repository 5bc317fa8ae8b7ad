// End-to-end: the editor page of a running TRV.EXE, driven from outside as a
// user's input would drive it: the file commands with their dialogs and the
// save-before prompt, and a menu built entry by entry.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <tlhelp32.h>

#include <functional>

#include "launcher/MostUsed.h"
#include "model/Wide_win.h"
#include "tests/win/ConfigDriver.h"
#include "tests/win/LauncherTestSupport.h"
#include "tests/win/WinTestSupport.h"

namespace {

// The worked example of the project file.
const char* const ExampleGroups =
    "[ExecGroups]\r\n"
    "Editor\r\n"
    " 0 notepad.exe;0\r\n"
    "Neustart?\r\n"
    " 2 \"Wirklich neu starten?\";Frage;1;1\r\n"
    " 6 \"Ja\":\r\n"
    " 0 \"C:\\Programme\\Spiel\\spiel.exe -fenster\";1\r\n"
    " 6 \"Nein\":\r\n"
    " 1 Abgebrochen.;Hinweis;3;0\r\n"
    " 6 Verzweigungsende\r\n"
    "Werkzeuge\r\n"
    " 5 \"Editor\"\r\n"
    " 3 \r\n";
const char* const ExampleMenu =
    "[MenuItems]\r\n"
    "0 1 Editor\r\n"
    "0 0 Extras\r\n"
    "1 3 Werkzeuge\r\n"
    "1 2 \"Neu starten\"\r\n"
    "0 0 -\r\n";
const char* const ExampleShape = "Editor,Extras(Werkzeuge,Neu starten),-";

bool IsProcessRunning(const char* exeName) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  bool found = false;
  for (BOOL more = Process32First(snapshot, &entry); more && !found; more = Process32Next(snapshot, &entry))
    found = _stricmp(entry.szExeFile, exeName) == 0;
  CloseHandle(snapshot);
  return found;
}

class EditorPage : public ::testing::Test {
 protected:
  void SetUp() override {
    trv = std::make_unique<TConfigProcess>();
    main = trv->MainWindow();
    ASSERT_NE(main, nullptr);
    SendMessageA(OptionButtons(main)[0], BM_CLICK, 0, 0);
    ASSERT_EQ(VisiblePage(main), "Erstellen");
    tree = Control("TreeView_Menu");
  }

  HWND Control(const std::string& name) { return ControlHandle(main, name); }
  std::string Shape() { return RemoteTreeShape(tree); }

  // Typed into the field, key by key.
  void Type(const char* field, const std::string& text) { ASSERT_TRUE(TypeInto(Control(field), text)); }
  void Choose(const char* combo, int index) { SendMessageA(Control(combo), CB_SETCURSEL, index, 0); }
  // A button whose click opens nothing modal.
  void Press(const char* button) { SendMessageA(Control(button), BM_CLICK, 0, 0); }
  // A button whose click may open a modal window.
  void PressLater(const char* button) { PostMessageA(Control(button), BM_CLICK, 0, 0); }
  void AddEntry(const char* button, const std::string& text, int assignment) {
    Type("Edit_ItemText", text);
    Choose("ComboBox_Assignment", assignment);
    Press(button);
  }
  // The worked example's menu, entry by entry, over its three groups.
  void BuildExampleMenu() {
    AddEntry("Button_NewItem", "Editor", 1);
    AddEntry("Button_NewItem", "Extras", 0);
    AddEntry("Button_NewSubItem", "Werkzeuge", 3);
    AddEntry("Button_NewItem", "Neu starten", 2);
    SelectEntry("Extras");
    AddEntry("Button_NewItem", "-", 0);
  }
  void SelectEntry(const std::string& text) {
    for (const TRemoteNode& node : RemoteTreeNodes(tree))
      if (node.Text == text) SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(node.Item));
  }

  HWND WaitForDialog() { return trv->WaitForWindow("#32770"); }
  // The file dialog that the button opens, given the path to choose.
  void ChooseFile(const char* button, const std::string& path, bool warned = false) {
    PressLater(button);
    if (warned) AnswerSaveWarning(IDYES);
    HWND dialog = WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(ChooseFileInDialog(dialog, path)) << TextOf(dialog);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
  }
  // The next message box of the program, its caption (unless null) and text
  // checked, answered.
  void AnswerBox(const char* caption, const std::string& text, int answer) {
    TMessageBox box = WaitForMessageBox(trv->Pid());
    ASSERT_NE(box.Window, nullptr);
    if (caption) {
      EXPECT_EQ(box.Caption, caption);
    }
    EXPECT_EQ(box.Text, text);
    ASSERT_TRUE(PressButton(box, answer));
  }
  // The check before a save, answered: the worked example starts a game
  // that this machine does not have.
  void AnswerSaveWarning(int answer) {
    AnswerBox("Warnung",
              "Das Projekt enthält einen möglichen Fehler. Trotzdem speichern?\r\n\r\n"
              "Mit \"Nein\" wird nicht gespeichert, und die Fehler werden angezeigt.",
              answer);
  }
  // The save-before prompt, answered.
  void AnswerPrompt(int answer) {
    AnswerBox("Warnung", "Möchten Sie das aktuelle Projekt vorher speichern?", answer);
  }
  // Every message posted before has been handled once the about box, opened
  // through the system menu after them, has come and gone.
  void Settle() {
    PostMessageA(main, WM_SYSCOMMAND, 0xF200, 0);
    HWND about = trv->WaitForWindow("TInfo");
    ASSERT_NE(about, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return GetAncestor(trv->Focus(), GA_ROOT) == about; }));
    trv->PostKey(VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(about); }));
  }

  // The command-line dialog, opened by a line button of the group editor.
  void OpenLineDialog(const char* button) {
    PressLater(button);
    ASSERT_TRUE(WaitUntil([&] { return (dialog = trv->FindWindowOfClass("TForm2")) != nullptr; }));
  }
  HWND DialogControl(const std::string& name) { return ControlHandle(dialog, name); }
  void DialogType(const char* field, const std::string& text) { ASSERT_TRUE(TypeInto(DialogControl(field), text)); }
  void ConfirmLine() {
    PostMessageA(DialogControl("Button_OK"), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(dialog); }));
  }
  // A line of the kind, filled in and confirmed: new, or in place of a row.
  void WriteLine(int row, int kind, const std::function<void()>& fill) {
    if (row >= 0) SelectListRow(Control("ListView_ExecLines"), row);
    OpenLineDialog(row >= 0 ? "Button_EditExecLine" : "Button_NewExecLine");
    ChooseComboItem(DialogControl("ComboBox_Kind"), kind);
    fill();
    ConfirmLine();
  }
  // The group editor in new-group mode ("Neue Befehlszeilenfolge").
  void StartNewGroup() {
    HWND groups = Control("ComboBox_ExecLines");
    ChooseComboItem(groups, static_cast<int>(SendMessageA(groups, CB_GETCOUNT, 0, 0)) - 1);
  }
  void CommitGroup(const std::string& name) {
    Type("Edit_ExecName", name);
    Press("Button_NewExec");
  }

  // The keyboard focus in a control, by a click on its empty lower edge
  // (which selects nothing): the page's keys go where a user's would.
  void FocusByClick(const char* name) {
    HWND control = Control(name);
    SetForegroundWindow(main);
    ClickAt(control, 4, ClientSize(control).cy - 4);
    ASSERT_TRUE(WaitUntil([&] { return trv->Focus() == control; })) << name;
  }
  // The shell's folder browser, owned by owner, confirmed once it has
  // walked to the node with this caption; the program's other windows wait
  // meanwhile.
  void ConfirmBrowserAt(HWND owner, const std::string& caption) {
    HWND browser = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
      for (HWND w : {trv->FindWindowOfClass("#32770")})
        if (w && GetWindow(w, GW_OWNER) == owner) browser = w;
      return browser != nullptr;
    }));
    EXPECT_FALSE(IsWindowEnabled(main)) << "the other windows wait";
    HWND browserTree = nullptr;
    std::string seen;
    ASSERT_TRUE(WaitUntil([&] {
      browserTree = FindWindowExA(browser, nullptr, "SysTreeView32", nullptr);
      for (HWND child = GetWindow(browser, GW_CHILD); child && !browserTree; child = GetWindow(child, GW_HWNDNEXT))
        browserTree = FindWindowExA(child, nullptr, "SysTreeView32", nullptr);
      if (!browserTree) return false;
      HTREEITEM selected = TreeView_GetSelection(browserTree);
      for (const TRemoteNode& node : RemoteTreeNodes(browserTree))
        if (node.Item == selected) return (seen = node.Text) == caption;
      return false;
    }, 20000)) << "selected: " << seen << ", tree " << browserTree;
    PostMessageA(browser, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(browser); }));
  }
  int LineCount() { return static_cast<int>(SendMessageA(Control("ListView_ExecLines"), LVM_GETITEMCOUNT, 0, 0)); }

  TTempFolder folder;
  std::unique_ptr<TConfigProcess> trv;
  HWND main = nullptr, tree = nullptr, dialog = nullptr;
};

TEST_F(EditorPage, TheWorkedExamplesMenuIsBuiltSavedAndReopened) {
  const std::string groups = folder / "Gruppen.trv", saved = folder / "Beispiel.trv";
  WriteFileBytes(groups, std::string(ExampleGroups) + "[MenuItems]\r\n");
  ChooseFile("Button_Open", groups);
  ASSERT_TRUE(WaitUntil([&] { return SendMessageA(Control("ComboBox_Assignment"), CB_GETCOUNT, 0, 0) == 4; }));

  BuildExampleMenu();
  EXPECT_EQ(Shape(), ExampleShape);

  ChooseFile("Button_Save2", saved, true);
  ASSERT_TRUE(WaitUntil([&] { return ReadFileBytes(saved).size() > 0; }));
  EXPECT_EQ(ReadFileBytes(saved), std::string(ExampleGroups) + ExampleMenu);

  Press("Button_New");  // saved: no prompt
  ASSERT_TRUE(WaitUntil([&] { return Shape().empty(); }));
  ChooseFile("Button_Open", saved);
  EXPECT_TRUE(WaitUntil([&] { return Shape() == ExampleShape; })) << Shape();
}

TEST_F(EditorPage, TheWorkedExampleIsBuiltFromNothing) {
  WriteLine(-1, 0, [&] { DialogType("Edit_Run", "notepad.exe"); });
  CommitGroup("Editor");

  StartNewGroup();
  WriteLine(-1, 2, [&] {
    DialogType("Edit_Text", "Wirklich neu starten?");
    DialogType("Edit_Title", "Frage");
    SendMessageA(DialogControl("CheckBox_CancelButton"), BM_CLICK, 0, 0);
  });
  WriteLine(2, 0, [&] {
    DialogType("Edit_Run", "C:\\Programme\\Spiel\\spiel.exe -fenster");
    SendMessageA(DialogControl("CheckBox_Wait"), BM_CLICK, 0, 0);
  });
  WriteLine(4, 1, [&] {
    DialogType("Edit_Text", "Abgebrochen.");
    DialogType("Edit_Title", "Hinweis");
  });
  CommitGroup("Neustart?");

  StartNewGroup();
  WriteLine(-1, 5, [&] { ChooseComboItem(DialogControl("ComboBox_ExecGroups"), 0); });
  WriteLine(-1, 3, [] {});
  CommitGroup("Werkzeuge");

  BuildExampleMenu();

  const std::string saved = folder / "Beispiel.trv";
  ChooseFile("Button_Save2", saved, true);
  ASSERT_TRUE(WaitUntil([&] { return ReadFileBytes(saved).size() > 0; }));
  EXPECT_EQ(ReadFileBytes(saved), std::string(ExampleGroups) + ExampleMenu);
}

TEST_F(EditorPage, TheTestButtonRunsTheWorkingListAndTheWindowStaysUsable) {
  const std::string log = PlaceRecorder(folder / "ArgRecorder.exe");
  const std::string project = folder / "Test.trv";
  WriteFileBytes(project, "[ExecGroups]\r\nTest\r\n 2 Weiter?;Frage;1;0\r\n 6 \"Ja\":\r\n" +
                              Command(folder / "ArgRecorder.exe /warte=4000", "1") +
                              "\r\n 6 \"Nein\":\r\n 4 Doppelklicken zum Bearbeiten\r\n 6 Verzweigungsende\r\n"
                              "[MenuItems]\r\n");
  trv->DropFiles({project});
  ASSERT_TRUE(WaitUntil([&] { return SendMessageA(Control("ComboBox_ExecLines"), CB_GETCOUNT, 0, 0) == 2; }));
  ChooseComboItem(Control("ComboBox_ExecLines"), 0);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(Control("Button_TestExecLines")) != 0; }));
  PressLater("Button_TestExecLines");
  AnswerBox(nullptr, "Weiter?", IDYES);
  ASSERT_TRUE(WaitUntil([] { return IsProcessRunning("ArgRecorder.exe"); }));
  // While the program runs, the window takes typed input and repaints.
  ASSERT_TRUE(TypeInto(Control("Edit_ExecName"), "Eingabe"));
  RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
  ASSERT_TRUE(WaitUntil([&] { return !GetUpdateRect(main, nullptr, FALSE); }));
  const unsigned long long usable = GetTickCount64();
  const std::vector<TRecord> records = WaitForRecords(log, 1);
  ASSERT_EQ(records.size(), 1u);
  // The program existed before the window was used, and ended after.
  EXPECT_GT(records[0].End, usable) << "usable while the program ran";
  EXPECT_EQ(records[0].Args, (std::vector<std::string>{"/warte=4000"}));
}

TEST_F(EditorPage, APathChosenInTheBrowserLandsQuotedInTheCommand) {
  // Below the drive, where the browser's tree reaches it from "My Computer"
  // (the user's hidden temporary folder it does not show).
  const std::string chosen = "C:\\Mein Ordner " + std::to_string(GetCurrentProcessId());
  ASSERT_TRUE(CreateDirectoryA(chosen.c_str(), nullptr));
  struct TRemove {
    std::string Path;
    ~TRemove() { RemoveDirectoryA(Path.c_str()); }
  } remove{chosen};
  OpenLineDialog("Button_NewExecLine");
  // Over the middle of the window that opened it.
  RECT box, owner;
  GetWindowRect(dialog, &box);
  GetWindowRect(main, &owner);
  EXPECT_NEAR(box.left + box.right, owner.left + owner.right, 2);
  EXPECT_NEAR(box.top + box.bottom, owner.top + owner.bottom, 2);
  ChooseComboItem(DialogControl("ComboBox_Kind"), 0);
  // The field's text is the browser's start, and stands selected.
  DialogType("Edit_Run", chosen);
  SendMessageA(DialogControl("Edit_Run"), EM_SETSEL, 0, -1);
  PostMessageA(DialogControl("Button_Search"), BM_CLICK, 0, 0);
  ConfirmBrowserAt(dialog, chosen.substr(3));
  EXPECT_TRUE(WaitUntil([&] { return TextOf(DialogControl("Edit_Run")) == "\"" + chosen + "\""; }))
      << TextOf(DialogControl("Edit_Run"));
  PostMessageA(DialogControl("Button_Cancel"), BM_CLICK, 0, 0);
}

TEST_F(EditorPage, ALinkForTheCurrentProjectNeedsItSaved) {
  AddEntry("Button_NewItem", "A", 0);
  PressLater("Button_CreateLink");
  AnswerPrompt(IDNO);
  AnswerBox("Speicherung erforderlich", "Das aktuelle Projekt muss zunächst gespeichert werden.", IDOK);
  EXPECT_EQ(VisiblePage(main), "Erstellen");
  // Saved, the project goes to the shortcut page's project field.
  const std::string saved = folder / "Mein Projekt.trv";
  ChooseFile("Button_Save2", saved);
  ASSERT_TRUE(WaitUntil([&] { return !ReadFileBytes(saved).empty(); }));
  PressLater("Button_CreateLink");
  ASSERT_TRUE(WaitUntil([&] { return VisiblePage(main) == "Verknüpfung"; }));
  EXPECT_EQ(TextOf(Control("Edit_Project")), saved);
}

TEST_F(EditorPage, HaeufigGewaehltesZuerstIsTheUsersOwnOnceTheProjectIsSaved) {
  HWND box = Control("CheckBox_MostUsed");
  auto checked = [&] { return SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED; };
  EXPECT_EQ(TextOf(box), "&Häufig Gewähltes zuerst");
  EXPECT_FALSE(IsWindowEnabled(box)) << "a project without a file";
  // A click on it says why.
  SetForegroundWindow(main);
  ClickAt(box, 8, 8);
  HWND balloon = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (balloon = VisibleBalloon(*trv)) != nullptr; }));
  EXPECT_EQ(BalloonText(balloon), "„Häufig Gewähltes zuerst“ gilt für die Datei des Projekts. Speichern Sie das Projekt zunächst.");
  AddEntry("Button_NewItem", "A", 0);
  const std::string saved = folder / "Häufig.trv";
  ChooseFile("Button_Save2", saved);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(box) != FALSE; }));
  EXPECT_FALSE(checked());
  const std::string bytes = ReadFileBytes(saved);
  // Where TRV.EXE, started from here, keeps it.
  char localAppData[MAX_PATH] = "";
  GetEnvironmentVariableA("LOCALAPPDATA", localAppData, MAX_PATH);
  const std::string choices = std::string(localAppData) + "\\VQ\\Tarvo\\Gewählt\\" + ChoicesFileName(saved);
  struct TRemoved {
    std::string File;
    ~TRemoved() { DeleteFileA(File.c_str()); }
  } removed{choices};
  Press("CheckBox_MostUsed");
  EXPECT_TRUE(checked());
  TChoices read;
  EXPECT_TRUE(ParseChoices(ReadFileBytes(choices), saved, read) && read.First);
  EXPECT_EQ(ReadFileBytes(saved), bytes);
  EXPECT_EQ(TextOf(main), "Tarvo - Konfiguration") << "the project is not changed by it";
  // A new project has no file; the saved one brings its setting back.
  Press("Button_New");
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowEnabled(box); }));
  EXPECT_FALSE(checked());
  trv->DropFiles({saved});
  ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(box) != FALSE; }));
  EXPECT_TRUE(checked());
  Press("CheckBox_MostUsed");
  EXPECT_TRUE(ParseChoices(ReadFileBytes(choices), saved, read) && !read.First);
  EXPECT_EQ(ReadFileBytes(saved), bytes);
}

TEST_F(EditorPage, SavingAnOpenedProjectWarnsOfItsFindingsThenWritesItUnchangedWithoutADialog) {
  const std::string project = folder / "Beispiel.trv";
  WriteFileBytes(project, std::string(ExampleGroups) + ExampleMenu);
  // Dated back, so that the save shows in the time of the last write.
  HANDLE file = CreateFileA(project.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  FILETIME old = {0, 0x01000000};
  SetFileTime(file, nullptr, nullptr, &old);
  CloseHandle(file);
  trv->DropFiles({project});
  ASSERT_TRUE(WaitUntil([&] { return Shape() == ExampleShape; }));
  // The time as the file system kept it (it may not go back that far).
  auto writeTime = [&] {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExA(project.c_str(), GetFileExInfoStandard, &data);
    return (static_cast<unsigned long long>(data.ftLastWriteTime.dwHighDateTime) << 32) |
           data.ftLastWriteTime.dwLowDateTime;
  };
  const unsigned long long before = writeTime();
  auto written = [&] { return writeTime() != before; };
  // "Nein" keeps the file and shows the findings.
  PressLater("Button_Save1");
  AnswerSaveWarning(IDNO);
  HWND check = trv->WaitForWindow("TCheckForm");
  ASSERT_NE(check, nullptr);
  EXPECT_EQ(TextOf(check), "Projekt prüfen");
  EXPECT_FALSE(written());
  PostMessageA(check, WM_CLOSE, 0, 0);
  // "Ja" saves.
  PressLater("Button_Save1");
  AnswerSaveWarning(IDYES);
  ASSERT_TRUE(WaitUntil(written)) << "written";
  EXPECT_TRUE(WaitUntil([&] { return trv->FindWindowOfClass("#32770") == nullptr; })) << "without a dialog";
  EXPECT_EQ(ReadFileBytes(project), std::string(ExampleGroups) + ExampleMenu);
}

TEST_F(EditorPage, WithoutChangesNothingAsks) {
  Press("Button_New");
  Settle();
  EXPECT_EQ(trv->FindWindowOfClass("#32770"), nullptr);
  // "Öffnen" goes straight to its dialog.
  PressLater("Button_Open");
  HWND dialog = WaitForDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_NE(TextOf(dialog), "Warnung");
  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
  Press("Button_Close");
  EXPECT_EQ(VisiblePage(main), "Startseite");
}

TEST_F(EditorPage, ThePromptsAnswersCancelClearOrSaveFirst) {
  AddEntry("Button_NewItem", "A", 0);
  ASSERT_EQ(Shape(), "A");
  // "Abbrechen" keeps everything.
  PressLater("Button_New");
  AnswerPrompt(IDCANCEL);
  Settle();
  EXPECT_EQ(Shape(), "A");
  // So does it when going back to the start page.
  PressLater("Button_Close");
  AnswerPrompt(IDCANCEL);
  Settle();
  EXPECT_EQ(VisiblePage(main), "Erstellen");
  // "&Nein" clears.
  PressLater("Button_New");
  AnswerPrompt(IDNO);
  EXPECT_TRUE(WaitUntil([&] { return Shape().empty(); }));
  // "&Ja" on an unnamed project asks for a name; cancelled, the project is
  // cleared all the same.
  AddEntry("Button_NewItem", "B", 0);
  PressLater("Button_New");
  AnswerPrompt(IDYES);
  HWND dialog = WaitForDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_NE(GetDlgItem(dialog, IDOK), nullptr) << "the save-as dialog";
  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  EXPECT_TRUE(WaitUntil([&] { return Shape().empty(); }));
  EXPECT_EQ(CountFiles(folder.Path()), 0);
}

TEST_F(EditorPage, AFileWithoutTheSignatureIsRefusedAndTheProjectStays) {
  const std::string project = folder / "Beispiel.trv", invalid = folder / "fremd.trv";
  WriteFileBytes(project, std::string(ExampleGroups) + ExampleMenu);
  WriteFileBytes(invalid, "[execgroups]\r\nEditor\r\n[MenuItems]\r\n");
  trv->DropFiles({project});
  ASSERT_TRUE(WaitUntil([&] { return Shape() == ExampleShape; }));
  ChooseFile("Button_Open", invalid);
  AnswerBox("Ungültige Datei", "Es wurde keine gültige Datei ausgewählt.", IDOK);
  EXPECT_EQ(Shape(), ExampleShape);
  // The project keeps its file: "Speichern" writes there.
  SelectEntry("-");
  AddEntry("Button_NewItem", "Ende", 0);
  PressLater("Button_Save1");
  AnswerSaveWarning(IDYES);
  EXPECT_TRUE(WaitUntil([&] { return ReadFileBytes(project) == std::string(ExampleGroups) + ExampleMenu + "0 0 Ende\r\n"; }));
  EXPECT_EQ(ReadFileBytes(invalid), "[execgroups]\r\nEditor\r\n[MenuItems]\r\n");
}

TEST_F(EditorPage, ANameTypedWithoutExtensionGetsTrv) {
  AddEntry("Button_NewItem", "A", 0);
  ChooseFile("Button_Save2", folder / "projekt");
  EXPECT_TRUE(WaitUntil([&] { return ReadFileBytes(folder / "projekt.trv") == "[ExecGroups]\r\n[MenuItems]\r\n0 0 A\r\n"; }));
  // Kept for the next time: the dialog proposes the chosen file.
  PressLater("Button_Save2");
  HWND dialog = WaitForDialog();
  ASSERT_NE(dialog, nullptr);
  HWND field = GetDlgItem(dialog, 0x47c) ? GetDlgItem(dialog, 0x47c) : GetDlgItem(dialog, 0x480);
  EXPECT_NE(TextOf(field).find("projekt"), std::string::npos) << TextOf(field);
  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

TEST_F(EditorPage, CtrlZAndCtrlYTakeBackAndRedoAndCtrlSSaves) {
  const std::string file = folder / "tasten.trv";
  AddEntry("Button_NewItem", "A", 0);
  ChooseFile("Button_Save2", file);
  AddEntry("Button_NewItem", "B", 0);
  ASSERT_EQ(Shape(), "A,B");
  EXPECT_EQ(TextOf(main), "Tarvo - Konfiguration *") << "the title says the project changed";
  FocusByClick("TreeView_Menu");
  PressKeys({VK_CONTROL, 'Z'});
  EXPECT_TRUE(WaitUntil([&] { return Shape() == "A"; })) << Shape();
  EXPECT_EQ(TextOf(main), "Tarvo - Konfiguration") << "back at the saved state";
  PressKeys({VK_CONTROL, 'Y'});
  EXPECT_TRUE(WaitUntil([&] { return Shape() == "A,B"; })) << Shape();
  PressKeys({VK_CONTROL, 'S'});
  EXPECT_TRUE(WaitUntil([&] { return ReadFileBytes(file) == "[ExecGroups]\r\n[MenuItems]\r\n0 0 A\r\n0 0 B\r\n"; }));
  EXPECT_TRUE(WaitUntil([&] { return TextOf(main) == "Tarvo - Konfiguration"; })) << TextOf(main);
}

TEST(EditorPageKeys, AltF4ClosesTheWindowFromEveryControl) {
  for (const char* name : {"TreeView_Menu", "ListView_ExecLines", "Edit_ItemText", "ComboBox_Assignment"}) {
    SCOPED_TRACE(name);
    TConfigProcess trv;
    HWND main = trv.MainWindow();
    ASSERT_NE(main, nullptr);
    SendMessageA(OptionButtons(main)[0], BM_CLICK, 0, 0);
    HWND control = ControlHandle(main, name);
    SetForegroundWindow(main);
    ClickAt(control, 4, ClientSize(control).cy - 4);
    ASSERT_TRUE(WaitUntil([&] { return GetAncestor(trv.Focus(), GA_ROOT) == main; }));
    PressKeys({VK_MENU, VK_F4});
    EXPECT_TRUE(trv.WaitForExit(10000));
  }
}

TEST_F(EditorPage, DelDeletesWhileItsButtonMayAndOnlyThen) {
  AddEntry("Button_NewItem", "A", 0);
  AddEntry("Button_NewItem", "B", 0);
  FocusByClick("TreeView_Menu");
  SelectEntry("A");
  PressKeys({VK_DELETE});
  EXPECT_TRUE(WaitUntil([&] { return Shape() == "B"; })) << Shape();
  // A question and its branch rows: a marker row's "Löschen" is off, and
  // Del leaves it; on the question Del takes the whole structure.
  StartNewGroup();
  WriteLine(-1, 2, [&] {
    DialogType("Edit_Text", "Weiter?");
    DialogType("Edit_Title", "Frage");
  });
  ASSERT_EQ(LineCount(), 6);
  FocusByClick("ListView_ExecLines");
  SelectListRow(Control("ListView_ExecLines"), 1);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowEnabled(Control("Button_DelExecLine")); }));
  PressKeys({VK_DELETE});
  Settle();
  EXPECT_EQ(LineCount(), 6);
  SelectListRow(Control("ListView_ExecLines"), 0);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(Control("Button_DelExecLine")); }));
  PressKeys({VK_DELETE});
  EXPECT_TRUE(WaitUntil([&] { return LineCount() == 0; })) << LineCount();
}

TEST_F(EditorPage, FilesDroppedOnTheListBecomeCommandLinesWhereTheyFall) {
  const std::string program = folder / "prog.exe", document = folder / "Mein Brief.txt", link = folder / "Spiel.lnk";
  WriteFileBytes(program, "MZ");
  WriteFileBytes(document, "Hallo");
  WriteLink(link, TrvExePath(), "-fenster");
  StartNewGroup();
  HWND list = Control("ListView_ExecLines");
  // Below the rows: appended, in their order.
  trv->DropFiles({program, link}, list, {20, ClientSize(list).cy - 10});
  ASSERT_TRUE(WaitUntil([&] { return LineCount() == 2; })) << LineCount();
  // On the first row: before it.
  HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
  trv->DropFiles({document}, list, {20, ClientSize(header).cy + 4});
  ASSERT_TRUE(WaitUntil([&] { return LineCount() == 3; })) << LineCount();
  // Each item on its own: a link that cannot be read and a name Windows-1252
  // lacks are named, what can be taken comes in.
  const std::string broken = folder / "kaputt.lnk";
  WriteFileBytes(broken, "keine Verknüpfung");
  const std::wstring foreign = W(folder.Path()) + L"\u0416\u0443\u0440\u043D\u0430\u043B.exe";
  trv->DropFiles(std::vector<std::wstring>{W(broken), foreign, W(program)}, list, {20, ClientSize(list).cy - 10});
  HWND box = trv->WaitForWindow("#32770");
  ASSERT_NE(box, nullptr);
  const std::wstring said = MessageBoxTextW(box);
  EXPECT_EQ(said.find(L"Diese Dateien wurden nicht übernommen:\r\n"), 0u);
  EXPECT_NE(said.find(L"\r\n" + W(broken) + L"\r\n    "), std::wstring::npos);
  EXPECT_NE(said.find(L"\r\n" + foreign + L"\r\n    \u201E" + foreign), std::wstring::npos);
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitUntil([&] { return LineCount() == 4; })) << LineCount();
  CommitGroup("Dateien");
  AddEntry("Button_NewItem", "Dateien", 1);
  const std::string file = folder / "dateien.trv";
  ChooseFile("Button_Save2", file);
  ASSERT_TRUE(WaitUntil([&] { return ReadFileBytes(file).find("[MenuItems]") != std::string::npos; }));
  const std::string text = ReadFileBytes(file);
  const size_t brief = text.find("Mein Brief.txt\""), prog = text.find("prog.exe;0"), game = text.find("TRV.EXE");
  ASSERT_NE(brief, std::string::npos) << text;
  ASSERT_NE(prog, std::string::npos) << text;
  ASSERT_NE(game, std::string::npos) << text;
  EXPECT_LT(brief, prog) << text;
  EXPECT_LT(prog, game) << text;
  EXPECT_NE(text.find("TRV.EXE -fenster\";0"), std::string::npos) << "the link's arguments come with its target\n" << text;
  EXPECT_NE(text.find(" 0 \""), std::string::npos) << "a path with blanks is quoted\n" << text;
}

TEST_F(EditorPage, AProgramDroppedOnTheWorkingListIsAskedAboutBeforeItIsLeft) {
  const std::string project = folder / "Gruppen.trv", program = folder / "prog.exe";
  WriteFileBytes(project, "[ExecGroups]\r\nEditor\r\n 0 notepad.exe;0\r\nSpiele\r\n 3 \r\n[MenuItems]\r\n");
  WriteFileBytes(program, "MZ");
  trv->DropFiles({project});
  HWND groups = Control("ComboBox_ExecLines"), list = Control("ListView_ExecLines");
  ASSERT_TRUE(WaitUntil([&] { return SendMessageA(groups, CB_GETCOUNT, 0, 0) == 3; }));
  ChooseComboItem(groups, 0);
  auto drop = [&] {
    const int before = LineCount();
    trv->DropFiles({program}, list, {20, ClientSize(list).cy - 10});
    ASSERT_TRUE(WaitUntil([&] { return LineCount() == before + 1; })) << LineCount();
  };
  drop();
  // Another group chosen, as the user chooses it (the question is modal).
  auto chooseLater = [&](int item) {
    SendMessageA(groups, CB_SETCURSEL, item, 0);
    PostMessageA(GetParent(groups), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(groups), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(groups));
  };
  const char* const asked =
      "Die Befehlszeilen der Gruppe \"Editor\" wurden geändert. Möchten Sie die Änderungen vorher in die Gruppe "
      "übernehmen?";
  chooseLater(1);
  AnswerBox("Warnung", asked, IDCANCEL);
  Settle();
  EXPECT_EQ(SendMessageA(groups, CB_GETCURSEL, 0, 0), 0) << "stayed at the group the rows are of";
  EXPECT_EQ(LineCount(), 2);
  chooseLater(1);
  AnswerBox("Warnung", asked, IDYES);
  ASSERT_TRUE(WaitUntil([&] { return LineCount() == 1; }));
  EXPECT_EQ(TextOf(main), "Tarvo - Konfiguration *") << "taken over into the group";
  ChooseComboItem(groups, 0);
  EXPECT_EQ(LineCount(), 2);
  // The menu entry's fields: "Abbrechen" brings the focus back to the rows.
  drop();
  SetForegroundWindow(main);
  ClickAt(Control("Edit_ItemText"), 4, ClientSize(Control("Edit_ItemText")).cy - 4);
  AnswerBox("Warnung", asked, IDCANCEL);
  EXPECT_TRUE(WaitUntil([&] { return trv->Focus() == list; }));
  EXPECT_EQ(LineCount(), 3);
  // Another page: the rows first, then the project.
  PressLater("Button_Close");
  AnswerBox("Warnung", asked, IDNO);
  AnswerPrompt(IDCANCEL);
  Settle();
  EXPECT_EQ(VisiblePage(main), "Erstellen");
  EXPECT_EQ(LineCount(), 2) << "dropped";
}

TEST_F(EditorPage, AnEntryIsDraggedWithItsSubEntriesAndARefusedDropChangesNothing) {
  AddEntry("Button_NewItem", "A", 0);
  AddEntry("Button_NewSubItem", "a1", 0);
  SelectEntry("A");
  AddEntry("Button_NewItem", "B", 0);
  AddEntry("Button_NewItem", "C", 0);
  ASSERT_EQ(Shape(), "A(a1),B,C");
  auto row = [&](const std::string& text) {
    for (const TRemoteNode& node : RemoteTreeNodes(tree))
      if (node.Text == text) return RemoteTreeItemRect(tree, node.Item);
    return RECT{};
  };
  // The middle of a caption: into it; its lowest pixel: after it.
  auto middle = [&](const std::string& text) {
    const RECT r = row(text);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  };
  auto bottom = [&](const std::string& text) {
    const RECT r = row(text);
    return POINT{(r.left + r.right) / 2, r.bottom - 1};
  };
  SetForegroundWindow(main);
  DragMouse(tree, middle("C"), middle("A"));
  EXPECT_TRUE(WaitUntil([&] { return Shape() == "A(a1,C),B"; })) << Shape();
  // The dragged entry stays selected, and no other looks it.
  auto highlighted = [&](UINT which) {
    HTREEITEM item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, which, 0));
    for (const TRemoteNode& node : RemoteTreeNodes(tree))
      if (node.Item == item) return node.Text;
    return std::string();
  };
  EXPECT_EQ(highlighted(TVGN_CARET), "C");
  EXPECT_EQ(highlighted(TVGN_DROPHILITE), "");
  DragMouse(tree, middle("A"), bottom("B"));
  EXPECT_TRUE(WaitUntil([&] { return Shape() == "B,A(a1,C)"; })) << Shape();
  // Into its own sub-entry: refused.
  DragMouse(tree, middle("A"), middle("a1"));
  Settle();
  EXPECT_EQ(Shape(), "B,A(a1,C)");
}

TEST_F(EditorPage, TheFolderChooserStartsAtTheProjectsFolderAndTakesAWholePathTyped) {
  // The field names the chosen folder: the project's.
  std::string projectFolder = folder.Path();
  projectFolder.pop_back();
  projectFolder.erase(0, projectFolder.find_last_of('\\') + 1);
  const std::string links = folder / "Verknüpfungen";
  ASSERT_TRUE(CreateDirectoryA(links.c_str(), nullptr));
  WriteLink(links + "\\Editor.lnk", TrvExePath(), "");
  ChooseFile("Button_Save2", folder / "projekt.trv");
  PressLater("Button_Import");
  HWND browser = nullptr, field = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    browser = trv->FindWindowOfClass("#32770");
    field = browser ? FindWindowExA(browser, nullptr, "Edit", nullptr) : nullptr;
    return field && TextOf(field) == projectFolder;
  })) << (field ? TextOf(field) : "no field");
  // A path that names nothing is said, and the chooser stays.
  const std::string missing = folder / "fehlt";
  SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(missing.c_str()));
  PostMessageA(browser, WM_COMMAND, IDOK, 0);
  HWND box = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    for (HWND w : WindowsOf(trv->Pid(), "#32770"))
      if (w != browser && IsWindowVisible(w)) box = w;
    return box != nullptr;
  }));
  EXPECT_EQ(MessageBoxText(box), "Der Ordner \"" + missing + "\" wurde nicht gefunden.");
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
  ASSERT_TRUE(IsWindow(browser));
  SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(links.c_str()));
  PostMessageA(browser, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(WaitUntil([&] { return Shape() == "Editor"; })) << Shape();
}

TEST_F(EditorPage, AMenuIsTakenFromAFolderOfShortcutsAsOneStep) {
  // Below the drive, where the browser reaches it (see above); the browser
  // starts where the project lies.
  const std::string root = "C:\\Tarvo Import " + std::to_string(GetCurrentProcessId());
  struct TRemove {
    std::string Path;
    ~TRemove() { RemoveTree(Path); }
  } remove{root};
  for (const char* sub : {"", "\\Büro", "\\Büro\\Unter", "\\Leer"}) ASSERT_TRUE(CreateDirectoryA((root + sub).c_str(), nullptr));
  WriteFileBytes(root + "\\Spiel.exe", "MZ");
  WriteLink(root + "\\Büro\\Editor.lnk", TrvExePath(), "");
  WriteLink(root + "\\Büro\\Kaputt.lnk", "C:\\gibt es nicht\\weg.exe", "");
  WriteLink(root + "\\Büro\\Unter\\Rechner.lnk", TrvExePath(), "-x");
  AddEntry("Button_NewItem", "Alt", 0);
  ChooseFile("Button_Save2", root + "\\projekt.trv");
  ASSERT_TRUE(WaitUntil([&] { return ReadFileBytes(root + "\\projekt.trv").find("0 0 Alt") != std::string::npos; }));
  PressLater("Button_Import");
  ConfirmBrowserAt(main, root.substr(3));
  AnswerBox("Aus Ordner übernehmen",
            "Das Projekt hat schon Menüeinträge. Sollen sie durch das Menü aus dem Ordner ersetzt werden?", IDYES);
  AnswerBox("Aus Ordner übernehmen",
            "Diese Verknüpfungen zeigen auf nichts Vorhandenes und wurden übergangen:\r\n" + root +
                "\\Büro\\Kaputt.lnk",
            IDOK);
  EXPECT_TRUE(WaitUntil([&] { return Shape() == "Büro(Unter(Rechner),Editor),Spiel"; })) << Shape();
  FocusByClick("TreeView_Menu");
  PressKeys({VK_CONTROL, 'Z'});
  EXPECT_TRUE(WaitUntil([&] { return Shape() == "Alt"; })) << Shape();
}

}  // namespace

// The command-line group editor and the command-line dialog in process: the
// real windows, the model checked after each commit.
#include <gtest/gtest.h>
#include <windows.h>

#include "tests/core/Fakes.h"
#include "tests/win/EditorFormFixture.h"
#include "tests/win/FormTestSupport.h"

namespace {

class GroupEditor : public TEditorFormTest {
 public:
  TComboBox& Groups() { return form->Get<TComboBox>("ComboBox_ExecLines"); }
  TListView& Rows() { return form->Get<TListView>("ListView_ExecLines"); }
  TForm2& Dialog() { return form->EditorPage().CommandLineDialog(); }
  // The line the dialog edits, and its row (-1: a new line).
  TExecLine line;
  int lineRow = -1;

  std::vector<std::string> Items(TComboBox& combo) {
    std::vector<std::string> items;
    for (int i = 0; i < combo.Count(); ++i) items.push_back(combo.Item(i));
    return items;
  }
  // The working list as "caption|parameter" rows.
  std::vector<std::string> RowTexts() {
    std::vector<std::string> rows;
    for (int i = 0; i < Rows().Count(); ++i) rows.push_back(Rows().Cell(i, 0) + "|" + Rows().Cell(i, 1));
    return rows;
  }
  void ChooseGroup(int index) {
    Groups().SetItemIndex(index);
    form->EditorPage().GroupPanel().ComboBox_ExecLinesChange(Groups());
  }
  void TypeName(const std::string& name) { form->Get<TEdit>("Edit_ExecName").SetText(name); }

  // The dialog as the line buttons show it, without its modal loop: the
  // job, FormShow, the fields a test fills in, OK.
  void OpenDialog(int row) {
    Dialog().Hide();
    if (row >= 0) {
      Rows().SetSelected(row);
      form->EditorPage().GroupPanel().ListView_ExecLinesSelectItem(Rows());
      ASSERT_NE(Editor().LineToEdit(), nullptr);
    }
    line = row < 0 ? TExecLine() : *Editor().LineToEdit();
    lineRow = row;
    std::vector<std::string> names;
    for (const TExecGroup& group : Project().ExecGroups()) names.push_back(group.Name);
    Dialog().Prepare(line, row < 0, names);
    Dialog().Show();
  }
  TGroupEditor& Editor() { return form->EditorPage().GroupEditor(); }
  void ChooseKind(int kind) {
    Dialog().Get<TComboBox>("ComboBox_Kind").SetItemIndex(kind);
    Dialog().ComboBox_KindChange(Dialog().Control("ComboBox_Kind"));
  }
  void SetText(const char* edit, const std::string& text) { Dialog().Get<TEdit>(edit).SetText(text); }
  bool Confirm() {
    Dialog().ModalResult = mrNone;
    Dialog().Button_OKClick(Dialog().Control("Button_OK"));
    const bool closed = Dialog().ModalResult == mrOK;
    if (!closed) return false;
    Dialog().Hide();
    // What the line buttons do with the dialog's line.
    if (lineRow < 0)
      Editor().ApplyNewLine(line);
    else
      Editor().ApplyEditedLine(lineRow, line);
    return true;
  }
  void AddLine(int kind, const std::string& field = "", const std::string& title = "") {
    OpenDialog(-1);
    ChooseKind(kind);
    if (kind == lkCommand) SetText("Edit_Run", field);
    if (kind == lkMessage || kind == lkQuestion) {
      SetText("Edit_Text", field);
      SetText("Edit_Title", title);
    }
    if (kind == lkCallGroup) Dialog().Get<TComboBox>("ComboBox_ExecGroups").SetItemIndex(0);
    ASSERT_TRUE(Confirm());
    form->EditorPage().GroupPanel().ListView_ExecLinesSelectItem(Rows());
  }
  void Commit(const std::string& name, const char* button = "Button_NewExec") {
    TypeName(name);
    Click(button);
  }
};

TEST_F(GroupEditor, GroupsAreCommittedSortedAndMenuAssignmentsFollow) {
  LoadText("[ExecGroups]\r\n[MenuItems]\r\n");
  Commit("beta");
  form->Get<TEdit>("Edit_ItemText").SetText("Beta-Eintrag");
  form->Get<TComboBox>("ComboBox_Assignment").SetItemIndex(1);
  Click("Button_NewItem");
  const std::vector<std::string> expected[] = {{"Alpha", "beta"}, {"Alpha", "beta", "gamma"}};
  int round = 0;
  for (const char* name : {"Alpha", "gamma"}) {
    ChooseGroup(-1);
    AddLine(lkEndRun);
    Commit(name);
    std::vector<std::string> items = expected[round++];
    ASSERT_EQ(Project().ExecGroups().size(), items.size());
    for (size_t i = 0; i < items.size(); ++i) EXPECT_EQ(Project().ExecGroups()[i].Name, items[i]);
    items.push_back("Neue Befehlszeilenfolge");
    EXPECT_EQ(Items(Groups()), items);
    EXPECT_EQ(Groups().Item(Groups().ItemIndex()), name) << "the committed group stays selected";
    // The entry bound to beta still shows beta.
    TComboBox& assignment = form->Get<TComboBox>("ComboBox_Assignment");
    EXPECT_EQ(assignment.Item(assignment.ItemIndex()), "beta");
    EXPECT_EQ(Project().ExecGroups()[Project().MenuItems()[0].Assignment - 1].Name, "beta");
  }
  EXPECT_EQ(Project().ExecGroups()[0].Lines.size(), 1u);
  EXPECT_TRUE(Project().Modified());
}

TEST_F(GroupEditor, TheWorkingListIsAScratchCopy) {
  LoadText("[ExecGroups]\r\nEditor\r\n 0 notepad.exe;0\r\nSpiele\r\n 3 \r\n[MenuItems]\r\n");
  ChooseGroup(0);
  EXPECT_EQ(RowTexts(), (std::vector<std::string>{"Kommando|notepad.exe;0"}));
  EXPECT_TRUE(Enabled("Button_TestExecLines"));
  AddLine(lkEndRun);
  Rows().SetSelected(0);
  Click("Button_DelExecLine");
  EXPECT_EQ(RowTexts(), (std::vector<std::string>{"Ablauf beenden|"}));
  EXPECT_FALSE(Project().Modified()) << "rows are no change";
  {
    // Left for another group, the changed rows are asked about: "Nein"
    // drops them.
    TRecordingMessageBoxes boxes;
    boxes.Answer = IDNO;
    IMessageBoxes* const shown = Platform.MessageBoxes;
    Platform.MessageBoxes = &boxes;
    ChooseGroup(1);
    ChooseGroup(0);
    Platform.MessageBoxes = shown;
    EXPECT_EQ(boxes.Shown.size(), 1u);
  }
  EXPECT_EQ(RowTexts(), (std::vector<std::string>{"Kommando|notepad.exe;0"})) << "the edits are gone";
  EXPECT_FALSE(Project().Modified());
  // "Neue Befehlszeilenfolge" empties name and list.
  ChooseGroup(2);
  EXPECT_EQ(Groups().ItemIndex(), -1);
  EXPECT_EQ(form->Get<TEdit>("Edit_ExecName").Text(), "");
  EXPECT_EQ(Rows().Count(), 0);
  for (const char* button : {"Button_EditExec", "Button_DelExec", "Button_TestExecLines"})
    EXPECT_FALSE(Enabled(button)) << button;
}

TEST_F(GroupEditor, TheNameButtonsRefuseDuplicatesAndUnstorableNames) {
  LoadText("[ExecGroups]\r\nEditor\r\nSpiele\r\n[MenuItems]\r\n");
  ChooseGroup(0);
  // The rules themselves are the core's (GroupNames); here their wiring to
  // the name field and both buttons.
  const struct {
    const char* name;
    bool create, change;
  } cases[] = {
      {"EDITOR", false, true}, {"spiele", false, false}, {"Neu", true, true}, {" Neu", false, false},
  };
  for (const auto& c : cases) {
    TypeName(c.name);
    EXPECT_EQ(Enabled("Button_NewExec"), c.create) << c.name;
    EXPECT_EQ(Enabled("Button_EditExec"), c.change) << c.name;
  }
}

TEST_F(GroupEditor, RenamingAndDeletingKeepReferencesValid) {
  LoadText(
      "[ExecGroups]\r\nA\r\n 5 \"C\"\r\nB\r\n 5 \"A\"\r\n 5 \"a\"\r\nC\r\n 3 \r\n[MenuItems]\r\n"
      "0 1 eins\r\n0 2 zwei\r\n0 3 drei\r\n");
  ChooseGroup(0);
  Commit("Z", "Button_EditExec");
  // Sorted: B, C, Z; the call of "A" follows, the one of "a" does not.
  ASSERT_EQ(Project().ExecGroups().size(), 3u);
  EXPECT_EQ(Project().ExecGroups()[2].Name, "Z");
  EXPECT_EQ(Project().ExecGroups()[0].Lines[0].Params, "\"Z\"");
  EXPECT_EQ(Project().ExecGroups()[0].Lines[1].Params, "\"a\"");
  EXPECT_EQ(Project().MenuItems()[0].Assignment, 3);
  // Deleting the second, C: its caller gets a placeholder, its entry "Keine
  // Aktion", and the third group moves up.
  ChooseGroup(1);
  Click("Button_DelExec");
  ASSERT_EQ(Project().ExecGroups().size(), 2u);
  EXPECT_EQ(Project().ExecGroups()[1].Lines[0].Kind, lkNoAction);
  EXPECT_EQ(Project().ExecGroups()[1].Lines[0].Params, "Doppelklicken zum Bearbeiten");
  EXPECT_EQ(Project().MenuItems()[0].Assignment, 2);
  EXPECT_EQ(Project().MenuItems()[1].Assignment, 1);
  EXPECT_EQ(Project().MenuItems()[2].Assignment, 0);
  EXPECT_EQ(Items(form->Get<TComboBox>("ComboBox_Assignment")),
            (std::vector<std::string>{"Keine Aktion", "B", "Z"}));
  EXPECT_EQ(Groups().ItemIndex(), -1);
  EXPECT_TRUE(Project().Modified());
}

TEST_F(GroupEditor, AForeignKindIsShownAndKept) {
  LoadText("[ExecGroups]\r\nFremd\r\n 7 etwas\r\n 3 \r\n[MenuItems]\r\n");
  ChooseGroup(0);
  EXPECT_EQ(RowTexts()[0], "Typ 7|etwas");
  Click("Button_EditExec");
  ASSERT_EQ(Project().ExecGroups()[0].Lines.size(), 2u);
  EXPECT_EQ(Project().ExecGroups()[0].Lines[0].Kind, 7);
  EXPECT_EQ(Project().ExecGroups()[0].Lines[0].Params, "etwas");
  EXPECT_EQ(Project().ExecGroups()[0].Lines[1].Params, "");
}

TEST_F(GroupEditor, TheDialogLoadsAndStoresEachKind) {
  LoadText("[ExecGroups]\r\nEditor\r\n 1 Fehlgeschlagen.;Fehler;0;1\r\n 0 \"C:\\Mein Spiel\\s.exe\";1\r\n"
           " 0 regedit.exe;0;1\r\n 5 \"Editor\"\r\n 5 \"Fehlt\"\r\n 0 \"x.exe a\"\" %TEMP%\";0;0;1\r\n[MenuItems]\r\n");
  ChooseGroup(0);
  const std::vector<std::string> before = RowTexts();
  // Opened and confirmed unchanged, each line stays as it was.
  for (int row = 0; row < 4; ++row) {
    SCOPED_TRACE(row);
    OpenDialog(row);
    ASSERT_TRUE(Confirm());
    EXPECT_EQ(RowTexts(), before);
  }
  OpenDialog(0);
  EXPECT_EQ(Dialog().Get<TComboBox>("ComboBox_MsgKind").ItemIndex(), 0) << "Fehler, as stored";
  EXPECT_TRUE(Dialog().Get<TCheckBox>("CheckBox_CancelButton").Checked());
  EXPECT_EQ(Dialog().PageIndex("Notebook"), 1);
  OpenDialog(1);
  EXPECT_EQ(Dialog().Get<TEdit>("Edit_Run").Text(), "C:\\Mein Spiel\\s.exe");
  EXPECT_TRUE(Dialog().Get<TCheckBox>("CheckBox_Wait").Checked());
  EXPECT_FALSE(Dialog().Get<TCheckBox>("CheckBox_Elevated").Checked());
  Dialog().Get<TCheckBox>("CheckBox_Elevated").SetChecked(true);
  ASSERT_TRUE(Confirm());
  EXPECT_EQ(RowTexts()[1], "Kommando|\"C:\\Mein Spiel\\s.exe\";1;1") << "run as administrator";
  OpenDialog(2);
  EXPECT_TRUE(Dialog().Get<TCheckBox>("CheckBox_Elevated").Checked());
  Dialog().Get<TCheckBox>("CheckBox_Elevated").SetChecked(false);
  ASSERT_TRUE(Confirm());
  EXPECT_EQ(RowTexts()[2], "Kommando|regedit.exe;0");
  // A dropped file's exact line stays exact while its text stays; changed,
  // it is a typed line.
  OpenDialog(5);
  ASSERT_TRUE(Confirm());
  EXPECT_EQ(RowTexts()[5], "Kommando|\"x.exe a\"\" %TEMP%\";0;0;1");
  OpenDialog(5);
  Dialog().Get<TEdit>("Edit_Run").SetText("x.exe a");
  ASSERT_TRUE(Confirm());
  EXPECT_EQ(RowTexts()[5], "Kommando|\"x.exe a\";0");
  // A call of a group that is gone opens without a group and is refused.
  OpenDialog(4);
  EXPECT_EQ(Dialog().Get<TComboBox>("ComboBox_ExecGroups").ItemIndex(), -1);
  EXPECT_EQ(Dialog().PageIndex("Notebook"), 2);
  EXPECT_FALSE(Confirm());
  // Picking a kind presets the message type.
  OpenDialog(-1);
  ChooseKind(lkMessage);
  EXPECT_EQ(Dialog().Get<TComboBox>("ComboBox_MsgKind").ItemIndex(), 3);
  ChooseKind(lkQuestion);
  EXPECT_EQ(Dialog().Get<TComboBox>("ComboBox_MsgKind").ItemIndex(), 1);
  Dialog().Hide();
}

TEST_F(GroupEditor, TheDialogOffersTheWorkingFolderAndTheWindowOfACommand) {
  LoadText("[ExecGroups]\r\nG\r\n 0 notepad.exe;0\r\n 0 x.exe;1;1;0;\"D:\\Mit;Semikolon\";2\r\n[MenuItems]\r\n");
  ChooseGroup(0);
  TEdit& folder = Dialog().Get<TEdit>("Edit_Folder");
  TComboBox& window = Dialog().Get<TComboBox>("ComboBox_Window");
  const struct {
    int Row;
    const char* Folder;  // as loaded
    int Window;
    const char* NewFolder;  // as set, with the row it gives
    int NewWindow;
    const char* Written;
  } rows[] = {
      {0, "", 0, "C:\\Daten", 1, "Kommando|notepad.exe;0;0;0;C:\\Daten;1"},
      {0, "C:\\Daten", 1, "", 0, "Kommando|notepad.exe;0"},
      {1, "D:\\Mit;Semikolon", 2, "D:\\Mit;Semikolon", 2, "Kommando|x.exe;1;1;0;\"D:\\Mit;Semikolon\";2"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.Written);
    OpenDialog(row.Row);
    EXPECT_EQ(Items(window), (std::vector<std::string>{"Normal", "Minimiert", "Maximiert"}));
    EXPECT_EQ(folder.Text(), row.Folder);
    EXPECT_EQ(window.ItemIndex(), row.Window);
    folder.SetText(row.NewFolder);
    window.SetItemIndex(row.NewWindow);
    ASSERT_TRUE(Confirm());
    EXPECT_EQ(RowTexts()[row.Row], row.Written);
  }
  // A new line starts without a folder, shown normally.
  OpenDialog(-1);
  EXPECT_EQ(folder.Text(), "");
  EXPECT_EQ(window.ItemIndex(), 0);
  Dialog().Hide();
}

TEST_F(GroupEditor, TheDialogsChecksShowTheirBalloonsInOrder) {
  LoadText("[ExecGroups]\r\nEditor\r\n[MenuItems]\r\n");
  OpenDialog(-1);
  const struct {
    void (*fill)(GroupEditor&);
    const char* control;
    const char* text;
  } steps[] = {
      {[](GroupEditor&) {}, "ComboBox_Kind", "Wählen Sie einen Befehlszeilentyp aus."},
      {[](GroupEditor& t) { t.ChooseKind(lkCommand); }, "Edit_Run",
       "Geben Sie die Befehlszeile zum Programmaufruf ein."},
      {[](GroupEditor& t) { t.ChooseKind(lkMessage); }, "Edit_Text", "Geben Sie einen Text für die Meldung ein."},
      {[](GroupEditor& t) { t.SetText("Edit_Text", "Hallo"); }, "Edit_Title",
       "Geben Sie einen Titel für die Meldung ein."},
      {[](GroupEditor& t) {
         t.SetText("Edit_Title", "Gruß");
         t.Dialog().Get<TComboBox>("ComboBox_MsgKind").SetItemIndex(-1);
       },
       "ComboBox_MsgKind", "Wählen Sie einen Meldungstyp für die Meldung aus."},
      {[](GroupEditor& t) { t.ChooseKind(lkCallGroup); }, "ComboBox_ExecGroups",
       "Wählen Sie die auszuführende Befehlszeilengruppe."},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.control);
    step.fill(*this);
    EXPECT_FALSE(Confirm());
    TControl& control = Dialog().Control(step.control);
    EXPECT_EQ(form->Balloons.Owner(), control.Handle);
    EXPECT_EQ(form->Balloons.Timer().Interval(), 5000u);
    EXPECT_EQ(BalloonText(form->Balloons.Window()), step.text);
  }
  EXPECT_EQ(Rows().Count(), 0);
  // Esc hides the balloon and leaves the dialog open.
  WORD key = VK_ESCAPE;
  form->Balloons.KeyDown(Dialog(), key);
  EXPECT_EQ(key, 0);
  EXPECT_FALSE(form->Balloons.Timer().Enabled());
  EXPECT_TRUE(IsWindowVisible(Dialog().Handle));
  Dialog().Hide();
}

}  // namespace

namespace {

TEST_F(GroupEditor, EntriesAndCommandLinesShowTheIconOfWhatTheyStart) {
  char self[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  LoadText(std::string("[ExecGroups]\r\nA Programm\r\n 0 ") + self + ";0\r\nB Fehlt\r\n 0 " + (folder / "fehlt.exe") +
           ";0\r\nC Meldung\r\n 1 Hallo;Titel;0;0\r\n[MenuItems]\r\n0 1 Programm\r\n0 2 Fehlt\r\n0 3 Meldung\r\n");
  TTreeView& tree = form->EditorPage().MenuTree();
  ASSERT_TRUE(tree.ImageOf);
  const HTREEITEM program = tree.Root(), missing = tree.NextSibling(program), message = tree.NextSibling(missing);
  // From the cache at once, or from the worker a moment later.
  EXPECT_TRUE(PumpUntil([&] { return tree.ImageOf(program) > 0; }));
  EXPECT_EQ(tree.ImageOf(missing), 0);
  EXPECT_EQ(tree.ImageOf(message), 0);
  ChooseGroup(0);
  ASSERT_EQ(Rows().Count(), 1);
  EXPECT_EQ(Rows().ImageOf(0), tree.ImageOf(program));
  // The worker's wake-up (WM_APP + 2), as any process may send it: nothing
  // in it is taken for a result, and nothing changes.
  const int image = tree.ImageOf(program);
  for (LPARAM forged : {LPARAM(0), LPARAM(0x1234), reinterpret_cast<LPARAM>(&image)})
    SendMessageA(form->Handle, WM_APP + 2, 0, forged);
  EXPECT_EQ(tree.ImageOf(program), image);
  EXPECT_EQ(tree.ImageOf(missing), 0);
  EXPECT_EQ(Rows().ImageOf(0), image);
}

}  // namespace

#include <gtest/gtest.h>

#include "config/CommandLines.h"
#include "launcher/Interpreter.h"

namespace {

using Captions = std::vector<std::string>;

TEST(CommandLineRows, LinesBecomeRowsAndBack) {
  const TExecLine lines[] = {
      {lkCommand, "notepad.exe;0"}, {lkEndRun, ""},      {lkNoAction, NoActionParams},
      {lkBranchMarker, MarkerYes},  {lkCallGroup, "\"Editor\""}, {7, "fremd"},
  };
  const char* captions[] = {"Kommando", "Ablauf beenden", "Keine Aktion", "#", "Befehlszeilengruppe", "Typ 7"};
  for (size_t i = 0; i < std::size(lines); ++i) {
    SCOPED_TRACE(i);
    TLineRow row = RowOfLine(lines[i]);
    EXPECT_EQ(row.Caption, captions[i]);
    EXPECT_EQ(row.HasParam, !lines[i].Params.empty()) << "an empty parameter shows no sub-item";
    TExecLine back = LineOfRow(row);
    EXPECT_EQ(back.Kind, lines[i].Kind);
    EXPECT_EQ(back.Params, lines[i].Params);
  }
  // A row the dialog wrote with an empty sub-item reads as empty too.
  EXPECT_EQ(LineOfRow({"Ablauf beenden", true, ""}).Params, "");
}

TEST(CommandLineRows, BranchStructuresEndAfterTheirOwnEndMarker) {
  // A question whose yes-branch holds a nested question, then a line after
  // its end marker.
  const Captions rows = {"Kommando", "Frage stellen", "#", "Frage stellen", "#", "Keine Aktion", "#",
                         "Keine Aktion", "#", "#", "Meldung anzeigen", "#", "Ablauf beenden"};
  EXPECT_EQ(BranchRowCount(rows, 1), 10);  // rows 2 to 11
  EXPECT_EQ(BranchRowCount(rows, 3), 5);   // the nested one: rows 4 to 8
  // A structure cut short by the end of the list ends there.
  EXPECT_EQ(BranchRowCount({"Frage stellen", "#", "Kommando"}, 0), 2);
  ASSERT_EQ(NewBranchRows().size(), 5u);
  EXPECT_EQ(NewBranchRows()[4].Param, "Verzweigungsende");
}

TEST(CommandLineRows, OnlyLinesOfBranchesWithAnotherLineCanBeDeleted) {
  const Captions rows = {"Frage stellen", "#", "Kommando", "#", "Kommando", "Kommando", "#", "Kommando"};
  const bool deletable[] = {true, false, false, false, true, true, false, true};
  const bool editable[] = {true, false, true, false, true, true, false, true};
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    EXPECT_EQ(CanDeleteRow(rows, r), deletable[r]) << r;
    EXPECT_EQ(CanEditRow(rows, r), editable[r]) << r;
  }
  EXPECT_FALSE(CanDeleteRow(rows, -1));
  EXPECT_FALSE(CanEditRow(rows, 8));
}

TEST(CommandLineParams, EachKindWritesItsFields) {
  EXPECT_EQ(CommandParams("notepad.exe", true), "notepad.exe;1");
  EXPECT_EQ(CommandParams("C:\\Programme\\Spiel\\spiel.exe -fenster", true),
            "\"C:\\Programme\\Spiel\\spiel.exe -fenster\";1");
  EXPECT_EQ(MessageParams("Wirklich neu starten?", "Frage", 1, true), "\"Wirklich neu starten?\";Frage;1;1");
  EXPECT_EQ(MessageParams("Abgebrochen.", "Hinweis", 3, false), "Abgebrochen.;Hinweis;3;0");
  EXPECT_EQ(CallParams("Editor"), "\"Editor\"");
}

TEST(CommandLineParams, WorkingFolderAndWindowAreTheFifthAndSixthFields) {
  // The line the dialog starts from, the folder and window it sets, what it
  // writes; the fields read back from what it wrote, and setting neither
  // again gives the line it started from.
  const struct {
    const char* Params;
    const char* Folder;
    TWindowState Window;
    const char* Written;
  } rows[] = {
      {"notepad.exe;0", "", wsNormal, "notepad.exe;0"},
      {"notepad.exe;0;1", "", wsNormal, "notepad.exe;0;1"},
      {"\"x.exe\";0;0;1", "", wsNormal, "\"x.exe\";0;0;1"},
      {"notepad.exe;0", "C:\\Daten", wsNormal, "notepad.exe;0;0;0;C:\\Daten;0"},
      {"notepad.exe;1", "", wsMinimized, "notepad.exe;1;0;0;;1"},
      {"notepad.exe;0;1", "D:\\Mit;Semikolon", wsMaximized, "notepad.exe;0;1;0;\"D:\\Mit;Semikolon\";2"},
      {"notepad.exe;0;0;1", "\"Zitat\"", wsMinimized, "notepad.exe;0;0;1;\"\"\"Zitat\"\"\";1"},
      {"notepad.exe;1;1;1", "C:\\", wsMaximized, "notepad.exe;1;1;1;C:\\;2"},
      // Without its wait flag the line stays the error it is.
      {"notepad.exe", "C:\\Daten", wsMinimized, "notepad.exe"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.Params);
    const std::string written = WithStartup(row.Params, row.Folder, row.Window);
    EXPECT_EQ(written, row.Written);
    if (written == row.Params) continue;
    EXPECT_EQ(StartFolder(written), row.Folder);
    EXPECT_EQ(StartWindow(written), row.Window);
    EXPECT_EQ(RunsElevated(written), RunsElevated(row.Params));
    EXPECT_EQ(RunsExactly(written), RunsExactly(row.Params));
    EXPECT_EQ(WithStartup(written, "", wsNormal), row.Params);
  }
  // An empty third field is written as "0".
  EXPECT_EQ(WithStartup("x.exe;1;;1", "C:\\", wsMaximized), "x.exe;1;0;1;C:\\;2");
  // Lines as files hold them: a window the program does not know is normal.
  const struct {
    const char* Params;
    const char* Folder;
    TWindowState Window;
  } read[] = {
      {"notepad.exe;0", "", wsNormal},     {"notepad.exe;0;0;0;D:\\x", "D:\\x", wsNormal},
      {"x;0;0;0;;2", "", wsMaximized},     {"x;0;0;0;;7", "", wsNormal},
      {"x;0;0;0;a;1;zukünftig", "a", wsMinimized},
  };
  for (const auto& row : read) {
    EXPECT_EQ(StartFolder(row.Params), row.Folder) << row.Params;
    EXPECT_EQ(StartWindow(row.Params), row.Window) << row.Params;
  }
  EXPECT_EQ(ShowCommand(wsNormal), swShowNormal);
  EXPECT_EQ(ShowCommand(wsMinimized), swShowMinNoActive);
  EXPECT_EQ(ShowCommand(wsMaximized), swShowMaximized);
  // The list shows the parameters as they are, the new fields included.
  EXPECT_EQ(RowOfLine({lkCommand, "notepad.exe;0;0;0;C:\\Daten;1"}).Param, "notepad.exe;0;0;0;C:\\Daten;1");
}

TEST(CommandLineChecks, TheFirstFailingCheckInTheOrderOfTheTable) {
  const struct {
    TLineInput input;
    TLineCheck expected;
  } cases[] = {
      {{-1, "", "", "", -1, -1}, lcKind},
      {{lkCommand, "", "x", "x", 1, 1}, lcRun},
      {{lkCommand, "a", "", "", -1, -1}, lcNone},
      {{lkMessage, "", "", "", -1, -1}, lcText},
      {{lkQuestion, "", "Text", "", -1, -1}, lcTitle},
      {{lkMessage, "", "Text", "Titel", -1, -1}, lcMessageType},
      {{lkQuestion, "", "Text", "Titel", 0, -1}, lcNone},
      {{lkCallGroup, "", "", "", -1, -1}, lcGroup},
      {{lkCallGroup, "", "", "", -1, 0}, lcNone},
      {{lkEndRun, "", "", "", -1, -1}, lcNone},
      {{lkNoAction, "", "", "", -1, -1}, lcNone},
  };
  for (const auto& c : cases) EXPECT_EQ(FirstFailingCheck(c.input), c.expected) << c.input.Kind;
}

TEST(GroupNames, DuplicatesInAnyCaseAndUnstorableNamesAreRefused) {
  const Captions items = {"Editor", "Werkzeuge", "Neue Befehlszeilenfolge"};
  EXPECT_EQ(FindGroupItem(items, "EDITOR"), 0);
  EXPECT_EQ(FindGroupItem(items, "neue befehlszeilenfolge"), 2);
  EXPECT_EQ(FindGroupItem(items, "Spiele"), -1);
  const struct {
    const char* name;
    bool create;
    bool changeFirst;  // with "Editor" selected
  } cases[] = {
      {"Spiele", true, true},     {"editor", false, true},    {"WERKZEUGE", false, false},
      {"neue befehlszeilenfolge", false, false},             {"", false, false},
      {" Spiele", false, false},  {"[MenuItems]", false, false}, {"Über\x7f", true, true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CanCreateGroup(items, c.name), c.create) << c.name;
    EXPECT_EQ(CanChangeGroup(items, c.name, 0), c.changeFirst) << c.name;
    EXPECT_FALSE(CanChangeGroup(items, c.name, -1)) << c.name;
  }
}

}  // namespace

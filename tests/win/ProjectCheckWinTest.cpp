// The project check in the real configuration window, in process: "Prüfen"
// lists what a planted project gets wrong, on this machine's lookups, and a
// double click on each finding shows its place in the editors.
#include <gtest/gtest.h>
#include <windows.h>

#include "config/CheckForm.h"
#include "tests/win/EditorFormFixture.h"

namespace {

class ProjectCheckWindow : public TEditorFormTest {
 protected:
  TCheckForm& CheckWindow() { return form->EditorPage().CheckWindow(); }
  TListView& Findings() { return CheckWindow().Get<TListView>("ListView_Findings"); }
  std::vector<std::string> FindingRows() {
    std::vector<std::string> rows;
    for (int i = 0; i < Findings().Count(); ++i)
      rows.push_back(Findings().Cell(i, 0) + "|" + Findings().Cell(i, 1) + "|" + Findings().Cell(i, 2));
    return rows;
  }
  void DoubleClick(int row) {
    Findings().SetSelected(row);
    CheckWindow().ListView_FindingsDblClick(Findings());
  }
};

TEST_F(ProjectCheckWindow, ListsTheFindingsAndADoubleClickShowsEachPlace) {
  // Found: a program on the search path, one at its full path, a document
  // beside the project.
  WriteFileBytes(folder / "da.exe", "");
  WriteFileBytes(folder / "notiz.txt", "");
  LoadText("[ExecGroups]\r\n"
           "Anfang\r\n 0 notepad.exe;0\r\n 0 C:\\Fehlt\\weg.exe;0\r\n 0 \"" + folder / "da.exe" + "\";1\r\n"
           " 0 notiz.txt;0\r\n 5 \"Schleife\"\r\n"
           "Frage\r\n 2 Weiter?;Frage;1;0\r\n 6 \"Ja\":\r\n 3 \r\n"
           "Leer\r\n"
           "Schleife\r\n 3 \r\n 5 \"Anfang\"\r\n 5 \"Fehlt\"\r\n"
           "[MenuItems]\r\n0 1 Start\r\n0 0 Mehr\r\n1 2 Fragen\r\n1 3 Nichts\r\n");
  Click("Button_Check");
  ASSERT_TRUE(IsWindowVisible(CheckWindow().Handle));
  const struct {
    const char* Row;
    int Group, Line;     // the group selected and its line (-1: none)
    const char* Entry;   // or the menu entry selected
  } expected[] = {
      {"Anfang|2|Programm, Dokument oder Ordner „C:\\Fehlt\\weg.exe“ nicht gefunden", 0, 1, nullptr},
      {"Frage|1|Der Frage fehlen Verzweigungsmarken: „Nein“, Verzweigungsende", 1, 0, nullptr},
      {"Schleife|2|Endlosschleife: „Anfang“ ruft „Schleife“ auf, „Schleife“ ruft „Anfang“ auf", 3, 1, nullptr},
      {"Schleife|3|Aufgerufene Befehlszeilengruppe „Fehlt“ gibt es nicht", 3, 2, nullptr},
      {"Leer||Menüeintrag „Nichts“: die zugeordnete Befehlszeilengruppe ist leer", -1, -1, "Nichts"},
  };
  const std::vector<std::string> rows = FindingRows();
  ASSERT_EQ(rows.size(), std::size(expected));
  TComboBox& groups = form->Get<TComboBox>("ComboBox_ExecLines");
  TListView& lines = form->Get<TListView>("ListView_ExecLines");
  // From the last to the first, so that each one changes the selection.
  for (int i = static_cast<int>(std::size(expected)) - 1; i >= 0; --i) {
    const auto& e = expected[i];
    SCOPED_TRACE(e.Row);
    EXPECT_EQ(rows[i], e.Row);
    DoubleClick(i);
    if (e.Entry) {
      TTreeView& tree = form->EditorPage().MenuTree();
      ASSERT_NE(tree.Selected(), nullptr);
      EXPECT_EQ(tree.Text(tree.Selected()), e.Entry);
      EXPECT_EQ(form->Get<TEdit>("Edit_ItemText").Text(), e.Entry) << "the entry's fields show it";
      continue;
    }
    EXPECT_EQ(groups.ItemIndex(), e.Group);
    EXPECT_EQ(form->Get<TEdit>("Edit_ExecName").Text(), Project().ExecGroups()[e.Group].Name) << "the group is open";
    EXPECT_EQ(lines.Count(), static_cast<int>(Project().ExecGroups()[e.Group].Lines.size()));
    EXPECT_EQ(lines.Selected(), e.Line);
  }
  // Mended, checked again.
  Project().Reset();
  Click("Button_Recheck", &CheckWindow());
  EXPECT_EQ(FindingRows(), std::vector<std::string>{"||Keine Probleme gefunden"});
  DoubleClick(0);  // shows nothing, and does no harm
}

}  // namespace

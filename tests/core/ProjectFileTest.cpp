#include <filesystem>
#include <fstream>
#include <sstream>

#include "model/Codec.h"
#include "model/ProjectFile.h"
#include "tests/core/TestSupport.h"

namespace {

// The example project: a menu with a sub-menu and a separator, three groups,
// a question with both branches, a call and an end of run.
const char* const ExampleLines[] = {
    "[ExecGroups]",
    "Editor",
    " 0 notepad.exe;0",
    "Neustart?",
    " 2 \"Wirklich neu starten?\";Frage;1;1",
    " 6 \"Ja\":",
    " 0 \"C:\\Programme\\Spiel\\spiel.exe -fenster\";1",
    " 6 \"Nein\":",
    " 1 Abgebrochen.;Hinweis;3;0",
    " 6 Verzweigungsende",
    "Werkzeuge",
    " 5 \"Editor\"",
    " 3 ",
    "[MenuItems]",
    "0 1 Editor",
    "0 0 Extras",
    "1 3 Werkzeuge",
    "1 2 \"Neu starten\"",
    "0 0 -",
};

std::string Lines(const char* const* lines, size_t count, const char* end = "\r\n") {
  std::string s;
  for (size_t i = 0; i < count; ++i) s += std::string(lines[i]) + end;
  return s;
}
const std::string Example = Lines(ExampleLines, std::size(ExampleLines));

void ExpectExampleTables(const TProject& project) {
  const std::vector<TExecGroup>& groups = project.ExecGroups();
  const std::vector<TTRVMenuItem>& items = project.MenuItems();
  ASSERT_EQ(groups.size(), 3u);
  EXPECT_EQ(groups[0].Name, "Editor");
  ASSERT_EQ(groups[0].Lines.size(), 1u);
  EXPECT_EQ(groups[0].Lines[0].Kind, lkCommand);
  EXPECT_EQ(groups[0].Lines[0].Params, "notepad.exe;0");

  EXPECT_EQ(groups[1].Name, "Neustart?");
  const std::vector<std::pair<int, std::string>> restart = {
      {2, "\"Wirklich neu starten?\";Frage;1;1"},
      {6, "\"Ja\":"},
      {0, "\"C:\\Programme\\Spiel\\spiel.exe -fenster\";1"},
      {6, "\"Nein\":"},
      {1, "Abgebrochen.;Hinweis;3;0"},
      {6, "Verzweigungsende"},
  };
  ASSERT_EQ(groups[1].Lines.size(), restart.size());
  for (size_t i = 0; i < restart.size(); ++i) {
    EXPECT_EQ(groups[1].Lines[i].Kind, restart[i].first) << i;
    EXPECT_EQ(groups[1].Lines[i].Params, restart[i].second) << i;
  }

  EXPECT_EQ(groups[2].Name, "Werkzeuge");
  ASSERT_EQ(groups[2].Lines.size(), 2u);
  EXPECT_EQ(groups[2].Lines[0].Kind, lkCallGroup);
  EXPECT_EQ(groups[2].Lines[0].Params, "\"Editor\"");
  EXPECT_EQ(groups[2].Lines[1].Kind, lkEndRun);
  EXPECT_EQ(groups[2].Lines[1].Params, "");

  const std::vector<TTRVMenuItem> menu = {
      {"Editor", 1, 0}, {"Extras", 0, 0}, {"Werkzeuge", 3, 1}, {"Neu starten", 2, 1}, {"-", 0, 0}};
  ASSERT_EQ(items.size(), menu.size());
  for (size_t i = 0; i < menu.size(); ++i) {
    EXPECT_EQ(items[i].Text, menu[i].Text) << i;
    EXPECT_EQ(items[i].Assignment, menu[i].Assignment) << i;
    EXPECT_EQ(items[i].Level, menu[i].Level) << i;
  }
}

class ProjectFile : public ProjectFixture {
 protected:
  bool Load(const std::string& content, bool interactive = true) {
    files.Files["p.trv"] = content;
    return LoadProject(project, "p.trv", interactive);
  }
  void ExpectLoadError(const std::string& content, const std::string& message) {
    try {
      Load(content);
      ADD_FAILURE() << "loaded: " << content;
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), message);
    }
  }
};

TEST_F(ProjectFile, ExampleLoadsIntoItsTablesAndSavesBackByteForByte) {
  TRecordingView view;
  project.View = &view;
  ASSERT_TRUE(Load(Example));
  ExpectExampleTables(project);
  EXPECT_EQ(project.FileName(), "p.trv");
  EXPECT_FALSE(project.Modified());
  EXPECT_EQ(view.Calls, (std::vector<std::string>{"reset", "group Editor", "group Neustart?", "group Werkzeuge",
                                                  "menu on", "item 0 level 0", "item 1 level 0", "item 2 level 1",
                                                  "item 3 level 1", "item 4 level 0"}));
  MarkModified(project);
  SaveProject(project, "q.trv");
  EXPECT_EQ(files.Files["q.trv"], Example);
  EXPECT_FALSE(project.Modified());
  EXPECT_EQ(project.FileName(), "p.trv");  // the save commands set the name, not the writer
}

TEST_F(ProjectFile, ReaderAcceptsLfAloneAndDropsLoneCr) {
  ASSERT_TRUE(Load(Lines(ExampleLines, std::size(ExampleLines), "\n")));
  ExpectExampleTables(project);
  // A stray CR inside a line vanishes; CR LF at the end still ends the line.
  ASSERT_TRUE(Load("[ExecGroups]\r\nEdi\rtor\r\n 0 a\rb;0\r\r\n[MenuItems]\r\n0 1 x\r\n"));
  EXPECT_EQ(project.ExecGroup(0).Name, "Editor");
  EXPECT_EQ(project.ExecGroup(0).Lines[0].Params, "ab;0");
  // No line end after the last line.
  ASSERT_TRUE(Load("[ExecGroups]\r\n[MenuItems]\r\n0 0 last"));
  ASSERT_EQ(project.MenuItems().size(), 1u);
  EXPECT_EQ(project.MenuItem(0).Text, "last");
}

TEST_F(ProjectFile, WrongSignatureIsRefusedAndChangesNothing) {
  for (const char* first : {"[ExecGroups] ", "[execgroups]", "\xEF\xBB\xBF[ExecGroups]", "", "Hallo"}) {
    project = TProject({TExecGroup{"keep", {}}}, {});
    project.SetFileName("old.trv");
    MarkModified(project);
    boxes.Shown.clear();
    EXPECT_FALSE(Load(std::string(first) + "\r\n[MenuItems]\r\n")) << first;
    ASSERT_EQ(boxes.Shown.size(), 1u);
    EXPECT_EQ(boxes.Shown[0].Text, "Es wurde keine gültige Datei ausgewählt.");
    EXPECT_EQ(boxes.Shown[0].Caption, "Ungültige Datei");
    EXPECT_EQ(boxes.Shown[0].Flags, unsigned(mbOK | mbIconError));
    EXPECT_EQ(project.ExecGroups().size(), 1u);
    EXPECT_EQ(project.FileName(), "old.trv");
    EXPECT_TRUE(project.Modified());
  }
  boxes.Shown.clear();
  EXPECT_FALSE(Load(""));  // an empty file has no signature either
  EXPECT_FALSE(Load("Hallo\r\n", false));
  EXPECT_EQ(boxes.Shown.size(), 1u);  // non-interactive loads stay silent
}

TEST_F(ProjectFile, EmptyProjectIsTwoLines) {
  SaveProject(project, "e.trv");
  EXPECT_EQ(files.Files["e.trv"], "[ExecGroups]\r\n[MenuItems]\r\n");
  project = TProject({}, {}, false);
  SaveProject(project, "n.trv");
  EXPECT_EQ(files.Files["n.trv"], "[ExecGroups]\r\n[NotUsed:MenuItems]\r\n");

  // Popup mode's project: no view.
  project = TProject({}, {}, true);
  ASSERT_TRUE(LoadProject(project, "n.trv", false));
  EXPECT_TRUE(project.ExecGroups().empty());
  EXPECT_TRUE(project.MenuItems().empty());
  EXPECT_FALSE(project.UseMenu());
}

TEST_F(ProjectFile, TheMenuSettingIsTheProjectsAndTheViewShowsIt) {
  TRecordingView view;
  project.View = &view;
  project.ChangeMenuSetting(false);
  SaveProject(project, "c.trv");
  EXPECT_EQ(files.Files["c.trv"], "[ExecGroups]\r\n[NotUsed:MenuItems]\r\n");
  view.Calls.clear();
  ASSERT_TRUE(LoadProject(project, "c.trv", true));
  EXPECT_EQ(view.Calls, (std::vector<std::string>{"reset", "menu off"}));
  EXPECT_FALSE(view.Checked);
  EXPECT_FALSE(project.UseMenu());
}

TEST_F(ProjectFile, CommandsRunAsAdministratorAndWithVariablesSaveBackByteForByte) {
  const std::string text = "[ExecGroups]\r\nAdmin\r\n 0 \"%ProgramFiles%\\Werkzeug\\setup.exe /q\";1;1\r\n"
                           " 0 regedit.exe;0;1\r\n[MenuItems]\r\n0 1 Admin\r\n";
  ASSERT_TRUE(Load(text));
  EXPECT_EQ(project.ExecGroup(0).Lines[1].Params, "regedit.exe;0;1");
  SaveProject(project, "r.trv");
  EXPECT_EQ(files.Files["r.trv"], text);
}

TEST_F(ProjectFile, CommandsWithWorkingFolderAndWindowLoadAndSaveBackByteForByte) {
  // Each line as the file holds it and the parameters the loader gives it:
  // lines as files always had them, and lines with a fifth and sixth field.
  const struct {
    const char* Line;
    const char* Params;
  } rows[] = {
      {" 0 notepad.exe;0", "notepad.exe;0"},
      {" 0 regedit.exe;1;1", "regedit.exe;1;1"},
      {" 0 \"\"\"C:\\a b\\x.exe\"\" -p\";0;0;1", "\"\"\"C:\\a b\\x.exe\"\" -p\";0;0;1"},
      {" 0 notepad.exe;0;0;0;C:\\Daten;1", "notepad.exe;0;0;0;C:\\Daten;1"},
      {" 0 \"x.exe -a\";1;1;0;\"D:\\Mit;Semikolon\";2", "\"x.exe -a\";1;1;0;\"D:\\Mit;Semikolon\";2"},
      {" 0 x.exe;0;0;0;;2", "x.exe;0;0;0;;2"},
      {" 0 x.exe;0;0;0;\"%USERPROFILE%\\Über uns\";0", "x.exe;0;0;0;\"%USERPROFILE%\\Über uns\";0"},
  };
  std::string text = "[ExecGroups]\r\nG\r\n";
  for (const auto& row : rows) text += std::string(row.Line) + "\r\n";
  text += "[MenuItems]\r\n0 1 G\r\n";
  ASSERT_TRUE(Load(text));
  const std::vector<TExecLine>& lines = project.ExecGroup(0).Lines;
  ASSERT_EQ(lines.size(), std::size(rows));
  for (size_t i = 0; i < std::size(rows); ++i) {
    EXPECT_EQ(lines[i].Kind, lkCommand) << rows[i].Line;
    EXPECT_EQ(lines[i].Params, rows[i].Params) << rows[i].Line;
  }
  SaveProject(project, "r.trv");
  EXPECT_EQ(files.Files["r.trv"], text);
}

TEST_F(ProjectFile, MenuLinesWithAFolderLoadAndSaveBackByteForByte) {
  // Each menu line as the file holds it and the entry the loader makes of
  // it: lines as files always had them keep three fields, a folder's entry
  // has a fourth.
  const struct {
    const char* Line;
    TTRVMenuItem Entry;
  } rows[] = {
      {"0 1 G", {"G", 1, 0, ""}},
      {"0 0 Dokumente C:\\Daten", {"Dokumente", 0, 0, "C:\\Daten"}},
      {"1 0 \"Eigene Bilder\" \"%USERPROFILE%\\Eigene Bilder\"", {"Eigene Bilder", 0, 1, "%USERPROFILE%\\Eigene Bilder"}},
      {"1 0 Netz \\\\server\\freigabe", {"Netz", 0, 1, "\\\\server\\freigabe"}},
      {"0 0 -", {"-", 0, 0, ""}},
  };
  std::string text = "[ExecGroups]\r\nG\r\n 0 notepad.exe;0\r\n[MenuItems]\r\n";
  for (const auto& row : rows) text += std::string(row.Line) + "\r\n";
  ASSERT_TRUE(Load(text));
  ASSERT_EQ(project.MenuItems().size(), std::size(rows));
  for (size_t i = 0; i < std::size(rows); ++i) {
    const TTRVMenuItem& loaded = project.MenuItem(static_cast<int>(i));
    EXPECT_EQ(loaded.Text, rows[i].Entry.Text) << rows[i].Line;
    EXPECT_EQ(loaded.Assignment, rows[i].Entry.Assignment) << rows[i].Line;
    EXPECT_EQ(loaded.Level, rows[i].Entry.Level) << rows[i].Line;
    EXPECT_EQ(loaded.Folder, rows[i].Entry.Folder) << rows[i].Line;
  }
  SaveProject(project, "r.trv");
  EXPECT_EQ(files.Files["r.trv"], text);
  // A reader that knows three fields finds the entry's text where it was.
  const TStrings fields = SplitDelimited(rows[2].Line, ' ');
  EXPECT_EQ(FieldAt(fields, 2), "Eigene Bilder");
}

TEST_F(ProjectFile, TextsWithBlanksAndQuotesRoundTrip) {
  project = TProject(
      {TExecGroup{"Grüße", {{lkEndRun, ""}, {lkMessage, JoinDelimited({"Sag \"Hallo\"", "T", "3", "0"}, ';')}}},
       TExecGroup{"leer", {}},
       TExecGroup{"[ExecGroups]", {{lkCallGroup, "\"Grüße\""}}}},
      {{"Neu starten", 1, 0}, {"Sag \"hi\"", 2, 1}, {"&Öffnen", 0, 1}, {"x\ty", 3, 2}});
  SaveProject(project, "r.trv");
  const std::string& text = files.Files["r.trv"];
  EXPECT_NE(text.find("\r\n 3 \r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\n0 1 \"Neu starten\"\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\n1 2 \"Sag \"\"hi\"\"\"\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\n1 0 &\xD6" "ffnen\r\n"), std::string::npos);

  auto groups = project.ExecGroups();
  auto menu = project.MenuItems();
  ASSERT_TRUE(LoadProject(project, "r.trv", true));
  ASSERT_EQ(project.ExecGroups().size(), groups.size());
  for (size_t g = 0; g < groups.size(); ++g) {
    const TExecGroup& loaded = project.ExecGroup(static_cast<int>(g));
    EXPECT_EQ(loaded.Name, groups[g].Name);
    ASSERT_EQ(loaded.Lines.size(), groups[g].Lines.size());
    for (size_t i = 0; i < groups[g].Lines.size(); ++i) {
      EXPECT_EQ(loaded.Lines[i].Kind, groups[g].Lines[i].Kind);
      EXPECT_EQ(loaded.Lines[i].Params, groups[g].Lines[i].Params);
    }
  }
  ASSERT_EQ(project.MenuItems().size(), menu.size());
  for (size_t i = 0; i < menu.size(); ++i) {
    const TTRVMenuItem& loaded = project.MenuItem(static_cast<int>(i));
    EXPECT_EQ(loaded.Text, menu[i].Text);
    EXPECT_EQ(loaded.Assignment, menu[i].Assignment);
    EXPECT_EQ(loaded.Level, menu[i].Level);
  }
  SaveProject(project, "r2.trv");
  EXPECT_EQ(files.Files["r2.trv"], text);
}

TEST_F(ProjectFile, EmptyCaptionIsWrittenSoThatItReadsBack) {
  ASSERT_TRUE(Load("[ExecGroups]\r\n[MenuItems]\r\n0 0 \"\"\r\n1 0 x\r\n"));
  ASSERT_EQ(project.MenuItems().size(), 2u);
  EXPECT_EQ(project.MenuItem(0).Text, "");
  SaveProject(project, "s.trv");
  EXPECT_EQ(files.Files["s.trv"], "[ExecGroups]\r\n[MenuItems]\r\n0 0 \"\"\r\n1 0 x\r\n");
  ASSERT_TRUE(LoadProject(project, "s.trv", true));
  EXPECT_EQ(project.MenuItems().size(), 2u);
}

TEST_F(ProjectFile, BadMenuLinesAndKindsEndTheLoadKeepingWhatWasRead) {
  const std::string head = "[ExecGroups]\r\nG\r\n 0 a;0\r\n[MenuItems]\r\n0 1 ok\r\n";
  ExpectLoadError(head + "\r\n", "Listenindex überschreitet das Maximum (0)");
  ASSERT_EQ(project.MenuItems().size(), 1u);
  EXPECT_EQ(project.ExecGroups().size(), 1u);
  ExpectLoadError(head + "0 1\r\n", "Listenindex überschreitet das Maximum (2)");
  ExpectLoadError(head + "x 1 Text\r\n", "'x' ist kein gültiger Integerwert");
  ExpectLoadError(head + "0 1.5 Text\r\n", "'1.5' ist kein gültiger Integerwert");
  ExpectLoadError("[ExecGroups]\r\nG\r\n x a\r\n[MenuItems]\r\n", "'x' ist kein gültiger Integerwert");
  ExpectLoadError("[ExecGroups]\r\nG\r\n \r\n[MenuItems]\r\n", "'' ist kein gültiger Integerwert");
  // Further fields of a menu line are ignored.
  ASSERT_TRUE(Load("[ExecGroups]\r\n[MenuItems]\r\n0 0 a b c\r\n"));
  EXPECT_EQ(project.MenuItem(0).Text, "a");
}

TEST_F(ProjectFile, TruncatedGroupSectionOrEmptyLineIsDamagedNotReadPast) {
  ExpectLoadError("[ExecGroups]\r\n", "Die Projektdatei ist beschädigt (Zeile 2).");
  ExpectLoadError("[ExecGroups]\r\nG\r\n 0 a;0\r\n", "Die Projektdatei ist beschädigt (Zeile 4).");
  ExpectLoadError("[ExecGroups]\r\nG\r\n\r\n 0 a;0\r\n[MenuItems]\r\n", "Die Projektdatei ist beschädigt (Zeile 3).");
  ExpectLoadError("[ExecGroups]\r\n\r\n[MenuItems]\r\n", "Die Projektdatei ist beschädigt (Zeile 2).");
  // What was read before stays, but no longer under the file's name: a plain
  // save must not replace the intact file with the fragment.
  project.SetFileName("old.trv");
  ExpectLoadError("[ExecGroups]\r\nA\r\nB\r\n 1 x\r\n", "Die Projektdatei ist beschädigt (Zeile 5).");
  EXPECT_EQ(project.ExecGroups().size(), 2u);
  EXPECT_EQ(project.FileName(), "");
}

TEST_F(ProjectFile, ShortCommandLinesHaveEmptyParams) {
  ASSERT_TRUE(Load("[ExecGroups]\r\nG\r\n 3\r\n 3 \r\n 4 x\r\n[MenuItems]\r\n"));
  ASSERT_EQ(project.ExecGroup(0).Lines.size(), 3u);
  EXPECT_EQ(project.ExecGroup(0).Lines[0].Params, "");
  EXPECT_EQ(project.ExecGroup(0).Lines[1].Params, "");
  EXPECT_EQ(project.ExecGroup(0).Lines[2].Params, "x");
  // The third character is skipped unchecked.
  ASSERT_TRUE(Load("[ExecGroups]\r\nG\r\n 0Xa;0\r\n[MenuItems]\r\n"));
  EXPECT_EQ(project.ExecGroup(0).Lines[0].Params, "a;0");
}

TEST_F(ProjectFile, PopupModeLoadTouchesNoWindow) {
  // The configuration window's view exists, but popup mode's project has
  // none.
  TRecordingView view;
  project.View = nullptr;
  ASSERT_TRUE(Load(Example, false));
  ExpectExampleTables(project);
  EXPECT_TRUE(project.UseMenu());
  EXPECT_TRUE(view.Calls.empty());
  EXPECT_FALSE(Load("nonsense\r\n", false));
  EXPECT_TRUE(boxes.Shown.empty());
}

TEST_F(ProjectFile, FailedSaveKeepsTheModifiedFlagAndReportsTheError) {
  files.Files["p.trv"] = Example;
  project = TProject({TExecGroup{"neu", {}}}, {});
  MarkModified(project);
  files.FailWritesWith = 112;
  try {
    SaveProject(project, "p.trv");
    FAIL() << "no error";
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.ErrorCode, 112);
    EXPECT_EQ(e.Message(), "Festplatte voll");
  }
  EXPECT_TRUE(project.Modified());
  EXPECT_EQ(files.Files["p.trv"], Example);
}

TEST_F(ProjectFile, MissingFileRaisesTheStandardText) {
  try {
    LoadProject(project, "fehlt.trv", true);
    FAIL() << "no error";
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.Message(), "Datei nicht gefunden");
  }
}

// The same through the real file system of the running platform.
class ProjectFileOnDisk : public ProjectFixture {
 protected:
  void SetUp() override {
    ProjectFixture::SetUp();
    UseNativePlatform();
    dir = std::filesystem::temp_directory_path() /
          ("tarvo-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
  }
  void TearDown() override {
    std::filesystem::remove_all(dir);
    ProjectFixture::TearDown();
  }
  std::string Path(const char* name) const { return (dir / name).string(); }
  static std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  static void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
  }
  std::filesystem::path dir;
};

TEST_F(ProjectFileOnDisk, ExampleRoundTripsByteForByte) {
  WriteBytes(Path("Beispiel.trv"), Example);
  ASSERT_TRUE(LoadProject(project, Path("Beispiel.trv"), true));
  ExpectExampleTables(project);
  SaveProject(project, Path("Kopie.trv"));
  EXPECT_EQ(ReadBytes(Path("Kopie.trv")), Example);
  // Saving over an existing file replaces it and leaves no temporary file.
  WriteBytes(Path("Alt.trv"), std::string(100000, 'x'));
  SaveProject(project, Path("Alt.trv"));
  EXPECT_EQ(ReadBytes(Path("Alt.trv")), Example);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()), 3);
}

TEST_F(ProjectFileOnDisk, MissingFileAndFolder) {
  EXPECT_THROW(LoadProject(project, Path("fehlt.trv"), true), EInOutError);
  project = TProject({TExecGroup{"x", {}}}, {});
  MarkModified(project);
  EXPECT_THROW(SaveProject(project, Path("kein-ordner/p.trv")), EInOutError);
  EXPECT_TRUE(project.Modified());
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()), 0);
}

}  // namespace

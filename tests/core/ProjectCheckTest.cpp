#include <gtest/gtest.h>

#include <map>
#include <set>

#include "config/ProjectCheck.h"

namespace {

// A small machine: what exists, the search path, the registered
// application paths and the environment; every lookup is counted.
class TFakeLookup : public ICheckLookup {
 public:
  std::set<std::string> Files = {"C:\\Tarvo\\tool.exe", "C:\\Programme\\App\\app.exe", "D:\\Projekte\\doc.txt",
                                 "C:\\Windows"};
  std::set<std::string> SearchPath = {"notepad.exe"};
  std::set<std::string> AppPaths = {"winword"};
  std::map<std::string, std::string> Environment = {{"%PROGRAMME%", "C:\\Programme"}};
  int Lookups = 0;

  std::string ExpandEnvironment(const std::string& text) override {
    std::string out = text;
    for (const auto& [name, value] : Environment)
      for (size_t at; (at = out.find(name)) != std::string::npos;) out.replace(at, name.size(), value);
    return out;
  }
  bool Exists(const std::string& path) override { return ++Lookups, Files.count(path) > 0; }
  // Of the paths, only these are folders.
  std::set<std::string> Folders = {"C:\\Windows", "C:\\Programme", "C:\\Tarvo\\Daten"};
  bool FolderExists(const std::string& path) override { return ++Lookups, Folders.count(path) > 0; }
  bool OnSearchPath(const std::string& name) override { return ++Lookups, SearchPath.count(name) > 0; }
  bool HasAppPath(const std::string& name) override { return ++Lookups, AppPaths.count(name) > 0; }
  std::string ExeFolder() override { return "C:\\Tarvo\\"; }
};

const char* const ProjectFile = "D:\\Projekte\\menu.trv";

// The findings as the list shows them: "group|line|problem".
std::vector<std::string> Rows(const std::vector<TExecGroup>& groups, const std::vector<TTRVMenuItem>& menu = {},
                              bool useMenu = false) {
  TFakeLookup lookup;
  std::vector<std::string> rows;
  for (const TFinding& f : CheckProject(groups, menu, useMenu, ProjectFile, lookup)) {
    const std::vector<std::string> cells = FindingCells(f);
    rows.push_back(cells[0] + "|" + cells[1] + "|" + cells[2]);
  }
  return rows;
}

// A group of one command line: its finding, or none when problem is "".
void ExpectCommandFinding(const char* params, const char* problem) {
  SCOPED_TRACE(params);
  const std::vector<std::string> rows = Rows({{"G", {{lkCommand, params}}}});
  if (*problem)
    EXPECT_EQ(rows, std::vector<std::string>{std::string("G|1|") + problem});
  else
    EXPECT_TRUE(rows.empty()) << rows[0];
}

TEST(ProjectCheck, ProgramsAreLookedUpAsTheLauncherAndTheShellFindThem) {
  const struct {
    const char* Params;
    const char* Problem;  // "" when found
  } cases[] = {
      {"notepad.exe;0", ""},                                      // search path
      {"winword;1", ""},                                          // application path
      {"\"C:\\Programme\\App\\app.exe -x\";1", ""},               // absolute, with parameters
      {"%PROGRAMME%\\App\\app.exe;0", ""},                        // environment
      {".\\tool.exe;0", ""},                                      // beside TRV.EXE
      {"..\\Projekte\\doc.txt;0", ""},                            // relative to the project's folder
      {"doc.txt;0", ""},                                          // in the project's folder
      {"C:\\Windows;0", ""},                                      // a folder
      {"http://example.com/a;0", ""},                             // URLs are not looked up
      {"mailto:a@b.de;0", ""},
      {"ms-settings:display;0", ""},
      {"C:\\Programme\\Fehlt\\app.exe;0", "Programm, Dokument oder Ordner „C:\\Programme\\Fehlt\\app.exe“ nicht gefunden"},
      {"%UNBEKANNT%\\app.exe;0", "Programm, Dokument oder Ordner „%UNBEKANNT%\\app.exe“ nicht gefunden"},
      {".\\fehlt.exe;0", "Programm, Dokument oder Ordner „.\\fehlt.exe“ nicht gefunden"},
      {"Z:app.exe;0", "Programm, Dokument oder Ordner „Z:app.exe“ nicht gefunden"},  // a drive, no scheme
      {"sub\\winword;0", "Programm, Dokument oder Ordner „sub\\winword“ nicht gefunden"},  // paths are no names
      {";0", "Kommando ohne Programm"},
  };
  for (const auto& c : cases) ExpectCommandFinding(c.Params, c.Problem);
}

TEST(ProjectCheck, AWorkingFolderThatIsNoFolderIsReported) {
  const struct {
    const char* Params;
    const char* Problem;  // "" when found
  } cases[] = {
      {"notepad.exe;0;0;0;C:\\Windows;1", ""},
      {"notepad.exe;0;0;0;%PROGRAMME%;0", ""},    // environment
      {"notepad.exe;0;0;0;.\\Daten;2", ""},       // beside TRV.EXE
      {"notepad.exe;0;0;0;;2", ""},                // no folder: the system's
      {"notepad.exe;0;0;0;C:\\Fehlt;0", "Arbeitsordner „C:\\Fehlt“ nicht gefunden"},
      {"notepad.exe;0;0;0;C:\\Tarvo\\tool.exe;0", "Arbeitsordner „C:\\Tarvo\\tool.exe“ nicht gefunden"},  // a file
      {"notepad.exe;0;0;0;.\\Fehlt;0", "Arbeitsordner „.\\Fehlt“ nicht gefunden"},
  };
  for (const auto& c : cases) ExpectCommandFinding(c.Params, c.Problem);
  // A missing program and a missing folder: both are reported.
  EXPECT_EQ(Rows({{"G", {{lkCommand, "fehlt.exe;0;0;0;D:\\Fehlt;0"}}}}),
            (std::vector<std::string>{"G|1|Programm, Dokument oder Ordner „fehlt.exe“ nicht gefunden",
                                      "G|1|Arbeitsordner „D:\\Fehlt“ nicht gefunden"}));
}

TEST(ProjectCheck, EachWordIsLookedUpOncePerCheck) {
  TFakeLookup lookup;
  const std::vector<TExecGroup> groups = {
      {"A", {{lkCommand, "\\\\server\\fehlt.exe;0"}, {lkCommand, "\\\\server\\fehlt.exe /x;1"}}},
      {"B", {{lkCommand, "\\\\server\\fehlt.exe;0"}}}};
  EXPECT_EQ(CheckProject(groups, {}, false, "", lookup).size(), 3u);
  EXPECT_EQ(lookup.Lookups, 1);
}

using Groups = std::vector<TExecGroup>;
using Menu = std::vector<TTRVMenuItem>;
using Strings = std::vector<std::string>;

TEST(ProjectCheck, StructureFindings) {
  const TExecLine end{lkEndRun, ""}, yes{lkBranchMarker, MarkerYes}, no{lkBranchMarker, MarkerNo},
      done{lkBranchMarker, MarkerEnd}, ask{lkQuestion, "Weiter?;Frage;1;0"};
  auto call = [](const char* name) { return TExecLine{lkCallGroup, std::string("\"") + name + "\""}; };
  const struct {
    const char* Name;
    Groups G;
    Menu M;
    bool UseMenu;
    Strings Expected;
  } cases[] = {
      {"a sound project", {{"A", {ask, yes, call("B"), no, end, done}}, {"B", {end}}}, {{"A", 1}}, true, {}},
      {"missing group", {{"A", {end, call("Fehlt")}}}, {}, false,
       {"A|2|Aufgerufene Befehlszeilengruppe „Fehlt“ gibt es nicht"}},
      {"names are exact", {{"A", {call("a")}}}, {}, false, {"A|1|Aufgerufene Befehlszeilengruppe „a“ gibt es nicht"}},
      {"self call", {{"A", {end, call("A")}}}, {}, false, {"A|2|Die Befehlszeilengruppe ruft sich selbst auf"}},
      // Reported once, on the call that closes it, however often it is
      // entered.
      {"cycle", {{"A", {call("B"), call("B")}}, {"B", {call("C")}}, {"C", {call("A")}}}, {}, false,
       {"C|1|Endlosschleife: „A“ ruft „B“ auf, „B“ ruft „C“ auf, „C“ ruft „A“ auf"}},
      {"two cycles", {{"A", {call("B"), call("C")}}, {"B", {call("A")}}, {"C", {call("A")}}}, {}, false,
       {"B|1|Endlosschleife: „A“ ruft „B“ auf, „B“ ruft „A“ auf",
        "C|1|Endlosschleife: „A“ ruft „C“ auf, „C“ ruft „A“ auf"}},
      {"missing end marker", {{"A", {ask, yes, no, end}}}, {}, false,
       {"A|1|Der Frage fehlen Verzweigungsmarken: Verzweigungsende"}},
      // The nested question takes the markers: the outer one has none.
      {"missing markers", {{"A", {end, ask, ask, yes, no, done}}}, {}, false,
       {"A|2|Der Frage fehlen Verzweigungsmarken: „Ja“, „Nein“, Verzweigungsende"}},
      {"empty group in the menu", {{"A", {}}, {"B", {end}}}, {{"Eins", 2}, {"Zwei", 1}, {"-", 0}}, true,
       {"A||Menüeintrag „Zwei“: die zugeordnete Befehlszeilengruppe ist leer"}},
      {"no such group in the menu", {{"A", {end}}}, {{"Eins", 1}, {"Zwei", 2}}, true,
       {"Menü||Menüeintrag „Zwei“: die zugeordnete Befehlszeilengruppe gibt es nicht"}},
      {"unreachable", {{"A", {call("B")}}, {"B", {end}}, {"C", {call("D")}}, {"D", {end}}}, {{"Eins", 1}}, true,
       {"C||Wird von keinem Menüeintrag und keinem Aufruf erreicht",
        "D||Wird von keinem Menüeintrag und keinem Aufruf erreicht"}},
      // A folder's entry: its folder found as a working folder is.
      {"folder of an entry", {{"A", {end}}},
       {{"Eins", 1}, {"Bilder", 0, 0, "C:\\Fehlt"}, {"Daten", 0, 0, ".\\Daten"}, {"Programme", 0, 0, "%PROGRAMME%"}},
       true, {"Menü||Menüeintrag „Bilder“: Ordner „C:\\Fehlt“ nicht gefunden"}},
      // Without the menu every group runs, and the menu is not shown.
      {"menu off", {{"A", {}}, {"C", {end}}}, {{"Eins", 1}}, false, {}},
  };
  for (const auto& c : cases) EXPECT_EQ(Rows(c.G, c.M, c.UseMenu), c.Expected) << c.Name;
}

TEST(ProjectCheck, TheListAndTheSavePrompt) {
  TFinding f;
  f.Group = 0;
  f.GroupName = "A";
  f.Line = 41;
  f.Problem = "p";
  EXPECT_EQ(FindingCells(f), (Strings{"A", "42", "p"}));
  EXPECT_EQ(SaveDespiteFindingsText(1).substr(0, 52), "Das Projekt enthält einen möglichen Fehler. Trotzdem");
  EXPECT_EQ(SaveDespiteFindingsText(3).substr(0, 39), "Das Projekt enthält 3 mögliche Fehler. ");
}

}  // namespace

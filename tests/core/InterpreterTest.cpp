#include <gtest/gtest.h>

#include <functional>

#include "launcher/Interpreter.h"
#include "tests/core/InterpreterFakes.h"

std::vector<TExecLine> Lines(std::initializer_list<const char*> lines) {
  std::vector<TExecLine> result;
  for (const char* text : lines) {
    std::string s = text;
    TExecLine line;
    line.Kind = s[0] - '0';
    line.Params = s.size() > 2 ? s.substr(2) : "";
    result.push_back(line);
  }
  return result;
}

namespace {

using Calls = std::vector<std::string>;

class Interpreter : public InterpreterFixture {
 protected:
  // Runs the lines as a fresh run; returns the abort flag.
  bool Run(const std::vector<TExecLine>& lines, int first = 0, int last = -1) {
    bool aborted = false;
    RunExecLines(host, project, lines, aborted, first, last);
    return aborted;
  }
};

// ---- Commands --------------------------------------------------------------

struct CommandCase {
  const char* params;
  const char* expected;
};

class CommandLines : public Interpreter, public ::testing::WithParamInterface<CommandCase> {};

TEST_P(CommandLines, ReachThePlatformAsTheyShould) {
  host.Directories = {"D:\\Daten"};
  host.Associations = {{"C:\\Briefe\\Brief.txt", "C:\\WINDOWS\\notepad.exe"}};
  host.Environment = {{"ProgramFiles", "C:\\Program Files"}, {"TEMP", "C:\\Temp"}, {"TOOLS", ".\\tools"}};
  Run({TExecLine{lkCommand, GetParam().params}});
  EXPECT_EQ(host.Calls, Calls{GetParam().expected});
}

INSTANTIATE_TEST_SUITE_P(
    Table, CommandLines,
    ::testing::Values(
        // Without waiting: the first word is opened, the others are the
        // parameters, quoted again where they hold blanks.
        CommandCase{"notepad.exe;0", "open notepad.exe|"},
        CommandCase{"\"\"\"C:\\Program Files\\App\\app.exe\"\" /x \"\"a b\"\"\";0",
                    "open C:\\Program Files\\App\\app.exe|/x \"a b\""},
        CommandCase{"\".\\tools\\x.exe -v\";0", "open C:\\Tools\\Tarvo\\tools\\x.exe|-v"},
        CommandCase{"..\\Datei.txt;0", "open C:\\Tools\\Datei.txt|"},
        CommandCase{"..\\..\\Datei.txt;0", "open C:\\Datei.txt|"},
        // Above the drive's root the folder stays the root.
        CommandCase{"..\\..\\..\\..\\Datei.txt;0", "open C:\\Datei.txt|"},
        // Only the first word is resolved, and only a leading ".\" or "..\".
        CommandCase{"\"x.exe .\\a ..\\b\";0", "open x.exe|.\\a ..\\b"},
        CommandCase{"a.\\b.exe;0", "open a.\\b.exe|"},
        // With waiting: an .EXE as typed (quotes kept where needed) ...
        CommandCase{"\"\"\"C:\\Program Files\\App\\app.exe\"\" /x \"\"a b\"\"\";1",
                    "wait \"C:\\Program Files\\App\\app.exe\" /x \"a b\""},
        CommandCase{"\"C:\\App\\APP.Exe -a\";1", "wait C:\\App\\APP.Exe -a"},
        CommandCase{".\\run.exe;1", "wait C:\\Tools\\Tarvo\\run.exe"},
        // ... a folder through Explorer from the Windows folder ...
        CommandCase{"D:\\Daten;1", "wait \"C:\\WINDOWS\\explorer.exe\" D:\\Daten"},
        // ... a document with its associated program.
        CommandCase{"C:\\Briefe\\Brief.txt;1", "wait \"C:\\WINDOWS\\notepad.exe\" C:\\Briefe\\Brief.txt"},
        // Any wait flag other than exactly "0" waits.
        CommandCase{"x.exe;ja", "wait x.exe"},
        CommandCase{"x.exe;", "wait x.exe"},
        // Variables are expanded in each word after the split: a value with
        // blanks stays one program or one parameter, quoted or not, and a
        // relative value is resolved like a typed one. Other per-cent signs
        // stay.
        CommandCase{"%ProgramFiles%\\App\\app.exe;1", "wait \"C:\\Program Files\\App\\app.exe\""},
        CommandCase{"\"\"\"%ProgramFiles%\\App\\app.exe\"\" /x\";0", "open C:\\Program Files\\App\\app.exe|/x"},
        CommandCase{"\"x.exe %ProgramFiles%\\a.txt\";0", "open x.exe|\"C:\\Program Files\\a.txt\""},
        CommandCase{"\"x.exe 100% %NICHT_GESETZT% %TEMP%\";1", "wait x.exe 100% %NICHT_GESETZT% C:\\Temp"},
        CommandCase{"%TOOLS%\\x.exe;0", "open C:\\Tools\\Tarvo\\tools\\x.exe|"},
        // A third field "1": the program through the shell's "runas", with
        // or without waiting; a document through its program, a folder
        // through Explorer. Any other third field starts as before.
        CommandCase{"\"x.exe -a\";1;1", "runas x.exe|-a (wait)"},
        CommandCase{"\"x.exe -a\";0;1", "runas x.exe|-a"},
        CommandCase{"\"\"\"C:\\Program Files\\App\\app.exe\"\" /x \"\"a b\"\"\";0;1",
                    "runas C:\\Program Files\\App\\app.exe|/x \"a b\""},
        CommandCase{"%ProgramFiles%\\a.exe;1;1", "runas C:\\Program Files\\a.exe| (wait)"},
        CommandCase{".\\run.exe;1;1", "runas C:\\Tools\\Tarvo\\run.exe| (wait)"},
        CommandCase{"C:\\Briefe\\Brief.txt;0;1", "runas C:\\WINDOWS\\notepad.exe|C:\\Briefe\\Brief.txt"},
        CommandCase{"D:\\Daten;1;1", "runas C:\\WINDOWS\\explorer.exe|D:\\Daten (wait)"},
        CommandCase{"x.exe;0;0", "open x.exe|"}, CommandCase{"x.exe;1;ja", "wait x.exe"},
        // A fourth field "1": the quoted first word and the argument string
        // after it exactly as they stand, as the shell opens a link: no
        // split, no %NAME%, no ".\", quotes, "&" and "^" untouched.
        CommandCase{"\"\"\"C:\\imp\\run.bat\"\" a\"\" & mkdir C:\\injected & \"\"b\";0;0;1",
                    "open C:\\imp\\run.bat|a\" & mkdir C:\\injected & \"b"},
        CommandCase{"\"\"\"C:\\Users\\Public\\%TEMP%\\tool.exe\"\" %TEMP%  x\";0;0;1",
                    "open C:\\Users\\Public\\%TEMP%\\tool.exe|%TEMP%  x"},
        CommandCase{"\"\"\".\\x.exe\"\"\";0;0;1", "open .\\x.exe|"},
        CommandCase{"\"\"\"C:\\a b\\x.exe\"\" --x \"\"y\"\"\";1;0;1", "wait \"C:\\a b\\x.exe\" --x \"y\""},
        CommandCase{"\"\"\"C:\\Briefe\\Brief.txt\"\" -p\";1;0;1",
                    "wait \"C:\\WINDOWS\\notepad.exe\" \"C:\\Briefe\\Brief.txt\" -p"},
        CommandCase{"\"\"\"D:\\Daten\"\"\";1;0;1", "wait \"C:\\WINDOWS\\explorer.exe\" \"D:\\Daten\""},
        CommandCase{"\"\"\"x.exe\"\" ^& a\";0;1;1", "runas x.exe|^& a"},
        // A fifth field, the working folder, and a sixth, the window, reach
        // each way of starting: the folder with %NAME% expanded and ".\"
        // resolved, "1" minimized without taking the focus, "2" maximized,
        // anything else normal.
        CommandCase{"x.exe;0;0;0;D:\\Arbeit;1", "open x.exe| in D:\\Arbeit (show 7)"},
        CommandCase{"\"x.exe -a\";1;0;0;D:\\Arbeit;2", "wait x.exe -a in D:\\Arbeit (show 3)"},
        CommandCase{"x.exe;1;1;0;D:\\Arbeit;0", "runas x.exe| (wait) in D:\\Arbeit"},
        CommandCase{"x.exe;0;0;0;;2", "open x.exe| (show 3)"},
        CommandCase{"x.exe;0;0;0;\"D:\\Mit;Semikolon\";9", "open x.exe| in D:\\Mit;Semikolon"},
        CommandCase{"x.exe;0;0;0;%TEMP%\\sub;0", "open x.exe| in C:\\Temp\\sub"},
        CommandCase{"x.exe;0;0;0;.\\daten;0", "open x.exe| in C:\\Tools\\Tarvo\\daten"},
        CommandCase{"C:\\Briefe\\Brief.txt;1;0;0;C:\\Briefe;1",
                    "wait \"C:\\WINDOWS\\notepad.exe\" C:\\Briefe\\Brief.txt in C:\\Briefe (show 7)"},
        CommandCase{"D:\\Daten;0;1;0;D:\\Daten;2", "runas C:\\WINDOWS\\explorer.exe|D:\\Daten in D:\\Daten (show 3)"},
        CommandCase{"\"\"\"C:\\a b\\x.exe\"\" --x\";0;0;1;D:\\Daten;2", "open C:\\a b\\x.exe|--x in D:\\Daten (show 3)"},
        CommandCase{"\"\"\"C:\\a b\\x.exe\"\" --x\";1;0;1;D:\\Daten;1",
                    "wait \"C:\\a b\\x.exe\" --x in D:\\Daten (show 7)"},
        CommandCase{"\"\"\"C:\\a b\\x.exe\"\" --x\";0;1;1;%TEMP%;2", "runas C:\\a b\\x.exe|--x in C:\\Temp (show 3)"}));

TEST_F(Interpreter, OnlyARelativeWordAsksForTheProgramsFolder) {
  host.ForeignFolder = true;
  Run({TExecLine{lkCommand, "C:\\x.exe;0"}});
  EXPECT_EQ(host.Calls, Calls{"open C:\\x.exe|"});
  EXPECT_THROW(Run({TExecLine{lkCommand, ".\\x.exe;0"}}), EForeignText);
}

TEST(ExactRunFields, AreReadAndWrittenAsTheFourthField) {
  struct {
    const char* Params;
    bool Exact;
    const char* With;
    const char* Without;
  } const rows[] = {
      {"x.exe;0", false, "x.exe;0;0;1", "x.exe;0"},
      {"x.exe;0;1", false, "x.exe;0;1;1", "x.exe;0;1"},
      {"x.exe;0;0;1", true, "x.exe;0;0;1", "x.exe;0"},
      {"x.exe;1;1;1", true, "x.exe;1;1;1", "x.exe;1;1"},
      {"x.exe", false, "x.exe", "x.exe"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(RunsExactly(row.Params), row.Exact) << row.Params;
    EXPECT_EQ(WithExactRun(row.Params, true), row.With) << row.Params;
    EXPECT_EQ(WithExactRun(row.Params, false), row.Without) << row.Params;
  }
}

// Per-cent signs as Windows expands them, over a few set variables.
struct ExpandCase {
  const char* text;
  const char* expected;
};

class EnvironmentNames : public Interpreter, public ::testing::WithParamInterface<ExpandCase> {};

TEST_P(EnvironmentNames, ExpandOnlyWhereTheyNameASetVariable) {
  host.Environment = {{"TEMP", "C:\\Temp"}, {"LEER", ""}, {"PROZENT", "50%"}};
  EXPECT_EQ(ExpandEnvironmentNames(host, GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, EnvironmentNames,
                         ::testing::Values(ExpandCase{"%TEMP%\\a.txt", "C:\\Temp\\a.txt"},
                                           ExpandCase{"%TEMP%%TEMP%", "C:\\TempC:\\Temp"},
                                           ExpandCase{"%LEER%x", "x"}, ExpandCase{"100%", "100%"},
                                           ExpandCase{"%NICHT_GESETZT%", "%NICHT_GESETZT%"},
                                           ExpandCase{"a%TEMP", "a%TEMP"}, ExpandCase{"%%", "%%"},
                                           ExpandCase{"", ""},
                                           // The sign after a name that is not set may open the next one.
                                           ExpandCase{"%%TEMP%", "%C:\\Temp"},
                                           ExpandCase{"%x%TEMP%", "%xC:\\Temp"},
                                           // Values are not expanded again.
                                           ExpandCase{"%PROZENT%TEMP%", "50%TEMP%"}));

TEST_F(Interpreter, ARefusedOrFailedElevationGoesOnWithTheNextLine) {
  for (TStartResult result : {srCancelled, srFailed}) {
    host.Calls.clear();
    host.VerbResult = result;
    EXPECT_FALSE(Run(Lines({"0 a.exe;1;1", "0 b.exe;0;1", "0 C:\\Unbekannt.xyz;1;1", "0 c.exe;0"})));
    EXPECT_EQ(host.Calls, (Calls{"runas a.exe| (wait)", "runas b.exe|", "open c.exe|"})) << result;
  }
}

struct ElevationCase {
  const char* params;
  bool elevated;
  const char* withElevation;
  const char* withoutElevation;
};

class ElevationFields : public ::testing::TestWithParam<ElevationCase> {};

TEST_P(ElevationFields, AreReadAndWrittenAsTheThirdField) {
  EXPECT_EQ(RunsElevated(GetParam().params), GetParam().elevated);
  EXPECT_EQ(WithElevation(GetParam().params, true), GetParam().withElevation);
  EXPECT_EQ(WithElevation(GetParam().params, false), GetParam().withoutElevation);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ElevationFields,
    ::testing::Values(ElevationCase{"x.exe;1", false, "x.exe;1;1", "x.exe;1"},
                      ElevationCase{"x.exe;0;1", true, "x.exe;0;1", "x.exe;0"},
                      ElevationCase{"\"x.exe \"\"a b\"\"\";0", false, "\"x.exe \"\"a b\"\"\";0;1",
                                    "\"x.exe \"\"a b\"\"\";0"},
                      ElevationCase{"x.exe;1;0", false, "x.exe;1;1", "x.exe;1;0"},
                      ElevationCase{"x.exe;1;1;z", true, "x.exe;1;1;z", "x.exe;1;0;z"},
                      // Without a wait flag the line stays the error it is.
                      ElevationCase{"x.exe", false, "x.exe", "x.exe"}));

// The first word against other program folders: a drive's root or a
// share's root is as far up as "..\" goes.
struct RelativeCase {
  const char* exeFolder;
  const char* word;
  const char* expected;
};

class RelativeWords : public ::testing::TestWithParam<RelativeCase> {};

TEST_P(RelativeWords, ResolveAgainstTheProgramsFolder) {
  EXPECT_EQ(ResolveRelativeWord(GetParam().word, GetParam().exeFolder), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RelativeWords,
    ::testing::Values(RelativeCase{"C:\\Tools\\Tarvo\\", ".\\x.exe", "C:\\Tools\\Tarvo\\x.exe"},
                      RelativeCase{"C:\\Tools\\Tarvo\\", "..\\x.exe", "C:\\Tools\\x.exe"},
                      RelativeCase{"C:\\", ".\\x.exe", "C:\\x.exe"},
                      RelativeCase{"C:\\", "..\\..\\x.exe", "C:\\x.exe"},
                      RelativeCase{"\\\\srv\\daten\\Tarvo\\", ".\\x.exe", "\\\\srv\\daten\\Tarvo\\x.exe"},
                      RelativeCase{"\\\\srv\\daten\\Tarvo\\", "..\\x.exe", "\\\\srv\\daten\\x.exe"},
                      RelativeCase{"\\\\srv\\daten\\Tarvo\\", "..\\..\\x.exe", "\\\\srv\\daten\\x.exe"},
                      RelativeCase{"\\\\srv\\daten\\", "..\\x.exe", "\\\\srv\\daten\\x.exe"},
                      // Only a leading ".\" or "..\" is relative.
                      RelativeCase{"C:\\Tools\\", "x\\..\\y.exe", "x\\..\\y.exe"},
                      RelativeCase{"C:\\Tools\\", ".x.exe", ".x.exe"}));

TEST_F(Interpreter, DocumentWithoutAssociatedProgramIsNotStarted) {
  EXPECT_EQ(RunAndWait(host, "C:\\Unbekannt.xyz", TStartup()), NotStarted);
  EXPECT_TRUE(host.Calls.empty());
  Run(Lines({"0 C:\\Unbekannt.xyz;1", "1 weiter;T;3;0"}));
  EXPECT_EQ(host.Calls, Calls{"box weiter|T|64"});
}

TEST_F(Interpreter, FolderIsNotStartedWhenTheWindowsFolderIsUnknown) {
  host.Directories = {"D:\\Daten"};
  host.WindowsKnown = false;
  EXPECT_EQ(RunAndWait(host, "D:\\Daten", TStartup()), NotStarted);
  EXPECT_TRUE(host.Calls.empty());
}

TEST_F(Interpreter, RunAndWaitReturnsTheExitCodeAndPassesTheShowState) {
  host.ExitCode = 42;
  EXPECT_EQ(RunAndWait(host, "prog.exe a", TStartup{"D:\\Arbeit", swShowMinNoActive}), 42u);
  EXPECT_EQ(host.Calls, Calls{"wait prog.exe a in D:\\Arbeit (show 7)"});
}

TEST_F(Interpreter, AWaitedProgramEndsBeforeTheNextLineRuns) {
  Run(Lines({"0 eins.exe;1", "0 zwei.exe;0", "0 drei.exe;1"}));
  EXPECT_EQ(host.Calls, (Calls{"wait eins.exe", "open zwei.exe|", "wait drei.exe"}));
}

// ---- Messages and questions ----------------------------------------------

struct BoxCase {
  const char* line;
  unsigned style;
};

class MessageStyles : public Interpreter, public ::testing::WithParamInterface<BoxCase> {};

TEST_P(MessageStyles, AreIconPlusButtons) {
  Run(Lines({GetParam().line}));
  ASSERT_EQ(host.Calls.size(), 1u);
  EXPECT_EQ(host.Calls[0], "box Text|Titel|" + std::to_string(GetParam().style));
}

INSTANTIATE_TEST_SUITE_P(Table, MessageStyles,
                         ::testing::Values(BoxCase{"1 Text;Titel;0;0", 16 + 0}, BoxCase{"1 Text;Titel;1;1", 32 + 1},
                                           BoxCase{"1 Text;Titel;2;0", 48 + 0}, BoxCase{"1 Text;Titel;3;1", 64 + 1},
                                           BoxCase{"2 Text;Titel;1;0", 32 + 4}, BoxCase{"2 Text;Titel;0;1", 16 + 3},
                                           BoxCase{"2 Text;Titel;3;0", 64 + 4},
                                           // Values the editors never write: a cancel flag other than 0
                                           // adds Cancel, as a wait flag other than 0 waits; a question
                                           // keeps Yes and No, so both its branches stay reachable.
                                           BoxCase{"1 Text;Titel;-1;0", 0}, BoxCase{"1 Text;Titel;2147483647;0", 0},
                                           BoxCase{"1 Text;Titel;0;3", 16 + 1},
                                           BoxCase{"1 Text;Titel;0;-1", 16 + 1}, BoxCase{"2 Text;Titel;3;9", 64 + 3},
                                           BoxCase{"2 Text;Titel;1;3", 32 + 3}, BoxCase{"2 Text;Titel;1;2", 32 + 3},
                                           BoxCase{"2 Text;Titel;1;4", 32 + 3}, BoxCase{"2 Text;Titel;1;-1", 32 + 3}));

TEST_F(Interpreter, MessageTextsKeepTheirQuotesAndSemicolons) {
  Run(Lines({"1 \"Bitte \"\"A;B\"\" prüfen\";\"Mein Titel\";3;0"}));
  EXPECT_EQ(host.Calls, Calls{"box Bitte \"A;B\" prüfen|Mein Titel|64"});
}

TEST_F(Interpreter, OkContinuesAndCancelEndsTheRun) {
  host.Answers = {idOK, idCancel};
  EXPECT_TRUE(Run(Lines({"1 a;T;3;1", "1 b;T;3;1", "0 nie.exe;0"})));
  EXPECT_EQ(host.Calls, (Calls{"box a|T|65", "box b|T|65"}));
}

// The question of the file format's example, with a line before and after.
std::vector<TExecLine> Question() {
  return Lines({"2 Frage?;T;1;1", "6 \"Ja\":", "0 ja1.exe;0", "0 ja2.exe;0", "6 \"Nein\":", "0 nein.exe;0",
                "6 Verzweigungsende", "0 danach.exe;0"});
}

TEST_F(Interpreter, YesRunsOnlyTheYesBranchThenContinuesAfterTheEndMarker) {
  host.Answers = {idYes};
  EXPECT_FALSE(Run(Question()));
  EXPECT_EQ(host.Calls, (Calls{"box Frage?|T|35", "open ja1.exe|", "open ja2.exe|", "open danach.exe|"}));
}

TEST_F(Interpreter, NoRunsOnlyTheNoBranch) {
  host.Answers = {idNo};
  Run(Question());
  EXPECT_EQ(host.Calls, (Calls{"box Frage?|T|35", "open nein.exe|", "open danach.exe|"}));
}

TEST_F(Interpreter, CancelOnAQuestionRunsNeitherBranchNorWhatFollows) {
  host.Answers = {idCancel};
  EXPECT_TRUE(Run(Question()));
  EXPECT_EQ(host.Calls, Calls{"box Frage?|T|35"});
}

TEST_F(Interpreter, EmptyBranchesRunNothing) {
  host.Answers = {idYes, idNo};
  Run(Lines({"2 q;T;1;0", "6 \"Ja\":", "6 \"Nein\":", "6 Verzweigungsende", "2 r;T;1;0", "6 \"Ja\":", "6 \"Nein\":",
             "6 Verzweigungsende", "0 ende.exe;0"}));
  EXPECT_EQ(host.Calls, (Calls{"box q|T|36", "box r|T|36", "open ende.exe|"}));
}

std::vector<TExecLine> NestedQuestion() {
  return Lines({"2 außen;T;1;0", "6 \"Ja\":", "2 innen;T;1;0", "6 \"Ja\":", "0 innen-ja.exe;0", "6 \"Nein\":",
                "0 innen-nein.exe;0", "6 Verzweigungsende", "0 außen-ja.exe;0", "6 \"Nein\":",
                "0 außen-nein.exe;0", "6 Verzweigungsende", "0 danach.exe;0"});
}

TEST_F(Interpreter, NestedQuestionsDoNotDisturbTheOuterMarkers) {
  struct Case {
    std::deque<int> answers;
    Calls opened;
  };
  for (const Case& c : {Case{{idYes, idYes}, {"innen-ja.exe", "außen-ja.exe", "danach.exe"}},
                        Case{{idYes, idNo}, {"innen-nein.exe", "außen-ja.exe", "danach.exe"}},
                        Case{{idNo}, {"außen-nein.exe", "danach.exe"}}}) {
    host.Calls.clear();
    host.Answers = c.answers;
    Run(NestedQuestion());
    Calls opened;
    for (const std::string& call : host.Calls)
      if (call.rfind("open ", 0) == 0) opened.push_back(call.substr(5, call.size() - 6));
    EXPECT_EQ(opened, c.opened) << c.answers.size() << " answers";
  }
}

TEST_F(Interpreter, LocateBranchesStepsOverNestedQuestions) {
  TQuestionBranches b = LocateBranches(NestedQuestion(), 0, 12);
  EXPECT_EQ(b.YesMarker, 1);
  EXPECT_EQ(b.NoMarker, 9);
  EXPECT_EQ(b.EndMarker, 11);
  b = LocateBranches(NestedQuestion(), 2, 12);
  EXPECT_EQ(b.YesMarker, 3);
  EXPECT_EQ(b.NoMarker, 5);
  EXPECT_EQ(b.EndMarker, 7);
}

// Markers that are missing or incomplete: nothing is read past the lines,
// the missing branch is empty, and the run ends with the range.
struct BrokenCase {
  const char* name;
  std::vector<TExecLine> lines;
  int answer;
  Calls opened;
};

TEST_F(Interpreter, QuestionsWithMissingMarkersNeverReadPastTheLines) {
  const std::vector<BrokenCase> cases = {
      {"no markers, yes", Lines({"2 q;T;1;0", "0 a.exe;0"}), idYes, {}},
      {"no markers, no", Lines({"2 q;T;1;0", "0 a.exe;0"}), idNo, {}},
      {"question last", Lines({"2 q;T;1;0"}), idYes, {}},
      {"only yes marker, yes", Lines({"2 q;T;1;0", "6 \"Ja\":", "0 a.exe;0"}), idYes, {"a.exe"}},
      {"only yes marker, no", Lines({"2 q;T;1;0", "6 \"Ja\":", "0 a.exe;0"}), idNo, {}},
      {"no end marker, yes", Lines({"2 q;T;1;0", "6 \"Ja\":", "0 a.exe;0", "6 \"Nein\":", "0 b.exe;0"}), idYes,
       {"a.exe"}},
      {"no end marker, no", Lines({"2 q;T;1;0", "6 \"Ja\":", "0 a.exe;0", "6 \"Nein\":", "0 b.exe;0"}), idNo,
       {"b.exe"}},
      {"unfinished nested question, yes",
       Lines({"2 q;T;1;0", "6 \"Ja\":", "2 r;T;1;0", "6 \"Ja\":", "0 a.exe;0", "6 \"Nein\":"}), idYes, {"a.exe"}},
      {"many questions, no markers", Lines({"2 q;T;1;0", "2 r;T;1;0", "2 s;T;1;0", "0 a.exe;0"}), idNo, {}},
  };
  for (const BrokenCase& c : cases) {
    host.Calls.clear();
    host.Answers = {c.answer, c.answer, c.answer};
    Run(c.lines);
    Calls opened;
    for (const std::string& call : host.Calls)
      if (call.rfind("open ", 0) == 0) opened.push_back(call.substr(5, call.size() - 6));
    EXPECT_EQ(opened, c.opened) << c.name;
  }
}

TEST_F(Interpreter, AQuestionInsideABranchRangeDoesNotSearchBeyondIt) {
  // A run of lines 0..2 only: the markers after it are not this run's.
  host.Answers = {idYes};
  Run(Lines({"0 a.exe;0", "2 q;T;1;0", "0 b.exe;0", "6 \"Ja\":", "0 c.exe;0", "6 \"Nein\":", "6 Verzweigungsende"}),
      0, 2);
  EXPECT_EQ(host.Calls, (Calls{"open a.exe|", "box q|T|36"}));
}

// ---- Ranges, kinds without action ----------------------------------------

TEST_F(Interpreter, RunsTheGivenRangeOnly) {
  auto lines = Lines({"0 a.exe;0", "0 b.exe;0", "0 c.exe;0", "0 d.exe;0"});
  Run(lines, 1, 2);
  EXPECT_EQ(host.Calls, (Calls{"open b.exe|", "open c.exe|"}));
  host.Calls.clear();
  Run(lines, 2, -1);
  EXPECT_EQ(host.Calls, (Calls{"open c.exe|", "open d.exe|"}));
  host.Calls.clear();
  Run(lines, 3, 2);
  EXPECT_TRUE(host.Calls.empty());
  // A range beyond the lines is cut to them.
  Run(lines, 3, 99);
  EXPECT_EQ(host.Calls, Calls{"open d.exe|"});
}

TEST_F(Interpreter, EmptyGroupAndLinesOfKinds4And6AndUnknownKindsDoNothing) {
  EXPECT_FALSE(Run({}));
  EXPECT_FALSE(Run(Lines({"4 Doppelklicken zum Bearbeiten", "6 \"Ja\":", "6 Verzweigungsende", "9 x", "7 "})));
  EXPECT_TRUE(host.Calls.empty());
}

TEST_F(Interpreter, EndRunStopsTheRestAndASetFlagRunsNothing) {
  EXPECT_TRUE(Run(Lines({"0 a.exe;0", "3 ", "0 b.exe;0"})));
  EXPECT_EQ(host.Calls, Calls{"open a.exe|"});
  host.Calls.clear();
  bool aborted = true;
  RunExecLines(host, project, Lines({"0 a.exe;0"}), aborted, 0, -1);
  EXPECT_TRUE(host.Calls.empty());
}

// ---- Group calls -----------------------------------------------------------

TEST_F(Interpreter, CallsTheGroupByExactNameAndContinues) {
  project = TProject({TExecGroup{"editor", Lines({"0 falsch.exe;0"})}, TExecGroup{"Editor", Lines({"0 notepad.exe;0"})},
                      TExecGroup{"Editor", Lines({"0 zweiter.exe;0"})}},
                     {});
  EXPECT_FALSE(Run(Lines({"5 \"Editor\"", "0 danach.exe;0"})));
  EXPECT_EQ(host.Calls, (Calls{"open notepad.exe|", "open danach.exe|"}));
}

TEST_F(Interpreter, ACallOfAMissingGroupCallsNothing) {
  project = TProject({TExecGroup{"A", Lines({"0 a.exe;0"})}}, {});
  EXPECT_FALSE(Run(Lines({"5 \"Fehlt\"", "5 \"a\"", "0 danach.exe;0"})));
  EXPECT_EQ(host.Calls, Calls{"open danach.exe|"});
}

TEST_F(Interpreter, CancelInACalledGroupEndsTheCaller) {
  project = TProject({TExecGroup{"Innen", Lines({"1 Weiter?;T;1;1", "0 innen.exe;0"})}}, {});
  host.Answers = {idCancel};
  EXPECT_TRUE(Run(Lines({"5 \"Innen\"", "0 danach.exe;0"})));
  EXPECT_EQ(host.Calls, Calls{"box Weiter?|T|33"});
}

TEST_F(Interpreter, EndRunInABranchEndsEveryEnclosingRange) {
  project = TProject({TExecGroup{"G", Lines({"2 q;T;1;0", "6 \"Ja\":", "3 ", "0 nie1.exe;0", "6 \"Nein\":",
                                             "6 Verzweigungsende", "0 nie2.exe;0"})}},
                     {});
  host.Answers = {idYes};
  EXPECT_TRUE(Run(Lines({"5 \"G\"", "0 nie3.exe;0"})));
  EXPECT_EQ(host.Calls, Calls{"box q|T|36"});
}

TEST_F(Interpreter, TheRunKeepsItsOwnCopyOfTheLines) {
  // A handler running during the box changes the project.
  project = TProject({TExecGroup{"G", Lines({"1 a;T;3;0", "0 alt.exe;0"})}}, {});
  host.DuringBox = [this] {
    project.ChangeExecGroup(0, TExecGroup{"G", Lines({"0 neu.exe;0"})});
    project.AddExecGroup(TExecGroup{"H", {}});
  };
  Run(project.ExecGroup(0).Lines);
  EXPECT_EQ(host.Calls, (Calls{"box a|T|64", "open alt.exe|"}));
}

TEST_F(Interpreter, CalledGroupsAreLookedUpAtTheMomentOfTheCall) {
  project = TProject({TExecGroup{"G", Lines({"0 alt.exe;0"})}}, {});
  host.DuringBox = [this] { project.ChangeExecGroup(0, TExecGroup{"G", Lines({"0 neu.exe;0"})}); };
  Run(Lines({"1 a;T;3;0", "5 \"G\""}));
  EXPECT_EQ(host.Calls, (Calls{"box a|T|64", "open neu.exe|"}));
}

// ---- Nesting limit ---------------------------------------------------------

TEST_F(Interpreter, ASelfCallingGroupEndsWithOneMessageAtTheDepthLimit) {
  project = TProject({TExecGroup{"Schleife", Lines({"0 x.exe;0", "5 \"Schleife\"", "0 nie.exe;0"})}}, {});
  EXPECT_TRUE(Run(project.ExecGroup(0).Lines));
  ASSERT_EQ(host.Calls.size(), static_cast<size_t>(MaxRunDepth) + 1);
  for (int i = 0; i < MaxRunDepth; ++i) EXPECT_EQ(host.Calls[static_cast<size_t>(i)], "open x.exe|");
  EXPECT_EQ(host.Calls.back(), "box " + RunTooDeepText() + "|TRV|16");
  EXPECT_NE(RunTooDeepText().find("Befehlszeilengruppe"), std::string::npos);
  // The count is back at zero: a new run may nest as deep again.
  host.Calls.clear();
  Run(project.ExecGroup(0).Lines);
  EXPECT_EQ(host.Calls.size(), static_cast<size_t>(MaxRunDepth) + 1);
}

TEST_F(Interpreter, CallsOneAfterAnotherDoNotAddUp) {
  project = TProject({TExecGroup{"G", Lines({"2 q;T;1;0", "6 \"Ja\":", "0 x.exe;0", "6 \"Nein\":",
                                             "6 Verzweigungsende"})}},
                     {});
  host.Answers = std::deque<int>(MaxRunDepth + 5, idYes);
  std::vector<TExecLine> calls(MaxRunDepth + 5, TExecLine{lkCallGroup, "\"G\""});
  EXPECT_FALSE(Run(calls));
  int started = 0;
  for (const std::string& call : host.Calls) started += call == "open x.exe|";
  EXPECT_EQ(started, MaxRunDepth + 5);
}

TEST_F(Interpreter, ARunStartedWhileAnotherWaitsNestsAsDeepAsAnyRun) {
  // The editor's test pressed again while a box of its first run shows, a
  // few calls deep: the second run counts its own depth.
  project = TProject({TExecGroup{"Schleife", Lines({"0 x.exe;0", "5 \"Schleife\""})},
                      TExecGroup{"Tief", Lines({"5 \"Tiefer\""})}, TExecGroup{"Tiefer", Lines({"1 warte;T;0;0"})}},
                     {});
  host.DuringBox = [this] { EXPECT_TRUE(Run(project.ExecGroup(0).Lines)); };
  EXPECT_FALSE(Run(Lines({"5 \"Tief\"", "0 danach.exe;0"})));
  ASSERT_EQ(host.Calls.size(), static_cast<size_t>(MaxRunDepth) + 3);
  EXPECT_EQ(host.Calls.front(), "box warte|T|16");
  for (int i = 1; i <= MaxRunDepth; ++i) EXPECT_EQ(host.Calls[static_cast<size_t>(i)], "open x.exe|");
  EXPECT_EQ(host.Calls[static_cast<size_t>(MaxRunDepth) + 1], "box " + RunTooDeepText() + "|TRV|16");
  // The first run goes on where it waited.
  EXPECT_EQ(host.Calls.back(), "open danach.exe|");
}

TEST_F(Interpreter, GroupsCallingEachOtherInACycleAreStoppedToo) {
  project = TProject({TExecGroup{"A", Lines({"5 \"B\""})}, TExecGroup{"B", Lines({"5 \"A\""})}}, {});
  EXPECT_TRUE(Run(Lines({"5 \"A\""})));
  EXPECT_EQ(host.Calls, Calls{"box " + RunTooDeepText() + "|TRV|16"});
}

TEST_F(Interpreter, AQuestionDrivenLoopRunsUntilTheUserSaysNo) {
  // "Nochmal?" Yes calls the group again: a loop the user drives.
  project = TProject({TExecGroup{"Nochmal", Lines({"0 x.exe;0", "2 Nochmal?;T;1;0", "6 \"Ja\":", "5 \"Nochmal\"",
                                                   "6 \"Nein\":", "6 Verzweigungsende"})}},
                     {});
  host.Answers = {idYes, idYes, idYes, idNo};
  EXPECT_FALSE(Run(project.ExecGroup(0).Lines));
  int started = 0;
  for (const std::string& call : host.Calls) started += call == "open x.exe|";
  EXPECT_EQ(started, 4);
}

TEST_F(Interpreter, AQuestionDrivenLoopIsStoppedAtTheDepthLimit) {
  project = TProject({TExecGroup{"Nochmal", Lines({"2 Nochmal?;T;1;0", "6 \"Ja\":", "5 \"Nochmal\"",
                                                   "6 \"Nein\":", "6 Verzweigungsende"})}},
                     {});
  host.Answers = std::deque<int>(1000, idYes);
  EXPECT_TRUE(Run(project.ExecGroup(0).Lines));
  // Each round nests a branch and a call: half the limit in questions.
  EXPECT_EQ(host.Calls.size(), static_cast<size_t>(MaxRunDepth) / 2 + 1);
  EXPECT_EQ(host.Calls.back(), "box " + RunTooDeepText() + "|TRV|16");
}

// ---- Parameters that do not fit -------------------------------------------

struct BadCase {
  const char* line;
  const char* message;
  bool listError;
};

class BadParams : public Interpreter, public ::testing::WithParamInterface<BadCase> {};

TEST_P(BadParams, RaiseTheConversionOrListErrorAndStopTheRun) {
  auto lines = Lines({GetParam().line, "0 danach.exe;0"});
  try {
    Run(lines);
    FAIL() << "no error for " << GetParam().line;
  } catch (const EListError& e) {
    EXPECT_TRUE(GetParam().listError);
    EXPECT_STREQ(e.what(), GetParam().message);
  } catch (const EConvertError& e) {
    EXPECT_FALSE(GetParam().listError);
    EXPECT_STREQ(e.what(), GetParam().message);
  }
  for (const std::string& call : host.Calls) EXPECT_EQ(call.find("danach"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Table, BadParams,
    ::testing::Values(BadCase{"0 notepad.exe", "Listenindex überschreitet das Maximum (1)", true},
                      BadCase{"0 ", "Listenindex überschreitet das Maximum (0)", true},
                      BadCase{"0 \"\";0", "Listenindex überschreitet das Maximum (0)", true},
                      BadCase{"0 \"   \";1", "Listenindex überschreitet das Maximum (0)", true},
                      BadCase{"1 Text;Titel;3", "Listenindex überschreitet das Maximum (3)", true},
                      BadCase{"2 Text", "Listenindex überschreitet das Maximum (1)", true},
                      BadCase{"5 ", "Listenindex überschreitet das Maximum (0)", true},
                      BadCase{"1 Text;Titel;Info;0", "'Info' ist kein gültiger Integerwert", false},
                      BadCase{"2 Text;Titel;1;ja", "'ja' ist kein gültiger Integerwert", false},
                      BadCase{"1 Text;Titel;;0", "'' ist kein gültiger Integerwert", false}));

TEST_F(Interpreter, AnErrorEndsTheRunAndTheNextRunNestsAsDeepAsEver) {
  project = TProject({TExecGroup{"Kaputt", Lines({"1 x"})}}, {});
  for (int i = 0; i < MaxRunDepth + 5; ++i) EXPECT_THROW(Run(Lines({"5 \"Kaputt\""})), EListError);
  project = TProject({TExecGroup{"Schleife", Lines({"0 x.exe;0", "5 \"Schleife\""})}}, {});
  host.Calls.clear();
  Run(project.ExecGroup(0).Lines);
  EXPECT_EQ(host.Calls.size(), static_cast<size_t>(MaxRunDepth) + 1);
}

}  // namespace

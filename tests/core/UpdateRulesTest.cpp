#include <gtest/gtest.h>

#include <cstdio>
#include <map>

#include "model/Wide.h"
#include "update/UpdateRules.h"

namespace {

// 8.12.2026 as a day count since 30.12.1899.
const TDateTime Today = 46364;

TEST(Reminders, TheNextDateIsTodayPlusTheIntervalLessOne) {
  const struct {
    bool present;
    int32_t interval;
    TDateTime expected;
  } cases[] = {
      {true, 7, Today + 6}, {true, 1, Today}, {true, 365, Today + 364},
      {true, 0, Today + 27}, {false, 0, Today + 27}, {true, -3, Today + 27},
  };
  for (const auto& c : cases) EXPECT_EQ(NextReminderDate(Today, c.present, c.interval), c.expected) << c.interval;
}

TEST(Reminders, TheWizardComesAfterTheReminderDate) {
  TReminderState state;
  state.Today = Today;
  state.NextReminder = DefaultReminderDate(Today);
  EXPECT_TRUE(ShowsWizard(state)) << "a first start reminds at once";
  state.NextReminder = Today;
  EXPECT_FALSE(ShowsWizard(state)) << "\"Update\" equal to today";
  state.NextReminder = Today - 1;
  state.NoUpdate = true;
  EXPECT_FALSE(ShowsWizard(state));
  state.Manual = true;
  EXPECT_TRUE(ShowsWizard(state)) << "Ctrl+U";
  state.Manual = false;
  state.OnlyUpdate = true;
  state.NextReminder = Today + 10;
  EXPECT_TRUE(ShowsWizard(state));
}

TEST(Releases, ASameDayReleaseIsNotNewerTheNextDaysIs) {
  const TDateTime program = Today + 0.5;  // noon
  // Installed on 9.12. at 18:30 from the release of 10.12., which the
  // maker's clock already showed.
  const TDateTime installedAt = Today + 1.77;
  const TInstalledRelease installed{Today + 2, installedAt};
  const struct {
    TDateTime release, program;
    TInstalledRelease installed;
    bool newer;
    const char* why;
  } cases[] = {
      {Today, program, {}, false, "the file's own day"},
      {Today + 1, program, {}, true, "the next day"},
      {Today, Today, {}, true, "a file of exactly midnight"},
      {Today - 3, program, {}, false, "an older release"},
      {Today + 2, 0, {}, false, "a program date that cannot be read"},
      {Today + 2, installedAt, installed, false, "the release that installed the file, dated ahead"},
      {Today + 2, installedAt, {}, true, "...which the file's date alone offered again"},
      {Today + 3, installedAt, installed, true, "a release dated after the installed one"},
      {Today + 1, installedAt, installed, false, "one dated before it"},
      {Today + 2, program, installed, true, "a program file replaced since: its date counts"},
      {Today + 2, installedAt + 1e-9, installed, false, "the installed file's date in another rounding"},
      {Today + 2, installedAt + 1.0 / 86400, installed, true, "a file a second younger"},
  };
  for (const auto& c : cases) EXPECT_EQ(IsNewerRelease(c.release, c.program, c.installed), c.newer) << c.why;
}

// The maker's day.month.year, in any locale: a date the old reading left to
// the user's format ("01.01.2000" unreadable in en-US) counted as today.
TEST(Releases, TheReleaseDateIsReadInTheMakersFormatOnly) {
  const struct {
    const char* text;
    double date;  // 0: refused
  } cases[] = {
      {"08.12.2026", Today},   {"8.12.2026", Today},   {"01.01.2000", 36526}, {"29.02.2024", 45351},
      {"30.12.1899", 0},       {"31.12.1900", 366},    {"29.02.2023", 0},     {"31.04.2026", 0},
      {"00.12.2026", 0},       {"08.13.2026", 0},      {"12/08/2026", 0},     {"2026-12-08", 0},
      {"08.12.26", 0},         {"08.12.02026", 0},     {"08.12.2026 ", 0},    {" 08.12.2026", 0},
      {"08.12.2026.", 0},      {"+8.12.2026", 0},      {"", 0},               {"gestern", 0},
      {"008.12.2026", 0},      {"29.02.1900", 0},      {"29.02.2000", 36585},
  };
  for (const auto& c : cases) {
    TDateTime date = -1;
    EXPECT_EQ(ParseReleaseDate(c.text, date), c.date != 0) << c.text;
    if (c.date != 0) {
      EXPECT_EQ(date, c.date) << c.text;
    }
  }
}

// Today's date and a file's are counted so, not by the automation library,
// which the window's start would load for it.
TEST(Releases, ADayAndATimeCountAsTheRegistryKeepsThem) {
  const struct {
    int y, m, d, h, min, s;
    double date;
  } cases[] = {
      {1899, 12, 30, 0, 0, 0, 0},   {1900, 1, 1, 0, 0, 0, 2},          {1900, 3, 1, 0, 0, 0, 61},
      {2026, 12, 8, 0, 0, 0, Today}, {2026, 12, 8, 18, 0, 0, Today + 0.75}, {2000, 2, 29, 12, 0, 0, 36585.5},
      {2026, 12, 31, 23, 59, 58, 46387 + 86398.0 / 86400},
  };
  for (const auto& c : cases)
    EXPECT_NEAR(EncodeDateTime(c.y, c.m, c.d, c.h, c.min, c.s), c.date, 1e-9) << c.d << "." << c.m << "." << c.y;
}

class TInfo : public IUpdateInfo {
 public:
  std::map<std::string, std::map<std::string, std::string>> Sections;
  bool HasSection(const std::string& section) override { return !Sections[section].empty(); }
  std::string Read(const std::string& section, const std::string& key, const std::string& fallback) override {
    auto& keys = Sections[section];
    return keys.count(key) ? keys[key] : fallback;
  }
};

TEST(Releases, AnUpdateNeedsTheProgramsSectionAndANewerReadableDate) {
  const TDateTime program = Today + 0.5;
  EXPECT_FALSE(IsUpdateAvailable(nullptr, "TRV", program)) << "nothing fetched";
  const struct {
    const char* section;
    const char* date;  // nullptr: no "Date"
    bool available;
  } cases[] = {
      {"OTHER", "09.12.2026", false},  // no section of ours
      {"TRV", "09.12.2026", true},
      {"TRV", "08.12.2026", false},    // the program's own day
      {"TRV", "01.01.2000", false},    // an old release
      {"TRV", nullptr, false},         // a missing date is no update
      {"TRV", "", false},
      {"TRV", "12/09/2026", false},    // unreadable: no update either
      {"TRV", "gestern", false},
  };
  for (const auto& c : cases) {
    TInfo info;
    info.Sections[c.section]["File"] = "TRV.zip";
    if (c.date) info.Sections[c.section]["Date"] = c.date;
    EXPECT_EQ(IsUpdateAvailable(&info, "TRV", program), c.available) << c.section << " " << (c.date ? c.date : "-");
  }
}

// Read once as the platform's reader reads it, so that the signed values
// are the ones every later step sees.
TEST(Releases, TheUpdateInformationIsReadAsTheIniReaderReadsIt) {
  TUpdateInfoText info(
      "; Tarvo\r\nFile=vor jedem Abschnitt\r\n[trv]\r\n  file = TRV.zip  \r\nDATE=09.12.2026\r\n"
      "News=\"09.12.2026: Neu\",Hinweis\r\nQuoted=\"ganz\"\r\nFile=zweiter\r\n;Date=01.01.2000\r\n"
      "[Leer]\r\n[TRV]\r\nFile=zweiter Abschnitt\nSHA256=ab\n[Lang]\nNews=" + std::string(3000, 'n'));
  const struct {
    const char* section;
    const char* key;
    std::string value;
  } cases[] = {
      {"TRV", "File", "TRV.zip"},  // names without case, blanks gone, the first counts
      {"TRV", "Date", "09.12.2026"},
      {"TRV", "News", "\"09.12.2026: Neu\",Hinweis"},  // quotes not around the whole value stay
      {"TRV", "Quoted", "ganz"},
      {"TRV", "SHA256", "-"},  // a second section of the name adds nothing
      {"Lang", "News", std::string(2047, 'n')},
      {"Fehlt", "File", "-"},
  };
  for (const auto& c : cases) EXPECT_EQ(info.Read(c.section, c.key, "-"), c.value) << c.section << " " << c.key;
  EXPECT_TRUE(info.HasSection("TRV"));
  EXPECT_FALSE(info.HasSection("Leer")) << "a section without keys";
  EXPECT_FALSE(info.HasSection("Fehlt"));
}

TEST(News, EntriesOfEarlierDaysAreLeftOutOthersStandAsTheyAre) {
  const TDateTime program = Today + 0.75;
  const std::string news =
      "\"1.12.2026: Alter Fehler behoben\",\"08.12.2026: Neue Hilfe\",9.12.2026:Schneller,"
      "\"ohne Datum\",\"Version 2: neu\"";
  EXPECT_EQ(BuildNewsList(news, program),
            "- 08.12.2026: Neue Hilfe\r\n- 9.12.2026:Schneller\r\n- ohne Datum\r\n- Version 2: neu\r\n");
  EXPECT_EQ(BuildNewsList(std::string("\"") + NoNewsEntry + "\"", program), "- keine Angaben gefunden\r\n");
  EXPECT_EQ(BuildNewsList("\"1.1.2020: alt\"", program), "");
}

const std::vector<std::string> Head = {
    "@setlocal DisableDelayedExpansion", "@set \"TRV_PROGRAM_DIR=C:\\Programme\\Tarvo\\\"",
    "@set \"TRV_PROGRAM=C:\\Programme\\Tarvo\\TRV.EXE\"", "@set \"TRV_UPDATE_DIR=C:\\TEMP\\TRV-Update-1\\\"",
    "@set \"TRV_REPORT=C:\\Daten\\Update.log\"", "@set \"TRV_PID=4711\"",
    // The template as a subroutine whose exit code goes into the report.
    "@call :trv_install", "@set \"TRV_RESULT=%ERRORLEVEL%\"", "@>>\"%TRV_REPORT%\" echo Result=%TRV_RESULT%",
    "@if \"%TRV_RESULT%\"==\"2\" exit /b 2", "@cd /d \"%TRV_UPDATE_DIR%..\" & rd /s /q \"%TRV_UPDATE_DIR%\" & exit /b %TRV_RESULT%",
    ":trv_install"};

TScriptValues Values(bool restart = false) {
  TScriptValues values;
  values.ProgramFolder = "C:\\Programme\\Tarvo\\";
  values.ProgramPath = values.ProgramFolder + "TRV.EXE";
  values.UpdateFolder = "C:\\TEMP\\TRV-Update-1\\";
  values.ReportPath = "C:\\Daten\\Update.log";
  values.ProcessId = 4711;
  values.Restart = restart;
  return values;
}

std::vector<std::string> WithHead(std::vector<std::string> lines) {
  lines.insert(lines.begin(), Head.begin(), Head.end());
  return lines;
}

TEST(InstallScript, TheHeadSetsTheFoldersThenGroupsOfFourThenTheTail) {
  const std::vector<std::string> groups = {":Warte", "del \"%sTRV.EXE\"", "if exist \"%sTRV.EXE\" goto Warte",
                                           "copy \"%sTRV.EXE\" \"%s\""};
  TInstallScript script = MakeInstallScript(groups, Values());
  ASSERT_TRUE(script.Ok) << script.Error;
  EXPECT_EQ(script.Lines, WithHead({":Warte", "del \"%TRV_PROGRAM_DIR%TRV.EXE\"",
                                    "if exist \"%TRV_PROGRAM_DIR%TRV.EXE\" goto Warte",
                                    "copy \"%TRV_UPDATE_DIR%TRV.EXE\" \"%TRV_PROGRAM_DIR%\"",
                                    "@exit /b 0"}));
  // A tail and the restart; "%%" gives one per cent sign, so a template
  // names the variables itself too.
  std::vector<std::string> withTail = groups;
  withTail.push_back(" del \"%sTRV.zip\"");
  withTail.push_back(" echo 100%% fertig, Prozess %%TRV_PID%%");
  script = MakeInstallScript(withTail, Values(true));
  ASSERT_TRUE(script.Ok) << script.Error;
  const std::vector<std::string> tail(script.Lines.end() - 3, script.Lines.end());
  EXPECT_EQ(tail, (std::vector<std::string>{" del \"%TRV_UPDATE_DIR%TRV.zip\"",
                                            " echo 100% fertig, Prozess %TRV_PID%", "@exit /b 0"}));
  // The restart, unless the program still runs; never after a failed
  // put-back, which ends the script before.
  EXPECT_EQ(script.Lines[Head.size() - 2], "@if not \"%TRV_RESULT%\"==\"1\" start \"\" \"%TRV_PROGRAM%\"");
}

// A folder's name reaches the command processor only inside the quotes of
// its "set": the old script put it into the commands themselves, where
// "&" ran what followed.
TEST(InstallScript, NoCharacterOfAFolderActsInTheScript) {
  const struct {
    const char* folder;
    const char* set;  // the head's line, or nullptr: refused
  } cases[] = {
      {"C:\\Tools\\\" & echo INJECTED>pwned.txt & \"\\", nullptr},  // a quote would end the value's
      {"C:\\Tools\\a & echo INJECTED>pwned.txt & (b)\\",
       "@set \"TRV_PROGRAM_DIR=C:\\Tools\\a & echo INJECTED>pwned.txt & (b)\\\""},
      {"C:\\100%\\%PATH%\\", nullptr},  // expanded even inside quotes
      {"C:\\Hallo!^|<>\\", "@set \"TRV_PROGRAM_DIR=C:\\Hallo!^|<>\\\""},
      {"C:\\Zeile\r\necho x\\", nullptr},
  };
  for (const auto& c : cases) {
    TScriptValues values = Values();
    values.ProgramFolder = c.folder;
    const TInstallScript script = MakeInstallScript({":a", "echo \"%s\"", "rem \"%s\"", "rem \"%s\" \"%s\""}, values);
    EXPECT_EQ(script.Ok, c.set != nullptr) << c.folder;
    if (c.set) {
      ASSERT_GE(script.Lines.size(), Head.size() + 2);
      EXPECT_EQ(script.Lines[1], c.set);
      EXPECT_EQ(script.Lines[Head.size() + 1], "echo \"%TRV_PROGRAM_DIR%\"");
    }
  }
}

TEST(InstallScript, MalformedTemplatesAreRefused) {
  const std::vector<std::vector<std::string>> templates = {
      {},                                                   // empty
      {":a", "x", "y"},                                     // not whole groups of four
      {":a", "x", "y", "z", "", "x", "y", "z"},             // an empty line where a group starts
      {":a", "x", "\"%s\" \"%s\"", "z"},                    // more "%s" than arguments
      {":a", "x", "y", "\"%s\" \"%s\" \"%s\""},
      {":a", "x", "y", "z", " del %d"},                     // another per-cent sequence
      {":a", "x", "y", "z", " 50%"},
      {":a", "del %sTRV.EXE", "y", "z"},                    // a folder outside quotes
      {":a", "x", "y", "copy \"%sTRV.EXE\" %s"},
      {" echo \"\" %s"},
      {" setlocal EnableDelayedExpansion", " echo \"%s\""},  // "!" would act again
  };
  for (const auto& lines : templates) {
    const TInstallScript script = MakeInstallScript(lines, Values());
    EXPECT_FALSE(script.Ok) << (lines.empty() ? "" : lines.back());
    EXPECT_TRUE(script.Lines.empty());
    EXPECT_FALSE(script.Error.empty());
  }
  TScriptValues tooLong = Values();
  tooLong.ProgramFolder = std::string(300, 'x');
  EXPECT_FALSE(MakeInstallScript({" echo \"%s\""}, tooLong).Ok);
}

// Decided before the download, with the way on: the script could not name
// these folders.
TEST(InstallScript, FoldersTheScriptCannotNameAreRefusedBeforeTheDownload) {
  const auto cp850 = [](const std::u16string& path) { return path.find(u'€') == std::u16string::npos; };
  const std::u16string report = u"C:\\Benutzer\\Jan\\Lokal\\VQ\\Tarvo\\Update.log";
  const struct {
    const char16_t* temp;
    const char16_t* program;
    const char16_t* report;  // nullptr: the usual one
    const char16_t* says;    // nullptr: no problem
  } cases[] = {
      {u"C:\\Temp\\", u"C:\\Programme\\Tarvo & Co\\TRV.EXE", nullptr, nullptr},
      {u"C:\\Temp\\100%\\", u"C:\\Tarvo\\TRV.EXE", nullptr, u"Umgebungsvariablen TEMP und TMP"},
      {u"C:\\Temp\\", u"C:\\%USERNAME%\\TRV.EXE", nullptr, u"Verschieben Sie das Programm"},
      {u"C:\\Temp\\", u"C:\\Tools\\\"x\\TRV.EXE", nullptr, u"Verschieben Sie das Programm"},
      {u"C:\\€\\", u"C:\\Tarvo\\TRV.EXE", nullptr, u"Umgebungsvariablen TEMP"},
      {u"C:\\Temp\\", u"C:\\€\\TRV.EXE", nullptr, u"Verschieben Sie das Programm"},
      // Folders Windows-1252 cannot hold: the character is named.
      {u"C:\\Łódź\\", u"C:\\Tarvo\\TRV.EXE", nullptr, u"„Ł“ (U+0141)"},
      {u"C:\\Temp\\", u"C:\\Программы\\TRV.EXE", nullptr, u"„C:\\Программы\\TRV.EXE“ enthält das Zeichen „П“"},
      {u"C:\\Temp\\", u"C:\\Tarvo\\TRV.EXE", u"C:\\Users\\Łukasz\\VQ\\Tarvo\\Update.log", u"lokalen Anwendungsdaten"},
      {u"C:\\Temp\\", u"C:\\Tarvo\\TRV.EXE", u"C:\\Users\\100%\\VQ\\Tarvo\\Update.log", u"\"C:\\Users\\100%\\VQ\\Tarvo\\\""},
  };
  for (const auto& c : cases) {
    const std::u16string problem = InstallPathProblem(c.temp, c.program, c.report ? c.report : report, cp850);
    EXPECT_EQ(problem.empty(), c.says == nullptr) << ForeignTextInCodes(c.temp) << " " << ForeignTextInCodes(c.program);
    if (c.says) {
      EXPECT_NE(problem.find(c.says), std::u16string::npos) << ForeignTextInCodes(problem);
    }
  }
  // The update folder's name must still fit behind the temporary folder.
  EXPECT_TRUE(InstallPathProblem(u"C:\\" + std::u16string(235, u't') + u"\\", u"C:\\T\\TRV.EXE", report, cp850).empty());
  EXPECT_FALSE(InstallPathProblem(u"C:\\" + std::u16string(236, u't') + u"\\", u"C:\\T\\TRV.EXE", report, cp850).empty());
}

TEST(ArchiveEntries, OnlyPlainFileNamesAreExtracted) {
  const struct {
    const char* name;
    bool ok;
  } cases[] = {
      {"TRV.EXE", true},        {"Update.bat", true},      {"neu/TRV.HTM", true},   {"a\\b\\Logo.png", true},
      {"..\\..\\x.bat", false}, {"../x.bat", false},       {"C:\\x.bat", false},    {"C:x.bat", false},
      {"CON", false},           {"con.txt", false},        {"COM1", false},         {"lpt9.log", false},
      {"NUL ", false},          {"x.bat.", false},         {"", false},             {"a/", false},
      {"x|y", false},           {"COM10", true},           {"CONSOLE", true},       {"COM\xB9", false},
      // Windows-1252's superscripts one to three name ports too.
      {"lpt\xB2.txt", false},    {"COM\xB3", false},         {"COM\xBC", true},
  };
  for (const auto& c : cases) {
    const TArchiveCheck check = CheckArchiveEntries({{c.name, 10}});
    EXPECT_EQ(check.Ok, c.ok) << c.name;
  }
  // Folder entries (no data) are left out; the final component is the name.
  const TArchiveCheck check = CheckArchiveEntries({{"neu/", 0}, {"neu/TRV.EXE", 5}, {"Update.bat", 5}});
  ASSERT_TRUE(check.Ok);
  EXPECT_EQ(check.FileNames, (std::vector<std::string>{"TRV.EXE", "Update.bat"}));
}

TEST(ArchiveEntries, DuplicatesAndSizesAreRefused) {
  EXPECT_FALSE(CheckArchiveEntries({{"TRV.EXE", 1}, {"neu/trv.exe", 1}}).Ok);
  EXPECT_FALSE(CheckArchiveEntries({{"Gross.bin", MaxEntrySize + 1}}).Ok);
  EXPECT_TRUE(CheckArchiveEntries({{"Gross.bin", MaxEntrySize}}).Ok);
  // The whole archive: its largest files, then one more of this size.
  static_assert(MaxArchiveSize % MaxEntrySize == 0, "the largest files fill the archive");
  for (uint64_t last : {uint64_t(0), uint64_t(1), MaxEntrySize}) {
    std::vector<TArchiveEntry> many;
    for (uint64_t i = 0; i < MaxArchiveSize / MaxEntrySize; ++i) many.push_back({"Teil" + std::to_string(i), MaxEntrySize});
    many.push_back({"Rest", last});
    const TArchiveCheck check = CheckArchiveEntries(many);
    EXPECT_EQ(check.Ok, last == 0) << last;
    EXPECT_EQ(check.Error, last == 0 ? "" : "Das Update-Archiv ist zu groß.") << last;
    EXPECT_EQ(check.FileNames.size(), last == 0 ? many.size() : 0u) << last;
  }
}

// A server that sends a byte now and then keeps the read time-out from
// striking: each span must bring its share.
TEST(Transfers, ADownloadKeepsItsPaceOrEnds) {
  const struct {
    std::vector<std::pair<uint32_t, int64_t>> steps;  // tick, bytes so far
    bool keeps;
  } cases[] = {
      {{{0, 0}, {500, 10}, {999, 10}}, true},          // the first span not over
      {{{0, 0}, {1000, 100}, {2000, 200}}, true},      // exactly the share
      {{{0, 0}, {1000, 99}}, false},
      {{{0, 0}, {1000, 500}, {2500, 550}}, false},     // early bytes carry no later pause
      {{{0, 0}, {3000, 1000}}, true},                  // one long read: its bytes count
      {{{0xFFFFFE00u, 0}, {0x100u, 150}}, true},       // the tick wrapped
      {{{0xFFFFFE00u, 0}, {0x400u, 50}}, false},
  };
  for (const auto& c : cases) {
    TTransferPace pace(1000, 100);
    bool keeps = true;
    for (const auto& step : c.steps) keeps = pace.Keeps(step.first, step.second) && keeps;
    EXPECT_EQ(keeps, c.keeps) << c.steps.back().first << " " << c.steps.back().second;
  }
}

// Whichever of the window and the worker comes second removes the part
// file; the old worker decided before the window had given up.
TEST(PartFile, WhoeverComesSecondRemovesIt) {
  {
    TPartFileHandoff handoff;
    EXPECT_FALSE(handoff.WorkerDone()) << "the window still waits: it takes the file";
    EXPECT_TRUE(handoff.Abandon()) << "given up after the worker ended: the window removes it";
  }
  {
    TPartFileHandoff handoff;
    EXPECT_FALSE(handoff.Abandon()) << "the worker still runs";
    EXPECT_TRUE(handoff.WorkerDone()) << "the worker ends after: it removes it";
  }
}

}  // namespace

TEST(ProgressDisplay, SizesTakeTheLargestUnitUpToTerabytes) {
  const double TB = 1024.0 * 1024 * 1024 * 1024;
  const struct {
    double count;
    const char* expected;
  } cases[] = {
      {512, "512 Byte"}, {1023, "1023 Byte"}, {1024, "1 KB"}, {1536, "1,5 KB"}, {2048, "2 KB"},
      {1048575, "1024 KB"}, {5.25 * 1024 * 1024, "5,3 MB"}, {1024 * TB, "1024 TB"}, {4096 * TB, "4096 TB"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatByteSize(c.count, false, ','), c.expected) << c.count;
  EXPECT_EQ(FormatByteSize(1536, true, '.'), "1.5 Kilobyte");
}

TEST(ProgressDisplay, RemainingTimeAndPercentage) {
  double remaining = -1;
  const double tenSeconds = 10.0 / 86400;
  ASSERT_TRUE(RemainingTime(1000, 500, tenSeconds, remaining));
  EXPECT_NEAR(remaining * 86400, 10, 1e-6) << "half of it after 10 seconds";
  EXPECT_FALSE(RemainingTime(1000, 0, tenSeconds, remaining)) << "nothing received yet: no estimate";
  EXPECT_EQ(PercentText(3, 1), "33 %");
  EXPECT_EQ(PercentText(3, 2), "67 %");
}

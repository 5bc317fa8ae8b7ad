#include <gtest/gtest.h>

#include <cstdio>
#include <map>

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
  EXPECT_FALSE(IsNewerRelease(Today, program));
  EXPECT_TRUE(IsNewerRelease(Today + 1, program));
  EXPECT_TRUE(IsNewerRelease(Today, Today)) << "a file of exactly midnight";
  EXPECT_FALSE(IsNewerRelease(Today - 3, program));
}

// d.m.yyyy as days since 30.12.1899, for the tests' German short dates.
bool ParseGermanDate(const std::string& text, TDateTime& date) {
  int d = 0, m = 0, y = 0;
  char tail = 0;
  if (std::sscanf(text.c_str(), "%d.%d.%d%c", &d, &m, &y, &tail) != 3 || m < 1 || m > 12 || d < 1 || d > 31)
    return false;
  // Days from 30.12.1899 (civil-from-days arithmetic).
  y -= m <= 2;
  const int era = y / 400, yoe = y - era * 400, mp = (m + 9) % 12;
  const int doy = (153 * mp + 2) / 5 + d - 1, doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  date = era * 146097 + doe - 719468 + 25569;
  return true;
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

TEST(Releases, AnUpdateNeedsTheProgramsSectionAndANewerDate) {
  TInfo info;
  const TDateTime program = Today + 0.5;
  EXPECT_FALSE(IsUpdateAvailable(nullptr, "TRV", program, Today, ParseGermanDate)) << "nothing fetched";
  EXPECT_FALSE(IsUpdateAvailable(&info, "TRV", program, Today, ParseGermanDate)) << "no section";
  info.Sections["TRV"]["File"] = "TRV.zip";
  EXPECT_FALSE(IsUpdateAvailable(&info, "TRV", program, Today, ParseGermanDate)) << "no date: today, same day";
  EXPECT_TRUE(IsUpdateAvailable(&info, "TRV", program, Today + 1, ParseGermanDate)) << "no date: today, a day later";
  info.Sections["TRV"]["Date"] = "9.12.2026";
  EXPECT_TRUE(IsUpdateAvailable(&info, "TRV", program, Today, ParseGermanDate));
  info.Sections["TRV"]["Date"] = "8.12.2026";
  EXPECT_FALSE(IsUpdateAvailable(&info, "TRV", program, Today, ParseGermanDate));
  info.Sections["TRV"]["Date"] = "gestern";
  EXPECT_TRUE(IsUpdateAvailable(&info, "TRV", Today - 2, Today, ParseGermanDate)) << "unreadable: today";
  EXPECT_FALSE(IsUpdateAvailable(&info, "OTHER", Today - 2, Today, ParseGermanDate));
}

TEST(News, EntriesOfEarlierDaysAreLeftOutOthersStandAsTheyAre) {
  TDateTime program = 0;
  ASSERT_TRUE(ParseGermanDate("8.12.2026", program));
  ASSERT_EQ(program, Today);
  program += 0.75;
  const std::string news =
      "\"1.12.2026: Alter Fehler behoben\",\"8.12.2026: Neue Hilfe\",9.12.2026:Schneller,"
      "\"ohne Datum\",\"Version 2: neu\"";
  EXPECT_EQ(BuildNewsList(news, program, ParseGermanDate),
            "- 8.12.2026: Neue Hilfe\r\n- 9.12.2026:Schneller\r\n- ohne Datum\r\n- Version 2: neu\r\n");
  EXPECT_EQ(BuildNewsList(std::string("\"") + NoNewsEntry + "\"", program, ParseGermanDate),
            "- keine Angaben gefunden\r\n");
  EXPECT_EQ(BuildNewsList("\"1.1.2020: alt\"", program, ParseGermanDate), "");
}

TEST(InstallScript, GroupsOfFourThenTheTail) {
  const std::string p = "C:\\Programme\\Tarvo\\", t = "C:\\TEMP\\", exe = p + "TRV.EXE";
  const std::vector<std::string> groups = {":Warte", "del %sTRV.EXE", "if exist %sTRV.EXE goto Warte",
                                           "copy %sTRV.EXE %s"};
  // Groups only, without restart.
  TInstallScript script = MakeInstallScript(groups, p, t, false, exe);
  ASSERT_TRUE(script.Ok) << script.Error;
  EXPECT_EQ(script.Lines, (std::vector<std::string>{":Warte", "del C:\\Programme\\Tarvo\\TRV.EXE",
                                                    "if exist C:\\Programme\\Tarvo\\TRV.EXE goto Warte",
                                                    "copy C:\\TEMP\\TRV.EXE C:\\Programme\\Tarvo\\",
                                                    "del C:\\TEMP\\Update.bat"}));
  // With a tail and restart; "%%" stays one per cent sign.
  std::vector<std::string> withTail = groups;
  withTail.push_back(" del %sTRV.zip");
  withTail.push_back(" echo 100%% fertig");
  script = MakeInstallScript(withTail, p, t, true, exe);
  ASSERT_TRUE(script.Ok) << script.Error;
  ASSERT_EQ(script.Lines.size(), 8u);
  EXPECT_EQ(script.Lines[4], " del C:\\TEMP\\TRV.zip");
  EXPECT_EQ(script.Lines[5], " echo 100% fertig");
  EXPECT_EQ(script.Lines[6], "\"C:\\Programme\\Tarvo\\TRV.EXE\"");
  EXPECT_EQ(script.Lines[7], "del C:\\TEMP\\Update.bat");
}

TEST(InstallScript, MalformedTemplatesAreRefused) {
  const std::string p = "C:\\P\\", t = "C:\\T\\";
  const std::vector<std::vector<std::string>> templates = {
      {},                                              // empty
      {":a", "x", "y"},                                // not whole groups of four
      {":a", "x", "y", "z", "", "x", "y", "z"},        // an empty line where a group starts
      {":a", "x", "%s %s", "z"},                        // more "%s" than arguments
      {":a", "x", "y", "%s %s %s"},
      {":a", "x", "y", "z", " del %d"},                // another per-cent sequence
      {":a", "x", "y", "z", " 50%"},
  };
  for (const auto& lines : templates) {
    const TInstallScript script = MakeInstallScript(lines, p, t, false, p + "TRV.EXE");
    EXPECT_FALSE(script.Ok) << lines.size();
    EXPECT_TRUE(script.Lines.empty());
    EXPECT_FALSE(script.Error.empty());
  }
  const TInstallScript tooLong =
      MakeInstallScript({":a", "%s", "%s", "%s%s"}, std::string(300, 'x'), t, false, "TRV.EXE");
  EXPECT_FALSE(tooLong.Ok);
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
      {"x|y", false},           {"COM10", true},           {"CONSOLE", true},
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
  std::vector<TArchiveEntry> many;
  for (int i = 0; i < 5; ++i) many.push_back({"Teil" + std::to_string(i), MaxEntrySize});
  const TArchiveCheck check = CheckArchiveEntries(many);
  EXPECT_FALSE(check.Ok);
  EXPECT_EQ(check.Error, "Das Update-Archiv ist zu groß.");
  EXPECT_TRUE(check.FileNames.empty());
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

#include <gtest/gtest.h>

#include "model/ProjectFile.h"
#include "tests/core/TestSupport.h"
#include "tests/win/WinTestSupport.h"

namespace {

TEST(WinLocale, IsGermanWithDayMonthYearDates) {
  EXPECT_EQ(GetUserDefaultLCID(), 0x0407u);
  EXPECT_EQ(GetACP(), 1252u);
  char format[80] = {};
  ASSERT_GT(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, format, sizeof format), 0);
  std::string f = format;
  // d.M.yyyy or dd.MM.yyyy: day first, dots, year last.
  EXPECT_EQ(f.find('d'), 0u) << f;
  EXPECT_LT(f.find('.'), f.find('M')) << f;
  EXPECT_EQ(f.substr(f.size() - 4), "yyyy") << f;
}

class WinPlatform : public ProjectFixture {
 protected:
  void SetUp() override {
    ProjectFixture::SetUp();
    UseNativePlatform();
  }
};

TEST_F(WinPlatform, GroupsSortAsWindowsCollates) {
  project = TProject({TExecGroup{"Birne", {}}, TExecGroup{"Äpfel", {}}, TExecGroup{"Apfel", {}},
                      TExecGroup{"zwetschge", {}}, TExecGroup{"Öl", {}}, TExecGroup{"ober", {}}},
                     {});
  project.SortExecGroups(-1);
  std::string order;
  for (const TExecGroup& g : project.ExecGroups()) order += g.Name + " ";
  EXPECT_EQ(order, "Apfel Äpfel Birne ober Öl zwetschge ");
  EXPECT_EQ(Platform.Collation->CompareText("äpfel", "ÄPFEL"), 0);
}

TEST_F(WinPlatform, FailedSaveLeavesTheOldFileByteForByte) {
  TTempFolder dir;
  const std::string target = dir / "Projekt mit Leerzeichen.trv";
  const std::string old = "[ExecGroups]\r\nAlt\r\n[MenuItems]\r\n";
  WriteFileBytes(target, old);
  project = TProject({TExecGroup{"Neu", {{lkEndRun, ""}}}}, {});
  MarkModified(project);

  // Another program holds the file open without sharing.
  HANDLE lock = CreateFileA(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  EXPECT_THROW(SaveProject(project, target), EInOutError);
  CloseHandle(lock);
  EXPECT_TRUE(project.Modified());
  EXPECT_EQ(ReadFileBytes(target), old);
  EXPECT_EQ(CountFiles(dir.Path()), 1);  // no temporary file left behind

  // A read-only file is not overwritten either.
  SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY);
  try {
    SaveProject(project, target);
    ADD_FAILURE() << "saved over a read-only file";
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.Message(), "Dateizugriff verweigert");
  }
  EXPECT_EQ(ReadFileBytes(target), old);
  EXPECT_EQ(CountFiles(dir.Path()), 1);
  SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);

  SaveProject(project, target);
  EXPECT_FALSE(project.Modified());
  EXPECT_EQ(ReadFileBytes(target), "[ExecGroups]\r\nNeu\r\n 3 \r\n[MenuItems]\r\n");
}

TEST_F(WinPlatform, UnreadableFilesGiveTheStandardTexts) {
  TTempFolder dir;
  try {
    LoadProject(project, dir / "fehlt.trv", true);
    FAIL() << "no error";
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.ErrorCode, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(e.Message(), "Datei nicht gefunden");
  }
  try {
    SaveProject(project, dir / "kein Ordner\\p.trv");
    FAIL() << "no error";
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.ErrorCode, ERROR_PATH_NOT_FOUND);
  }
}

}  // namespace

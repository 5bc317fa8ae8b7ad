// The update information file, dates and the OEM code page on the platform.
#include <gtest/gtest.h>
#include <windows.h>

#include "tests/win/WinTestSupport.h"
#include "update/UpdateInfo_win.h"

namespace {

TEST(UpdateInfo, TheProgramsSectionIsReadFromTheIniFile) {
  TTempFolder folder;
  const std::string ini = folder / "Updates.ini";
  WriteFileBytes(ini, "[TRV]\r\nFile=TRV.zip\r\nDate=09.12.2026\r\nNews=\"09.12.2026: Neu\"\r\n[LEER]\r\n" +
                          std::string("[LANG]\r\nNews=") + std::string(3000, 'n') + "\r\n");
  TIniUpdateInfo info(ini);
  EXPECT_TRUE(info.HasSection("TRV"));
  EXPECT_FALSE(info.HasSection("LEER")) << "a section without keys";
  EXPECT_FALSE(info.HasSection("FEHLT"));
  EXPECT_EQ(info.Read("TRV", "File", ""), "TRV.zip");
  EXPECT_EQ(info.Read("TRV", "Fehlt", "vorgegeben"), "vorgegeben");
  EXPECT_EQ(info.Read("LANG", "News", "").size(), 2047u);
  // The user's short date format: German in the test prefix.
  TDateTime date = 0;
  ASSERT_TRUE(ParseShortDate(info.Read("TRV", "Date", ""), date));
  EXPECT_EQ(date, 46365);
  EXPECT_TRUE(IsUpdateAvailable(&info, "TRV", 46364.5, 46364, ParseShortDate));
  EXPECT_FALSE(ParseShortDate("kein Datum", date));
}

TEST(UpdateInfo, BatchTextsAreInTheOemCodePage) {
  // CP 850: Ü is 0x9A, ä is 0x84, ß is 0xE1.
  EXPECT_EQ(ToOemText("C:\\Übung\\Bäume\\Straße\\"), "C:\\\x9A" "bung\\B\x84ume\\Stra\xE1" "e\\");
  EXPECT_EQ(ToOemText(std::string(300, 'a')).size(), 259u);
}

}  // namespace

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
  EXPECT_TRUE(IsUpdateAvailable(&info, "TRV", 46364.5));
}

// The command processor reads the script in the OEM code page. The old
// conversion put look-alikes for what the OEM page lacks, and several of
// them are the command processor's own characters.
TEST(UpdateInfo, BatchTextsAreInTheOemCodePageWithoutLookAlikes) {
  const struct {
    const char* text;
    const char* oem;  // nullptr: refused
  } cases[] = {
      // CP 850: Ü is 0x9A, ä is 0x84, ß is 0xE1.
      {"C:\\Übung\\Bäume\\Straße\\", "C:\\\x9A" "bung\\B\x84ume\\Stra\xE1" "e\\"},
      {"C:\\Tools & (x86)\\", "C:\\Tools & (x86)\\"},
      {"C:\\Tools\\„x“\\", nullptr},  // would be '"'
      {"C:\\Tools\\x”\\", nullptr},
      {"C:\\‹a›\\", nullptr},           // '<' and '>'
      {"C:\\ˆ\\", nullptr},             // '^'
      {"C:\\100‰\\", nullptr},          // '%'
      {"C:\\€\\", nullptr},             // not in CP 850 at all
  };
  for (const auto& c : cases) {
    std::string oem = "vorher";
    EXPECT_EQ(ToOemText(c.text, oem), c.oem != nullptr) << c.text;
    if (c.oem) {
      EXPECT_EQ(oem, c.oem) << c.text;
    }
  }
}

}  // namespace

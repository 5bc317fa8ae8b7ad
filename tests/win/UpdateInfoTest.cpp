// The update information file, dates and the OEM code page on the platform.
#include <gtest/gtest.h>
#include <windows.h>

#include "model/Wide.h"
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

// Through UTF-16, whatever the machine's ANSI code page: Windows-1252 is
// the program's own conversion, UTF-8 is converted without the flags
// Windows refuses for it (a machine whose ANSI page is UTF-8 refused every
// update), and the batch files' page never gets a look-alike.
TEST(UpdateInfo, TextsConvertBetweenCodePagesExactlyOrNotAtAll) {
  const struct {
    unsigned from, to;
    const char* text;
    const char* out;  // nullptr: refused
  } cases[] = {
      {CP_UTF8, 1252, "\xC3\xBC" "ber", "über"},
      {CP_UTF8, 1252, "\xC5\x81" "\xC3\xB3" "d\xC5\xBA", nullptr},  // "Łódź"
      {CP_UTF8, 1252, "\xC3", nullptr},                                  // no UTF-8
      {1252, CP_UTF8, "über €", "\xC3\xBC" "ber \xE2\x82\xAC"},
      {1252, 1252, "„x“ ‰", "„x“ ‰"},
      {1252, 850, "Übung", "\x9A" "bung"},
      {1252, 850, "„x“", nullptr},
      {1252, CP_UTF7, "ü", "+APw-"},
      {CP_UTF7, 1252, "+APw-", "ü"},
  };
  for (const auto& c : cases) {
    std::string out = "vorher";
    EXPECT_EQ(ConvertText(c.from, c.to, c.text, out), c.out != nullptr) << c.from << " " << c.to << " " << c.text;
    if (c.out) {
      EXPECT_EQ(out, c.out) << c.text;
    }
  }
  // The folders Windows gives the install script, straight from UTF-16.
  std::string oem = "vorher";
  EXPECT_TRUE(ToOemText(u"C:\\Übung\\", oem));
  EXPECT_EQ(oem, "C:\\\x9A" "bung\\");
  for (const std::u16string foreign : {u"C:\\Łódź\\", u"C:\\\U0001F600\\"})
    EXPECT_FALSE(ToOemText(foreign, oem)) << ForeignTextInCodes(foreign);
}

}  // namespace

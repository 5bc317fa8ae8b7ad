#include <gtest/gtest.h>

#include <string>

#include "model/Wide.h"

// The build turns UTF-8 sources into the Windows-1252 bytes the ANSI API
// takes: one byte per German letter.
TEST(Charset, GermanLiteralsAreWindows1252) {
  const std::string menu = "Menü";
  EXPECT_EQ(menu, std::string("Men\xFC"));
  const std::string all = "ÄÖÜäöüß€";
  const unsigned char expected[] = {0xC4, 0xD6, 0xDC, 0xE4, 0xF6, 0xFC, 0xDF, 0x80};
  ASSERT_EQ(all.size(), sizeof expected);
  for (size_t i = 0; i < sizeof expected; ++i) EXPECT_EQ(static_cast<unsigned char>(all[i]), expected[i]) << i;
}

// The conversion at the Windows boundary: every byte there and back, and
// what Windows-1252 lacks refused by name, never a look-alike.
TEST(Charset, EveryWindows1252ByteCrossesAsItsCharacterAndBack) {
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  const std::u16string wide = WidenText(all);
  ASSERT_EQ(wide.size(), all.size());
  EXPECT_EQ(wide[0x80 - 1], u'\u20AC');
  EXPECT_EQ(wide[0x9F - 1], u'\u0178');
  EXPECT_EQ(wide[0x81 - 1], u'\u0081');
  EXPECT_EQ(wide[0xFC - 1], u'\u00FC');
  std::string back;
  ASSERT_TRUE(NarrowText(wide, back));
  EXPECT_EQ(back, all);
  EXPECT_EQ(WidenText("Menü"), u"Menü");
}

TEST(Charset, ACharacterWindows1252LacksIsRefusedByName) {
  struct {
    std::u16string Text;
    size_t Pos;
    const char* Codes;  // the name as a Windows-1252 text shows it
  } const rows[] = {
      {u"a\uFF02 b\uFF02.exe", 1, "a<U+FF02> b<U+FF02>.exe"},  // fullwidth quote, not '"'
      {u"50\uFF05", 2, "50<U+FF05>"},                          // fullwidth percent, not '%'
      {u"C:\uFF3Cx", 2, "C:<U+FF3C>x"},                         // fullwidth backslash
      {u"a\uFF06b", 1, "a<U+FF06>b"},                           // fullwidth ampersand
      {u"\u0141\u00F3d\u017A", 0, "<U+0141>ód<U+017A>"},        // Polish: not "L"
      {u"\u0416\u0443\u0440\u043D\u0430\u043B.lnk", 0, "<U+0416><U+0443><U+0440><U+043D><U+0430><U+043B>.lnk"},
      {u"x\U0001F600", 1, "x<U+1F600>"},  // a surrogate pair is one character
      {u"x\xD800y", 1, "x<U+D800>y"},     // a lone surrogate has no byte either
  };
  for (const auto& row : rows) {
    EXPECT_EQ(ForeignCharPos(row.Text), row.Pos) << row.Codes;
    std::string out = "unchanged";
    EXPECT_FALSE(NarrowText(row.Text, out)) << row.Codes;
    EXPECT_EQ(out, "unchanged");
    EXPECT_EQ(ForeignTextInCodes(row.Text), row.Codes);
    try {
      NarrowOrRefuse(row.Text);
      ADD_FAILURE() << row.Codes;
    } catch (const EForeignText& e) {
      // The name as it is, and the character that stops it.
      const std::u16string message = e.WideMessage();
      EXPECT_EQ(message.find(u"„" + row.Text + u"“ enthält das Zeichen „"), 0u) << row.Codes;
      EXPECT_NE(e.Message().find(std::string("„") + row.Codes + "“"), std::string::npos) << e.Message();
    }
  }
  EXPECT_EQ(ForeignTextMessage(u"\u0416.lnk"),
            u"„\u0416.lnk“ enthält das Zeichen „\u0416“ (U+0416), das Tarvo nicht übernehmen kann (Tarvo speichert "
            u"Texte in der westeuropäischen Zeichentabelle Windows-1252).");
}

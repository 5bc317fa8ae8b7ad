#include <gtest/gtest.h>

#include <string>

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

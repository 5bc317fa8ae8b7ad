#include <gtest/gtest.h>

#include "model/Text.h"

namespace {

TEST(AccessKey, IsTheCharacterAfterASingleAmpersand) {
  EXPECT_EQ(AccessKeyOf("Ab&brechen"), 'b');
  EXPECT_EQ(AccessKeyPos("Ab&brechen"), 3u);
  EXPECT_EQ(AccessKeyOf("A&&b"), '\0');
  EXPECT_EQ(AccessKeyPos("A&&b"), std::string::npos);
  EXPECT_EQ(AccessKeyOf("A&&&b"), 'b');
  EXPECT_EQ(AccessKeyOf("Ende&"), '\0');
  EXPECT_EQ(AccessKeyOf(""), '\0');
}

TEST(UpperChar, KnowsTheWindows1252Letters) {
  const struct {
    const char* lower;
    const char* upper;
  } cases[] = {
      {"a", "A"}, {"z", "Z"}, {"ä", "Ä"}, {"ö", "Ö"}, {"ü", "Ü"}, {"é", "É"}, {"þ", "Þ"}, {"š", "Š"},
      {"œ", "Œ"}, {"ž", "Ž"}, {"ÿ", "Ÿ"},
      // No single upper case, no letter, or upper case already.
      {"ß", "ß"}, {"÷", "÷"}, {"Ä", "Ä"}, {"1", "1"}, {"&", "&"}, {"µ", "µ"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lower);
    ASSERT_EQ(std::string(c.lower).size(), 1u);
    EXPECT_EQ(UpperChar(static_cast<unsigned char>(c.lower[0])), static_cast<unsigned char>(c.upper[0]));
  }
}

TEST(UpperText, UppersEveryCharacter) { EXPECT_EQ(UpperText("Menü.trv"), "MENÜ.TRV"); }

TEST(SameKey, IgnoresCase) {
  EXPECT_TRUE(SameKey('ä', 'Ä'));
  EXPECT_TRUE(SameKey('x', 'X'));
  EXPECT_FALSE(SameKey('a', 'b'));
}

}  // namespace

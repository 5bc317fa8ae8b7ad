#include <gtest/gtest.h>

#include "update/ReleaseSignature.h"

namespace {

TEST(ReleaseSignature, TheSignedTextIsTheValuesWithTheNewsJoinedByLineFeeds) {
  EXPECT_EQ(SignedReleaseText("TRV", "09.12.2026", "TRV.zip", "AB12", "\"09.12.2026: Neu\""),
            "TRV\n09.12.2026\nTRV.zip\nAB12\n\"09.12.2026: Neu\"");
  EXPECT_EQ(SignedReleaseText("TRV", "", "", "", ""), "TRV\n\n\n\n") << "an empty value keeps its place";
}

TEST(ReleaseSignature, Base64IsDecodedStrictly) {
  const struct {
    const char* text;
    bool ok;
    std::string bytes;
  } cases[] = {
      {"", true, ""},
      {"TWFu", true, "Man"},
      {"TWE=", true, "Ma"},
      {"TQ==", true, "M"},
      {"+/8A", true, std::string("\xFB\xFF\x00", 3)},
      {"TWF", false, ""},        // not a multiple of 4
      {"TQ=A", false, ""},       // padding inside
      {"T===", false, ""},       // too much padding
      {"TW Fu", false, ""},      // a blank
      {"TWFu\r\n", false, ""},   // a line break
      {"TW-_", false, ""},       // the URL alphabet
  };
  for (const auto& c : cases) {
    std::string bytes = "vorher";
    EXPECT_EQ(DecodeBase64(c.text, bytes), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(bytes, c.bytes) << c.text;
    }
  }
}

TEST(ReleaseSignature, AHashIsSixtyFourHexDigits) {
  const std::string hash(64, 'a');
  EXPECT_TRUE(IsSha256Hex(hash));
  EXPECT_TRUE(IsSha256Hex(std::string(32, 'F') + std::string(32, '9')));
  EXPECT_FALSE(IsSha256Hex(hash.substr(1)));
  EXPECT_FALSE(IsSha256Hex(hash + "0"));
  EXPECT_FALSE(IsSha256Hex(std::string(63, 'a') + "g"));
}

}  // namespace

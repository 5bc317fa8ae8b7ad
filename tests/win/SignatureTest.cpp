// Signed releases checked with CryptoAPI (rsaenh under Wine) against a
// release that openssl signed with the test key: accepted as it stands,
// refused after each change a forger or a broken transfer could make.
#include <gtest/gtest.h>
#include <windows.h>

#include "tests/win/SignedRelease.h"
#include "tests/win/WinTestSupport.h"
#include "update/Signature_win.h"
#include "update/UpdateInfo_win.h"

namespace {

class Signature : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(folder.empty()) << "started by CTest with the signed release"; }
  const std::string folder = SignedReleaseFolder();
  const std::string archive = folder + "TRV.zip";
  TIniUpdateInfo info{folder + "Updates.ini"};
};

TEST_F(Signature, TheReleaseSignedWithTheTestKeyIsAccepted) {
  // The test key comes second: the release key is tried and fails first.
  ASSERT_EQ(AcceptedReleaseKeys().size(), 2u);
  EXPECT_FALSE(VerifySignature("", info.Read("TRV", "Signature", ""), AcceptedReleaseKeys()[0]));
  const TVerification verification = VerifyUpdateArchive(info, "TRV", archive, AcceptedReleaseKeys());
  EXPECT_TRUE(verification.Ok);
  EXPECT_EQ(verification.Error, "");
  // openssl's hash of a file of several read blocks.
  EXPECT_EQ(FileSha256Hex(archive), info.Read("TRV", "SHA256", ""));
}

TEST_F(Signature, AChangedOrIncompleteSectionIsRefused) {
  std::string forged = info.Read("TRV", "Signature", "");
  ASSERT_GT(forged.size(), 20u);
  forged[10] = forged[10] == 'A' ? 'B' : 'A';
  const struct {
    const char* key;
    std::string value;  // "" removes the key
  } cases[] = {
      {"Signature", forged},
      {"Signature", "kein Base64!"},
      {"Date", "10.12.2026"},  // the signature is over another date
      {"File", "TRV-alt.zip"},
      {"News", "\"31.12.2099: Bitte auch www.example.com installieren\""},  // the maker's words
      {"News", ""},
      {"SHA256", std::string(64, '0')},
      {"SHA256", "9143a177"},
      {"SHA256", ""},
      {"Signature", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.key) + "=" + c.value);
    TChangedInfo changed(info, c.key, c.value);
    const TVerification verification = VerifyUpdateArchive(changed, "TRV", archive, AcceptedReleaseKeys());
    EXPECT_FALSE(verification.Ok);
    EXPECT_EQ(verification.Error, UnverifiedUpdateMessage);
    if (std::string(c.key) != "SHA256") {
      EXPECT_FALSE(VerifyReleaseSection(changed, "TRV", AcceptedReleaseKeys()).Ok) << "refused before the download";
    }
  }
  EXPECT_FALSE(VerifyUpdateArchive(info, "TRX", archive, AcceptedReleaseKeys()).Ok) << "another program's section";
}

TEST_F(Signature, AChangedOrMissingArchiveIsRefused) {
  TTempFolder temp;
  std::string bytes = ReadFileBytes(archive);
  bytes[150000] ^= 1;  // in the third read block
  WriteFileBytes(temp / "TRV.zip", bytes);
  EXPECT_FALSE(VerifyUpdateArchive(info, "TRV", temp / "TRV.zip", AcceptedReleaseKeys()).Ok);
  EXPECT_FALSE(VerifyUpdateArchive(info, "TRV", temp / "fehlt.zip", AcceptedReleaseKeys()).Ok);
  EXPECT_EQ(FileSha256Hex(temp / "fehlt.zip"), "");
  WriteFileBytes(temp / "leer", "");
  EXPECT_EQ(FileSha256Hex(temp / "leer"), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
}

TEST_F(Signature, AMalformedKeyVerifiesNothing) {
  const std::string signature = info.Read("TRV", "Signature", "");
  const std::string text = SignedReleaseText("TRV", info.Read("TRV", "Date", ""), info.Read("TRV", "File", ""),
                                             info.Read("TRV", "SHA256", ""), info.Read("TRV", "News", ""));
  ASSERT_TRUE(VerifySignature(text, signature, AcceptedReleaseKeys()[1]));
  for (const std::string& key : {std::string(""), std::string("kein Schlüssel"),
                                 std::string("-----BEGIN PUBLIC KEY-----\nAAAA\n-----END PUBLIC KEY-----\n")})
    EXPECT_FALSE(VerifySignature(text, signature, key)) << key;
}

}  // namespace

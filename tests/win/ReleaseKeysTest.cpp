// TRV.EXE's key set: the release key alone, which refuses a release that the
// test key signed.
#include <gtest/gtest.h>
#include <windows.h>

#include "tests/win/SignedRelease.h"
#include "tests/win/WinTestSupport.h"
#include "update/Signature_win.h"
#include "update/UpdateInfo_win.h"

namespace {

TEST(ReleaseKeys, AReleaseSignedWithTheTestKeyIsRefused) {
  const std::string folder = SignedReleaseFolder();
  ASSERT_FALSE(folder.empty()) << "started by CTest with the signed release";
  const std::string testKey = ReadFileBytes(SignedReleasesRoot() + "test-release-public.pem");
  const std::vector<std::string> keys = AcceptedReleaseKeys();
  ASSERT_EQ(keys.size(), 1u);
  EXPECT_NE(keys[0], testKey);
  EXPECT_EQ(keys[0].rfind("-----BEGIN PUBLIC KEY-----\n", 0), 0u);
  TIniUpdateInfo info(folder + "Updates.ini");
  const TVerification verification = VerifyUpdateArchive(info, "TRV", folder + "TRV.zip", keys);
  EXPECT_FALSE(verification.Ok);
  EXPECT_EQ(verification.Error, UnverifiedUpdateMessage);
  EXPECT_TRUE(VerifyUpdateArchive(info, "TRV", folder + "TRV.zip", {testKey}).Ok) << "the same release, the test key";
}

}  // namespace

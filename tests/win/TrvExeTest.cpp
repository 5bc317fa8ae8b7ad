#include <gtest/gtest.h>
#include <windows.h>
#include <wincrypt.h>

#include <cstdio>
#include <vector>

#include "tests/win/WinTestSupport.h"

namespace {

const char* const ReleaseKey =
#include "resources/release-key.pem.inc"
    ;
const char* const TestKey =
#include "tests/keys/test-release-public.pem.inc"
    ;

// The base64 lines of a PEM that carry the key's own bits: all but the
// armour and a short last line, which might turn up anywhere by chance.
std::vector<std::string> Base64Lines(const std::string& pem) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < pem.size()) {
    size_t end = pem.find('\n', start);
    if (end == std::string::npos) end = pem.size();
    const std::string line = pem.substr(start, end - start);
    if (line.size() >= 16 && line[0] != '-') lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

// The RSA-2048 modulus of a PEM public key, as DER holds it (big-endian):
// after INTEGER of 257 bytes, the leading zero.
std::string Modulus(const std::string& pem) {
  DWORD size = 0;
  if (!CryptStringToBinaryA(pem.c_str(), 0, CRYPT_STRING_BASE64HEADER, nullptr, &size, nullptr, nullptr)) return "";
  std::string der(size, '\0');
  if (!CryptStringToBinaryA(pem.c_str(), 0, CRYPT_STRING_BASE64HEADER, reinterpret_cast<BYTE*>(&der[0]), &size,
                            nullptr, nullptr))
    return "";
  const size_t at = der.find(std::string("\x02\x82\x01\x01\x00", 5));
  return at == std::string::npos || at + 5 + 256 > der.size() ? "" : der.substr(at + 5, 256);
}

// Which of a key's forms a program's bytes hold.
struct TKeyTraces {
  int Lines = 0;  // of its base64 lines
  bool Modulus = false, ReversedModulus = false;
};
TKeyTraces TracesOf(const std::string& image, const std::string& pem) {
  TKeyTraces traces;
  for (const std::string& line : Base64Lines(pem))
    if (image.find(line) != std::string::npos) ++traces.Lines;
  const std::string modulus = Modulus(pem);
  // CryptoAPI's key blobs hold the modulus little-endian.
  const std::string reversed(modulus.rbegin(), modulus.rend());
  traces.Modulus = image.find(modulus) != std::string::npos;
  traces.ReversedModulus = image.find(reversed) != std::string::npos;
  return traces;
}

TEST(TrvExe, CarriesGermanVersionInformation) {
  const std::string exe = TrvExePath();
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeA(exe.c_str(), &handle);
  ASSERT_GT(size, 0u) << exe;
  std::vector<char> info(size);
  ASSERT_TRUE(GetFileVersionInfoA(exe.c_str(), 0, size, info.data()));

  WORD* translation = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(info.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
  ASSERT_GE(length, 4u);
  EXPECT_EQ(translation[0], 0x0407);
  EXPECT_EQ(translation[1], 1252);

  char* version = nullptr;
  ASSERT_TRUE(VerQueryValueA(info.data(), "\\StringFileInfo\\040704E4\\FileVersion", reinterpret_cast<void**>(&version), &length));
  EXPECT_STREQ(version, TARVO_VERSION_TEXT) << "the build's TARVO_VERSION";

  unsigned parts[4] = {};
  ASSERT_EQ(sscanf(TARVO_VERSION_TEXT, "%u.%u.%u.%u", &parts[0], &parts[1], &parts[2], &parts[3]), 4);
  VS_FIXEDFILEINFO* fixed = nullptr;
  ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, parts[0] << 16 | parts[1]);
  EXPECT_EQ(fixed->dwFileVersionLS, parts[2] << 16 | parts[3]);
  EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
  EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
}

TEST(TrvExe, HasManifestForCommonControls6AndIcon) {
  HMODULE module = LoadLibraryExA(TrvExePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  HRSRC res = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
  ASSERT_NE(res, nullptr);
  HGLOBAL data = LoadResource(module, res);
  std::string manifest(static_cast<const char*>(LockResource(data)), SizeofResource(module, res));
  EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
  EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
  EXPECT_NE(manifest.find("asInvoker"), std::string::npos);
  EXPECT_NE(FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(14)), nullptr);  // RT_GROUP_ICON
  FreeLibrary(module);
}

TEST(TrvExe, HoldsTheReleaseKeyAndNoTraceOfTheTestKey) {
  ASSERT_EQ(Modulus(ReleaseKey).size(), 256u);
  ASSERT_EQ(Modulus(TestKey).size(), 256u);
  const size_t releaseLines = Base64Lines(ReleaseKey).size(), testLines = Base64Lines(TestKey).size();
  ASSERT_GE(testLines, 5u);

  const std::string shipped = ReadFileBytes(TrvExePath());
  ASSERT_GT(shipped.size(), 100000u);
  const TKeyTraces release = TracesOf(shipped, ReleaseKey);
  EXPECT_EQ(release.Lines, static_cast<int>(releaseLines)) << "the release key is built in as its PEM";
  const TKeyTraces test = TracesOf(shipped, TestKey);
  EXPECT_EQ(test.Lines, 0);
  EXPECT_FALSE(test.Modulus);
  EXPECT_FALSE(test.ReversedModulus);

  // The same look finds the test key where it is built in.
  const std::string testProgram = ReadFileBytes(ExeFolder() + "testprograms\\TRVTEST.EXE");
  ASSERT_GT(testProgram.size(), 100000u);
  EXPECT_EQ(TracesOf(testProgram, TestKey).Lines, static_cast<int>(testLines));
}

}  // namespace

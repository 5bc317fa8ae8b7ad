// The tests' signed releases: folders with "TRV.zip" and its section
// "Updates.ini" signed with the test key, made by openssl
// (tests/keys/make-test-releases.py) before the tests that use them run,
// into "signed-release" beside the tests.
#pragma once

#include <windows.h>

#include <string>

#include "tests/win/WinTestSupport.h"

#include "update/UpdateRules.h"

// The releases' folder beside the tests, with a trailing backslash; "" when
// it was not made.
inline std::string SignedReleasesRoot() {
  const std::string folder = ExeFolder() + "signed-release\\";
  return GetFileAttributesA(folder.c_str()) == INVALID_FILE_ATTRIBUTES ? "" : folder;
}
// One release's folder (tests/keys/make-test-releases.py names them).
inline std::string SignedReleaseFolder(const std::string& name = "neu") { return SignedReleasesRoot() + name + "\\"; }

// A section with one value replaced, or removed when the value is empty.
class TChangedInfo : public IUpdateInfo {
 public:
  TChangedInfo(IUpdateInfo& info, const std::string& key, const std::string& value)
      : info_(info), key_(key), value_(value) {}
  bool HasSection(const std::string& section) override { return info_.HasSection(section); }
  std::string Read(const std::string& section, const std::string& key, const std::string& fallback) override {
    if (key != key_) return info_.Read(section, key, fallback);
    return value_.empty() ? fallback : value_;
  }

 private:
  IUpdateInfo& info_;
  std::string key_, value_;
};

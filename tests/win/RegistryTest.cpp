// The updater's settings on the real registry of the Wine prefix.
#include <gtest/gtest.h>
#include <windows.h>

#include "model/Registry_win.h"
#include "update/UpdateSettings.h"

namespace {

const char* const TestKey = "Software\\VQ\\TarvoRegistryTest";

class Registry : public ::testing::Test {
 protected:
  void TearDown() override {
    RegDeleteKeyA(HKEY_CURRENT_USER, TestKey);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, TestKey);
  }
  TWinRegistry registry;
};

TEST_F(Registry, ValuesKeepTheirTypesInTheMachinesKey) {
  TUpdateSettings settings(registry, "TarvoRegistryTest", false);
  ASSERT_TRUE(settings.WriteString("ApplicationFileName", "\"C:\\Programme\\Tarvo\\TRV.EXE\""));
  ASSERT_EQ(settings.SaveInterval(14), TUpdateSettings::srSaved);
  ASSERT_TRUE(settings.WriteNextReminder(46364));
  // As other programs see them.
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, TestKey, 0, KEY_READ, &key), ERROR_SUCCESS);
  DWORD type = 0, size = 0;
  ASSERT_EQ(RegQueryValueExA(key, "Update", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
  EXPECT_EQ(size, 8u);
  ASSERT_EQ(RegQueryValueExA(key, "UpdateInterval", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  RegCloseKey(key);
  TDateTime date = 0;
  ASSERT_TRUE(settings.ReadDate("Update", date));
  EXPECT_EQ(date, 46364 + 13);
  std::string path;
  ASSERT_TRUE(settings.ReadString("ApplicationFileName", path));
  EXPECT_EQ(path, "\"C:\\Programme\\Tarvo\\TRV.EXE\"");
  ASSERT_EQ(settings.SaveNoUpdate(), TUpdateSettings::srSaved);
  EXPECT_TRUE(settings.Exists("NoUpdate"));
  EXPECT_FALSE(settings.Exists("UpdateInterval"));
}

// Strings are kept in UTF-16 as other programs read them, and one that
// Windows-1252 cannot hold (put there by hand) counts as unreadable rather
// than coming back with look-alikes.
TEST_F(Registry, StringsAreUtf16AndForeignOnesAreNotTakenOver) {
  TUpdateSettings settings(registry, "TarvoRegistryTest", true);
  ASSERT_TRUE(settings.WriteString("UpdateServer", "Jürgen € „x“"));
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\VQ\\TarvoRegistryTest", 0, KEY_ALL_ACCESS, &key),
            ERROR_SUCCESS);
  wchar_t value[32] = L"";
  DWORD type = 0, size = sizeof value;
  ASSERT_EQ(RegQueryValueExW(key, L"UpdateServer", nullptr, &type, reinterpret_cast<BYTE*>(value), &size),
            ERROR_SUCCESS);
  EXPECT_EQ(std::wstring(value), L"J\u00FCrgen \u20AC \u201Ex\u201C");
  const wchar_t foreign[] = L"\u0141\u00F3d\u017A.example";
  ASSERT_EQ(RegSetValueExW(key, L"UpdateServer", 0, REG_SZ, reinterpret_cast<const BYTE*>(foreign), sizeof foreign),
            ERROR_SUCCESS);
  RegCloseKey(key);
  std::string read = "vorher";
  EXPECT_FALSE(settings.ReadString("UpdateServer", read)) << read;
}

}  // namespace

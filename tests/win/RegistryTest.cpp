// The updater's settings on the real registry of the Wine prefix.
#include <gtest/gtest.h>
#include <windows.h>

#include "update/Registry_win.h"

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

}  // namespace

#include <gtest/gtest.h>

#include <map>

#include "update/UpdateSettings.h"

namespace {

// Two roots of keys of values (type letter and bytes); a root may refuse
// every change, as HKEY_LOCAL_MACHINE does for a standard user.
class TFakeRegistry : public IRegistry {
 public:
  struct TRoot {
    std::map<std::string, std::map<std::string, std::string>> Keys;
    bool Refuses = false;
  };
  TRoot Roots[2];

  std::unique_ptr<IRegistryKey> Open(TRegistryRoot root, const std::string& path, bool forWriting) override {
    TRoot& r = Roots[root];
    if (forWriting && r.Refuses) return nullptr;
    if (!r.Keys.count(path) && !forWriting) return nullptr;
    return std::make_unique<TKey>(r.Keys[path]);
  }

 private:
  class TKey : public IRegistryKey {
   public:
    explicit TKey(std::map<std::string, std::string>& values) : values_(values) {}
    bool ValueExists(const std::string& name) override { return values_.count(name) > 0; }
    bool ReadString(const std::string& name, std::string& value) override { return Read(name, 's', value); }
    bool ReadInteger(const std::string& name, int32_t& value) override {
      std::string text;
      if (!Read(name, 'i', text)) return false;
      value = std::stoi(text);
      return true;
    }
    bool ReadBinary(const std::string& name, std::string& bytes) override { return Read(name, 'b', bytes); }
    bool WriteString(const std::string& name, const std::string& value) override { return Write(name, 's', value); }
    bool WriteInteger(const std::string& name, int32_t value) override {
      return Write(name, 'i', std::to_string(value));
    }
    bool WriteBinary(const std::string& name, const std::string& bytes) override { return Write(name, 'b', bytes); }
    bool DeleteValue(const std::string& name) override { return values_.erase(name) > 0; }

   private:
    bool Read(const std::string& name, char type, std::string& out) {
      auto it = values_.find(name);
      if (it == values_.end() || it->second[0] != type) return false;
      out = it->second.substr(1);
      return true;
    }
    bool Write(const std::string& name, char type, const std::string& value) {
      values_[name] = type + value;
      return true;
    }
    std::map<std::string, std::string>& values_;
  };
};

const TDateTime Today = 46364;
const std::string Key = "Software\\VQ\\Tarvo";

TEST(UpdateSettings, TheDateValueIsEightLittleEndianBytes) {
  const std::string bytes = EncodeDateValue(Today + 27);
  ASSERT_EQ(bytes.size(), 8u);
  EXPECT_EQ(bytes, std::string("\x00\x00\x00\x00\xE0\xA6\xE6\x40", 8));  // 46391.0
  TDateTime back = 0;
  ASSERT_TRUE(DecodeDateValue(bytes, back));
  EXPECT_EQ(back, Today + 27);
  EXPECT_FALSE(DecodeDateValue(std::string(7, '\0'), back));
}

TEST(UpdateSettings, ValuesTheMachineRefusesGoToTheUser) {
  TFakeRegistry registry;
  registry.Roots[rrLocalMachine].Refuses = true;
  TUpdateSettings settings(registry, "Tarvo", false);
  ASSERT_TRUE(settings.WriteNextReminder(Today));
  TDateTime date = 0;
  ASSERT_TRUE(settings.ReadDate("Update", date));
  EXPECT_EQ(date, Today + 27);
  EXPECT_TRUE(registry.Roots[rrCurrentUser].Keys[Key].count("Update"));
  // Neither root: nothing is stored, and the caller is told.
  registry.Roots[rrCurrentUser].Refuses = true;
  EXPECT_EQ(settings.SaveInterval(7), TUpdateSettings::srRefused);
  EXPECT_FALSE(settings.Exists("UpdateInterval"));
}

TEST(UpdateSettings, TheUserIsReadFirstAndTheMachinesSettingsStillHold) {
  TFakeRegistry registry;
  registry.Roots[rrLocalMachine].Keys[Key]["NoUpdate"] = "s";
  registry.Roots[rrLocalMachine].Keys[Key]["UpdateInterval"] = "i7";
  registry.Roots[rrCurrentUser].Keys[Key]["UpdateInterval"] = "i14";
  TUpdateSettings settings(registry, "Tarvo", false);
  EXPECT_TRUE(settings.Exists("NoUpdate"));
  int32_t interval = 0;
  ASSERT_TRUE(settings.ReadInteger("UpdateInterval", interval));
  EXPECT_EQ(interval, 14);
  // Written where it belongs, the machine's value replaces the user's copy.
  ASSERT_TRUE(settings.WriteInteger("UpdateInterval", 3));
  ASSERT_TRUE(settings.ReadInteger("UpdateInterval", interval));
  EXPECT_EQ(interval, 3);
  EXPECT_FALSE(registry.Roots[rrCurrentUser].Keys[Key].count("UpdateInterval"));
}

TEST(UpdateSettings, TheTwoChoicesRemoveEachOther) {
  TFakeRegistry registry;
  TUpdateSettings settings(registry, "Tarvo", false);
  ASSERT_EQ(settings.SaveInterval(7), TUpdateSettings::srSaved);
  ASSERT_EQ(settings.SaveNoUpdate(), TUpdateSettings::srSaved);
  EXPECT_TRUE(settings.Exists("NoUpdate"));
  EXPECT_FALSE(settings.Exists("UpdateInterval"));
  ASSERT_EQ(settings.SaveInterval(30), TUpdateSettings::srSaved);
  EXPECT_FALSE(settings.Exists("NoUpdate"));
  ASSERT_TRUE(settings.WriteNextReminder(Today));
  TDateTime date = 0;
  ASSERT_TRUE(settings.ReadDate("Update", date));
  EXPECT_EQ(date, Today + 29);
}

// A standard user under a machine that switched the reminders off: the
// interval lands in the user's root, but the machine's "NoUpdate" stays and
// still wins, which the old save reported as saved.
TEST(UpdateSettings, ARegularReminderTheMachineOverridesIsNotReportedAsSaved) {
  const struct {
    bool machineOff;
    bool machineRefuses;
    TUpdateSettings::TSaveResult result;
  } cases[] = {
      {true, true, TUpdateSettings::srMachineKeepsThemOff},
      {true, false, TUpdateSettings::srSaved},  // an administrator removes it
      {false, true, TUpdateSettings::srSaved},
  };
  for (const auto& c : cases) {
    TFakeRegistry registry;
    if (c.machineOff) registry.Roots[rrLocalMachine].Keys[Key]["NoUpdate"] = "s";
    registry.Roots[rrLocalMachine].Refuses = c.machineRefuses;
    TUpdateSettings settings(registry, "Tarvo", false);
    EXPECT_EQ(settings.SaveInterval(14), c.result) << c.machineOff << c.machineRefuses;
    EXPECT_EQ(settings.Exists("NoUpdate"), c.result == TUpdateSettings::srMachineKeepsThemOff);
  }
}

}  // namespace

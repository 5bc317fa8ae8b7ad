// A registry in memory for the tests of the rules that read and write it.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "model/Settings.h"

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

// A recording fake of the interpreter's platform side.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "launcher/Interpreter.h"
#include "model/Wide.h"
#include "tests/core/TestSupport.h"

class TFakeLauncherHost : public ILauncherHost {
 public:
  // Everything asked of the platform, one line each: "open <file>|<params>",
  // "wait <command>", "box <text>|<title>|<style>",
  // "<verb> <program>|<params>" with " (wait)" when waiting; a start with a
  // working folder adds " in <folder>", one not shown normally
  // " (show <n>)".
  std::vector<std::string> Calls;
  std::string Folder = "C:\\Tools\\Tarvo\\";
  std::set<std::string> Directories;
  std::map<std::string, std::string> Associations;
  std::string Windows = "C:\\WINDOWS";
  bool WindowsKnown = true;
  uint32_t ExitCode = 0;
  TStartResult VerbResult = srStarted;
  std::map<std::string, std::string> Environment;
  // Answers for the boxes in turn; idOK when none are left.
  std::deque<int> Answers;
  // Runs while a box is shown (a nested handler, say).
  std::function<void()> DuringBox;

  // A program folder Windows-1252 cannot hold: asking for it raises.
  bool ForeignFolder = false;
  std::string ExeFolder() override {
    if (ForeignFolder) throw EForeignText(u"C:\\\u041F\\Tarvo\\");
    return Folder;
  }
  static std::string Startup(const TStartup& startup) {
    return (startup.Folder.empty() ? "" : " in " + startup.Folder) +
           (startup.Show == swShowNormal ? "" : " (show " + std::to_string(startup.Show) + ")");
  }
  void ShellOpen(const std::string& file, const std::string& parameters, const TStartup& startup) override {
    Calls.push_back("open " + file + "|" + parameters + Startup(startup));
  }
  bool DirectoryExists(const std::string& path) override { return Directories.count(path) > 0; }
  std::string AssociatedProgram(const std::string& document) override {
    auto it = Associations.find(document);
    return it == Associations.end() ? "" : it->second;
  }
  bool WindowsFolder(std::string& folder) override {
    folder = WindowsKnown ? Windows : "";
    return WindowsKnown;
  }
  uint32_t StartAndWait(const std::string& commandLine, const TStartup& startup) override {
    Calls.push_back("wait " + commandLine + Startup(startup));
    return ExitCode;
  }
  TStartResult StartWithVerb(const std::string& verb, const std::string& program, const std::string& parameters,
                             bool wait, const TStartup& startup) override {
    Calls.push_back(verb + " " + program + "|" + parameters + (wait ? " (wait)" : "") + Startup(startup));
    return VerbResult;
  }
  bool GetEnvironment(const std::string& name, std::string& value) override {
    auto it = Environment.find(name);
    if (it == Environment.end()) return false;
    value = it->second;
    return true;
  }
  int ShowMessageBox(const std::string& text, const std::string& title, unsigned style) override {
    Calls.push_back("box " + text + "|" + title + "|" + std::to_string(style));
    if (DuringBox) {
      auto f = DuringBox;
      DuringBox = nullptr;
      f();
    }
    if (Answers.empty()) return idOK;
    int answer = Answers.front();
    Answers.pop_front();
    return answer;
  }
  std::string ApplicationTitle() override { return "TRV"; }
};

class InterpreterFixture : public ProjectFixture {
 protected:
  TFakeLauncherHost host;
};

// Lines written as in the project file: " <kind> <params>" without the
// leading blank, e.g. "0 notepad.exe;0".
std::vector<TExecLine> Lines(std::initializer_list<const char*> lines);

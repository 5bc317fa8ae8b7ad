// TRV.EXE's entry point: started with an existing file as its first
// argument the program is the launcher (popup mode), otherwise it opens the
// configuration window.
#include <windows.h>
#include <objbase.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "config/ConfigurationMode.h"
#include "framework/Application.h"
#include "launcher/Interpreter.h"
#include "launcher/LauncherHost_win.h"
#include "launcher/PopupMenu_win.h"
#include "launcher/SearchWindow_win.h"
#include "model/Files_win.h"
#include "model/Platform.h"
#include "model/Project.h"
#include "model/ProjectFile.h"
#include "model/Wide_win.h"

// The runtime's splitting of the command line, in UTF-16 (msvcrt.dll, loaded
// anyway; the shell's CommandLineToArgvW would load shell32 at every start).
struct TStartupInfo {
  int NewMode;
};
extern "C" __declspec(dllimport) int __cdecl __wgetmainargs(int* argc, wchar_t*** argv, wchar_t*** env, int glob,
                                                            TStartupInfo* info);

namespace {

// The launcher: load the project, then the menu, all groups, or the one
// group a link names, then end. The application window is made when a line
// or the menu first needs it: a run that shows nothing then starts no
// windowing at all.
void RunPopupMode(const std::string& fileName, const std::string& groupName, TSearchStart search) {
  TProject project;
  TWinLauncherHost host;
  // Errors end the run and are shown in the application's error box.
  Application.Guard([&] {
    // A file without the project signature loads nothing: the project stays
    // empty with the menu off, and nothing happens.
    if (!LoadProject(project, fileName, false)) return;
    if (!groupName.empty()) {
      // A link to one group runs it alone, without the menu.
      const int group = project.FindExecGroup(groupName);
      if (group >= 0) {
        bool aborted = false;
        const std::vector<TExecLine> lines = project.ExecGroup(group).Lines;
        RunExecLines(host, project, lines, aborted, 0, -1);
        return;
      }
      Application.ShowErrorText("Die Befehlszeilengruppe \"" + groupName + "\" gibt es im Projekt \"" + fileName +
                                "\" nicht.");
      return;
    }
    if (project.UseMenu() && search == ssSearch) {
      POINT at = {};
      GetCursorPos(&at);
      ShowSearchWindow(project, host, at);
    } else if (project.UseMenu()) {
      ShowPopupMenu(project, host, search == ssMenuWithSearchKey);
    } else {
      // All groups share one abort flag: an end of the run in one of them
      // ends all later ones too.
      bool aborted = false;
      for (size_t i = 0; i < project.ExecGroups().size() && !aborted; ++i) {
        const std::vector<TExecLine> lines = project.ExecGroups()[i].Lines;
        RunExecLines(host, project, lines, aborted, 0, -1);
      }
    }
  });
}

// The program's arguments after its own name, as the runtime splits the
// command line (blanks separate arguments, double quotes group a path with
// blanks), read as UTF-16 so that they are the same on every code page.
std::vector<std::wstring> Arguments() {
  int argc = 0;
  wchar_t** argv = nullptr;
  wchar_t** env = nullptr;
  TStartupInfo info = {0};
  std::vector<std::wstring> arguments;
  if (__wgetmainargs(&argc, &argv, &env, 0, &info) < 0 || !argv) return arguments;
  for (int i = 1; i < argc && argv[i]; ++i) arguments.emplace_back(argv[i]);
  return arguments;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  UseNativePlatform();

  std::vector<std::wstring> arguments = Arguments();
  // "/suchen" or "/suchtaste" before the project: how its menu shows.
  const TSearchStart search = TakeSearchSwitch(arguments);
  // A project path or group name that Windows-1252 cannot hold names
  // nothing the program could keep: it is refused, named as it is.
  auto narrowed = [&arguments](size_t index, std::string& out) {
    if (index >= arguments.size()) return true;
    try {
      out = Narrow(arguments[index]);
      return true;
    } catch (const EForeignText& e) {
      Application.ShowErrorText(e.WideMessage());
      return false;
    }
  };
  std::string argument, groupName;
  if (!narrowed(0, argument)) return 1;
  if (!argument.empty() && FileExists(argument)) {
    if (!narrowed(1, groupName)) return 1;
    // Pays only for what the project uses: COM is initialised by the
    // launcher before its first shell call, and the windowing and shell
    // DLLs are delay-loaded (cmake/DelayLoad.cmake), so a run that starts
    // and shows nothing loads neither.
    // A second argument names the one group to run.
    RunPopupMode(argument, groupName, search);
  } else {
    // The configuration window's shell calls initialise COM when the window
    // has been painted, or at the first of them if that comes sooner.
    Application.Title = "Tarvo";
    Application.HelpFile = "TRV.HLP";
    RunConfigurationMode();
  }
  return 0;
}

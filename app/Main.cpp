// TRV.EXE's entry point: started with an existing file as its first
// argument the program is the launcher (popup mode), otherwise it opens the
// configuration window.
#include <windows.h>
#include <objbase.h>

#include <cstdlib>
#include <string>

#include "config/ConfigurationMode.h"
#include "framework/Application.h"
#include "launcher/Interpreter.h"
#include "launcher/LauncherHost_win.h"
#include "launcher/PopupMenu_win.h"
#include "model/Files_win.h"
#include "model/Platform.h"
#include "model/Project.h"
#include "model/ProjectFile.h"

namespace {

// The launcher: load the project, then the menu, all groups, or the one
// group a link names, then end. The application window is made when a line
// or the menu first needs it: a run that shows nothing then starts no
// windowing at all.
void RunPopupMode(const std::string& fileName, const std::string& groupName) {
  TProject project;
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
        RunExecLines(project, lines, aborted, 0, -1);
        return;
      }
      Application.ShowErrorText("Die Befehlszeilengruppe \"" + groupName + "\" gibt es im Projekt \"" + fileName +
                                "\" nicht.");
      return;
    }
    if (project.UseMenu()) {
      ShowPopupMenu(project);
    } else {
      // All groups share one abort flag: an end of the run in one of them
      // ends all later ones too.
      bool aborted = false;
      for (size_t i = 0; i < project.ExecGroups().size() && !aborted; ++i) {
        const std::vector<TExecLine> lines = project.ExecGroups()[i].Lines;
        RunExecLines(project, lines, aborted, 0, -1);
      }
    }
  });
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  UseNativePlatform();
  UseWindowsLauncherHost();

  // The runtime splits the command line as the platform does: blanks
  // separate arguments, double quotes group a path with blanks.
  const std::string argument = __argc > 1 && __argv[1] ? __argv[1] : "";
  if (!argument.empty() && FileExists(argument)) {
    // Pays only for what the project uses: COM is initialised by the
    // launcher before its first shell call, and the windowing and shell
    // DLLs are delay-loaded (cmake/DelayLoad.cmake), so a run that starts
    // and shows nothing loads neither.
    // A second argument names the one group to run.
    RunPopupMode(argument, __argc > 2 && __argv[2] ? __argv[2] : "");
  } else {
    // The configuration window's shell calls (links, file dialogs, the
    // shell's icons) need COM throughout.
    const HRESULT com = CoInitialize(nullptr);
    Application.Title = "Tarvo";
    Application.HelpFile = "TRV.HLP";
    RunConfigurationMode();
    if (SUCCEEDED(com)) CoUninitialize();
  }
  return 0;
}

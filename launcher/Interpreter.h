// The command-line group interpreter: runs the lines of a group, starting
// programs, documents and folders, showing messages, asking questions with
// their branches, calling other groups and ending the run on request.
// The platform operations come through ILauncherHost, so the logic runs
// under tests with a recording fake.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/Project.h"

// Show state "normal" of a started program's window (SW_SHOWNORMAL).
enum : int { swShowNormal = 1 };

// RunAndWait's result when the program could not be started.
const uint32_t NotStarted = 0xFFFFFFFFu;

class ILauncherHost {
 public:
  virtual ~ILauncherHost() = default;
  // The folder of the running executable, with a trailing backslash.
  virtual std::string ExeFolder() = 0;
  // Asks the shell to "open" file with the parameters as one string, no
  // working directory, show state normal; the result is not examined.
  virtual void ShellOpen(const std::string& file, const std::string& parameters) = 0;
  virtual bool DirectoryExists(const std::string& path) = 0;
  // The program associated with the document, or "" when there is none.
  virtual std::string AssociatedProgram(const std::string& document) = 0;
  // The Windows folder (without trailing backslash); false when unknown.
  virtual bool WindowsFolder(std::string& folder) = 0;
  // Creates the process with this command line and waits for its end,
  // keeping the user interface alive. Returns its exit code, or NotStarted.
  virtual uint32_t StartAndWait(const std::string& commandLine, int show) = 0;
  // The application's modal message box; returns idOK, idCancel, idYes or idNo.
  virtual int ShowMessageBox(const std::string& text, const std::string& title, unsigned style) = 0;
  // The caption of the program's own messages.
  virtual std::string ApplicationTitle() = 0;
};

// Installed by the program start (the Windows host) or by tests.
extern ILauncherHost* LauncherHost;

// How deep group calls and branches may nest before the run is ended: far
// beyond any real project, far below what the stack holds.
const int MaxRunDepth = 200;

// The text shown when a run nests deeper than MaxRunDepth.
std::string RunTooDeepText();

// Runs lines[first..last] (last = -1: to the end) until the range is done or
// aborted is set. Works on its own copy of the lines. Raises EConvertError
// or EListError for lines whose parameters do not fit their kind.
void RunExecLines(const std::vector<TExecLine>& lines, bool& aborted, int first, int last);

// Starts the program, document or folder named by the command line's first
// word and returns when it has ended: its exit code, or NotStarted.
uint32_t RunAndWait(const std::string& commandLine, int show);

// The branches of the question at position question, searched up to last:
// the markers' positions, -1 for each one that is missing.
struct TQuestionBranches {
  int YesMarker = -1;
  int NoMarker = -1;
  int EndMarker = -1;
};
TQuestionBranches LocateBranches(const std::vector<TExecLine>& lines, int question, int last);

// The first word of a command resolved against the executable's folder
// (".\x" and "..\..\x"); any other word comes back unchanged.
std::string ResolveRelativeWord(const std::string& word, const std::string& exeFolder);

// The command line RunAndWait hands to process creation ("" when nothing can
// be started).
std::string WaitCommandLine(const std::string& commandLine);

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

// Show states of a started program's window (SW_SHOWNORMAL,
// SW_SHOWMINNOACTIVE, SW_SHOWMAXIMIZED): minimized, it leaves the focus
// where the user is.
enum : int { swShowNormal = 1, swShowMinNoActive = 7, swShowMaximized = 3 };

// Where a started program runs and how its window first shows.
struct TStartup {
  std::string Folder;  // the working folder; "" leaves it to the system
  int Show = swShowNormal;
};

// RunAndWait's result when the program could not be started.
const uint32_t NotStarted = 0xFFFFFFFFu;

// What became of a start through the shell with a verb.
enum TStartResult { srStarted, srCancelled, srFailed };

class ILauncherHost {
 public:
  virtual ~ILauncherHost() = default;
  // The folder of the running executable, with a trailing backslash.
  virtual std::string ExeFolder() = 0;
  // Asks the shell to "open" file with the parameters as one string, in
  // the startup's working folder and show state; the result is not examined.
  virtual void ShellOpen(const std::string& file, const std::string& parameters, const TStartup& startup) = 0;
  virtual bool DirectoryExists(const std::string& path) = 0;
  // The program associated with the document, or "" when there is none.
  virtual std::string AssociatedProgram(const std::string& document) = 0;
  // The Windows folder (without trailing backslash); false when unknown.
  virtual bool WindowsFolder(std::string& folder) = 0;
  // Creates the process with this command line, in the startup's working
  // folder and show state, and waits for its end, keeping the user
  // interface alive. Returns its exit code, or NotStarted.
  virtual uint32_t StartAndWait(const std::string& commandLine, const TStartup& startup) = 0;
  // Asks the shell to start the program with the verb ("runas": as
  // administrator, after the system's prompt) and the parameters as one
  // string, in the startup's working folder and show state. With wait,
  // returns once the program has ended, keeping the user interface alive.
  // srCancelled when the user refused the prompt, srFailed when nothing was
  // started otherwise.
  virtual TStartResult StartWithVerb(const std::string& verb, const std::string& program,
                                     const std::string& parameters, bool wait, const TStartup& startup) = 0;
  // The value of the environment variable; false when it is not set.
  virtual bool GetEnvironment(const std::string& name, std::string& value) = 0;
  // The application's modal message box; returns idOK, idCancel, idYes or idNo.
  virtual int ShowMessageBox(const std::string& text, const std::string& title, unsigned style) = 0;
  // The caption of the program's own messages.
  virtual std::string ApplicationTitle() = 0;
};

// How deep group calls and branches may nest before the run is ended: far
// beyond any real project, far below what the stack holds.
const int MaxRunDepth = 200;

// The text shown when a run nests deeper than MaxRunDepth.
std::string RunTooDeepText();

// A run of its own, through host: runs lines[first..last] (last = -1: to
// the end) until the range is done or aborted is set. Works on its own copy
// of the lines. Raises EConvertError or EListError for lines whose
// parameters do not fit their kind. A call line runs the group of that name
// in project as it is when the call comes. The run counts how deep its
// branches and calls nest; another run, even one started while this one
// waits, counts its own.
void RunExecLines(ILauncherHost& host, const TProject& project, const std::vector<TExecLine>& lines, bool& aborted,
                  int first, int last);

// Starts the program, document or folder named by the command line's first
// word and returns when it has ended: its exit code, or NotStarted.
uint32_t RunAndWait(ILauncherHost& host, const std::string& commandLine, const TStartup& startup);

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
// Whether the word is one ResolveRelativeWord changes: only then is the
// program's folder needed (one Windows-1252 cannot hold stops such a run).
bool IsRelativeWord(const std::string& word);

// The command line RunAndWait hands to process creation ("" when nothing can
// be started).
std::string WaitCommandLine(ILauncherHost& host, const std::string& commandLine);

// The text with each %NAME% replaced by the value of the environment
// variable NAME, as Windows expands them; per-cent signs that name no set
// variable ("100%", "%NICHT_GESETZT%") stay as they are.
std::string ExpandEnvironmentNames(ILauncherHost& host, const std::string& text);

// Starts the program, document or folder named by the command line's first
// word as administrator (through the program RunAndWait would start),
// waiting for its end or not.
TStartResult RunElevated(ILauncherHost& host, const std::string& commandLine, bool wait, const TStartup& startup);

// Whether the parameters of a command line of kind 0 ask to run it as
// administrator (a third field "1"), and those parameters with the request
// set or taken away; a line without it keeps its two fields.
bool RunsElevated(const std::string& params);
std::string WithElevation(const std::string& params, bool elevated);

// A command line of kind 0 with a fourth field "1" runs exactly as it
// stands: its first word (in quotes when it holds a blank) the program, document or folder, and
// everything after the one blank behind it the argument string, neither
// split nor expanded. Dropped and imported files and links become such
// lines, so that they start what the shell starts for them, quotes, "&",
// "^" and "%" included. Lines a user types keep the usual rules.
bool RunsExactly(const std::string& params);
std::string WithExactRun(const std::string& params, bool exact);
// An exact command line: the path (quoted when it holds a blank) and the
// arguments after one blank.
std::string ExactCommandLine(const std::string& path, const std::string& arguments);
void SplitExactCommandLine(const std::string& commandLine, std::string& path, std::string& arguments);

// A command line of kind 0 may name its working folder in a fifth field and
// how its window shows in a sixth ("1" minimized, "2" maximized, anything
// else or none: normal). A line that names neither keeps the fields it had,
// so that files without them are written as they always were; one that
// names either gets all six, an empty third or fourth field written "0".
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
std::string StartFolder(const std::string& params);
TWindowState StartWindow(const std::string& params);
std::string WithStartup(const std::string& params, const std::string& folder, TWindowState window);
// The show state a window state starts with.
int ShowCommand(TWindowState window);
// The working folder a run uses: %NAME% expanded and ".\" and "..\"
// resolved against the program's folder, as for a command's first word.
std::string ResolvedStartFolder(ILauncherHost& host, const std::string& folder);

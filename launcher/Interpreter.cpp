#include "launcher/Interpreter.h"

#include <algorithm>

#include "model/Codec.h"
#include "model/Errors.h"
#include "model/Platform.h"
#include "model/Text.h"

namespace {

bool StartsWith(const std::string& s, const char* prefix) { return s.compare(0, std::char_traits<char>::length(prefix), prefix) == 0; }

// "C:\a\b" -> "C:\a"; a drive or share root stays what it is.
std::string ParentFolder(const std::string& folder) {
  size_t slash = folder.find_last_of('\\');
  if (slash == std::string::npos || slash == 0) return folder;
  if (StartsWith(folder, "\\\\")) {
    // "\\server\share" is a share's root: "\\server" alone names no folder.
    size_t serverEnd = folder.find('\\', 2);
    if (serverEnd == std::string::npos || slash <= serverEnd) return folder;
  }
  return folder.substr(0, slash);
}

// Extension with its dot, as the last dot after the last path separator.
std::string FileExtension(const std::string& path) {
  size_t dot = path.find_last_of(".\\:");
  if (dot == std::string::npos || path[dot] != '.') return "";
  return path.substr(dot);
}

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

bool ElevationField(const TStrings& fields) { return fields.size() > 2 && fields[2] == "1"; }
bool ExactField(const TStrings& fields) { return fields.size() > 3 && fields[3] == "1"; }
std::string FolderField(const TStrings& fields) { return fields.size() > 4 ? fields[4] : std::string(); }
TWindowState WindowField(const TStrings& fields) {
  if (fields.size() > 5 && fields[5] == "1") return wsMinimized;
  if (fields.size() > 5 && fields[5] == "2") return wsMaximized;
  return wsNormal;
}

// The line's startup as the run hands it on.
TStartup StartupOf(ILauncherHost& host, const TStrings& fields) {
  TStartup startup;
  startup.Folder = ResolvedStartFolder(host, FolderField(fields));
  startup.Show = ShowCommand(WindowField(fields));
  return startup;
}

// The program and its parameters for an exact line: a folder opens in
// Explorer and a document in its program, each given the path quoted and
// the argument string as it is. Empty program: nothing to start.
void ExactProgram(ILauncherHost& host, const std::string& path, const std::string& arguments, std::string& program,
                  std::string& parameters) {
  program = path;
  parameters = arguments;
  const bool folder = host.DirectoryExists(path);
  if (!folder && UpperText(FileExtension(path)) == ".EXE") return;
  if (folder) {
    std::string windows;
    program = host.WindowsFolder(windows) ? windows + "\\explorer.exe" : "";
  } else {
    program = host.AssociatedProgram(path);
  }
  parameters = arguments.empty() ? Quoted(path) : Quoted(path) + " " + arguments;
}

void RunExactCommand(ILauncherHost& host, const TStrings& fields) {
  std::string path, arguments;
  SplitExactCommandLine(FieldAt(fields, 0), path, arguments);
  const bool wait = FieldAt(fields, 1) != "0";
  const TStartup startup = StartupOf(host, fields);
  if (!ElevationField(fields) && !wait) {
    // As the shell opens a link: the file and its argument string.
    host.ShellOpen(path, arguments, startup);
    return;
  }
  std::string program, parameters;
  ExactProgram(host, path, arguments, program, parameters);
  if (program.empty()) return;
  if (ElevationField(fields))
    host.StartWithVerb("runas", program, parameters, wait, startup);
  else
    host.StartAndWait(parameters.empty() ? Quoted(program) : Quoted(program) + " " + parameters, startup);
}

void RunCommand(ILauncherHost& host, const TStrings& fields) {
  if (ExactField(fields)) {
    RunExactCommand(host, fields);
    return;
  }
  const std::string& commandLine = FieldAt(fields, 0);
  const std::string& waitFlag = FieldAt(fields, 1);
  TStrings words = SplitDelimited(commandLine, ' ');
  FieldAt(words, 0);  // a command of no word at all is an error
  // Each word is expanded after the split, so that a value with blanks
  // (%ProgramFiles%) stays within its word, quoted or not; ".\" is resolved
  // after it, so that a variable may hold a relative path too.
  for (std::string& word : words) word = ExpandEnvironmentNames(host, word);
  if (IsRelativeWord(words[0])) words[0] = ResolveRelativeWord(words[0], host.ExeFolder());
  const TStartup startup = StartupOf(host, fields);
  if (ElevationField(fields)) {
    // A refused prompt and a failure alike leave the run going on with the
    // next line, as a program that cannot be started does.
    RunElevated(host, JoinDelimited(words, ' '), waitFlag != "0", startup);
  } else if (waitFlag == "0") {
    TStrings parameters(words.begin() + 1, words.end());
    host.ShellOpen(words[0], JoinDelimited(parameters, ' '), startup);
  } else {
    RunAndWait(host, JoinDelimited(words, ' '), startup);
  }
}

// Kinds 1 and 2: the box, then what the answer means for the run. Returns
// the answer.
int ShowMessageLine(ILauncherHost& host, int32_t kind, const TStrings& fields, bool& aborted) {
  const std::string& text = FieldAt(fields, 0);
  const std::string& title = FieldAt(fields, 1);
  int32_t messageType = StrToInt(FieldAt(fields, 2));
  int32_t cancelFlag = StrToInt(FieldAt(fields, 3));
  // The flag only adds a Cancel button; any value but 0 sets it, as for the
  // wait flag. A question always asks Yes or No: OK or other buttons from a
  // hand-edited file would leave both its branches unreachable.
  const bool withCancel = cancelFlag != 0;
  unsigned buttons = kind == lkMessage ? (withCancel ? mbOKCancel : mbOK) : (withCancel ? mbYesNoCancel : mbYesNo);
  // A message type the editors never write must not reach the box as other
  // style bits (modality, service notifications), nor overflow on the way.
  unsigned icon = (static_cast<uint32_t>(messageType) + 1u) * 16u & 0xF0u;
  unsigned style = icon | buttons;
  int answer = host.ShowMessageBox(text, title, style);
  if (answer == idCancel) aborted = true;
  return answer;
}

}  // namespace

std::string RunTooDeepText() {
  return Format(
      "Der Ablauf wurde beendet: Befehlszeilengruppen und Verzweigungen sind mehr als %d Ebenen tief "
      "ineinander aufgerufen. Wahrscheinlich ruft sich eine Befehlszeilengruppe selbst auf.",
      MaxRunDepth);
}

bool IsRelativeWord(const std::string& word) { return StartsWith(word, ".\\") || StartsWith(word, "..\\"); }

std::string ResolveRelativeWord(const std::string& word, const std::string& exeFolder) {
  if (StartsWith(word, ".\\")) return exeFolder + word.substr(2);
  if (!StartsWith(word, "..\\")) return word;
  std::string folder = exeFolder;
  if (!folder.empty() && folder.back() == '\\') folder.pop_back();
  std::string rest = word;
  while (StartsWith(rest, "..\\")) {
    rest.erase(0, 3);
    folder = ParentFolder(folder);
  }
  return folder + "\\" + rest;
}

TQuestionBranches LocateBranches(const std::vector<TExecLine>& lines, int question, int last) {
  TQuestionBranches b;
  // Markers still owed by the nested questions stepped over, innermost last.
  std::vector<int> nested;
  int found = 0;
  for (int pos = question + 1; pos <= last; ++pos) {
    int32_t kind = lines[static_cast<size_t>(pos)].Kind;
    if (kind == lkQuestion) {
      nested.push_back(3);
    } else if (kind == lkBranchMarker) {
      if (!nested.empty()) {
        if (--nested.back() == 0) nested.pop_back();
        continue;
      }
      ++found;
      if (found == 1) b.YesMarker = pos;
      if (found == 2) b.NoMarker = pos;
      if (found == 3) {
        b.EndMarker = pos;
        break;
      }
    }
  }
  return b;
}

std::string WaitCommandLine(ILauncherHost& host, const std::string& commandLine) {
  TStrings words = SplitDelimited(commandLine, ' ');
  const std::string& first = FieldAt(words, 0);
  if (host.DirectoryExists(first)) {
    std::string windows;
    if (!host.WindowsFolder(windows)) return "";
    return Quoted(windows + "\\explorer.exe") + " " + commandLine;
  }
  if (UpperText(FileExtension(first)) != ".EXE") {
    std::string program = host.AssociatedProgram(first);
    if (program.empty()) return "";
    return Quoted(program) + " " + JoinDelimited(words, ' ');
  }
  return commandLine;
}

uint32_t RunAndWait(ILauncherHost& host, const std::string& commandLine, const TStartup& startup) {
  std::string command = WaitCommandLine(host, commandLine);
  if (command.empty()) return NotStarted;
  return host.StartAndWait(command, startup);
}

std::string ExpandEnvironmentNames(ILauncherHost& host, const std::string& text) {
  std::string result;
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == '%') {
      size_t close = text.find('%', i + 1);
      std::string value;
      if (close != std::string::npos && close > i + 1 &&
          host.GetEnvironment(text.substr(i + 1, close - i - 1), value)) {
        result += value;
        i = close + 1;
        continue;
      }
      // As in Windows, a per-cent sign that opens no set name is kept and
      // the search goes on after it: its partner may open the next name.
    }
    result += text[i++];
  }
  return result;
}

TStartResult RunElevated(ILauncherHost& host, const std::string& commandLine, bool wait, const TStartup& startup) {
  // Only programs can be raised: a document goes to its program and a
  // folder to Explorer, as when waiting.
  std::string command = WaitCommandLine(host, commandLine);
  if (command.empty()) return srFailed;
  TStrings words = SplitDelimited(command, ' ');
  TStrings parameters(words.begin() + 1, words.end());
  return host.StartWithVerb("runas", words[0], JoinDelimited(parameters, ' '), wait, startup);
}

bool RunsElevated(const std::string& params) { return ElevationField(SplitDelimited(params, ';')); }

std::string WithElevation(const std::string& params, bool elevated) {
  TStrings fields = SplitDelimited(params, ';');
  // Without its wait flag the line is an error at run time either way.
  if (fields.size() < 2 || ElevationField(fields) == elevated) return params;
  if (elevated) {
    fields.resize(std::max<size_t>(fields.size(), 3));
    fields[2] = "1";
  } else if (fields.size() == 3) {
    fields.pop_back();
  } else {
    fields[2] = "0";
  }
  return JoinDelimited(fields, ';');
}

bool RunsExactly(const std::string& params) { return ExactField(SplitDelimited(params, ';')); }

std::string WithExactRun(const std::string& params, bool exact) {
  TStrings fields = SplitDelimited(params, ';');
  if (fields.size() < 2 || ExactField(fields) == exact) return params;
  if (exact) {
    fields.resize(std::max<size_t>(fields.size(), 4));
    if (fields[2].empty()) fields[2] = "0";
    fields[3] = "1";
  } else if (fields.size() == 4) {
    fields.pop_back();
    if (fields[2] == "0") fields.pop_back();
  } else {
    fields[3] = "0";
  }
  return JoinDelimited(fields, ';');
}

std::string StartFolder(const std::string& params) { return FolderField(SplitDelimited(params, ';')); }

TWindowState StartWindow(const std::string& params) { return WindowField(SplitDelimited(params, ';')); }

std::string WithStartup(const std::string& params, const std::string& folder, TWindowState window) {
  TStrings fields = SplitDelimited(params, ';');
  if (fields.size() < 2 || (FolderField(fields) == folder && WindowField(fields) == window)) return params;
  if (folder.empty() && window == wsNormal) {
    // Back to the fields the line had before it named either.
    fields.resize(4);
    if (fields[3] == "0") {
      fields.pop_back();
      if (fields[2] == "0") fields.pop_back();
    }
  } else {
    fields.resize(6);
    for (size_t i : {2u, 3u})
      if (fields[i].empty()) fields[i] = "0";
    fields[4] = folder;
    fields[5] = std::to_string(static_cast<int>(window));
  }
  return JoinDelimited(fields, ';');
}

int ShowCommand(TWindowState window) {
  switch (window) {
    case wsMinimized: return swShowMinNoActive;
    case wsMaximized: return swShowMaximized;
    default: return swShowNormal;
  }
}

std::string ResolvedStartFolder(ILauncherHost& host, const std::string& folder) {
  if (folder.empty()) return folder;
  const std::string expanded = ExpandEnvironmentNames(host, folder);
  return IsRelativeWord(expanded) ? ResolveRelativeWord(expanded, host.ExeFolder()) : expanded;
}

std::string ExactCommandLine(const std::string& path, const std::string& arguments) {
  // Quotes only where the path needs them, so that the line reads as typed.
  const std::string first = path.find(' ') != std::string::npos ? Quoted(path) : path;
  return arguments.empty() ? first : first + " " + arguments;
}

void SplitExactCommandLine(const std::string& commandLine, std::string& path, std::string& arguments) {
  size_t end;
  if (!commandLine.empty() && commandLine[0] == '"') {
    end = commandLine.find('"', 1);
    if (end == std::string::npos) end = commandLine.size();
    path = commandLine.substr(1, end - 1);
    ++end;
  } else {
    end = std::min(commandLine.find(' '), commandLine.size());
    path = commandLine.substr(0, end);
  }
  arguments = end < commandLine.size() ? commandLine.substr(end + 1) : std::string();
}

namespace {

// One run: the host it reaches the platform through, and how deep its
// branches and group calls nest now. A run started while another one waits
// (the popup's next entry, the editor's test) is a run of its own.
class TRun {
 public:
  TRun(ILauncherHost& host, const TProject& project) : host_(host), project_(project) {}
  void Range(const std::vector<TExecLine>& sourceLines, bool& aborted, int first, int last);

 private:
  class TNesting {
   public:
    explicit TNesting(int& depth) : depth_(depth) { ++depth_; }
    ~TNesting() { --depth_; }
    TNesting(const TNesting&) = delete;
    TNesting& operator=(const TNesting&) = delete;

   private:
    int& depth_;
  };

  ILauncherHost& host_;
  const TProject& project_;
  int depth_ = 0;
};

void TRun::Range(const std::vector<TExecLine>& sourceLines, bool& aborted, int first, int last) {
  if (aborted) return;
  TNesting nesting(depth_);
  if (depth_ > MaxRunDepth) {
    aborted = true;
    host_.ShowMessageBox(RunTooDeepText(), host_.ApplicationTitle(), mbOK | mbIconError);
    return;
  }
  // Message boxes and waits let other handlers run, which may change the
  // project: this run keeps the lines it was given.
  const std::vector<TExecLine> lines = sourceLines;
  const int count = static_cast<int>(lines.size());
  if (last == -1 || last >= count) last = count - 1;
  if (first < 0) first = 0;
  for (int pos = first; pos <= last && !aborted; ++pos) {
    const TExecLine& line = lines[static_cast<size_t>(pos)];
    switch (line.Kind) {
      case lkCommand:
        RunCommand(host_, SplitDelimited(line.Params, ';'));
        break;
      case lkMessage:
        ShowMessageLine(host_, line.Kind, SplitDelimited(line.Params, ';'), aborted);
        break;
      case lkQuestion: {
        int answer = ShowMessageLine(host_, line.Kind, SplitDelimited(line.Params, ';'), aborted);
        if (aborted) break;
        // A marker that is missing ends its branch at the end of the range;
        // branches after it are empty, and the run goes on after the end
        // marker, or after the range when there is none.
        TQuestionBranches b = LocateBranches(lines, pos, last);
        int noStart = b.NoMarker >= 0 ? b.NoMarker : last + 1;
        int endStart = b.EndMarker >= 0 ? b.EndMarker : last + 1;
        if (answer == idYes && b.YesMarker >= 0)
          Range(lines, aborted, b.YesMarker + 1, noStart - 1);
        else if (answer == idNo && b.NoMarker >= 0)
          Range(lines, aborted, b.NoMarker + 1, endStart - 1);
        pos = endStart;
        break;
      }
      case lkEndRun:
        aborted = true;
        break;
      case lkCallGroup: {
        const TStrings fields = SplitDelimited(line.Params, ';');
        const std::string& name = FieldAt(fields, 0);
        // Looked up now: the group may have changed since the run began. A
        // name no group bears calls nothing.
        for (const TExecGroup& group : project_.ExecGroups()) {
          if (group.Name == name) {
            // A copy: the group table may change while the called group runs.
            std::vector<TExecLine> called = group.Lines;
            Range(called, aborted, 0, -1);
            break;
          }
        }
        break;
      }
      default:
        break;
    }
  }
}

}  // namespace

void RunExecLines(ILauncherHost& host, const TProject& project, const std::vector<TExecLine>& lines, bool& aborted,
                  int first, int last) {
  TRun(host, project).Range(lines, aborted, first, last);
}

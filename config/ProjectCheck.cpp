#include "config/ProjectCheck.h"

#include <algorithm>
#include <climits>
#include <unordered_map>

#include "launcher/Interpreter.h"
#include "model/Codec.h"

const char* const NoFindingsText = "Keine Probleme gefunden";

namespace {

bool StartsWith(const std::string& s, const char* prefix) {
  return s.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
// After a scheme's first letter: "ms-settings:", "svn+ssh:".
bool IsSchemeChar(char c) { return IsLetter(c) || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'; }

std::string Quoted(const std::string& s) { return "„" + s + "“"; }

// "C:\x", "\x", "\\server\x": the word names its place itself.
bool IsAbsolute(const std::string& path) {
  return (!path.empty() && (path[0] == '\\' || path[0] == '/')) || (path.size() >= 2 && path[1] == ':');
}

// The folder of a file, with its trailing backslash ("" when it has none).
std::string FolderOf(const std::string& file) {
  const size_t slash = file.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : file.substr(0, slash + 1);
}

// What a command's first word is found as: each word is looked up once per
// check, however many lines name it (lookups on a network can be slow).
class TWordFinder {
 public:
  TWordFinder(ICheckLookup& lookup, const std::string& projectFile)
      : lookup_(lookup), exeFolder_(lookup.ExeFolder()), projectFolder_(FolderOf(projectFile)) {}

  bool Found(const std::string& word) {
    auto known = found_.find(word);
    if (known != found_.end()) return known->second;
    const bool found = LookUp(word);
    found_.emplace(word, found);
    return found;
  }

  // A line's working folder, as the interpreter resolves it.
  bool FolderFound(const std::string& folder) {
    const std::string path = lookup_.ExpandEnvironment(folder);
    return lookup_.FolderExists(IsRelativeWord(path) ? ResolveRelativeWord(path, exeFolder_) : path);
  }

 private:
  bool LookUp(const std::string& word) {
    const std::string path = lookup_.ExpandEnvironment(word);
    if (IsUrl(path)) return true;
    if (StartsWith(path, ".\\") || StartsWith(path, "..\\")) {
      // The interpreter resolves these against its own folder; a project
      // kept beside its programs may mean its own.
      if (lookup_.Exists(ResolveRelativeWord(path, exeFolder_))) return true;
      return !projectFolder_.empty() && lookup_.Exists(ResolveRelativeWord(path, projectFolder_));
    }
    if (IsAbsolute(path)) return lookup_.Exists(path);
    if (!projectFolder_.empty() && lookup_.Exists(projectFolder_ + path)) return true;
    if (lookup_.OnSearchPath(path)) return true;
    return path.find_first_of("\\/") == std::string::npos && lookup_.HasAppPath(path);
  }

  ICheckLookup& lookup_;
  const std::string exeFolder_, projectFolder_;
  std::unordered_map<std::string, bool> found_;
};

struct TCall {
  int Line;
  int Target;
};

class TChecker {
 public:
  TChecker(const std::vector<TExecGroup>& groups, const std::vector<TTRVMenuItem>& menu, bool useMenu,
           const std::string& projectFile, ICheckLookup& lookup)
      : groups_(groups), menu_(menu), useMenu_(useMenu), words_(lookup, projectFile), calls_(groups.size()) {}

  std::vector<TFinding> Run() {
    // A call runs the first group of its name, as the interpreter finds it.
    for (size_t g = 0; g < groups_.size(); ++g) names_.emplace(groups_[g].Name, static_cast<int>(g));
    for (size_t g = 0; g < groups_.size(); ++g) CheckLines(static_cast<int>(g));
    CheckCycles();
    if (useMenu_) {
      CheckMenu();
      CheckReach();
    }
    // Groups in table order with their lines, the menu's entries last.
    std::stable_sort(findings_.begin(), findings_.end(), [](const TFinding& a, const TFinding& b) {
      auto key = [](const TFinding& f) {
        return std::make_pair(f.MenuEntry >= 0 ? INT_MAX : f.Group, f.MenuEntry >= 0 ? f.MenuEntry : f.Line);
      };
      return key(a) < key(b);
    });
    return std::move(findings_);
  }

 private:
  void Add(int group, int line, std::string problem) {
    TFinding f;
    f.Group = group;
    f.GroupName = groups_[group].Name;
    f.Line = line;
    f.Problem = std::move(problem);
    findings_.push_back(std::move(f));
  }

  void CheckLines(int g) {
    const std::vector<TExecLine>& lines = groups_[g].Lines;
    const int count = static_cast<int>(lines.size());
    for (int i = 0; i < count; ++i) {
      const TExecLine& line = lines[i];
      if (line.Kind == lkCommand) {
        const std::string word = CommandWord(line.Params);
        if (word.empty())
          Add(g, i, "Kommando ohne Programm");
        else if (!words_.Found(word))
          Add(g, i, "Programm, Dokument oder Ordner " + Quoted(word) + " nicht gefunden");
        const std::string folder = StartFolder(line.Params);
        if (!folder.empty() && !words_.FolderFound(folder))
          Add(g, i, "Arbeitsordner " + Quoted(folder) + " nicht gefunden");
      } else if (line.Kind == lkQuestion) {
        const TQuestionBranches b = LocateBranches(lines, i, count - 1);
        std::string missing;
        auto note = [&missing](int marker, const char* name) {
          if (marker >= 0) return;
          if (!missing.empty()) missing += ", ";
          missing += name;
        };
        note(b.YesMarker, "„Ja“");
        note(b.NoMarker, "„Nein“");
        note(b.EndMarker, "Verzweigungsende");
        if (!missing.empty()) Add(g, i, "Der Frage fehlen Verzweigungsmarken: " + missing);
      } else if (line.Kind == lkCallGroup) {
        // The name as the interpreter reads it.
        const TStrings fields = SplitDelimited(line.Params, ';');
        const std::string name = fields.empty() ? std::string() : fields[0];
        auto target = names_.find(name);
        if (target == names_.end())
          Add(g, i, "Aufgerufene Befehlszeilengruppe " + Quoted(name) + " gibt es nicht");
        else
          calls_[g].push_back({i, target->second});
      }
    }
  }

  // A depth-first walk along the calls: a call of a group still on the
  // walk's path closes a cycle, reported on that call. Without recursion:
  // chains of calls may be longer than the stack is deep.
  void CheckCycles() {
    enum { White, Grey, Black };
    std::vector<int> colour(groups_.size(), White), pathIndex(groups_.size(), -1);
    struct TFrame {
      int Group;
      size_t Next;
    };
    std::vector<TFrame> path;
    for (size_t root = 0; root < groups_.size(); ++root) {
      if (colour[root] != White) continue;
      path.push_back({static_cast<int>(root), 0});
      colour[root] = Grey;
      pathIndex[root] = 0;
      while (!path.empty()) {
        TFrame& top = path.back();
        if (top.Next == calls_[top.Group].size()) {
          colour[top.Group] = Black;
          path.pop_back();
          continue;
        }
        const TCall call = calls_[top.Group][top.Next++];
        if (colour[call.Target] == White) {
          colour[call.Target] = Grey;
          pathIndex[call.Target] = static_cast<int>(path.size());
          path.push_back({call.Target, 0});
        } else if (colour[call.Target] == Grey) {
          Add(top.Group, call.Line, CycleText(path, pathIndex[call.Target]));
        }
      }
    }
  }

  template <class TPath>
  std::string CycleText(const TPath& path, int from) {
    if (from == static_cast<int>(path.size()) - 1) return "Die Befehlszeilengruppe ruft sich selbst auf";
    std::string text = "Endlosschleife: ";
    for (size_t k = static_cast<size_t>(from); k < path.size(); ++k) {
      const int next = k + 1 < path.size() ? path[k + 1].Group : path[static_cast<size_t>(from)].Group;
      if (k > static_cast<size_t>(from)) text += ", ";
      text += Quoted(groups_[path[k].Group].Name) + " ruft " + Quoted(groups_[next].Name) + " auf";
    }
    return text;
  }

  void CheckMenu() {
    for (size_t m = 0; m < menu_.size(); ++m) {
      const TTRVMenuItem& entry = menu_[m];
      // A folder's entry shows the folder as the popup reads it.
      if (!entry.Folder.empty() && !words_.FolderFound(entry.Folder)) {
        TFinding f;
        f.MenuEntry = static_cast<int>(m);
        f.Problem = "Menüeintrag " + Quoted(entry.Text) + ": Ordner " + Quoted(entry.Folder) + " nicht gefunden";
        findings_.push_back(std::move(f));
      }
      if (entry.Assignment == 0) continue;
      TFinding f;
      f.MenuEntry = static_cast<int>(m);
      if (entry.Assignment < 0 || static_cast<size_t>(entry.Assignment) > groups_.size()) {
        f.Problem = "Menüeintrag " + Quoted(entry.Text) + ": die zugeordnete Befehlszeilengruppe gibt es nicht";
      } else {
        f.Group = entry.Assignment - 1;
        f.GroupName = groups_[f.Group].Name;
        if (!groups_[f.Group].Lines.empty()) continue;
        f.Problem = "Menüeintrag " + Quoted(entry.Text) + ": die zugeordnete Befehlszeilengruppe ist leer";
      }
      findings_.push_back(std::move(f));
    }
  }

  // With the menu on, only its entries start groups, and the groups they
  // call the groups those call.
  void CheckReach() {
    std::vector<bool> reached(groups_.size(), false);
    std::vector<int> todo;
    for (const TTRVMenuItem& entry : menu_) {
      const int g = entry.Assignment - 1;
      if (g >= 0 && static_cast<size_t>(g) < groups_.size() && !reached[g]) {
        reached[g] = true;
        todo.push_back(g);
      }
    }
    while (!todo.empty()) {
      const int g = todo.back();
      todo.pop_back();
      for (const TCall& call : calls_[g])
        if (!reached[call.Target]) {
          reached[call.Target] = true;
          todo.push_back(call.Target);
        }
    }
    for (size_t g = 0; g < groups_.size(); ++g)
      if (!reached[g]) Add(static_cast<int>(g), -1, "Wird von keinem Menüeintrag und keinem Aufruf erreicht");
  }

  const std::vector<TExecGroup>& groups_;
  const std::vector<TTRVMenuItem>& menu_;
  const bool useMenu_;
  TWordFinder words_;
  std::unordered_map<std::string, int> names_;
  std::vector<std::vector<TCall>> calls_;
  std::vector<TFinding> findings_;
};

}  // namespace

std::string CommandWord(const std::string& params) {
  const TStrings fields = SplitDelimited(params, ';');
  if (fields.empty()) return "";
  const TStrings words = SplitDelimited(fields[0], ' ');
  return words.empty() ? std::string() : words[0];
}

bool IsUrl(const std::string& word) {
  if (word.empty() || !IsLetter(word[0])) return false;
  size_t i = 1;
  while (i < word.size() && IsSchemeChar(word[i])) ++i;
  // One letter before the colon is a drive.
  return i >= 2 && i < word.size() && word[i] == ':';
}

std::vector<TFinding> CheckProject(const std::vector<TExecGroup>& groups, const std::vector<TTRVMenuItem>& menu,
                                   bool useMenu, const std::string& projectFile, ICheckLookup& lookup) {
  return TChecker(groups, menu, useMenu, projectFile, lookup).Run();
}

std::vector<std::string> FindingCells(const TFinding& finding) {
  return {finding.GroupName.empty() ? std::string("Menü") : finding.GroupName,
          finding.Line >= 0 ? std::to_string(finding.Line + 1) : std::string(), finding.Problem};
}

std::string SaveDespiteFindingsText(size_t findings) {
  const std::string what = findings == 1 ? "einen möglichen Fehler" : std::to_string(findings) + " mögliche Fehler";
  return "Das Projekt enthält " + what +
         ". Trotzdem speichern?\r\n\r\nMit \"Nein\" wird nicht gespeichert, und die Fehler werden angezeigt.";
}

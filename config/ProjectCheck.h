// The project check of the editor page ("Prüfen", and before a save): what
// would go wrong when the hotkey runs the project. Programs and documents
// that cannot be found, working folders that do not exist, calls of groups that do not exist, groups that call
// themselves, questions without their branch markers, menu entries bound to
// empty groups, folders of menu entries that do not exist and groups nothing
// reaches. Portable: the file system, the
// search path and the registry come through ICheckLookup.
#pragma once

#include <string>
#include <vector>

#include "model/Project.h"

class ICheckLookup {
 public:
  virtual ~ICheckLookup() = default;
  // The text with each %NAME% of a variable that is set replaced by its
  // value; other per-cent text stays as it is.
  virtual std::string ExpandEnvironment(const std::string& text) = 0;
  // A file or a folder of this path exists.
  virtual bool Exists(const std::string& path) = 0;
  // A folder of this path exists (a file of that name is none).
  virtual bool FolderExists(const std::string& path) = 0;
  // The name is found along the search path (".exe" added when it has no
  // extension).
  virtual bool OnSearchPath(const std::string& name) = 0;
  // The name is a registered application path (App Paths, either root).
  virtual bool HasAppPath(const std::string& name) = 0;
  // The folder of the running executable, with a trailing backslash.
  virtual std::string ExeFolder() = 0;
};

// One finding. Group is the group's position and name when the finding is
// about a group (-1 and "" otherwise), Line its line (0-based, -1 for the
// whole group), MenuEntry the menu entry's position (-1 when it is none).
struct TFinding {
  int Group = -1;
  std::string GroupName;
  int Line = -1;
  int MenuEntry = -1;
  std::string Problem;
};

// The findings, groups in table order with their lines in order, then the
// menu's. projectFile is the project's file name ("" when unnamed).
std::vector<TFinding> CheckProject(const std::vector<TExecGroup>& groups, const std::vector<TTRVMenuItem>& menu,
                                   bool useMenu, const std::string& projectFile, ICheckLookup& lookup);

// What the list shows of a finding: the group (or "Menü"), the 1-based line
// ("" for none) and the problem.
std::vector<std::string> FindingCells(const TFinding& finding);
extern const char* const NoFindingsText;  // "Keine Probleme gefunden"

// The question before a save of a project with findings.
std::string SaveDespiteFindingsText(size_t findings);

// The first word of a command line as the interpreter takes it: the
// program, document or folder ("" when there is none).
std::string CommandWord(const std::string& params);
// Whether the word is a URL ("scheme:" of two or more letters).
bool IsUrl(const std::string& word);

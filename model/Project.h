// The project model: menu entries, command-line groups and the project that
// holds them, which the loader, the editors, the popup menu and the
// interpreter take by reference.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct TTRVMenuItem {
  TTRVMenuItem() = default;
  TTRVMenuItem(std::string text, int32_t assignment = 0, int32_t level = 0, std::string folder = std::string())
      : Text(std::move(text)), Assignment(assignment), Level(level), Folder(std::move(folder)) {}
  std::string Text;        // "-" is a separator; "&" marks the access key
  int32_t Assignment = 0;  // 0: none; k: ExecGroups[k - 1]
  int32_t Level = 0;       // nesting depth, 0 = top level
  // A folder whose items the entry's submenu shows, read when it opens ("":
  // an ordinary entry). %NAME% expanded, ".\" and "..\" against the
  // program's folder, as a working folder is.
  std::string Folder;
};

// Where the entries of a menu list stand: each under the nearest entry
// before it whose level is lower, at the top when there is none. Any list
// of levels so gives one tree, the same in the editor and in the popup, and
// an entry's depth in it is the level a save writes.
class TMenuNesting {
 public:
  // The next entry, with the level the file gives it: returns its parent's
  // index in the list, -1 for the top.
  int Add(int index, int32_t level);
  // The depth of the entry added last.
  int Depth() const { return static_cast<int>(open_.size()) - 1; }

 private:
  struct TOpen {
    int32_t Level;
    int Index;
  };
  std::vector<TOpen> open_;
};

struct TExecLine {
  int32_t Kind = 0;
  std::string Params;
};

struct TExecGroup {
  std::string Name;
  std::vector<TExecLine> Lines;
};

enum TLineKind : int32_t {
  lkCommand = 0,
  lkMessage = 1,
  lkQuestion = 2,
  lkEndRun = 3,
  lkNoAction = 4,
  lkCallGroup = 5,
  lkBranchMarker = 6,
};

// The labels of kinds 0 to 5, in the order of the kind list; kind 6 is "#".
extern const char* const LineKindLabels[6];
std::string LineKindLabel(int32_t kind);

// The message types of kinds 1 and 2, by number.
extern const char* const MessageTypeNames[4];

extern const char* const NoActionParams;   // "Doppelklicken zum Bearbeiten"
extern const char* const MarkerYes;        // "Ja": with its quotes
extern const char* const MarkerNo;         // "Nein": with its quotes
extern const char* const MarkerEnd;        // Verzweigungsende
extern const char* const NoActionItem;     // "Keine Aktion", first item of the assignment list
extern const char* const NewGroupItem;     // "Neue Befehlszeilenfolge", last item of the group list
extern const char* const GroupSectionHeader;
extern const char* const MenuSectionHeader;
extern const char* const UnusedMenuSectionHeader;

// What the configuration window does when the project refills or resets its
// lists. The window implements it; in popup mode there is none.
class IProjectView {
 public:
  virtual ~IProjectView() = default;
  // The editor half of a reset: check box ticked, tree, lists and fields
  // emptied, buttons refreshed.
  virtual void ProjectReset() = 0;
  // The group lists now hold these names (in table order).
  virtual void GroupListsRefilled(const std::vector<std::string>& names) = 0;
  // The loader appended a group with this name.
  virtual void GroupLoaded(const std::string& name) = 0;
  // The loader appended menu entry index, its level already its depth in
  // the tree.
  virtual void MenuItemLoaded(int index, const TTRVMenuItem& entry) = 0;
  // The menu setting is now this (loaded, or a step taken back or again).
  virtual void SetMenuSetting(bool useMenu) = 0;
  // The project became modified, or unmodified again (saved, or its changes
  // taken back).
  virtual void ModifiedChanged(bool) {}
  // Any change of the project, a step taken back or done again included.
  virtual void ProjectChanged() {}
};

// One step of a project's history: an operation as it changed the project,
// kept as the change itself (never a copy of the project), enough to take it
// back and to do it again.
struct TProjectStep {
  enum TOp { opMenu, opAddGroup, opRemoveGroup, opChangeGroup, opMenuSetting, opImport };
  TOp Op = opMenu;
  // The project's state before and after (equal for the menu setting, which
  // is no change of the project).
  long StateBefore = 0, StateAfter = 0;
  // opMenu: from MenuStart on, MenuRemoved was replaced by MenuInserted.
  int MenuStart = 0;
  std::vector<TTRVMenuItem> MenuRemoved, MenuInserted;
  // The group operations, done again by running them again.
  int GroupIndex = -1;
  TExecGroup Group;
  // And taken back: each old group's position after the step (-1: removed),
  // the old contents of the groups the step changed, and the menu entries it
  // unbound with their old assignment.
  std::vector<int> OldToNew;
  std::vector<std::pair<int, TExecGroup>> OldContents;
  std::vector<std::pair<int, int32_t>> Unbound;
  // opMenuSetting: the setting after the step.
  bool Setting = true;
  // opImport, done again: the menu and the groups it brought.
  std::vector<TTRVMenuItem> ImportedMenu;
  std::vector<TExecGroup> ImportedGroups;
};

// How a step reached the project: made by one of its operations, taken
// back, or done again.
enum TStepWay { swDone, swUndone, swRedone };

// Whoever follows the project's changes: the history that keeps its steps,
// the editors that show them. Told, never asked.
class IProjectObserver {
 public:
  virtual ~IProjectObserver() = default;
  virtual void StepReported(const TProjectStep& step, TStepWay way) = 0;
  // The project began afresh (a reset or a load): no earlier step applies
  // to it any more.
  virtual void ProjectRestarted() {}
};

class TProject;
bool LoadProject(TProject& project, const std::string& fileName, bool interactive);
void SaveProject(TProject& project, const std::string& fileName);

// One project: its menu list, its command-line groups, its file and whether
// it has changed since. Only its own operations change it; each reports its
// step to the observers, and a step can be taken back and done again. The
// project keeps no history itself. It is modified unless it is in the state
// of its last load, reset or save.
class TProject {
 public:
  TProject() = default;
  // A project with this content, unchanged, as a load gives it.
  TProject(std::vector<TExecGroup> groups, std::vector<TTRVMenuItem> menu, bool useMenu = true);

  const std::vector<TTRVMenuItem>& MenuItems() const { return menuItems_; }
  const std::vector<TExecGroup>& ExecGroups() const { return execGroups_; }
  const std::string& FileName() const { return fileName_; }
  bool Modified() const { return state_ != savedState_; }
  // The menu setting: whether the popup shows the menu; a save writes it.
  bool UseMenu() const { return useMenu_; }

  // The configuration window's editors; none in popup mode.
  IProjectView* View = nullptr;

  // Empties the editors and the project to an unnamed project without
  // changes.
  void Reset();
  // The name a save writes to ("Speichern unter").
  void SetFileName(const std::string& fileName) { fileName_ = fileName; }

  // Menu list operations. An entry's block is the entry and the entries
  // after it of a greater level.
  const TTRVMenuItem& MenuItem(int index) const;
  int CountDescendants(int index) const;
  void InsertMenuItemAt(int index, const TTRVMenuItem& entry);
  void ChangeMenuItem(int index, const std::string& text, int assignment);
  // Deletes the entry's block.
  void DeleteMenuItem(int index);
  // Moves the source's block: down, so that it ends at target; up, so that
  // it starts there.
  void MoveMenuItem(int source, int target);
  // Moves the source's block to just before the entry at before (the list's
  // size: to the end), its first entry then at this level and its
  // descendants as deep below it as before. before lies outside the block.
  void MoveMenuBlock(int source, int before, int level);

  // Group table operations.
  const TExecGroup& ExecGroup(int index) const;
  // The groups' names, in table order.
  std::vector<std::string> GroupNames() const;
  // The group with exactly this name, -1 when there is none.
  int FindExecGroup(const std::string& name) const;
  // Adds the group and sorts the table; returns the group's position.
  int AddExecGroup(const TExecGroup& group);
  // Sorts the table by name, the view's lists and the menu's assignments
  // following; returns the selected group's new position (-1 stays -1).
  int SortExecGroups(int selected);
  // The group editor's delete: references fixed as the model requires (menu
  // entries renumbered or unbound, calls turned into "Keine Aktion" lines),
  // then the group removed.
  void RemoveExecGroup(int index);
  // The group editor's change: call lines of the old name follow the new
  // name, the group gets the new name and lines, and the table is sorted.
  // Returns the group's new position.
  int ChangeExecGroup(int index, const TExecGroup& changed);

  // A menu from elsewhere in place of the menu list, with the groups its
  // entries start (assignment k: groups[k - 1]) added to the table.
  void ImportMenu(const std::vector<TTRVMenuItem>& menu, const std::vector<TExecGroup>& groups);

  // The check box "Menüstruktur": a step of the history, but no change of
  // the project (a save writes it all the same).
  void ChangeMenuSetting(bool useMenu);

  // A step it reported, taken back: the project as it was before the step.
  // Only the newest step not taken back may be.
  void Revert(const TProjectStep& step);
  // A step taken back, done again: only the one taken back last may be.
  void Apply(const TProjectStep& step);

  void AddObserver(IProjectObserver& observer);
  void RemoveObserver(IProjectObserver& observer);

 private:
  friend bool LoadProject(TProject& project, const std::string& fileName, bool interactive);
  friend void SaveProject(TProject& project, const std::string& fileName);
  void CheckMenuIndex(int index) const;
  void CheckGroupIndex(int index) const;
  // The table sorted by name; each old position's new one.
  std::vector<int> SortTable();
  // A new step: the project now in a new state.
  void Record(TProjectStep step);
  // A new start: the observers drop the steps before it.
  void Restart();
  void Report(const TProjectStep& step, TStepWay way);
  // Replaces count entries from start with entries.
  void Splice(int start, size_t count, const std::vector<TTRVMenuItem>& entries);
  // Takes a group step back.
  void RevertGroups(const TProjectStep& step);
  // Records the menu entries from start as they were (old) and are now.
  void RecordMenu(int start, std::vector<TTRVMenuItem> old, size_t count);
  // Tells the view when the modified flag has turned.
  void ReportModified();
  bool reportedModified_ = false;
  bool replaying_ = false;
  // Observers watch this project object, not its value: a copy starts
  // without them, and an assignment keeps those of the assigned one.
  struct TObservers {
    std::vector<IProjectObserver*> List;
    TObservers() = default;
    TObservers(const TObservers&) {}
    TObservers& operator=(const TObservers&) { return *this; }
  } observers_;
  // States are numbered as they come; a step knows the states it joins.
  long lastState_ = 0;
  long state_ = 0, savedState_ = 0;

  std::vector<TTRVMenuItem> menuItems_;
  std::vector<TExecGroup> execGroups_;
  std::string fileName_;
  bool useMenu_ = true;
};

// Whether a group name can be stored and read back: not empty, no leading
// blank, no control characters, not a menu section header.
bool IsStorableGroupName(const std::string& name);

// The called group's name of a kind-5 line: its Params without the first and
// the last character.
std::string CalledGroupName(const std::string& params);

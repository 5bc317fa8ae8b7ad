// The project model: menu entries, command-line groups and the process-wide
// tables that the loader, the editors, the popup menu and the interpreter
// share.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TTRVMenuItem {
  std::string Text;        // "-" is a separator; "&" marks the access key
  int32_t Assignment = 0;  // 0: none; k: ExecGroups[k - 1]
  int32_t Level = 0;       // nesting depth, 0 = top level
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

// Process-wide project state.
extern std::vector<TTRVMenuItem> MenuItems;
extern std::vector<TExecGroup> ExecGroups;
extern std::string ProjectFileName;
extern bool ProjectModified;
extern bool PopupMode;
extern bool UseMenu;

// What the configuration window does when the model refills or resets its
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
  // The loader appended MenuItems[index]; add its tree node.
  virtual void MenuItemLoaded(int index) = 0;
  virtual void SetMenuSetting(bool useMenu) = 0;
  virtual bool MenuSetting() const = 0;
};
extern IProjectView* ProjectView;

// Empties the editors and the model to an unnamed project without changes.
void ResetProject();

// The menu setting a save writes: the check box in configuration mode.
bool CurrentMenuSetting();

// Menu table operations.
int CountDescendants(int index);
void InsertMenuItemSlot(int index);
void DeleteMenuItem(int index);
void MoveMenuItem(int source, int target);

// Group table operations.
void DeleteExecGroup(int index);
int SortExecGroups(int selected);

// Whether a group name can be stored and read back: not empty, no leading
// blank, no control characters, not a menu section header.
bool IsStorableGroupName(const std::string& name);

// The group editor's delete: references fixed as the model requires (menu
// entries renumbered or unbound, calls turned into "Keine Aktion" lines),
// then the group removed. Sets ProjectModified.
void RemoveExecGroup(int index);

// The group editor's change: call lines of the old name follow the new name,
// the group gets the new name and lines, and the table is sorted. Returns the
// group's new position. Sets ProjectModified.
int ChangeExecGroup(int index, const TExecGroup& changed);

// The called group's name of a kind-5 line: its Params without the first and
// the last character.
std::string CalledGroupName(const std::string& params);

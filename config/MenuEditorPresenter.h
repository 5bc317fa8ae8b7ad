// The menu structure editor without its window: the selected entry, the
// changes the buttons make to the menu list and the tree alike, and the
// buttons' states. The window's tree is addressed by entry index: a node's
// place in the depth-first walk of the tree (each node before its
// children), which is the menu list's order. Portable: no platform types.
#pragma once

#include <string>
#include <vector>

#include "model/Project.h"

enum TMenuButton {
  meNewSubItem,
  meEditItem,
  meDelItem,
  meUp,
  meDown,
};

// What the window shows for the menu editor. Each index is the node's place
// in the tree as the tree is at the time of the call.
class IMenuEditorView {
 public:
  virtual ~IMenuEditorView() = default;
  // A new node under the node at parent (-1: top level), right after its
  // child at after, or as its first child when after is -1.
  virtual void AddNode(int parent, int after, const std::string& text) = 0;
  // A node a load appends, as the last child of the node at parent (-1: top
  // level). It becomes the node at index; parent was appended by the same
  // load, since the last ClearTree.
  virtual void LoadNode(int index, int parent, const std::string& text) = 0;
  virtual void SetNodeText(int index, const std::string& text) = 0;
  // Deletes the node at index with its subtree; returns the place of the
  // node the tree selects instead, -1: none.
  virtual int DeleteNode(int index) = 0;
  // Moves the node at index with its subtree under the node at parent (-1:
  // top level): right after its child at after, or first when after is -1.
  virtual void MoveNode(int index, int parent, int after) = 0;
  // -1: none. The tree shows the node: its ancestors expanded, scrolled to.
  virtual void SelectNode(int index) = 0;
  // Whether the tree shows the node's sub-entries.
  virtual bool NodeExpanded(int index) = 0;
  // Shows the sub-entries of the node at index.
  virtual void ExpandNode(int index) = 0;
  virtual void ClearTree() = 0;
  virtual void FocusTree() = 0;
  // The entry's fields: its text and its item of the assignment list
  // (0: "Keine Aktion"); "" and -1 when no entry is selected.
  virtual void ShowEntry(const std::string& text, int assignment) = 0;
  // The selected entry's folder ("": none, or no entry): an entry that
  // stands for a folder runs no group, so none is offered for it.
  virtual void ShowFolder(const std::string& folder) = 0;
  virtual void SetEnabled(TMenuButton button, bool enabled) = 0;
};

// The checks of an entry's fields before a new entry, a sub-entry or a
// change; the first that fails is reported with its balloon.
// Where a dragged entry goes: before or after the entry it is dropped on,
// at its level, or into it as its last sub-entry.
enum TMenuDropPlace { mdBefore, mdAfter, mdInto };

enum TMenuEntryCheck { mcNone = -1, mcText, mcAssignment };
struct TMenuEntryBalloon {
  const char* Title;
  const char* Text;
  unsigned Lifetime;  // ms
};
extern const TMenuEntryBalloon MenuEntryBalloons[2];  // by TMenuEntryCheck
TMenuEntryCheck CheckMenuEntry(const std::string& text, int assignment);

class TMenuEditor {
 public:
  TMenuEditor(TProject& project, IMenuEditorView& view);
  TMenuEditor(const TMenuEditor&) = delete;
  TMenuEditor& operator=(const TMenuEditor&) = delete;

  int Selected() const { return selected_; }
  // The siblings of the entry at index by the menu list's levels, -1: none.
  int PreviousSibling(int index) const;
  int NextSibling(int index) const;
  int ParentOf(int index) const;

  // The tree reports its selection (-1: none).
  void NodeSelected(int index);
  // The buttons. Each checks the fields first; a failing check changes
  // nothing and is returned for the window's balloon. Without a selected
  // entry, all but NewItem do nothing.
  TMenuEntryCheck NewItem(const std::string& text, int assignment);
  TMenuEntryCheck NewSubItem(const std::string& text, int assignment);
  TMenuEntryCheck EditItem(const std::string& text, int assignment);
  // "Ordner als Untermenü": a new entry named after the folder, bound to no
  // group, whose submenu shows the folder's items; placed as "Neuer
  // Eintrag" places one.
  void NewFolderItem(const std::string& folder);
  void DeleteItem();
  void MoveUp();
  void MoveDown();
  // A drag of the entry at source onto the entry at target: allowed unless
  // the target lies in the dragged block itself; the block moves as "Hoch"
  // and "Runter" move it, its sub-entries with it.
  bool CanDrop(int source, int target, TMenuDropPlace place) const;
  // A drop into an entry that calls a group of its own and has no
  // sub-entries yet makes it a submenu: asked first.
  void Drop(int source, int target, TMenuDropPlace place);
  // The selected entry shown again: its assignment may have moved.
  void ShowSelectedEntry();

  // The loader appended entry index: its node goes under the entry the
  // model's nesting names.
  void EntryLoaded(int index, const TTRVMenuItem& entry);
  // The editor half of a project reset: an empty tree, nothing selected.
  void Reset();
  // The menu list was taken back or done again: the tree shows it afresh,
  // the entry at index (or the nearest before it) selected.
  void MenuRestored(int index);
  // The same after a step that replaced the entries was, from start on,
  // by count others: the submenus the tree showed expanded stay expanded
  // (inside the step's entries, those of the same text and level), and the
  // changed entry is selected and shown.
  void MenuRestored(int start, const std::vector<TTRVMenuItem>& was, int count);
  // A finding of the project check at this entry: selected as the user
  // selects it, the tree focused.
  void ShowEntryAt(int index);

 private:
  int Level(int index) const { return project_.MenuItem(index).Level; }
  int Count() const { return static_cast<int>(project_.MenuItems().size()); }
  void PlaceNewEntry(int parent, int after, int index, const TTRVMenuItem& entry);
  // After the selected entry's block at its level, or last at the top.
  void PlaceSibling(TTRVMenuItem entry);
  void MoveEntry(int after, int target, int moved);
  // The last direct sub-entry of the entry at index, -1: none.
  int LastChild(int index) const;

  TProject& project_;
  IMenuEditorView& view_;
  int selected_ = -1;
  // The tree reports the selections it makes while the editor changes it,
  // some while a node is half added or half gone; the editor shows its entry
  // itself once tree and list agree again.
  bool changing_ = false;
  TMenuNesting loadPath_;
};

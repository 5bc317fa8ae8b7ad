// The menu structure editor's window side: the editor page's tree, entry
// fields and buttons as the menu editor addresses them, by entry index.
#pragma once

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "config/MenuEditorPresenter.h"
#include "framework/Form.h"

class TMenuTreeView : public IMenuEditorView {
 public:
  explicit TMenuTreeView(TForm& form) : form_(form) {}
  // The tree, its drags wired to these once it is first asked for.
  std::function<bool(int source, int target, TMenuDropPlace place)> CanDrop;
  std::function<void(int source, int target, TMenuDropPlace place)> Dropped;
  TTreeView& Tree();
  // The node at the entry index: its place in a depth-first walk.
  HTREEITEM NodeAt(int index);
  // The entry index of the tree's selection, -1: none.
  int SelectedIndex();
  // The entry index of a node, -1: none; from a table begun afresh after
  // each change of the tree, since it is asked for every node drawn.
  int EntryIndexOf(HTREEITEM node);

  void AddNode(int parent, int after, const std::string& text) override;
  void LoadNode(int index, int parent, const std::string& text) override;
  void SetNodeText(int index, const std::string& text) override;
  int DeleteNode(int index) override;
  void MoveNode(int index, int parent, int after) override;
  void SelectNode(int index) override;
  std::vector<int> ExpandedNodes() override;
  void ExpandNode(int index) override;
  void ClearTree() override;
  void FocusTree() override;
  void ShowEntry(const std::string& text, int assignment) override;
  void SetEnabled(TMenuButton button, bool enabled) override;

 private:
  // The node's place in a depth-first walk (each node before its children),
  // counted from 0.
  static int IndexOf(TTreeView& tree, HTREEITEM node);
  // Moves the node with its subtree under parent (null: top level) after the
  // given sibling (TVI_FIRST, TVI_LAST or a node), keeping captions, item
  // data and which nodes are expanded. The node's handle changes: the new
  // one is returned. Selection changes that this causes are reported.
  static HTREEITEM MoveSubtree(TTreeView& tree, HTREEITEM node, HTREEITEM parent, HTREEITEM after);

  TForm& form_;
  bool wired_ = false;
  // The nodes a load appended since the tree was last emptied, by index.
  std::vector<HTREEITEM> loaded_;
  std::unordered_map<HTREEITEM, int> indexes_;
  HTREEITEM walked_ = nullptr;  // the last node in the table
  bool indexesStale_ = true;
};

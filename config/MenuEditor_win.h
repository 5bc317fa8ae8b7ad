// The menu structure editor's panel of the editor page: the tree, the
// entry's fields and buttons, as the menu editor addresses them by entry
// index, and the handlers of what the user does there.
#pragma once

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "config/MenuEditorPresenter.h"
#include "controls/Balloons.h"
#include "framework/Form.h"

class TMenuEditorPanel : public IMenuEditorView {
 public:
  TMenuEditorPanel(TBalloons& balloons, TProject& project);
  TMenuEditorPanel(const TMenuEditorPanel&) = delete;
  TMenuEditorPanel& operator=(const TMenuEditorPanel&) = delete;

  // The panel's rows of the page's table, in the order of their tabs.
  void AddRows(std::vector<TControlDef>& rows, const char* page);
  // The focus came to the entry's text or its group (posted by the page,
  // so that it is asked about once the focus has settled).
  std::function<void()> EntryFieldFocused;

  TMenuEditor& Editor() { return editor_; }
  TButton& Button(TMenuButton button) { return *buttons_[button]; }
  // Whether the control is one of the panel's that take the focus; of the
  // entry's fields alone.
  bool Owns(const TControl* control);
  bool IsEntryField(const TControl* control);
  TTreeView& Tree();
  // The node at the entry index: its place in a depth-first walk.
  HTREEITEM NodeAt(int index);
  // The entry index of the tree's selection, -1: none.
  int SelectedIndex();
  // The entry index of a node, -1: none; asked for every node drawn.
  int EntryIndexOf(HTREEITEM node);
  // The assignment list: "Keine Aktion", then the groups.
  void FillAssignments(const std::vector<std::string>& names);
  void AddAssignment(const std::string& name);

  void TreeView_MenuChange(TControl& sender);
  void Button_NewItemClick(TControl& sender);
  void Button_NewSubItemClick(TControl& sender);
  void Button_EditItemClick(TControl& sender);
  void Button_DelItemClick(TControl& sender);
  void Button_UpClick(TControl& sender);
  void Button_DownClick(TControl& sender);

  void AddNode(int parent, int after, const std::string& text) override;
  void LoadNode(int index, int parent, const std::string& text) override;
  void SetNodeText(int index, const std::string& text) override;
  int DeleteNode(int index) override;
  void MoveNode(int index, int parent, int after) override;
  void SelectNode(int index) override;
  bool NodeExpanded(int index) override;
  void ExpandNode(int index) override;
  void ClearTree() override;
  void FocusTree() override;
  void ShowEntry(const std::string& text, int assignment) override;
  void ShowFolder(const std::string& folder) override;
  void SetEnabled(TMenuButton button, bool enabled) override;

 private:
  // The balloon of a failed check of the entry's fields.
  void ShowCheck(TMenuEntryCheck check);
  // One past the last node of the subtree at index.
  int End(int index) const;
  // The places asked for are no longer so.
  void Forget();
  void Inserted(int at, const std::vector<HTREEITEM>& nodes, const std::vector<int>& depths);
  // Moves the node with its subtree under parent (null: top level) after the
  // given sibling (TVI_FIRST, TVI_LAST or a node), keeping captions, item
  // data and which nodes are expanded. The nodes' handles change: the new
  // ones are returned in menu order. Selection changes that this causes are
  // reported.
  static std::vector<HTREEITEM> MoveSubtree(TTreeView& tree, HTREEITEM node, HTREEITEM parent, HTREEITEM after);

  TBalloons& balloons_;
  TMenuEditor editor_;
  TBound<TTreeView> tree_;
  TBound<TEdit> itemText_;
  TBound<TComboBox> assignment_;
  TBound<TButton> newItem_;
  // By TMenuButton.
  TBound<TButton> buttons_[5];
  bool wired_ = false;
  // The tree's nodes in menu order, with their depths: every change of the
  // tree goes through this panel, which keeps them so, and no question of a
  // node's place costs a walk of the tree.
  std::vector<HTREEITEM> order_;
  std::vector<int> depth_;
  // The places of the nodes asked for since the last change, filled as far
  // as the node asked for: the tree asks for those it draws.
  std::unordered_map<HTREEITEM, int> indexes_;
  size_t walked_ = 0;
};

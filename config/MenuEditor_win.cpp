#include "config/MenuEditor_win.h"

#include <commctrl.h>

#include "controls/VQControls.h"
#include "model/Wide_win.h"
#include "resources/Resource.h"

TMenuEditorPanel::TMenuEditorPanel(TBalloons& balloons, TProject& project)
    : balloons_(balloons), editor_(project, *this) {}

void TMenuEditorPanel::AddRows(std::vector<TControlDef>& rows, const char* page) {
  auto exitHides = [this] { return balloons_.ExitHides(); };
  // The entry's fields: coming to them leaves the working list.
  auto enterEntry = [this] {
    TProp p = balloons_.EnterHides();
    p.Notify = [this, hides = p.Notify](TControl& c) {
      hides(c);
      if (EntryFieldFocused) EntryFieldFocused();
    };
    return p;
  };
  auto button = [&](TBound<TButton>& member, const char* name, int left, int top, int width, int tag,
                    const char* caption, unsigned options, void (TMenuEditorPanel::*click)(TControl&),
                    bool hidesBalloon = true) {
    std::vector<TProp> props = {Bind(member), On(evClick, this, click)};
    if (hidesBalloon) props.push_back(exitHides());
    rows.push_back({Kind<TButton>, name, page, left, top, width, 25, tag, caption, coTabStop | options, {}, props});
  };
  rows.push_back({Kind<TTreeView>, "TreeView_Menu", page, 0, 168, 169, 140, IDS_HELP_MENUTREE, "", coTabStop, {},
                  {Bind(tree_), Indent(19), On(evChange, this, &TMenuEditorPanel::TreeView_MenuChange), exitHides()}});
  rows.push_back({Kind<TLabel>, "Label_ItemText", page, 176, 144, 0, 0, 0, "Text:", coAutoSize});
  rows.push_back({Kind<TEdit>, "Edit_ItemText", page, 176, 160, 137, 21, IDS_HELP_ITEMTEXT, "", coTabStop, {},
                  {Bind(itemText_), enterEntry(), exitHides()}});
  rows.push_back({Kind<TLabel>, "Label14", page, 176, 192, 0, 0, 0, "Zugeordnete Befehlszeilen:", coAutoSize});
  rows.push_back({Kind<TComboBox>, "ComboBox_Assignment", page, 176, 208, 137, 21, IDS_HELP_ASSIGNMENT, "",
                  coTabStop, {}, {Bind(assignment_), Items({NoActionItem}), enterEntry(), exitHides()}});
  button(newItem_, "Button_NewItem", 176, 240, 137, IDS_HELP_NEWITEM, "Neuer Eintrag", 0,
         &TMenuEditorPanel::Button_NewItemClick);
  button(buttons_[meNewSubItem], "Button_NewSubItem", 176, 272, 137, IDS_HELP_NEWSUBITEM, "Neuer Untereintrag",
         coDisabled, &TMenuEditorPanel::Button_NewSubItemClick);
  button(buttons_[meEditItem], "Button_EditItem", 176, 304, 137, IDS_HELP_EDITITEM, "Eintrag bearbeiten", coDisabled,
         &TMenuEditorPanel::Button_EditItemClick);
  button(buttons_[meDelItem], "Button_DelItem", 176, 336, 137, IDS_HELP_DELITEM, "Eintrag löschen", coDisabled,
         &TMenuEditorPanel::Button_DelItemClick);
  button(buttons_[meUp], "Button_Up", 0, 336, 81, 0, "Hoch", coDisabled, &TMenuEditorPanel::Button_UpClick, false);
  button(buttons_[meDown], "Button_Down", 88, 336, 83, 0, "Runter", coDisabled, &TMenuEditorPanel::Button_DownClick,
         false);
}

TTreeView& TMenuEditorPanel::Tree() {
  TTreeView& tree = *tree_;
  if (!wired_) {
    wired_ = true;
    auto place = [](TTreeDropPlace p) { return p == dpBefore ? mdBefore : p == dpAfter ? mdAfter : mdInto; };
    tree.CanDrop = [this, place](HTREEITEM node, HTREEITEM target, TTreeDropPlace p) {
      return editor_.CanDrop(EntryIndexOf(node), EntryIndexOf(target), place(p));
    };
    tree.Dropped = [this, place](HTREEITEM node, HTREEITEM target, TTreeDropPlace p) {
      editor_.Drop(EntryIndexOf(node), EntryIndexOf(target), place(p));
    };
  }
  return tree;
}

HTREEITEM TMenuEditorPanel::NodeAt(int index) {
  return index >= 0 && static_cast<size_t>(index) < order_.size() ? order_[static_cast<size_t>(index)] : nullptr;
}

int TMenuEditorPanel::SelectedIndex() {
  HTREEITEM node = Tree().Selected();
  return node ? EntryIndexOf(node) : -1;
}

int TMenuEditorPanel::EntryIndexOf(HTREEITEM node) {
  if (!node) return -1;
  auto it = indexes_.find(node);
  if (it != indexes_.end()) return it->second;
  for (; walked_ < order_.size(); ++walked_) {
    indexes_[order_[walked_]] = static_cast<int>(walked_);
    if (order_[walked_] == node) return static_cast<int>(walked_++);
  }
  return -1;
}

void TMenuEditorPanel::Forget() {
  // Emptied only when filled: a load appends thousands of nodes one by one.
  if (walked_ == 0) return;
  indexes_.clear();
  walked_ = 0;
}

int TMenuEditorPanel::End(int index) const {
  size_t end = static_cast<size_t>(index) + 1;
  while (end < order_.size() && depth_[end] > depth_[static_cast<size_t>(index)]) ++end;
  return static_cast<int>(end);
}

void TMenuEditorPanel::Inserted(int at, const std::vector<HTREEITEM>& nodes, const std::vector<int>& depths) {
  order_.insert(order_.begin() + at, nodes.begin(), nodes.end());
  depth_.insert(depth_.begin() + at, depths.begin(), depths.end());
  Forget();
}

void TMenuEditorPanel::AddNode(int parent, int after, const std::string& text) {
  TTreeView& tree = Tree();
  const int at = after >= 0 ? End(after) : parent + 1;
  const int depth = parent >= 0 ? depth_[static_cast<size_t>(parent)] + 1 : 0;
  HTREEITEM node;
  {
    TTreeUpdate update(tree);
    node = tree.Add(NodeAt(parent), text, after >= 0 ? NodeAt(after) : TVI_FIRST);
  }
  Inserted(at, {node}, {depth});
}

void TMenuEditorPanel::LoadNode(int index, int parent, const std::string& text) {
  HTREEITEM node = Tree().Add(NodeAt(parent), text);
  order_.resize(static_cast<size_t>(index));
  depth_.resize(static_cast<size_t>(index));
  Inserted(index, {node}, {parent >= 0 ? depth_[static_cast<size_t>(parent)] + 1 : 0});
}

void TMenuEditorPanel::SetNodeText(int index, const std::string& text) { Tree().SetText(NodeAt(index), text); }

int TMenuEditorPanel::DeleteNode(int index) {
  TTreeView& tree = Tree();
  HTREEITEM node = NodeAt(index);
  if (!node) return -1;
  const int end = End(index);
  {
    TTreeUpdate update(tree);
    tree.Delete(node);
  }
  order_.erase(order_.begin() + index, order_.begin() + end);
  depth_.erase(depth_.begin() + index, depth_.begin() + end);
  Forget();
  return SelectedIndex();
}

void TMenuEditorPanel::MoveNode(int index, int parent, int after) {
  TTreeView& tree = Tree();
  HTREEITEM node = NodeAt(index);
  if (!node) return;
  const int end = End(index), count = end - index;
  int at = after >= 0 ? End(after) : parent + 1;
  const int shift = (parent >= 0 ? depth_[static_cast<size_t>(parent)] + 1 : 0) - depth_[static_cast<size_t>(index)];
  std::vector<int> depths(depth_.begin() + index, depth_.begin() + end);
  for (int& depth : depths) depth += shift;
  const std::vector<HTREEITEM> moved = MoveSubtree(tree, node, NodeAt(parent), after >= 0 ? NodeAt(after) : TVI_FIRST);
  order_.erase(order_.begin() + index, order_.begin() + end);
  depth_.erase(depth_.begin() + index, depth_.begin() + end);
  if (at > index) at -= count;
  Inserted(at, moved, depths);
}

void TMenuEditorPanel::SelectNode(int index) { Tree().SetSelected(NodeAt(index)); }

bool TMenuEditorPanel::NodeExpanded(int index) {
  HTREEITEM node = NodeAt(index);
  return node && (TreeView_GetItemState(Tree().Handle, node, TVIS_EXPANDED) & TVIS_EXPANDED);
}

void TMenuEditorPanel::ExpandNode(int index) {
  if (HTREEITEM node = NodeAt(index)) TreeView_Expand(Tree().Handle, node, TVE_EXPAND);
}

void TMenuEditorPanel::ClearTree() {
  Tree().Clear();
  order_.clear();
  depth_.clear();
  Forget();
}

void TMenuEditorPanel::FocusTree() { Tree().SetFocus(); }

void TMenuEditorPanel::ShowEntry(const std::string& text, int assignment) {
  itemText_->SetText(text);
  assignment_->SetItemIndex(assignment);
}

void TMenuEditorPanel::ShowFolder(const std::string& folder) { assignment_->SetEnabled(folder.empty()); }

void TMenuEditorPanel::SetEnabled(TMenuButton button, bool enabled) { buttons_[button]->SetEnabled(enabled); }

std::vector<HTREEITEM> TMenuEditorPanel::MoveSubtree(TTreeView& tree, HTREEITEM node, HTREEITEM parent, HTREEITEM after) {
  const HWND handle = tree.Handle;
  const bool wasSelected = tree.Selected() == node;
  HTREEITEM moved = nullptr;
  {
    TTreeUpdate update(tree);
    struct TCopy {
      HTREEITEM From, ToParent, After;
    };
    std::vector<HTREEITEM> expanded;
    // Breadth-first: a copied node's children follow it, each after the one
    // copied before it.
    std::vector<TCopy> queue{{node, parent ? parent : TVI_ROOT, after}};
    for (size_t i = 0; i < queue.size(); ++i) {
      TVITEMW item = {};
      item.mask = TVIF_PARAM | TVIF_STATE;
      item.stateMask = TVIS_EXPANDED;
      item.hItem = queue[i].From;
      SendMessageW(handle, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
      std::wstring caption = W(tree.Text(queue[i].From));
      TVINSERTSTRUCTW insert = {};
      insert.hParent = queue[i].ToParent;
      insert.hInsertAfter = queue[i].After;
      insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
      insert.item.pszText = &caption[0];
      insert.item.lParam = item.lParam;
      insert.item.iImage = insert.item.iSelectedImage = I_IMAGECALLBACK;
      HTREEITEM copy =
          reinterpret_cast<HTREEITEM>(SendMessageW(handle, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
      if (!moved) moved = copy;
      if (item.state & TVIS_EXPANDED) expanded.push_back(copy);
      for (HTREEITEM child = tree.FirstChild(queue[i].From); child; child = tree.NextSibling(child))
        queue.push_back({child, copy, TVI_LAST});
    }
    for (HTREEITEM n : expanded) TreeView_Expand(handle, n, TVE_EXPAND);
    // The copy takes the selection before the node goes, so that the tree
    // does not select some other node meanwhile.
    if (wasSelected) tree.SetSelected(moved);
    tree.Delete(node);
  }
  if (wasSelected) TreeView_EnsureVisible(handle, moved);
  // The copies in menu order: each node before its children.
  std::vector<HTREEITEM> order, stack{moved};
  while (!stack.empty()) {
    HTREEITEM at = stack.back();
    stack.pop_back();
    order.push_back(at);
    std::vector<HTREEITEM> children;
    for (HTREEITEM child = tree.FirstChild(at); child; child = tree.NextSibling(child)) children.push_back(child);
    stack.insert(stack.end(), children.rbegin(), children.rend());
  }
  return order;
}

void TMenuEditorPanel::FillAssignments(const std::vector<std::string>& names) {
  assignment_->Clear();
  assignment_->Add(NoActionItem);
  for (const std::string& name : names) assignment_->Add(name);
}

void TMenuEditorPanel::AddAssignment(const std::string& name) { assignment_->Add(name); }

bool TMenuEditorPanel::IsEntryField(const TControl* control) {
  return control == &itemText_.Get() || control == &assignment_.Get();
}

bool TMenuEditorPanel::Owns(const TControl* control) {
  if (control == &tree_.Get() || control == &newItem_.Get() || IsEntryField(control)) return true;
  for (TBound<TButton>& button : buttons_)
    if (control == &button.Get()) return true;
  return false;
}

void TMenuEditorPanel::TreeView_MenuChange(TControl&) { editor_.NodeSelected(SelectedIndex()); }

void TMenuEditorPanel::ShowCheck(TMenuEntryCheck check) {
  if (check == mcNone) return;
  const TMenuEntryBalloon& balloon = MenuEntryBalloons[check];
  TControl& field = check == mcText ? static_cast<TControl&>(*itemText_) : *assignment_;
  balloons_.ShowValidation(field, balloon.Title, balloon.Text, balloon.Lifetime);
}

void TMenuEditorPanel::Button_NewItemClick(TControl&) {
  ShowCheck(editor_.NewItem(itemText_->Text(), assignment_->ItemIndex()));
}

void TMenuEditorPanel::Button_NewSubItemClick(TControl&) {
  ShowCheck(editor_.NewSubItem(itemText_->Text(), assignment_->ItemIndex()));
}

void TMenuEditorPanel::Button_EditItemClick(TControl&) {
  ShowCheck(editor_.EditItem(itemText_->Text(), assignment_->ItemIndex()));
}

void TMenuEditorPanel::Button_DelItemClick(TControl&) { editor_.DeleteItem(); }

void TMenuEditorPanel::Button_UpClick(TControl&) { editor_.MoveUp(); }

void TMenuEditorPanel::Button_DownClick(TControl&) { editor_.MoveDown(); }

#include "config/MenuEditor_win.h"

#include <commctrl.h>

#include "config/EditorPage.h"
#include "model/Wide_win.h"

namespace {
// The node after this one in a depth-first walk (each node before its
// children), as the menu list orders its entries.
HTREEITEM NextInMenuOrder(const TTreeView& tree, HTREEITEM node) {
  if (HTREEITEM child = tree.FirstChild(node)) return child;
  for (; node; node = tree.ParentOf(node))
    if (HTREEITEM sibling = tree.NextSibling(node)) return sibling;
  return nullptr;
}

const char* const MenuButtonNames[] = {"Button_NewSubItem", "Button_EditItem", "Button_DelItem", "Button_Up",
                                       "Button_Down"};
}  // namespace

TTreeView& TMenuTreeView::Tree() {
  TTreeView& tree = form_.Get<TTreeView>("TreeView_Menu");
  if (!wired_) {
    wired_ = true;
    auto place = [](TTreeDropPlace p) { return p == dpBefore ? mdBefore : p == dpAfter ? mdAfter : mdInto; };
    tree.CanDrop = [this, &tree, place](HTREEITEM node, HTREEITEM target, TTreeDropPlace p) {
      return CanDrop && CanDrop(IndexOf(tree, node), IndexOf(tree, target), place(p));
    };
    tree.Dropped = [this, &tree, place](HTREEITEM node, HTREEITEM target, TTreeDropPlace p) {
      if (Dropped) Dropped(IndexOf(tree, node), IndexOf(tree, target), place(p));
    };
  }
  return tree;
}

HTREEITEM TMenuTreeView::NodeAt(int index) {
  if (index < 0) return nullptr;
  TTreeView& tree = Tree();
  HTREEITEM node = tree.Root();
  for (int i = 0; node && i < index; ++i) node = NextInMenuOrder(tree, node);
  return node;
}

int TMenuTreeView::SelectedIndex() {
  TTreeView& tree = Tree();
  HTREEITEM node = tree.Selected();
  return node ? IndexOf(tree, node) : -1;
}

int TMenuTreeView::EntryIndexOf(HTREEITEM node) {
  if (indexesStale_) {
    indexes_.clear();
    walked_ = nullptr;
    indexesStale_ = false;
  }
  auto it = indexes_.find(node);
  if (it != indexes_.end()) return it->second;
  // The walk goes on from where it stopped, as far as this node: the tree
  // asks for the nodes it draws, from the top of its view down, so a change
  // near the top costs a short walk.
  TTreeView& tree = Tree();
  for (HTREEITEM n = walked_ ? NextInMenuOrder(tree, walked_) : tree.Root(); n; n = NextInMenuOrder(tree, n)) {
    const int index = static_cast<int>(indexes_.size());
    indexes_[n] = index;
    walked_ = n;
    if (n == node) return index;
  }
  return -1;
}

void TMenuTreeView::AddNode(int parent, int after, const std::string& text) {
  indexesStale_ = true;
  TTreeView& tree = Tree();
  HTREEITEM parentNode = NodeAt(parent);
  HTREEITEM afterNode = after >= 0 ? NodeAt(after) : TVI_LAST;
  TTreeUpdate update(tree);
  tree.Add(parentNode, text, afterNode);
}

void TMenuTreeView::LoadNode(int index, int parent, const std::string& text) {
  HTREEITEM parentNode = parent >= 0 && static_cast<size_t>(parent) < loaded_.size() ? loaded_[parent] : nullptr;
  indexesStale_ = true;
  if (loaded_.size() <= static_cast<size_t>(index)) loaded_.resize(index + 1);
  loaded_[index] = Tree().Add(parentNode, text);
}

void TMenuTreeView::SetNodeText(int index, const std::string& text) { Tree().SetText(NodeAt(index), text); }

int TMenuTreeView::DeleteNode(int index) {
  indexesStale_ = true;
  TTreeView& tree = Tree();
  HTREEITEM node = NodeAt(index);
  if (!node) return -1;
  {
    TTreeUpdate update(tree);
    tree.Delete(node);
  }
  return SelectedIndex();
}

void TMenuTreeView::MoveNode(int index, int parent, int after) {
  indexesStale_ = true;
  TTreeView& tree = Tree();
  HTREEITEM node = NodeAt(index);
  if (!node) return;
  MoveSubtree(tree, node, NodeAt(parent), after >= 0 ? NodeAt(after) : TVI_FIRST);
}

void TMenuTreeView::SelectNode(int index) { Tree().SetSelected(NodeAt(index)); }

std::vector<int> TMenuTreeView::ExpandedNodes() {
  TTreeView& tree = Tree();
  std::vector<int> expanded;
  int index = 0;
  for (HTREEITEM node = tree.Root(); node; node = NextInMenuOrder(tree, node), ++index)
    if (TreeView_GetItemState(tree.Handle, node, TVIS_EXPANDED) & TVIS_EXPANDED) expanded.push_back(index);
  return expanded;
}

void TMenuTreeView::ExpandNode(int index) {
  // A tree just loaded has its nodes by index at hand.
  HTREEITEM node = index >= 0 && static_cast<size_t>(index) < loaded_.size() ? loaded_[index] : NodeAt(index);
  if (node) TreeView_Expand(Tree().Handle, node, TVE_EXPAND);
}

void TMenuTreeView::ClearTree() {
  indexesStale_ = true;
  Tree().Clear();
  loaded_.clear();
}

void TMenuTreeView::FocusTree() { Tree().SetFocus(); }

void TMenuTreeView::ShowEntry(const std::string& text, int assignment) {
  form_.Get<TEdit>("Edit_ItemText").SetText(text);
  form_.Get<TComboBox>("ComboBox_Assignment").SetItemIndex(assignment);
}

void TMenuTreeView::SetEnabled(TMenuButton button, bool enabled) {
  form_.Control(MenuButtonNames[button]).SetEnabled(enabled);
}

int TMenuTreeView::IndexOf(TTreeView& tree, HTREEITEM node) {
  // The nodes before it are its ancestors, their earlier siblings' subtrees
  // and its own earlier siblings' subtrees: counted level by level upwards,
  // which costs far fewer messages than walking from the root.
  auto subtreeSize = [&tree](HTREEITEM n) {
    // An explicit stack: menus may nest deeper than the call stack allows.
    int size = 0;
    std::vector<HTREEITEM> stack{n};
    while (!stack.empty()) {
      HTREEITEM at = stack.back();
      stack.pop_back();
      ++size;
      for (HTREEITEM child = tree.FirstChild(at); child; child = tree.NextSibling(child)) stack.push_back(child);
    }
    return size;
  };
  int index = 0;
  for (HTREEITEM at = node; at; at = tree.ParentOf(at)) {
    for (HTREEITEM before = tree.PrevSibling(at); before; before = tree.PrevSibling(before))
      index += subtreeSize(before);
    if (at != node) ++index;
  }
  return index;
}

HTREEITEM TMenuTreeView::MoveSubtree(TTreeView& tree, HTREEITEM node, HTREEITEM parent, HTREEITEM after) {
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
  return moved;
}

// ---------------------------------------------------------------------------
// The editor page's side of the menu editor

TTreeView& TEditorPage::MenuTree() { return menuView_.Tree(); }

void TEditorPage::TreeView_MenuChange(TControl&) { menuEditor_.NodeSelected(menuView_.SelectedIndex()); }

void TEditorPage::ShowMenuEntryCheck(TMenuEntryCheck check) {
  if (check == mcNone) return;
  const TMenuEntryBalloon& balloon = MenuEntryBalloons[check];
  balloons_.ShowValidation(Control(balloon.Control), balloon.Title, balloon.Text, balloon.Lifetime);
}

void TEditorPage::Button_NewItemClick(TControl&) {
  ShowMenuEntryCheck(menuEditor_.NewItem(Get<TEdit>("Edit_ItemText").Text(),
                                         Get<TComboBox>("ComboBox_Assignment").ItemIndex()));
}

void TEditorPage::Button_NewSubItemClick(TControl&) {
  ShowMenuEntryCheck(menuEditor_.NewSubItem(Get<TEdit>("Edit_ItemText").Text(),
                                            Get<TComboBox>("ComboBox_Assignment").ItemIndex()));
}

void TEditorPage::Button_EditItemClick(TControl&) {
  ShowMenuEntryCheck(menuEditor_.EditItem(Get<TEdit>("Edit_ItemText").Text(),
                                          Get<TComboBox>("ComboBox_Assignment").ItemIndex()));
}

void TEditorPage::Button_DelItemClick(TControl&) { menuEditor_.DeleteItem(); }

void TEditorPage::Button_UpClick(TControl&) { menuEditor_.MoveUp(); }

void TEditorPage::Button_DownClick(TControl&) { menuEditor_.MoveDown(); }

void TEditorPage::MenuItemLoaded(int index, const TTRVMenuItem& entry) { menuEditor_.EntryLoaded(index, entry); }

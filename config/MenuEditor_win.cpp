#include "config/MenuEditor_win.h"

#include "config/EditorPage.h"

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

TTreeView& TMenuTreeView::Tree() { return form_.Get<TTreeView>("TreeView_Menu"); }

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
  return node ? tree.IndexOf(node) : -1;
}

void TMenuTreeView::AddNode(int parent, int after, const std::string& text) {
  TTreeView& tree = Tree();
  HTREEITEM parentNode = NodeAt(parent);
  HTREEITEM afterNode = after >= 0 ? NodeAt(after) : TVI_LAST;
  TTreeUpdate update(tree);
  tree.Add(parentNode, text, afterNode);
}

void TMenuTreeView::LoadNode(int index, int parent, const std::string& text) {
  HTREEITEM parentNode = parent >= 0 && static_cast<size_t>(parent) < loaded_.size() ? loaded_[parent] : nullptr;
  if (loaded_.size() <= static_cast<size_t>(index)) loaded_.resize(index + 1);
  loaded_[index] = Tree().Add(parentNode, text);
}

void TMenuTreeView::SetNodeText(int index, const std::string& text) { Tree().SetText(NodeAt(index), text); }

int TMenuTreeView::DeleteNode(int index) {
  TTreeView& tree = Tree();
  HTREEITEM node = NodeAt(index);
  if (!node) return -1;
  {
    TTreeUpdate update(tree);
    tree.Delete(node);
  }
  return SelectedIndex();
}

void TMenuTreeView::MoveNode(int index, int after) {
  TTreeView& tree = Tree();
  HTREEITEM node = NodeAt(index);
  if (!node) return;
  tree.MoveSubtree(node, tree.ParentOf(node), after >= 0 ? NodeAt(after) : TVI_FIRST);
}

void TMenuTreeView::SelectNode(int index) { Tree().SetSelected(NodeAt(index)); }

void TMenuTreeView::ClearTree() {
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

int TEditorPage::MenuItemLoaded(int index, const TTRVMenuItem& entry) { return menuEditor_.EntryLoaded(index, entry); }

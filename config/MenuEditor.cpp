// The menu structure editor of the editor page: the tree of menu entries,
// the fields of the entry being edited and the buttons that change both the
// tree and the menu list MenuItems, entry for entry.
#include "config/MainForm.h"
#include "model/Errors.h"

bool MenuTreeSync = true;

namespace {
// Switches the tree's selection reports off while the tree runs ahead of
// the menu list, and on again however the change ends.
class TMenuTreeChange {
 public:
  TMenuTreeChange() { MenuTreeSync = false; }
  ~TMenuTreeChange() { MenuTreeSync = true; }
  TMenuTreeChange(const TMenuTreeChange&) = delete;
  TMenuTreeChange& operator=(const TMenuTreeChange&) = delete;
};

TTRVMenuItem& MenuEntry(int index) {
  if (index < 0 || static_cast<size_t>(index) >= MenuItems.size()) RaiseListIndexError(index);
  return MenuItems[index];
}
}  // namespace

TTreeView& TForm1::MenuTree() { return Get<TTreeView>("TreeView_Menu"); }

void TForm1::TreeView_MenuChange(TControl&) { TreeView_MenuChange(MenuTree().Selected()); }

void TForm1::TreeView_MenuChange(HTREEITEM node) {
  if (!MenuTreeSync) return;
  TTreeView& tree = MenuTree();
  for (const char* name : {"Button_NewSubItem", "Button_EditItem", "Button_DelItem"})
    Control(name).SetEnabled(node != nullptr);
  Control("Button_Up").SetEnabled(node && tree.PrevSibling(node));
  Control("Button_Down").SetEnabled(node && tree.NextSibling(node));
  TEdit& text = Get<TEdit>("Edit_ItemText");
  TComboBox& assignment = Get<TComboBox>("ComboBox_Assignment");
  if (node) {
    // The entry's text is the node's caption, and whole even where the
    // tree would show a long one cut.
    const TTRVMenuItem& entry = MenuEntry(tree.IndexOf(node));
    text.SetText(entry.Text);
    assignment.SetItemIndex(entry.Assignment);
  } else {
    text.SetText("");
    assignment.SetItemIndex(-1);
  }
}

bool TForm1::ValidateMenuEntry() {
  TEdit& text = Get<TEdit>("Edit_ItemText");
  if (text.Text().empty()) {
    ShowValidationBalloon(text, "Kein Text zugewiesen", "Sie müssen dem Eintrag einen Text zuweisen.", 5000);
    return false;
  }
  TComboBox& assignment = Get<TComboBox>("ComboBox_Assignment");
  if (assignment.ItemIndex() < 0) {
    ShowValidationBalloon(assignment, "Keine Befehszeilengruppe zugewiesen",
                          "Sie müssen dem Eintrag eine Befehlszeilenfolge zuweisen.\r\n\r\nFalls Sie noch keine "
                          "Befehlszeilenfolgen erstellt haben, können Sie dies in der rechten Hälfte des Fensters tun.",
                          7000);
    return false;
  }
  return true;
}

void TForm1::PlaceNewMenuEntry(HTREEITEM node, const std::string& text, int assignment) {
  TTreeView& tree = MenuTree();
  tree.SetSelected(node);
  const int index = tree.IndexOf(node);
  InsertMenuItemSlot(index);
  MenuItems[index] = {text, assignment, tree.Depth(node)};
}

void TForm1::Button_NewItemClick(TControl&) {
  if (!ValidateMenuEntry()) return;
  TTreeView& tree = MenuTree();
  const std::string text = Get<TEdit>("Edit_ItemText").Text();
  {
    TMenuTreeChange change;
    // After the selected node's subtree, as its sibling; else at the end.
    HTREEITEM selected = tree.Selected();
    HTREEITEM node;
    {
      TTreeUpdate update(tree);
      node = selected ? tree.Add(tree.ParentOf(selected), text, selected) : tree.Add(nullptr, text);
    }
    PlaceNewMenuEntry(node, text, Get<TComboBox>("ComboBox_Assignment").ItemIndex());
  }
  ProjectModified = true;
  TreeView_MenuChange(tree.Selected());
}

void TForm1::Button_NewSubItemClick(TControl&) {
  if (!ValidateMenuEntry()) return;
  TTreeView& tree = MenuTree();
  HTREEITEM selected = tree.Selected();
  if (!selected) return;
  const std::string text = Get<TEdit>("Edit_ItemText").Text();
  const int assignment = Get<TComboBox>("ComboBox_Assignment").ItemIndex();
  HTREEITEM node;
  {
    TMenuTreeChange change;
    {
      TTreeUpdate update(tree);
      node = tree.Add(selected, text);
    }
    PlaceNewMenuEntry(node, text, assignment);
  }
  ProjectModified = true;
  TreeView_MenuChange(node);
}

void TForm1::Button_EditItemClick(TControl&) {
  if (!ValidateMenuEntry()) return;
  TTreeView& tree = MenuTree();
  HTREEITEM node = tree.Selected();
  if (!node) return;
  TTRVMenuItem& entry = MenuEntry(tree.IndexOf(node));
  const std::string text = Get<TEdit>("Edit_ItemText").Text();
  tree.SetText(node, text);
  entry.Text = text;
  entry.Assignment = Get<TComboBox>("ComboBox_Assignment").ItemIndex();
  ProjectModified = true;
}

void TForm1::Button_DelItemClick(TControl&) {
  TTreeView& tree = MenuTree();
  HTREEITEM node = tree.Selected();
  if (!node) return;
  // The list first, then the tree.
  DeleteMenuItem(tree.IndexOf(node));
  ProjectModified = true;
  {
    // The tree reports its new selection while the node is still half
    // there: shown once it is gone.
    TMenuTreeChange change;
    TTreeUpdate update(tree);
    tree.Delete(node);
  }
  TreeView_MenuChange(tree.Selected());
}

void TForm1::Button_UpClick(TControl&) {
  TTreeView& tree = MenuTree();
  HTREEITEM node = tree.Selected();
  HTREEITEM previous = node ? tree.PrevSibling(node) : nullptr;
  if (!previous) return;
  // The block then starts where the previous sibling's block started.
  HTREEITEM before = tree.PrevSibling(previous);
  MoveMenuEntry(node, before ? before : TVI_FIRST, tree.IndexOf(previous));
}

void TForm1::Button_DownClick(TControl&) {
  TTreeView& tree = MenuTree();
  HTREEITEM node = tree.Selected();
  HTREEITEM next = node ? tree.NextSibling(node) : nullptr;
  if (!next) return;
  // The block then ends where the next sibling's block ended: at its last
  // descendant, or at the next sibling itself.
  const int nextIndex = tree.IndexOf(next);
  MoveMenuEntry(node, next, nextIndex + CountDescendants(nextIndex));
}

void TForm1::MoveMenuEntry(HTREEITEM node, HTREEITEM after, int target) {
  TTreeView& tree = MenuTree();
  const int source = tree.IndexOf(node);
  {
    TMenuTreeChange change;
    node = tree.MoveSubtree(node, tree.ParentOf(node), after);
  }
  MoveMenuItem(source, target);
  ProjectModified = true;
  TreeView_MenuChange(node);
}

// The loader hands over one entry at a time, in list order. A node's parent
// is the nearest earlier entry of a smaller level: the entry whose block the
// new one belongs to, as the menu list counts blocks. So the tree's subtrees
// are the list's blocks even in a list that breaks the level rule (a first
// entry above level 0, a jump of more than one level), and such an entry's
// level becomes its depth in the tree: every later change then keeps tree
// and list alike.
void TForm1::MenuItemLoaded(int index) {
  TTRVMenuItem& entry = MenuEntry(index);
  while (!loadPath_.empty() && loadPath_.back().Level >= entry.Level) loadPath_.pop_back();
  HTREEITEM node = MenuTree().Add(loadPath_.empty() ? nullptr : loadPath_.back().Node, entry.Text);
  loadPath_.push_back({entry.Level, node});
  entry.Level = static_cast<int>(loadPath_.size()) - 1;
}

#include "config/MenuEditorPresenter.h"

#include <algorithm>

#include "config/ViewChange.h"

#include "model/Errors.h"
#include "model/Platform.h"

const TMenuEntryBalloon MenuEntryBalloons[2] = {
    {"Kein Text zugewiesen", "Sie müssen dem Eintrag einen Text zuweisen.", 5000},
    {"Keine Befehszeilengruppe zugewiesen",
     "Sie müssen dem Eintrag eine Befehlszeilenfolge zuweisen.\r\n\r\nFalls Sie noch keine "
     "Befehlszeilenfolgen erstellt haben, können Sie dies in der rechten Hälfte des Fensters tun.",
     7000},
};

TMenuEntryCheck CheckMenuEntry(const std::string& text, int assignment) {
  if (text.empty()) return mcText;
  if (assignment < 0) return mcAssignment;
  return mcNone;
}

TMenuEditor::TMenuEditor(TProject& project, IMenuEditorView& view) : project_(project), view_(view) {}

// The tree's subtrees are the list's blocks (the loader sees to that), so
// the tree's family relations can be read off the levels.
int TMenuEditor::ParentOf(int index) const {
  const int level = Level(index);
  for (int i = index - 1; i >= 0; --i)
    if (Level(i) < level) return i;
  return -1;
}

int TMenuEditor::PreviousSibling(int index) const {
  const int level = Level(index);
  for (int i = index - 1; i >= 0; --i) {
    if (Level(i) < level) return -1;
    if (Level(i) == level) return i;
  }
  return -1;
}

int TMenuEditor::NextSibling(int index) const {
  const int next = index + project_.CountDescendants(index) + 1;
  return next < Count() && Level(next) == Level(index) ? next : -1;
}

void TMenuEditor::ShowSelectedEntry() {
  const bool any = selected_ >= 0;
  for (TMenuButton button : {meNewSubItem, meEditItem, meDelItem}) view_.SetEnabled(button, any);
  view_.SetEnabled(meUp, any && PreviousSibling(selected_) >= 0);
  view_.SetEnabled(meDown, any && NextSibling(selected_) >= 0);
  if (any) {
    const TTRVMenuItem& entry = project_.MenuItem(selected_);
    view_.ShowEntry(entry.Text, entry.Assignment);
    view_.ShowFolder(entry.Folder);
  } else {
    view_.ShowEntry("", -1);
    view_.ShowFolder("");
  }
}

void TMenuEditor::NodeSelected(int index) {
  if (changing_) return;
  if (index >= Count()) RaiseListIndexError(index);
  selected_ = index < 0 ? -1 : index;
  ShowSelectedEntry();
}

void TMenuEditor::PlaceNewEntry(int parent, int after, int index, const TTRVMenuItem& entry) {
  {
    TViewChange change(changing_);
    view_.AddNode(parent, after, entry.Text);
    project_.InsertMenuItemAt(index, entry);
    selected_ = index;
    view_.SelectNode(index);
  }
  ShowSelectedEntry();
}

TMenuEntryCheck TMenuEditor::NewItem(const std::string& text, int assignment) {
  const TMenuEntryCheck check = CheckMenuEntry(text, assignment);
  if (check != mcNone) return check;
  PlaceSibling({text, assignment, 0});
  return mcNone;
}

void TMenuEditor::PlaceSibling(TTRVMenuItem entry) {
  if (selected_ < 0) {
    int last = Count() - 1;
    while (last >= 0 && Level(last) > 0) --last;
    entry.Level = 0;
    PlaceNewEntry(-1, last, Count(), entry);
  } else {
    // After the selected entry's block, as its sibling.
    const int index = selected_ + project_.CountDescendants(selected_) + 1;
    entry.Level = Level(selected_);
    PlaceNewEntry(ParentOf(selected_), selected_, index, entry);
  }
}

void TMenuEditor::NewFolderItem(const std::string& folder) {
  if (folder.empty()) return;
  // Named as the shell names the folder: its last part ("C:" for a drive).
  std::string path = folder;
  while (path.size() > 1 && path.back() == '\\') path.pop_back();
  const size_t slash = path.find_last_of('\\');
  std::string name = slash == std::string::npos || slash + 1 == path.size() ? path : path.substr(slash + 1);
  if (name.empty()) name = folder;
  PlaceSibling({name, 0, 0, folder});
}

TMenuEntryCheck TMenuEditor::NewSubItem(const std::string& text, int assignment) {
  const TMenuEntryCheck check = CheckMenuEntry(text, assignment);
  if (check != mcNone || selected_ < 0) return check;
  // The last child: at the end of the selected entry's block.
  const int index = selected_ + project_.CountDescendants(selected_) + 1;
  PlaceNewEntry(selected_, LastChild(selected_), index, {text, assignment, Level(selected_) + 1});
  return mcNone;
}

TMenuEntryCheck TMenuEditor::EditItem(const std::string& text, int assignment) {
  const TMenuEntryCheck check = CheckMenuEntry(text, assignment);
  if (check != mcNone || selected_ < 0) return check;
  view_.SetNodeText(selected_, text);
  // A folder's entry runs no group, whatever the list shows.
  project_.ChangeMenuItem(selected_, text, project_.MenuItem(selected_).Folder.empty() ? assignment : 0);
  return mcNone;
}

void TMenuEditor::DeleteItem() {
  if (selected_ < 0) return;
  project_.DeleteMenuItem(selected_);
  int chosen;
  {
    TViewChange change(changing_);
    chosen = view_.DeleteNode(selected_);
  }
  // Whatever the tree selects instead is what the fields show.
  selected_ = chosen >= 0 && chosen < Count() ? chosen : -1;
  ShowSelectedEntry();
}

void TMenuEditor::MoveEntry(int after, int target, int moved) {
  {
    TViewChange change(changing_);
    view_.MoveNode(selected_, ParentOf(selected_), after);
    project_.MoveMenuItem(selected_, target);
    selected_ = moved;
    view_.SelectNode(moved);
  }
  ShowSelectedEntry();
}

void TMenuEditor::MoveUp() {
  if (selected_ < 0) return;
  const int previous = PreviousSibling(selected_);
  if (previous < 0) return;
  // The block then starts where the previous sibling's block started.
  MoveEntry(PreviousSibling(previous), previous, previous);
}

void TMenuEditor::MoveDown() {
  if (selected_ < 0) return;
  const int next = NextSibling(selected_);
  if (next < 0) return;
  // The block then ends where the next sibling's block ended: at its last
  // descendant, or at the next sibling itself.
  const int nextBlock = project_.CountDescendants(next) + 1;
  MoveEntry(next, next + nextBlock - 1, selected_ + nextBlock);
}

int TMenuEditor::LastChild(int index) const {
  int last = -1;
  const int end = index + project_.CountDescendants(index) + 1;
  for (int i = index + 1; i < end; ++i)
    if (Level(i) == Level(index) + 1) last = i;
  return last;
}

bool TMenuEditor::CanDrop(int source, int target, TMenuDropPlace) const {
  if (source < 0 || target < 0 || source >= Count() || target >= Count()) return false;
  return target < source || target > source + project_.CountDescendants(source);
}

void TMenuEditor::Drop(int source, int target, TMenuDropPlace place) {
  if (!CanDrop(source, target, place)) return;
  const TTRVMenuItem& into = project_.MenuItem(target);
  if (place == mdInto && into.Assignment != 0 && project_.CountDescendants(target) == 0 &&
      Platform.MessageBoxes->Show("Der Eintrag \"" + into.Text +
                                      "\" hat eine eigene Befehlszeilengruppe und wird dadurch zum Untermenü. "
                                      "Möchten Sie den Eintrag trotzdem dorthin verschieben?",
                                  "Warnung", mbYesNo | mbIconWarning) != idYes)
    return;
  const int n = project_.CountDescendants(source) + 1;
  const int targetEnd = target + project_.CountDescendants(target) + 1;
  // In the list: the block goes before the target, or after its block; in
  // the tree: under the target's parent (or the target) after a node.
  int before, level, parent, after;
  switch (place) {
    case mdBefore:
      before = target, level = Level(target), parent = ParentOf(target), after = PreviousSibling(target);
      break;
    case mdAfter:
      before = targetEnd, level = Level(target), parent = ParentOf(target), after = target;
      break;
    default:
      before = targetEnd, level = Level(target) + 1, parent = target, after = LastChild(target);
      break;
  }
  // Dropped where it is already.
  if (after == source || (before == source + n && level == Level(source)) || (before == source && level == Level(source)))
    return;
  const int moved = before > source ? before - n : before;
  {
    TViewChange change(changing_);
    view_.MoveNode(source, parent, after);
    project_.MoveMenuBlock(source, before, level);
    selected_ = moved;
    view_.SelectNode(moved);
  }
  ShowSelectedEntry();
}

// A node's parent is the nearest earlier entry of a smaller level: the entry
// whose block the new one belongs to, as the menu list counts blocks. So the
// tree's subtrees are the list's blocks even in a list that breaks the level
// rule (a first entry above level 0, a jump of more than one level), and
// such an entry's level becomes its depth in the tree: every later change
// then keeps tree and list alike.
void TMenuEditor::EntryLoaded(int index, const TTRVMenuItem& entry) {
  view_.LoadNode(index, loadPath_.Add(index, entry.Level), entry.Text);
}

void TMenuEditor::Reset() {
  {
    // The emptied tree names no entry; the refresh below shows that.
    TViewChange change(changing_);
    view_.ClearTree();
  }
  loadPath_ = TMenuNesting();
  selected_ = -1;
  ShowSelectedEntry();
}

void TMenuEditor::MenuRestored(int index) {
  Reset();
  {
    TViewChange change(changing_);
    for (int i = 0; i < Count(); ++i) EntryLoaded(i, project_.MenuItem(i));
    loadPath_ = TMenuNesting();
    selected_ = std::min(index, Count() - 1);
    view_.SelectNode(selected_);
  }
  ShowSelectedEntry();
}

void TMenuEditor::MenuRestored(int start, const std::vector<TTRVMenuItem>& was, int count) {
  // The tree still shows the list as it was. Only the step's entries are
  // shown afresh, not the whole tree: the entries before them keep their
  // nodes, and so do those after, unless one of them hung below an entry
  // of the step, or now does: then it is shown afresh with them.
  std::vector<TTRVMenuItem> old(was);
  int end = start + count;
  auto lowest = [&] {
    int32_t low = INT32_MAX;
    for (const TTRVMenuItem& entry : old) low = std::min(low, entry.Level);
    for (int i = start; i < end; ++i) low = std::min(low, Level(i));
    return low;
  };
  if (old.empty() && end == start) return;
  for (int32_t low = lowest(); end < Count() && Level(end) > low; ++end) old.push_back(project_.MenuItem(end));
  const int oldCount = static_cast<int>(old.size());
  std::vector<int> again;
  {
    TViewChange change(changing_);
    // The submenus the tree showed open among the step's entries: found
    // again in the new ones by text and level.
    std::vector<bool> open(old.size());
    for (int i = 0; i < oldCount; ++i) open[static_cast<size_t>(i)] = view_.NodeExpanded(start + i);
    // Each top node of the old entries goes with its subtree, the last
    // first, so that the earlier ones keep their places.
    std::vector<bool> top(old.size());
    for (int i = 0, low = INT32_MAX; i < oldCount; ++i) {
      top[static_cast<size_t>(i)] = old[static_cast<size_t>(i)].Level <= low;
      low = std::min<int>(low, old[static_cast<size_t>(i)].Level);
    }
    for (int i = oldCount - 1; i >= 0; --i)
      if (top[static_cast<size_t>(i)]) view_.DeleteNode(start + i);
    for (int i = start; i < end; ++i) view_.AddNode(ParentOf(i), PreviousSibling(i), project_.MenuItem(i).Text);
    // Entries changed in place keep their places, whatever their new texts.
    bool inPlace = oldCount == end - start;
    for (int i = 0; inPlace && i < oldCount; ++i) inPlace = old[static_cast<size_t>(i)].Level == Level(start + i);
    std::vector<bool> taken(static_cast<size_t>(end - start));
    for (int i = 0; i < oldCount; ++i) {
      if (!open[static_cast<size_t>(i)]) continue;
      const TTRVMenuItem& entry = old[static_cast<size_t>(i)];
      if (inPlace) {
        again.push_back(start + i);
        continue;
      }
      for (int k = start; k < end; ++k) {
        if (taken[static_cast<size_t>(k - start)]) continue;
        const TTRVMenuItem& now = project_.MenuItem(k);
        if (now.Text == entry.Text && now.Level == entry.Level) {
          taken[static_cast<size_t>(k - start)] = true;
          again.push_back(k);
          break;
        }
      }
    }
    for (int index : again)
      if (project_.CountDescendants(index) > 0) view_.ExpandNode(index);
    selected_ = std::min(start, Count() - 1);
    view_.SelectNode(selected_);
  }
  ShowSelectedEntry();
}

void TMenuEditor::ShowEntryAt(int index) {
  if (index < 0 || index >= Count()) return;
  {
    TViewChange change(changing_);
    selected_ = index;
    view_.SelectNode(index);
  }
  ShowSelectedEntry();
  view_.FocusTree();
}

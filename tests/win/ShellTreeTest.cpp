#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/Form.h"
#include "shortcut/ShellControls.h"
#include "shortcut/ShellLink.h"
#include "shortcut/ShellNamespace.h"
#include "shortcut/ShellTreePath.h"
#include "tests/win/ShellTestWindow.h"
#include "tests/win/WinTestSupport.h"

namespace {

// A folder with subfolders, a hidden one among them, files and links.
class ShellTreeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* sub : {"b-Ordner", "A-Ordner", "Übung", ".versteckt", "A-Ordner\\innen"})
      ASSERT_TRUE(CreateDirectoryA((folder / sub).c_str(), nullptr)) << sub;
    // Wine reports dot names as hidden, whatever the file system keeps.
    ASSERT_TRUE(GetFileAttributesA((folder / ".versteckt").c_str()) & FILE_ATTRIBUTE_HIDDEN);
    WriteFileBytes(folder / "datei.txt", "x");
    WriteFileBytes(folder / "kein.lnk.txt", "x");
    ASSERT_TRUE(CreateShellLink(TrvExePath(), folder / "Zettel.lnk", "", "", "", 0, 0));
    ASSERT_TRUE(CreateShellLink(TrvExePath(), folder / "anleitung.LNK", "", "", "", 0, 0));
    path = folder.Path().substr(0, folder.Path().size() - 1);
  }

  std::vector<std::string> ChildNames(HTREEITEM node) {
    std::vector<std::string> names;
    for (HTREEITEM child = window.Tree.FirstChild(node); child; child = window.Tree.NextSibling(child))
      names.push_back(window.Tree.Text(child));
    return names;
  }

  HTREEITEM Child(HTREEITEM node, const std::string& name) {
    for (HTREEITEM child = window.Tree.FirstChild(node); child; child = window.Tree.NextSibling(child))
      if (window.Tree.Text(child) == name) return child;
    return nullptr;
  }

  TVITEMA ItemOf(HTREEITEM node) {
    TVITEMA item = {};
    item.mask = TVIF_HANDLE | TVIF_CHILDREN | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    item.hItem = node;
    TreeView_GetItem(window.Tree.Handle(), &item);
    return item;
  }

  TComApartment com;
  TTempFolder folder;
  std::string path;  // the folder without trailing backslash
  TShellTestWindow window;
};

TEST_F(ShellTreeTest, TreeStartsWithTheDesktopAsItsOnlyRoot) {
  HTREEITEM root = window.Tree.Root();
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(window.Tree.NextSibling(root), nullptr);
  EXPECT_EQ(window.Tree.Level(root), 0);
  EXPECT_EQ(window.Tree.NodeCount(), 1);
  ASSERT_NE(window.Tree.IdList(root), nullptr);
  EXPECT_EQ(window.Tree.IdList(root)->mkid.cb, 0);
  IShellFolder* desktop = DesktopFolder();
  EXPECT_EQ(window.Tree.Text(root), DisplayNameOf(desktop, window.Tree.IdList(root), SHGDN_NORMAL));
  desktop->Release();
  EXPECT_EQ(ItemOf(root).cChildren, 1);
  EXPECT_FALSE(window.Tree.IsExpanded(root));

  LONG style = GetWindowLongA(window.Tree.Handle(), GWL_STYLE);
  EXPECT_TRUE(style & TVS_SHOWSELALWAYS);
  EXPECT_TRUE(style & TVS_HASBUTTONS);
  EXPECT_FALSE(style & TVS_LINESATROOT);
  EXPECT_EQ(TreeView_GetImageList(window.Tree.Handle(), TVSIL_NORMAL), SystemImageList(true));
  EXPECT_EQ(GetParent(window.Tree.Handle()), window.Handle());
  EXPECT_EQ(GetDlgCtrlID(window.Tree.Handle()), 101);
}

TEST_F(ShellTreeTest, ExpandingShowsSubfoldersOnlyHiddenOnesIncluded) {
  SetShellTreePath(path, window.Tree);
  HTREEITEM node = window.Tree.Selected();
  ASSERT_NE(node, nullptr);
  EXPECT_EQ(ChildNames(node), (std::vector<std::string>{".versteckt", "A-Ordner", "b-Ordner", "Übung"}));
  for (HTREEITEM child = window.Tree.FirstChild(node); child; child = window.Tree.NextSibling(child)) {
    const std::string name = window.Tree.Text(child);
    EXPECT_EQ(ParsingName(window.Tree.IdList(child)), folder / name);
    EXPECT_EQ(window.Tree.Level(child), window.Tree.Level(node) + 1);
    // The shell's own icons, closed and open.
    TVITEMA item = ItemOf(child);
    EXPECT_EQ(item.iImage, SystemIconIndex(window.Tree.IdList(child), false)) << name;
    EXPECT_EQ(item.iSelectedImage, SystemIconIndex(window.Tree.IdList(child), true)) << name;
    EXPECT_GT(item.iImage, 0) << name;
    // Children are read when a node is expanded, not before.
    EXPECT_EQ(window.Tree.FirstChild(child), nullptr) << name;
  }
  // (Wine reports every folder as having subfolders, so "b-Ordner" shows a
  // button until it is expanded.)
  EXPECT_EQ(ItemOf(Child(node, "A-Ordner")).cChildren, 1);

  // Expanding reads one level: "innen" appears, its own children do not.
  HTREEITEM a = Child(node, "A-Ordner");
  window.Tree.Expand(a);
  EXPECT_EQ(ChildNames(a), std::vector<std::string>{"innen"});
  EXPECT_FALSE(window.Tree.IsExpanded(window.Tree.FirstChild(a)));
}

TEST_F(ShellTreeTest, ExpandingAFolderWithoutSubfoldersRemovesItsButton) {
  SetShellTreePath(folder / "A-Ordner\\innen", window.Tree);
  HTREEITEM node = window.Tree.Selected();
  ASSERT_EQ(window.Tree.Text(node), "innen");
  EXPECT_EQ(window.Tree.FirstChild(node), nullptr);
  EXPECT_EQ(ItemOf(node).cChildren, 0);
}

TEST_F(ShellTreeTest, ExpandingFromTheKeyboardReadsTheChildren) {
  SetShellTreePath(path, window.Tree);
  HTREEITEM a = Child(window.Tree.Selected(), "A-Ordner");
  ASSERT_NE(a, nullptr);
  window.Tree.SetSelected(a);
  ASSERT_EQ(window.Tree.FirstChild(a), nullptr);
  // The user's expansion reaches the tree through its own notification.
  SendMessageA(window.Tree.Handle(), WM_KEYDOWN, VK_RIGHT, 0);
  EXPECT_TRUE(window.Tree.IsExpanded(a));
  EXPECT_EQ(ChildNames(a), std::vector<std::string>{"innen"});
  // Collapsing and expanding again does not read them twice.
  SendMessageA(window.Tree.Handle(), WM_KEYDOWN, VK_LEFT, 0);
  SendMessageA(window.Tree.Handle(), WM_KEYDOWN, VK_RIGHT, 0);
  EXPECT_EQ(ChildNames(a), std::vector<std::string>{"innen"});
}

TEST_F(ShellTreeTest, AutomaticRefreshReadsChildrenAgainOnExpanding) {
  SetShellTreePath(path, window.Tree);
  HTREEITEM node = window.Tree.Selected();
  const std::vector<std::string> before = ChildNames(node);
  ASSERT_TRUE(CreateDirectoryA((folder / "neu").c_str(), nullptr));

  window.Tree.AutoRefresh = false;
  window.Tree.Collapse(node, false);
  window.Tree.Expand(node);
  EXPECT_EQ(ChildNames(node), before);

  window.Tree.AutoRefresh = true;
  window.Tree.Collapse(node, false);
  window.Tree.Expand(node);
  std::vector<std::string> after = ChildNames(node);
  EXPECT_EQ(after.size(), before.size() + 1);
  EXPECT_NE(std::find(after.begin(), after.end(), "neu"), after.end());
}

TEST_F(ShellTreeTest, CollapsingRecursivelyClosesTheWholeSubtree) {
  SetShellTreePath(folder / "A-Ordner\\innen", window.Tree);
  HTREEITEM computer = window.Tree.FirstChild(window.Tree.Root());
  while (computer && !window.Tree.IsExpanded(computer)) computer = window.Tree.NextSibling(computer);
  ASSERT_NE(computer, nullptr);
  window.Tree.Collapse(computer, true);
  EXPECT_EQ(window.ExpandedNodes(), std::set<HTREEITEM>{window.Tree.Root()});
}

TEST_F(ShellTreeTest, SelectionChangeReportsTheParsingNameAndFillsTheList) {
  std::vector<std::string> reported;
  window.Tree.OnChange = [&] { reported.push_back(window.Tree.SelectedPath()); };
  SetShellTreePath(path, window.Tree);
  ASSERT_FALSE(reported.empty());
  EXPECT_EQ(reported.back(), path);
  EXPECT_GT(window.List.Count(), 0);

  window.Tree.SetSelected(Child(window.Tree.Selected(), "A-Ordner"));
  EXPECT_EQ(reported.back(), folder / "A-Ordner");
  EXPECT_EQ(window.ListNames(), std::vector<std::string>{"innen"});

  window.Tree.SetSelected(nullptr);
  EXPECT_EQ(reported.back(), "");
  EXPECT_EQ(window.List.Count(), 0);
}

TEST_F(ShellTreeTest, RightClickSelectsTheNodeUnderTheMouse) {
  SetShellTreePath(path, window.Tree);
  HTREEITEM target = Child(window.Tree.Selected(), "b-Ordner");
  ASSERT_NE(target, nullptr);
  RECT rect = {};
  ASSERT_TRUE(TreeView_GetItemRect(window.Tree.Handle(), target, &rect, TRUE));
  POINT point = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  POINT screen = point;
  ClientToScreen(window.Tree.Handle(), &screen);
  POINT old;
  GetCursorPos(&old);  // a process's first SetCursorPos goes astray without it
  ASSERT_TRUE(SetCursorPos(screen.x, screen.y));

  PostMessageA(window.Tree.Handle(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(point.x, point.y));
  PostMessageA(window.Tree.Handle(), WM_RBUTTONUP, 0, MAKELPARAM(point.x, point.y));
  for (int i = 0; i < 50 && window.Tree.Selected() != target; ++i) window.Hold(20);
  EXPECT_EQ(window.Tree.Selected(), target);
  EXPECT_EQ(window.Tree.SelectedPath(), folder / "b-Ordner");
}

TEST_F(ShellTreeTest, ListShowsFoldersAndLinksOnlySorted) {
  SetShellTreePath(path, window.Tree);
  const std::vector<std::string> names = window.ListNames();
  EXPECT_EQ(names, (std::vector<std::string>{"A-Ordner", "b-Ordner", "Übung", "anleitung", "Zettel"}));
  std::vector<std::string> paths;
  for (int i = 0; i < window.List.Count(); ++i) paths.push_back(window.List.Item(i).PathName);
  EXPECT_EQ(paths, (std::vector<std::string>{folder / "A-Ordner", folder / "b-Ordner", folder / "Übung",
                                             folder / "anleitung.LNK", folder / "Zettel.lnk"}));
  // The owner was asked about the files it refused; hidden items are not
  // listed at all.
  std::vector<std::string> asked;
  for (const TShellListItem& item : window.Asked) asked.push_back(item.PathName);
  EXPECT_NE(std::find(asked.begin(), asked.end(), folder / "datei.txt"), asked.end());
  EXPECT_NE(std::find(asked.begin(), asked.end(), folder / "kein.lnk.txt"), asked.end());
  EXPECT_EQ(std::find(asked.begin(), asked.end(), folder / ".versteckt"), asked.end());
  for (const TShellListItem& item : window.Asked)
    EXPECT_EQ(item.IsFolder, (GetFileAttributesA(item.PathName.c_str()) & FILE_ATTRIBUTE_DIRECTORY) != 0)
        << item.PathName;

  LONG style = GetWindowLongA(window.List.Handle(), GWL_STYLE);
  EXPECT_EQ(style & LVS_TYPEMASK, LVS_LIST);
  EXPECT_TRUE(style & LVS_EDITLABELS);
  EXPECT_TRUE(style & LVS_SHOWSELALWAYS);
}

TEST_F(ShellTreeTest, ListReportsItsSelectionChanges) {
  SetShellTreePath(path, window.Tree);
  int changes = 0;
  window.List.OnChange = [&] { ++changes; };
  ListView_SetItemState(window.List.Handle(), 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  EXPECT_EQ(changes, 1);
  // Selecting in the list does not change the folder.
  EXPECT_EQ(window.Tree.SelectedPath(), path);
  ListView_SetItemState(window.List.Handle(), 2, LVIS_SELECTED, LVIS_SELECTED);
  EXPECT_GE(changes, 2);
}

TEST_F(ShellTreeTest, ControlsDestroyedBeforeTheirParentLeaveItWorking) {
  HWND handle = nullptr;
  {
    TShellTreeView tree;
    TShellListView list;
    tree.Create(window.Handle(), 201, RECT{0, 0, 100, 100});
    list.Create(window.Handle(), 202, RECT{0, 0, 100, 100});
    tree.ShellListView = &list;
    SetShellTreePath(path, tree);
    ASSERT_GT(list.Count(), 0);
    handle = tree.Handle();
  }
  EXPECT_FALSE(IsWindow(handle));
  // The parent no longer passes notifications to the destroyed wrappers, and
  // the controls that remain still work.
  NMTREEVIEWA fake = {};
  fake.hdr.hwndFrom = handle;
  fake.hdr.idFrom = 201;
  fake.hdr.code = TVN_SELCHANGEDA;
  SendMessageA(window.Handle(), WM_NOTIFY, 201, reinterpret_cast<LPARAM>(&fake));
  SetShellTreePath(path, window.Tree);
  EXPECT_EQ(window.Tree.SelectedPath(), path);
  EXPECT_GT(window.List.Count(), 0);
}

TEST_F(ShellTreeTest, ListRenamesThroughTheShell) {
  SetShellTreePath(path, window.Tree);
  std::vector<std::string> names = window.ListNames();
  const int folderIndex = static_cast<int>(std::find(names.begin(), names.end(), "b-Ordner") - names.begin());
  ASSERT_LT(folderIndex, window.List.Count());
  EXPECT_TRUE(window.List.Rename(folderIndex, "c-Ordner"));
  EXPECT_EQ(window.List.Item(folderIndex).Name, "c-Ordner");
  EXPECT_EQ(window.List.Item(folderIndex).PathName, folder / "c-Ordner");
  EXPECT_TRUE(GetFileAttributesA((folder / "c-Ordner").c_str()) & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(GetFileAttributesA((folder / "b-Ordner").c_str()), INVALID_FILE_ATTRIBUTES);

  // A name that is taken is refused, and nothing changes.
  EXPECT_FALSE(window.List.Rename(folderIndex, "A-Ordner"));
  EXPECT_EQ(window.List.Item(folderIndex).Name, "c-Ordner");
  EXPECT_TRUE(GetFileAttributesA((folder / "c-Ordner").c_str()) & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_FALSE(window.List.Rename(folderIndex, ""));
  EXPECT_FALSE(window.List.Rename(99, "x"));
}

TEST_F(ShellTreeTest, ListLabelEditedInPlaceRenamesTheLink) {
  SetShellTreePath(path, window.Tree);
  std::vector<std::string> names = window.ListNames();
  const int index = static_cast<int>(std::find(names.begin(), names.end(), "Zettel") - names.begin());
  ASSERT_LT(index, window.List.Count());
  SetFocus(window.List.Handle());
  HWND edit = ListView_EditLabel(window.List.Handle(), index);
  ASSERT_NE(edit, nullptr);
  SetWindowTextA(edit, "Notiz");
  SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
  window.Pump();
  EXPECT_EQ(window.List.Item(index).Name, "Notiz");
  char text[MAX_PATH] = {};
  ListView_GetItemText(window.List.Handle(), index, 0, text, MAX_PATH);
  EXPECT_STREQ(text, "Notiz");
  EXPECT_NE(GetFileAttributesA((folder / "Notiz.lnk").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetFileAttributesA((folder / "Zettel.lnk").c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace

namespace {

// The tree and the list as rows of a window's control table: found by name,
// with their Tag, and with the focus events every control has.
class TShellRowsForm : public TForm {
 public:
  TShellRowsForm() : TForm("TShellRowsForm") {
    ClientWidth = 500;
    ClientHeight = 300;
  }
  void Build() {
    Create({
        {Kind<TShellTreeViewControl>, "ShellTreeView", nullptr, 0, 0, 240, 300, 29, "", coTabStop, {},
         {On(evExit, this, &TShellRowsForm::Exited)}},
        {Kind<TShellListViewControl>, "ShellListView", nullptr, 250, 0, 240, 300, 29, "", coTabStop, {},
         {On(evExit, this, &TShellRowsForm::Exited)}},
    });
  }
  std::vector<std::string> Exits;

 private:
  void Exited(TControl& sender) { Exits.push_back(sender.Name); }
};

TEST(ShellRows, TreeAndListAreTableRowsWithTagAndExit) {
  TComApartment com;
  auto form = NewForm<TShellRowsForm>();
  form->Build();
  form->Show();
  auto& tree = form->Get<TShellTreeViewControl>("ShellTreeView");
  auto& list = form->Get<TShellListViewControl>("ShellListView");
  EXPECT_EQ(tree.Handle, tree.Tree.Handle());
  EXPECT_EQ(list.Handle, list.List.Handle());
  EXPECT_EQ(GetWindowLongPtrA(tree.Handle, GWLP_USERDATA), 29);
  EXPECT_EQ(tree.Tree.Level(tree.Tree.Root()), 0);
  tree.SetFocus();
  list.SetFocus();
  tree.SetFocus();
  EXPECT_EQ(form->Exits, (std::vector<std::string>{"ShellTreeView", "ShellListView"}));
  EXPECT_EQ(form->ActiveControl(), &tree);
}

}  // namespace

#include <gtest/gtest.h>

#include <shlobj.h>

#include <cstring>
#include <cstdlib>
#include <set>
#include <vector>

#include "shortcut/ShellLink.h"
#include "shortcut/ShellNamespace.h"
#include "shortcut/ShellTreePath.h"
#include "tests/win/ShellTestWindow.h"
#include "tests/win/WinTestSupport.h"

namespace {

// The shell allocator, counting what passes through it; it can be told to
// run out of memory after a number of blocks.
class TCountingMalloc : public IMalloc {
 public:
  std::set<void*> Outstanding;
  int Allocations = 0;
  int ForeignFrees = 0;  // blocks freed here that others allocated
  int FailAfter = -1;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (riid == IID_IUnknown || riid == IID_IMalloc) {
      *object = this;
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  void* STDMETHODCALLTYPE Alloc(SIZE_T size) override {
    if (FailAfter >= 0 && Allocations >= FailAfter) return nullptr;
    void* block = CoTaskMemAlloc(size);
    // Garbage in a fresh block, so that a missing zero fill shows.
    if (block) std::memset(block, 0xCD, size);
    ++Allocations;
    Outstanding.insert(block);
    return block;
  }
  void* STDMETHODCALLTYPE Realloc(void*, SIZE_T) override { return nullptr; }
  void STDMETHODCALLTYPE Free(void* block) override {
    if (!Outstanding.erase(block)) ++ForeignFrees;
    CoTaskMemFree(block);
  }
  SIZE_T STDMETHODCALLTYPE GetSize(void*) override { return static_cast<SIZE_T>(-1); }
  int STDMETHODCALLTYPE DidAlloc(void* block) override { return Outstanding.count(block) ? 1 : 0; }
  void STDMETHODCALLTYPE HeapMinimize() override {}
};

// An item identifier list built from item sizes (each item's data filled
// with its position), for the list helpers.
std::vector<BYTE> MakeIdList(const std::vector<USHORT>& itemSizes) {
  std::vector<BYTE> bytes;
  BYTE fill = 1;
  for (USHORT size : itemSizes) {
    bytes.push_back(static_cast<BYTE>(size & 0xFF));
    bytes.push_back(static_cast<BYTE>(size >> 8));
    for (USHORT i = 2; i < size; ++i) bytes.push_back(fill);
    ++fill;
  }
  bytes.push_back(0);
  bytes.push_back(0);
  return bytes;
}

LPITEMIDLIST AsIdList(std::vector<BYTE>& bytes) { return reinterpret_cast<LPITEMIDLIST>(bytes.data()); }

TEST(IdListHelpers, SizeCountsEveryItemAndTheTerminator) {
  EXPECT_EQ(IdListSize(nullptr), 0u);
  const struct {
    std::vector<USHORT> items;
    UINT size;
  } cases[] = {{{}, 2}, {{5}, 7}, {{4, 6, 3}, 15}, {{300, 2}, 304}};
  for (const auto& c : cases) {
    std::vector<BYTE> list = MakeIdList(c.items);
    EXPECT_EQ(IdListSize(AsIdList(list)), c.size);
  }
}

TEST(IdListHelpers, StripLastItemGivesTheParentList) {
  StripLastItemId(nullptr);  // must not crash
  const struct {
    std::vector<USHORT> items;
    UINT strippedSize;
  } cases[] = {{{}, 2}, {{5}, 2}, {{4, 6, 3}, 12}, {{300, 2}, 302}};
  for (const auto& c : cases) {
    std::vector<BYTE> list = MakeIdList(c.items);
    std::vector<BYTE> original = list;
    StripLastItemId(AsIdList(list));
    EXPECT_EQ(IdListSize(AsIdList(list)), c.strippedSize);
    // The remaining items are untouched.
    EXPECT_EQ(std::memcmp(list.data(), original.data(), c.strippedSize - 2), 0);
  }
}

TEST(IdListHelpers, CopyIsAZeroFilledBlockOfTheListsSize) {
  TCountingMalloc allocator;
  for (const std::vector<USHORT>& items : {std::vector<USHORT>{}, {5}, {4, 6, 3}}) {
    std::vector<BYTE> list = MakeIdList(items);
    LPITEMIDLIST copy = CopyIdList(&allocator, AsIdList(list));
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(static_cast<void*>(copy), static_cast<void*>(list.data()));
    EXPECT_EQ(IdListSize(copy), list.size());
    EXPECT_EQ(std::memcmp(copy, list.data(), list.size()), 0);
    allocator.Free(copy);
  }
  EXPECT_EQ(allocator.Allocations, 3);
  EXPECT_TRUE(allocator.Outstanding.empty());
}

TEST(IdListHelpers, AncestorListRunsFromTheDesktopToTheParent) {
  TCountingMalloc allocator;
  std::vector<BYTE> target = MakeIdList({4, 6, 3});
  {
    TAncestorList ancestors(&allocator, AsIdList(target));
    ASSERT_EQ(ancestors.Items().size(), 3u);
    const UINT sizes[] = {2, 6, 12};
    for (size_t i = 0; i < 3; ++i) {
      EXPECT_EQ(IdListSize(ancestors.Items()[i]), sizes[i]) << i;
      EXPECT_EQ(std::memcmp(ancestors.Items()[i], target.data(), sizes[i] - 2), 0) << i;
    }
  }
  EXPECT_TRUE(allocator.Outstanding.empty());

  std::vector<BYTE> desktop = MakeIdList({});
  TAncestorList none(&allocator, AsIdList(desktop));
  EXPECT_TRUE(none.Items().empty());
}

TEST(IdListHelpers, AllocatorFailureRaisesAndFreesWhatWasCopied) {
  TCountingMalloc allocator;
  allocator.FailAfter = 2;
  std::vector<BYTE> target = MakeIdList({4, 6, 3, 8});
  try {
    TAncestorList ancestors(&allocator, AsIdList(target));
    ADD_FAILURE() << "no error";
  } catch (const EOleSysError& e) {
    EXPECT_EQ(e.ErrorCode, E_OUTOFMEMORY);
  }
  EXPECT_EQ(allocator.Allocations, 2);
  EXPECT_TRUE(allocator.Outstanding.empty());
}

// A tree and a list in a real window, over a folder structure of its own.
class ShellTreePathTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* sub : {"Ebene 1", "Ebene 1\\Ebene ä", "Ebene 1\\Ebene ä\\Ebene 3", "Ebene 1\\Ebene ä\\Ebene 3\\Ziel",
                            "Ebene 1\\Ebene ä\\Ebene 3\\Ziel\\Unten", "Ebene 1\\Nachbar", "Ebene 1\\Nachbar\\Tiefer"})
      ASSERT_TRUE(CreateDirectoryA((folder / sub).c_str(), nullptr)) << sub;
    WriteFileBytes(folder / "Ebene 1\\datei.txt", "x");
    target = folder / "Ebene 1\\Ebene ä\\Ebene 3\\Ziel";
  }

  // A tree a few rows high, so that a node deep down needs scrolling.
  void MakeTreeShort() {
    SetWindowPos(window.Tree.Handle(), nullptr, 0, 0, 412, 120, SWP_NOMOVE | SWP_NOZORDER);
  }

  // The node is the top item, or as near the top as the tree can scroll: the
  // tree is scrolled to its end and the node is in view.
  ::testing::AssertionResult ScrolledToTop(HTREEITEM node) {
    HWND tree = window.Tree.Handle();
    if (window.Tree.TopItem() == node) return ::testing::AssertionSuccess();
    SCROLLINFO scroll = {};
    scroll.cbSize = sizeof(scroll);
    scroll.fMask = SIF_ALL;
    RECT rect = {};
    bool visible = TreeView_GetItemRect(tree, node, &rect, TRUE) != 0;
    bool atEnd = GetScrollInfo(tree, SB_VERT, &scroll) && scroll.nPos > 0 &&
                 scroll.nPos + static_cast<int>(scroll.nPage) > scroll.nMax;
    if (visible && atEnd) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "top item " << window.Tree.Text(window.Tree.TopItem()) << ", node "
                                         << window.Tree.Text(node) << (visible ? " visible" : " hidden")
                                         << ", scroll position " << scroll.nPos << " of " << scroll.nMax;
  }

  HTREEITEM NodeWithPath(const std::string& path) {
    for (HTREEITEM node = window.Tree.Root(); node; node = window.Tree.NextNode(node))
      if (ParsingName(window.Tree.IdList(node)) == path) return node;
    return nullptr;
  }

  TComApartment com;
  TTempFolder folder;
  TShellTestWindow window;
  std::string target;
};

TEST_F(ShellTreePathTest, DeepFolderExpandsEachAncestorOnceAndSelectsTheTarget) {
  TCountingMalloc allocator;
  MakeTreeShort();
  window.Tree.AutoRefresh = true;
  SetShellTreePath(target, window.Tree, &allocator);

  HTREEITEM selected = window.Tree.Selected();
  ASSERT_NE(selected, nullptr);
  EXPECT_EQ(window.Tree.SelectedPath(), target);
  EXPECT_EQ(window.Tree.Text(selected), "Ziel");
  EXPECT_TRUE(ScrolledToTop(selected));
  EXPECT_EQ(GetFocus(), window.Tree.Handle());
  EXPECT_TRUE(window.Tree.AutoRefresh);

  // Exactly the ancestors and the target are expanded, each once; the
  // target's children are there, but not expanded themselves.
  std::set<HTREEITEM> chain;
  for (HTREEITEM node = selected; node; node = window.Tree.Parent(node)) chain.insert(node);
  EXPECT_EQ(window.ExpandedNodes(), chain);
  for (HTREEITEM node : chain) EXPECT_EQ(window.Expansions[node], 1) << window.Tree.Text(node);
  EXPECT_EQ(window.Expansions.size(), chain.size());
  HTREEITEM child = window.Tree.FirstChild(selected);
  ASSERT_NE(child, nullptr);
  EXPECT_EQ(window.Tree.Text(child), "Unten");
  EXPECT_EQ(window.Tree.FirstChild(child), nullptr);
  // The sibling beside an ancestor was not read.
  HTREEITEM neighbour = NodeWithPath(folder / "Ebene 1\\Nachbar");
  ASSERT_NE(neighbour, nullptr);
  EXPECT_EQ(window.Tree.FirstChild(neighbour), nullptr);

  // Every copy is freed, and so is the list the shell parsed.
  EXPECT_GT(allocator.Allocations, 4);
  EXPECT_TRUE(allocator.Outstanding.empty());
  EXPECT_EQ(allocator.ForeignFrees, 1);
}

TEST_F(ShellTreePathTest, AlreadySelectedFolderIsScrolledExpandedAndFocusedOnly) {
  MakeTreeShort();
  SetShellTreePath(target, window.Tree);
  HTREEITEM selected = window.Tree.Selected();
  ASSERT_NE(selected, nullptr);
  window.Tree.Collapse(selected, false);
  window.Tree.SetTopItem(window.Tree.Root());
  ASSERT_EQ(window.Tree.TopItem(), window.Tree.Root());
  SetFocus(window.List.Handle());
  const int nodes = window.Tree.NodeCount();
  std::set<HTREEITEM> expandedBefore = window.ExpandedNodes();
  window.Expansions.clear();
  window.SelectionChanges = 0;

  SetShellTreePath(target, window.Tree);

  EXPECT_EQ(window.Tree.Selected(), selected);
  EXPECT_EQ(window.SelectionChanges, 0);
  EXPECT_EQ(window.Tree.NodeCount(), nodes);
  expandedBefore.insert(selected);
  EXPECT_EQ(window.ExpandedNodes(), expandedBefore);
  EXPECT_TRUE(ScrolledToTop(selected));
  EXPECT_EQ(GetFocus(), window.Tree.Handle());
}

TEST_F(ShellTreePathTest, FolderDirectlyUnderTheDesktop) {
  // The computer's drive overview is a child of the desktop.
  const std::string computer = "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";
  MakeTreeShort();
  SetShellTreePath(computer, window.Tree);
  HTREEITEM selected = window.Tree.Selected();
  ASSERT_NE(selected, nullptr);
  EXPECT_EQ(window.Tree.Parent(selected), window.Tree.Root());
  // (Wine reports the class identifier in small letters.)
  EXPECT_EQ(CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, window.Tree.SelectedPath().c_str(), -1,
                           computer.c_str(), -1), CSTR_EQUAL) << window.Tree.SelectedPath();
  EXPECT_EQ(window.ExpandedNodes(), (std::set<HTREEITEM>{window.Tree.Root(), selected}));
  EXPECT_TRUE(ScrolledToTop(selected));
  EXPECT_EQ(GetFocus(), window.Tree.Handle());
}

TEST_F(ShellTreePathTest, MovingOnReusesTheNodesOnTheWay) {
  SetShellTreePath(target, window.Tree);
  HTREEITEM level1 = NodeWithPath(folder / "Ebene 1");
  ASSERT_NE(level1, nullptr);
  window.Expansions.clear();

  SetShellTreePath(folder / "Ebene 1\\Nachbar", window.Tree);
  EXPECT_EQ(window.Tree.SelectedPath(), folder / "Ebene 1\\Nachbar");
  EXPECT_EQ(window.Tree.Parent(window.Tree.Selected()), level1);
  // Only the new target had to be read and expanded.
  EXPECT_EQ(window.Expansions.size(), 1u);
  EXPECT_EQ(window.Expansions.count(window.Tree.Selected()), 1u);
}

TEST_F(ShellTreePathTest, PathsTheShellCannotParseRaiseAndChangeNothing) {
  SetShellTreePath(target, window.Tree);
  const HTREEITEM selected = window.Tree.Selected();
  const int nodes = window.Tree.NodeCount();
  // (Wine's desktop accepts any well-formed class identifier, so no unknown
  // "::{...}" name is among these.)
  const std::string paths[] = {folder / "gibt es nicht", folder / "Ebene 1\\fehlt\\auch", "Q:\\Ordner",
                               "C:\\a<b>|", "\\\\server\\freigabe", "keine Angabe"};
  for (bool autoRefresh : {false, true}) {
    for (const std::string& path : paths) {
      window.Tree.AutoRefresh = autoRefresh;
      window.Expansions.clear();
      try {
        SetShellTreePath(path, window.Tree);
        ADD_FAILURE() << path << " was accepted";
      } catch (const EInvalidPath& e) {
        EXPECT_EQ(e.Message(), "Fehler beim Festlegen des Pfades: \"" + path + "\"");
      }
      EXPECT_EQ(window.Tree.Selected(), selected) << path;
      EXPECT_EQ(window.Tree.NodeCount(), nodes) << path;
      EXPECT_TRUE(window.Expansions.empty()) << path;
      EXPECT_EQ(window.Tree.AutoRefresh, autoRefresh) << path;
    }
  }
}

TEST_F(ShellTreePathTest, TargetTheTreeDoesNotShowClearsTheSelection) {
  // The tree shows folders only: a file is parsed, its folders are expanded,
  // but there is no node to select.
  SetShellTreePath(target, window.Tree);
  SetShellTreePath(folder / "Ebene 1\\datei.txt", window.Tree);
  EXPECT_EQ(window.Tree.Selected(), nullptr);
  EXPECT_EQ(window.Tree.SelectedPath(), "");
  EXPECT_TRUE(window.Tree.IsExpanded(NodeWithPath(folder / "Ebene 1")));
  EXPECT_EQ(window.List.Count(), 0);
  EXPECT_EQ(GetFocus(), window.Tree.Handle());
}

TEST_F(ShellTreePathTest, StartMenuOfTheUser) {
  char path[MAX_PATH] = {};
  ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, path, CSIDL_STARTMENU, FALSE));
  SetShellTreePath(path, window.Tree);
  EXPECT_EQ(window.Tree.SelectedPath(), path);
  TShellListItem first = window.List.Item(0);
  for (int i = 0; i < window.List.Count(); ++i) EXPECT_EQ(window.List.Item(i).PathName.rfind(path, 0), 0u);
  // To look at the window: TARVO_SHELLTEST_HOLD_MS=10000.
  if (const char* hold = std::getenv("TARVO_SHELLTEST_HOLD_MS")) window.Hold(static_cast<DWORD>(std::atoi(hold)));
}

}  // namespace

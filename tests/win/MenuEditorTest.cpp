// The menu structure editor in process: the real configuration window, its
// tree and buttons, with the menu list checked against the tree after every
// step.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/Paint.h"
#include "tests/win/EditorFormFixture.h"
#include "tests/win/FormTestSupport.h"

namespace {

// Menu shapes written as "A(B(C),D),E": children in brackets after their
// parent.
std::string TreeShape(TTreeView& tree, HTREEITEM first) {
  std::string shape;
  for (HTREEITEM node = first; node; node = tree.NextSibling(node)) {
    if (!shape.empty()) shape += ",";
    shape += tree.Text(node);
    if (HTREEITEM child = tree.FirstChild(node)) shape += "(" + TreeShape(tree, child) + ")";
  }
  return shape;
}

class MenuEditor : public TEditorFormTest {
 protected:
  TTreeView& Tree() { return form->EditorPage().MenuTree(); }
  std::string Shape() { return TreeShape(Tree(), Tree().Root()); }

  // The invariant: the depth-first walk of the tree is the menu list, text
  // for caption and level for depth.
  void ExpectInSync() {
    std::vector<TTRVMenuItem> walked;
    std::vector<HTREEITEM> stack;
    for (HTREEITEM n = Tree().Root(); n; n = Tree().NextSibling(n)) stack.insert(stack.begin(), n);
    while (!stack.empty()) {
      HTREEITEM n = stack.back();
      stack.pop_back();
      int depth = 0;
      for (HTREEITEM at = Tree().ParentOf(n); at; at = Tree().ParentOf(at)) ++depth;
      walked.push_back({Tree().Text(n), 0, depth});
      std::vector<HTREEITEM> children;
      for (HTREEITEM c = Tree().FirstChild(n); c; c = Tree().NextSibling(c)) children.insert(children.begin(), c);
      stack.insert(stack.end(), children.begin(), children.end());
    }
    ASSERT_EQ(walked.size(), Project().MenuItems().size());
    for (size_t i = 0; i < walked.size(); ++i) {
      EXPECT_EQ(walked[i].Text, Project().MenuItems()[i].Text) << i;
      EXPECT_EQ(walked[i].Level, Project().MenuItems()[i].Level) << i;
    }
  }

  void Enter(const std::string& text, int assignment) {
    form->Get<TEdit>("Edit_ItemText").SetText(text);
    form->Get<TComboBox>("ComboBox_Assignment").SetItemIndex(assignment);
  }
  void Add(const char* button, const std::string& text, int assignment = 0) {
    Enter(text, assignment);
    Click(button);
  }

  HTREEITEM Find(const std::string& caption, HTREEITEM first = nullptr) {
    for (HTREEITEM n = first ? first : Tree().Root(); n; n = Tree().NextSibling(n)) {
      if (Tree().Text(n) == caption) return n;
      if (HTREEITEM c = Tree().FirstChild(n))
        if (HTREEITEM found = Find(caption, c)) return found;
    }
    return nullptr;
  }
  void Select(const std::string& caption) {
    HTREEITEM node = Find(caption);
    ASSERT_NE(node, nullptr) << caption;
    Tree().SetSelected(node);
  }

  // Enabled buttons as digits: new entry, new sub-entry, edit, delete, up,
  // down.
  std::string States() {
    std::string states;
    for (const char* name :
         {"Button_NewItem", "Button_NewSubItem", "Button_EditItem", "Button_DelItem", "Button_Up", "Button_Down"})
      states += IsWindowEnabled(form->Control(name).Handle) ? '1' : '0';
    return states;
  }

  // Loads a project whose groups are G1 to G3 and whose menu is given.
  void Load(const std::string& menuLines) { LoadText("[ExecGroups]\r\nG1\r\nG2\r\nG3\r\n[MenuItems]\r\n" + menuLines); }
};

TEST_F(MenuEditor, EditChangesTextAndAssignmentButNotTheLevel) {
  Load("0 1 A\r\n1 2 B\r\n");
  Select("B");
  Add("Button_EditItem", "Neu starten", 3);
  EXPECT_EQ(Shape(), "A(Neu starten)");
  EXPECT_EQ(Project().MenuItems()[1].Level, 1);
  EXPECT_EQ(Project().MenuItems()[1].Assignment, 3);
  EXPECT_TRUE(Project().Modified());
  // "Keine Aktion" is an assignment too.
  Add("Button_EditItem", "-", 0);
  EXPECT_EQ(Project().MenuItems()[1].Assignment, 0);
  EXPECT_EQ(Project().MenuItems()[1].Text, "-");
}

TEST_F(MenuEditor, UpAndDownMoveAnEntryWithItsWholeBlock) {
  Load("0 1 A\r\n1 2 A1\r\n2 3 A1a\r\n1 0 A2\r\n0 2 B\r\n1 1 B1\r\n0 3 C\r\n");
  Select("A");
  Click("Button_Down");
  EXPECT_EQ(Shape(), "B(B1),A(A1(A1a),A2),C");
  ExpectInSync();
  EXPECT_EQ(Tree().Text(Tree().Selected()), "A");
  EXPECT_EQ(States(), "111111");
  Click("Button_Down");
  EXPECT_EQ(Shape(), "B(B1),C,A(A1(A1a),A2)");
  EXPECT_EQ(States(), "111110");
  ExpectInSync();
  Click("Button_Up");
  Click("Button_Up");
  EXPECT_EQ(Shape(), "A(A1(A1a),A2),B(B1),C");
  EXPECT_EQ(States(), "111101");
  Select("A2");
  Click("Button_Up");
  EXPECT_EQ(Shape(), "A(A2,A1(A1a)),B(B1),C");
  ExpectInSync();
  // The saved menu lists the entries in the new order, assignments with them.
  const std::string text = ProjectFileText(Project(), true);
  EXPECT_EQ(text.substr(text.find("[MenuItems]")),
            "[MenuItems]\r\n0 1 A\r\n1 0 A2\r\n1 2 A1\r\n2 3 A1a\r\n0 2 B\r\n1 1 B1\r\n0 3 C\r\n");
  EXPECT_TRUE(Project().Modified());
}

TEST_F(MenuEditor, InvalidEntriesAreRefusedWithTheirBalloon) {
  Load("0 1 A\r\n");
  Select("A");
  struct Case {
    const char* text;
    int assignment;
    const char* owner;
    const char* balloon;
    UINT lifetime;
  } cases[] = {
      {"", 1, "Edit_ItemText", "Sie müssen dem Eintrag einen Text zuweisen.", 5000},
      {"B", -1, "ComboBox_Assignment",
       "Sie müssen dem Eintrag eine Befehlszeilenfolge zuweisen.\r\n\r\nFalls Sie noch keine Befehlszeilenfolgen "
       "erstellt haben, können Sie dies in der rechten Hälfte des Fensters tun.",
       7000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.owner);
    for (const char* button : {"Button_NewItem", "Button_NewSubItem", "Button_EditItem"}) {
      Add(button, c.text, c.assignment);
      EXPECT_EQ(Shape(), "A") << button;
      EXPECT_FALSE(Project().Modified()) << button;
    }
    TControl& owner = form->Control(c.owner);
    EXPECT_EQ(form->Balloons.Owner(), owner.Handle);
    EXPECT_TRUE(form->Balloons.Timer().Enabled());
    EXPECT_EQ(form->Balloons.Timer().Interval(), c.lifetime);
    EXPECT_EQ(BalloonText(form->Balloons.Window()), c.balloon);
    // It points at (16, height - 8) of its control.
    POINT anchor = {16, owner.Height() - 8};
    ClientToScreen(owner.Handle, &anchor);
    EXPECT_EQ(form->Balloons.Anchor().left, anchor.x);
    EXPECT_EQ(form->Balloons.Anchor().top, anchor.y);
    // Entering the field it points at hides it.
    owner.SetFocus();
    EXPECT_TRUE(PumpUntil([&] { return !form->Balloons.Timer().Enabled(); }));
    EXPECT_EQ(form->Balloons.Owner(), nullptr);
  }
  EXPECT_EQ(Project().MenuItems()[0].Text, "A");
  EXPECT_EQ(Project().MenuItems()[0].Assignment, 1);
}

TEST_F(MenuEditor, CtrlZActsInTheFocusedEditorAndF2SaysOnWhat) {
  Enter("A", 0);
  Click("Button_NewItem");
  // A line of the working list, newer than the entry.
  form->EditorPage().GroupEditor().ApplyNewLine({lkEndRun, ""});
  TControl &list = form->Control("ListView_ExecLines"), &tree = form->Control("TreeView_Menu");
  auto help = [&](TControl& on) {
    on.SetFocus();
    EXPECT_TRUE(form->EditorPage().KeyDown(VK_F2));
    const std::string text = BalloonText(form->Balloons.Window());
    EXPECT_EQ(form->Balloons.Owner(), on.Handle);
    form->Balloons.Hide();
    const size_t undo = text.find("Strg+Z nimmt zurück: ");
    return undo == std::string::npos ? std::string() : text.substr(undo);
  };
  EXPECT_EQ(help(tree), "Strg+Z nimmt zurück: den neuen Eintrag \"A\".");
  EXPECT_EQ(help(list), "Strg+Z nimmt zurück: die letzte Änderung der Befehlszeilen.");
  list.SetFocus();
  form->EditorPage().Undo();
  EXPECT_EQ(form->Get<TListView>("ListView_ExecLines").Count(), 0);
  EXPECT_EQ(Shape(), "A") << "the list's Ctrl+Z leaves the tree";
  form->EditorPage().Undo();
  EXPECT_EQ(Shape(), "A");
  EXPECT_EQ(help(list), "");
  tree.SetFocus();
  form->EditorPage().Undo();
  EXPECT_EQ(Shape(), "");
  form->EditorPage().Redo();
  EXPECT_EQ(Shape(), "A");
  EXPECT_EQ(form->Get<TListView>("ListView_ExecLines").Count(), 0) << "the tree's Ctrl+Y leaves the list";
}

TEST_F(MenuEditor, UndoRedoAndADropKeepTheExpandedSubmenusAndTheSelection) {
  Add("Button_NewItem", "A");
  Add("Button_NewSubItem", "a1");
  Select("A");
  Add("Button_NewItem", "B");
  Add("Button_NewSubItem", "b1");
  Select("B");
  Add("Button_NewItem", "C");
  ASSERT_EQ(Shape(), "A(a1),B(b1),C");
  auto expanded = [&](const char* caption) {
    return (TreeView_GetItemState(Tree().Handle, Find(caption), TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
  };
  TreeView_Expand(Tree().Handle, Find("A"), TVE_EXPAND);
  TreeView_Expand(Tree().Handle, Find("B"), TVE_COLLAPSE);
  ASSERT_TRUE(expanded("A"));
  ASSERT_FALSE(expanded("B"));
  Tree().SetFocus();
  form->EditorPage().Undo();
  EXPECT_EQ(Shape(), "A(a1),B(b1)");
  EXPECT_TRUE(expanded("A"));
  form->EditorPage().Redo();
  EXPECT_EQ(Shape(), "A(a1),B(b1),C");
  EXPECT_TRUE(expanded("A"));
  // C dropped into the collapsed B: A stays open, B opens to show C, which
  // stays selected.
  Select("C");
  Tree().Dropped(Find("C"), Find("B"), dpInto);
  EXPECT_EQ(Shape(), "A(a1),B(b1,C)");
  EXPECT_TRUE(expanded("A"));
  EXPECT_TRUE(expanded("B"));
  EXPECT_EQ(Tree().Text(Tree().Selected()), "C");
  form->EditorPage().Undo();
  EXPECT_EQ(Shape(), "A(a1),B(b1),C");
  EXPECT_TRUE(expanded("A"));
  EXPECT_EQ(Tree().Text(Tree().Selected()), "C");
  ExpectInSync();
}

TEST_F(MenuEditor, ADragShowsALineBeforeOrAfterAnEntryAndTheHighlightOnlyForInto) {
  Add("Button_NewItem", "A");
  Add("Button_NewItem", "B");
  Add("Button_NewItem", "C");
  const HWND tree = Tree().Handle;
  // A colour no other pixel of the tree has.
  const COLORREF mark = RGB(255, 0, 255);
  SendMessageA(tree, TVM_SETINSERTMARKCOLOR, 0, mark);
  NMTREEVIEWA begin = {};
  begin.hdr = {tree, static_cast<UINT_PTR>(GetDlgCtrlID(tree)), TVN_BEGINDRAGA};
  begin.itemNew.hItem = Find("C");
  SendMessageA(GetParent(tree), WM_NOTIFY, begin.hdr.idFrom, reinterpret_cast<LPARAM>(&begin));
  RECT a = {}, b = {};
  TreeView_GetItemRect(tree, Find("A"), &a, TRUE);
  TreeView_GetItemRect(tree, Find("B"), &b, TRUE);
  // Rows of the tree's picture that have the mark's colour.
  auto markedRows = [&] {
    RECT client = {};
    GetClientRect(tree, &client);
    BITMAPINFO info = TopDownInfo(client.right, client.bottom);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, bitmap);
    SendMessageA(tree, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT | PRF_ERASEBKGND);
    GdiFlush();
    std::vector<int> rows;
    const uint32_t* pixel = static_cast<const uint32_t*>(bits);
    for (int y = 0; y < client.bottom; ++y)
      for (int x = 0; x < client.right; ++x)
        if ((pixel[y * client.right + x] & 0xFFFFFF) == 0xFF00FF) {
          rows.push_back(y);
          break;
        }
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(bitmap);
    return rows;
  };
  auto moveTo = [&](int x, int y) { SendMessageA(tree, WM_MOUSEMOVE, 0, MAKELPARAM(x, y)); };
  auto dropHighlight = [&] { return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_DROPHILITE, 0)); };
  const int x = (b.left + b.right) / 2;
  struct {
    int Y;
    HTREEITEM Highlight;
    int MarkFrom, MarkTo;  // rows the line may take; none when empty
  } const steps[] = {
      {b.bottom - 1, nullptr, b.bottom - 3, b.bottom + 2},
      {b.top, nullptr, b.top - 3, b.top + 2},
      {(b.top + b.bottom) / 2, Find("B"), 0, -1},
      {(a.top + a.bottom) / 2, Find("A"), 0, -1},
  };
  for (const auto& step : steps) {
    moveTo(x, step.Y);
    EXPECT_EQ(dropHighlight(), step.Highlight) << step.Y;
    const std::vector<int> rows = markedRows();
    if (step.MarkFrom > step.MarkTo) {
      EXPECT_TRUE(rows.empty()) << step.Y;
    } else {
      ASSERT_FALSE(rows.empty()) << step.Y;
      EXPECT_GE(rows.front(), step.MarkFrom) << step.Y;
      EXPECT_LE(rows.back(), step.MarkTo) << step.Y;
    }
  }
  // Esc, through the window's keyboard handling as a key pressed, ends the
  // drag and takes both back; the button let go afterwards drops nothing.
  PostMessageA(tree, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(PumpUntil([&] { return dropHighlight() == nullptr; }));
  SendMessageA(tree, WM_LBUTTONUP, 0, MAKELPARAM(x, (a.top + a.bottom) / 2));
  EXPECT_TRUE(markedRows().empty());
  EXPECT_EQ(Shape(), "A,B,C");
}

TEST_F(MenuEditor, TheTextBalloonGoesAfterItsLifetime) {
  Add("Button_NewItem", "", 0);
  ASSERT_TRUE(form->Balloons.Timer().Enabled());
  const DWORD shown = GetTickCount();
  ASSERT_TRUE(PumpUntil([&] { return !form->Balloons.Timer().Enabled(); }, 8000));
  EXPECT_GE(GetTickCount() - shown, 4500u);
  EXPECT_FALSE(IsWindowVisible(form->Balloons.Window()));
}

TEST_F(MenuEditor, ALoadFillsTheListsAndAResetEmptiesThem) {
  WriteFileBytes(file, "[ExecGroups]\r\nEditor\r\n 0 notepad.exe;0\r\nNeustart?\r\nWerkzeuge\r\n"
                       "[NotUsed:MenuItems]\r\n0 1 Editor\r\n");
  ASSERT_TRUE(LoadProject(Project(), file, true));
  auto items = [&](const char* name) {
    TComboBox& combo = form->Get<TComboBox>(name);
    std::vector<std::string> texts;
    for (int i = 0; i < combo.Count(); ++i) texts.push_back(combo.Item(i));
    return texts;
  };
  using Items = std::vector<std::string>;
  EXPECT_EQ(items("ComboBox_Assignment"), (Items{"Keine Aktion", "Editor", "Neustart?", "Werkzeuge"}));
  EXPECT_EQ(items("ComboBox_ExecLines"), (Items{"Editor", "Neustart?", "Werkzeuge", "Neue Befehlszeilenfolge"}));
  TCheckBox& useMenu = form->Get<TCheckBox>("CheckBox_UseMenu");
  EXPECT_FALSE(useMenu.Checked());
  EXPECT_EQ(Shape(), "Editor");

  Select("Editor");
  form->Get<TEdit>("Edit_ExecName").SetText("Editor");
  form->Get<TListView>("ListView_ExecLines").InsertRow(-1, {"Kommando", "notepad.exe;0"});
  Project().Reset();
  EXPECT_EQ(Shape(), "");
  EXPECT_TRUE(useMenu.Checked());
  EXPECT_EQ(items("ComboBox_Assignment"), (Items{"Keine Aktion"}));
  EXPECT_EQ(items("ComboBox_ExecLines"), (Items{"Neue Befehlszeilenfolge"}));
  EXPECT_EQ(form->Get<TEdit>("Edit_ItemText").Text(), "");
  EXPECT_EQ(form->Get<TEdit>("Edit_ExecName").Text(), "");
  EXPECT_EQ(form->Get<TListView>("ListView_ExecLines").Count(), 0);
  EXPECT_EQ(States(), "100000");
  for (const char* name : {"Button_NewExec", "Button_EditExec", "Button_DelExec", "Button_TestExecLines"})
    EXPECT_FALSE(IsWindowEnabled(form->Control(name).Handle)) << name;
  EXPECT_TRUE(Project().ExecGroups().empty());
  EXPECT_TRUE(Project().FileName().empty());
}

TEST_F(MenuEditor, TheMenuCheckBoxIsSavedButIsNoChange) {
  Load("0 1 A\r\n");
  TCheckBox& useMenu = form->Get<TCheckBox>("CheckBox_UseMenu");
  ASSERT_TRUE(useMenu.Checked());
  SendMessageA(useMenu.Handle, BM_CLICK, 0, 0);
  EXPECT_FALSE(useMenu.Checked());
  EXPECT_FALSE(Project().Modified());
  SaveProject(Project(), file);
  EXPECT_EQ(ReadFileBytes(file), "[ExecGroups]\r\nG1\r\nG2\r\nG3\r\n[NotUsed:MenuItems]\r\n0 1 A\r\n");
}

}  // namespace

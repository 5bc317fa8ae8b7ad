// The group and menu editors against fake controls that behave as the real
// ones do where it matters: a list's selection stays on its row, a tree
// picks a new selection when the selected node goes, and both report the
// changes the editor makes as if the user had made them.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <sstream>

#include "config/EditorHistory.h"
#include "config/FolderImport.h"
#include "config/GroupEditorPresenter.h"
#include "config/MenuEditorPresenter.h"
#include "launcher/PopupMenu.h"
#include "model/Codec.h"
#include "model/Platform.h"
#include "model/ProjectFile.h"
#include "model/Wide.h"
#include "tests/core/Fakes.h"

namespace {

using Texts = std::vector<std::string>;

class TFakeGroupView : public IGroupEditorView, public IProjectView {
 public:
  TGroupEditor* Editor = nullptr;
  Texts Items, Rows;  // rows as "caption|parameter"
  int Item = -1, Row = -1, TableChanges = 0;
  std::string Name, Focus;
  std::map<TGroupButton, bool> On;

  static std::string Text(const TLineRow& r) { return r.Caption + "|" + r.Param; }
  void Select(int row) { Row = row, Editor->RowSelected(row); }

  void ShowGroupItems(const Texts& items) override { Items = items, Item = -1; }
  void SelectGroupItem(int item) override { Item = item; }
  void ShowName(const std::string& name) override { Name = name, Editor->NameChanged(name); }
  void ShowRows(const std::vector<TLineRow>& rows) override {
    Rows.clear();
    InsertRows(0, rows);
    Select(-1);
  }
  void InsertRows(int at, const std::vector<TLineRow>& rows) override {
    for (const TLineRow& r : rows) Rows.insert(Rows.begin() + at++, Text(r));
    if (Row >= at - static_cast<int>(rows.size())) Row += static_cast<int>(rows.size());
  }
  void DeleteRows(int at, int count) override {
    Rows.erase(Rows.begin() + at, Rows.begin() + at + count);
    Row = Row >= at + count ? Row - count : Row >= at ? -1 : Row;
  }
  void ChangeRow(int row, const TLineRow& shown) override { Rows[row] = Text(shown); }
  void SelectRow(int row) override { Select(row); }
  void SetEnabled(TGroupButton button, bool enabled) override { On[button] = enabled; }
  void GroupTableChanged() override { ++TableChanges; }
  void FocusGroupList() override { Focus = "groups"; }
  void FocusRows() override { Focus = "rows"; }
  // The window's side of the model's re-sorts.
  void ProjectReset() override {}
  void GroupListsRefilled(const Texts& names) override { Editor->Refill(names); }
  void GroupLoaded(const std::string&) override {}
  void MenuItemLoaded(int, const TTRVMenuItem&) override {}
  void SetMenuSetting(bool) override {}
};

class GroupEditorTest : public ::testing::Test {
 protected:
  void SetUp() override { UseNativePlatform(); }
  void Open(std::vector<TExecGroup> groups, std::vector<TTRVMenuItem> menu = {}) {
    project = TProject(std::move(groups), std::move(menu));
    project.View = &view;
    view.Editor = &editor;
    editor.Reset();
  }
  // Enabled buttons as digits: new, edit, delete, test, edit line, delete line.
  std::string Buttons() {
    std::string s;
    for (TGroupButton b : {geNewExec, geEditExec, geDelExec, geTestExecLines, geEditExecLine, geDelExecLine})
      s += view.On[b] ? '1' : '0';
    return s;
  }

  TProject project;
  TFakeGroupView view;
  TGroupEditor editor{project, view};
};

TEST_F(GroupEditorTest, ChoosingAGroupLoadsItAndSetsTheButtons) {
  Open({{"Editor", {{lkCommand, "notepad.exe;0"}}}, {"leer", {}}, {"LEER", {{lkEndRun, ""}}}, {" Fremd", {}}});
  const struct {
    int item;
    const char *name, *buttons;
  } cases[] = {
      {0, "Editor", "011100"}, {1, "leer", "011000"},
      {2, "LEER", "001100"},    // its name is taken by an earlier group
      {3, " Fremd", "001000"},  // a name the file cannot hold
      {4, "", "000000"},        // "Neue Befehlszeilenfolge"
  };
  for (const auto& c : cases) {
    editor.GroupChosen(c.item);
    EXPECT_EQ(view.Name + "|" + Buttons(), c.name + std::string("|") + c.buttons);
    EXPECT_EQ(view.Item, c.item < 4 ? c.item : -1);
  }
  // Typed names ("Neu" and "Bearbeiten"): the group's own in another case
  // may only rename it.
  editor.GroupChosen(0);
  for (auto [name, buttons] : {std::pair{"EDITOR", "01"}, {"Neu", "11"}, {"Leer", "00"}}) {
    editor.NameChanged(name);
    EXPECT_EQ(Buttons().substr(0, 2), buttons) << name;
  }
  // Findings: the group by its exact name, the line when it has one.
  editor.ShowGroupByName("LEER", 0);
  EXPECT_EQ(std::make_pair(editor.SelectedGroup(), view.Row), std::make_pair(2, 0));
  EXPECT_EQ(view.Focus, "rows");
  editor.ShowGroupByName("Editor", 3);
  EXPECT_EQ(std::make_pair(editor.SelectedGroup(), view.Row), std::make_pair(0, -1));
  EXPECT_EQ(view.Focus, "groups");
}

TEST_F(GroupEditorTest, CommitsAreSortedAndStaySelected) {
  Open({{"beta", {{5, "\"beta\""}}}}, {{"b", 1, 0}});
  editor.GroupChosen(1);
  editor.ApplyNewLine({lkEndRun, ""});
  EXPECT_FALSE(project.Modified()) << "the working list is a scratch copy";
  view.ShowName("Beta");
  EXPECT_FALSE(editor.CommitNew()) << "a duplicate in another case";
  view.ShowName("Alpha");
  ASSERT_TRUE(editor.CommitNew());
  EXPECT_EQ(view.Items, (Texts{"Alpha", "beta", "Neue Befehlszeilenfolge"}));
  EXPECT_EQ(std::make_pair(editor.SelectedGroup(), view.Item), std::make_pair(0, 0));
  EXPECT_EQ(project.MenuItems()[0].Assignment, 2);
  EXPECT_TRUE(project.Modified());
  // Renamed to the end of the table: the group's own call follows it.
  editor.GroupChosen(1);
  view.ShowName("zeta");
  ASSERT_TRUE(editor.CommitEdit());
  EXPECT_EQ(editor.SelectedGroup(), 1);
  EXPECT_EQ(view.Rows, (Texts{"Befehlszeilengruppe|\"zeta\""}));
  ASSERT_TRUE(editor.DeleteGroup());
  EXPECT_EQ(view.Items, (Texts{"Alpha", "Neue Befehlszeilenfolge"}));
  EXPECT_EQ(editor.SelectedGroup(), -1);
  EXPECT_EQ(Buttons(), "000000");
  EXPECT_EQ(project.MenuItems()[0].Assignment, 0);
  EXPECT_EQ(view.TableChanges, 3);
}

TEST_F(GroupEditorTest, LeavingChangedLinesAsksToTakeThemOverDropThemOrStay) {
  TRecordingMessageBoxes boxes;
  Platform.MessageBoxes = &boxes;
  const char* const asked =
      "Die Befehlszeilen der Gruppe \"A\" wurden geändert. Möchten Sie die Änderungen vorher in die Gruppe "
      "übernehmen?";
  // Each way out of the working list: another group, the way to a new one,
  // a finding of the check; the menu entry's fields, another page and the
  // window's end ask through LeaveLines itself.
  const struct {
    const char* way;
    std::function<bool(TGroupEditor&)> leave;
    int to;  // the group chosen once the user went on
  } ways[] = {
      {"group", [](TGroupEditor& e) { return e.GroupChosen(1), e.SelectedGroup() != 0; }, 1},
      {"new", [](TGroupEditor& e) { return e.GroupChosen(2), e.SelectedGroup() != 0; }, -1},
      {"finding", [](TGroupEditor& e) { return e.ShowGroupByName("B", -1), e.SelectedGroup() != 0; }, 1},
      {"leave", [](TGroupEditor& e) { return e.LeaveLines(); }, 0},
  };
  for (const auto& w : ways) {
    for (int answer : {idYes, idNo, idCancel}) {
      SCOPED_TRACE(std::string(w.way) + " " + std::to_string(answer));
      Open({{"A", {{lkEndRun, ""}}}, {"B", {}}});
      editor.GroupChosen(0);
      editor.ApplyNewLine({lkNoAction, "Doppelklicken zum Bearbeiten"});
      boxes.Shown.clear();
      boxes.Answer = answer;
      EXPECT_EQ(w.leave(editor), answer != idCancel);
      ASSERT_EQ(boxes.Shown.size(), 1u);
      EXPECT_EQ(boxes.Shown[0].Text, asked);
      EXPECT_EQ(boxes.Shown[0].Caption, "Warnung");
      EXPECT_EQ(boxes.Shown[0].Flags, unsigned(mbYesNoCancel | mbIconWarning));
      EXPECT_EQ(project.ExecGroup(0).Lines.size(), answer == idYes ? 2u : 1u) << "taken over only with Ja";
      EXPECT_EQ(project.Modified(), answer == idYes);
      EXPECT_EQ(editor.SelectedGroup(), answer == idCancel ? 0 : w.to);
      EXPECT_EQ(view.Item, editor.SelectedGroup()) << "the list shows the group the rows are of";
      EXPECT_EQ(view.Rows.size(), editor.WorkingLines().size());
      EXPECT_EQ(editor.LinesChanged(), answer == idCancel) << "stayed: the lines are still there";
    }
  }
  // Nothing changed, or changed and taken back: nothing to ask.
  Open({{"A", {{lkEndRun, ""}}}, {"B", {}}});
  editor.GroupChosen(0);
  editor.ApplyNewLine({lkEndRun, ""});
  editor.LinesRestored({{lkEndRun, ""}}, -1);
  boxes.Shown.clear();
  editor.GroupChosen(1);
  EXPECT_TRUE(boxes.Shown.empty());
  // A new group's lines: made the group of the typed name, which comes
  // before the one chosen; without a name the lines can only go.
  editor.GroupChosen(2);
  editor.ApplyNewLine({lkEndRun, ""});
  view.ShowName("0 Erste");
  boxes.Answer = idYes;
  editor.GroupChosen(1);
  EXPECT_EQ(boxes.Shown.back().Text, "Möchten Sie die neuen Befehlszeilen vorher als Gruppe \"0 Erste\" übernehmen?");
  EXPECT_EQ(project.GroupNames(), (Texts{"0 Erste", "A", "B"}));
  EXPECT_EQ(view.Name + std::to_string(editor.SelectedGroup()), "B2") << "the group chosen, by its name";
  editor.GroupChosen(3);
  editor.ApplyNewLine({lkEndRun, ""});
  boxes.Answer = idNo;
  EXPECT_FALSE(editor.LeaveLines());
  EXPECT_EQ(boxes.Shown.back().Flags, unsigned(mbYesNo | mbIconWarning));
  EXPECT_EQ(boxes.Shown.back().Text,
            "Die neuen Befehlszeilen haben noch keinen gültigen Gruppennamen und gehen verloren. Möchten Sie "
            "trotzdem fortfahren?");
  boxes.Answer = idYes;
  EXPECT_TRUE(editor.LeaveLines());
  EXPECT_TRUE(view.Rows.empty());
  EXPECT_EQ(project.GroupNames().size(), 3u);
}

TEST_F(GroupEditorTest, QuestionsBringTheirBranchesAndTakeThemAlong) {
  Open({{"Fremd", {{7, "etwas"}}}});
  editor.GroupChosen(0);
  editor.ApplyNewLine({lkCommand, "a.exe;0"});
  view.Select(0);
  editor.ApplyNewLine({lkQuestion, "Wirklich?;Frage;1;0"});
  EXPECT_EQ(view.Rows,
            (Texts{"Frage stellen|Wirklich?;Frage;1;0", "#|\"Ja\":", "Keine Aktion|Doppelklicken zum Bearbeiten",
                   "#|\"Nein\":", "Keine Aktion|Doppelklicken zum Bearbeiten", "#|Verzweigungsende", "Typ 7|etwas",
                   "Kommando|a.exe;0"}));
  EXPECT_EQ(std::make_pair(editor.SelectedRow(), view.Row), std::make_pair(6, 6)) << "the selection stays on its row";
  view.Select(2);
  editor.ApplyNewLine({lkQuestion, "Noch?;Frage;1;0"});
  // Markers cannot be edited; the only line of a branch cannot go.
  const std::pair<int, const char*> rows[] = {{1, "00"}, {10, "10"}, {0, "11"}, {12, "11"}};
  for (auto [row, buttons] : rows) {
    view.Select(row);
    EXPECT_EQ(Buttons().substr(4), buttons) << row;
    EXPECT_EQ(editor.LineToEdit() != nullptr, buttons[0] == '1');
  }
  editor.ApplyEditedLine(0, {lkEndRun, ""});
  EXPECT_EQ(view.Rows, (Texts{"Ablauf beenden|", "Typ 7|etwas", "Kommando|a.exe;0"}));
  editor.ApplyEditedLine(0, {lkQuestion, "Neu?;Frage;1;0"});
  EXPECT_EQ(view.Rows.size(), 8u);
  view.Select(0);
  ASSERT_TRUE(editor.DeleteRow());
  EXPECT_EQ(editor.SelectedRow(), -1);
  EXPECT_EQ(Buttons().substr(3), "100");
  view.ShowName("Fremd");
  ASSERT_TRUE(editor.CommitEdit());
  const std::vector<TExecLine>& kept = project.ExecGroup(0).Lines;
  ASSERT_EQ(kept.size(), 2u);
  EXPECT_EQ(kept[0].Kind, 7) << "a kind without a name comes back as itself";
  EXPECT_EQ(kept[0].Params, "etwas");
}

// A tree control: its nodes in depth-first order, each with its depth.
class TFakeMenuView : public IMenuEditorView {
 public:
  TMenuEditor* Editor = nullptr;
  std::vector<std::pair<std::string, int>> Nodes;
  int Selected = -1, Assignment = -1;
  std::string Text;
  std::map<TMenuButton, bool> On;

  void Select(int index) { Selected = index, Editor->NodeSelected(index); }
  int Depth(int i) const { return i < 0 ? -1 : Nodes[i].second; }
  int End(int i) const {
    int e = i + 1;
    while (e < static_cast<int>(Nodes.size()) && Depth(e) > Depth(i)) ++e;
    return e;
  }

  void AddNode(int parent, int after, const std::string& text) override {
    const int at = after >= 0 ? End(after) : parent + 1;
    Nodes.insert(Nodes.begin() + at, {text, Depth(parent) + 1});
  }
  void LoadNode(int index, int parent, const std::string& text) override {
    EXPECT_EQ(index, static_cast<int>(Nodes.size()));
    Nodes.push_back({text, Depth(parent) + 1});
  }
  void SetNodeText(int index, const std::string& text) override {
    if (Expanded.erase(Nodes[index].first)) Expanded.insert(text);
    Nodes[index].first = text;
  }
  int DeleteNode(int index) override {
    // The next sibling takes over, else the nearest earlier node not
    // deeper: reported while the node is still there.
    const int end = End(index);
    int chosen = end < static_cast<int>(Nodes.size()) && Depth(end) == Depth(index) ? end : index - 1;
    while (chosen >= 0 && chosen < index && Depth(chosen) > Depth(index)) --chosen;
    Select(chosen);
    // A deleted node takes its open submenu with it.
    for (int i = index; i < end; ++i) Expanded.erase(Nodes[i].first);
    Nodes.erase(Nodes.begin() + index, Nodes.begin() + end);
    return Selected = chosen >= end ? chosen - (end - index) : chosen;
  }
  void MoveNode(int index, int parent, int after) override {
    // Where the block goes, counted before it leaves: after the node at
    // after with its subtree, or right below the parent (first child).
    int at = after >= 0 ? End(after) : parent >= 0 ? parent + 1 : 0;
    const int depth = parent >= 0 ? Depth(parent) + 1 : 0;
    std::vector<std::pair<std::string, int>> block(Nodes.begin() + index, Nodes.begin() + End(index));
    const int shift = depth - block.front().second;
    for (auto& node : block) node.second += shift;
    Nodes.erase(Nodes.begin() + index, Nodes.begin() + End(index));
    if (at > index) at -= static_cast<int>(block.size());
    Nodes.insert(Nodes.begin() + at, block.begin(), block.end());
  }
  // As a tree selects: the node shown, its ancestors expanded.
  void SelectNode(int index) override {
    for (int i = index - 1, depth = Depth(index); i >= 0 && depth > 0; --i)
      if (Depth(i) < depth) Expanded.insert(Nodes[i].first), depth = Depth(i);
    Select(index);
  }
  bool NodeExpanded(int index) override { return Expanded.count(Nodes[index].first) > 0; }
  void ExpandNode(int index) override { Expanded.insert(Nodes[index].first); }
  // A cleared tree forgets what it showed expanded.
  void ClearTree() override { Nodes.clear(), Expanded.clear(), Select(-1); }
  std::set<std::string> Expanded;  // by text: the tests' entries have their own
  void FocusTree() override {}
  void ShowEntry(const std::string& text, int assignment) override { Text = text, Assignment = assignment; }
  void ShowFolder(const std::string& folder) override { Folder = folder; }
  std::string Folder;
  void SetEnabled(TMenuButton button, bool enabled) override { On[button] = enabled; }
};

class MenuEditorTest : public ::testing::Test {
 protected:
  // The levels as a file gives them, one digit an entry, named A, B, ...
  void Load(const std::string& levels) {
    view.Editor = &editor;
    editor.Reset();
    std::vector<TTRVMenuItem> items;
    TMenuNesting nesting;
    for (size_t i = 0; i < levels.size(); ++i) {
      nesting.Add(static_cast<int>(i), levels[i] - '0');
      items.push_back({std::string(1, char('A' + i)), 0, nesting.Depth()});
      editor.EntryLoaded(static_cast<int>(i), items.back());
    }
    project = TProject({{"G", {}}}, items);
  }
  void Select(char text) {
    for (size_t i = 0; i < view.Nodes.size(); ++i)
      if (view.Nodes[i].first[0] == text) view.Select(static_cast<int>(i));
  }
  // "A(B(C),D),E": children in brackets after their parent. The tree must
  // show the list, with the same entry selected.
  std::string Shape() {
    auto shape = [](auto&& nodes) {
      std::string s;
      int open = 0;
      for (auto [text, depth] : nodes) {
        s += depth > open ? "(" : std::string(open - depth, ')') + (s.empty() ? "" : ",");
        s += text;
        open = depth;
      }
      return s + std::string(open, ')');
    };
    std::vector<std::pair<std::string, int>> listed;
    for (const TTRVMenuItem& item : project.MenuItems()) listed.push_back({item.Text, item.Level});
    EXPECT_EQ(shape(view.Nodes), shape(listed)) << "tree and list apart";
    EXPECT_EQ(view.Selected, editor.Selected());
    return shape(listed);
  }
  // Enabled buttons as digits: sub-entry, edit, delete, up, down.
  std::string States() {
    std::string s;
    for (TMenuButton b : {meNewSubItem, meEditItem, meDelItem, meUp, meDown}) s += view.On[b] ? '1' : '0';
    return s;
  }

  TProject project;
  TFakeMenuView view;
  TMenuEditor editor{project, view};
};

TEST_F(MenuEditorTest, LoadingHangsEachEntryBelowTheNearestSmallerLevel) {
  const struct {
    const char *levels, *shape;
  } cases[] = {{"01210", "A(B(C),D),E"}, {"12", "A(B)"}, {"0232", "A(B(C),D)"}, {"021", "A(B,C)"}, {"3300", "A,B,C,D"}};
  for (const auto& c : cases) {
    Load(c.levels);
    EXPECT_EQ(Shape(), c.shape) << c.levels;
  }
}

TEST_F(MenuEditorTest, NewEntriesGoAfterTheSelectedBlockOrBelowIt) {
  Load("");
  EXPECT_EQ(editor.NewItem("", 1), mcText);
  EXPECT_EQ(editor.NewItem("A", -1), mcAssignment);
  EXPECT_TRUE(project.MenuItems().empty());
  editor.NewItem("A", 1);
  editor.NewSubItem("B", 2);
  EXPECT_EQ(States(), "11100") << "the first child has no sibling";
  editor.NewSubItem("C", 0);
  Select('A');
  editor.NewItem("D", 3);
  EXPECT_EQ(Shape(), "A(B(C)),D");
  Select('B');
  editor.NewItem("E", 0);
  EXPECT_EQ(Shape(), "A(B(C),E),D");
  EXPECT_EQ(States() + view.Text, "11110E");
  EXPECT_EQ(editor.EditItem("F", 2), mcNone);
  EXPECT_EQ(Shape(), "A(B(C),F),D");
  EXPECT_EQ(project.MenuItems()[3].Assignment, 2);
  // A folder's entry: named after the folder, bound to no group, shown
  // without one; a change of its text keeps the folder and no group.
  const struct {
    char Selected;
    const char *Folder, *Shape;
  } folders[] = {
      {'D', "C:\\Daten\\Bilder\\", "A(B(C),F),D,Bilder"},
      {'C', "C:\\", "A(B(C,C:),F),D,Bilder"},
      {'F', "\\\\server\\freigabe", "A(B(C,C:),F,freigabe),D,Bilder"},
  };
  for (const auto& row : folders) {
    Select(row.Selected);
    editor.NewFolderItem(row.Folder);
    EXPECT_EQ(Shape(), row.Shape) << row.Folder;
    const TTRVMenuItem& entry = project.MenuItem(editor.Selected());
    EXPECT_EQ(entry.Folder, row.Folder);
    EXPECT_EQ(entry.Assignment, 0);
    EXPECT_EQ(view.Folder, row.Folder);
  }
  EXPECT_EQ(editor.EditItem("Fotos", 2), mcNone);
  EXPECT_EQ(project.MenuItem(editor.Selected()).Folder, "\\\\server\\freigabe");
  EXPECT_EQ(project.MenuItem(editor.Selected()).Assignment, 0);
  Select('A');
  EXPECT_EQ(view.Folder, "");
}

TEST_F(MenuEditorTest, SelectionMovesAndDeletionsKeepTreeAndListAlike) {
  Load("0121001");
  const std::pair<char, const char*> states[] = {{'A', "11101"}, {'D', "11110"}, {'E', "11111"}, {'G', "11100"}};
  for (auto [entry, expected] : states) {
    Select(entry);
    EXPECT_EQ(States() + view.Text, expected + std::string(1, entry));
  }
  EXPECT_FALSE(project.Modified());
  Select('A');
  editor.MoveDown();
  EXPECT_EQ(Shape(), "E,A(B(C),D),F(G)");
  editor.MoveDown();
  editor.MoveUp();
  editor.MoveUp();
  EXPECT_EQ(Shape(), "A(B(C),D),E,F(G)");
  Select('D');
  editor.MoveUp();
  EXPECT_EQ(Shape() + "|" + view.Text, "A(D,B(C)),E,F(G)|D");
  // Whatever the tree selects instead is what the fields show.
  const std::pair<char, const char*> deletions[] = {
      {'B', "A(D),E,F(G)|D"}, {'G', "A(D),E,F|F"}, {'F', "A(D),E|E"}, {'A', "E|E"}};
  for (auto [entry, expected] : deletions) {
    Select(entry);
    editor.DeleteItem();
    EXPECT_EQ(Shape() + "|" + view.Text, expected) << entry;
  }
  editor.DeleteItem();
  EXPECT_EQ(States() + view.Text, "00000");
  EXPECT_TRUE(project.Modified());
}

TEST_F(MenuEditorTest, DragsMoveBlocksBeforeAfterOrIntoAnEntryButNeverIntoThemselves) {
  const struct {
    char source, target;
    TMenuDropPlace place;
    const char* shape;
  } drags[] = {
      {'A', 'E', mdAfter, "E,A(B(C),D),F(G)"},  {'G', 'B', mdInto, "A(B(C,G),D),E,F"},
      {'E', 'A', mdBefore, "E,A(B(C),D),F(G)"}, {'D', 'F', mdInto, "A(B(C)),E,F(G,D)"},
      {'C', 'A', mdBefore, "C,A(B,D),E,F(G)"},  {'A', 'A', mdAfter, "A(B(C),D),E,F(G)"},
      {'D', 'B', mdBefore, "A(D,B(C)),E,F(G)"},
      {'B', 'D', mdBefore, "A(B(C),D),E,F(G)"},  // where it is already
      {'D', 'B', mdAfter, "A(B(C),D),E,F(G)"},   // so too: no step
      {'A', 'D', mdInto, "A(B(C),D),E,F(G)"},    // its own last descendant
  };
  struct TStepCount : IProjectObserver {
    int Steps = 0;
    void StepReported(const TProjectStep&, TStepWay) override { ++Steps; }
  } steps;
  project.AddObserver(steps);
  for (const auto& d : drags) {
    Load("0121001");
    steps.Steps = 0;
    Select(d.source);
    const int source = editor.Selected();
    Select(d.target);
    const int target = editor.Selected();
    const bool own = target >= source && target <= source + project.CountDescendants(source);
    EXPECT_EQ(editor.CanDrop(source, target, d.place), !own) << d.source << d.target;
    editor.Drop(source, target, d.place);
    EXPECT_EQ(Shape(), d.shape) << d.source << d.target;
    const bool moved = std::string(d.shape) != "A(B(C),D),E,F(G)";
    if (moved) {
      EXPECT_EQ(view.Text, std::string(1, d.source)) << "the dragged entry is selected";
    }
    EXPECT_EQ(project.Modified(), moved) << d.source << d.target;
    EXPECT_EQ(steps.Steps, moved ? 1 : 0) << d.source << d.target;
  }
}

TEST_F(MenuEditorTest, ADropIntoAnEntryWithItsOwnGroupAsksFirst) {
  TRecordingMessageBoxes boxes;
  Platform.MessageBoxes = &boxes;
  Load("0121001");
  project.ChangeMenuItem(4, "E", 1);
  project.ChangeMenuItem(5, "F", 1);
  Select('D');
  const int d = editor.Selected();
  boxes.Answer = idNo;
  editor.Drop(d, 4, mdInto);
  EXPECT_EQ(Shape(), "A(B(C),D),E,F(G)") << "stayed";
  ASSERT_EQ(boxes.Shown.size(), 1u);
  EXPECT_EQ(boxes.Shown[0].Text,
            "Der Eintrag \"E\" hat eine eigene Befehlszeilengruppe und wird dadurch zum Untermenü. Möchten Sie den "
            "Eintrag trotzdem dorthin verschieben?");
  EXPECT_EQ(boxes.Shown[0].Flags, unsigned(mbYesNo | mbIconWarning));
  // Before or after it, or into a submenu already: nothing to ask.
  editor.Drop(d, 4, mdAfter);
  EXPECT_EQ(Shape(), "A(B(C)),E,D,F(G)");
  editor.Drop(4, 5, mdInto);
  EXPECT_EQ(Shape(), "A(B(C)),E,F(G,D)");
  EXPECT_EQ(boxes.Shown.size(), 1u);
  boxes.Answer = idYes;
  editor.Drop(6, 3, mdInto);
  EXPECT_EQ(Shape(), "A(B(C)),E(D),F(G)");
  EXPECT_EQ(boxes.Shown.size(), 2u);
  UseNativePlatform();
}

// A folder tree as the shell would show it: links, programs, other files,
// subfolders, and a link whose target is gone.
// One file, one menu: the popup and the editor's tree nest the entries of
// any list of levels alike, and a save writes each entry's depth.
TEST(MenuNesting, OneFileGivesTheSameTreeInThePopupAndTheEditor) {
  UseNativePlatform();
  TFakeFiles files;
  IFileSystem* native = Platform.Files;
  Platform.Files = &files;
  struct {
    const char* Levels;  // of a, b, c, ... in the file
    const char* Tree;    // children in brackets
  } const rows[] = {
      {"0 1 2 1 0", "a(b(c),d),e"},
      {"0 2 1", "a(b,c)"},
      {"0 3 2 1", "a(b,c,d)"},
      {"1 0", "a,b"},
      {"0 2 2 0 5 1", "a(b,c),d(e,f)"},
      {"-3 0", "a,b"},
  };
  for (const auto& row : rows) {
    std::string file = "[ExecGroups]\r\n[MenuItems]\r\n";
    std::istringstream levels(row.Levels);
    char text = 'a';
    for (int level; levels >> level; ++text) file += std::to_string(level) + " 0 " + text + "\r\n";
    files.Files["m.trv"] = file;
    // The popup: the file loaded without a window.
    TProject popupProject;
    ASSERT_TRUE(LoadProject(popupProject, "m.trv", false));
    const TPopupMenuModel popup = BuildPopupMenu(popupProject.MenuItems());
    std::function<std::string(int)> popupTree = [&](int index) {
      std::string shape;
      for (int child : popup.Items[static_cast<size_t>(index)].Children) {
        if (child >= popup.CancelItem - 1) break;
        if (!shape.empty()) shape += ",";
        shape += popup.Items[static_cast<size_t>(child)].Caption;
        if (!popup.Items[static_cast<size_t>(child)].Children.empty()) shape += "(" + popupTree(child) + ")";
      }
      return shape;
    };
    EXPECT_EQ(popupTree(0), row.Tree) << row.Levels;
    // The editor: the same file into its tree.
    TProject project;
    TFakeMenuView menuView;
    TMenuEditor menu{project, menuView};
    menuView.Editor = &menu;
    // The window's side of a load: the menu editor builds its tree.
    struct TLoadingView : IProjectView {
      TMenuEditor& Menu;
      explicit TLoadingView(TMenuEditor& menu) : Menu(menu) {}
      void ProjectReset() override { Menu.Reset(); }
      void GroupListsRefilled(const Texts&) override {}
      void GroupLoaded(const std::string&) override {}
      void MenuItemLoaded(int index, const TTRVMenuItem& entry) override { Menu.EntryLoaded(index, entry); }
      void SetMenuSetting(bool) override {}
    } view(menu);
    project.View = &view;
    ASSERT_TRUE(LoadProject(project, "m.trv", true));
    std::string editorTree;
    int depth = 0;
    for (size_t i = 0; i < menuView.Nodes.size(); ++i) {
      const int d = menuView.Nodes[i].second;
      if (i > 0) editorTree += d > depth ? "(" : std::string(static_cast<size_t>(depth - d), ')') + ",";
      editorTree += menuView.Nodes[i].first;
      depth = d;
    }
    editorTree += std::string(static_cast<size_t>(depth), ')');
    EXPECT_EQ(editorTree, row.Tree) << row.Levels;
    // The levels a save writes are those depths.
    for (size_t i = 0; i < project.MenuItems().size(); ++i)
      EXPECT_EQ(project.MenuItems()[i].Level, menuView.Nodes[i].second) << row.Levels << " " << i;
  }
  Platform.Files = native;
}

class TFakeFolders : public IFolderImportReader {
 public:
  std::map<std::string, std::vector<TFolderItem>> Folders;
  std::map<std::string, std::string> Identities;  // a folder reached through a link: the one it is
  std::map<std::string, std::pair<std::string, std::string>> Links;  // target, arguments; "" target: broken
  int Reads = 0;
  TFolderListing Read(const std::string& folder) override {
    ++Reads;
    return {fsRead, Folders[Identity(folder)]};
  }
  std::string FolderIdentity(const std::string& folder) override { return Identity(folder); }
  TLinkRead ReadLink(const std::string& link, std::string& target, std::string& arguments,
                     std::u16string& reason) override {
    target = Links[link].first, arguments = Links[link].second;
    if (target == "?") {
      reason = u"unlesbar";
      return lrRefused;
    }
    return target.empty() ? lrBroken : lrRead;
  }

 private:
  // "C:\M\Schleife\x" is "C:\M\x" when "C:\M\Schleife" links to "C:\M".
  std::string Identity(std::string folder) {
    for (bool again = true; again;) {
      again = false;
      for (const auto& link : Identities)
        if (folder.compare(0, link.first.size(), link.first) == 0) {
          folder = link.second + folder.substr(link.first.size());
          again = true;
        }
    }
    return folder;
  }
};

TEST(FolderImport, FoldersBecomeSubmenusAndLinksAndProgramsEntriesWithTheirGroups) {
  UseNativePlatform();
  TFakeFolders folders;
  folders.Folders["C:\\M"] = {{"Spiel.exe", false}, {"notiz.txt", false}, {"Leer", true}, {"Büro", true},
                               {"", false, false, false, u"\u0416\u0443\u0440\u043D\u0430\u043B.lnk"},
                               {"desktop.ini", false}, {"Versteckt.exe", false, true}, {"System", true, false, true}};
  folders.Folders["C:\\M\\System"] = {{"x.exe", false}};
  folders.Folders["C:\\M\\Büro"] = {{"Rechner.lnk", false}, {"Kaputt.lnk", false}, {"Editor.lnk", false},
                                     {"Zeilen.lnk", false}, {"Defekt.lnk", false}};
  folders.Links["C:\\M\\Büro\\Editor.lnk"] = {"C:\\Windows\\notepad.exe", ""};
  folders.Links["C:\\M\\Büro\\Rechner.lnk"] = {"C:\\Program Files\\calc.exe", "-x \"a b\" %PATH% ^&"};
  folders.Links["C:\\M\\Büro\\Zeilen.lnk"] = {"C:\\a.exe", "eins\r\nzwei"};
  folders.Links["C:\\M\\Büro\\Defekt.lnk"] = {"?", ""};
  const TFolderMenu imported = MenuOfFolder(folders, "C:\\M", {"spiel"});
  std::string menu;
  for (const TTRVMenuItem& entry : imported.Menu)
    menu += std::to_string(entry.Level) + entry.Text + "/" + std::to_string(entry.Assignment) + " ";
  EXPECT_EQ(menu, "0Büro/0 1Editor/1 1Rechner/2 0Spiel/3 ")
      << "folders first, an empty one left out, hidden and system items too";
  ASSERT_EQ(imported.Groups.size(), 3u);
  // Each runs exactly what the shell runs: the argument string as the link
  // holds it, "%" unexpanded.
  EXPECT_EQ(imported.Groups[0].Lines[0].Params, "C:\\Windows\\notepad.exe;0;0;1");
  EXPECT_EQ(imported.Groups[1].Lines[0].Params,
            JoinDelimited({"\"C:\\Program Files\\calc.exe\" -x \"a b\" %PATH% ^&", "0", "0", "1"}, ';'));
  EXPECT_EQ(imported.Groups[2].Name, "Spiel (2)") << "a name taken in another case";
  EXPECT_EQ(imported.Groups[2].Lines[0].Params, "C:\\M\\Spiel.exe;0;0;1");
  EXPECT_EQ(imported.BrokenLinks, std::vector<std::string>{"C:\\M\\Büro\\Kaputt.lnk"});
  // Refused, each with its name as it is and the reason.
  ASSERT_EQ(imported.Refused.size(), 3u);
  EXPECT_EQ(imported.Refused[0].Path, u"C:\\M\\Büro\\Defekt.lnk");
  EXPECT_EQ(imported.Refused[0].Reason, u"unlesbar");
  EXPECT_EQ(imported.Refused[1].Path, u"C:\\M\\Büro\\Zeilen.lnk");
  EXPECT_EQ(imported.Refused[1].Reason,
            WidenText("Die Argumente enthalten einen Zeilenumbruch, den eine Befehlszeile nicht aufnehmen kann."));
  EXPECT_EQ(imported.Refused[2].Path, u"C:\\M\\\u0416\u0443\u0440\u043D\u0430\u043B.lnk");
  EXPECT_EQ(imported.Refused[2].Reason, ForeignTextMessage(u"\u0416\u0443\u0440\u043D\u0430\u043B.lnk"));
  const std::u16string message = LeftOutMessage(imported.BrokenLinks, imported.Refused);
  EXPECT_NE(message.find(u"\r\nC:\\M\\\u0416\u0443\u0440\u043D\u0430\u043B.lnk\r\n"), std::u16string::npos);
  // A link named as the menu's section: its group is named so that the
  // saved file reads back with the same groups.
  folders.Folders["C:\\K"] = {{"[MenuItems].lnk", false}, {"Spiel.lnk", false}};
  folders.Links["C:\\K\\[MenuItems].lnk"] = folders.Links["C:\\K\\Spiel.lnk"] = {"C:\\a.exe", ""};
  const TFolderMenu headers = MenuOfFolder(folders, "C:\\K", {});
  TFakeFiles files;
  Platform.Files = &files;
  files.Files["k.trv"] = ProjectFileText(TProject(headers.Groups, headers.Menu), true);
  TProject loaded;
  ASSERT_TRUE(LoadProject(loaded, "k.trv", false));
  // In the collation's order, which differs between the systems.
  Texts names = loaded.GroupNames();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (Texts{"Spiel", "[MenuItems] (2)"}));
  EXPECT_EQ(loaded.MenuItems().size(), 2u);
  UseNativePlatform();
}

// As the folder's own submenu and the shell show them.
TEST(FolderImport, NamesWithNumbersComeInTheirNumbersOrder) {
  UseNativePlatform();
  TFakeFolders folders;
  folders.Folders["C:\\M"] = {{"Teil 10.exe", false}, {"teil 2.exe", false}, {"Teil 1b.exe", false}};
  std::string menu;
  for (const TTRVMenuItem& entry : MenuOfFolder(folders, "C:\\M", {}).Menu) menu += entry.Text + ",";
  EXPECT_EQ(menu, "Teil 1b,teil 2,Teil 10,");
}

TEST(FolderImport, AFolderLinkedToItselfIsVisitedOnce) {
  UseNativePlatform();
  TFakeFolders folders;
  folders.Folders["C:\\M"] = {{"Schleife", true}, {"Zurück", true}, {"a.exe", false}};
  folders.Folders["C:\\N"] = {{"Hin", true}, {"b.exe", false}};
  folders.Identities["C:\\M\\Schleife"] = "C:\\M";  // a junction to itself
  folders.Identities["C:\\M\\Zurück"] = "C:\\N";    // two folders linked to each other
  folders.Identities["C:\\N\\Hin"] = "C:\\M";
  const TFolderMenu imported = MenuOfFolder(folders, "C:\\M", {});
  std::string menu;
  for (const TTRVMenuItem& entry : imported.Menu) menu += std::to_string(entry.Level) + entry.Text + " ";
  EXPECT_EQ(menu, "0Zurück 1b 0a ");
  EXPECT_EQ(folders.Reads, 2) << "each folder read once";
}

// Both editors on one project, with the history that walks their steps.
class EditorHistoryTest : public ::testing::Test {
 public:
  void SetUp() override {
    UseNativePlatform();
    project = TProject({{"Alpha", {{lkCommand, "a.exe;0"}}},
                        {"Beta", {{lkCallGroup, "\"Alpha\""}, {lkEndRun, ""}}},
                        {"Gamma", {}}},
                       {{"A", 1, 0}, {"a1", 2, 1}, {"a2", 3, 1}, {"B", 0, 0}, {"C", 1, 0}});
    project.View = &groupView;
    groupView.Editor = &groups;
    menuView.Editor = &menu;
    groups.GroupsRestored("");
    menu.MenuRestored(-1);
  }
  std::string File() { return ProjectFileText(project, project.UseMenu()); }
  void SelectEntry(const char* text) {
    for (size_t i = 0; i < menuView.Nodes.size(); ++i)
      if (menuView.Nodes[i].first == text) menuView.Select(static_cast<int>(i));
  }
  // What the user sees: the selected entry, the chosen group's rows (each
  // the working list's line) and the selected row.
  std::string Seen() {
    std::string seen = (menuView.Selected >= 0 ? menuView.Nodes[menuView.Selected].first : "-") + "|" +
                       (groupView.Item >= 0 ? groupView.Items[groupView.Item] : "-") + ":";
    EXPECT_EQ(groupView.Rows.size(), groups.WorkingLines().size());
    for (size_t i = 0; i < groupView.Rows.size(); ++i) {
      EXPECT_EQ(groupView.Rows[i], TFakeGroupView::Text(RowOfLine(groups.WorkingLines()[i])));
      seen += (i ? "," : "") + groupView.Rows[i].substr(groupView.Rows[i].find('|') + 1);
    }
    return seen + "@" + std::to_string(groupView.Row);
  }
  // The tree shows the menu list, entry for entry.
  void ExpectTreeIsList() {
    ASSERT_EQ(menuView.Nodes.size(), project.MenuItems().size());
    for (size_t i = 0; i < menuView.Nodes.size(); ++i) {
      EXPECT_EQ(menuView.Nodes[i].first, project.MenuItems()[i].Text) << i;
      EXPECT_EQ(menuView.Nodes[i].second, project.MenuItems()[i].Level) << i;
    }
  }

  TProject project;
  TFakeGroupView groupView;
  TFakeMenuView menuView;
  TGroupEditor groups{project, groupView};
  TMenuEditor menu{project, menuView};
  TEditorHistory history{project, menu, groups};
};

TEST_F(EditorHistoryTest, UndoingAllGivesTheOriginalFileAndRedoingAllTheEditedOne) {
  const std::string original = File();
  using TStep = std::pair<const char*, std::function<void(EditorHistoryTest&)>>;
  const std::vector<TStep> steps = {
      {"new entry", [](EditorHistoryTest& t) { t.SelectEntry("A"), t.menu.NewItem("N", 2); }},
      {"sub-entry", [](EditorHistoryTest& t) { t.SelectEntry("B"), t.menu.NewSubItem("b1", 3); }},
      {"edit", [](EditorHistoryTest& t) { t.SelectEntry("a2"), t.menu.EditItem("zwei", 0); }},
      {"down", [](EditorHistoryTest& t) { t.SelectEntry("A"), t.menu.MoveDown(); }},
      {"up", [](EditorHistoryTest& t) { t.SelectEntry("C"), t.menu.MoveUp(); }},
      {"delete with children", [](EditorHistoryTest& t) { t.SelectEntry("B"), t.menu.DeleteItem(); }},
      {"lines and a rename", [](EditorHistoryTest& t) {
         t.groups.GroupChosen(0);  // Alpha
         t.groups.ApplyNewLine({lkQuestion, "Weiter?;Frage;1;0"});
         t.groups.RowSelected(0);
         t.groups.ApplyEditedLine(0, {lkMessage, "Hallo;Titel;3;0"});
         t.groups.NameChanged("Zeta");
         t.groups.CommitEdit();
       }},
      {"new group", [](EditorHistoryTest& t) {
         t.groups.GroupChosen(-1);
         t.groups.NameChanged("Delta");
         t.groups.ApplyNewLine({lkEndRun, ""});
         t.groups.CommitNew();
       }},
      {"delete group", [](EditorHistoryTest& t) {
         t.groups.GroupChosen(0);  // Beta: its entry C is unbound
         t.groups.DeleteGroup();
       }},
      {"import", [](EditorHistoryTest& t) {
         t.history.Import({{"Ordner", 0, 0}, {"Neu", 1, 1}}, {{"Neu", {{lkCommand, "neu.exe;0"}}}});
       }},
      {"menu setting", [](EditorHistoryTest& t) { t.project.ChangeMenuSetting(false); }},
      {"folder entry", [](EditorHistoryTest& t) { t.SelectEntry("Ordner"), t.menu.NewFolderItem("C:\\Daten"); }},
      {"folder entry renamed", [](EditorHistoryTest& t) { t.SelectEntry("Daten"), t.menu.EditItem("Alles", 1); }},
      {"folder entry dragged", [](EditorHistoryTest& t) { t.menu.Drop(2, 0, mdInto); }},
  };
  std::vector<std::string> files = {original};
  for (const TStep& step : steps) {
    step.second(*this);
    ExpectTreeIsList();
    EXPECT_NE(File(), files.back()) << step.first;
    files.push_back(File());
  }
  const std::string edited = File();
  // Each undo goes back one file; the lines' own steps come between.
  while (history.Undo()) {
    ExpectTreeIsList();
    if (File() != files.back()) {
      files.pop_back();
      EXPECT_EQ(File(), files.back());
    }
  }
  EXPECT_EQ(File(), original);
  EXPECT_FALSE(project.Modified()) << "back where the project was loaded";
  while (history.Redo()) ExpectTreeIsList();
  EXPECT_EQ(File(), edited);
  EXPECT_TRUE(project.Modified());
}

TEST_F(EditorHistoryTest, EachEditorTakesBackItsOwnStepsAndSaysWhich) {
  TRecordingMessageBoxes boxes;
  boxes.Answer = idNo;  // changed lines left: dropped
  Platform.MessageBoxes = &boxes;
  const std::string original = File();
  groups.GroupChosen(0);
  groupView.Select(0);
  groups.ApplyNewLine({lkCommand, "g.exe;0"});
  SelectEntry("A");
  menu.NewItem("N", 0);
  const std::string withEntry = File();
  using TMake = void (*)(EditorHistoryTest&);
  const struct {
    TEditorScope scope;
    bool undo;
    const char* before;  // what Ctrl+Z would take back
    bool acts;
    size_t entries;
    const char* seen;  // the selected entry | the chosen group: its rows' parameters @ the selected row
    TMake first = nullptr;  // what the user did before the key
  } keys[] = {
      // In the list: its own line, though the entry is newer; then nothing.
      {esGroups, true, "die letzte Änderung der Befehlszeilen", true, 6, "N|Alpha:a.exe;0@0"},
      {esGroups, true, "", false, 6, "N|Alpha:a.exe;0@0"},
      {esMenu, true, "den neuen Eintrag \"N\"", true, 5, "B|Alpha:a.exe;0@0"},
      {esMenu, true, "", false, 5, "B|Alpha:a.exe;0@0"},
      {esGroups, false, "", true, 5, "B|Alpha:g.exe;0,a.exe;0@1"},
      {esMenu, false, "", true, 6, "N|Alpha:g.exe;0,a.exe;0@1"},
      {esMenu, false, "", false, 6, "N|Alpha:g.exe;0,a.exe;0@1"},
      // Outside both editors, the newest of either; again the one undone last.
      {esAll, true, "den neuen Eintrag \"N\"", true, 5, "B|Alpha:g.exe;0,a.exe;0@1"},
      {esAll, true, "die letzte Änderung der Befehlszeilen", true, 5, "B|Alpha:a.exe;0@0"},
      {esAll, false, "", true, 5, "B|Alpha:g.exe;0,a.exe;0@1"},
      {esAll, false, "", true, 6, "N|Alpha:g.exe;0,a.exe;0@1"},
      // Another group: the lines left behind are no steps of its list.
      {esGroups, true, "die letzte Änderung der Befehlszeilen", true, 6, "N|Alpha:g.exe;0,a.exe;0@1",
       [](EditorHistoryTest& t) { t.groups.ApplyEditedLine(0, {lkCommand, "h.exe;0"}); }},
      {esGroups, true, "", false, 6, "N|Beta:\"Alpha\",@-1", [](EditorHistoryTest& t) { t.groups.GroupChosen(1); }},
      {esGroups, false, "", false, 6, "N|Beta:\"Alpha\",@-1"},
      // A deleted group comes back chosen.
      {esGroups, true, "das Löschen der Gruppe \"Beta\"", true, 6, "N|Beta:\"Alpha\",@-1",
       [](EditorHistoryTest& t) { t.groups.DeleteGroup(); }},
  };
  for (const auto& k : keys) {
    SCOPED_TRACE(std::to_string(&k - keys));
    if (k.first) k.first(*this);
    if (k.undo) {
      EXPECT_EQ(history.UndoText(k.scope), k.before);
    }
    EXPECT_EQ(k.undo ? history.Undo(k.scope) : history.Redo(k.scope), k.acts);
    EXPECT_EQ(project.MenuItems().size(), k.entries);
    // The working list is no part of the file: only the entry comes and goes.
    EXPECT_EQ(File(), k.entries == 6 ? withEntry : original);
    EXPECT_EQ(Seen(), k.seen);
    ExpectTreeIsList();
  }
  EXPECT_EQ(boxes.Shown.size(), 1u) << "asked once, for the lines left behind";
  UseNativePlatform();
  EXPECT_EQ(history.UndoText(esAll), "den neuen Eintrag \"N\"");
  groups.NameChanged("Beta 2");
  ASSERT_TRUE(groups.CommitEdit());
  EXPECT_EQ(history.UndoText(esMenu), "") << "the newest step is the group's";
  EXPECT_EQ(history.UndoText(esGroups), "die Änderung der Gruppe \"Beta 2\"");
}

TEST_F(EditorHistoryTest, UndoAndRedoKeepTheExpandedSubmenusAndShowTheChangedEntry) {
  history.Import({{"X", 0, 0}, {"x1", 0, 1}, {"x2", 0, 2}, {"Y", 0, 0}, {"y1", 0, 1}, {"Z", 0, 0}}, {});
  for (const char* open : {"X", "x1", "Y"}) menuView.Expanded.insert(open);
  const struct {
    const char* step;
    std::function<void(EditorHistoryTest&)> make;
  } steps[] = {
      {"new entry", [](EditorHistoryTest& t) { t.SelectEntry("Z"), t.menu.NewItem("N", 0); }},
      {"edit", [](EditorHistoryTest& t) { t.SelectEntry("X"), t.menu.EditItem("X neu", 0); }},
      {"move", [](EditorHistoryTest& t) { t.SelectEntry("Y"), t.menu.MoveUp(); }},
      {"delete", [](EditorHistoryTest& t) { t.SelectEntry("Z"), t.menu.DeleteItem(); }},
  };
  for (const auto& s : steps) {
    SCOPED_TRACE(s.step);
    s.make(*this);
    const std::set<std::string> open = menuView.Expanded;
    ASSERT_TRUE(history.Undo(esMenu));
    ExpectTreeIsList();
    for (const std::string& text : {"x1", "Y"}) EXPECT_EQ(menuView.Expanded.count(text), open.count(text)) << text;
    EXPECT_TRUE(menuView.Expanded.count("X")) << "an entry's own change keeps it open";
    ASSERT_TRUE(history.Redo(esMenu));
    ExpectTreeIsList();
    EXPECT_EQ(menuView.Expanded, open);
    ASSERT_TRUE(history.Undo(esMenu));
  }
  // The changed entry is shown: a sub-entry brought back opens its submenu.
  menuView.Expanded.erase("Y");
  SelectEntry("y1");
  menu.DeleteItem();
  ASSERT_TRUE(history.Undo(esMenu));
  EXPECT_EQ(menuView.Nodes[menu.Selected()].first, "y1");
  EXPECT_TRUE(menuView.Expanded.count("Y"));
}

TEST_F(EditorHistoryTest, ANewStepDropsWhatWasUndone) {
  SelectEntry("A");
  menu.NewItem("N", 0);
  groups.GroupChosen(2);
  groups.ApplyNewLine({lkEndRun, ""});
  ASSERT_TRUE(history.Undo());  // the line
  ASSERT_TRUE(history.Undo());  // the entry
  EXPECT_TRUE(history.CanRedo());
  SelectEntry("C");
  menu.DeleteItem();
  EXPECT_FALSE(history.CanRedo()) << "neither the entry nor the line comes back";
  EXPECT_FALSE(history.Redo());
  ASSERT_TRUE(history.Undo());
  EXPECT_EQ(project.MenuItems().size(), 5u);
  EXPECT_FALSE(project.Modified());
}

}  // namespace

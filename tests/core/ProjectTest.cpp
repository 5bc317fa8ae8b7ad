#include <functional>

#include "tests/core/TestSupport.h"

namespace {

class MenuTable : public ProjectFixture {};

TEST_F(MenuTable, DeleteRemovesTheEntryWithItsDescendants) {
  project = TProject({}, Menu({{"A", 0}, {"B", 0}, {"b1", 1}, {"b2", 2}, {"b3", 1}}));
  project.DeleteMenuItem(1);  // subtree reaches the end of the list
  EXPECT_EQ(Describe(project.MenuItems()), "A0");

  project = TProject({}, Menu({{"A", 0}, {"a1", 1}, {"a2", 1}, {"B", 0}}));
  project.DeleteMenuItem(1);  // a leaf
  EXPECT_EQ(Describe(project.MenuItems()), "A0 a21 B0");
  project.DeleteMenuItem(0);
  EXPECT_EQ(Describe(project.MenuItems()), "B0");
  EXPECT_THROW(project.DeleteMenuItem(1), EListError);
}

TEST_F(MenuTable, MoveUpKeepsTheWholeSubtreeInOrder) {
  project = TProject({}, Menu({{"X", 0}, {"P", 0}, {"c1", 1}, {"g1", 2}, {"c2", 1}}));
  project.MoveMenuItem(1, 0);
  EXPECT_EQ(Describe(project.MenuItems()), "P0 c11 g12 c21 X0");
}

TEST_F(MenuTable, MoveDownPutsTheBlockEndAtTheTarget) {
  project = TProject({}, Menu({{"P", 0}, {"c1", 1}, {"g1", 2}, {"c2", 1}, {"X", 0}}));
  project.MoveMenuItem(0, 4);
  EXPECT_EQ(Describe(project.MenuItems()), "X0 P0 c11 g12 c21");

  // Down past a sibling that has children of its own.
  project = TProject({}, Menu({{"A", 0}, {"a1", 1}, {"B", 0}, {"b1", 1}, {"b2", 1}, {"C", 0}}));
  project.MoveMenuItem(0, 4);
  EXPECT_EQ(Describe(project.MenuItems()), "B0 b11 b21 A0 a11 C0");
}

TEST_F(MenuTable, MoveKeepsAssignmentsWithTheirEntries) {
  project = TProject({}, {{"A", 1, 0}, {"B", 2, 0}, {"b", 3, 1}});
  project.MoveMenuItem(1, 0);
  ASSERT_EQ(Describe(project.MenuItems()), "B0 b1 A0");
  EXPECT_EQ(project.MenuItem(0).Assignment, 2);
  EXPECT_EQ(project.MenuItem(1).Assignment, 3);
  EXPECT_EQ(project.MenuItem(2).Assignment, 1);
}

TEST_F(MenuTable, InsertPutsTheGivenEntryThereAndShiftsTheRest) {
  project = TProject({}, Menu({{"A", 0}, {"B", 0}}));
  project.InsertMenuItemAt(1, TTRVMenuItem{"N", 2, 1});
  EXPECT_EQ(Describe(project.MenuItems()), "A0 N1 B0");
  EXPECT_EQ(project.MenuItem(1).Assignment, 2);
  project.InsertMenuItemAt(3, TTRVMenuItem{"E", 0, 0});  // at the end
  EXPECT_EQ(project.MenuItems().size(), 4u);
  project.InsertMenuItemAt(0, TTRVMenuItem{"F", 0, 0});
  EXPECT_EQ(project.MenuItems().size(), 5u);
  EXPECT_EQ(project.MenuItem(1).Text, "A");
  EXPECT_EQ(Describe(project.MenuItems()), "F0 A0 N1 B0 E0");
  EXPECT_THROW(project.InsertMenuItemAt(7, TTRVMenuItem{"X", 0, 0}), EListError);
  EXPECT_THROW(project.InsertMenuItemAt(-1, TTRVMenuItem{"X", 0, 0}), EListError);
  EXPECT_EQ(project.MenuItems().size(), 5u);
}

class GroupTable : public ProjectFixture {
 protected:
  static std::vector<TExecGroup> Groups(std::initializer_list<const char*> names) {
    std::vector<TExecGroup> groups;
    for (const char* n : names) groups.push_back(TExecGroup{n, {}});
    return groups;
  }
  std::string Names() const {
    std::string s;
    for (const TExecGroup& g : project.ExecGroups()) s += (s.empty() ? "" : " ") + g.Name;
    return s;
  }
};

TEST_F(GroupTable, SortRenumbersAssignmentsAndRefillsTheLists) {
  TRecordingView view;
  project = TProject(Groups({"b", "A", "c"}), {{"1", 1, 0}, {"2", 2, 0}, {"3", 3, 0}, {"none", 0, 0}});
  project.View = &view;
  EXPECT_EQ(project.SortExecGroups(0), 1);
  EXPECT_EQ(Names(), "A b c");
  EXPECT_EQ(project.MenuItem(0).Assignment, 2);
  EXPECT_EQ(project.MenuItem(1).Assignment, 1);
  EXPECT_EQ(project.MenuItem(2).Assignment, 3);
  EXPECT_EQ(project.MenuItem(3).Assignment, 0);
  EXPECT_EQ(view.Calls, std::vector<std::string>{"refill A b c"});
  EXPECT_EQ(project.SortExecGroups(-1), -1);
}

TEST_F(GroupTable, SortIgnoresCaseAndPlacesUmlautsWithTheirLetters) {
  project = TProject(Groups({"Birne", "Äpfel", "apfel", "Zitrone"}), {});
  project.SortExecGroups(-1);
  EXPECT_EQ(Names(), "apfel Äpfel Birne Zitrone");
}

TEST_F(GroupTable, SortIgnoresTheCaseOfEveryWindows1252Letter) {
  project = TProject(Groups({"Žb", "ža", "Šb", "ša"}), {});
  project.SortExecGroups(-1);
  EXPECT_EQ(Names(), "ša Šb ža Žb");
}

TEST_F(GroupTable, SortKeepsEveryGroupWhenNamesRepeat) {
  std::vector<TExecGroup> groups = Groups({"b", "a", "b"});
  groups[0].Lines = {{lkEndRun, ""}};
  project = TProject(groups, {{"x", 1, 0}, {"y", 3, 0}});
  project.SortExecGroups(-1);
  EXPECT_EQ(Names(), "a b b");
  ASSERT_EQ(project.ExecGroup(1).Lines.size(), 1u);  // the first b stays first among the b's
  EXPECT_EQ(project.MenuItem(0).Assignment, 2);
  EXPECT_EQ(project.MenuItem(1).Assignment, 3);
}

TEST_F(GroupTable, SortLeavesOutOfRangeAssignmentsAlone) {
  project = TProject(Groups({"b", "a"}), {{"x", 9, 0}, {"y", -1, 0}});
  project.SortExecGroups(-1);
  EXPECT_EQ(project.MenuItem(0).Assignment, 9);
  EXPECT_EQ(project.MenuItem(1).Assignment, -1);
}

TEST_F(GroupTable, RemoveFixesMenuEntriesAndCalls) {
  std::vector<TExecGroup> groups = Groups({"a", "b", "c"});
  groups[0].Lines = {{lkCallGroup, "\"b\""}, {lkCallGroup, "\"c\""}, {lkCallGroup, "\"B\""}};
  groups[2].Lines = {{lkCallGroup, "\"b\""}};
  project = TProject(groups, {{"1", 1, 0}, {"2", 2, 0}, {"3", 3, 0}, {"0", 0, 0}});
  project.RemoveExecGroup(1);
  EXPECT_EQ(Names(), "a c");
  EXPECT_EQ(project.MenuItem(0).Assignment, 1);
  EXPECT_EQ(project.MenuItem(1).Assignment, 0);
  EXPECT_EQ(project.MenuItem(2).Assignment, 2);
  EXPECT_EQ(project.MenuItem(3).Assignment, 0);
  EXPECT_EQ(project.ExecGroup(0).Lines[0].Kind, lkNoAction);
  EXPECT_EQ(project.ExecGroup(0).Lines[0].Params, "Doppelklicken zum Bearbeiten");
  EXPECT_EQ(project.ExecGroup(0).Lines[1].Kind, lkCallGroup);  // another group
  EXPECT_EQ(project.ExecGroup(0).Lines[2].Kind, lkCallGroup);  // names compare exactly
  EXPECT_EQ(project.ExecGroup(1).Lines[0].Kind, lkNoAction);
  EXPECT_TRUE(project.Modified());
}

TEST_F(GroupTable, ChangeRenamesCallsAndReturnsTheNewPosition) {
  std::vector<TExecGroup> groups = Groups({"Alpha", "beta", "gamma"});
  groups[0].Lines = {{lkCallGroup, "\"gamma\""}};
  project = TProject(groups, {{"g", 3, 0}, {"a", 1, 0}});
  TExecGroup changed{"Aaa", {{lkCallGroup, "\"gamma\""}, {lkMessage, "x;y;0;0"}}};
  EXPECT_EQ(project.ChangeExecGroup(2, changed), 0);
  EXPECT_EQ(Names(), "Aaa Alpha beta");
  EXPECT_EQ(project.ExecGroup(1).Lines[0].Params, "\"Aaa\"");
  EXPECT_EQ(project.ExecGroup(0).Lines[0].Params, "\"Aaa\"");  // its own call of its old name
  EXPECT_EQ(project.ExecGroup(0).Lines[1].Params, "x;y;0;0");
  EXPECT_EQ(project.MenuItem(0).Assignment, 1);  // still bound to the renamed group
  EXPECT_EQ(project.MenuItem(1).Assignment, 2);
  EXPECT_TRUE(project.Modified());
}

TEST_F(GroupTable, StorableNamesAreThoseTheFileCanReadBack) {
  for (const char* good : {"Editor", "Neustart?", "a b", "[ExecGroups]", "Ü"}) EXPECT_TRUE(IsStorableGroupName(good)) << good;
  for (const char* bad : {"", " lead", "[MenuItems]", "[NotUsed:MenuItems]", "line\nbreak", "cr\r"})
    EXPECT_FALSE(IsStorableGroupName(bad)) << bad;
}

TEST_F(GroupTable, ResetEmptiesModelAndEditors) {
  TRecordingView view;
  project = TProject(Groups({"a"}), Menu({{"x", 0}}));
  project.View = &view;
  project.SetFileName("C:\\p.trv");
  MarkModified(project);
  project.Reset();
  EXPECT_TRUE(project.ExecGroups().empty());
  EXPECT_TRUE(project.MenuItems().empty());
  EXPECT_EQ(project.FileName(), "");
  EXPECT_FALSE(project.Modified());
  EXPECT_EQ(view.Calls, std::vector<std::string>{"reset"});
}

TEST_F(GroupTable, EveryChangeMarksTheProjectModifiedAndResetClearsIt) {
  const struct {
    const char* Name;
    std::function<void(TProject&)> Change;
  } cases[] = {
      {"InsertMenuItem", [](TProject& p) { p.InsertMenuItemAt(0, TTRVMenuItem{"n", 0, 0}); }},
      {"ChangeMenuItem", [](TProject& p) { p.ChangeMenuItem(0, "z", 2); }},
      {"DeleteMenuItem", [](TProject& p) { p.DeleteMenuItem(1); }},
      {"MoveMenuItem", [](TProject& p) { p.MoveMenuItem(1, 0); }},
      {"AddExecGroup", [](TProject& p) { p.AddExecGroup(TExecGroup{"c", {}}); }},
      {"SortExecGroups", [](TProject& p) { p.SortExecGroups(-1); }},
      {"RemoveExecGroup", [](TProject& p) { p.RemoveExecGroup(0); }},
      {"ChangeExecGroup", [](TProject& p) { p.ChangeExecGroup(0, TExecGroup{"c", {}}); }},
  };
  for (const auto& c : cases) {
    // Groups out of order: the sort changes their order.
    project = TProject(Groups({"b", "a"}), {{"x", 1, 0}, {"y", 2, 0}});
    EXPECT_FALSE(project.Modified()) << c.Name;
    c.Change(project);
    EXPECT_TRUE(project.Modified()) << c.Name;
    project.Reset();
    EXPECT_FALSE(project.Modified()) << c.Name;
  }
  // A sort that keeps the order changes nothing.
  project = TProject(Groups({"a", "b"}), {{"x", 1, 0}});
  EXPECT_EQ(project.SortExecGroups(1), 1);
  EXPECT_FALSE(project.Modified());
}

TEST(LineKinds, LabelsFollowTheKindList) {
  EXPECT_EQ(LineKindLabel(lkCommand), "Kommando");
  EXPECT_EQ(LineKindLabel(lkCallGroup), "Befehlszeilengruppe");
  EXPECT_EQ(LineKindLabel(lkBranchMarker), "#");
  EXPECT_EQ(std::string(MarkerYes).size(), 5u);
  EXPECT_EQ(std::string(MarkerNo).size(), 7u);
  EXPECT_EQ(CalledGroupName("\"Editor\""), "Editor");
  EXPECT_EQ(CalledGroupName("\""), "");
}

}  // namespace

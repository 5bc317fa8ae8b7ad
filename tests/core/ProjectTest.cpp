#include "tests/core/TestSupport.h"

namespace {

class MenuTable : public ProjectFixture {};

TEST_F(MenuTable, DeleteRemovesTheEntryWithItsDescendants) {
  MenuItems = Menu({{"A", 0}, {"B", 0}, {"b1", 1}, {"b2", 2}, {"b3", 1}});
  DeleteMenuItem(1);  // subtree reaches the end of the list
  EXPECT_EQ(Describe(MenuItems), "A0");

  MenuItems = Menu({{"A", 0}, {"a1", 1}, {"a2", 1}, {"B", 0}});
  DeleteMenuItem(1);  // a leaf
  EXPECT_EQ(Describe(MenuItems), "A0 a21 B0");
  DeleteMenuItem(0);
  EXPECT_EQ(Describe(MenuItems), "B0");
  EXPECT_THROW(DeleteMenuItem(1), EListError);
}

TEST_F(MenuTable, MoveUpKeepsTheWholeSubtreeInOrder) {
  MenuItems = Menu({{"X", 0}, {"P", 0}, {"c1", 1}, {"g1", 2}, {"c2", 1}});
  MoveMenuItem(1, 0);
  EXPECT_EQ(Describe(MenuItems), "P0 c11 g12 c21 X0");
}

TEST_F(MenuTable, MoveDownPutsTheBlockEndAtTheTarget) {
  MenuItems = Menu({{"P", 0}, {"c1", 1}, {"g1", 2}, {"c2", 1}, {"X", 0}});
  MoveMenuItem(0, 4);
  EXPECT_EQ(Describe(MenuItems), "X0 P0 c11 g12 c21");

  // Down past a sibling that has children of its own.
  MenuItems = Menu({{"A", 0}, {"a1", 1}, {"B", 0}, {"b1", 1}, {"b2", 1}, {"C", 0}});
  MoveMenuItem(0, 4);
  EXPECT_EQ(Describe(MenuItems), "B0 b11 b21 A0 a11 C0");
}

TEST_F(MenuTable, MoveKeepsAssignmentsWithTheirEntries) {
  MenuItems = {{"A", 1, 0}, {"B", 2, 0}, {"b", 3, 1}};
  MoveMenuItem(1, 0);
  ASSERT_EQ(Describe(MenuItems), "B0 b1 A0");
  EXPECT_EQ(MenuItems[0].Assignment, 2);
  EXPECT_EQ(MenuItems[1].Assignment, 3);
  EXPECT_EQ(MenuItems[2].Assignment, 1);
}

TEST_F(MenuTable, InsertSlotShiftsTheRestAndKeepsTheOldValue) {
  MenuItems = Menu({{"A", 0}, {"B", 0}});
  InsertMenuItemSlot(1);
  EXPECT_EQ(Describe(MenuItems), "A0 B0 B0");
  InsertMenuItemSlot(3);  // at the end
  EXPECT_EQ(MenuItems.size(), 4u);
  InsertMenuItemSlot(0);
  EXPECT_EQ(MenuItems.size(), 5u);
  EXPECT_EQ(MenuItems[1].Text, "A");
  EXPECT_THROW(InsertMenuItemSlot(7), EListError);
}

class GroupTable : public ProjectFixture {
 protected:
  void Groups(std::initializer_list<const char*> names) {
    ExecGroups.clear();
    for (const char* n : names) ExecGroups.push_back(TExecGroup{n, {}});
  }
  std::string Names() const {
    std::string s;
    for (const TExecGroup& g : ExecGroups) s += (s.empty() ? "" : " ") + g.Name;
    return s;
  }
};

TEST_F(GroupTable, SortRenumbersAssignmentsAndRefillsTheLists) {
  TRecordingView view;
  ProjectView = &view;
  Groups({"b", "A", "c"});
  MenuItems = {{"1", 1, 0}, {"2", 2, 0}, {"3", 3, 0}, {"none", 0, 0}};
  EXPECT_EQ(SortExecGroups(0), 1);
  EXPECT_EQ(Names(), "A b c");
  EXPECT_EQ(MenuItems[0].Assignment, 2);
  EXPECT_EQ(MenuItems[1].Assignment, 1);
  EXPECT_EQ(MenuItems[2].Assignment, 3);
  EXPECT_EQ(MenuItems[3].Assignment, 0);
  EXPECT_EQ(view.Calls, std::vector<std::string>{"refill A b c"});
  EXPECT_EQ(SortExecGroups(-1), -1);
}

TEST_F(GroupTable, SortIgnoresCaseAndPlacesUmlautsWithTheirLetters) {
  Groups({"Birne", "Äpfel", "apfel", "Zitrone"});
  SortExecGroups(-1);
  EXPECT_EQ(Names(), "apfel Äpfel Birne Zitrone");
}

TEST_F(GroupTable, SortIgnoresTheCaseOfEveryWindows1252Letter) {
  Groups({"Žb", "ža", "Šb", "ša"});
  SortExecGroups(-1);
  EXPECT_EQ(Names(), "ša Šb ža Žb");
}

TEST_F(GroupTable, SortKeepsEveryGroupWhenNamesRepeat) {
  Groups({"b", "a", "b"});
  ExecGroups[0].Lines = {{lkEndRun, ""}};
  MenuItems = {{"x", 1, 0}, {"y", 3, 0}};
  SortExecGroups(-1);
  EXPECT_EQ(Names(), "a b b");
  ASSERT_EQ(ExecGroups[1].Lines.size(), 1u);  // the first b stays first among the b's
  EXPECT_EQ(MenuItems[0].Assignment, 2);
  EXPECT_EQ(MenuItems[1].Assignment, 3);
}

TEST_F(GroupTable, SortLeavesOutOfRangeAssignmentsAlone) {
  Groups({"b", "a"});
  MenuItems = {{"x", 9, 0}, {"y", -1, 0}};
  SortExecGroups(-1);
  EXPECT_EQ(MenuItems[0].Assignment, 9);
  EXPECT_EQ(MenuItems[1].Assignment, -1);
}

TEST_F(GroupTable, RemoveFixesMenuEntriesAndCalls) {
  Groups({"a", "b", "c"});
  ExecGroups[0].Lines = {{lkCallGroup, "\"b\""}, {lkCallGroup, "\"c\""}, {lkCallGroup, "\"B\""}};
  ExecGroups[2].Lines = {{lkCallGroup, "\"b\""}};
  MenuItems = {{"1", 1, 0}, {"2", 2, 0}, {"3", 3, 0}, {"0", 0, 0}};
  RemoveExecGroup(1);
  EXPECT_EQ(Names(), "a c");
  EXPECT_EQ(MenuItems[0].Assignment, 1);
  EXPECT_EQ(MenuItems[1].Assignment, 0);
  EXPECT_EQ(MenuItems[2].Assignment, 2);
  EXPECT_EQ(MenuItems[3].Assignment, 0);
  EXPECT_EQ(ExecGroups[0].Lines[0].Kind, lkNoAction);
  EXPECT_EQ(ExecGroups[0].Lines[0].Params, "Doppelklicken zum Bearbeiten");
  EXPECT_EQ(ExecGroups[0].Lines[1].Kind, lkCallGroup);  // another group
  EXPECT_EQ(ExecGroups[0].Lines[2].Kind, lkCallGroup);  // names compare exactly
  EXPECT_EQ(ExecGroups[1].Lines[0].Kind, lkNoAction);
  EXPECT_TRUE(ProjectModified);
}

TEST_F(GroupTable, ChangeRenamesCallsAndReturnsTheNewPosition) {
  Groups({"Alpha", "beta", "gamma"});
  ExecGroups[0].Lines = {{lkCallGroup, "\"gamma\""}};
  MenuItems = {{"g", 3, 0}, {"a", 1, 0}};
  TExecGroup changed{"Aaa", {{lkCallGroup, "\"gamma\""}, {lkMessage, "x;y;0;0"}}};
  EXPECT_EQ(ChangeExecGroup(2, changed), 0);
  EXPECT_EQ(Names(), "Aaa Alpha beta");
  EXPECT_EQ(ExecGroups[1].Lines[0].Params, "\"Aaa\"");
  EXPECT_EQ(ExecGroups[0].Lines[0].Params, "\"Aaa\"");  // its own call of its old name
  EXPECT_EQ(ExecGroups[0].Lines[1].Params, "x;y;0;0");
  EXPECT_EQ(MenuItems[0].Assignment, 1);  // still bound to the renamed group
  EXPECT_EQ(MenuItems[1].Assignment, 2);
  EXPECT_TRUE(ProjectModified);
}

TEST_F(GroupTable, StorableNamesAreThoseTheFileCanReadBack) {
  for (const char* good : {"Editor", "Neustart?", "a b", "[ExecGroups]", "Ü"}) EXPECT_TRUE(IsStorableGroupName(good)) << good;
  for (const char* bad : {"", " lead", "[MenuItems]", "[NotUsed:MenuItems]", "line\nbreak", "cr\r"})
    EXPECT_FALSE(IsStorableGroupName(bad)) << bad;
}

TEST_F(GroupTable, ResetEmptiesModelAndEditors) {
  TRecordingView view;
  ProjectView = &view;
  Groups({"a"});
  MenuItems = Menu({{"x", 0}});
  ProjectFileName = "C:\\p.trv";
  ProjectModified = true;
  ResetProject();
  EXPECT_TRUE(ExecGroups.empty());
  EXPECT_TRUE(MenuItems.empty());
  EXPECT_EQ(ProjectFileName, "");
  EXPECT_FALSE(ProjectModified);
  EXPECT_EQ(view.Calls, std::vector<std::string>{"reset"});
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

#include <gtest/gtest.h>

#include <chrono>

#include "launcher/PopupMenu.h"
#include "tests/core/InterpreterFakes.h"

namespace {

std::vector<TTRVMenuItem> Entries(std::initializer_list<std::pair<const char*, int>> textAndLevel) {
  return Menu(textAndLevel);
}

// The menu as text: captions in order, a submenu in brackets after its item.
std::string Shape(const TPopupMenuModel& menu, int index = 0) {
  std::string s;
  for (int child : menu.Items[static_cast<size_t>(index)].Children) {
    if (!s.empty()) s += ' ';
    s += menu.Items[static_cast<size_t>(child)].Caption;
    if (!menu.Items[static_cast<size_t>(child)].Children.empty()) s += " [" + Shape(menu, child) + "]";
  }
  return s;
}

TPopupMenuModel Tidied(const std::vector<TTRVMenuItem>& entries) {
  TPopupMenuModel menu = BuildPopupMenu(entries);
  TidyPopupMenu(menu);
  return menu;
}

// ---- Building by levels ----------------------------------------------------

struct LevelCase {
  const char* name;
  std::vector<TTRVMenuItem> entries;
  const char* shape;
};

TEST(PopupMenuLevels, PlaceEveryEntryUnderTheRightItem) {
  const std::vector<LevelCase> cases = {
      {"empty", {}, "- Ab&brechen"},
      {"flat", Entries({{"a", 0}, {"b", 0}}), "a b - Ab&brechen"},
      // The fourth entry belongs to the first top-level item, not to the third.
      {"0 1 2 1 0", Entries({{"a", 0}, {"b", 1}, {"c", 2}, {"d", 1}, {"e", 0}}), "a [b [c] d] e - Ab&brechen"},
      {"back two levels", Entries({{"a", 0}, {"b", 1}, {"c", 2}, {"d", 0}}), "a [b [c]] d - Ab&brechen"},
      {"back to level 1 after 3", Entries({{"a", 0}, {"b", 1}, {"c", 2}, {"d", 3}, {"e", 1}}),
       "a [b [c [d]] e] - Ab&brechen"},
      {"siblings in a submenu", Entries({{"a", 0}, {"b", 1}, {"c", 1}, {"d", 1}}), "a [b c d] - Ab&brechen"},
      // Broken level lists: never above the top level.
      {"first entry deep", Entries({{"a", 2}, {"b", 0}}), "a b - Ab&brechen"},
      {"first entry deep, then deeper", Entries({{"a", 2}, {"b", 3}, {"c", 2}}), "a [b] c - Ab&brechen"},
      {"climb of two", Entries({{"a", 0}, {"b", 2}, {"c", 2}}), "a [b c] - Ab&brechen"},
      // Under the nearest entry of a lower level, as the editor's tree has it.
      {"climb of two, back one", Entries({{"a", 0}, {"b", 2}, {"c", 1}}), "a [b c] - Ab&brechen"},
      {"climb of three, back one by one", Entries({{"a", 0}, {"b", 3}, {"c", 2}, {"d", 1}}),
       "a [b c d] - Ab&brechen"},
      {"negative level", Entries({{"a", 0}, {"b", 1}, {"c", -5}}), "a [b] c - Ab&brechen"},
  };
  for (const LevelCase& c : cases) EXPECT_EQ(Shape(BuildPopupMenu(c.entries)), c.shape) << c.name;
}

TEST(PopupMenuLevels, ItemsCarryTheirEntrysAssignment) {
  std::vector<TTRVMenuItem> entries = {{"a", 3, 0}, {"b", 0, 1}, {"c", 1, 0}};
  TPopupMenuModel menu = BuildPopupMenu(entries);
  ASSERT_EQ(menu.Items.size(), 6u);
  EXPECT_EQ(menu.Items[1].Tag, 3);
  EXPECT_EQ(menu.Items[2].Tag, 0);
  EXPECT_EQ(menu.Items[3].Tag, 1);
  EXPECT_EQ(menu.CancelItem, 5);
  EXPECT_EQ(menu.Items[5].Caption, "Ab&brechen");
  EXPECT_EQ(menu.Items[5].Tag, 0);
}

TEST(PopupMenuLevels, AVeryDeepMenuNeedsNoDeepRecursion) {
  std::vector<TTRVMenuItem> entries;
  for (int i = 0; i < 100000; ++i) entries.push_back({"x", 0, i});
  TPopupMenuModel menu = BuildPopupMenu(entries);
  TidyPopupMenu(menu);
  EXPECT_EQ(menu.Items[100000].Parent, 99999);
  EXPECT_EQ(menu.Items[100000].Caption, "&x");
}

// ---- Separators --------------------------------------------------------------

struct SeparatorCase {
  const char* name;
  std::vector<TTRVMenuItem> entries;
  const char* shape;
};

TEST(PopupMenuTidying, ShowsSeparatorsOnlyBetweenItems) {
  const std::vector<SeparatorCase> cases = {
      {"no entries: only the cancel item", {}, "Ab&brechen"},
      {"last entry a separator: one separator before cancel", Entries({{"a", 0}, {"-", 0}}), "&a - Ab&brechen"},
      {"separators first", Entries({{"-", 0}, {"-", 0}, {"a", 0}}), "&a - Ab&brechen"},
      {"run of separators", Entries({{"a", 0}, {"-", 0}, {"-", 0}, {"-", 0}, {"b", 0}}), "&a - b - Ab&brechen"},
      {"only separators", Entries({{"-", 0}, {"-", 0}}), "Ab&brechen"},
      {"in a submenu", Entries({{"a", 0}, {"-", 1}, {"b", 1}, {"-", 1}, {"-", 1}, {"c", 1}, {"-", 1}}),
       "&a [&b - &c] - Ab&brechen"},
      {"a dash inside a caption is text", Entries({{"a-b", 0}, {"--", 0}}), "&a-b -- - Ab&brechen"},
  };
  for (const SeparatorCase& c : cases) EXPECT_EQ(Shape(Tidied(c.entries)), c.shape) << c.name;
}

// ---- Access keys -------------------------------------------------------------

struct KeyCase {
  std::vector<const char*> captions;
  std::vector<const char*> expected;
};

class AccessKeys : public ::testing::TestWithParam<KeyCase> {};

TEST_P(AccessKeys, AreUniqueWithinALevelAsFarAsCaptionsAllow) {
  std::vector<TPopupItem> items;
  std::vector<int> level;
  for (const char* caption : GetParam().captions) {
    TPopupItem item;
    item.Caption = caption;
    level.push_back(static_cast<int>(items.size()));
    items.push_back(item);
  }
  AssignAccessKeys(items, level);
  std::vector<std::string> captions;
  for (const TPopupItem& item : items) captions.push_back(item.Caption);
  EXPECT_EQ(captions, std::vector<std::string>(GetParam().expected.begin(), GetParam().expected.end()));
}

INSTANTIATE_TEST_SUITE_P(
    Table, AccessKeys,
    ::testing::Values(
        // Captions with distinct keys stay as they are.
        KeyCase{{"&Editor", "E&xtras", "Ab&brechen"}, {"&Editor", "E&xtras", "Ab&brechen"}},
        // Captions without a key get the first free letter or digit.
        KeyCase{{"Editor", "Explorer", "Ende"}, {"&Editor", "E&xplorer", "E&nde"}},
        KeyCase{{"Editor", "&Explorer"}, {"E&ditor", "&Explorer"}},
        // A repeated key: the first keeps it, the later one gets another.
        KeyCase{{"&Neu", "&Nachher", "Ab&brechen"}, {"&Neu", "N&achher", "Ab&brechen"}},
        KeyCase{{"&Bild", "Ab&brechen"}, {"&Bild", "&Abbrechen"}},
        // Letters compare without regard to case.
        KeyCase{{"&neu", "&Nie"}, {"&neu", "N&ie"}},
        // Digits count; other characters are never chosen.
        KeyCase{{"1. Start", "1. Stopp", "!?"}, {"&1. Start", "1. &Stopp", "!?"}},
        KeyCase{{"Öl", "Öde"}, {"Ö&l", "Ö&de"}},
        // A literal ampersand is no key and no candidate.
        KeyCase{{"A&&B", "&&"}, {"&A&&B", "&&"}},
        KeyCase{{"&A&&B", "A&&&B"}, {"&A&&B", "A&&&B"}},
        // No free character: the caption keeps no key.
        KeyCase{{"ab", "ba", "a"}, {"&ab", "&ba", "a"}},
        KeyCase{{"&a", "&a"}, {"&a", "a"}},
        // A key of another character (an umlaut) is kept when unique.
        KeyCase{{"&Übersicht", "&über"}, {"&Übersicht", "ü&ber"}},
        // Separators take no part.
        KeyCase{{"-", "x", "-"}, {"-", "&x", "-"}}));

TEST(PopupMenuTidying, KeysAreAssignedPerLevel) {
  EXPECT_EQ(Shape(Tidied(Entries({{"Neu", 0}, {"Neu", 1}, {"Neu", 1}, {"Nein", 0}}))),
            "&Neu [&Neu N&eu] N&ein - Ab&brechen");
}

TEST(PopupMenuTidying, TheCancelKeyGivesWayToAnEarlierEntrysKey) {
  EXPECT_EQ(Shape(Tidied(Entries({{"&Bild", 0}, {"Ablage", 0}}))), "&Bild &Ablage - Abb&rechen");
}

TEST(PopupMenuTidying, BuildsAndTidiesFiveThousandEntriesQuickly) {
  // Not a timing test: the figure is printed for the record.
  std::vector<TTRVMenuItem> entries;
  for (int i = 0; i < 5000; ++i) entries.push_back({"Eintrag " + std::to_string(i), i % 7, i % 3 == 0 ? 0 : 1});
  auto start = std::chrono::steady_clock::now();
  TPopupMenuModel menu = Tidied(entries);
  auto ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  RecordProperty("BuildAndTidyMs", std::to_string(ms));
  std::printf("5000 entries built and tidied in %.2f ms\n", ms);
  EXPECT_EQ(menu.Items.size(), 5003u);
}

// ---- Clicks ------------------------------------------------------------------

class PopupClick : public InterpreterFixture {};

TEST_F(PopupClick, RunsTheGroupOfTheTagWithAFreshAbortFlag) {
  project = TProject(
      {TExecGroup{"A", Lines({"0 a.exe;0", "3 ", "0 nie.exe;0"})}, TExecGroup{"B", Lines({"0 b.exe;0"})}}, {});
  MenuItemClick(host, project, 2);
  MenuItemClick(host, project, 1);
  // The earlier end of a run does not keep the next click from running.
  MenuItemClick(host, project, 2);
  EXPECT_EQ(host.Calls, (std::vector<std::string>{"open b.exe|", "open a.exe|", "open b.exe|"}));
}

TEST_F(PopupClick, TagZeroAndTagsBeyondTheGroupsRunNothing) {
  project = TProject({TExecGroup{"A", Lines({"0 a.exe;0"})}}, {});
  for (int32_t tag : {0, -1, 2, 1000}) MenuItemClick(host, project, tag);
  EXPECT_TRUE(host.Calls.empty());
}

}  // namespace

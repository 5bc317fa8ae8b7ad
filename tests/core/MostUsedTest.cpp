#include <gtest/gtest.h>

#include "launcher/MostUsed.h"

namespace {

const int64_t Now = 1800000000;  // January 2027
const int64_t Day = 24 * 60 * 60;

std::vector<TExecGroup> Groups() {
  std::vector<TExecGroup> groups;
  for (const char* name : {"Editor", "Mail", "Kalender", "Ende", "Rechner", "Notizen", "Karte"})
    groups.push_back({name, {}});
  return groups;
}

// Texts, groups (1 = "Editor", ...) and levels.
const std::vector<TTRVMenuItem> Menu = {
    {"&Editor", 1, 0}, {"Mail", 2, 0},    {"Mehr", 0, 0},    {"Kalender", 3, 1}, {"Tief", 5, 1},
    {"&Ende", 4, 2},   {"Rechner", 5, 0}, {"Notizen", 6, 0}, {"Karte", 7, 0},    {"Leer", 0, 0},
    {"-", 2, 0},       {"Unter", 1, 1},
};

struct Use {
  const char* group;
  const char* place;
  std::vector<double> days;  // the ages of its choices
};

// The captions of the items on top, joined by blanks.
std::string Top(bool on, const std::vector<Use>& uses) {
  TChoices choices;
  choices.First = on;
  for (const Use& use : uses) {
    TEntryChoices entry{use.group, use.place, {}};
    for (double age : use.days) entry.Times.push_back(Now - static_cast<int64_t>(age * Day));
    choices.Entries.push_back(entry);
  }
  const TPopupMenuModel menu = BuildPopupMenu(Menu);
  std::string s;
  for (int item : MostUsedItems(ChoiceKeys(menu, Groups()), choices, Now)) {
    if (!s.empty()) s += ' ';
    s += menu.Items[static_cast<size_t>(item)].Caption;
  }
  return s;
}

TEST(MostUsed, RanksTheEntriesChosenMostOftenLately) {
  struct Case {
    const char* name;
    bool on;
    std::vector<Use> uses;
    const char* top;
  };
  const std::vector<Case> cases = {
      {"setting off: nothing", false, {{"Editor", "Editor", {0, 0}}}, ""},
      {"nothing chosen", true, {}, ""},
      {"fewer than three: as many as chosen", true, {{"Mail", "Mail", {1}}}, "Mail"},
      {"more choices first", true, {{"Mail", "Mail", {0}}, {"Editor", "Editor", {0, 1}}}, "&Editor Mail"},
      {"the last days weigh most", true, {{"Editor", "Editor", {100, 100, 100}}, {"Mail", "Mail", {1}}},
       "Mail &Editor"},
      {"4, 14, 31 and 90 days are the steps", true,
       {{"Editor", "Editor", {3.9}},
        {"Mail", "Mail", {4.1, 4.1}},  // 140 against 100 + 70 + 50 + 30 + 10
        {"Kalender", "Mehr › Kalender", {13.9, 30.9, 89.9, 90.1, 400}}},
       "Kalender Mail &Editor"},
      {"ties: the latest choice first", true, {{"Editor", "Editor", {2}}, {"Mail", "Mail", {1}}}, "Mail &Editor"},
      {"ties on everything: menu order", true, {{"Mail", "Mail", {1}}, {"Editor", "Editor", {1}}}, "&Editor Mail"},
      {"deep entries by their place", true, {{"Ende", "Mehr › Tief › Ende", {0}}}, "&Ende"},
      {"entries gone, renamed, regrouped, without a group, owners of submenus, under a separator", true,
       {{"Editor", "Alt", {0}},
        {"Mail", "Editor", {0}},
        {"Editor", "Leer", {0}},
        {"Editor", "Mehr", {0}},
        {"Rechner", "Mehr › Tief", {0}},
        {"Editor", "- › Unter", {0}},
        {"Ende", "Tief › Ende", {0}},
        {"Rechner", "Rechner", {}}},
       ""},
      {"more than five: the best five", true,
       {{"Editor", "Editor", {0}},
        {"Mail", "Mail", {0, 0, 0, 0, 0, 0}},
        {"Kalender", "Mehr › Kalender", {0, 0}},
        {"Ende", "Mehr › Tief › Ende", {0, 0, 0, 0, 0}},
        {"Rechner", "Rechner", {0, 0, 0}},
        {"Notizen", "Notizen", {0, 0, 0, 0}},
        {"Karte", "Karte", {0, 0, 0, 0, 0, 0, 0}}},
       "Karte Mail &Ende Notizen Rechner"},
  };
  for (const Case& c : cases) EXPECT_EQ(Top(c.on, c.uses), c.top) << c.name;
}

// The top level as text, "[...]" for a submenu's item.
std::string TopLevel(const TPopupMenuModel& menu) {
  std::string s;
  for (int child : menu.Items[0].Children) {
    const TPopupItem& item = menu.Items[static_cast<size_t>(child)];
    s += (s.empty() ? "" : " ") + item.Caption + (item.Children.empty() ? "" : "[...]");
  }
  return s;
}

TEST(MostUsed, TheTopSectionStandsBeforeTheMenuAsItWas) {
  const std::vector<TTRVMenuItem> menu = {{"&Editor", 1, 0}, {"Mail", 2, 0}, {"Mehr", 0, 0}, {"Ende", 4, 1}};
  TPopupMenuModel plain = BuildPopupMenu(menu);
  TidyPopupMenu(plain);
  TPopupMenuModel none = BuildPopupMenu(menu);
  const TTopSection nothing = PrependMostUsed(none, {});
  TidyPopupMenu(none);
  EXPECT_EQ(TopLevel(none), TopLevel(plain));
  EXPECT_EQ(none.Items.size(), plain.Items.size());
  EXPECT_EQ(nothing.Original(2), 2);

  TPopupMenuModel top = BuildPopupMenu(menu);
  const TTopSection section = PrependMostUsed(top, {4, 2});
  TidyPopupMenu(top);
  EXPECT_EQ(TopLevel(top), "E&nde &Mail - &Editor M&ail Me&hr[...] - Ab&brechen");
  // The items the menu had keep their places; the copies stand for them.
  for (size_t i = 1; i < plain.Items.size(); ++i) EXPECT_EQ(top.Items[i].Tag, plain.Items[i].Tag) << i;
  EXPECT_EQ(section.Original(section.First), 4);
  EXPECT_EQ(section.Original(section.First + 1), 2);
  EXPECT_EQ(section.Original(2), 2);
  EXPECT_EQ(top.Items[static_cast<size_t>(section.First)].Tag, 4);
}

TEST(MostUsed, TheFileKeepsItsOwnProjectsChoicesWithinBounds) {
  TChoices choices;
  choices.First = true;
  for (int i = 0; i < 12; ++i) choices.Add("Editor", "Mehr › Editor", Now + i);
  choices.Add("Mail", "Mail", Now - 5);
  ASSERT_EQ(choices.Entries.size(), 2u);
  EXPECT_EQ(choices.Entries[0].Times.size(), MaxChoiceTimes);
  EXPECT_EQ(choices.Entries[0].Times.front(), Now + 2);
  const std::string path = "C:\\Daten\\Menü.trv";
  const std::string text = FormatChoices(choices, path);

  struct Case {
    const char* name;
    std::string text, path;
    bool ok, first;
    size_t entries;
  };
  const std::vector<Case> cases = {
      {"its own text", text, path, true, true, 2},
      {"the path in another case", text, "c:\\daten\\MENÜ.TRV", true, true, 2},
      {"another project's", text, "C:\\Daten\\Anders.trv", false, false, 0},
      {"a foreign head", "Tarvo Gewählt 2\r\nProjekt=" + path + "\r\nZuerst=1\r\n", path, false, false, 0},
      {"no setting", "Tarvo Gewählt 1\r\nProjekt=" + path + "\r\nZuerst=ja\r\n", path, false, false, 0},
      {"cut in its head", text.substr(0, 30), path, false, false, 0},
      {"empty", "", path, false, false, 0},
      {"damaged lines skipped, a line of LF kept", "Tarvo Gewählt 1\nProjekt=" + path +
           "\nZuerst=1\n12 x3\tEditor\tEditor\n\t\t\n5\t\tLeer\n99999999999999999\tA\tB\n1 2\tMail\tMail\n1\tMail\tMail\n",
       path, true, true, 1},
  };
  for (const Case& c : cases) {
    TChoices read;
    EXPECT_EQ(ParseChoices(c.text, c.path, read), c.ok) << c.name;
    EXPECT_EQ(read.First, c.first) << c.name;
    EXPECT_EQ(read.Entries.size(), c.entries) << c.name;
  }
  TChoices read;
  ASSERT_TRUE(ParseChoices(text, path, read));
  EXPECT_EQ(FormatChoices(read, path), text);
  EXPECT_TRUE(ParseChoices(text, path, read, true));
  EXPECT_TRUE(read.Entries.empty());
  // Any spelling of the path, one file.
  EXPECT_EQ(ChoicesFileName(path), ChoicesFileName("c:\\daten\\MENÜ.TRV"));
  EXPECT_NE(ChoicesFileName(path), ChoicesFileName("C:\\Daten\\Menue.trv"));

  // Full: the entry chosen longest ago makes room.
  TChoices full;
  for (size_t i = 0; i < MaxChoiceEntries; ++i) full.Add("G", "E" + std::to_string(i), Now - 1000 + static_cast<int64_t>(i));
  full.Add("G", "Neu", Now);
  ASSERT_EQ(full.Entries.size(), MaxChoiceEntries);
  EXPECT_EQ(full.Entries.front().Place, "E1");
  EXPECT_EQ(full.Entries.back().Place, "Neu");
}

}  // namespace

#include <gtest/gtest.h>

#include "launcher/Search.h"

namespace {

// {caption, group, level}
struct Line {
  const char* text;
  int32_t tag;
  int32_t level;
};

std::vector<TTRVMenuItem> MenuOf(std::initializer_list<Line> lines) {
  std::vector<TTRVMenuItem> items;
  for (const Line& line : lines) items.push_back(TTRVMenuItem{line.text, line.tag, line.level});
  return items;
}

// The found entries as "place#tag", joined by " | ".
std::string Found(const std::vector<TTRVMenuItem>& menu, const std::string& query) {
  std::string s;
  for (const TSearchEntry& entry : FindMenuEntries(menu, query)) {
    if (!s.empty()) s += " | ";
    s += entry.Place + "#" + std::to_string(entry.Tag);
  }
  return s;
}

const std::vector<TTRVMenuItem> Sample = MenuOf({
    {"Kalender", 11, 0},
    {"&Editor", 1, 0},
    {"Müller Briefe", 2, 0},
    {"Mehr", 3, 0},  // a submenu whose owner has a group
    {"Tief", 0, 1},
    {"Ende", 4, 2},
    {"Straße", 5, 2},
    {"-", 6, 1},  // a separator with a group
    {"Crème brûlée", 7, 1},
    {"Öl && Gas", 8, 1},
    {"Ohne Gruppe", 0, 0},
    {"Texteditor", 9, 0},
    {"ÆRGER", 10, 0},
});

struct SearchCase {
  const char* name;
  const char* query;
  const char* found;
};

TEST(MenuSearch, FindsEntriesByAPartOfTheirCaption) {
  const std::vector<SearchCase> cases = {
      {"word start before anywhere, whatever the menu order", "ende", "Mehr › Tief › Ende#4 | Kalender#11"},
      {"anywhere only, in menu order", "ditor", "Editor#1 | Texteditor#9"},
      {"a later word's start", "brie", "Müller Briefe#2"},
      {"umlaut folded in the caption", "muller", "Müller Briefe#2"},
      {"umlaut folded in the query", "MÜLLER", "Müller Briefe#2"},
      {"sharp s", "strasse", "Mehr › Tief › Straße#5"},
      {"accents", "creme brulee", "Mehr › Crème brûlée#7"},
      {"capital umlaut", "ol", "Mehr › Öl & Gas#8"},
      {"ligature", "aerger", "ÆRGER#10"},
      {"case", "EDITOR", "Editor#1 | Texteditor#9"},
      {"access key marker ignored", "edi", "Editor#1 | Texteditor#9"},
      {"a literal ampersand is text", "& g", "Mehr › Öl & Gas#8"},
      {"blanks around the query", "  gas ", "Mehr › Öl & Gas#8"},
      {"empty query", "", ""},
      {"blank query", "   ", ""},
      {"no match", "xyz", ""},
      {"submenus not listed, nor searched by their place", "mehr", ""},
      {"a submenu without a group", "tief", ""},
      {"separators not listed", "-", ""},
      {"entries without a group not listed", "ohne", ""},
      {"cancel not listed", "abbrechen", ""},
      {"order stable within each rank", "e",
       "Editor#1 | Mehr › Tief › Ende#4 | Kalender#11 | Müller Briefe#2 | Mehr › Tief › Straße#5 | "
       "Mehr › Crème brûlée#7 | Texteditor#9 | ÆRGER#10"},
  };
  for (const SearchCase& c : cases) EXPECT_EQ(Found(Sample, c.query), c.found) << c.name;
}

TEST(MenuSearch, ListsWhatThePopupShowsAsItShowsIt) {
  const std::vector<SearchCase> cases = {
      // A submenu of separators only shows as an entry of its own, and runs.
      {"submenu emptied by tidying", "leer", "Leer#1"},
      // Sub-entries of a separator show nowhere.
      {"below a separator", "weg", ""},
      // Levels deeper than the menu allows: placed as the popup places them.
      {"broken levels", "tief", "Oben › Tief#4"},
  };
  const std::vector<TTRVMenuItem> menu =
      MenuOf({{"Leer", 1, 0}, {"-", 0, 1}, {"-", 2, 0}, {"Weg", 3, 1}, {"Oben", 0, 0}, {"Tief", 4, 3}});
  for (const SearchCase& c : cases) EXPECT_EQ(Found(menu, c.query), c.found) << c.name;
}

// A folder's items, once read, are found after the entries that match
// alike and before those that match less.
TEST(MenuSearch, AFoldersItemsComeAfterTheEntriesThatMatchAlike) {
  std::vector<TTRVMenuItem> menu = MenuOf({{"Mehr", 0, 0}, {"Ablage", 0, 1}, {"Explan", 3, 0}, {"Plan", 1, 0}});
  menu[1].Folder = "%ABLAGE%";
  TPopupMenuModel popup = BuildPopupMenu(menu);
  TidyPopupMenu(popup);
  TMenuSearch search(popup);
  ASSERT_EQ(search.Folders().size(), 1u);
  EXPECT_EQ(search.Folders()[0].Folder, "%ABLAGE%");
  EXPECT_EQ(search.Folders()[0].Place, "Mehr › Ablage");
  TSearchEntry item;
  item.Text = "Plan B";
  item.Place = "Mehr › Ablage › Plan B";
  item.Path = "C:\\Ablage\\Plan B.txt";
  search.Add({item});
  std::string found;
  for (int index : search.Find("plan")) found += search.Entries()[static_cast<size_t>(index)].Place + " | ";
  EXPECT_EQ(found, "Plan | Mehr › Ablage › Plan B | Explan | ");
}

TEST(MenuSearch, FoldsWindows1252LettersToTheirBase) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"ÄÖÜäöüß", "aouaouss"}, {"ÀÁÂÃÅàáâãå", "aaaaaaaaaa"}, {"ÇçÑñÐð", "ccnndd"},
      {"ÈÉÊËèéêë", "eeeeeeee"}, {"ÌÍÎÏìíîï", "iiiiiiii"}, {"ÒÓÔÕØòóôõø", "oooooooooo"},
      {"ÙÚÛùúû", "uuuuuu"},     {"ÝýÿŸ", "yyyy"},        {"ŠšŽžŒœÆæÞþƒ", "sszzoeoeaeaeththf"},
      {"×÷€›1-A", "×÷€›1-a"},
  };
  for (const auto& c : cases) EXPECT_EQ(FoldForSearch(c.first), c.second) << c.first;
}

TEST(MenuSearch, CaptionTextDropsAccessKeyMarkers) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"&Editor", "Editor"}, {"Ab&brechen", "Abbrechen"}, {"A&&B", "A&B"}, {"&&&x", "&x"}, {"x&", "x"}};
  for (const auto& c : cases) EXPECT_EQ(CaptionText(c.first), c.second) << c.first;
}

}  // namespace

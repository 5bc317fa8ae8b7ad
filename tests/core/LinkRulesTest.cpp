#include <gtest/gtest.h>

#include "shortcut/LinkRules.h"

namespace {

TEST(LinkTitles, NineCharactersAreForbiddenAndBlankOrDotTitlesRefused) {
  for (char c : std::string("\\/:*?\"<>|")) EXPECT_FALSE(IsValidLinkTitle(std::string("Men") + c + "u")) << c;
  const struct {
    const char* title;
    bool valid, usable;
  } cases[] = {
      {"Mein Menü", true, true}, {"v1.2 (alt)", true, true}, {"", true, false}, {"   ", true, false},
      {"...", true, false},      {" . ", true, false},        {".a", true, true},  {"a|b", false, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsValidLinkTitle(c.title), c.valid) << c.title;
    EXPECT_EQ(IsUsableLinkTitle(c.title), c.usable) << c.title;
  }
}

TEST(LinkHotKeys, ModifiersMoveToTheLinksFlags) {
  EXPECT_EQ(LinkHotKey(0x4000 | 0x8000 | 'P'), 0x0650);  // Ctrl+Alt+P
  EXPECT_EQ(LinkHotKey(0x2000 | 0x74), 0x0174);          // Shift+F5
  EXPECT_EQ(LinkHotKey(0x74), 0x0074);                   // F5 alone: flags byte 0
  EXPECT_EQ(LinkHotKey(0), 0);
  // From the hotkey control: Ctrl+Alt+P there is 0x0650, and comes back so.
  EXPECT_EQ(ShortCutOfHotKey(0x0650), 0xC050u);
  EXPECT_EQ(LinkHotKey(ShortCutOfHotKey(0x0650)), 0x0650);
  EXPECT_EQ(ShortCutOfHotKey(0x0174), 0x2074u);
  EXPECT_EQ(ShortCutOfHotKey(0x0874), 0x0074u) << "the extended-key flag is no modifier";
  EXPECT_TRUE(WantsModifierAdvice(0x74));
  EXPECT_FALSE(WantsModifierAdvice(0));
  EXPECT_FALSE(WantsModifierAdvice(0x2074));
}

TEST(LinkFiles, NamesArgumentsAndSpecialFolders) {
  EXPECT_EQ(LinkFileName("C:\\Links", "Menü"), "C:\\Links\\Menü.lnk");
  EXPECT_EQ(LinkFileName("C:\\", "..."), "C:\\....lnk");
  EXPECT_EQ(LinkArguments("C:\\Mein Projekt.trv"), "\"C:\\Mein Projekt.trv\"");
  EXPECT_EQ(LinkArguments("C:\\Mein Projekt.trv", "", true), "/suchen \"C:\\Mein Projekt.trv\"");
  EXPECT_EQ(SpecialFolderPath(26, "C:\\AppData"), "C:\\AppData\\Microsoft\\Internet Explorer\\Quick Launch");
  EXPECT_EQ(SpecialFolderPath(26, ""), "") << "an unknown folder stays unknown";
  EXPECT_EQ(SpecialFolderPath(11, "C:\\Start"), "C:\\Start");
}

}  // namespace

namespace {

TEST(LinkFiles, AGroupLinkNamesTheGroupAsTheProgramReadsItBack) {
  const struct {
    const char* group;
    const char* expected;
  } cases[] = {
      {"Editor", "\"C:\\P.trv\" \"Editor\""},
      {"Mit \"Zitat\"", "\"C:\\P.trv\" \"Mit \\\"Zitat\\\"\""},
      {"a\\b\\", "\"C:\\P.trv\" \"a\\b\\\\\""},       // backslashes before the closing quote doubled
      {"a\\\"b", "\"C:\\P.trv\" \"a\\\\\\\"b\""},     // and before an escaped one
  };
  for (const auto& c : cases) EXPECT_EQ(LinkArguments("C:\\P.trv", c.group), c.expected) << c.group;
}

TEST(LinkFiles, TheGroupsOfAProjectFileAreItsNamesInFileOrder) {
  EXPECT_EQ(ProjectGroupNames("[ExecGroups]\r\nEditor\r\n 0 notepad.exe;0\r\nZwei Wörter\r\n[MenuItems]\r\n0 1 Editor\r\n"),
            (std::vector<std::string>{"Editor", "Zwei Wörter"}));
  EXPECT_EQ(ProjectGroupNames("[ExecGroups]\nA\n[NotUsed:MenuItems]\nB\n"), (std::vector<std::string>{"A"}));
  EXPECT_TRUE(ProjectGroupNames("Kein Projekt\r\nA\r\n").empty());
}

}  // namespace

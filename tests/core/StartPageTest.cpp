#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "config/SavePrompt.h"
#include "config/StartPage.h"
#include "controls/BalloonLayout.h"
#include "model/Text.h"
#include "tests/core/TestSupport.h"

namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (true) {
    size_t end = text.find("\r\n", start);
    lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) return lines;
    start = end + 2;
  }
}

TEST(ExpandHelpText, ReplacesTheThreePlaceholdersEverywhere) {
  EXPECT_EQ(ExpandHelpText("a%nlb%nl%nlc"), "a\r\nb\r\n\r\nc");
  EXPECT_EQ(ExpandHelpText("%qmC:%bsDatei1.txt%qm"), "\"C:\\Datei1.txt\"");
  EXPECT_EQ(ExpandHelpText("kein Platzhalter"), "kein Platzhalter");
}

TEST(ExpandHelpText, IsCaseSensitiveAndOrdered) {
  EXPECT_EQ(ExpandHelpText("%NL%Qm"), "%NL%Qm");
  // "%bs" is replaced before "%qm": a backslash made from "%bs" followed by
  // "qm" does not form a new placeholder, and "%bsnl" is not a line break.
  EXPECT_EQ(ExpandHelpText("%%bsnl"), "%\\nl");
}

TEST(WrapHelpText, ShortTextStaysAsItIs) {
  EXPECT_EQ(WrapHelpText("Beendet das Programm."), "Beendet das Programm.");
  EXPECT_EQ(WrapHelpText(""), "");
}

TEST(WrapHelpText, BreaksAtBlanksIntoLinesOfAtMost60Columns) {
  const std::string text =
      "Klicken Sie hier, um neue Befehlszeilenfolgen und Menüs zu erstellen oder bereits existierende zu "
      "bearbeiten.";
  std::string wrapped = WrapHelpText(text);
  auto lines = Lines(wrapped);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "Klicken Sie hier, um neue Befehlszeilenfolgen und Menüs zu");
  EXPECT_EQ(lines[1], "erstellen oder bereits existierende zu bearbeiten.");
  for (auto& l : lines) EXPECT_LE(l.size(), 60u);
}

TEST(WrapHelpText, ABlankRightAfterColumn60EndsAFullLine) {
  std::string a(60, 'a');
  EXPECT_EQ(WrapHelpText(a + " b"), a + "\r\nb");
  EXPECT_EQ(WrapHelpText(a), a);
}

TEST(WrapHelpText, HyphensAndTabsAreBreakPoints) {
  std::string a(55, 'a');
  EXPECT_EQ(WrapHelpText(a + " Ja/Nein-Frage"), a + "\r\nJa/Nein-Frage");
  EXPECT_EQ(WrapHelpText(a + "bb-cccccc"), a + "bb-\r\ncccccc");
  EXPECT_EQ(WrapHelpText(a + "\tcccccccc"), a + "\r\ncccccccc");
}

TEST(WrapHelpText, KeepsExistingLineBreaksAndBlankLines) {
  std::string text = ExpandHelpText(
      "Geben Sie hier den Text ein, der später im Menü ein Element darstellen soll.%nl%nlHinweis: Geben Sie "
      "%qm-%qm (ohne Anführungszeichen) ein, um einen Trennstrich darzustellen.");
  auto lines = Lines(WrapHelpText(text));
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], "Geben Sie hier den Text ein, der später im Menü ein Element");
  EXPECT_EQ(lines[1], "darstellen soll.");
  EXPECT_EQ(lines[2], "");
  EXPECT_EQ(lines[3], "Hinweis: Geben Sie \"-\" (ohne Anführungszeichen) ein, um");
  EXPECT_EQ(lines[4], "einen Trennstrich darzustellen.");
}

TEST(WrapHelpText, AWordLongerThanALineIsNotCut) {
  std::string longWord(70, 'x');
  EXPECT_EQ(WrapHelpText("ab " + longWord + " cd"), "ab\r\n" + longWord + "\r\ncd");
}

TEST(BalloonAnchor, HelpPointsAtTheMiddleValidationAtTheLeft) {
  struct Case {
    int w, h, helpX, helpY, validX, validY;
  } cases[] = {
      {73, 65, 36, 57, 16, 57},
      {121, 21, 60, 13, 16, 13},
      {1, 4, 0, -4, 16, -4},
  };
  for (const Case& c : cases) {
    TAnchor help = HelpBalloonAnchor(c.w, c.h), valid = ValidationBalloonAnchor(c.w, c.h);
    EXPECT_EQ(help.X, c.helpX);
    EXPECT_EQ(help.Y, c.helpY);
    EXPECT_EQ(valid.X, c.validX);
    EXPECT_EQ(valid.Y, c.validY);
  }
}

int Clicks(std::initializer_list<int> clicks, int step = 0) {
  for (int option : clicks) step = NextSequenceStep(step, option);
  return step;
}

TEST(ClickSequence, TheFourClicksInOrderCompleteIt) {
  EXPECT_EQ(Clicks({2}), 1);
  EXPECT_EQ(Clicks({2, 1}), 2);
  EXPECT_EQ(Clicks({2, 1, 1}), 3);
  EXPECT_EQ(Clicks({2, 1, 1, 3}), ClickSequenceComplete);
}

TEST(ClickSequence, OneButtonComesTwiceInARowAndTheStarterOnlyOnce) {
  int twiceInARow = 0;
  for (int i = 0; i + 1 < 4; ++i) twiceInARow += ClickSequence[i] == ClickSequence[i + 1];
  EXPECT_EQ(twiceInARow, 1);
  for (int i = 1; i < 4; ++i) EXPECT_NE(ClickSequence[i], ClickSequence[0]);
  for (int option : ClickSequence) EXPECT_TRUE(option >= 1 && option <= 3);
}

TEST(ClickSequence, TheStarterRestartsWhateverTheStep) {
  for (int step = 0; step <= 4; ++step) EXPECT_EQ(NextSequenceStep(step, 2), 1) << step;
}

TEST(ClickSequence, OtherClicksLeaveTheStepUnchanged) {
  EXPECT_EQ(Clicks({1, 1, 3}), 0);      // no start
  EXPECT_EQ(Clicks({2, 3}), 1);         // 3 not expected at step 1
  EXPECT_EQ(Clicks({2, 1, 3}), 2);      // 3 not expected at step 2
  EXPECT_EQ(Clicks({2, 1, 1, 1}), 3);   // a third 1 is ignored
  EXPECT_EQ(Clicks({2, 1, 3, 1, 3}), 4);  // in-between clicks that do not restart
  EXPECT_EQ(Clicks({1, 3}, 4), 4);      // complete stays complete
}

TEST(DroppedCandidate, APlainFileIsItsOwnCandidate) {
  int asked = 0;
  auto read = [&](const std::string&) {
    ++asked;
    return std::string();
  };
  EXPECT_EQ(DroppedCandidate("C:\\p\\a.trv", read), "C:\\p\\a.trv");
  EXPECT_EQ(asked, 0);
}

TEST(DroppedCandidate, ALinkGivesTheFirstPartOfItsArguments) {
  std::string askedFor;
  auto read = [&](const std::string& link) {
    askedFor = link;
    return std::string("\"C:\\Meine Projekte\\a b.trv\" /x,y");
  };
  EXPECT_EQ(DroppedCandidate("C:\\Desktop\\Menü.LnK", read), "C:\\Meine Projekte\\a b.trv");
  EXPECT_EQ(askedFor, "C:\\Desktop\\Menü.LnK");
  EXPECT_EQ(FirstLinkArgument("a.trv,b.trv"), "a.trv");
  EXPECT_EQ(FirstLinkArgument(""), "");
}

TEST(HasExtension, ComparesTheLastExtensionInUpperCase) {
  EXPECT_TRUE(HasExtension("C:\\x\\a.trv", ".TRV"));
  EXPECT_TRUE(HasExtension("a.Trv", ".TRV"));
  EXPECT_FALSE(HasExtension("a.trv.txt", ".TRV"));
  EXPECT_FALSE(HasExtension("C:\\x.trv\\datei", ".TRV"));
  EXPECT_FALSE(HasExtension("trv", ".TRV"));
}

class SavePromptTest : public ProjectFixture {
 protected:
  void SetUp() override {
    ProjectFixture::SetUp();
    actions.Beep = [this] { calls += "beep "; };
    actions.Save = [this] { calls += "save "; };
  }
  TSavePromptActions actions;
  std::string calls;
};

TEST_F(SavePromptTest, WithoutChangesGoesOnSilently) {
  EXPECT_TRUE(AskSaveFirst(project, actions));
  EXPECT_TRUE(boxes.Shown.empty());
  EXPECT_EQ(calls, "");
}

TEST_F(SavePromptTest, AsksWithSoundAndWarningBox) {
  MarkModified(project);
  boxes.Answer = idNo;
  EXPECT_TRUE(AskSaveFirst(project, actions));
  ASSERT_EQ(boxes.Shown.size(), 1u);
  EXPECT_EQ(boxes.Shown[0].Text, "Möchten Sie das aktuelle Projekt vorher speichern?");
  EXPECT_EQ(boxes.Shown[0].Caption, "Warnung");
  EXPECT_EQ(boxes.Shown[0].Flags, mbYesNoCancel | mbIconWarning);
  EXPECT_EQ(calls, "beep ");
}

TEST_F(SavePromptTest, CancelKeepsTheProject) {
  MarkModified(project);
  boxes.Answer = idCancel;
  EXPECT_FALSE(AskSaveFirst(project, actions));
  EXPECT_EQ(calls, "beep ");
}

TEST_F(SavePromptTest, YesSavesThenGoesOn) {
  MarkModified(project);
  boxes.Answer = idYes;
  EXPECT_TRUE(AskSaveFirst(project, actions));
  EXPECT_EQ(calls, "beep save ");
}

}  // namespace

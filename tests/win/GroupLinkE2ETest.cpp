// A link that runs one group: TRV.EXE with the project and a group's name
// runs that group alone, without the menu; a name no group has is reported
// and runs nothing.
#include <gtest/gtest.h>

#include "shortcut/LinkRules.h"
#include "tests/win/LauncherTestSupport.h"

namespace {

class GroupLink : public ::testing::Test {
 protected:
  void SetUp() override {
    log = PlaceRecorder(temp / "rec.exe");
    const std::string rec = Quoted(temp / "rec.exe");
    // With the menu on: without a group argument the popup would show.
    WriteFileBytes(temp / "projekt.trv",
                   ProjectText({"[ExecGroups]", "Eins", Command(rec + " eins", "1"), "Mit \"Zitat\" und \\",
                                Command(rec + " zwei", "1"), "[MenuItems]", "0 1 Eins", "0 2 Zwei"}));
  }
  TTempFolder temp;
  std::string log;
};

TEST_F(GroupLink, TheNamedGroupRunsAloneWithoutTheMenu) {
  TTrvProcess trv(LinkArguments(temp / "projekt.trv", "Mit \"Zitat\" und \\"));
  EXPECT_EQ(trv.WaitExit(), 0u);
  EXPECT_EQ(Args(ReadRecords(log)), std::vector<std::string>{"zwei"});
}

TEST_F(GroupLink, ANameNoGroupHasIsReportedAndRunsNothing) {
  TTrvProcess trv(LinkArguments(temp / "projekt.trv", "Drei"));
  TMessageBox box = WaitForMessageBox(trv.Id());
  EXPECT_EQ(box.Text, "Die Befehlszeilengruppe \"Drei\" gibt es im Projekt \"" + (temp / "projekt.trv") + "\" nicht.");
  ASSERT_TRUE(PressButton(box, IDOK));
  EXPECT_EQ(trv.WaitExit(), 0u);
  EXPECT_TRUE(ReadRecords(log).empty());
}

}  // namespace

// The rules of the group editor and the command-line dialog that need no
// window: rows of the working list and command lines, the branch structure
// of questions, the parameters each kind writes, the dialog's checks and the
// group names the editor accepts. Portable: no platform types.
#pragma once

#include <string>
#include <vector>

#include "model/Project.h"

// A row of the working list: the caption (column "Typ") and the parameter
// (column "Parameter"), which a row shown from the model lacks when empty.
struct TLineRow {
  std::string Caption;
  bool HasParam = false;
  std::string Param;
};

extern const char* const MarkerCaption;  // "#"

// A line as a row: the kind's name as caption, "#" for the branch marker.
// A kind no name is known for (only files written elsewhere have one) shows
// as "Typ <n>" and comes back as the same kind.
TLineRow RowOfLine(const TExecLine& line);
TExecLine LineOfRow(const TLineRow& row);

// The kind whose name the caption is (0 to 5), or -1.
int KindOfCaption(const std::string& caption);

// How many rows after the question at row `question` belong to its branch
// structure: its markers, the lines of its branches and the nested
// questions with theirs. The count ends at the end of the list.
int BranchRowCount(const std::vector<std::string>& captions, int question);
// The five rows a new question gets after it.
std::vector<TLineRow> NewBranchRows();

// The line buttons: editing takes a row that is no marker; deleting also
// spares the only line of a branch.
bool CanEditRow(const std::vector<std::string>& captions, int row);
bool CanDeleteRow(const std::vector<std::string>& captions, int row);

// A path as a command's first word: quoted when it holds a blank.
std::string QuotedPath(const std::string& path);
// The parameters of a file dropped onto the list or imported from a folder:
// the file itself, or for a shell link its target with its argument string,
// run exactly as the shell runs them and not waited for. False, with the
// reason, when a line cannot hold them (a line break in the arguments).
bool DroppedParams(const std::string& path, const std::string& arguments, std::string& params, std::string& reason);

// The parameters of kinds 0, 1 and 2, and 5.
std::string CommandParams(const std::string& run, bool wait);
std::string MessageParams(const std::string& text, const std::string& title, int messageType, bool cancelButton);
std::string CallParams(const std::string& groupName);

// The dialog's fields as the OK button checks them.
struct TLineInput {
  int Kind = -1;  // -1: none chosen
  std::string Run, Text, Title;
  int MessageType = -1;
  int Group = -1;
};
// The checks in their order; the first that fails is reported.
enum TLineCheck { lcNone = -1, lcKind, lcRun, lcText, lcTitle, lcMessageType, lcGroup };
TLineCheck FirstFailingCheck(const TLineInput& input);
struct TCheckBalloon {
  const char* Title;
  const char* Text;
};
extern const TCheckBalloon CheckBalloons[6];  // by TLineCheck

// Group names: the item of the group list equal to name without regard to
// case (the last item, "Neue Befehlszeilenfolge", included), or -1.
int FindGroupItem(const std::vector<std::string>& items, const std::string& name);
// Whether "Neu" and "Bearbeiten" of the group may commit this name. Besides
// the duplicates in any case, both refuse names the file cannot hold.
bool CanCreateGroup(const std::vector<std::string>& items, const std::string& name);
bool CanChangeGroup(const std::vector<std::string>& items, const std::string& name, int selected);

#include "config/CommandLines.h"

#include "launcher/Interpreter.h"

#include "model/Codec.h"
#include "model/Errors.h"
#include "model/Text.h"

const char* const MarkerCaption = "#";

namespace {
const char* const UnknownKindPrefix = "Typ ";
const char* const QuestionCaption = "Frage stellen";
}  // namespace

const TCheckBalloon CheckBalloons[6] = {
    {"Kein Befehlszeilentyp ausgewählt", "Wählen Sie einen Befehlszeilentyp aus."},
    {"Keine Befehlszeile angegeben", "Geben Sie die Befehlszeile zum Programmaufruf ein."},
    {"Kein Text für die Meldung angegeben", "Geben Sie einen Text für die Meldung ein."},
    {"Kein Titel für die Meldung angegeben", "Geben Sie einen Titel für die Meldung ein."},
    {"Kein Meldungstyp für die Meldung angegeben", "Wählen Sie einen Meldungstyp für die Meldung aus."},
    {"Keine Befehlszeilengruppe ausgewählt", "Wählen Sie die auszuführende Befehlszeilengruppe."},
};

int KindOfCaption(const std::string& caption) {
  for (int kind = 0; kind < 6; ++kind)
    if (caption == LineKindLabels[kind]) return kind;
  return -1;
}

TLineRow RowOfLine(const TExecLine& line) {
  TLineRow row;
  row.Caption = line.Kind >= 0 && line.Kind <= lkBranchMarker ? LineKindLabel(line.Kind)
                                                              : UnknownKindPrefix + std::to_string(line.Kind);
  row.HasParam = !line.Params.empty();
  row.Param = line.Params;
  return row;
}

TExecLine LineOfRow(const TLineRow& row) {
  TExecLine line;
  line.Params = row.HasParam ? row.Param : std::string();
  if (row.Caption == MarkerCaption) {
    line.Kind = lkBranchMarker;
  } else if (row.Caption.rfind(UnknownKindPrefix, 0) == 0 && row.Caption.size() > 4) {
    line.Kind = StrToInt(row.Caption.substr(4));
  } else {
    line.Kind = KindOfCaption(row.Caption);
  }
  return line;
}

int BranchRowCount(const std::vector<std::string>& captions, int question) {
  int markers = 0, questions = 1, count = 0;
  for (size_t row = question + 1; row < captions.size() && markers < 3 * questions; ++row, ++count) {
    if (captions[row] == QuestionCaption) ++questions;
    if (captions[row] == MarkerCaption) ++markers;
  }
  return count;
}

std::vector<TLineRow> NewBranchRows() {
  const std::string noAction = LineKindLabels[lkNoAction];
  return {{MarkerCaption, true, MarkerYes},
          {noAction, true, NoActionParams},
          {MarkerCaption, true, MarkerNo},
          {noAction, true, NoActionParams},
          {MarkerCaption, true, MarkerEnd}};
}

bool CanEditRow(const std::vector<std::string>& captions, int row) {
  return row >= 0 && static_cast<size_t>(row) < captions.size() && captions[row] != MarkerCaption;
}

bool CanDeleteRow(const std::vector<std::string>& captions, int row) {
  if (!CanEditRow(captions, row)) return false;
  const bool onlyLineOfBranch = row > 0 && static_cast<size_t>(row) + 1 < captions.size() &&
                                captions[row - 1] == MarkerCaption && captions[row + 1] == MarkerCaption;
  return !onlyLineOfBranch;
}

std::string QuotedPath(const std::string& path) {
  return path.find(' ') != std::string::npos ? "\"" + path + "\"" : path;
}

bool DroppedParams(const std::string& path, const std::string& arguments, std::string& params, std::string& reason) {
  // A project file keeps a line on one line; a path holds no quote.
  if (arguments.find_first_of(std::string("\r\n\0", 3)) != std::string::npos) {
    reason = "Die Argumente enthalten einen Zeilenumbruch, den eine Befehlszeile nicht aufnehmen kann.";
    return false;
  }
  if (path.empty() || path.find_first_of(std::string("\"\r\n\0", 4)) != std::string::npos) {
    reason = "Der Pfad \"" + path + "\" kann nicht gestartet werden.";
    return false;
  }
  params = WithExactRun(CommandParams(ExactCommandLine(path, arguments), false), true);
  return true;
}

std::string CommandParams(const std::string& run, bool wait) { return JoinDelimited({run, wait ? "1" : "0"}, ';'); }

std::string MessageParams(const std::string& text, const std::string& title, int messageType, bool cancelButton) {
  return JoinDelimited({text, title, std::to_string(messageType), cancelButton ? "1" : "0"}, ';');
}

std::string CallParams(const std::string& groupName) { return "\"" + groupName + "\""; }

TLineCheck FirstFailingCheck(const TLineInput& input) {
  if (input.Kind < 0) return lcKind;
  if (input.Kind == lkCommand && input.Run.empty()) return lcRun;
  if (input.Kind == lkMessage || input.Kind == lkQuestion) {
    if (input.Text.empty()) return lcText;
    if (input.Title.empty()) return lcTitle;
    if (input.MessageType < 0) return lcMessageType;
  }
  if (input.Kind == lkCallGroup && input.Group < 0) return lcGroup;
  return lcNone;
}

int FindGroupItem(const std::vector<std::string>& items, const std::string& name) {
  const std::string key = UpperText(name);
  for (size_t i = 0; i < items.size(); ++i)
    if (UpperText(items[i]) == key) return static_cast<int>(i);
  return -1;
}

bool CanCreateGroup(const std::vector<std::string>& items, const std::string& name) {
  return !name.empty() && FindGroupItem(items, name) < 0 && IsStorableGroupName(name);
}

bool CanChangeGroup(const std::vector<std::string>& items, const std::string& name, int selected) {
  if (selected < 0 || name.empty() || !IsStorableGroupName(name)) return false;
  const int found = FindGroupItem(items, name);
  return found < 0 || found == selected;
}

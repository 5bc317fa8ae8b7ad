#include "model/ProjectFile.h"

#include <memory>

#include "model/Codec.h"
#include "model/Errors.h"
#include "model/Platform.h"
#include "model/Project.h"

namespace {

// Splits a byte stream into lines: LF or CR LF end a line, a CR not followed
// by LF is dropped; a last line without line end counts.
class TLineReader {
 public:
  explicit TLineReader(IInputFile& file) : file_(file) {}

  bool ReadLine(std::string& line) {
    line.clear();
    if (!Fill()) return false;
    while (Fill()) {
      char c = buffer_[pos_++];
      if (c == '\n') break;
      if (c == '\r') {
        if (Fill() && buffer_[pos_] == '\n') {
          ++pos_;
          break;
        }
        continue;
      }
      line += c;
    }
    ++lineNumber_;
    return true;
  }

  int LineNumber() const { return lineNumber_; }

 private:
  bool Fill() {
    if (pos_ < size_) return true;
    size_ = file_.Read(buffer_, sizeof buffer_);
    pos_ = 0;
    return size_ > 0;
  }

  IInputFile& file_;
  char buffer_[16384];
  size_t pos_ = 0;
  size_t size_ = 0;
  int lineNumber_ = 0;
};

[[noreturn]] void RaiseDamaged(int lineNumber) {
  throw EProjectFileError(Format("Die Projektdatei ist beschädigt (Zeile %d).", lineNumber));
}

}  // namespace

std::string ProjectFileText(bool useMenu) {
  std::string text;
  auto writeLine = [&text](const std::string& line) {
    text += line;
    text += "\r\n";
  };
  writeLine(GroupSectionHeader);
  for (const TExecGroup& group : ExecGroups) {
    writeLine(group.Name);
    for (const TExecLine& line : group.Lines) writeLine(" " + IntToStr(line.Kind) + " " + line.Params);
  }
  writeLine(useMenu ? MenuSectionHeader : UnusedMenuSectionHeader);
  for (const TTRVMenuItem& item : MenuItems) {
    std::string line = JoinDelimited({IntToStr(item.Level), IntToStr(item.Assignment), item.Text}, ' ');
    // An empty caption (only files written elsewhere have one) would vanish
    // among the blanks and make the line unreadable: write it as "".
    if (item.Text.empty()) line += "\"\"";
    writeLine(line);
  }
  return text;
}

void SaveProject(const std::string& fileName) {
  Platform.Files->WriteFileSafely(fileName, ProjectFileText(CurrentMenuSetting()));
  ProjectModified = false;
}

bool LoadProject(const std::string& fileName, bool interactive) {
  std::unique_ptr<IInputFile> file = Platform.Files->OpenRead(fileName);
  TLineReader reader(*file);
  std::string line;
  if (!reader.ReadLine(line) || line != GroupSectionHeader) {
    if (interactive)
      Platform.MessageBoxes->Show("Es wurde keine gültige Datei ausgewählt.", "Ungültige Datei", mbOK | mbIconError);
    return false;
  }
  IProjectView* view = interactive && !PopupMode ? ProjectView : nullptr;
  if (!PopupMode) ResetProject();
  ProjectFileName = fileName;
  try {
    // A file that ends inside the group section, or an empty line where a
    // group name or command line belongs, is damaged: the load stops with an
    // error naming the line, keeping what was read, as for other bad lines.
    auto next = [&] {
      if (!reader.ReadLine(line)) RaiseDamaged(reader.LineNumber() + 1);
    };
    next();
    while (line != MenuSectionHeader && line != UnusedMenuSectionHeader) {
      if (line.empty()) RaiseDamaged(reader.LineNumber());
      ExecGroups.push_back(TExecGroup{line, {}});
      if (view) view->GroupLoaded(line);
      TExecGroup& group = ExecGroups.back();
      for (next(); !line.empty() && line[0] == ' '; next()) {
        TExecLine execLine;
        execLine.Kind = StrToInt(line.substr(1, 1));
        execLine.Params = line.size() > 3 ? line.substr(3) : std::string();
        group.Lines.push_back(std::move(execLine));
      }
    }
    UseMenu = line == MenuSectionHeader;
    if (view) view->SetMenuSetting(UseMenu);
    while (reader.ReadLine(line)) {
      TStrings fields = SplitDelimited(line, ' ');
      TTRVMenuItem item;
      item.Level = StrToInt(FieldAt(fields, 0));
      item.Assignment = StrToInt(FieldAt(fields, 1));
      item.Text = FieldAt(fields, 2);
      MenuItems.push_back(item);
      if (view) view->MenuItemLoaded(static_cast<int>(MenuItems.size()) - 1);
    }
  } catch (...) {
    // What was read stays loaded, but no longer under the file's name, so
    // that a plain save cannot overwrite the intact file with the fragment.
    ProjectFileName.clear();
    throw;
  }
  ProjectModified = false;
  return true;
}

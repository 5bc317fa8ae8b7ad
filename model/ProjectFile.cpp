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
      // The bytes up to the next CR or LF go in at once.
      const char* begin = buffer_ + pos_;
      const char* end = buffer_ + size_;
      const char* stop = begin;
      while (stop != end && *stop != '\n' && *stop != '\r') ++stop;
      line.append(begin, stop);
      pos_ = stop - buffer_;
      if (stop == end) continue;
      char c = buffer_[pos_++];
      if (c == '\n') break;
      if (Fill() && buffer_[pos_] == '\n') {
        ++pos_;
        break;
      }
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

std::string ProjectFileText(const TProject& project, bool useMenu) {
  // Sized once: the text is written in place, without a temporary per line.
  size_t size = 64;
  for (const TExecGroup& group : project.ExecGroups()) {
    size += group.Name.size() + 2;
    for (const TExecLine& line : group.Lines) size += line.Params.size() + 16;
  }
  for (const TTRVMenuItem& item : project.MenuItems()) size += item.Text.size() + item.Folder.size() + 28;
  std::string text;
  text.reserve(size);
  const char* const lineEnd = "\r\n";
  text.append(GroupSectionHeader).append(lineEnd);
  for (const TExecGroup& group : project.ExecGroups()) {
    text.append(group.Name).append(lineEnd);
    for (const TExecLine& line : group.Lines)
      text.append(1, ' ').append(IntToStr(line.Kind)).append(1, ' ').append(line.Params).append(lineEnd);
  }
  text.append(useMenu ? MenuSectionHeader : UnusedMenuSectionHeader).append(lineEnd);
  for (const TTRVMenuItem& item : project.MenuItems()) {
    text.append(IntToStr(item.Level)).append(1, ' ').append(IntToStr(item.Assignment)).append(1, ' ');
    // An empty caption (only files written elsewhere have one) would vanish
    // among the blanks and make the line unreadable: write it as "".
    if (item.Text.empty())
      text.append("\"\"");
    else
      AppendDelimitedField(text, item.Text, ' ');
    // A fourth field only for a folder's entry: readers that know three
    // ignore it, and every other line stays as it always was.
    if (!item.Folder.empty()) {
      text.append(1, ' ');
      AppendDelimitedField(text, item.Folder, ' ');
    }
    text.append(lineEnd);
  }
  return text;
}

void SaveProject(TProject& project, const std::string& fileName) {
  Platform.Files->WriteFileSafely(fileName, ProjectFileText(project, project.UseMenu()));
  project.savedState_ = project.state_;
  project.ReportModified();
}

bool LoadProject(TProject& project, const std::string& fileName, bool interactive) {
  std::unique_ptr<IInputFile> file = Platform.Files->OpenRead(fileName);
  TLineReader reader(*file);
  std::string line;
  if (!reader.ReadLine(line) || line != GroupSectionHeader) {
    if (interactive)
      Platform.MessageBoxes->Show("Es wurde keine gültige Datei ausgewählt.", "Ungültige Datei", mbOK | mbIconError);
    return false;
  }
  IProjectView* view = interactive ? project.View : nullptr;
  project.Reset();
  project.fileName_ = fileName;
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
      project.execGroups_.push_back(TExecGroup{line, {}});
      if (view) view->GroupLoaded(line);
      TExecGroup& group = project.execGroups_.back();
      for (next(); !line.empty() && line[0] == ' '; next()) {
        TExecLine execLine;
        execLine.Kind = line.size() > 1 && line[1] >= '0' && line[1] <= '9' ? line[1] - '0' : StrToInt(line.substr(1, 1));
        if (line.size() > 3) execLine.Params.assign(line, 3, std::string::npos);
        group.Lines.push_back(std::move(execLine));
      }
    }
    project.useMenu_ = line == MenuSectionHeader;
    if (view) view->SetMenuSetting(project.useMenu_);
    TMenuNesting nesting;
    while (reader.ReadLine(line)) {
      TStrings fields = SplitDelimited(line, ' ');
      TTRVMenuItem item;
      const int index = static_cast<int>(project.menuItems_.size());
      nesting.Add(index, StrToInt(FieldAt(fields, 0)));
      item.Level = nesting.Depth();
      item.Assignment = StrToInt(FieldAt(fields, 1));
      item.Text = FieldAt(fields, 2);
      if (fields.size() > 3) item.Folder = fields[3];
      project.menuItems_.push_back(item);
      if (view) view->MenuItemLoaded(index, item);
    }
  } catch (...) {
    // What was read stays loaded, but no longer under the file's name, so
    // that a plain save cannot overwrite the intact file with the fragment.
    project.fileName_.clear();
    throw;
  }
  return true;
}

#include "config/FolderImport.h"

#include <algorithm>

#include "config/CommandLines.h"
#include "config/StartPage.h"
#include "model/Platform.h"

namespace {

class TBuilder {
 public:
  TBuilder(IFolderReader& reader, const std::vector<std::string>& taken) : reader_(reader), taken_(taken) {}

  void Add(const std::string& folder, int level) {
    std::vector<IFolderReader::TItem> items = reader_.Items(folder);
    // Folders first, each part in the order the shell shows names.
    ICollation* collation = Platform.Collation;
    std::stable_sort(items.begin(), items.end(), [&](const IFolderReader::TItem& a, const IFolderReader::TItem& b) {
      if (a.IsFolder != b.IsFolder) return a.IsFolder;
      return collation->CompareText(a.Name, b.Name) < 0;
    });
    for (const IFolderReader::TItem& item : items) {
      const std::string path = folder + "\\" + item.Name;
      if (item.IsFolder) {
        const size_t entry = Result.Menu.size();
        Result.Menu.push_back({item.Name, 0, level});
        Add(path, level + 1);
        // A folder without anything to start is no submenu.
        if (Result.Menu.size() == entry + 1) Result.Menu.pop_back();
      } else if (HasExtension(item.Name, ".LNK")) {
        std::string target, arguments;
        if (!reader_.ReadLink(path, target, arguments)) {
          Result.BrokenLinks.push_back(path);
          continue;
        }
        AddEntry(item.Name.substr(0, item.Name.size() - 4), level, DroppedCommand(target, arguments));
      } else if (HasExtension(item.Name, ".EXE")) {
        AddEntry(item.Name.substr(0, item.Name.size() - 4), level, DroppedCommand(path));
      }
    }
  }

  TFolderMenu Result;

 private:
  void AddEntry(const std::string& text, int level, const std::string& command) {
    const std::string name = FreeName(text.empty() || text[0] == ' ' ? "Eintrag" + text : text);
    Result.Groups.push_back({name, {{lkCommand, CommandParams(command, false)}}});
    Result.Menu.push_back({text, static_cast<int32_t>(Result.Groups.size()), level});
  }
  // The name, or with " (2)", " (3)", ... when a group has it already.
  std::string FreeName(const std::string& wanted) {
    std::string name = wanted;
    for (int n = 2; FindGroupItem(taken_, name) >= 0 || !IsStorableGroupName(name); ++n)
      name = wanted + " (" + std::to_string(n) + ")";
    taken_.push_back(name);
    return name;
  }

  IFolderReader& reader_;
  std::vector<std::string> taken_;
};

}  // namespace

TFolderMenu MenuOfFolder(IFolderReader& reader, const std::string& folder,
                         const std::vector<std::string>& takenGroupNames) {
  TBuilder builder(reader, takenGroupNames);
  builder.Add(folder, 0);
  return builder.Result;
}

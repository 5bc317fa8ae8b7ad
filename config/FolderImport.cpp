#include "config/FolderImport.h"

#include <algorithm>
#include <set>

#include "config/CommandLines.h"
#include "launcher/LiveFolder.h"
#include "model/Platform.h"
#include "model/Text.h"
#include "model/Wide.h"

namespace {

class TBuilder {
 public:
  TBuilder(IFolderImportReader& reader, const std::vector<std::string>& taken) : reader_(reader), taken_(taken) {}

  void Add(const std::string& folder, int level) {
    // A folder reached a second time (a junction to an ancestor, two links
    // to one folder) adds nothing: the menu ends, and so does the walk.
    std::string identity = reader_.FolderIdentity(folder);
    if (identity.empty()) identity = UpperText(folder);
    if (!visited_.insert(identity).second) return;
    std::vector<TFolderItem> items = reader_.Read(folder).Items;
    // Hidden and system items (desktop.ini) are none of the user's.
    items.erase(std::remove_if(items.begin(), items.end(), [](const TFolderItem& item) { return !IsShownItem(item); }),
                items.end());
    // Folders first, each part in the order the shell shows names ("Teil 2"
    // before "Teil 10"), as the folder's own submenu shows them.
    ICollation& collation = *Platform.Collation;
    std::stable_sort(items.begin(), items.end(), [&](const TFolderItem& a, const TFolderItem& b) {
      if (a.IsFolder != b.IsFolder) return a.IsFolder;
      return CompareNamesLogically(a.Name, b.Name, collation) < 0;
    });
    for (const TFolderItem& item : items) {
      if (!item.ForeignName.empty()) {
        const std::u16string path = WidenText(folder + "\\") + item.ForeignName;
        Result.Refused.push_back({path, ForeignTextMessage(item.ForeignName)});
        continue;
      }
      const std::string path = folder + "\\" + item.Name;
      if (item.IsFolder) {
        const size_t entry = Result.Menu.size();
        Result.Menu.push_back({item.Name, 0, level});
        Add(path, level + 1);
        // A folder without anything to start is no submenu.
        if (Result.Menu.size() == entry + 1) Result.Menu.pop_back();
      } else if (HasExtension(item.Name, ".LNK")) {
        std::string target, arguments;
        std::u16string reason;
        switch (reader_.ReadLink(path, target, arguments, reason)) {
          case IFolderImportReader::lrBroken:
            Result.BrokenLinks.push_back(path);
            continue;
          case IFolderImportReader::lrRefused:
            Result.Refused.push_back({WidenText(path), reason});
            continue;
          case IFolderImportReader::lrRead:
            break;
        }
        AddEntry(path, item.Name.substr(0, item.Name.size() - 4), level, target, arguments);
      } else if (HasExtension(item.Name, ".EXE")) {
        AddEntry(path, item.Name.substr(0, item.Name.size() - 4), level, path, "");
      }
    }
  }

  TFolderMenu Result;

 private:
  void AddEntry(const std::string& item, const std::string& text, int level, const std::string& target,
                const std::string& arguments) {
    std::string params, reason;
    if (!DroppedParams(target, arguments, params, reason)) {
      Result.Refused.push_back({WidenText(item), WidenText(reason)});
      return;
    }
    const std::string name = FreeName(text.empty() || text[0] == ' ' ? "Eintrag" + text : text);
    Result.Groups.push_back({name, {{lkCommand, params}}});
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

  IFolderImportReader& reader_;
  std::vector<std::string> taken_;
  std::set<std::string> visited_;
};

}  // namespace

TFolderMenu MenuOfFolder(IFolderImportReader& reader, const std::string& folder,
                         const std::vector<std::string>& takenGroupNames) {
  TBuilder builder(reader, takenGroupNames);
  builder.Add(folder, 0);
  return builder.Result;
}

std::u16string LeftOutMessage(const std::vector<std::string>& brokenLinks, const std::vector<TRefusedItem>& refused) {
  std::u16string text;
  if (!brokenLinks.empty()) {
    text = WidenText("Diese Verknüpfungen zeigen auf nichts Vorhandenes und wurden übergangen:");
    for (const std::string& link : brokenLinks) text += u"\r\n" + WidenText(link);
  }
  if (!refused.empty()) {
    if (!text.empty()) text += u"\r\n\r\n";
    text += WidenText("Diese Dateien wurden nicht übernommen:");
    for (const TRefusedItem& item : refused) text += u"\r\n" + item.Path + u"\r\n    " + item.Reason;
  }
  return text;
}

#include "launcher/PopupMenu.h"

#include "launcher/Interpreter.h"
#include "model/Text.h"

const char* const CancelCaption = "Ab&brechen";

namespace {

const std::string::size_type NoKey = std::string::npos;

// Access keys compare without regard to case (Windows-1252 letters too).
unsigned char KeyCode(char c) { return UpperChar(static_cast<unsigned char>(c)); }

bool CanBeAssigned(unsigned char key) { return (key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'); }

}  // namespace

TPopupMenuModel BuildPopupMenu(const std::vector<TTRVMenuItem>& entries) {
  TPopupMenuModel menu;
  std::vector<TPopupItem>& items = menu.Items;
  items.reserve(entries.size() + 3);
  items.emplace_back();  // the top level
  // The model's one rule: the editor's tree and this menu never differ.
  TMenuNesting nesting;
  for (const TTRVMenuItem& entry : entries) {
    // Entry i is item i + 1, after the top level.
    const int parent = nesting.Add(static_cast<int>(items.size()) - 1, entry.Level) + 1;
    TPopupItem item;
    item.Caption = entry.Text;
    item.Tag = entry.Assignment;
    item.Folder = entry.Folder;
    item.Parent = parent;
    const int index = static_cast<int>(items.size());
    items.push_back(std::move(item));
    items[static_cast<size_t>(parent)].Children.push_back(index);
  }
  for (const char* caption : {"-", CancelCaption}) {
    TPopupItem item;
    item.Caption = caption;
    item.Parent = 0;
    menu.CancelItem = static_cast<int>(items.size());
    items[0].Children.push_back(menu.CancelItem);
    items.push_back(std::move(item));
  }
  return menu;
}

void TidySeparators(const std::vector<TPopupItem>& items, std::vector<int>& level) {
  std::vector<int> shown;
  shown.reserve(level.size());
  for (int index : level) {
    bool line = items[static_cast<size_t>(index)].IsLine();
    if (line && (shown.empty() || items[static_cast<size_t>(shown.back())].IsLine())) continue;
    shown.push_back(index);
  }
  while (!shown.empty() && items[static_cast<size_t>(shown.back())].IsLine()) shown.pop_back();
  level.swap(shown);
}

void AssignAccessKeys(std::vector<TPopupItem>& items, const std::vector<int>& level) {
  bool used[256] = {};
  // Keys the captions bring keep them, the first of equal keys wins; the
  // others then get free letters or digits of their own captions.
  std::vector<int> needKey;
  for (int index : level) {
    const std::string& caption = items[static_cast<size_t>(index)].Caption;
    if (items[static_cast<size_t>(index)].IsLine()) continue;
    std::string::size_type pos = AccessKeyPos(caption);
    if (pos != NoKey && !used[KeyCode(caption[pos])]) {
      used[KeyCode(caption[pos])] = true;
      continue;
    }
    needKey.push_back(index);
  }
  for (int index : needKey) {
    std::string& caption = items[static_cast<size_t>(index)].Caption;
    std::string::size_type pos = AccessKeyPos(caption);
    if (pos != NoKey) caption.erase(pos - 1, 1);
    for (std::string::size_type i = 0; i < caption.size(); ++i) {
      if (caption[i] == '&') {
        ++i;  // a literal "&&" is no candidate
        continue;
      }
      unsigned char key = KeyCode(caption[i]);
      if (CanBeAssigned(key) && !used[key]) {
        used[key] = true;
        caption.insert(i, 1, '&');
        break;
      }
    }
  }
}

void TidyPopupMenu(TPopupMenuModel& menu) {
  for (TPopupItem& item : menu.Items) {
    if (item.Children.empty()) continue;
    TidySeparators(menu.Items, item.Children);
    AssignAccessKeys(menu.Items, item.Children);
  }
}

void MenuItemClick(ILauncherHost& host, const TProject& project, int32_t tag) {
  if (tag <= 0 || static_cast<size_t>(tag) > project.ExecGroups().size()) return;
  const std::vector<TExecLine> lines = project.ExecGroups()[static_cast<size_t>(tag) - 1].Lines;
  bool aborted = false;
  RunExecLines(host, project, lines, aborted, 0, -1);
}

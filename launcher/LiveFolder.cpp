#include "launcher/LiveFolder.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "launcher/Interpreter.h"
#include "model/Codec.h"
#include "model/Platform.h"
#include "model/Text.h"

const char* const FolderMissingNotice = "(Ordner nicht gefunden)";
const char* const FolderEmptyNotice = "(Ordner ist leer)";
const char* const FolderUnreadableNotice = "(Ordner nicht lesbar)";
const char* const FolderSlowNotice = "(Ordner antwortet nicht)";

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The run of digits or of other characters that starts at pos.
std::string Run(const std::string& text, size_t& pos) {
  const size_t start = pos;
  const bool digits = IsDigit(text[pos]);
  while (pos < text.size() && IsDigit(text[pos]) == digits) ++pos;
  return text.substr(start, pos - start);
}

int CompareNumbers(const std::string& a, const std::string& b) {
  // By value, however long: leading zeros off, then the longer is larger.
  const size_t za = std::min(a.find_first_not_of('0'), a.size());
  const size_t zb = std::min(b.find_first_not_of('0'), b.size());
  const size_t la = a.size() - za, lb = b.size() - zb;
  if (la != lb) return la < lb ? -1 : 1;
  const int c = a.compare(za, la, b, zb, lb);
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}

std::string WithoutTrailingBackslash(std::string folder) {
  while (folder.size() > 1 && folder.back() == '\\' && folder[folder.size() - 2] != ':') folder.pop_back();
  return folder;
}

std::string Caption(const TFolderItem& item) {
  std::string name = item.Name;
  // The shell never shows these extensions, whatever the user's setting.
  if (!item.IsFolder)
    for (const char* extension : {".LNK", ".URL", ".PIF"})
      if (HasExtension(name, extension) && name.size() > 4) name.resize(name.size() - 4);
  std::string caption;
  for (char c : name) {
    if (c == '&') caption += '&';
    caption += c;
  }
  return caption;
}

}  // namespace

int CompareNamesLogically(const std::string& a, const std::string& b, ICollation& collation) {
  size_t pa = 0, pb = 0;
  while (pa < a.size() && pb < b.size()) {
    const bool da = IsDigit(a[pa]), db = IsDigit(b[pb]);
    if (da != db) return da ? -1 : 1;
    const std::string ra = Run(a, pa), rb = Run(b, pb);
    // Case folded here: collations differ in whether they ignore it.
    const int c = da ? CompareNumbers(ra, rb) : collation.CompareText(UpperText(ra), UpperText(rb));
    if (c != 0) return c < 0 ? -1 : 1;
  }
  if (pa < a.size() || pb < b.size()) return pa < a.size() ? 1 : -1;
  const int c = collation.CompareText(a, b);
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}

TLiveMenu LiveMenuOfFolder(IFolderReader& reader, const std::string& folder, ICollation& collation) {
  TLiveMenu menu;
  const std::string base = WithoutTrailingBackslash(folder);
  // No name is no folder: Windows would list the current drive's root.
  TFolderListing listing = base.empty() ? TFolderListing{fsMissing, {}} : reader.Read(base);
  if (listing.State != fsRead) {
    menu.Notice = listing.State == fsMissing ? FolderMissingNotice : FolderUnreadableNotice;
    return menu;
  }
  std::vector<TFolderItem>& items = listing.Items;
  items.erase(std::remove_if(items.begin(), items.end(),
                             [](const TFolderItem& item) { return !IsShownItem(item) || !item.ForeignName.empty(); }),
              items.end());
  std::sort(items.begin(), items.end(), [&](const TFolderItem& a, const TFolderItem& b) {
    if (a.IsFolder != b.IsFolder) return a.IsFolder;
    return CompareNamesLogically(a.Name, b.Name, collation) < 0;
  });
  const std::string prefix = base.back() == '\\' ? base : base + "\\";
  for (const TFolderItem& item : items) menu.Items.push_back({Caption(item), prefix + item.Name, item.IsFolder});
  if (menu.Items.empty()) menu.Notice = FolderEmptyNotice;
  return menu;
}

std::string ResolvedLiveFolder(ILauncherHost& host, const std::string& folder) {
  try {
    return ResolvedStartFolder(host, folder);
  } catch (const std::exception&) {
    return std::string();
  }
}

namespace {
void AddFolderSearchEntries(IFolderReader& reader, const std::string& folder, const std::string& place,
                            ICollation& collation, int levels, size_t limit, std::vector<TSearchEntry>& entries) {
  const std::vector<TLiveItem> items = LiveMenuOfFolder(reader, folder, collation).Items;
  // The folder's own files before its subfolders': when the limit cuts,
  // it cuts the deepest.
  for (const TLiveItem& item : items) {
    if (item.IsFolder) continue;
    if (entries.size() >= limit) return;
    TSearchEntry entry;
    entry.Text = CaptionText(item.Caption);
    entry.Place = place + PlaceSeparator + entry.Text;
    entry.Path = item.Path;
    entries.push_back(std::move(entry));
  }
  if (levels <= 1) return;
  for (const TLiveItem& item : items)
    if (item.IsFolder)
      AddFolderSearchEntries(reader, item.Path, place + PlaceSeparator + CaptionText(item.Caption), collation,
                             levels - 1, limit, entries);
}
}  // namespace

std::vector<TSearchEntry> FolderSearchEntries(IFolderReader& reader, const std::string& folder,
                                              const std::string& place, ICollation& collation, int levels,
                                              size_t limit) {
  std::vector<TSearchEntry> entries;
  AddFolderSearchEntries(reader, folder, place, collation, levels, limit, entries);
  return entries;
}

std::string LiveItemParams(const std::string& path) {
  return JoinDelimited({ExactCommandLine(path, ""), "0", "0", "1"}, ';');
}

void OpenLiveItem(ILauncherHost& host, const TProject& project, const std::string& path) {
  bool aborted = false;
  RunExecLines(host, project, {TExecLine{lkCommand, LiveItemParams(path)}}, aborted, 0, -1);
}

TFolderReading::TFolderReading(std::shared_ptr<IFolderReader> reader, const std::string& folder,
                               ICollation& collation)
    : shared_(std::make_shared<TShared>()) {
  std::thread([shared = shared_, reader, folder, &collation] {
    TLiveMenu menu;
    try {
      menu = LiveMenuOfFolder(*reader, folder, collation);
    } catch (...) {
      menu = TLiveMenu();
      menu.Notice = FolderUnreadableNotice;
    }
    std::lock_guard<std::mutex> lock(shared->Lock);
    shared->Menu = std::move(menu);
    shared->Done = true;
    shared->Ready.notify_all();
  }).detach();
}

TFolderReading::~TFolderReading() = default;

bool TFolderReading::Wait(int milliseconds) {
  std::unique_lock<std::mutex> lock(shared_->Lock);
  return shared_->Ready.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return shared_->Done; });
}

const TLiveMenu& TFolderReading::Menu() const { return shared_->Menu; }

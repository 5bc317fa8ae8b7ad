// A menu entry that stands for a folder: its submenu shows the folder's
// items, read when it opens, in the order the shell shows them, and
// choosing one opens it as the shell would. Portable: the folder comes
// through IFolderReader, the run through the interpreter.
#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "launcher/Search.h"
#include "model/FolderReader.h"
#include "model/Project.h"

class ICollation;
class ILauncherHost;

// The disabled line that stands in a folder's submenu instead of its items.
extern const char* const FolderMissingNotice;     // "(Ordner nicht gefunden)"
extern const char* const FolderEmptyNotice;       // "(Ordner ist leer)"
extern const char* const FolderUnreadableNotice;  // "(Ordner nicht lesbar)"
extern const char* const FolderSlowNotice;        // "(Ordner antwortet nicht)"

// Names as the shell's views sort them: runs of digits by their value
// ("2" before "10"), the text between by the collation (without regard to
// case), a run of digits before text at the same place; names that differ
// only in leading zeros or case by the whole collation at the end.
int CompareNamesLogically(const std::string& a, const std::string& b, ICollation& collation);

struct TLiveItem {
  std::string Caption;  // as the menu shows it: "&" doubled
  std::string Path;
  bool IsFolder = false;
};

// A folder's submenu: its items, or a notice alone when it has none to show.
struct TLiveMenu {
  std::vector<TLiveItem> Items;
  std::string Notice;
};

// The submenu of the folder: subfolders first, then files, each part by
// CompareNamesLogically; hidden and system items, desktop.ini and names
// Windows-1252 cannot hold left out; links and Internet shortcuts without
// their extension, which the shell never shows.
TLiveMenu LiveMenuOfFolder(IFolderReader& reader, const std::string& folder, ICollation& collation);

// The folder an entry names, as its submenu and the search read it (%NAME%
// expanded, ".\" and "..\" against the program's folder); "" (not found)
// when it is named by what cannot be had, a program folder Windows-1252
// cannot hold.
std::string ResolvedLiveFolder(ILauncherHost& host, const std::string& folder);

// What the search finds in a folder's submenu: its files, and those of its
// subfolders down to levels below it, as the submenus list them, each
// placed below place; at most limit of them, the first in the submenus'
// order.
std::vector<TSearchEntry> FolderSearchEntries(IFolderReader& reader, const std::string& folder,
                                              const std::string& place, ICollation& collation, int levels = 3,
                                              size_t limit = 2000);

// The parameters of the command line that opens the item as the shell
// does: run exactly, not waited for.
std::string LiveItemParams(const std::string& path);
// Opens the item through host as any chosen entry's group runs; what fails
// is reported as the interpreter reports it.
void OpenLiveItem(ILauncherHost& host, const TProject& project, const std::string& path);

// One folder read on a thread of its own, so that a folder that does not
// answer (a share) never holds the menu: the thread is left to itself and
// keeps only what it shares with this object (the reader, and the
// collation, which must live as long as the program: the platform's does).
class TFolderReading {
 public:
  TFolderReading(std::shared_ptr<IFolderReader> reader, const std::string& folder, ICollation& collation);
  ~TFolderReading();
  TFolderReading(const TFolderReading&) = delete;
  TFolderReading& operator=(const TFolderReading&) = delete;
  // Waits up to milliseconds; whether the menu is there.
  bool Wait(int milliseconds);
  // The menu read; only once Wait said so.
  const TLiveMenu& Menu() const;

 private:
  struct TShared {
    std::mutex Lock;
    std::condition_variable Ready;
    bool Done = false;
    TLiveMenu Menu;
  };
  std::shared_ptr<TShared> shared_;
};

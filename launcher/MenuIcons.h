// Icons beside the menu's entries: which file's shell icon stands for an
// entry, and the store that answers from a per-user cache on disk at once,
// or later from the shell. The shell and the file system come through
// IIconPlatform, so that the rules run under tests with a fake.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "model/Project.h"

class IFileSystem;
class ILauncherHost;
class IRegistry;

// The file a command line of kind 0 starts, as a run through host resolves
// it (%NAME% expanded, ".\" and "..\" against the program's folder); "" for
// other kinds and for lines that start nothing.
std::string CommandIconTarget(ILauncherHost& host, const TExecLine& line);

// The file whose icon stands for group number assignment (1-based): what the
// group starts first, following one call to another group; "" when it
// starts nothing.
std::string GroupIconTarget(ILauncherHost& host, const TProject& project, int32_t assignment);

// What identifies a version of a file: its last write time and size.
struct TFileStamp {
  uint64_t Time = 0;
  uint64_t Size = 0;
  bool operator==(const TFileStamp& other) const { return Time == other.Time && Size == other.Size; }
};

// A square icon, Size x Size pixels, rows from the top, each pixel BGRA with
// the colours premultiplied by their alpha (what a menu's bitmap wants).
struct TIconPixels {
  int Size = 0;
  std::vector<uint32_t> Pixels;
  // All pixels transparent: room for an icon without one.
  static TIconPixels Transparent(int size) { return {size, std::vector<uint32_t>(size_t(size) * size)}; }
};

class IIconPlatform {
 public:
  virtual ~IIconPlatform() = default;
  // False when the file or folder is not there.
  virtual bool Stamp(const std::string& path, TFileStamp& stamp) = 0;
  // Whether looking at the path can never keep the user waiting (a local
  // fixed disk; not a network share or a drive that may have to spin up).
  virtual bool IsQuick(const std::string& path) = 0;
  // The shell's icon of the file, document or folder at the size; false
  // when the shell has none.
  virtual bool Extract(const std::string& path, int size, TIconPixels& icon) = 0;
  // Whether the path is on a drive letter the system maps to a share.
  virtual bool IsRemoteDrive(const std::string& path) = 0;
};

// Whether the path names another machine's share ("\\host\share\..."); so
// do device paths ("\\?\..."), which are taken for one too.
bool IsNetworkPath(const std::string& path);

// The cache's entries and their file. A file that does not parse is taken
// for empty; the format carries a checksum, so that a torn or damaged file
// never shows a wrong icon.
class TIconCache {
 public:
  struct TEntry {
    TFileStamp Stamp;
    TIconPixels Icon;  // no pixels: the shell had no icon
    mutable bool Used = false;  // found or put since the load; not stored
  };
  // False when the bytes are not a whole cache file (the cache is then empty).
  // An entry whose icon is not of its key's size is left out and counted in
  // dropped: a valid checksum is easy to write, and a store draws the
  // pixels as its own size.
  bool Load(const std::string& bytes, size_t* dropped = nullptr);
  std::string Bytes() const;
  const TEntry* Find(const std::string& path, int size) const;
  void Put(const std::string& path, const TEntry& entry);
  // False when the cache did not hold it.
  bool Forget(const std::string& path, int size);
  size_t Count() const { return entries_.size(); }
  // Removes the entries neither found nor put since the load.
  void DropUnused();

 private:
  static std::string Key(const std::string& path, int size);
  std::map<std::string, TEntry> entries_;
};

// The most icons a cache file keeps: beyond, a save keeps only those of its
// own run, so that the file a popup reads at its start stays small.
const size_t MaxCachedIcons = 2000;

// The largest cache file that is read; a larger one is taken for damaged
// without being read, and replaced. An entry takes 21 bytes, its key (a
// path of MAX_PATH and "|32": 263) and 4 bytes a pixel: the 2,000 icons a
// save keeps at 32 pixels (a screen of 200 %) take 8.8 MB, at 16 pixels
// 2.6 MB. Twice as much leaves room for a run that keeps more than 2,000 of
// its own and for denser screens, and is read in some 30 ms; what lies
// beyond is no file of ours, and a popup must not pay for it at every start.
const uint64_t MaxIconCacheFileSize = 16u << 20;

// The icons of one run of the popup or of the configuration window, at one
// size. Quick answers on the thread that shows the menu; Lookup may take as
// long as the shell takes and runs on a worker thread. Both may run at once.
class TIconStore {
 public:
  enum TAnswer { iaIcon, iaNone, iaLater };
  // networkIcons: files on shares and mapped network drives have their
  // icons looked up; otherwise they show none and their host is never asked
  // (a project someone else wrote must not make this machine connect to a
  // host of theirs and offer it the user's credentials).
  TIconStore(IIconPlatform& platform, IFileSystem& files, const std::string& cacheFile, int size,
             bool networkIcons = false);
  int Size() const { return size_; }
  // From the cache, when the file is on a quick disk and unchanged since it
  // was cached (iaIcon), or not there at all (iaNone); iaLater: ask Lookup.
  TAnswer Quick(const std::string& path, TIconPixels& icon);
  // Looks the file up and keeps the answer; false: no icon.
  bool Lookup(const std::string& path, TIconPixels& icon);
  // Writes the cache when it changed. A cache that cannot be written is
  // simply not kept: icons are looked up again next time.
  void Save();
  // From now on Lookup and Save touch neither the platform, the file system
  // nor the cache: for a worker whose lookup outlives the run that asked.
  void Close();

 private:
  // These three with the lock held.
  void LoadOnce();
  bool FromCache(const std::string& path, const TFileStamp& stamp, TIconPixels& icon);
  void ForgetMissing(const std::string& path);
  bool NotAsked(const std::string& path);
  IIconPlatform& platform_;
  IFileSystem& files_;
  std::string cacheFile_;
  int size_;
  bool networkIcons_;
  std::mutex mutex_;
  bool closed_ = false;
  bool loaded_ = false;
  bool changed_ = false;
  TIconCache cache_;
};

// The program's registry key below "Software\VQ\".
extern const char* const ProgramRegistryKey;

// Whether the menus show icons: yes unless "MenuIcons" = 0 in the program's
// key, read like the updater's values (the user's first, then the machine's).
bool MenuIconsWanted(IRegistry& registry);
// Whether files on the network have their icons looked up: only when
// "NetworkIcons" = 1 (any number but 0) in the program's key, read alike.
bool NetworkIconsWanted(IRegistry& registry);

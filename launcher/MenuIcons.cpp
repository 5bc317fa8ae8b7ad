#include "launcher/MenuIcons.h"

#include "launcher/Interpreter.h"
#include "model/Codec.h"
#include "model/Platform.h"
#include "model/Settings.h"
#include "model/Text.h"
#include "model/Wide.h"

const char* const ProgramRegistryKey = "Tarvo";

std::string CommandIconTarget(ILauncherHost& host, const TExecLine& line) {
  if (line.Kind != lkCommand) return "";
  const TStrings fields = SplitDelimited(line.Params, ';');
  if (fields.empty()) return "";
  // A dropped file's exact line starts its path as it stands.
  if (fields.size() > 3 && fields[3] == "1") {
    std::string path, arguments;
    SplitExactCommandLine(fields[0], path, arguments);
    return path;
  }
  const TStrings words = SplitDelimited(fields[0], ' ');
  if (words.empty() || words[0].empty()) return "";
  // The first word as the interpreter runs it: expanded on its own, then
  // resolved, so that a variable may hold a relative path too. A variable
  // or program folder Windows-1252 cannot hold gives no icon: the run, not
  // the icon, says why.
  try {
    const std::string word = ExpandEnvironmentNames(host, words[0]);
    return IsRelativeWord(word) ? ResolveRelativeWord(word, host.ExeFolder()) : word;
  } catch (const EForeignText&) {
    return "";
  }
}

namespace {

std::string FirstStarted(ILauncherHost& host, const TProject& project, const std::vector<TExecLine>& lines,
                         bool followCall) {
  for (const TExecLine& line : lines) {
    if (line.Kind == lkCommand) return CommandIconTarget(host, line);
    if (line.Kind != lkCallGroup || !followCall) continue;
    // One call is followed, no more: a chain of calls is rare, and a cycle
    // must not cost anything.
    followCall = false;
    const TStrings fields = SplitDelimited(line.Params, ';');
    const int called = fields.empty() ? -1 : project.FindExecGroup(fields[0]);
    if (called < 0) continue;
    std::string target = FirstStarted(host, project, project.ExecGroup(called).Lines, false);
    if (!target.empty()) return target;
  }
  return "";
}

// The cache file: a signature, the entries, and an FNV-1a checksum of all
// before it; numbers little-endian.
const char Signature[] = "TRVICONS1";
const size_t SignatureLength = sizeof Signature - 1;
const int MaxIconSize = 256;

uint32_t Checksum(const char* data, size_t size) {
  uint32_t hash = 2166136261u;
  for (size_t i = 0; i < size; ++i) hash = (hash ^ static_cast<unsigned char>(data[i])) * 16777619u;
  return hash;
}

void PutNumber(std::string& out, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

class TReader {
 public:
  TReader(const std::string& bytes, size_t end) : bytes_(bytes), end_(end) {}
  bool Number(uint64_t& value, int bytes) {
    if (end_ - pos_ < static_cast<size_t>(bytes)) return false;
    value = 0;
    for (int i = 0; i < bytes; ++i) value |= uint64_t(static_cast<unsigned char>(bytes_[pos_ + i])) << (8 * i);
    pos_ += bytes;
    return true;
  }
  bool Text(std::string& text, size_t length) {
    if (end_ - pos_ < length) return false;
    text.assign(bytes_, pos_, length);
    pos_ += length;
    return true;
  }
  bool AtEnd() const { return pos_ == end_; }
  void Skip(size_t n) { pos_ += n; }

 private:
  const std::string& bytes_;
  size_t end_, pos_ = 0;
};

}  // namespace

std::string GroupIconTarget(ILauncherHost& host, const TProject& project, int32_t assignment) {
  if (assignment <= 0 || static_cast<size_t>(assignment) > project.ExecGroups().size()) return "";
  return FirstStarted(host, project, project.ExecGroup(assignment - 1).Lines, true);
}

bool IsNetworkPath(const std::string& path) {
  // Windows takes a slash for a backslash here too.
  auto slash = [&path](size_t i) { return i < path.size() && (path[i] == '\\' || path[i] == '/'); };
  return slash(0) && slash(1);
}

std::string TIconCache::Key(const std::string& path, int size) {
  // Windows paths compare without regard to case.
  return UpperText(path) + '|' + std::to_string(size);
}

const TIconCache::TEntry* TIconCache::Find(const std::string& path, int size) const {
  auto it = entries_.find(Key(path, size));
  if (it == entries_.end()) return nullptr;
  it->second.Used = true;
  return &it->second;
}

void TIconCache::Put(const std::string& path, const TEntry& entry) {
  TEntry& stored = entries_[Key(path, entry.Icon.Size)] = entry;
  stored.Used = true;
}

void TIconCache::DropUnused() {
  for (auto it = entries_.begin(); it != entries_.end();) it = it->second.Used ? std::next(it) : entries_.erase(it);
}

bool TIconCache::Forget(const std::string& path, int size) { return entries_.erase(Key(path, size)) > 0; }

std::string TIconCache::Bytes() const {
  std::string out(Signature, SignatureLength);
  PutNumber(out, entries_.size(), 4);
  for (const auto& item : entries_) {
    const TEntry& entry = item.second;
    PutNumber(out, item.first.size(), 2);
    out += item.first;
    PutNumber(out, entry.Stamp.Time, 8);
    PutNumber(out, entry.Stamp.Size, 8);
    PutNumber(out, static_cast<uint64_t>(entry.Icon.Size), 2);
    out += entry.Icon.Pixels.empty() ? '\0' : '\1';
    for (uint32_t pixel : entry.Icon.Pixels) PutNumber(out, pixel, 4);
  }
  PutNumber(out, Checksum(out.data(), out.size()), 4);
  return out;
}

bool TIconCache::Load(const std::string& bytes, size_t* dropped) {
  entries_.clear();
  if (dropped) *dropped = 0;
  if (bytes.size() < SignatureLength + 8 || bytes.compare(0, SignatureLength, Signature) != 0) return false;
  const size_t end = bytes.size() - 4;
  TReader sum(bytes, bytes.size());
  uint64_t stored = 0;
  sum.Skip(end);
  if (!sum.Number(stored, 4) || stored != Checksum(bytes.data(), end)) return false;
  TReader in(bytes, end);
  in.Skip(SignatureLength);
  uint64_t count = 0;
  bool ok = in.Number(count, 4);
  std::map<std::string, TEntry> entries;
  size_t skipped = 0;
  for (uint64_t i = 0; ok && i < count; ++i) {
    uint64_t keyLength = 0, iconSize = 0, hasIcon = 0;
    std::string key;
    TEntry entry;
    ok = in.Number(keyLength, 2) && in.Text(key, keyLength) && in.Number(entry.Stamp.Time, 8) &&
         in.Number(entry.Stamp.Size, 8) && in.Number(iconSize, 2) && iconSize <= MaxIconSize &&
         in.Number(hasIcon, 1) && hasIcon <= 1;
    entry.Icon.Size = static_cast<int>(iconSize);
    if (ok && hasIcon) {
      entry.Icon.Pixels.resize(iconSize * iconSize);
      for (uint32_t& pixel : entry.Icon.Pixels) {
        uint64_t value = 0;
        if (!(ok = in.Number(value, 4))) break;
        pixel = static_cast<uint32_t>(value);
      }
    }
    if (!ok) break;
    const std::string sizeSuffix = '|' + std::to_string(iconSize);
    if (key.size() > sizeSuffix.size() && key.compare(key.size() - sizeSuffix.size(), sizeSuffix.size(), sizeSuffix) == 0)
      entries.emplace(std::move(key), std::move(entry));
    else
      ++skipped;
  }
  if (!ok || !in.AtEnd()) return false;
  entries_.swap(entries);
  if (dropped) *dropped = skipped;
  return true;
}

TIconStore::TIconStore(IIconPlatform& platform, IFileSystem& files, const std::string& cacheFile, int size,
                       bool networkIcons)
    : platform_(platform), files_(files), cacheFile_(cacheFile), size_(size), networkIcons_(networkIcons) {}

void TIconStore::LoadOnce() {
  if (loaded_) return;
  loaded_ = true;
  // A file too large to be ours is not even opened; one that grows while
  // it is read stops being read at the bound. Either is replaced by the
  // next save (or, where it cannot be written, costs no more than this).
  TFileStamp stamp;
  if (platform_.Stamp(cacheFile_, stamp) && stamp.Size > MaxIconCacheFileSize) {
    changed_ = true;
    return;
  }
  std::string bytes;
  try {
    std::unique_ptr<IInputFile> file = files_.OpenRead(cacheFile_);
    char buffer[65536];
    while (size_t n = file->Read(buffer, sizeof buffer)) {
      bytes.append(buffer, n);
      if (bytes.size() > MaxIconCacheFileSize) {
        changed_ = true;
        return;
      }
    }
  } catch (...) {
    // Missing, locked or unreadable: the icons are looked up afresh.
    return;
  }
  // A damaged file, or one with entries of the wrong size, is replaced by
  // the next save.
  size_t dropped = 0;
  if (!cache_.Load(bytes, &dropped) || dropped) changed_ = true;
}

bool TIconStore::NotAsked(const std::string& path) {
  return !networkIcons_ && (IsNetworkPath(path) || platform_.IsRemoteDrive(path));
}

bool TIconStore::FromCache(const std::string& path, const TFileStamp& stamp, TIconPixels& icon) {
  LoadOnce();
  const TIconCache::TEntry* entry = cache_.Find(path, size_);
  if (!entry || !(entry->Stamp == stamp)) return false;
  icon = entry->Icon;
  return true;
}

void TIconStore::ForgetMissing(const std::string& path) {
  LoadOnce();
  if (cache_.Forget(path, size_)) changed_ = true;
}

TIconStore::TAnswer TIconStore::Quick(const std::string& path, TIconPixels& icon) {
  if (NotAsked(path)) return iaNone;
  // A share or a sleeping disk may take seconds to answer even whether the
  // file is there: the worker asks.
  if (!platform_.IsQuick(path)) return iaLater;
  TFileStamp stamp;
  const bool exists = platform_.Stamp(path, stamp);
  std::lock_guard<std::mutex> lock(mutex_);
  if (!exists) {
    ForgetMissing(path);
    return iaNone;
  }
  if (!FromCache(path, stamp, icon)) return iaLater;
  return icon.Pixels.empty() ? iaNone : iaIcon;
}

bool TIconStore::Lookup(const std::string& path, TIconPixels& icon) {
  if (NotAsked(path)) return false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (closed_) return false;
  }
  TFileStamp stamp;
  if (!platform_.Stamp(path, stamp)) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!closed_) ForgetMissing(path);
    return false;
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (closed_) return false;
    if (FromCache(path, stamp, icon)) return !icon.Pixels.empty();
  }
  // The shell may take its time: the cache stays free meanwhile.
  TIconCache::TEntry entry;
  entry.Stamp = stamp;
  if (!platform_.Extract(path, size_, entry.Icon) || entry.Icon.Size != size_ ||
      entry.Icon.Pixels.size() != static_cast<size_t>(size_ * size_))
    entry.Icon.Pixels.clear();
  entry.Icon.Size = size_;
  std::lock_guard<std::mutex> lock(mutex_);
  if (closed_) return false;
  cache_.Put(path, entry);
  changed_ = true;
  icon = entry.Icon;
  return !icon.Pixels.empty();
}

void TIconStore::Close() {
  std::lock_guard<std::mutex> lock(mutex_);
  closed_ = true;
}

void TIconStore::Save() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (closed_) return;
  if (cache_.Count() > MaxCachedIcons) {
    cache_.DropUnused();
    changed_ = true;
  }
  if (!changed_) return;
  try {
    files_.WriteFileSafely(cacheFile_, cache_.Bytes());
    changed_ = false;
  } catch (...) {
    // Locked, read-only or full: the menu works without a cache.
  }
}

bool MenuIconsWanted(IRegistry& registry) {
  TSettings settings(registry, ProgramRegistryKey, true);
  int32_t value = 1;
  return !settings.ReadInteger("MenuIcons", value) || value != 0;
}

bool NetworkIconsWanted(IRegistry& registry) {
  TSettings settings(registry, ProgramRegistryKey, true);
  int32_t value = 0;
  return settings.ReadInteger("NetworkIcons", value) && value != 0;
}

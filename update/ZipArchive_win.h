// The update archive read with minizip (zlib's contrib), which checks every
// entry's CRC: its entries listed, and its files extracted into a folder of
// our own after the entries have passed CheckArchiveEntries. The archive is
// read through one open handle: what was hashed is what is extracted.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "model/Errors.h"
#include "update/UpdateRules.h"

// An archive that cannot be read.
class EZipError : public Exception {
 public:
  using Exception::Exception;
};

// An entry name longer than this is refused unread: no file name is.
const size_t MaxEntryNameLength = 260;

// The archive opened for reading while nobody may write, rename or delete
// it; closed with the object.
class TArchiveFile {
 public:
  // Invalid() when the file cannot be opened so.
  explicit TArchiveFile(const std::string& path);
  ~TArchiveFile();
  TArchiveFile(const TArchiveFile&) = delete;
  TArchiveFile& operator=(const TArchiveFile&) = delete;
  bool Invalid() const { return handle_ == INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return handle_; }

 private:
  HANDLE handle_;
};

// The entries' names in Windows-1252: a name the archive marks as UTF-8 is
// converted, and one with a character Windows-1252 lacks is refused.
std::vector<TArchiveEntry> ReadArchiveEntries(HANDLE archive);
std::vector<TArchiveEntry> ReadArchiveEntries(const std::string& zipPath);

// Extracts the file entries by their plain names into folder, which exists
// and is empty; an existing file is never replaced. Ok false (a German
// message) for refused entries, a damaged archive or a CRC that does not
// match: the folder is then left empty.
TArchiveCheck ExtractArchive(HANDLE archive, const std::string& folder);
TArchiveCheck ExtractArchive(const std::string& zipPath, const std::string& folder);

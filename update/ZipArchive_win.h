// The update archive read with minizip (zlib's contrib), which checks every
// entry's CRC: its entries listed, and its files extracted into a folder of
// our own after the entries have passed CheckArchiveEntries.
#pragma once

#include <string>
#include <vector>

#include "model/Errors.h"
#include "update/UpdateRules.h"

// An archive that cannot be read.
class EZipError : public Exception {
 public:
  using Exception::Exception;
};

std::vector<TArchiveEntry> ReadArchiveEntries(const std::string& zipPath);

// Extracts the file entries by their plain names into folder, which exists
// and is empty; an existing file is never replaced. Ok false (a German
// message) for refused entries, a damaged archive or a CRC that does not
// match: the folder is then left empty.
TArchiveCheck ExtractArchive(const std::string& zipPath, const std::string& folder);

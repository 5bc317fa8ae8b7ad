#include "update/ZipArchive_win.h"

#include <windows.h>

#include <unzip.h>

namespace {

// Opens the archive and closes it however the scope is left.
class TUnzip {
 public:
  explicit TUnzip(const std::string& path) : file_(unzOpen64(path.c_str())) {
    if (!file_) throw EZipError("Das Update-Archiv kann nicht gelesen werden:\r\n" + path);
  }
  ~TUnzip() { unzClose(file_); }
  TUnzip(const TUnzip&) = delete;
  TUnzip& operator=(const TUnzip&) = delete;
  unzFile Get() const { return file_; }

 private:
  unzFile file_;
};

// The current entry's name and size.
TArchiveEntry CurrentEntry(unzFile zip) {
  unz_file_info64 info = {};
  char name[1024] = "";
  if (unzGetCurrentFileInfo64(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0) != UNZ_OK)
    throw EZipError("Das Update-Archiv ist beschädigt.");
  return {name, info.uncompressed_size};
}

}  // namespace

std::vector<TArchiveEntry> ReadArchiveEntries(const std::string& zipPath) {
  TUnzip zip(zipPath);
  std::vector<TArchiveEntry> entries;
  for (int status = unzGoToFirstFile(zip.Get()); status == UNZ_OK; status = unzGoToNextFile(zip.Get()))
    entries.push_back(CurrentEntry(zip.Get()));
  return entries;
}

TArchiveCheck ExtractArchive(const std::string& zipPath, const std::string& folder) {
  TArchiveCheck check;
  std::vector<std::string> written;
  auto fail = [&](const std::string& error) {
    for (const std::string& file : written) DeleteFileA(file.c_str());
    check.Ok = false;
    check.FileNames.clear();
    check.Error = error;
    return check;
  };
  try {
    check = CheckArchiveEntries(ReadArchiveEntries(zipPath));
    if (!check.Ok) return check;
    TUnzip zip(zipPath);
    std::vector<char> block(65536);
    for (int status = unzGoToFirstFile(zip.Get()); status == UNZ_OK; status = unzGoToNextFile(zip.Get())) {
      const TArchiveEntry entry = CurrentEntry(zip.Get());
      const std::string name = EntryFileName(entry.Name);
      if (name.empty()) continue;  // a folder
      const std::string path = folder + (folder.back() == '\\' ? "" : "\\") + name;
      if (unzOpenCurrentFile(zip.Get()) != UNZ_OK) return fail("Das Update-Archiv ist beschädigt:\r\n" + entry.Name);
      HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (file == INVALID_HANDLE_VALUE) {
        unzCloseCurrentFile(zip.Get());
        return fail("Die Datei kann nicht angelegt werden:\r\n" + path);
      }
      written.push_back(path);
      uint64_t total = 0;
      int read = 0;
      bool ok = true;
      while ((read = unzReadCurrentFile(zip.Get(), block.data(), static_cast<unsigned>(block.size()))) > 0) {
        total += static_cast<uint64_t>(read);
        DWORD done = 0;
        // More than the entry declared is a lie about its size.
        if (total > entry.Size || !WriteFile(file, block.data(), static_cast<DWORD>(read), &done, nullptr) ||
            done != static_cast<DWORD>(read)) {
          ok = false;
          break;
        }
      }
      CloseHandle(file);
      // Closing the entry checks its CRC once it has been read whole.
      const int closed = unzCloseCurrentFile(zip.Get());
      if (!ok || read < 0 || closed != UNZ_OK || total != entry.Size)
        return fail("Das Update-Archiv ist beschädigt (Prüfsumme):\r\n" + entry.Name);
    }
  } catch (const EZipError& e) {
    return fail(e.what());
  }
  return check;
}

#include "update/ZipArchive_win.h"

#include <unzip.h>

#include "model/Wide_win.h"
#include "update/UpdateInfo_win.h"

namespace {

// minizip reads through our handle: it never opens the archive by name.
voidpf ZCALLBACK OpenHandle(voidpf opaque, const void*, int) { return opaque; }
uLong ZCALLBACK ReadHandle(voidpf, voidpf stream, void* buffer, uLong size) {
  DWORD read = 0;
  return ReadFile(static_cast<HANDLE>(stream), buffer, size, &read, nullptr) ? read : 0;
}
uLong ZCALLBACK WriteHandle(voidpf, voidpf, const void*, uLong) { return 0; }
ZPOS64_T ZCALLBACK TellHandle(voidpf, voidpf stream) {
  LARGE_INTEGER zero = {}, position = {};
  return SetFilePointerEx(static_cast<HANDLE>(stream), zero, &position, FILE_CURRENT)
             ? static_cast<ZPOS64_T>(position.QuadPart)
             : static_cast<ZPOS64_T>(-1);
}
long ZCALLBACK SeekHandle(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
  const DWORD method = origin == ZLIB_FILEFUNC_SEEK_CUR   ? FILE_CURRENT
                       : origin == ZLIB_FILEFUNC_SEEK_END ? FILE_END
                                                          : FILE_BEGIN;
  LARGE_INTEGER distance;
  distance.QuadPart = static_cast<LONGLONG>(offset);
  return SetFilePointerEx(static_cast<HANDLE>(stream), distance, nullptr, method) ? 0 : -1;
}
int ZCALLBACK CloseHandleNot(voidpf, voidpf) { return 0; }
int ZCALLBACK HandleError(voidpf, voidpf) { return 0; }

// The archive open in minizip, closed however the scope is left.
class TUnzip {
 public:
  explicit TUnzip(HANDLE archive) {
    zlib_filefunc64_def functions = {OpenHandle, ReadHandle, WriteHandle, TellHandle,
                                     SeekHandle, CloseHandleNot, HandleError, archive};
    file_ = unzOpen2_64("", &functions);
    if (!file_) throw EZipError("Das Update-Archiv kann nicht gelesen werden.");
  }
  ~TUnzip() { unzClose(file_); }
  TUnzip(const TUnzip&) = delete;
  TUnzip& operator=(const TUnzip&) = delete;
  unzFile Get() const { return file_; }

 private:
  unzFile file_;
};

const uLong Utf8NameFlag = 1 << 11;

std::string RefusedName(const std::string& name) {
  return "Das Update-Archiv enthält einen unzulässigen Dateinamen:\r\n" + name;
}

// The current entry's name and size. The name is read by its stored
// length: minizip does not end a name that fills its buffer.
TArchiveEntry CurrentEntry(unzFile zip) {
  unz_file_info64 info = {};
  if (unzGetCurrentFileInfo64(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
    throw EZipError("Das Update-Archiv ist beschädigt.");
  if (info.size_filename > MaxEntryNameLength)
    throw EZipError(RefusedName(Format("(ein Name von %lu Zeichen)", static_cast<unsigned long>(info.size_filename))));
  std::vector<char> name(info.size_filename + 1, '\0');
  if (unzGetCurrentFileInfo64(zip, &info, name.data(), static_cast<uLong>(name.size()), nullptr, 0, nullptr, 0) !=
      UNZ_OK)
    throw EZipError("Das Update-Archiv ist beschädigt.");
  std::string text(name.data(), info.size_filename);
  // A NUL inside a name would cut it short on its way to the file system.
  if (text.find('\0') != std::string::npos) throw EZipError(RefusedName(text.c_str()));
  if (info.flag & Utf8NameFlag) {
    std::string ansi;
    // Never a look-alike: refused when Windows-1252 lacks a character.
    if (!ConvertText(CP_UTF8, 1252, text, ansi)) throw EZipError(RefusedName(text));
    text = ansi;
  }
  return {text, info.uncompressed_size};
}

}  // namespace

TArchiveFile::TArchiveFile(const std::string& path)
    : handle_(CreateFileW(W(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr)) {}

TArchiveFile::~TArchiveFile() {
  if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
}

std::vector<TArchiveEntry> ReadArchiveEntries(HANDLE archive) {
  TUnzip zip(archive);
  std::vector<TArchiveEntry> entries;
  for (int status = unzGoToFirstFile(zip.Get()); status == UNZ_OK; status = unzGoToNextFile(zip.Get()))
    entries.push_back(CurrentEntry(zip.Get()));
  return entries;
}

std::vector<TArchiveEntry> ReadArchiveEntries(const std::string& zipPath) {
  TArchiveFile file(zipPath);
  if (file.Invalid()) throw EZipError("Das Update-Archiv kann nicht gelesen werden:\r\n" + zipPath);
  return ReadArchiveEntries(file.Get());
}

TArchiveCheck ExtractArchive(HANDLE archive, const std::string& folder) {
  TArchiveCheck check;
  std::vector<std::string> written;
  auto fail = [&](const std::string& error) {
    for (const std::string& file : written) DeleteFileW(W(file).c_str());
    check.Ok = false;
    check.FileNames.clear();
    check.Error = error;
    return check;
  };
  try {
    check = CheckArchiveEntries(ReadArchiveEntries(archive));
    if (!check.Ok) return check;
    TUnzip zip(archive);
    std::vector<char> block(65536);
    for (int status = unzGoToFirstFile(zip.Get()); status == UNZ_OK; status = unzGoToNextFile(zip.Get())) {
      const TArchiveEntry entry = CurrentEntry(zip.Get());
      const std::string name = EntryFileName(entry.Name);
      if (name.empty()) continue;  // a folder
      const std::string path = folder + (folder.back() == '\\' ? "" : "\\") + name;
      if (unzOpenCurrentFile(zip.Get()) != UNZ_OK) return fail("Das Update-Archiv ist beschädigt:\r\n" + entry.Name);
      HANDLE file = CreateFileW(W(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
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

TArchiveCheck ExtractArchive(const std::string& zipPath, const std::string& folder) {
  TArchiveFile file(zipPath);
  if (file.Invalid()) {
    TArchiveCheck check;
    check.Error = "Das Update-Archiv kann nicht gelesen werden:\r\n" + zipPath;
    return check;
  }
  return ExtractArchive(file.Get(), folder);
}

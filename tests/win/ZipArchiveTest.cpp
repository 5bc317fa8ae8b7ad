// Update archives read and extracted with minizip: archives made here with
// minizip's writer, some of them planted or damaged.
#include <gtest/gtest.h>
#include <windows.h>

#include <zip.h>

#include <utility>

#include "tests/win/WinTestSupport.h"
#include "update/ZipArchive_win.h"

namespace {

using TFiles = std::vector<std::pair<std::string, std::string>>;  // name, content

// utf8: the names are marked as UTF-8 (bit 11 of the entries' flags).
void MakeZip(const std::string& path, const TFiles& files, bool utf8 = false) {
  zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
  ASSERT_NE(zip, nullptr);
  for (const auto& [name, content] : files) {
    zip_fileinfo info = {};
    ASSERT_EQ(zipOpenNewFileInZip4_64(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                                      Z_DEFAULT_COMPRESSION, 0, -MAX_WBITS, DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY, nullptr,
                                      0, 0, utf8 ? 1 << 11 : 0, 0),
              ZIP_OK);
    ASSERT_EQ(zipWriteInFileInZip(zip, content.data(), static_cast<unsigned>(content.size())), ZIP_OK);
    ASSERT_EQ(zipCloseFileInZip(zip), ZIP_OK);
  }
  ASSERT_EQ(zipClose(zip, nullptr), ZIP_OK);
}

class ZipArchive : public ::testing::Test {
 protected:
  void SetUp() override { CreateDirectoryA(target.c_str(), nullptr); }
  TTempFolder folder;
  const std::string zip = folder / "TRV.zip";
  const std::string target = folder / "neu";
};

TEST_F(ZipArchive, FilesAreExtractedByTheirPlainNames) {
  MakeZip(zip, {{"TRV.EXE", std::string(70000, 'x') + "Ende"}, {"hilfe/TRV.HTM", "<html>"}, {"Update.bat", ":a"}});
  const TArchiveCheck check = ExtractArchive(zip, target);
  ASSERT_TRUE(check.Ok) << check.Error;
  EXPECT_EQ(check.FileNames, (std::vector<std::string>{"TRV.EXE", "TRV.HTM", "Update.bat"}));
  EXPECT_EQ(ReadFileBytes(target + "\\TRV.EXE"), std::string(70000, 'x') + "Ende");
  EXPECT_EQ(ReadFileBytes(target + "\\TRV.HTM"), "<html>");
  EXPECT_EQ(CountFiles(target + "\\"), 3);
}

TEST_F(ZipArchive, PlantedEntriesLeaveTheFolderEmpty) {
  const std::vector<std::string> planted = {"..\\..\\x.bat", "C:\\x.bat", "CON", "../x.bat"};
  for (const std::string& name : planted) {
    SCOPED_TRACE(name);
    DeleteFileA(zip.c_str());
    MakeZip(zip, {{"TRV.EXE", "neu"}, {name, "echo"}});
    const TArchiveCheck check = ExtractArchive(zip, target);
    EXPECT_FALSE(check.Ok);
    EXPECT_NE(check.Error.find("unzulässigen"), std::string::npos) << check.Error;
    EXPECT_EQ(CountFiles(target + "\\"), 0);
    EXPECT_EQ(CountFiles(folder.Path()), 2) << "nothing beside the archive and the folder";
  }
}

TEST_F(ZipArchive, ADamagedEntryFailsItsCheckAndLeavesNothing) {
  MakeZip(zip, {{"A.txt", "erste Datei"}, {"B.txt", std::string(5000, 'b')}});
  // A byte of B's compressed data changed.
  std::string bytes = ReadFileBytes(zip);
  const size_t at = bytes.find("B.txt") + 5 + 10;
  bytes[at] = static_cast<char>(bytes[at] ^ 0x55);
  WriteFileBytes(zip, bytes);
  const TArchiveCheck check = ExtractArchive(zip, target);
  EXPECT_FALSE(check.Ok);
  EXPECT_EQ(CountFiles(target + "\\"), 0);
  // Not an archive at all.
  WriteFileBytes(zip, "kein Archiv");
  EXPECT_FALSE(ExtractArchive(zip, target).Ok);
  EXPECT_THROW(ReadArchiveEntries(zip), EZipError);
}

// Names are what the archive says they are: minizip did not end a name of
// 1,024 bytes or more, which was read past its buffer; names marked as
// UTF-8 reached the file system as if they were Windows-1252.
TEST_F(ZipArchive, NamesAreReadByTheirLengthAndTheirEncoding) {
  const struct {
    std::string name;
    bool utf8;
    const char* file;  // extracted as, or nullptr: refused
  } cases[] = {
      {std::string(1100, 'a'), false, nullptr},
      {std::string(261, 'a'), false, nullptr},
      {"\xC3\x9C" "bung.txt", true, "Übung.txt"},          // "Übung" in UTF-8
      {"gr\xC3\xBC" "n.txt", true, "grün.txt"},
      {"\xC5\x81" "\xC3\xB3" "d\xC5\xBA.txt", true, nullptr},  // "Łódź": not in Windows-1252
      {"\xE2\x82\xAC.txt", true, "€.txt"},                 // in Windows-1252 too
      {"\xCE\xA9.txt", true, nullptr},                     // Greek Omega: not in Windows-1252
      {"\xE2\x80\x9Cx\xE2\x80\x9D.txt", true, "“x”.txt"},  // as they are, not as '"'
      {"\xC3.txt", true, nullptr},                          // not UTF-8 at all
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name.substr(0, 20));
    DeleteFileA(zip.c_str());
    MakeZip(zip, {{c.name, "Inhalt"}}, c.utf8);
    const TArchiveCheck check = ExtractArchive(zip, target);
    EXPECT_EQ(check.Ok, c.file != nullptr) << check.Error;
    if (c.file) {
      EXPECT_EQ(ReadFileBytes(target + "\\" + c.file), "Inhalt");
      DeleteFileA((target + "\\" + c.file).c_str());
    } else {
      EXPECT_NE(check.Error.find("unzulässigen"), std::string::npos) << check.Error;
    }
    EXPECT_EQ(CountFiles(target + "\\"), 0);
  }
}

// Hashed and extracted through one handle: meanwhile nobody may change,
// rename or remove the archive that was checked.
TEST_F(ZipArchive, AnOpenArchiveCannotBeChangedUnderneath) {
  MakeZip(zip, {{"TRV.EXE", "neu"}});
  TArchiveFile archive(zip);
  ASSERT_FALSE(archive.Invalid());
  EXPECT_EQ(CreateFileA(zip.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_EXISTING, 0, nullptr),
            INVALID_HANDLE_VALUE);
  EXPECT_FALSE(DeleteFileA(zip.c_str()));
  EXPECT_FALSE(MoveFileA(zip.c_str(), (folder / "anders.zip").c_str()));
  EXPECT_TRUE(ExtractArchive(archive.Get(), target).Ok);
}

TEST_F(ZipArchive, AnExistingFileIsNeverReplaced) {
  MakeZip(zip, {{"TRV.EXE", "neu"}});
  WriteFileBytes(target + "\\TRV.EXE", "alt");
  EXPECT_FALSE(ExtractArchive(zip, target).Ok);
  EXPECT_EQ(ReadFileBytes(target + "\\TRV.EXE"), "alt");
}

}  // namespace

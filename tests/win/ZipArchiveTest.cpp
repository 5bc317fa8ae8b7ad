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

void MakeZip(const std::string& path, const TFiles& files) {
  zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
  ASSERT_NE(zip, nullptr);
  for (const auto& [name, content] : files) {
    zip_fileinfo info = {};
    ASSERT_EQ(zipOpenNewFileInZip(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                                  Z_DEFAULT_COMPRESSION),
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

TEST_F(ZipArchive, AnExistingFileIsNeverReplaced) {
  MakeZip(zip, {{"TRV.EXE", "neu"}});
  WriteFileBytes(target + "\\TRV.EXE", "alt");
  EXPECT_FALSE(ExtractArchive(zip, target).Ok);
  EXPECT_EQ(ReadFileBytes(target + "\\TRV.EXE"), "alt");
}

}  // namespace

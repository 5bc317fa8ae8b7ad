// Transfers through WinINet from the tests' local update server
// (scripts/update-server.py), which CTest starts around the run.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "tests/win/WinTestSupport.h"
#include "update/Http_win.h"

namespace {

// A Linux path as Wine shows it.
std::string WinePath(const std::string& unixPath) {
  std::string path = "Z:" + unixPath;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

class Http : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* server = std::getenv("TARVO_UPDATE_SERVER");
    ASSERT_TRUE(server) << "started by CTest with the update server";
    const std::string port = ReadFileBytes(WinePath(std::string(server) + "/port"));
    ASSERT_FALSE(port.empty());
    base = "http://127.0.0.1:" + port + "/";
    siteFolder = WinePath(std::string(server) + "/site") + "\\";
  }
  // A file of the site, named for the test.
  std::string Publish(const std::string& name, size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 + i / 251);
    CreateDirectoryA((siteFolder + "Updates").c_str(), nullptr);
    WriteFileBytes(siteFolder + "Updates\\" + name, bytes);
    return bytes;
  }
  std::string base, siteFolder;
  TTempFolder folder;
};

TEST_F(Http, AFileArrivesWholeWithItsSizeAndProgress) {
  const std::string bytes = Publish("ganz.zip", 200000);
  const std::string target = folder / "ganz.zip";
  int64_t announced = 0, last = 0;
  int reports = 0;
  THttpTransfer transfer;
  transfer.OnBegin = [&](int64_t size) { announced = size; };
  transfer.OnWork = [&](int64_t received) {
    EXPECT_GT(received, last);
    last = received;
    ++reports;
  };
  ASSERT_TRUE(HttpGetFile(base + "Updates/ganz.zip", target, transfer));
  EXPECT_EQ(announced, 200000);
  EXPECT_EQ(last, 200000);
  EXPECT_GT(reports, 1) << "reported block by block";
  EXPECT_EQ(ReadFileBytes(target), bytes);
}

TEST_F(Http, WithoutAnnouncedSizeTheWholeBodyStillArrives) {
  const std::string bytes = Publish("ohne.zip", 50000);
  int64_t announced = 0;
  THttpTransfer transfer;
  transfer.OnBegin = [&](int64_t size) { announced = size; };
  ASSERT_TRUE(HttpGetFile(base + "Updates/ohne.zip?nosize", folder / "ohne.zip", transfer));
  EXPECT_EQ(announced, -1);
  EXPECT_EQ(ReadFileBytes(folder / "ohne.zip"), bytes);
}

TEST_F(Http, FailuresSayWhatHappenedAndLeaveNoFile) {
  Publish("kaputt.zip", 100000);
  const struct {
    std::string query;
    const char* says;
  } cases[] = {
      {"Updates/kaputt.zip?break=20000", "unterbrochen"},
      {"Updates/fehlt.zip", "Fehler 404"},
      {"Updates/kaputt.zip?status=500", "Fehler 500"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.query);
    const std::string target = folder / "teil.zip";
    try {
      HttpGetFile(base + c.query, target, {});
      ADD_FAILURE() << "no error";
    } catch (const EHttpError& e) {
      EXPECT_NE(std::string(e.what()).find(c.says), std::string::npos) << e.what();
    }
    EXPECT_EQ(GetFileAttributesA(target.c_str()), INVALID_FILE_ATTRIBUTES);
  }
}

// A server may not fill the disk nor hold the transfer for ever: a byte
// now and then kept the read time-out from ever striking.
TEST_F(Http, TransfersAreCutAtTheirSizeAndTimeLimits) {
  Publish("gross.zip", 100000);
  const struct {
    std::string query;
    int64_t maxSize;
    unsigned timeLimitMs, paceSpanMs;
    const char* says;
  } cases[] = {
      {"Updates/gross.zip", 99999, 0, 0, "zu groß"},          // announced: refused unread
      {"Updates/gross.zip?nosize", 50000, 0, 0, "zu groß"},   // cut where the body passes the cap
      {"Updates/gross.zip?drip=100", 0, 1500, 0, "zu langsam"},
      {"Updates/gross.zip?drip=100", 0, 0, 1000, "zu langsam"},  // ten bytes a second: short of the pace
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.query);
    const std::string target = folder / "gross.zip";
    THttpTransfer transfer;
    transfer.MaxSize = c.maxSize;
    transfer.TimeLimitMs = c.timeLimitMs;
    transfer.PaceSpanMs = c.paceSpanMs;
    transfer.PaceMinBytes = 100;
    int64_t received = 0;
    transfer.OnWork = [&](int64_t count) { received = count; };
    try {
      HttpGetFile(base + c.query, target, transfer);
      ADD_FAILURE() << "no error";
    } catch (const EHttpError& e) {
      EXPECT_NE(std::string(e.what()).find(c.says), std::string::npos) << e.what();
    }
    if (c.maxSize) {
      EXPECT_LE(received, c.maxSize);
    }
    EXPECT_EQ(GetFileAttributesA(target.c_str()), INVALID_FILE_ATTRIBUTES);
  }
  // At the cap exactly, the file is whole.
  THttpTransfer exact;
  exact.MaxSize = 100000;
  EXPECT_TRUE(HttpGetFile(base + "Updates/gross.zip?nosize", folder / "genau.zip", exact));
}

TEST_F(Http, ACancelledTransferStopsAndLeavesNoFile) {
  Publish("abbruch.zip", 100000);
  int blocks = 0;
  THttpTransfer transfer;
  transfer.Cancelled = [&] { return ++blocks == 2; };
  EXPECT_FALSE(HttpGetFile(base + "Updates/abbruch.zip", folder / "abbruch.zip", transfer));
  EXPECT_EQ(blocks, 2);
  EXPECT_EQ(GetFileAttributesA((folder / "abbruch.zip").c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace

// The installation of a downloaded archive: releases that openssl signed
// with the test key, each prepared in a temporary folder of its own. A
// refused one leaves the archive and nothing else; a sound one leaves the
// filled script in a new folder and no archive.
#include <gtest/gtest.h>
#include <windows.h>

#include "tests/win/SignedRelease.h"
#include "tests/win/WinTestSupport.h"
#include "update/InstallScript_win.h"
#include "update/Signature_win.h"
#include "update/UpdateInfo_win.h"

namespace {

const char* const ProgramPath = "C:\\Programme\\Tarvo\\TRV.EXE";

struct TPrepared {
  TInstallPreparation Preparation;
  int FilesLeft;
  bool ArchiveKept;
};

TPrepared Prepare(const TTempFolder& temp, const std::string& release, bool restart) {
  CopyFileA((SignedReleaseFolder(release) + "TRV.zip").c_str(), (temp / "TRV.zip").c_str(), FALSE);
  TIniUpdateInfo info(SignedReleaseFolder(release) + "Updates.ini");
  TInstallRequest request;
  request.TempDir = temp.Path();
  request.ZIPFileName = "TRV.zip";
  request.Restart = restart;
  request.Info = &info;
  request.ProgramName = "TRV";
  request.ProgramPath = ProgramPath;
  request.AcceptedKeys = AcceptedReleaseKeys();
  TPrepared prepared{PrepareInstallScript(request), 0, false};
  prepared.FilesLeft = CountFiles(temp.Path());
  prepared.ArchiveKept = GetFileAttributesA((temp / "TRV.zip").c_str()) != INVALID_FILE_ATTRIBUTES;
  return prepared;
}

TEST(InstallScript, ASignedReleaseIsExtractedIntoANewFolderAndItsTemplateFilled) {
  ASSERT_FALSE(SignedReleasesRoot().empty()) << "started by CTest with the signed releases";
  for (bool restart : {false, true}) {
    TTempFolder temp;
    const TPrepared prepared = Prepare(temp, "neu", restart);
    ASSERT_EQ(prepared.Preparation.Result, TInstallPreparation::ipPrepared) << prepared.Preparation.Error;
    EXPECT_FALSE(prepared.ArchiveKept);
    const std::string script = prepared.Preparation.ScriptPath;
    const std::string folder = script.substr(0, script.size() - std::string("Update.bat").size());
    ASSERT_EQ(folder.substr(0, temp.Path().size()), temp.Path());
    EXPECT_EQ(prepared.FilesLeft, 1) << "the new folder alone";
    EXPECT_EQ(CountFiles(folder), 2) << "the script and the program file, without the archive's folder";
    std::string expected = "@echo off\r\n"
                           "echo P=C:\\Programme\\Tarvo\\>\"%TEMP%\\trv-update-marker.txt\"\r\n"
                           "rem C:\\Programme\\Tarvo\\\r\n"
                           "echo T=" + folder + " P=C:\\Programme\\Tarvo\\>>\"%TEMP%\\trv-update-marker.txt\"\r\n"
                           " echo Ende " + folder + ">>\"%TEMP%\\trv-update-marker.txt\"\r\n";
    if (restart) expected += "\"" + std::string(ProgramPath) + "\"\r\n";
    expected += "del " + folder + "Update.bat\r\n";
    EXPECT_EQ(ReadFileBytes(script), expected);
  }
}

TEST(InstallScript, ARefusedReleaseLeavesTheArchiveAndNothingElse) {
  const struct {
    const char* release;
    const char* error;  // the start of the message
  } cases[] = {
      {"punktpunkt", "Das Update-Archiv enthält einen unzulässigen Dateinamen"},
      {"laufwerk", "Das Update-Archiv enthält einen unzulässigen Dateinamen"},
      {"geraet", "Das Update-Archiv enthält einen unzulässigen Dateinamen"},
      {"gross", "Das Update-Archiv enthält eine zu große Datei"},
      {"vorlage-leer", "Die Vorlage des Installationsskripts ist leer"},
      {"vorlage-halb", "Die Vorlage des Installationsskripts"},
      {"vorlage-leerzeile", "Die Vorlage des Installationsskripts"},
      {"vorlage-platzhalter", "Die Vorlage des Installationsskripts"},
      {"vorlage-prozent", "Die Vorlage des Installationsskripts"},
  };
  for (const auto& c : cases) {
    TTempFolder temp;
    const TPrepared prepared = Prepare(temp, c.release, true);
    EXPECT_EQ(prepared.Preparation.Result, TInstallPreparation::ipFailed) << c.release;
    EXPECT_EQ(prepared.Preparation.Error.rfind(c.error, 0), 0u) << c.release << ": " << prepared.Preparation.Error;
    EXPECT_TRUE(prepared.ArchiveKept) << c.release;
    EXPECT_EQ(prepared.FilesLeft, 1) << c.release << ": the archive alone";
  }
  EXPECT_EQ(GetFileAttributesA("C:\\x.bat"), INVALID_FILE_ATTRIBUTES);
}

TEST(InstallScript, AnUnverifiedOrMissingArchiveIsNeitherExtractedNorDeleted) {
  TTempFolder temp;
  // A sound archive under another release's signed section.
  CopyFileA((SignedReleaseFolder("neu") + "TRV.zip").c_str(), (temp / "TRV.zip").c_str(), FALSE);
  TIniUpdateInfo other(SignedReleaseFolder("alt") + "Updates.ini");
  TInstallRequest request;
  request.TempDir = temp.Path();
  request.ZIPFileName = "TRV.zip";
  request.Info = &other;
  request.ProgramName = "TRV";
  request.ProgramPath = ProgramPath;
  request.AcceptedKeys = AcceptedReleaseKeys();
  TInstallPreparation preparation = PrepareInstallScript(request);
  EXPECT_EQ(preparation.Result, TInstallPreparation::ipFailed);
  EXPECT_EQ(preparation.Error, UnverifiedUpdateMessage);
  EXPECT_EQ(CountFiles(temp.Path()), 1) << "the archive alone";
  request.ZIPFileName = "Fehlt.zip";
  EXPECT_EQ(PrepareInstallScript(request).Result, TInstallPreparation::ipMissing);
}

}  // namespace

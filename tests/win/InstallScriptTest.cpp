// The installation of a downloaded archive: releases that openssl signed
// with the test key, each prepared in a temporary folder of its own. A
// refused one leaves the archive and nothing else; a sound one leaves the
// filled script in a new folder of its owner's alone and no archive.
#include <gtest/gtest.h>
#include <windows.h>
#include <sddl.h>

#include <algorithm>
#include <functional>

#include "tests/win/SignedRelease.h"
#include "tests/win/WinTestSupport.h"
#include "update/InstallScript_win.h"
#include "update/Signature_win.h"
#include "update/UpdateInfo_win.h"

namespace {

const char* const ProgramPath = "C:\\Programme\\Tarvo\\TRV.EXE";
// 8.12.2026 at noon: "neu" (31.12.2099) is newer, "alt" (1.1.2000) is not.
const TDateTime ProgramDate = 46364.5;

struct TPrepared {
  TInstallPreparation Preparation;
  int FilesLeft;
  bool ArchiveKept;
};

TInstallRequest Request(const std::string& tempDir, IUpdateInfo* info, bool restart = false) {
  TInstallRequest request;
  request.TempDir = tempDir;
  request.ArchivePath = tempDir + "TRV1234.tmp";
  request.Restart = restart;
  request.Info = info;
  request.ProgramName = "TRV";
  request.ProgramPath = ProgramPath;
  request.ProgramDate = ProgramDate;
  request.ProcessId = 4711;
  request.AcceptedKeys = AcceptedReleaseKeys();
  request.ReportPath = tempDir + "Update.log";
  return request;
}

TPrepared Prepare(const std::string& tempDir, const std::string& release, TInstallRequest request) {
  CopyFileA((SignedReleaseFolder(release) + "TRV.zip").c_str(), request.ArchivePath.c_str(), FALSE);
  TPrepared prepared{PrepareInstallScript(request), 0, false};
  prepared.FilesLeft = CountFiles(tempDir);
  prepared.ArchiveKept = GetFileAttributesA(request.ArchivePath.c_str()) != INVALID_FILE_ATTRIBUTES;
  return prepared;
}

TPrepared Prepare(const TTempFolder& temp, const std::string& release, bool restart) {
  TIniUpdateInfo info(SignedReleaseFolder(release) + "Updates.ini");
  return Prepare(temp.Path(), release, Request(temp.Path(), &info, restart));
}

std::string FolderOf(const std::string& script) { return script.substr(0, script.size() - 10); }

// Whether the security descriptor lets the process's owner alone in, and
// takes nothing from the parent folder. (Wine keeps no security of files:
// it answers every folder's query with a made-up one, so the descriptor
// the folder is made with is what can be checked here.)
bool OwnerOnly(const std::string& sddl) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr))
    return false;
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  BOOL present = FALSE, defaulted = FALSE;
  PACL dacl = nullptr;
  ACL_SIZE_INFORMATION size = {};
  bool only = GetSecurityDescriptorControl(descriptor, &control, &revision) && (control & SE_DACL_PROTECTED) &&
              GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted) && present && dacl &&
              GetAclInformation(dacl, &size, sizeof size, AclSizeInformation) && size.AceCount == 1;
  if (only) {
    HANDLE token = nullptr;
    OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token);
    BYTE buffer[256];
    DWORD length = 0;
    ACCESS_ALLOWED_ACE* ace = nullptr;
    only = GetTokenInformation(token, TokenOwner, buffer, sizeof buffer, &length) &&
           GetAce(dacl, 0, reinterpret_cast<void**>(&ace)) && ace->Header.AceType == ACCESS_ALLOWED_ACE_TYPE &&
           ace->Mask == FILE_ALL_ACCESS &&
           EqualSid(reinterpret_cast<PSID>(&ace->SidStart), reinterpret_cast<TOKEN_OWNER*>(buffer)->Owner);
    CloseHandle(token);
  }
  LocalFree(descriptor);
  return only;
}

TEST(InstallScript, ASignedReleaseIsExtractedIntoAFolderOfItsOwnersAndItsTemplateFilled) {
  ASSERT_FALSE(SignedReleasesRoot().empty()) << "started by CTest with the signed releases";
  for (bool restart : {false, true}) {
    TTempFolder temp;
    const TPrepared prepared = Prepare(temp, "neu", restart);
    ASSERT_EQ(prepared.Preparation.Result, TInstallPreparation::ipPrepared) << prepared.Preparation.Error;
    EXPECT_FALSE(prepared.ArchiveKept);
    const std::string script = prepared.Preparation.ScriptPath;
    const std::string folder = FolderOf(script);
    ASSERT_EQ(folder.substr(0, temp.Path().size()), temp.Path());
    EXPECT_EQ(prepared.FilesLeft, 2) << "the new folder and the report alone";
    EXPECT_EQ(CountFiles(folder), 2) << "the script and the program file, without the archive's folder";
    EXPECT_TRUE(OwnerOnly(OwnerOnlySddl()));
    const std::string head = "@setlocal DisableDelayedExpansion\r\n"
                             "@set \"TRV_PROGRAM_DIR=C:\\Programme\\Tarvo\\\"\r\n"
                             "@set \"TRV_PROGRAM=C:\\Programme\\Tarvo\\TRV.EXE\"\r\n"
                             "@set \"TRV_UPDATE_DIR=" + folder + "\"\r\n"
                             "@set \"TRV_REPORT=" + temp.Path() + "Update.log\"\r\n";
    const std::string filled = ":trv_install\r\n@echo off\r\n"
                               "echo \"P=%TRV_PROGRAM_DIR%\">\"%TEMP%\\trv-update-marker.txt\"\r\n"
                               "rem \"%TRV_PROGRAM_DIR%\"\r\n"
                               "echo \"T=%TRV_UPDATE_DIR% P=%TRV_PROGRAM_DIR%\">>\"%TEMP%\\trv-update-marker.txt\"\r\n"
                               " echo \"Ende %TRV_UPDATE_DIR%\">>\"%TEMP%\\trv-update-marker.txt\"\r\n"
                               "@exit /b 0\r\n";
    const std::string bytes = ReadFileBytes(script);
    EXPECT_EQ(bytes.substr(0, head.size()), head);
    EXPECT_EQ(bytes.substr(bytes.size() - std::min(bytes.size(), filled.size())), filled);
    EXPECT_EQ(bytes.find("start \"\" \"%TRV_PROGRAM%\"") != std::string::npos, restart);
    // What the next start tells unless the script adds its result.
    EXPECT_EQ(ReadFileBytes(temp / "Update.log"), "Release=31.12.2099\r\nFolder=" + folder + "\r\n");
    // Held from its writing until the program ends: nobody changes it.
    EXPECT_EQ(CreateFileA(script.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                          nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_FALSE(MoveFileA(script.c_str(), (folder + "anders.bat").c_str()));
    EXPECT_FALSE(DeleteFileA(script.c_str()));
  }
}

TEST(InstallScript, ARefusedReleaseLeavesTheArchiveAndNothingElse) {
  const struct {
    const char* release;
    const char* error;  // the start of the message
  } cases[] = {
      {"alt", "Das Update ist nicht neuer als dieses Programm"},  // signed, but old
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
  TIniUpdateInfo other(SignedReleaseFolder("alt") + "Updates.ini");
  TInstallRequest request = Request(temp.Path(), &other);
  CopyFileA((SignedReleaseFolder("neu") + "TRV.zip").c_str(), request.ArchivePath.c_str(), FALSE);
  TInstallPreparation preparation = PrepareInstallScript(request);
  EXPECT_EQ(preparation.Result, TInstallPreparation::ipFailed);
  EXPECT_EQ(preparation.Error, UnverifiedUpdateMessage);
  EXPECT_EQ(CountFiles(temp.Path()), 1) << "the archive alone";
  request.ArchivePath = temp / "Fehlt.zip";
  EXPECT_EQ(PrepareInstallScript(request).Result, TInstallPreparation::ipMissing);
}


// "Updates.ini" lies in the user's temporary folder, where the user's other
// processes may swap it between two reads: each step after the first read
// must see what was read then, with the old release's file in its place.
TEST(InstallScript, TheUpdateInformationIsReadOnceAndASwapAfterwardsChangesNothing) {
  const struct {
    const char* step;
    std::function<std::string(IUpdateInfo&, const TTempFolder&)> run;
    std::string expected;
  } cases[] = {
      {"signature",
       [](IUpdateInfo& info, const TTempFolder&) {
         return VerifyReleaseSection(info, "TRV", AcceptedReleaseKeys()).Ok ? "ok" : "refused";
       },
       "ok"},
      {"date", [](IUpdateInfo& info, const TTempFolder&) { return IsUpdateAvailable(&info, "TRV", ProgramDate) ? "newer" : "not newer"; },
       "newer"},
      {"news", [](IUpdateInfo& info, const TTempFolder&) { return info.Read("TRV", "News", ""); },
       "\"01.01.2000: Alte Meldung\",\"31.12.2099: Neue Befehle, schneller\",Hinweis"},
      {"install",
       [](IUpdateInfo& info, const TTempFolder& temp) {
         const TPrepared prepared = Prepare(temp.Path(), "neu", Request(temp.Path(), &info));
         return prepared.Preparation.Result == TInstallPreparation::ipPrepared ? "prepared" : prepared.Preparation.Error;
       },
       "prepared"},
  };
  for (const auto& c : cases) {
    TTempFolder temp;
    const std::string ini = temp / "$VQ1.tmp";
    CopyFileA((SignedReleaseFolder("neu") + "Updates.ini").c_str(), ini.c_str(), FALSE);
    TIniUpdateInfo info(ini);
    // The same section, unsigned now: another date, other news, another
    // archive's hash.
    std::string swapped = ReadFileBytes(ini);
    for (const auto& change : {std::make_pair("31.12.2099", "01.01.2000"), std::make_pair("Neue", "Alte"),
                               std::make_pair("SHA256=", "SHA256=0")})
      swapped.replace(swapped.find(change.first), strlen(change.first), change.second);
    WriteFileBytes(ini, swapped);
    EXPECT_EQ(c.run(info, temp), c.expected) << c.step;
  }
}

}  // namespace

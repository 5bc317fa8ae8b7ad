// Signed releases checked with the platform's CryptoAPI (RSA and SHA-256 of
// the "Microsoft Enhanced RSA and AES Cryptographic Provider"): an archive
// is installed only when its section's signature verifies with one of the
// keys this build accepts and the downloaded file has the signed hash.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "update/ReleaseSignature.h"
#include "update/UpdateRules.h"

// The file's SHA-256 in lowercase hex; "" when the file cannot be read (or
// the provider cannot hash), which matches no section's hash.
std::string FileSha256Hex(const std::string& path);
// The same of an open file, read from its start.
std::string Sha256Hex(HANDLE file);

// Whether signatureBase64 is an RSA PKCS#1 v1.5 signature over SHA-256 of
// text by the key publicKeyPem ("-----BEGIN PUBLIC KEY-----", a
// SubjectPublicKeyInfo). False for any malformed input.
bool VerifySignature(const std::string& text, const std::string& signatureBase64, const std::string& publicKeyPem);

// The program's section of info: "SHA256" and "Signature" present and
// well-formed, and the signature over SignedReleaseText(programName, "Date",
// "File", "SHA256", "News") made by one of acceptedKeysPem. Checked before
// the section's news is shown and again before its archive is installed.
// Otherwise Error is UnverifiedUpdateMessage.
TVerification VerifyReleaseSection(IUpdateInfo& info, const std::string& programName,
                                   const std::vector<std::string>& acceptedKeysPem);
// The section, and the downloaded archive's hash the signed one (in either
// case). The archive is hashed from the handle it is then extracted from,
// which no one else may write to meanwhile.
TVerification VerifyUpdateArchive(IUpdateInfo& info, const std::string& programName, HANDLE archive,
                                  const std::vector<std::string>& acceptedKeysPem);
// The same, the archive opened by path (for the tests).
TVerification VerifyUpdateArchive(IUpdateInfo& info, const std::string& programName, const std::string& archivePath,
                                  const std::vector<std::string>& acceptedKeysPem);

// The public keys whose releases this build installs, as PEM texts. Defined
// once for TRV.EXE (update/ReleaseKeys.cpp, library tarvo_releasekeys: the
// release key alone) and once for the tests (tests/keys/TestReleaseKeys.cpp,
// tarvo_testreleasekeys: the release key and the test key); a program links
// exactly one of them.
std::vector<std::string> AcceptedReleaseKeys();

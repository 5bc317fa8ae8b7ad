// Signed releases checked with the platform's CryptoAPI (RSA and SHA-256 of
// the "Microsoft Enhanced RSA and AES Cryptographic Provider"): an archive
// is installed only when its section's signature verifies with one of the
// keys this build accepts and the downloaded file has the signed hash.
#pragma once

#include <string>
#include <vector>

#include "update/ReleaseSignature.h"
#include "update/UpdateRules.h"

// The file's SHA-256 in lowercase hex; "" when the file cannot be read (or
// the provider cannot hash), which matches no section's hash.
std::string FileSha256Hex(const std::string& path);

// Whether signatureBase64 is an RSA PKCS#1 v1.5 signature over SHA-256 of
// text by the key publicKeyPem ("-----BEGIN PUBLIC KEY-----", a
// SubjectPublicKeyInfo). False for any malformed input.
bool VerifySignature(const std::string& text, const std::string& signatureBase64, const std::string& publicKeyPem);

// The program's section of info checked against the downloaded archive:
// "SHA256" and "Signature" present and well-formed, the signature over
// SignedReleaseText(programName, "Date", "File", "SHA256") made by one of
// acceptedKeysPem, and the archive's hash the signed one (in either case).
// Otherwise Error is UnverifiedUpdateMessage.
TVerification VerifyUpdateArchive(IUpdateInfo& info, const std::string& programName, const std::string& archivePath,
                                  const std::vector<std::string>& acceptedKeysPem);

// The public keys whose releases this build installs, as PEM texts. Defined
// once for TRV.EXE (update/ReleaseKeys.cpp, library tarvo_releasekeys: the
// release key alone) and once for the tests (tests/keys/TestReleaseKeys.cpp,
// tarvo_testreleasekeys: the release key and the test key); a program links
// exactly one of them.
std::vector<std::string> AcceptedReleaseKeys();

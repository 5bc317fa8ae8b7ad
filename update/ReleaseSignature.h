// What a signed release is made of, apart from the cryptography: the text
// whose signature the update information's section carries, and the checks
// of its values' forms. The section has "SHA256" (the archive's SHA-256 in
// hex) and "Signature" (RSA PKCS#1 v1.5 over SHA-256 of SignedReleaseText,
// base64) besides "File", "Date" and "News"; scripts/sign-release.sh makes
// them. The news is signed too: the wizard shows it as the maker's words.
#pragma once

#include <string>

// The signed text: program name, "Date", "File", "SHA256" and "News", each
// exactly as the section holds it (a missing one empty), joined by LF,
// without a final LF.
std::string SignedReleaseText(const std::string& programName, const std::string& date, const std::string& file,
                              const std::string& sha256Hex, const std::string& news);

// Standard base64 with its padding, nothing else (no blanks, no line
// breaks): false for any other character, a length that is not a multiple
// of 4, or padding anywhere but at the end.
bool DecodeBase64(const std::string& text, std::string& bytes);

// Exactly 64 hex digits, in either case.
bool IsSha256Hex(const std::string& text);

// Shown for every refused archive, whatever the reason: the user can do
// nothing about the difference.
extern const char* const UnverifiedUpdateMessage;

struct TVerification {
  bool Ok = false;
  std::string Error;
};

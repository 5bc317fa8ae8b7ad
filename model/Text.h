// Windows-1252 text helpers shared by the launcher, the windows and the
// platform layer: access keys of captions, upper case and file extensions.
#pragma once

#include <string>

// Position of the character after a single "&" (the access key), npos when
// the caption has none; "&&" is a literal ampersand.
std::string::size_type AccessKeyPos(const std::string& caption);
// The access key itself, or '\0'.
char AccessKeyOf(const std::string& caption);

// The Windows-1252 upper case of a character: a-z, the accented small
// letters (not ß, which has no single upper case, nor ÷), š œ ž and ÿ.
unsigned char UpperChar(unsigned char c);
std::string UpperText(std::string text);

// Access keys compare without regard to case.
bool SameKey(char a, char b);

// Whether path's last extension is upperExtension (as ".TRV") in any case;
// a dot in a folder's name is none.
bool HasExtension(const std::string& path, const char* upperExtension);

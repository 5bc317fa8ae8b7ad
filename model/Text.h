// Windows-1252 text helpers shared by the launcher, the windows and the
// platform layer: access keys of captions and upper case.
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

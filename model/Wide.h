// Windows-1252 inside, UTF-16 at the Windows boundary: the one conversion
// between the two. It is exact both ways and never asks the machine's code
// page, so the program reads the same on any Windows; a character that
// Windows-1252 lacks is refused, never replaced by a look-alike.
#pragma once

#include <string>

#include "model/Errors.h"

// Every Windows-1252 byte has its character (the five unassigned bytes the
// C1 controls of the same number, as Windows maps them).
std::u16string WidenText(const std::string& text);

// Where the first character without a Windows-1252 byte starts, npos when
// every one has a byte. A surrogate pair is one character; a lone surrogate
// has no byte.
std::u16string::size_type ForeignCharPos(const std::u16string& text);

// The Windows-1252 bytes of a text; false, with out untouched, when a
// character has none.
bool NarrowText(const std::u16string& text, std::string& out);

// A name, path or typed text from Windows that Windows-1252 cannot hold.
// The message names it as it is (WideMessage) for the windows that show
// UTF-16; Message() is the same with each foreign character written as its
// code, for anything that only takes Windows-1252.
class EForeignText : public Exception {
 public:
  explicit EForeignText(const std::u16string& text);
  std::u16string Text;
  std::u16string WideMessage() const;
};

// The first character of the text that Windows-1252 lacks, as it is (one
// unit, or a surrogate pair); empty when there is none.
std::u16string FirstForeignChar(const std::u16string& text);
// A character shown as it is and with its code, for a font may lack it:
// "„x“ (U+XXXX)".
std::u16string NamedChar(const std::u16string& character);

// "„name“ enthält das Zeichen „x“ (U+…), …": the reason a text is refused.
std::u16string ForeignTextMessage(const std::u16string& text);
// A text for Windows-1252 only: each foreign character as "<U+XXXX>".
std::string ForeignTextInCodes(const std::u16string& text);

// Narrows, or throws EForeignText.
std::string NarrowOrRefuse(const std::u16string& text);

#include "model/Wide.h"

namespace {
// 0x80 to 0x9F; the rest of Windows-1252 is Latin-1.
const char16_t High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
                           0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                           0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool ByteOf(char16_t c, char& byte) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
    byte = static_cast<char>(c);
    return true;
  }
  for (int i = 0; i < 32; ++i)
    if (High[i] == c) {
      byte = static_cast<char>(0x80 + i);
      return true;
    }
  return false;
}

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// The code point at pos and how many units it takes.
char32_t CodePointAt(const std::u16string& text, size_t pos, size_t& units) {
  const char16_t c = text[pos];
  units = 1;
  if (IsHighSurrogate(c) && pos + 1 < text.size() && IsLowSurrogate(text[pos + 1])) {
    units = 2;
    return 0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (text[pos + 1] - 0xDC00);
  }
  return c;
}

std::string CodeText(char32_t code) { return Format("U+%04X", static_cast<unsigned>(code)); }
}  // namespace

std::u16string WidenText(const std::string& text) {
  std::u16string wide(text.size(), u'\0');
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char b = static_cast<unsigned char>(text[i]);
    wide[i] = b >= 0x80 && b < 0xA0 ? High[b - 0x80] : static_cast<char16_t>(b);
  }
  return wide;
}

std::u16string::size_type ForeignCharPos(const std::u16string& text) {
  char byte;
  for (size_t i = 0; i < text.size(); ++i)
    if (!ByteOf(text[i], byte)) return i;
  return std::u16string::npos;
}

bool NarrowText(const std::u16string& text, std::string& out) {
  std::string narrow(text.size(), '\0');
  for (size_t i = 0; i < text.size(); ++i)
    if (!ByteOf(text[i], narrow[i])) return false;
  out.swap(narrow);
  return true;
}

std::string ForeignTextInCodes(const std::u16string& text) {
  std::string shown;
  for (size_t i = 0, units = 1; i < text.size(); i += units) {
    char byte;
    const char32_t code = CodePointAt(text, i, units);
    if (units == 1 && ByteOf(text[i], byte))
      shown += byte;
    else
      shown += "<" + CodeText(code) + ">";
  }
  return shown;
}

std::u16string FirstForeignChar(const std::u16string& text) {
  const size_t pos = ForeignCharPos(text);
  if (pos == std::u16string::npos) return std::u16string();
  size_t units = 1;
  CodePointAt(text, pos, units);
  return text.substr(pos, units);
}

std::u16string NamedChar(const std::u16string& character) {
  size_t units = 1;
  const char32_t code = character.empty() ? 0 : CodePointAt(character, 0, units);
  return u"„" + character + WidenText("“ (" + CodeText(code) + ")");
}

std::u16string ForeignTextMessage(const std::u16string& text) {
  return u"„" + text + WidenText("“ enthält das Zeichen ") + NamedChar(FirstForeignChar(text)) +
         WidenText(", das Tarvo nicht übernehmen kann (Tarvo speichert Texte in der westeuropäischen "
                   "Zeichentabelle Windows-1252).");
}

EForeignText::EForeignText(const std::u16string& text)
    : Exception(ForeignTextInCodes(ForeignTextMessage(text))), Text(text) {}

std::u16string EForeignText::WideMessage() const { return ForeignTextMessage(Text); }

std::string NarrowOrRefuse(const std::u16string& text) {
  std::string narrow;
  if (!NarrowText(text, narrow)) throw EForeignText(text);
  return narrow;
}

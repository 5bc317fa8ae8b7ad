#include "model/Errors.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  int n = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string result;
  if (n > 0) {
    std::vector<char> buffer(static_cast<size_t>(n) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    result.assign(buffer.data(), static_cast<size_t>(n));
  }
  va_end(args);
  return result;
}

std::string IntToStr(int64_t value) { return std::to_string(value); }

static int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

int32_t StrToInt(const std::string& text) {
  auto fail = [&]() -> int32_t {
    throw EConvertError(Format("'%s' ist kein gültiger Integerwert", text.c_str()));
  };
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  int base = 10;
  if (i < text.size() && text[i] == '$') {
    base = 16;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i >= text.size()) return fail();
  int64_t value = 0;
  for (; i < text.size(); ++i) {
    int d = base == 16 ? HexDigit(text[i]) : (text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1);
    if (d < 0) return fail();
    value = value * base + d;
    // Hexadecimal literals may use the full 32 bits, as in "$FFFFFFFF" = -1.
    if (value > (base == 16 ? int64_t(0xFFFFFFFF) : int64_t(0x80000000))) return fail();
  }
  if (base == 16) {
    // The pattern is negated in 32 bits, so "-$80000000" is INT32_MIN again;
    // negating it as int32_t would overflow.
    uint32_t bits = static_cast<uint32_t>(value);
    if (negative) bits = 0u - bits;
    return bits <= 0x7FFFFFFFu ? static_cast<int32_t>(bits) : static_cast<int32_t>(bits - 0x80000000u) + INT32_MIN;
  }
  if (negative) return static_cast<int32_t>(-value);
  if (value > 0x7FFFFFFF) return fail();
  return static_cast<int32_t>(value);
}

void RaiseListIndexError(int64_t index) {
  throw EListError(Format("Listenindex überschreitet das Maximum (%lld)", static_cast<long long>(index)));
}

std::string InOutErrorText(int errorCode) {
  switch (errorCode) {
    case 2: return "Datei nicht gefunden";
    case 3: return "Ungültiger Dateiname";
    case 4: return "Zu viele geöffnete Dateien";
    case 5: return "Dateizugriff verweigert";
    case 38: return "Lesen über Dateiende";
    case 39:
    case 112: return "Festplatte voll";
    default: return Format("E/A-Fehler %d", errorCode);
  }
}

void RaiseInOutError(int errorCode) { throw EInOutError(errorCode, InOutErrorText(errorCode)); }

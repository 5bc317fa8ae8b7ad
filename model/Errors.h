// Exceptions raised by the core, and the conversions that raise them.
// Messages are Windows-1252 German texts, shown by the application's error box.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
  std::string Message() const { return what(); }
};

// A text that should be a number is not one.
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

// A list was indexed beyond its end.
class EListError : public Exception {
 public:
  using Exception::Exception;
};

// A file could not be opened, read or written. ErrorCode is the system error
// number (Windows numbering, also on other systems).
class EInOutError : public Exception {
 public:
  EInOutError(int errorCode, const std::string& message)
      : Exception(message), ErrorCode(errorCode) {}
  int ErrorCode;
};

// A project file that passed the signature check but breaks the layout in a
// way the reader cannot continue from.
class EProjectFileError : public Exception {
 public:
  using Exception::Exception;
};

// printf-style formatting into a std::string.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

std::string IntToStr(int64_t value);

// Decimal (optionally signed) or hexadecimal ("$1F", "0x1F") 32-bit integer,
// leading blanks allowed; anything else raises EConvertError with
// "'%s' ist kein gültiger Integerwert".
int32_t StrToInt(const std::string& text);

[[noreturn]] void RaiseListIndexError(int64_t index);

// The German standard text for a system error number ("Datei nicht gefunden",
// "E/A-Fehler %d", ...).
std::string InOutErrorText(int errorCode);
[[noreturn]] void RaiseInOutError(int errorCode);

// The Windows side of the one text conversion: Windows-1252 strings in and
// out of the ...W functions. Windows' wchar_t is the UTF-16 unit.
#pragma once

#include <windows.h>

#include <string>

#include "model/Wide.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 units");

inline std::wstring W(const std::string& text) {
  const std::u16string wide = WidenText(text);
  return std::wstring(wide.begin(), wide.end());
}
inline std::wstring W(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

inline std::u16string U16(const wchar_t* text, size_t length) {
  return std::u16string(reinterpret_cast<const char16_t*>(text), length);
}
inline std::u16string U16(const std::wstring& text) { return U16(text.data(), text.size()); }
inline std::u16string U16(const wchar_t* text) { return text ? U16(text, wcslen(text)) : std::u16string(); }

// A text from Windows in Windows-1252, or EForeignText.
inline std::string Narrow(const std::wstring& text) { return NarrowOrRefuse(U16(text)); }
inline std::string Narrow(const wchar_t* text) { return NarrowOrRefuse(U16(text)); }
inline std::string Narrow(const wchar_t* text, size_t length) { return NarrowOrRefuse(U16(text, length)); }
// The same, false instead of the exception.
inline bool TryNarrow(const std::wstring& text, std::string& out) { return NarrowText(U16(text), out); }

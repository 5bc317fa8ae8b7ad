#include "model/Text.h"

std::string::size_type AccessKeyPos(const std::string& caption) {
  for (std::string::size_type i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] == '&') {
      ++i;  // "&&" is a literal ampersand
      continue;
    }
    return i + 1;
  }
  return std::string::npos;
}

char AccessKeyOf(const std::string& caption) {
  std::string::size_type pos = AccessKeyPos(caption);
  return pos == std::string::npos ? '\0' : caption[pos];
}

unsigned char UpperChar(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 32);
  // š œ ž sit 16 above their capitals; Ÿ is far from ÿ.
  if (c == 0x9A || c == 0x9C || c == 0x9E) return static_cast<unsigned char>(c - 16);
  if (c == 0xFF) return 0x9F;
  return c;
}

std::string UpperText(std::string text) {
  for (char& c : text) c = static_cast<char>(UpperChar(static_cast<unsigned char>(c)));
  return text;
}

bool SameKey(char a, char b) {
  return UpperChar(static_cast<unsigned char>(a)) == UpperChar(static_cast<unsigned char>(b));
}

bool HasExtension(const std::string& path, const char* upperExtension) {
  size_t dot = path.find_last_of(".\\/:");
  if (dot == std::string::npos || path[dot] != '.') return false;
  return UpperText(path.substr(dot)) == upperExtension;
}

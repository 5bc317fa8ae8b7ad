#include "model/Codec.h"

#include "model/Errors.h"

namespace {

const char Quote = '"';

// Bytes are compared unsigned: Windows-1252 letters above 127 are ordinary
// characters, not control characters.
bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= 32; }

bool NeedsQuotes(const std::string& field, char delimiter) {
  for (char c : field)
    if (IsBlankOrControl(c) || c == Quote || c == delimiter) return true;
  return false;
}

}  // namespace

std::string JoinDelimited(const TStrings& fields, char delimiter) {
  if (fields.size() == 1 && fields[0].empty()) return "\"\"";
  std::string result;
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) result += delimiter;
    AppendDelimitedField(result, fields[i], delimiter);
  }
  return result;
}

void AppendDelimitedField(std::string& result, const std::string& field, char delimiter) {
  if (!NeedsQuotes(field, delimiter)) {
    result += field;
    return;
  }
  result += Quote;
  for (char c : field) {
    if (c == Quote) result += Quote;
    result += c;
  }
  result += Quote;
}

TStrings SplitDelimited(const std::string& text, char delimiter) {
  TStrings fields;
  const size_t n = text.size();
  size_t i = 0;
  auto skipBlanks = [&] {
    while (i < n && IsBlankOrControl(text[i])) ++i;
  };
  skipBlanks();
  while (i < n) {
    std::string field;
    if (text[i] == Quote) {
      ++i;
      while (i < n) {
        if (text[i] == Quote) {
          if (i + 1 < n && text[i + 1] == Quote) {
            field += Quote;
            i += 2;
            continue;
          }
          ++i;  // closing quote
          break;
        }
        size_t start = i;
        while (i < n && text[i] != Quote) ++i;
        field.append(text, start, i - start);
      }
    } else {
      size_t start = i;
      while (i < n && !IsBlankOrControl(text[i]) && text[i] != delimiter) ++i;
      field.assign(text, start, i - start);
    }
    fields.push_back(std::move(field));
    skipBlanks();
    if (i < n && text[i] == delimiter) {
      if (i == n - 1) fields.emplace_back();
      ++i;
      skipBlanks();
    }
  }
  return fields;
}

const std::string& FieldAt(const TStrings& fields, int index) {
  if (index < 0 || static_cast<size_t>(index) >= fields.size()) RaiseListIndexError(index);
  return fields[static_cast<size_t>(index)];
}

#include "controls/BalloonLayout.h"

namespace {
void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsBreakChar(char c) { return IsBlank(c) || c == '-'; }

// Appends one line (no line breaks inside) wrapped to width.
void WrapLine(const std::string& line, int width, std::string& out) {
  size_t start = 0;
  const size_t n = line.size();
  const size_t w = static_cast<size_t>(width < 1 ? 1 : width);
  bool first = true;
  while (true) {
    if (!first)
      while (start < n && IsBlank(line[start])) ++start;
    if (n - start <= w) {
      if (first || start < n) {
        if (!first) out += "\r\n";
        out.append(line, start, n - start);
      }
      return;
    }
    // The longest piece that fits: a blank at column w + 1 still ends a full
    // line, a hyphen must itself fit.
    size_t end = std::string::npos;  // one past the piece's last character
    for (size_t i = start + w; i > start; --i) {
      char c = line[i];
      if (IsBlank(c)) {
        end = i;
        break;
      }
      if (c == '-' && i - start + 1 <= w) {
        end = i + 1;
        break;
      }
    }
    if (end == std::string::npos) {
      // No break within the line: the word runs on to its first break.
      size_t i = start + w;
      while (i < n && !IsBreakChar(line[i])) ++i;
      end = i < n && line[i] == '-' ? i + 1 : i;
    }
    while (end > start && IsBlank(line[end - 1])) --end;
    if (!first) out += "\r\n";
    out.append(line, start, end - start);
    first = false;
    start = end;
    if (start >= n) return;
  }
}
}  // namespace

std::string ExpandHelpText(const std::string& stored) {
  std::string text = stored;
  ReplaceAll(text, "%nl", "\r\n");
  ReplaceAll(text, "%bs", "\\");
  ReplaceAll(text, "%qm", "\"");
  return text;
}

std::string WrapHelpText(const std::string& text, int width) {
  std::string out;
  size_t start = 0;
  while (true) {
    size_t lineEnd = text.find("\r\n", start);
    WrapLine(text.substr(start, lineEnd == std::string::npos ? std::string::npos : lineEnd - start), width, out);
    if (lineEnd == std::string::npos) return out;
    out += "\r\n";
    start = lineEnd + 2;
  }
}

TAnchor HelpBalloonAnchor(int controlWidth, int controlHeight) { return {controlWidth / 2, controlHeight - 8}; }

TAnchor ValidationBalloonAnchor(int, int controlHeight) { return {16, controlHeight - 8}; }

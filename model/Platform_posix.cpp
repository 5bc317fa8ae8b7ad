// The platform services on POSIX systems, for the native build of the core's
// tests: stdio files, a Windows-1252 aware case-insensitive collation, and
// message boxes written to standard error.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

#include "model/Errors.h"
#include "model/Platform.h"
#include "model/Text.h"


namespace {

int WindowsErrorCode(int error) {
  switch (error) {
    case ENOENT: return 2;
    case ENOTDIR: return 3;
    case EMFILE: return 4;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: return 5;
    case ENOSPC: return 112;
    default: return error;
  }
}

[[noreturn]] void RaiseErrno() { RaiseInOutError(WindowsErrorCode(errno)); }

class TPosixInputFile : public IInputFile {
 public:
  explicit TPosixInputFile(FILE* f) : f_(f) {}
  ~TPosixInputFile() override { std::fclose(f_); }
  size_t Read(char* buffer, size_t size) override {
    size_t n = std::fread(buffer, 1, size, f_);
    if (n == 0 && std::ferror(f_)) RaiseErrno();
    return n;
  }

 private:
  FILE* f_;
};

class TPosixFiles : public IFileSystem {
 public:
  std::unique_ptr<IInputFile> OpenRead(const std::string& fileName) override {
    FILE* f = std::fopen(fileName.c_str(), "rb");
    if (!f) RaiseErrno();
    return std::make_unique<TPosixInputFile>(f);
  }

  void WriteFileSafely(const std::string& fileName, const std::string& content) override {
    std::string temp = fileName + ".tmpXXXXXX";
    int fd = mkstemp(&temp[0]);
    if (fd < 0) RaiseErrno();
    const char* p = content.data();
    size_t left = content.size();
    while (left > 0) {
      ssize_t n = write(fd, p, left);
      if (n < 0) {
        int e = errno;
        close(fd);
        unlink(temp.c_str());
        errno = e;
        RaiseErrno();
      }
      p += n;
      left -= static_cast<size_t>(n);
    }
    if (fsync(fd) != 0 || close(fd) != 0 || std::rename(temp.c_str(), fileName.c_str()) != 0) {
      int e = errno;
      unlink(temp.c_str());
      errno = e;
      RaiseErrno();
    }
  }
};

// Primary key: Windows-1252 letters folded to their unaccented upper case,
// so "Äpfel" sorts with "Apfel" and before "Birne"; ties by bytes.
unsigned char FoldChar(unsigned char c) {
  static const char* const from = "\xC0\xC1\xC2\xC3\xC4\xC5\xC7\xC8\xC9\xCA\xCB\xCC\xCD\xCE\xCF\xD1\xD2\xD3\xD4\xD5\xD6\xD9\xDA\xDB\xDC\xDD";
  static const char* const to = "AAAAAACEEEEIIIINOOOOOUUUUY";
  c = UpperChar(c);
  const char* hit = std::strchr(from, c);
  return hit && c ? static_cast<unsigned char>(to[hit - from]) : c;
}

class TPosixCollation : public ICollation {
 public:
  int CompareText(const std::string& a, const std::string& b) override {
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
      int d = FoldChar(a[i]) - FoldChar(b[i]);
      if (d != 0) return d;
    }
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    return a.compare(b);
  }
};

class TConsoleMessageBoxes : public IMessageBoxes {
 public:
  int Show(const std::string& text, const std::string& caption, unsigned flags) override {
    std::fprintf(stderr, "[%s] %s\n", caption.c_str(), text.c_str());
    return (flags & 0xF) == mbYesNo || (flags & 0xF) == mbYesNoCancel ? idYes : idOK;
  }
};

}  // namespace

void UseNativePlatform() {
  static TPosixFiles files;
  static TPosixCollation collation;
  static TConsoleMessageBoxes boxes;
  Platform.Files = &files;
  Platform.Collation = &collation;
  Platform.MessageBoxes = &boxes;
}

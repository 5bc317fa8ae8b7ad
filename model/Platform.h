// The small interfaces through which the portable core reaches the platform.
// The Windows layer implements them with the Win32 API; tests implement them
// with fakes that record what the core asked for.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

// Message box flags and results, numerically the Win32 ones.
enum : unsigned {
  mbOK = 0x0,
  mbOKCancel = 0x1,
  mbYesNoCancel = 0x3,
  mbYesNo = 0x4,
  mbIconError = 0x10,
  mbIconQuestion = 0x20,
  mbIconWarning = 0x30,
  mbIconInformation = 0x40,
};
enum : int { idOK = 1, idCancel = 2, idYes = 6, idNo = 7 };

class IMessageBoxes {
 public:
  virtual ~IMessageBoxes() = default;
  // Shows a modal message box owned by the application; returns the idXxx
  // of the button pressed.
  virtual int Show(const std::string& text, const std::string& caption, unsigned flags) = 0;
};

// Ordering of texts by the user's locale, without regard to case.
class ICollation {
 public:
  virtual ~ICollation() = default;
  virtual int CompareText(const std::string& a, const std::string& b) = 0;
};

class IInputFile {
 public:
  virtual ~IInputFile() = default;
  // Reads up to size bytes; 0 means end of file. Raises EInOutError.
  virtual size_t Read(char* buffer, size_t size) = 0;
};

class IFileSystem {
 public:
  virtual ~IFileSystem() = default;
  // Raises EInOutError when the file cannot be opened for reading.
  virtual std::unique_ptr<IInputFile> OpenRead(const std::string& fileName) = 0;
  // Replaces the file's whole content so that a failure at any point leaves
  // the previous file untouched. Raises EInOutError.
  virtual void WriteFileSafely(const std::string& fileName, const std::string& content) = 0;
};

struct TPlatformServices {
  IFileSystem* Files = nullptr;
  ICollation* Collation = nullptr;
  IMessageBoxes* MessageBoxes = nullptr;
};

// Filled at program start (UseNativePlatform) or by tests.
extern TPlatformServices Platform;

// Installs the real implementations of the running system; defined by the
// platform layer (Windows, or the POSIX one used by native tests).
void UseNativePlatform();

// The standard file dialogs as objects that a window keeps between uses, so
// that each opens with the file chosen last time.
#pragma once

#include <windows.h>

#include <string>

class TFileDialog {
 public:
  // Filter in the "Beschreibung (*.ext)|*.ext" form, pairs separated by "|".
  std::string Filter;
  std::string DefaultExt;  // without the dot; added to a name typed without one
  DWORD Options = 0;       // OFN_ flags
  std::string FileName;    // the chosen file; the proposal of the next showing

  // Shows the dialog owned by owner; true when the user chose a file.
  bool Execute(HWND owner);

 protected:
  explicit TFileDialog(bool save) : save_(save) {}

 private:
  bool save_;
};

class TOpenDialog : public TFileDialog {
 public:
  TOpenDialog() : TFileDialog(false) {}
};

class TSaveDialog : public TFileDialog {
 public:
  TSaveDialog() : TFileDialog(true) {}
};

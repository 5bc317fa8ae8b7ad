// TForm2, the modal dialog "Befehlszeile" in which one command line of the
// group editor's working list is created or edited: the line's kind, the
// fields of that kind, and on "&OK" the row (and a question's branch rows)
// written into the working list.
#pragma once

#include <string>

#include "framework/Form.h"

// The kind of the row when the dialog was opened, -1 for a new line.
extern int EditedLineKind;

class TForm2 : public TForm {
 public:
  TForm2();
  void Create(HWND owner);

  // The job: -1 a new line, else the row of the working list to edit.
  int Tag = -1;

  void ComboBox_KindChange(TControl& sender);
  void Button_SearchClick(TControl& sender);
  void Button_OKClick(TControl& sender);
  void Button_CancelClick(TControl& sender);

 protected:
  void FormCreate() override;
  void FormShow() override;
  void FormClose(TCloseAction& action) override;
  void FormKeyDown(WORD& key) override;

 private:
  // The page of the kind; a message or question also gets its preset type
  // unless it was loaded.
  void ShowKindPage(bool presetMessageType);
  void LoadRow(int row);
  std::string RowParam(int kind);
};

extern TForm2* Form2;

// Made once, after the main window (and before it is first needed).
TForm2& CommandLineDialog();
void FreeCommandLineDialog();

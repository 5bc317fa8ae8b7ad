// TForm2, the modal dialog "Befehlszeile" in which one command line of the
// group editor's working list is created or edited: the line's kind and the
// fields of that kind. "&OK" gives the line back; the editor places it (and
// a question's branch rows).
#pragma once

#include <string>
#include <vector>

#include "config/CommandLines.h"
#include "controls/Balloons.h"
#include "framework/Form.h"
#include "model/Project.h"

class TForm2 : public TForm {
 public:
  explicit TForm2(TBalloons& balloons);
  void Create(HWND owner);

  // Edits line (a new one when isNew), offering these groups to call.
  // True when "&OK" gave the line its new kind and parameters.
  bool Execute(TExecLine& line, bool isNew, const std::vector<std::string>& groupNames);
  // The job without the modal showing: what "&OK" will write to.
  void Prepare(TExecLine& line, bool isNew, const std::vector<std::string>& groupNames);
  // The kind of the line when the dialog was opened, -1 for a new line.
  int EditedLineKind() const { return editedLineKind_; }

  void ComboBox_KindChange(TControl& sender);
  void Button_SearchClick(TControl& sender);
  void Button_SearchFolderClick(TControl& sender);
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
  void LoadLine(const TExecLine& line);
  std::string RowParam(int kind);
  // The field a failed check points its balloon at.
  TControl& CheckedField(TLineCheck check);

  TBalloons& balloons_;
  TExecLine* line_ = nullptr;
  bool isNew_ = true;
  std::vector<std::string> groupNames_;
  int editedLineKind_ = -1;
  // The command of a line run exactly (a dropped file or link): it stays so
  // while its text is not changed.
  std::string exactRun_;
  // The position of the dialog at its last move.
  int lastX_ = 0, lastY_ = 0;

  TBound<TComboBox> kind_;
  TBound<TNotebook> notebook_;
  TBound<TEdit> run_;
  TBound<TCheckBox> wait_, elevated_;
  TBound<TEdit> folder_;
  TBound<TComboBox> window_;
  TBound<TEdit> text_, title_;
  TBound<TComboBox> messageType_;
  TBound<TCheckBox> cancelButton_;
  TBound<TComboBox> groups_;
};

#include "config/CheckForm.h"


TCheckForm::TCheckForm() : TForm("TCheckForm") {
  Caption = "Projekt prüfen";
  Style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
  ClientWidth = 561;
  ClientHeight = 311;
  FontName = "Arial";
  FontHeight = 11;
  Position = poOwnerFormCenter;
}

void TCheckForm::Create(HWND owner) {
  TForm::Create(
      {
          {Kind<TListView>, "ListView_Findings", nullptr, 8, 8, 545, 217, 0, "", coTabStop, {},
           {Columns({{"Gruppe", 140}, {"Zeile", 45}, {"Problem", 336}}), WindowStyles(LVS_NOSORTHEADER),
            On(evDblClick, this, &TCheckForm::ListView_FindingsDblClick),
            On(evChange, this, &TCheckForm::ListView_FindingsChange), Bind(list_)}},
          // The chosen finding's whole text, which a long file name makes too
          // wide for its column, on up to three lines.
          {Kind<TMemo>, "Memo_Finding", nullptr, 8, 230, 545, 44, 0, "", 0, {}, {Bind(problem_)}},
          {Kind<TLabel>, "Label_FindingsHint", nullptr, 8, 284, 0, 0, 0,
           "Doppelklicken Sie auf einen Eintrag, um die Stelle im Editor zu zeigen.", coAutoSize},
          {Kind<TButton>, "Button_Recheck", nullptr, 368, 279, 97, 25, 0, "&Erneut prüfen", coTabStop, {},
           {On(evClick, this, &TCheckForm::Button_RecheckClick)}},
          {Kind<TButton>, "Button_CloseCheck", nullptr, 472, 279, 81, 25, 0, "Schließen", coTabStop | coCancel, {},
           {On(evClick, this, &TCheckForm::Button_CloseClick)}},
      },
      owner);
}

void TCheckForm::ShowFindings(std::vector<TFinding> findings) {
  findings_ = std::move(findings);
  list_->Clear();
  if (findings_.empty()) list_->InsertRow(-1, {"", "", NoFindingsText});
  for (const TFinding& f : findings_) list_->InsertRow(-1, FindingCells(f));
  if (!findings_.empty()) list_->SetSelected(0);
  ListView_FindingsChange(*list_);
}

void TCheckForm::ListView_FindingsChange(TControl&) {
  const int row = list_->Selected();
  const bool shown = row >= 0 && static_cast<size_t>(row) < findings_.size();
  problem_->SetText(shown ? findings_[static_cast<size_t>(row)].Problem : std::string());
}

void TCheckForm::ListView_FindingsDblClick(TControl&) {
  const int row = list_->Selected();
  if (row < 0 || static_cast<size_t>(row) >= findings_.size() || !FindingChosen) return;
  FindingChosen(findings_[static_cast<size_t>(row)]);
}

void TCheckForm::Button_RecheckClick(TControl&) {
  if (Check) ShowFindings(Check());
}

void TCheckForm::Button_CloseClick(TControl&) { Close(); }

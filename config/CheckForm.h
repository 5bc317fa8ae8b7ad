// TCheckForm, the window "Projekt prüfen": the findings of the project check
// in a list (Gruppe | Zeile | Problem), the chosen one's whole text below it.
// A double click on a finding shows its place in the editor page: the group
// with its line, or the menu entry. The window stays open beside the editor
// while the user mends the project; "Erneut prüfen" checks again.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "config/ProjectCheck.h"
#include "framework/Form.h"

class TCheckForm : public TForm {
 public:
  TCheckForm();
  void Create(HWND owner);

  // Fills the list with these findings; none shows "Keine Probleme gefunden".
  void ShowFindings(std::vector<TFinding> findings);
  const std::vector<TFinding>& Findings() const { return findings_; }

  void ListView_FindingsDblClick(TControl& sender);
  void ListView_FindingsChange(TControl& sender);
  void Button_RecheckClick(TControl& sender);
  void Button_CloseClick(TControl& sender);

  // The check "Erneut prüfen" runs, and where a chosen finding is shown.
  std::function<std::vector<TFinding>()> Check;
  std::function<void(const TFinding&)> FindingChosen;

 private:
  std::vector<TFinding> findings_;
  TBound<TListView> list_;
  TBound<TMemo> problem_;
};


// The command-line group editor's window side: the editor page's group
// list, name field, list of rows and buttons as the group editor drives
// them.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "config/GroupEditorPresenter.h"
#include "framework/Form.h"

class TGroupListView : public IGroupEditorView {
 public:
  explicit TGroupListView(TForm& form) : form_(form) {}
  // What follows a changed group table besides the group list.
  std::function<void()> TableChanged;

  void ShowGroupItems(const std::vector<std::string>& items) override;
  void SelectGroupItem(int item) override;
  void ShowName(const std::string& name) override;
  void ShowRows(const std::vector<TLineRow>& rows) override;
  void InsertRows(int at, const std::vector<TLineRow>& rows) override;
  void DeleteRows(int at, int count) override;
  void ChangeRow(int row, const TLineRow& shown) override;
  void SelectRow(int row) override;
  void SetEnabled(TGroupButton button, bool enabled) override;
  void GroupTableChanged() override;
  void FocusGroupList() override;
  void FocusRows() override;

 private:
  TListView& Rows();
  TForm& form_;
};

// The icons beside the editor page's menu entries and command lines: the
// popup's icons, from the same per-user cache, looked up on the same worker.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <map>
#include <string>

#include "framework/Form.h"
#include "launcher/MenuIcons_win.h"

class TEditorIcons {
 public:
  // arrived: an icon came from the worker; what shows it is drawn again.
  TEditorIcons(TForm& form, std::function<void()> arrived);
  ~TEditorIcons();
  TEditorIcons(const TEditorIcons&) = delete;
  TEditorIcons& operator=(const TEditorIcons&) = delete;
  HIMAGELIST Images() const { return images_; }
  // The image of the file's icon: 0, an empty one, for "" and for a file
  // without an icon, and while the icon is looked up.
  int ImageOf(const std::string& target);

 private:
  void Add(const std::string& target, const TIconPixels& icon);
  HIMAGELIST images_;
  TIconLoader loader_;
  std::map<std::string, int> known_;
  std::function<void()> arrived_;
};

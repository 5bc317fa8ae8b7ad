#include "config/EditorIcons_win.h"

namespace {
const UINT WM_EDITORICON = WM_APP + 2;
}  // namespace

TEditorIcons::TEditorIcons(TForm& form, std::function<void()> arrived)
    : images_(ImageList_Create(SmallIconSize(), SmallIconSize(), ILC_COLOR32 | ILC_MASK, 16, 16)),
      loader_(form.Handle, WM_EDITORICON),
      arrived_(std::move(arrived)) {
  // Image 0: nodes and rows without an icon.
  Add("", TIconPixels::Transparent(SmallIconSize()));
  // The message carries nothing, whoever posted it: the results are the
  // loader's.
  form.OnMessage(WM_EDITORICON, [this](TMessage&) {
    std::vector<TIconResult> results = loader_.TakeResults();
    for (const TIconResult& result : results) {
      if (result.Found)
        Add(result.Path, result.Icon);
      else
        known_[result.Path] = 0;
    }
    if (!results.empty() && arrived_) arrived_();
  });
  // The window is long-lived: lookups start as soon as they are asked for.
  loader_.Start();
}

TEditorIcons::~TEditorIcons() { ImageList_Destroy(images_); }

void TEditorIcons::Add(const std::string& target, const TIconPixels& icon) {
  HICON handle = IconOfPixels(icon);
  known_[target] = handle ? ImageList_AddIcon(images_, handle) : 0;
  if (handle) DestroyIcon(handle);
}

int TEditorIcons::ImageOf(const std::string& target) {
  auto known = known_.find(target);
  if (known != known_.end()) return known->second;
  TIconPixels icon;
  switch (loader_.Quick(target, icon)) {
    case TIconStore::iaIcon:
      Add(target, icon);
      break;
    case TIconStore::iaNone:
      known_[target] = 0;
      break;
    case TIconStore::iaLater:
      // Asked once: the answer comes as a message, which draws it.
      known_[target] = 0;
      loader_.Request(target);
      break;
  }
  return known_[target];
}

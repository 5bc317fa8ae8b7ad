#include "model/FolderReader.h"

#include "model/Text.h"

bool IsShownItem(const TFolderItem& item) {
  return !item.Hidden && !item.System && UpperText(item.Name) != "DESKTOP.INI";
}

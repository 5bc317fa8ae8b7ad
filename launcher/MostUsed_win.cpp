#include "launcher/MostUsed_win.h"

#include <windows.h>

#include <memory>
#include <set>

#include "launcher/MenuIcons.h"
#include "model/Files_win.h"
#include "model/Platform.h"
#include "model/Project.h"
#include "model/Wide_win.h"

namespace {

// The head that holds the setting is read alone: a project without the
// setting pays for no more.
const size_t HeadSize = 4096;

// Up to limit bytes of the file; full: nothing was left. A missing or
// unreadable file is empty.
std::string ReadUpTo(const std::string& fileName, size_t limit, bool& full) {
  std::string bytes;
  full = false;
  try {
    std::unique_ptr<IInputFile> file = Platform.Files->OpenRead(fileName);
    char buffer[4096];
    while (bytes.size() <= limit) {
      const size_t n = file->Read(buffer, sizeof buffer);
      if (n == 0) {
        full = true;
        break;
      }
      bytes.append(buffer, n);
    }
  } catch (...) {
    return "";
  }
  if (bytes.size() > limit) bytes.resize(limit);
  return bytes;
}

// The choices of the file; settingOnly: the head's setting alone. A file
// too large to be one of ours is none.
TChoices ReadChoices(const std::string& file, const std::string& path, bool settingOnly) {
  TChoices choices;
  bool full = false;
  std::string text = ReadUpTo(file, HeadSize, full);
  if (!ParseChoices(text, path, choices, true) || !choices.First || settingOnly) return choices;
  if (!full) text = ReadUpTo(file, MaxChoicesFileSize, full);
  if (!full || !ParseChoices(text, path, choices)) choices = TChoices();
  return choices;
}

void WriteChoices(const std::string& file, const std::string& path, const TChoices& choices) {
  for (size_t slash = file.find('\\', 3); slash != std::string::npos; slash = file.find('\\', slash + 1))
    CreateDirectoryW(W(file.substr(0, slash)).c_str(), nullptr);
  Platform.Files->WriteFileSafely(file, FormatChoices(choices, path));
}

}  // namespace

bool ChoicesFileOf(const std::string& projectFileName, std::string& projectPath, std::string& choicesFile) {
  if (projectFileName.empty()) return false;
  wchar_t full[MAX_PATH] = L"";
  const DWORD length = GetFullPathNameW(W(projectFileName).c_str(), MAX_PATH, full, nullptr);
  if (length == 0 || length >= MAX_PATH) return false;
  // A link may name the project in its short (8.3) spelling, the editor in
  // its long one: both count in the file of the long one.
  wchar_t longPath[MAX_PATH] = L"";
  const DWORD longLength = GetLongPathNameW(full, longPath, MAX_PATH);
  if (!TryNarrow(longLength > 0 && longLength < MAX_PATH ? longPath : full, projectPath)) return false;
  const std::wstring folder = LocalAppDataFolderW();
  std::string narrow;
  if (folder.empty() || !TryNarrow(folder, narrow)) return false;
  choicesFile = narrow + "\\VQ\\" + ProgramRegistryKey + "\\Gewählt\\" + ChoicesFileName(projectPath);
  return true;
}

int64_t ChoiceTimeNow() {
  FILETIME now = {};
  GetSystemTimeAsFileTime(&now);
  const int64_t ticks = static_cast<int64_t>(static_cast<uint64_t>(now.dwHighDateTime) << 32 | now.dwLowDateTime);
  return (ticks - 116444736000000000LL) / 10000000;
}

bool MostUsedWanted(const std::string& projectFileName) {
  std::string path, file;
  return ChoicesFileOf(projectFileName, path, file) && ReadChoices(file, path, true).First;
}

void SetMostUsedWanted(const std::string& projectFileName, bool wanted) {
  std::string path, file;
  if (!ChoicesFileOf(projectFileName, path, file)) return;
  // Switched off, the file keeps its choices for the next time it is on.
  bool full = false;
  TChoices choices;
  if (!ParseChoices(ReadUpTo(file, MaxChoicesFileSize, full), path, choices) || !full) choices = TChoices();
  choices.First = wanted;
  WriteChoices(file, path, choices);
}

TMostUsed::TMostUsed(const TProject& project) : project_(project) {
  try {
    if (!ChoicesFileOf(project.FileName(), path_, file_)) return;
    choices_ = ReadChoices(file_, path_, false);
    on_ = choices_.First;
  } catch (...) {
    on_ = false;
  }
}

void TMostUsed::Prepend(TPopupMenuModel& menu) {
  if (!on_) return;
  try {
    keys_ = ChoiceKeys(menu, project_.ExecGroups());
    top_ = PrependMostUsed(menu, MostUsedItems(keys_, choices_, ChoiceTimeNow()));
  } catch (...) {
    top_ = TTopSection();
  }
}

void TMostUsed::Chosen(int item) {
  if (!on_) return;
  try {
    if (keys_.empty()) keys_ = ChoiceKeys(BuildPopupMenu(project_.MenuItems()), project_.ExecGroups());
    const size_t original = static_cast<size_t>(top_.Original(item));
    if (original >= keys_.size() || !keys_[original].Valid()) return;
    // The file keeps only entries the project still has.
    std::set<std::string> present;
    for (const TChoiceKey& key : keys_)
      if (key.Valid()) present.insert(key.Group + '\t' + key.Place);
    TChoices kept;
    kept.First = true;
    for (TEntryChoices& entry : choices_.Entries)
      if (present.count(entry.Group + '\t' + entry.Place)) kept.Entries.push_back(std::move(entry));
    choices_ = std::move(kept);
    choices_.Add(keys_[original].Group, keys_[original].Place, ChoiceTimeNow());
    WriteChoices(file_, path_, choices_);
  } catch (...) {
    // Not shown: the group runs all the same.
  }
}

// Fuzzes the reader of a project's choices ("Häufig Gewähltes zuerst"): any
// text must load or be refused, never crash; what loads must write back to
// a text that loads the same, within the file's bounds, and rank without
// fail over a small menu.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "launcher/MostUsed.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

const char* const Project = "C:\\P.TRV";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The head comes with the input's first byte odd, so that the fuzzer gets
  // past it to the entries.
  std::string text(reinterpret_cast<const char*>(data), size);
  if (size > 0 && (data[0] & 1)) text = std::string("Tarvo Gewählt 1\r\nProjekt=") + Project + "\r\nZuerst=1\r\n" + text.substr(1);
  TChoices choices;
  if (!ParseChoices(text, Project, choices)) {
    Require(!choices.First && choices.Entries.empty());
    return 0;
  }
  Require(choices.Entries.size() <= MaxChoiceEntries);
  for (const TEntryChoices& entry : choices.Entries) Require(entry.Times.size() <= MaxChoiceTimes);
  const std::string written = FormatChoices(choices, Project);
  TChoices again;
  Require(ParseChoices(written, Project, again));
  Require(FormatChoices(again, Project) == written);
  const std::vector<TExecGroup> groups = {{"A", {}}, {"B", {}}};
  const TPopupMenuModel menu = BuildPopupMenu({{"A", 1, 0}, {"M", 0, 0}, {"B", 2, 1}, {"-", 1, 0}});
  const std::vector<int> top = MostUsedItems(ChoiceKeys(menu, groups), choices, 1800000000);
  Require(top.size() <= MostUsedCount);
  return 0;
}

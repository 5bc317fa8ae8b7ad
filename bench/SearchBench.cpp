// Type to find on a menu of 10,000 entries: the search made once as the
// window opens, then each keystroke's update (the whole list searched
// again), median and worst of several rounds of typing; the target is a
// frame, 16 ms.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/Stats.h"
#include "launcher/PopupMenu.h"
#include "launcher/Search.h"

namespace {

double Ms(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace

int main() {
  const char* const words[] = {"Übersicht", "Programm", "Straße", "Bericht", "Müller", "Crème", "Werkzeug", "Daten"};
  std::vector<TTRVMenuItem> entries;
  int level = 0;
  for (int i = 0; i < 10000; ++i) {
    TTRVMenuItem entry;
    entry.Text = i % 50 == 49 ? "-"
                              : std::string(words[i % 8]) + " " + words[(i / 8) % 8] + " Nr. " + std::to_string(i);
    entry.Assignment = 1 + i % 40;
    level = i % 9 == 1 ? level + 1 : (i % 13 == 0 ? 0 : level);
    if (i == 0) level = 0;
    entry.Level = level;
    entries.push_back(entry);
  }
  TPopupMenuModel menu = BuildPopupMenu(entries);
  TidyPopupMenu(menu);
  std::vector<double> opens;
  for (int round = 0; round < 5; ++round) {
    auto start = std::chrono::steady_clock::now();
    TMenuSearch search(menu);
    opens.push_back(Ms(start));
  }
  const TMenuSearch search(menu);
  // Typed letter by letter: a query that matches many at first, few at last.
  const std::vector<std::string> queries = {"bericht muller nr. 97", "strasse", "uebersicht", "nr. 9999"};
  std::vector<double> keys;
  size_t found = 0;
  for (int round = 0; round < 5; ++round)
    for (const std::string& query : queries)
      for (size_t n = 1; n <= query.size(); ++n) {
        auto start = std::chrono::steady_clock::now();
        found += search.Find(query.substr(0, n)).size();
        keys.push_back(Ms(start));
      }
  std::printf("menu of %zu entries, %zu of them to find: search made: %.3f ms (median of 5)\n", entries.size(), search.Entries().size(), Median(opens));
  std::printf("keystroke's update: median %.3f ms, worst %.3f ms over %zu keystrokes (target 16 ms; %zu found)\n",
              Median(keys), *std::max_element(keys.begin(), keys.end()), keys.size(), found);
  return 0;
}

// LoadProject and SaveProject on a large project (100,000 command lines in
// 2,000 groups, 20,000 menu entries of mixed depth), each against the least
// any program must do with the same file: read its bytes and split them into
// lines, or write the same bytes (plainly, and flushed and replacing the
// file as a save does). Medians and best of several alternating rounds; the
// text a save writes is also timed alone. And the heap's peak during a load
// against the file's size. Built natively and for Windows (run under Wine).
#include <malloc.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include "bench/HeapUse.h"
#include "bench/Stats.h"
#include "model/Codec.h"
#include "model/Errors.h"
#include "model/Platform.h"
#include "model/Project.h"
#include "model/ProjectFile.h"

namespace {

// ---------------------------------------------------------------------------
// The project: deterministic, with the line kinds, encodings and menu shapes
// that the configuration window produces.

uint32_t Seed = 12345;
uint32_t Random(uint32_t n) {
  Seed = Seed * 1103515245u + 12345u;
  return (Seed >> 8) % n;
}

const int GroupCount = 2000, LineCount = 100000, MenuCount = 20000;

const char* const Words[] = {"Editor", "Sicherung", "Neustart?", "Bürozubehör", "Spiele", "Werkzeuge",
                             "Drucken",  "Netzwerk",  "Grafik",    "Übersetzung", "Löschen", "Größe ändern"};
const size_t WordCount = sizeof Words / sizeof Words[0];

std::string GroupName(int i) { return std::string(Words[i % WordCount]) + " " + std::to_string(i); }

TExecLine CommandLine(int i) {
  std::string command;
  switch (Random(3)) {
    case 0: command = "notepad.exe"; break;
    case 1: command = "C:\\Programme\\Werkzeug " + std::to_string(i % 97) + "\\werkzeug.exe"; break;
    default:
      command = "\"C:\\Programme\\Büro\\bericht.exe\" /datei \"D:\\Daten\\Bericht " + std::to_string(i) + ".txt\"";
  }
  return {lkCommand, JoinDelimited({command, Random(2) ? "1" : "0"}, ';')};
}

TExecLine MessageLine(int kind, int i) {
  const bool question = kind == lkQuestion;
  const std::string text =
      std::string(question ? "Wirklich neu starten?" : "Die Sicherung von Laufwerk D: ist fertig.") + " (" +
      std::to_string(i) + ")";
  return {kind, JoinDelimited({text, question ? "Frage" : "Hinweis", std::to_string(Random(4)), Random(2) ? "1" : "0"},
                              ';')};
}

TExecLine SimpleLine(int i) {
  uint32_t r = Random(100);
  if (r < 55) return CommandLine(i);
  if (r < 70) return MessageLine(lkMessage, i);
  if (r < 75) return {lkEndRun, ""};
  if (r < 87) return {lkNoAction, NoActionParams};
  return {lkCallGroup, "\"" + GroupName(static_cast<int>(Random(GroupCount))) + "\""};
}

// n lines: single lines with questions among them, each with both branches.
std::vector<TExecLine> GroupLines(int n) {
  std::vector<TExecLine> lines;
  while (static_cast<int>(lines.size()) < n) {
    const int left = n - static_cast<int>(lines.size()), i = static_cast<int>(lines.size());
    if (left >= 7 && Random(100) < 12) {
      lines.push_back(MessageLine(lkQuestion, i));
      lines.push_back({lkBranchMarker, MarkerYes});
      lines.push_back(CommandLine(i));
      lines.push_back(SimpleLine(i));
      lines.push_back({lkBranchMarker, MarkerNo});
      lines.push_back({lkNoAction, NoActionParams});
      lines.push_back({lkBranchMarker, MarkerEnd});
    } else {
      lines.push_back(SimpleLine(i));
    }
  }
  return lines;
}

std::string MenuText(int i) {
  const std::string n = std::to_string(i);
  switch (Random(8)) {
    case 0: return "Neu starten " + n;
    case 1: return "&Bearbeiten " + n;
    case 2: return "Sag \"Hallo\" " + n;
    case 3: return "Übersicht_" + n;
    case 4: return "Größe ändern " + n;
    default: return "Eintrag" + n;
  }
}

// The project the timings load into and save from.
TProject Project;

TProject MakeProject() {
  std::vector<int> sizes(GroupCount);
  int total = 0;
  for (int& size : sizes) total += size = 10 + static_cast<int>(Random(81));
  for (int i = 0; total != LineCount; ++i) {
    int& size = sizes[i % GroupCount];
    if (total < LineCount) {
      ++size;
      ++total;
    } else if (size > 1) {
      --size;
      --total;
    }
  }
  std::vector<TExecGroup> groups;
  for (int i = 0; i < GroupCount; ++i) groups.push_back({GroupName(i), GroupLines(sizes[i])});

  // Levels: deeper by one, the same, or back up; an entry with children
  // opens a sub-menu and has no group, as do separators.
  std::vector<TTRVMenuItem> menu(MenuCount);
  int level = 0;
  for (int i = 0; i < MenuCount; ++i) {
    uint32_t r = Random(100);
    if (i == 0) level = 0;
    else if (r < 30 && level < 5) ++level;
    else if (r >= 75) level = static_cast<int>(Random(level + 1));
    menu[i].Level = level;
  }
  for (int i = 0; i < MenuCount; ++i) {
    TTRVMenuItem& item = menu[i];
    const bool opens = i + 1 < MenuCount && menu[i + 1].Level > item.Level;
    if (!opens && Random(100) < 6) {
      item.Text = "-";
    } else {
      item.Text = MenuText(i);
      if (!opens && Random(10) > 0) item.Assignment = 1 + static_cast<int>(Random(GroupCount));
    }
  }
  return TProject(std::move(groups), std::move(menu), true);
}

bool SameTables(const std::vector<TExecGroup>& groups, const std::vector<TTRVMenuItem>& menu) {
  const std::vector<TExecGroup>& loadedGroups = Project.ExecGroups();
  const std::vector<TTRVMenuItem>& loadedMenu = Project.MenuItems();
  if (groups.size() != loadedGroups.size() || menu.size() != loadedMenu.size()) return false;
  for (size_t g = 0; g < groups.size(); ++g) {
    if (groups[g].Name != loadedGroups[g].Name || groups[g].Lines.size() != loadedGroups[g].Lines.size()) return false;
    for (size_t l = 0; l < groups[g].Lines.size(); ++l)
      if (groups[g].Lines[l].Kind != loadedGroups[g].Lines[l].Kind ||
          groups[g].Lines[l].Params != loadedGroups[g].Lines[l].Params)
        return false;
  }
  for (size_t i = 0; i < menu.size(); ++i)
    if (menu[i].Text != loadedMenu[i].Text || menu[i].Level != loadedMenu[i].Level ||
        menu[i].Assignment != loadedMenu[i].Assignment)
      return false;
  return true;
}

// ---------------------------------------------------------------------------
// The yardsticks.

// Reads the file through the platform's files and splits it at CR LF.
std::vector<std::string> ReadLines(const std::string& fileName) {
  std::string bytes;
  {
    std::unique_ptr<IInputFile> file = Platform.Files->OpenRead(fileName);
    char buffer[65536];
    while (size_t n = file->Read(buffer, sizeof buffer)) bytes.append(buffer, n);
  }
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find("\r\n", start);
    if (end == std::string::npos) end = bytes.size();
    lines.emplace_back(bytes, start, end - start);
    start = end + 2;
  }
  return lines;
}

// Writes the bytes as they are: open, write, close.
void WritePlainly(const std::string& fileName, const std::string& bytes) {
  FILE* f = std::fopen(fileName.c_str(), "wb");
  if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fclose(f) != 0) {
    std::printf("cannot write %s\n", fileName.c_str());
    std::exit(1);
  }
}

// The tables' memory freed (not only emptied), so that every load builds
// them from nothing.
void ReleaseTables() { Project = TProject(); }

double Milliseconds(const std::function<void()>& work) {
  auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

void Report(const char* name, const std::vector<double>& t, const char* baseName, const std::vector<double>& b) {
  std::printf("%-15s %5.1f ms median, %5.1f ms best; %-31s %5.1f ms median, %5.1f ms best; "
              "ratio %.2f (medians), %.2f (best runs)\n",
              name, Median(t), Best(t), baseName, Median(b), Best(b), Median(t) / Median(b), Best(t) / Best(b));
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 15;
  UseNativePlatform();
  const std::filesystem::path folder = std::filesystem::temp_directory_path();
  const std::string projectFile = (folder / "tarvo-bench-large.trv").string();
  const std::string copy = (folder / "tarvo-bench-large-copy.trv").string();

  Project = MakeProject();
  const std::vector<TExecGroup> groups = Project.ExecGroups();
  const std::vector<TTRVMenuItem> menu = Project.MenuItems();
  const std::string text = ProjectFileText(Project, true);
  WritePlainly(projectFile, text);
  ReleaseTables();

  // Once, before the timings: the load gives back the tables it was saved
  // from, and what it holds at most.
  THeapUse loadHeap = MeasureHeap([&] { LoadProject(Project, projectFile, false); });
  const size_t tables = HeapLiveBytes();
  if (!SameTables(groups, menu) || ProjectFileText(Project, true) != text) {
    std::printf("the loaded project differs from the saved one\n");
    return 1;
  }
  ReleaseTables();
  const size_t tablesHeld = tables - HeapLiveBytes();
  std::vector<std::string> lines;
  THeapUse splitHeap = MeasureHeap([&] { lines = ReadLines(projectFile); });
  const size_t lineCount = lines.size();
  std::vector<std::string>().swap(lines);

  std::printf("project: %d groups, %d command lines, %d menu entries; file of %zu lines, %.2f MB\n", GroupCount,
              LineCount, MenuCount, lineCount, text.size() / 1e6);

  std::vector<double> load, split, save, plain, safe, format;
  for (int round = 0; round < rounds; ++round) {
    ReleaseTables();
    load.push_back(Milliseconds([&] { LoadProject(Project, projectFile, false); }));
    save.push_back(Milliseconds([&] { SaveProject(Project, copy); }));
    format.push_back(Milliseconds([&] { (void)ProjectFileText(Project, true); }));
    plain.push_back(Milliseconds([&] { WritePlainly(copy, text); }));
    safe.push_back(Milliseconds([&] { Platform.Files->WriteFileSafely(copy, text); }));
    split.push_back(Milliseconds([&] { lines = ReadLines(projectFile); }));
    std::vector<std::string>().swap(lines);
  }
  std::printf("medians and best of %d rounds:\n", rounds);
  Report("LoadProject", load, "reading, splitting into lines", split);
  Report("SaveProject", save, "writing the bytes", plain);
  Report("SaveProject", save, "writing them flushed, replacing", safe);
  Report("ProjectFileText", format, "writing the bytes", plain);
  std::printf("heap during a load: %.2f MB at its peak (%.2fx the file), %.2f MB kept in the tables (%.2fx), "
              "%zu blocks allocated\n",
              loadHeap.Peak / 1e6, double(loadHeap.Peak) / double(text.size()), tablesHeld / 1e6,
              double(tablesHeld) / double(text.size()), loadHeap.Allocations);
  std::printf("heap while reading and splitting: %.2f MB at its peak (%.2fx the file), %zu blocks\n",
              splitHeap.Peak / 1e6, double(splitHeap.Peak) / double(text.size()), splitHeap.Allocations);
  std::remove(projectFile.c_str());
  std::remove(copy.c_str());
  return 0;
}

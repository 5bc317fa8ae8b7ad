// Timing whole programs under Windows (Wine): a program under test against a
// minimal one started the same way, in turn, so that both see the same load
// of the machine; shared by the startup benchmarks.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// The folder of this program, with its trailing backslash: the programs
// under test are built beside it.
std::string ExeFolder();

// A point in time and the milliseconds since one.
LARGE_INTEGER Now();
double MillisecondsSince(const LARGE_INTEGER& start);

// Starts a command line; false when it cannot be started.
bool StartProcess(const std::string& command, PROCESS_INFORMATION& process);
// Waits for the process's end and closes its handles; false and a line on
// the output when it did not end in time or ended with another code than 0.
bool EndProcess(PROCESS_INFORMATION& process, const std::string& command, DWORD timeout = 30000);

// A visible top-level window of the class that the process shows, or null.
HWND ShownWindowOf(DWORD processId, const char* windowClass);

// Milliseconds from the start of the command to its exit.
double RunToExit(const std::string& command);

struct TComparison {
  std::vector<double> Program, Minimal;
};

// One unmeasured round of each first (files in the cache), then the rounds,
// the program and the minimal program in turn.
TComparison CompareInTurn(const std::function<double()>& program, const std::function<double()>& minimal,
                          int rounds);

// "<name>: median, best; minimal program: median, best; ratio (medians),
// (best runs), (median of the pairs)"; against names what the program is
// set against.
void PrintComparison(const char* name, const TComparison& times, const char* against = "minimal program");

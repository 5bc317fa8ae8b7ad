// The update component's rules that need no platform: when a reminder is
// due and which date the next one gets, whether a release is newer, the news
// shown to the user, and the install script made from the archive's
// template. Dates are day counts since 30 December 1899, as the registry's
// 8-byte "Update" value holds them.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

using TDateTime = double;

// Days between reminders: "UpdateInterval" when it is there and above 0,
// else 28.
int ReminderInterval(bool present, int32_t value);
// The "Update" value written at the wizard's end: today + interval - 1.
TDateTime NextReminderDate(TDateTime today, bool intervalPresent, int32_t interval);
// The date after which the next reminder is due when "Update" is missing:
// yesterday, so that a first start reminds at once.
TDateTime DefaultReminderDate(TDateTime today);

// Whether a start shows the wizard: always for Ctrl+U and update-only
// starts, else only after the reminder date and without "NoUpdate".
struct TReminderState {
  TDateTime Today = 0;          // midnight
  TDateTime NextReminder = 0;   // "Update", or DefaultReminderDate
  bool NoUpdate = false;
  bool OnlyUpdate = false;
  bool Manual = false;
};
bool ShowsWizard(const TReminderState& state);

// The release this program file was installed from by the wizard, as the
// first start after the installation recorded it: the release's "Date" and
// the program file's date then. Release 0: none known.
struct TInstalledRelease {
  TDateTime Release = 0;
  TDateTime ProgramDate = 0;
};
// A release dated releaseDate (a whole day) is newer than the program file
// dated programDate (with its time of day) when it is not earlier: so a
// release of the file's own day is not newer, one of the next day is. But
// a program file that the wizard installed from a known release takes only
// releases dated after that one: the maker's date and the user's clock may
// stand a day apart, and a release dated ahead would else be offered again
// to the program it installed. A program date that could not be read (0)
// never makes a release newer.
bool IsNewerRelease(TDateTime releaseDate, TDateTime programDate, const TInstalledRelease& installed = {});

// A date as the maker writes it in the update information, day.month.year
// ("09.12.2026"; day and month of one or two digits, the year of four),
// whatever the user's locale: a release must never count as today because
// the user's date format cannot read it. False for anything else, and for
// days no calendar has.
bool ParseReleaseDate(const std::string& text, TDateTime& date);

// A calendar day and time of day as days since 30.12.1899, the fraction the
// time: the arithmetic of the date values the registry and the update
// information keep, so that reading today's date or a file's loads no
// automation library at the window's start. The fields must be valid.
TDateTime EncodeDateTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);

// The update information file's section of one program.
class IUpdateInfo {
 public:
  virtual ~IUpdateInfo() = default;
  // Whether the section holds at least one key.
  virtual bool HasSection(const std::string& section) = 0;
  // The key's value (cut at 2047 characters), or fallback.
  virtual std::string Read(const std::string& section, const std::string& key, const std::string& fallback) = 0;
};
// "Updates.ini" read once, as the platform's INI reader reads it: sections
// and keys without regard to case, the first of a name counts, blanks
// around names and values and a pair of quotes around a whole value go,
// lines beginning with ';' are comments, values cut at 2047 characters.
// What was verified is what every later step reads: the file in the
// temporary folder, which the user's other processes may change, is never
// read again.
class TUpdateInfoText : public IUpdateInfo {
 public:
  explicit TUpdateInfoText(const std::string& text);
  bool HasSection(const std::string& section) override;
  std::string Read(const std::string& section, const std::string& key, const std::string& fallback) override;

 private:
  struct TSection {
    std::string Name;
    std::vector<std::pair<std::string, std::string>> Values;
  };
  const TSection* Find(const std::string& section) const;
  std::vector<TSection> sections_;
};
// True when the file was fetched (info given), the program's section is
// there, and its "Date" is a newer release than the program file's date. A
// missing or unreadable date is no update: an old release must not pass for
// a new one.
bool IsUpdateAvailable(IUpdateInfo* info, const std::string& programName, TDateTime programDate,
                       const TInstalledRelease& installed = {});
extern const char* const NoNewsEntry;  // "keine Angaben gefunden"
// The news list: the comma-text entries of "News" whose date (before the
// first colon) is not on an earlier day than the program's, each as "- "
// and the entry and CR LF. An entry without a colon or without a readable
// date is shown as it stands.
std::string BuildNewsList(const std::string& news, TDateTime programDate);

// The install script made from the lines of the archive's "Update.bat".
// The folders never stand in the script's commands: a head sets them as
// variables, each value quoted as a whole, and every "%s" of the template
// becomes a reference to one of them, which the template must use inside
// double quotes. So no character of a folder's name (& | < > ( ) ^ !) can
// act as one of the command processor's; a name with '%' or '"' is refused.
// The head:
//   @setlocal DisableDelayedExpansion
//   @set "TRV_PROGRAM_DIR=P"   the program's folder, with its backslash
//   @set "TRV_PROGRAM=..."     the program file
//   @set "TRV_UPDATE_DIR=T"    the new folder, with its backslash
//   @set "TRV_PID=..."         the running program's process id
// then the template: groups of four lines (a line left as it stands, two
// lines formatted with P, one with T and P), then a tail from the first
// group line that begins with a blank, formatted with T; then the restart
// (started, so that the script goes on) and the removal of the new folder
// with the script. Malformed templates give Ok false and a German message,
// and no lines.
struct TInstallScript {
  bool Ok = false;
  std::string Error;
  std::vector<std::string> Lines;
};
// The values the head sets, in the code page of batch files.
struct TScriptValues {
  std::string ProgramFolder;  // with its trailing backslash
  std::string ProgramPath;
  std::string UpdateFolder;   // with its trailing backslash
  std::string ReportPath;     // the report the script ends with
  unsigned long ProcessId = 0;
  bool Restart = false;
};
// The script runs hidden after the program has ended, so it tells how it
// went in the report, which the next start shows: the program writes the
// release's date and the update folder there when it prepares the script,
// the script adds "Result=" and the template's exit code (a code the
// template does not know of, or none, counts as failed), or the program
// "Result=" irNotStarted when it could not start the script. A failure
// leaves the program's files as they were, but for irRestoreFailed, whose
// old files wait in the update folder's "TRV-Sicherung".
enum TInstallOutcome {
  irInstalled = 0,
  irWaitGivenUp = 1,    // the program did not end within two minutes
  irRestoreFailed = 2,  // a file could not be replaced, nor the replaced ones put back
  irNoFolder = 3,       // the program's or the update's folder could not be entered
  irBackupFailed = 4,   // the installed files could not be copied aside
  irTakenBack = 5,      // a file could not be replaced: the replaced ones went back
  irNotStarted = 100,
  irPending = -1,       // no result yet: the script has not ended
  irUnknown = -2,
};
struct TInstallReport {
  TInstallOutcome Outcome = irPending;
  std::string Release;  // the release's "Date"
  std::string Folder;   // the update folder
};
std::string InstallReportText(const std::string& release, const std::string& folder);
// ageSeconds: since the report was last written. A script that has not
// ended within the hour never will (the machine went down, the script was
// ended): that is told as an unknown end.
TInstallReport ReadInstallReport(const std::string& text, double ageSeconds = 0);
// What the next start tells the user: German, with the reason and, where
// the old files wait, their folder.
std::string InstallReportMessage(const TInstallReport& report);
// Folders the install script cannot name: refused before anything is
// downloaded, with what the user can do. Empty when all three will do. The
// paths as Windows gives them: one with a character Windows-1252 lacks is
// refused with that character named. inBatchCodePage: whether a path can be
// written in the code page of batch files (the platform knows).
std::u16string InstallPathProblem(const std::u16string& tempDir, const std::u16string& programPath,
                                  const std::u16string& reportPath,
                                  const std::function<bool(const std::u16string&)>& inBatchCodePage);
// While the program runs, this file in the new folder exists and cannot be
// deleted: the template waits for the program's end by trying to.
extern const char* const InstallLockName;  // "TRV.lock"
// The longest text the code page conversion takes.
const size_t MaxOemTextLength = 259;
TInstallScript MakeInstallScript(const std::vector<std::string>& templateLines, const TScriptValues& values);

// One template line formatted: "%s" takes the next argument, "%%" gives one
// per cent sign, arguments left over are ignored. False for more "%s" than
// arguments, for any other per-cent sequence, and for a "%s" that does not
// stand inside double quotes.
bool FormatTemplateLine(const std::string& line, const std::vector<std::string>& arguments, std::string& out);

// An update archive's entries, checked before anything is extracted.
struct TArchiveEntry {
  std::string Name;   // as stored, with its folders
  uint64_t Size = 0;  // uncompressed
};
const uint64_t MaxEntrySize = 50ull << 20;     // 50 MB
const uint64_t MaxArchiveSize = 200ull << 20;  // 200 MB unpacked
// The name an entry is extracted under: its final name component. Empty for
// a folder entry ("Neu/"), which is not extracted.
std::string EntryFileName(const std::string& entryName);
// Whether a final name component may name a file in the extraction folder:
// not empty, no "..", no drive letter, colon or other character a file name
// cannot hold, no device name (CON, NUL, COM1 ..., and COM¹ to LPT³, which
// Windows takes for devices too), no trailing blank or dot.
bool IsSafeEntryFileName(const std::string& fileName);
// All entries together: every file entry safe, no two alike without regard
// to case, none above MaxEntrySize and all within MaxArchiveSize. Ok gives
// the file names to extract, in the archive's order (folder entries left
// out); else a German message.
struct TArchiveCheck {
  bool Ok = false;
  std::string Error;
  std::vector<std::string> FileNames;
};
TArchiveCheck CheckArchiveEntries(const std::vector<TArchiveEntry>& entries);

// The wizard's progress display: a byte count in the largest unit up to
// terabytes ("Byte", "KB", "MB", "GB", "TB"; with longNames "Kilobyte" ...),
// with one decimal at most, trailing zeros dropped, decimalSeparator the
// locale's: 1536 gives "1,5 KB".
std::string FormatByteSize(double count, bool longNames, char decimalSeparator);
// The time a transfer still needs, in days, when received of size bytes
// came in over elapsed days: (size / received - 1) * elapsed. False while
// nothing has come in, which allows no estimate.
bool RemainingTime(int64_t size, int64_t received, double elapsed, double& remaining);
// The percentage of a transfer, rounded to a whole number: "33 %".
std::string PercentText(int64_t size, int64_t received);

// What a download may take: the update information is a few lines, the
// archive no more than its entries may unpack to, and a server that drips
// must not hold the check for ever.
const int64_t MaxUpdateInfoSize = 64 * 1024;
const int64_t MaxArchiveDownloadSize = static_cast<int64_t>(MaxArchiveSize) + (16 << 20);
const unsigned CheckTimeLimitMs = 60000;
// The archive may take its time, but neither for ever nor a byte now and
// then: every span of DownloadPaceSpanMs brings DownloadPaceMinBytes (about
// 1 KB a second), and the whole download ends within the hour.
const unsigned DownloadPaceSpanMs = 30000;
const int64_t DownloadPaceMinBytes = 32 * 1024;
const unsigned DownloadTimeLimitMs = 60 * 60 * 1000;

// Whether a transfer keeps its pace: at least minBytes in every span of
// spanMs, counted from the first call. A read time-out never strikes on a
// server that sends a byte every few seconds; this does. Ticks may wrap.
class TTransferPace {
 public:
  TTransferPace(unsigned spanMs, int64_t minBytes) : spanMs_(spanMs), minBytes_(minBytes) {}
  // received bytes so far at the tick now; false once a span ended short.
  bool Keeps(uint32_t now, int64_t received);

 private:
  unsigned spanMs_;
  int64_t minBytes_;
  bool started_ = false;
  uint32_t spanStart_ = 0;
  int64_t spanReceived_ = 0;
};

// Who removes a transfer's part file once the window and the transfer's
// worker part: the worker, when the window gave the transfer up before it
// finished; the window, when the worker finished first. Either order, one of
// them, never neither.
class TPartFileHandoff {
 public:
  // The worker has finished; true: the window has given up, so the worker
  // removes the file.
  bool WorkerDone();
  // The window gives up; true: the worker has finished already, so the
  // window removes the file.
  bool Abandon();

 private:
  std::mutex mutex_;
  bool done_ = false;
  bool abandoned_ = false;
};

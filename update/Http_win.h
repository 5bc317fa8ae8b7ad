// Fetching a URL into a file over HTTP with the platform's WinINet, with a
// read time-out and progress reports.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "model/Errors.h"

// A transfer that failed: no connection, a time-out, a status other than
// 200, a body cut short. The message is German and says which.
class EHttpError : public Exception {
 public:
  using Exception::Exception;
};

// The user agent: this program and its version.
extern const char* const HttpUserAgent;

struct THttpTransfer {
  unsigned ReadTimeoutMs = 10000;
  // The most the body may have: a larger announced size is refused before
  // anything is read, a body without one is cut when it passes it. 0: none.
  int64_t MaxSize = 0;
  // The whole transfer's time, however slowly the server drips. 0: none.
  unsigned TimeLimitMs = 0;
  // The least a span of PaceSpanMs must bring (TTransferPace). 0: no rule.
  unsigned PaceSpanMs = 0;
  int64_t PaceMinBytes = 0;
  // The body's size as the server announces it, -1 when it does not.
  std::function<void(int64_t size)> OnBegin;
  // Bytes received so far, after each block.
  std::function<void(int64_t received)> OnWork;
  // Asked after each block: true ends the transfer.
  std::function<bool()> Cancelled;
};

// Fetches url into fileName (replaced). True when the whole body arrived,
// false when the transfer was cancelled. Raises EHttpError. After a failure
// or a cancel no part of the file is left.
bool HttpGetFile(const std::string& url, const std::string& fileName, const THttpTransfer& transfer);

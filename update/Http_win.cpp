#include "update/Http_win.h"

#include <windows.h>
#include <wininet.h>

#include <vector>

#include "model/Wide_win.h"
#include "update/UpdateRules.h"

const char* const HttpUserAgent = "Tarvo/1.0";

namespace {

// Closes a WinINet handle however the scope is left.
class TInternetHandle {
 public:
  explicit TInternetHandle(HINTERNET handle) : handle_(handle) {}
  ~TInternetHandle() {
    if (handle_) InternetCloseHandle(handle_);
  }
  TInternetHandle(const TInternetHandle&) = delete;
  TInternetHandle& operator=(const TInternetHandle&) = delete;
  HINTERNET Get() const { return handle_; }

 private:
  HINTERNET handle_;
};

[[noreturn]] void RaiseTransferError(const std::string& url) {
  const DWORD error = GetLastError();
  if (error == ERROR_INTERNET_TIMEOUT)
    throw EHttpError("Der Server " + url + " antwortet nicht (Zeitüberschreitung).");
  throw EHttpError(Format("Die Verbindung zum Server ist fehlgeschlagen (Fehler %lu):\r\n", error) + url);
}

// The file being written; removed unless the transfer completes.
class TPartialFile {
 public:
  explicit TPartialFile(const std::string& name) : name_(W(name)) {
    handle_ = CreateFileW(name_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle_ == INVALID_HANDLE_VALUE) RaiseInOutError(static_cast<int>(GetLastError()));
  }
  ~TPartialFile() {
    CloseHandle(handle_);
    if (!complete_) DeleteFileW(name_.c_str());
  }
  TPartialFile(const TPartialFile&) = delete;
  TPartialFile& operator=(const TPartialFile&) = delete;
  void Write(const char* data, DWORD size) {
    DWORD written = 0;
    if (!WriteFile(handle_, data, size, &written, nullptr) || written != size)
      RaiseInOutError(static_cast<int>(GetLastError()));
  }
  void Complete() { complete_ = true; }

 private:
  std::wstring name_;
  HANDLE handle_;
  bool complete_ = false;
};

}  // namespace

bool HttpGetFile(const std::string& url, const std::string& fileName, const THttpTransfer& transfer) {
  const DWORD started = GetTickCount();
  auto tooLarge = [&] { return EHttpError("Die Datei des Servers ist zu groß:\r\n" + url); };
  TInternetHandle session(InternetOpenW(W(HttpUserAgent).c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (!session.Get()) RaiseTransferError(url);
  DWORD timeout = transfer.ReadTimeoutMs;
  for (DWORD option : {INTERNET_OPTION_RECEIVE_TIMEOUT, INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT})
    InternetSetOptionW(session.Get(), option, &timeout, sizeof timeout);
  TInternetHandle request(InternetOpenUrlW(session.Get(), W(url).c_str(), nullptr, 0,
                                           INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                                               INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_NO_UI,
                                           0));
  if (!request.Get()) RaiseTransferError(url);
  // The body's reads wait on the request's own time-out.
  InternetSetOptionW(request.Get(), INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof timeout);
  DWORD status = 0, size = sizeof status;
  if (!HttpQueryInfoW(request.Get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr))
    RaiseTransferError(url);
  if (status != 200) throw EHttpError(Format("Der Server meldet den Fehler %lu:\r\n", status) + url);
  DWORD length = 0;
  size = sizeof length;
  const int64_t announced =
      HttpQueryInfoW(request.Get(), HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &length, &size, nullptr)
          ? static_cast<int64_t>(length)
          : -1;
  if (transfer.MaxSize > 0 && announced > transfer.MaxSize) throw tooLarge();
  if (transfer.OnBegin) transfer.OnBegin(announced);

  TPartialFile file(fileName);
  std::vector<char> block(16384);
  int64_t received = 0;
  TTransferPace pace(transfer.PaceSpanMs, transfer.PaceMinBytes);
  auto tooSlow = [&] { return EHttpError("Der Server " + url + " sendet zu langsam (Zeitüberschreitung)."); };
  if (transfer.PaceSpanMs) pace.Keeps(GetTickCount(), 0);
  while (true) {
    // What has come in, not a whole block: a read that waits for a block
    // would outlast any time limit while a server drips.
    DWORD available = 0, read = 0;
    if (!InternetQueryDataAvailable(request.Get(), &available, 0, 0)) RaiseTransferError(url);
    if (available == 0) break;
    if (!InternetReadFile(request.Get(), block.data(),
                          static_cast<DWORD>(available < block.size() ? available : block.size()), &read))
      RaiseTransferError(url);
    if (read == 0) break;
    received += read;
    if (transfer.MaxSize > 0 && received > transfer.MaxSize) throw tooLarge();
    if (transfer.TimeLimitMs && GetTickCount() - started > transfer.TimeLimitMs) throw tooSlow();
    if (transfer.PaceSpanMs && !pace.Keeps(GetTickCount(), received)) throw tooSlow();
    file.Write(block.data(), read);
    if (transfer.OnWork) transfer.OnWork(received);
    if (transfer.Cancelled && transfer.Cancelled()) return false;
  }
  if (announced >= 0 && received < announced)
    throw EHttpError("Die Verbindung zum Server wurde vor dem Ende der Datei unterbrochen:\r\n" + url);
  file.Complete();
  return true;
}

// One GET to the account service on WinINet: InternetOpenA with the agent
// "Norvo Backup" and direct access, InternetOpenUrlA without the cache, one
// read of at most the wanted bytes. WinINet's own time-outs do not cover every
// wait (a server that stalls mid-answer can hold it for minutes), so the
// request runs on a worker thread and the caller stops waiting at the
// deadline, closing the session handle to free the worker.
#include <windows.h>
#include <wininet.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "net/FtpErrors.h"
#include "net/HttpGet.h"
#include "platform/windows/WideText.h"

namespace norvo::net {
namespace {

// What the worker and the caller share; the last one of them frees it.
struct Exchange {
  std::mutex mutex;
  std::condition_variable done_signal;
  bool done = false;
  HINTERNET session = nullptr;
  HttpGetResult result;
};

std::string Failure(const char* step, DWORD code) {
  std::string text = FtpErrorText(code);
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.pop_back();
  return std::string(step) + " failed with error " + std::to_string(code) + (text.empty() ? "" : ": " + text);
}

void SetTimeouts(HINTERNET handle, int seconds) {
  DWORD ms = static_cast<DWORD>(seconds) * 1000;
  for (DWORD option :
       {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT}) {
    InternetSetOptionA(handle, option, &ms, sizeof ms);
  }
}

HttpGetResult Request(HINTERNET session, const std::string& url, const HttpGetOptions& options) {
  HttpGetResult result;
  const DWORD flags = INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_RELOAD | INTERNET_FLAG_PRAGMA_NOCACHE |
                      INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_AUTO_REDIRECT;
  HINTERNET request = InternetOpenUrlA(session, url.c_str(), nullptr, 0, flags, 0);
  if (request == nullptr) {
    result.error = Failure("InternetOpenUrl", GetLastError());
    return result;
  }
  DWORD status = 0;
  DWORD size = sizeof status;
  if (HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr)) {
    result.status = static_cast<long>(status);
  }
  std::string body;
  while (body.size() < options.max_bytes) {
    char buffer[4096];
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(std::min(sizeof buffer, options.max_bytes - body.size()));
    if (!InternetReadFile(request, buffer, want, &got)) {
      result.error = Failure("InternetReadFile", GetLastError());
      InternetCloseHandle(request);
      return result;
    }
    if (got == 0) break;
    body.append(buffer, got);
  }
  InternetCloseHandle(request);
  if (result.status < 200 || result.status > 299) {
    result.error = "HTTP status " + std::to_string(result.status);
    return result;
  }
  result.ok = true;
  result.body = std::move(body);
  return result;
}

}  // namespace

HttpGetResult HttpGet(const std::string& url, const HttpGetOptions& options) {
  HttpGetResult result;
  if (options.max_bytes == 0) return result;
  const int timeout = std::max(1, options.timeout_s);
  auto exchange = std::make_shared<Exchange>();
  exchange->session =
      InternetOpenA(options.user_agent.c_str(), INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  if (exchange->session == nullptr) {
    result.error = Failure("InternetOpen", GetLastError());
    return result;
  }
  SetTimeouts(exchange->session, timeout);
  std::thread worker([exchange, url, options] {
    HttpGetResult outcome = Request(exchange->session, url, options);
    std::lock_guard<std::mutex> lock(exchange->mutex);
    exchange->result = std::move(outcome);
    exchange->done = true;
    exchange->done_signal.notify_all();
  });
  std::unique_lock<std::mutex> lock(exchange->mutex);
  const bool finished =
      exchange->done_signal.wait_for(lock, std::chrono::seconds(timeout), [&] { return exchange->done; });
  if (finished) {
    lock.unlock();
    worker.join();
    InternetCloseHandle(exchange->session);
    return std::move(exchange->result);
  }
  lock.unlock();
  // Closing the session makes the worker's pending call fail; the worker then
  // ends on its own and frees what it shares.
  InternetCloseHandle(exchange->session);
  worker.detach();
  result.error = "the request took longer than " + std::to_string(timeout) + " s";
  return result;
}

}  // namespace norvo::net

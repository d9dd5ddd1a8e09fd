#include <curl/curl.h>

#include <algorithm>
#include <memory>
#include <mutex>

#include "net/HttpGet.h"

namespace norvo::net {
namespace {

struct BodyReader {
  std::string body;
  std::size_t limit = 0;
  bool cut = false;  // we stopped the transfer ourselves after the limit
};

std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* user) {
  auto& reader = *static_cast<BodyReader*>(user);
  const std::size_t length = size * count;
  const std::size_t room = reader.limit - reader.body.size();
  if (length < room) {
    reader.body.append(data, length);
    return length;
  }
  // The read is full: keep what fits and stop (curl ends with CURLE_WRITE_ERROR).
  reader.body.append(data, room);
  reader.cut = true;
  return 0;
}

void InitCurlOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

}  // namespace

HttpGetResult HttpGet(const std::string& url, const HttpGetOptions& options) {
  HttpGetResult result;
  InitCurlOnce();
  std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> handle(curl_easy_init(), curl_easy_cleanup);
  if (!handle) {
    result.error = "cannot start an HTTP request";
    return result;
  }
  CURL* h = handle.get();
  BodyReader reader;
  reader.limit = options.max_bytes;
  if (reader.limit == 0) return result;
  const long timeout = std::max(1, options.timeout_s);
  curl_slist* headers = curl_slist_append(nullptr, "Accept:");  // no header libcurl adds of its own
  curl_easy_setopt(h, CURLOPT_URL, url.c_str());
  curl_easy_setopt(h, CURLOPT_HTTPGET, 1L);
  curl_easy_setopt(h, CURLOPT_USERAGENT, options.user_agent.c_str());
  curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers);
  curl_easy_setopt(h, CURLOPT_PROXY, "");  // direct access, whatever the environment says
  curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, timeout);
  curl_easy_setopt(h, CURLOPT_TIMEOUT, timeout);
  curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(h, CURLOPT_MAXREDIRS, static_cast<long>(std::max(0, options.max_redirects)));
  curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, OnBody);
  curl_easy_setopt(h, CURLOPT_WRITEDATA, &reader);
  const CURLcode code = curl_easy_perform(h);
  curl_slist_free_all(headers);
  curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &result.status);
  if (code != CURLE_OK && !(code == CURLE_WRITE_ERROR && reader.cut)) {
    result.error = curl_easy_strerror(code);
    return result;
  }
  if (result.status < 200 || result.status > 299) {
    result.error = "HTTP status " + std::to_string(result.status);
    return result;
  }
  result.ok = true;
  result.body = std::move(reader.body);
  return result;
}

}  // namespace norvo::net

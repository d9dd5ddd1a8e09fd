#pragma once
// One HTTP GET that reads at most a given number of bytes of the answer, as
// the account service is asked. Every wait has a time-out, so a service that
// hangs or cannot be reached reads as nothing instead of holding the caller.
#include <cstddef>
#include <string>

namespace norvo::net {

struct HttpGetOptions {
  std::size_t max_bytes = 250;  // the read stops after this many bytes
  int timeout_s = 30;           // connect time-out and time-out of the whole request
  std::string user_agent = "Norvo Backup";
  int max_redirects = 10;  // redirects followed, as the system's HTTP stack does
};

struct HttpGetResult {
  bool ok = false;    // a 2xx answer was received (possibly cut at max_bytes)
  long status = 0;    // the HTTP status, 0 when no answer came
  std::string body;   // at most max_bytes of the answer's body; empty unless ok
  std::string error;  // why it failed, empty when ok
};

// Sends the GET directly (never through a proxy, whatever the environment
// says), with no request header but Host and User-Agent, and follows up to
// max_redirects redirects to http or https. Never throws.
HttpGetResult HttpGet(const std::string& url, const HttpGetOptions& options);

}  // namespace norvo::net

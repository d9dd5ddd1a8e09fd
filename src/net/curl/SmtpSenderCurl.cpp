#include <curl/curl.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <memory>
#include <random>

#include "net/SmtpSender.h"

namespace norvo::net {
namespace {

struct Payload {
  std::string text;
  std::size_t sent = 0;
};

std::size_t ReadPayload(char* buffer, std::size_t size, std::size_t count, void* user) {
  auto* payload = static_cast<Payload*>(user);
  std::size_t room = size * count;
  std::size_t n = std::min(room, payload->text.size() - payload->sent);
  // curl's buffer holds bytes, not a C string: no terminator belongs in it.
  // NOLINTNEXTLINE(bugprone-not-null-terminated-result)
  std::memcpy(buffer, payload->text.data() + payload->sent, n);
  payload->sent += n;
  return n;
}

std::string MessageId(const std::string& sender) {
  std::random_device random;
  char id[40];
  // Three numbers of bounded width: the text always fits.
  static_cast<void>(std::snprintf(id, sizeof id, "%lx.%08x%08x",
                                  static_cast<unsigned long>(std::time(nullptr)), random(), random()));
  std::string domain = sender.substr(sender.find('@') + 1);
  return std::string(id) + "@" + domain;
}

// The URL as it may be shown: a "user:password@" part is left out.
std::string WithoutLogin(const std::string& url) {
  const std::size_t scheme = url.find("://");
  const std::size_t hostStart = scheme == std::string::npos ? 0 : scheme + 3;
  const std::size_t at = url.find('@', hostStart);
  const std::size_t pathStart = url.find('/', hostStart);
  if (at == std::string::npos || (pathStart != std::string::npos && at > pathStart)) return url;
  return url.substr(0, hostStart) + url.substr(at + 1);
}

bool Fail(std::string* error, const std::string& why) {
  if (error) *error = why;
  return false;
}

// The message's addresses, checked before anything is sent.
bool CheckAddresses(const MailMessage& message, std::string* error) {
  if (!IsPlainAddress(message.sender_address))
    return Fail(error, "invalid sender address \"" + message.sender_address + "\"");
  if (message.recipients.empty()) return Fail(error, "the mail has no recipient");
  for (const std::string& to : message.recipients) {
    if (!IsPlainAddress(to)) return Fail(error, "invalid recipient address \"" + to + "\"");
  }
  return true;
}

}  // namespace

bool SendMail(const SmtpSettings& smtp, const MailMessage& message, std::string* error) {
  if (!CheckAddresses(message, error)) return false;
  if (smtp.url.empty()) return Fail(error, "no SMTP server configured");
  std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), curl_easy_cleanup);
  if (!curl) return Fail(error, "cannot start libcurl");

  Payload payload{FormatMessage(message, std::time(nullptr), MessageId(message.sender_address))};
  curl_slist* rcpt = nullptr;
  for (const std::string& to : message.recipients) rcpt = curl_slist_append(rcpt, ("<" + to + ">").c_str());
  std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)> rcpt_guard(rcpt, curl_slist_free_all);
  const std::string from = "<" + message.sender_address + ">";
  char curl_error[CURL_ERROR_SIZE] = "";

  CURL* h = curl.get();
  curl_easy_setopt(h, CURLOPT_URL, smtp.url.c_str());
  curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, smtp.connect_timeout_s);
  curl_easy_setopt(h, CURLOPT_TIMEOUT, smtp.timeout_s);
  curl_easy_setopt(h, CURLOPT_ERRORBUFFER, curl_error);
  // Encrypt when the server can; a password never waits for a refusal to go in clear.
  curl_easy_setopt(h, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_TRY));
  if (!smtp.user.empty()) {
    curl_easy_setopt(h, CURLOPT_USERNAME, smtp.user.c_str());
    curl_easy_setopt(h, CURLOPT_PASSWORD, smtp.password.c_str());
  }
  curl_easy_setopt(h, CURLOPT_MAIL_FROM, from.c_str());
  curl_easy_setopt(h, CURLOPT_MAIL_RCPT, rcpt);
  curl_easy_setopt(h, CURLOPT_UPLOAD, 1L);
  curl_easy_setopt(h, CURLOPT_READFUNCTION, ReadPayload);
  curl_easy_setopt(h, CURLOPT_READDATA, &payload);
  curl_easy_setopt(h, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(payload.text.size()));

  CURLcode rc = curl_easy_perform(h);
  if (rc != CURLE_OK) {
    std::string why = curl_error[0] ? curl_error : curl_easy_strerror(rc);
    return Fail(error, "SMTP " + WithoutLogin(smtp.url) + ": " + why);
  }
  return true;
}

}  // namespace norvo::net

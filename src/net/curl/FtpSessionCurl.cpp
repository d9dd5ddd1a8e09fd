// The FTP session on libcurl: one easy handle per session, so the control
// connection stays open between requests.
#include <curl/curl.h>

#include <algorithm>
#include <mutex>
#include <vector>

#include "net/FtpErrors.h"
#include "net/FtpExchangeLog.h"
#include "net/FtpLimits.h"
#include "net/FtpSession.h"
#include "net/FtpText.h"
#include "platform/EndRequest.h"

namespace norvo::net {
namespace {

constexpr long kKeepAliveIdleS = 30;

void GlobalInit() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// Where the control connection's traffic of one request goes: the log, as
// long as the replies stay within their bound.
struct ControlSink {
  FtpExchangeLog* log = nullptr;
  ExchangeBudget* replies = nullptr;
};

int OnDebug(CURL*, curl_infotype type, char* data, size_t size, void* user) {
  auto* sink = static_cast<ControlSink*>(user);
  if (type == CURLINFO_HEADER_OUT) sink->log->CommandSent(std::string_view(data, size));
  if (type == CURLINFO_HEADER_IN && sink->replies->Take(size)) {
    sink->log->ReplyReceived(std::string_view(data, size));
  }
  return 0;
}

unsigned ErrorOfCurl(CURLcode code) {
  switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
      return ftp_error::kNameNotResolved;
    case CURLE_COULDNT_CONNECT:
      return ftp_error::kCannotConnect;
    case CURLE_OPERATION_TIMEDOUT:
      return ftp_error::kTimeout;
    case CURLE_URL_MALFORMAT:
      return ftp_error::kInvalidUrl;
    case CURLE_LOGIN_DENIED:
      return ftp_error::kExtendedError;
    case CURLE_ABORTED_BY_CALLBACK:
      return ftp_error::kOperationCancelled;
    case CURLE_USE_SSL_FAILED:
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CACERT_BADFILE:
      return ftp_error::kSecurityChannelError;
    case CURLE_OUT_OF_MEMORY:
    case CURLE_FAILED_INIT:
      return ftp_error::kInternalError;
    default:
      return ftp_error::kConnectionAborted;
  }
}

// Errors after which the server's last reply says what went wrong.
bool ServerRefused(CURLcode code) {
  switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_CONNECT:
    case CURLE_OPERATION_TIMEDOUT:
    case CURLE_URL_MALFORMAT:
    case CURLE_USE_SSL_FAILED:
    case CURLE_ABORTED_BY_CALLBACK:
    case CURLE_OUT_OF_MEMORY:
    case CURLE_WRITE_ERROR:
    case CURLE_READ_ERROR:
      return false;
    default:
      return true;
  }
}

}  // namespace

struct FtpSession::Impl {
  CURL* curl = nullptr;
  CURLM* multi = nullptr;  // holds the connection between requests
  std::string base_url;    // "ftp://host:port"
  std::string user, password;
  FtpSessionOptions options;
  bool connected = false;
  bool mlst = false;
  std::vector<std::string> features;
  std::string current;
  FtpExchangeLog log;
  ExchangeBudget replies{kMaxReplyBytes, {}};
  ControlSink sink{&log, &replies};
  unsigned last_error = 0;
  unsigned local_error = 0;
  std::string last_response;
  std::string detail;
  bool transfer_started = false;
  std::string refused;
  char curl_error[CURL_ERROR_SIZE] = {};

  // Sets up a request. A timed one (commands, listings) must end within
  // ExchangeTimeLimit; a file transfer only within the time-out of each wait.
  void Prepare(bool timed);
  bool Perform();
  void Fail(unsigned code) { last_error = code; }
  std::string UrlOf(const std::string& path, bool folder);
  bool SendQuoted(const std::vector<std::string>& commands);
  bool CheckReplies(const std::vector<std::string>& commands, std::vector<const FtpExchange*>* replies);
  bool Quote(const std::vector<std::string>& commands, std::vector<const FtpExchange*>* replies) {
    return SendQuoted(commands) && CheckReplies(commands, replies);
  }
  bool CheckTransferName(const std::string& name) {
    if (!CheckName(name)) return false;
    if (name.empty()) Fail(ftp_error::kInvalidParameter);
    return !name.empty();
  }
  bool Simple(const std::string& verb, const std::string& name);
  bool CheckName(const std::string& name);
};

void FtpSession::Impl::Prepare(bool timed) {
  curl_easy_reset(curl);
  log.Clear();
  local_error = 0;
  transfer_started = false;
  refused.clear();
  replies = ExchangeBudget(kMaxReplyBytes,
                           timed ? std::chrono::steady_clock::duration(ExchangeTimeLimit(options.timeout_s))
                                 : std::chrono::steady_clock::duration::zero());
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_PROXY, "");    // direct, whatever ftp_proxy or all_proxy say
  curl_easy_setopt(curl, CURLOPT_VERBOSE, 1L);  // the reply lines come through the debug callback
  curl_easy_setopt(curl, CURLOPT_DEBUGFUNCTION, OnDebug);
  curl_easy_setopt(curl, CURLOPT_DEBUGDATA, &sink);
  curl_error[0] = '\0';
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, curl_error);
  curl_easy_setopt(curl, CURLOPT_USERNAME, user.c_str());
  curl_easy_setopt(curl, CURLOPT_PASSWORD, password.c_str());
  long timeout = options.timeout_s > 0 ? options.timeout_s : 60;
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, timeout);
  curl_easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, timeout);
  curl_easy_setopt(curl, CURLOPT_ACCEPTTIMEOUT_MS, timeout * 1000L);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, timeout);
  // Routers forget a connection that stays silent for long, as the control
  // connection does through a long transfer: keep-alive probes every 30 s
  // (the first after 30 s of silence) keep it in their tables.
  curl_easy_setopt(curl, CURLOPT_TCP_KEEPALIVE, 1L);
  curl_easy_setopt(curl, CURLOPT_TCP_KEEPIDLE, kKeepAliveIdleS);
  curl_easy_setopt(curl, CURLOPT_TCP_KEEPINTVL, kKeepAliveIdleS);
  curl_easy_setopt(curl, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_NOCWD));
  // The receive buffer: with 256 KiB a download takes curl -o's CPU and wall
  // time (bench/ftp/run.sh); 512 KiB took more wall time, curl's own 100 KiB
  // more CPU. Under a cap it is smaller, so the pacing's waits stay short.
  curl_easy_setopt(curl, CURLOPT_BUFFERSIZE,
                   static_cast<long>(ReceiveBlock(options.cap, std::size_t{256} * 1024)));
  curl_easy_setopt(curl, CURLOPT_UPLOAD_BUFFERSIZE, 1024L * 1024L);
  if (!options.passive) curl_easy_setopt(curl, CURLOPT_FTPPORT, "-");
  if (options.tls == settings::FtpTls::Try)
    curl_easy_setopt(curl, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_TRY));
  if (options.tls == settings::FtpTls::Require)
    curl_easy_setopt(curl, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
  // The provider's own certificates; the system's folder of them stays trusted.
  if (!options.ca_file.empty()) curl_easy_setopt(curl, CURLOPT_CAINFO, options.ca_file.c_str());
}

namespace {

// Runs the request on the session's multi handle. The wait for activity is
// capped: libcurl 7.88 can take a passive reply that arrives early without
// starting the data connection until its next wake-up, a second later. A
// request whose replies pass their bounds, or that runs when the program is
// asked to end, is ended there (*stopped gets the error code); taken off the
// multi handle unfinished, its connection is closed without a QUIT, and the
// session's next request connects anew.
CURLcode RunRequest(CURLM* multi, CURL* curl, const ExchangeBudget& replies, unsigned* stopped) {
  constexpr int kMaxWaitMs = 10;
  if (curl_multi_add_handle(multi, curl) != CURLM_OK) return CURLE_FAILED_INIT;
  int running = 1;
  while (running != 0) {
    if (curl_multi_perform(multi, &running) != CURLM_OK) break;
    *stopped = platform::EndRequested() ? ftp_error::kOperationCancelled : replies.Exceeded();
    if (*stopped != 0) break;
    if (running != 0) curl_multi_poll(multi, nullptr, 0, kMaxWaitMs, nullptr);
  }
  CURLcode code = CURLE_FAILED_INIT;
  int left = 0;
  while (CURLMsg* message = curl_multi_info_read(multi, &left)) {
    if (message->msg == CURLMSG_DONE && message->easy_handle == curl) code = message->data.result;
  }
  curl_multi_remove_handle(multi, curl);
  return code;
}

}  // namespace

bool FtpSession::Impl::Perform() {
  unsigned stopped = 0;
  CURLcode code = RunRequest(multi, curl, replies, &stopped);
  if (stopped == 0) stopped = replies.Exceeded();
  // libcurl ends a reply past 300 KB itself, before its lines reach the log.
  if (code == CURLE_RECV_ERROR && std::string_view(curl_error).rfind("Too large response", 0) == 0) {
    stopped = ftp_error::kResponseTooLarge;
  }
  transfer_started = log.SawPreliminary();
  last_response = log.LastReplyText();
  refused = log.RefusedVerb();
  if (code == CURLE_OK && stopped == 0) return true;
  detail = curl_error;
  if (stopped != 0) {
    Fail(stopped);
  } else if (local_error != 0) {
    Fail(local_error);
  } else if ((ServerRefused(code) || (code == CURLE_OPERATION_TIMEDOUT && log.LastReplyCode() == 421)) &&
             log.LastReplyCode() >= 400) {
    // libcurl reports a 421 (too many connections, service closing) as a
    // time-out; it is the server's refusal, and its reply says why.
    Fail(ftp_error::kExtendedError);
  } else {
    Fail(ErrorOfCurl(code));
  }
  return false;
}

std::string FtpSession::Impl::UrlOf(const std::string& path, bool folder) {
  std::string url = base_url + "/";
  if (!path.empty()) {
    char* escaped = curl_easy_escape(curl, path.c_str(), static_cast<int>(path.size()));
    if (escaped != nullptr) url += escaped;
    curl_free(escaped);
    if (folder) url += "/";
  }
  return url;
}

bool FtpSession::Impl::CheckName(const std::string& name) {
  if (!connected) {
    Fail(ftp_error::kInvalidHandle);
    return false;
  }
  if (HasLineBreak(name)) {
    Fail(ftp_error::kInvalidParameter);
    return false;
  }
  return true;
}

// Sends commands one after another on the control connection. Each is sent with
// curl's "*" prefix so that a refusal does not end the connection; the replies
// are checked by CheckReplies instead.
bool FtpSession::Impl::SendQuoted(const std::vector<std::string>& commands) {
  Prepare(true);
  curl_slist* list = nullptr;
  for (const std::string& command : commands) list = curl_slist_append(list, ("*" + command).c_str());
  curl_easy_setopt(curl, CURLOPT_URL, UrlOf("", false).c_str());
  curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
  curl_easy_setopt(curl, CURLOPT_QUOTE, list);
  bool ok = Perform();
  curl_easy_setopt(curl, CURLOPT_QUOTE, nullptr);
  curl_slist_free_all(list);
  return ok;
}

// False at the first command that the server refused, with its reply kept.
bool FtpSession::Impl::CheckReplies(const std::vector<std::string>& commands,
                                    std::vector<const FtpExchange*>* replies) {
  size_t from = 0;
  for (const std::string& command : commands) {
    const FtpExchange* exchange = log.Find(command, &from);
    if (exchange == nullptr || exchange->code == 0 || exchange->code >= 400) {
      const bool refusal = exchange != nullptr && exchange->code >= 400 && exchange->code < 600;
      refused = refusal ? command.substr(0, command.find(' ')) : "";
      last_response.clear();
      if (exchange != nullptr) {
        for (const std::string& line : exchange->reply) last_response += line + "\r\n";
      }
      Fail(exchange != nullptr && exchange->code != 0 ? ftp_error::kExtendedError
                                                      : ftp_error::kConnectionAborted);
      return false;
    }
    if (replies != nullptr) replies->push_back(exchange);
  }
  return true;
}

bool FtpSession::Impl::Simple(const std::string& verb, const std::string& name) {
  if (!CheckName(name)) return false;
  return Quote({verb + " " + ResolveRemotePath(current, name)}, nullptr);
}

FtpSession::FtpSession() : impl_(std::make_unique<Impl>()) {
  GlobalInit();
  impl_->curl = curl_easy_init();
  impl_->multi = curl_multi_init();
}

FtpSession::~FtpSession() {
  Disconnect();
  if (impl_->multi != nullptr) curl_multi_cleanup(impl_->multi);
  if (impl_->curl != nullptr) curl_easy_cleanup(impl_->curl);
}

bool FtpSession::Ready() const { return impl_->curl != nullptr && impl_->multi != nullptr; }

bool FtpSession::Connect(const std::string& server, const std::string& user, const std::string& password,
                         const FtpSessionOptions& options) {
  Impl& s = *impl_;
  Disconnect();
  if (!Ready()) return s.Fail(ftp_error::kInternalError), false;
  std::optional<HostPort> where = SplitHostPort(server);
  if (!where) return s.Fail(ftp_error::kNameNotResolved), false;
  if (HasLineBreak(user) || HasLineBreak(password)) return s.Fail(ftp_error::kInvalidParameter), false;
  s.base_url = "ftp://" + where->host + ":" + std::to_string(where->port);
  s.user = user;
  s.password = password;
  s.options = options;
  // Logging on is the first request; FEAT rides along (a server without it
  // answers 500, which only means no MLST).
  if (!s.SendQuoted({"FEAT"})) return false;
  s.connected = true;
  std::vector<const FtpExchange*> replies;
  s.features.clear();
  if (s.CheckReplies({"FEAT"}, &replies)) s.features = replies.front()->reply;
  s.mlst = FeatOffersMlst(s.features);
  char* entry = nullptr;
  curl_easy_getinfo(s.curl, CURLINFO_FTP_ENTRY_PATH, &entry);
  s.current = entry != nullptr ? entry : "";
  return true;
}

void FtpSession::Disconnect() {
  Impl& s = *impl_;
  if (!s.connected) return;
  s.connected = false;
  // Fresh handles drop the old connection (curl sends QUIT on cleanup).
  if (s.multi != nullptr) curl_multi_cleanup(s.multi);
  if (s.curl != nullptr) curl_easy_cleanup(s.curl);
  s.curl = curl_easy_init();
  s.multi = curl_multi_init();
  s.current.clear();
}

bool FtpSession::Connected() const { return impl_->connected; }

const std::string& FtpSession::CurrentDirectory() const { return impl_->current; }

bool FtpSession::ChangeDirectory(const std::string& folder) {
  Impl& s = *impl_;
  if (!s.CheckName(folder)) return false;
  std::vector<const FtpExchange*> replies;
  std::string target = ResolveRemotePath(s.current, folder);
  if (!s.Quote({"CWD " + target, "PWD"}, &replies)) return false;
  std::optional<std::string> now = ParsePwdReply(replies[1]->reply.back());
  s.current = now ? *now : target;
  return true;
}

bool FtpSession::PrintDirectory(std::string* folder) {
  Impl& s = *impl_;
  if (!s.CheckName(s.current)) return false;
  std::vector<std::string> commands;
  if (!s.current.empty()) commands.push_back("CWD " + s.current);
  commands.push_back("PWD");
  std::vector<const FtpExchange*> replies;
  if (!s.Quote(commands, &replies)) return false;
  std::optional<std::string> now = ParsePwdReply(replies.back()->reply.back());
  if (!now) {
    s.Fail(ftp_error::kExtendedError);
    return false;
  }
  *folder = *now;
  return true;
}

bool FtpSession::MakeDirectory(const std::string& name) { return impl_->Simple("MKD", name); }
bool FtpSession::RemoveDirectory(const std::string& name) { return impl_->Simple("RMD", name); }
bool FtpSession::DeleteFile(const std::string& name) { return impl_->Simple("DELE", name); }

bool FtpSession::RenameFile(const std::string& from, const std::string& to) {
  Impl& s = *impl_;
  if (!s.CheckName(from) || !s.CheckName(to)) return false;
  return s.Quote({"RNFR " + ResolveRemotePath(s.current, from), "RNTO " + ResolveRemotePath(s.current, to)},
                 nullptr);
}

namespace {

size_t OnRead(char* buffer, size_t size, size_t count, void* user) {
  auto* read = static_cast<const FtpReadFn*>(user);
  long long got = (*read)(buffer, size * count);
  if (got < 0) return CURL_READFUNC_ABORT;
  return static_cast<size_t>(got);
}

size_t OnWrite(char* data, size_t size, size_t count, void* user) {
  auto* write = static_cast<const FtpWriteFn*>(user);
  return (*write)(data, size * count) ? size * count : 0;
}

}  // namespace

bool FtpSession::Store(const std::string& remote, bool binary, const FtpReadFn& read, int64_t size,
                       int64_t offset) {
  Impl& s = *impl_;
  if (!s.CheckTransferName(remote)) return false;
  s.Prepare(false);
  curl_easy_setopt(s.curl, CURLOPT_URL, s.UrlOf(ResolveRemotePath(s.current, remote), false).c_str());
  curl_easy_setopt(s.curl, CURLOPT_UPLOAD, 1L);
  curl_easy_setopt(s.curl, CURLOPT_TRANSFERTEXT, binary ? 0L : 1L);
  curl_easy_setopt(s.curl, CURLOPT_READFUNCTION, OnRead);
  curl_easy_setopt(s.curl, CURLOPT_READDATA, &read);
  // libcurl goes on with an upload by APPE; the server holds `offset` bytes.
  if (offset > 0) curl_easy_setopt(s.curl, CURLOPT_APPEND, 1L);
  if (size >= 0) {
    curl_easy_setopt(s.curl, CURLOPT_INFILESIZE_LARGE,
                     static_cast<curl_off_t>(size - std::min(offset, size)));
  }
  return s.Perform();
}

bool FtpSession::Retrieve(const std::string& remote, bool binary, const FtpWriteFn& write, int64_t offset) {
  Impl& s = *impl_;
  if (!s.CheckTransferName(remote)) return false;
  s.Prepare(false);
  curl_easy_setopt(s.curl, CURLOPT_URL, s.UrlOf(ResolveRemotePath(s.current, remote), false).c_str());
  curl_easy_setopt(s.curl, CURLOPT_TRANSFERTEXT, binary ? 0L : 1L);
  if (offset > 0) curl_easy_setopt(s.curl, CURLOPT_RESUME_FROM_LARGE, static_cast<curl_off_t>(offset));
  curl_easy_setopt(s.curl, CURLOPT_WRITEFUNCTION, OnWrite);
  curl_easy_setopt(s.curl, CURLOPT_WRITEDATA, &write);
  return s.Perform();
}

bool FtpSession::List(const std::string& folder, std::string* text, bool* machine) {
  Impl& s = *impl_;
  *machine = false;
  if (!s.CheckName(folder)) return false;
  std::string path = ResolveRemotePath(s.current, folder);
  for (int attempt = 0; attempt < 2; ++attempt) {
    text->clear();
    ExchangeBudget listing(kMaxListingBytes, {});
    FtpWriteFn collect = [text, &listing, &s](const char* data, size_t size) {
      if (!listing.Take(size)) {
        s.local_error = ftp_error::kResponseTooLarge;
        return false;
      }
      text->append(data, size);
      return true;
    };
    s.Prepare(true);
    curl_easy_setopt(s.curl, CURLOPT_URL, s.UrlOf(path, true).c_str());
    curl_easy_setopt(s.curl, CURLOPT_CUSTOMREQUEST, s.mlst ? "MLSD" : "LIST");
    curl_easy_setopt(s.curl, CURLOPT_WRITEFUNCTION, OnWrite);
    curl_easy_setopt(s.curl, CURLOPT_WRITEDATA, &collect);
    *machine = s.mlst;
    if (s.Perform()) return true;
    // A server that offers MLST but refuses MLSD (does not know it, or denies
    // it to this account): fall back to LIST once.
    int code = s.log.LastReplyCode();
    if (!s.mlst || s.transfer_started || code < 400 || code >= 600) return false;
    s.mlst = false;
  }
  return false;
}

const std::vector<std::string>& FtpSession::Features() const { return impl_->features; }
bool FtpSession::OffersRestart() const { return FeatOffers(impl_->features, "REST", "STREAM"); }

bool FtpSession::SendCommand(const std::string& command, std::string* reply) {
  Impl& s = *impl_;
  std::vector<const FtpExchange*> replies;
  if (!s.CheckName(command) || !s.Quote({command}, &replies)) return false;
  *reply = replies.front()->reply.empty() ? "" : replies.front()->reply.back();
  return true;
}

bool FtpSession::TransferStarted() const { return impl_->transfer_started; }
const std::string& FtpSession::RefusedCommand() const { return impl_->refused; }
void FtpSession::SetLocalError(unsigned code) { impl_->local_error = code; }
unsigned FtpSession::LastError() const { return impl_->last_error; }
const std::string& FtpSession::FailureDetail() const { return impl_->detail; }
const std::string& FtpSession::LastResponse() const { return impl_->last_response; }

}  // namespace norvo::net

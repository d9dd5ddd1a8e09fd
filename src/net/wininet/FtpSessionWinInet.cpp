// The FTP session on WinINet: InternetConnectA for the log-on, the Ftp*A
// calls for folders, FtpCommandA for the rename (RNFR and RNTO apart, so that
// the refused one is known), FtpOpenFileA with InternetWriteFile and
// InternetReadFile for transfers in large blocks, FtpFindFirstFileA and
// InternetFindNextFileA for listings. Listings and replies keep the bounds of
// FtpLimits.h, and transfers and listings stop at an end request. Names cross in the ANSI code page, as
// the A calls take them; error codes are WinINet's own, and the server's
// reply comes from InternetGetLastResponseInfoA.
#include <windows.h>
#include <wininet.h>
// windows.h names these for its own calls; below they are the session's members.
#undef DeleteFile
#undef RemoveDirectory

#include <chrono>
#include <cstdio>
#include <vector>

#include "net/FtpErrors.h"
#include "net/FtpLimits.h"
#include "net/FtpSession.h"
#include "net/FtpText.h"
#include "platform/EndRequest.h"
#include "platform/windows/WideText.h"

namespace norvo::net {
namespace {

using platform::FromAnsi;
using platform::ToAnsi;

constexpr std::size_t kTransferBlock = std::size_t{256} * 1024;

// The server's last reply, each line ending in CR LF; empty when there is
// none or it is past kMaxReplyBytes (the error code then says what failed).
std::string LastResponseInfo() {
  DWORD code = 0;
  DWORD length = 0;
  InternetGetLastResponseInfoA(&code, nullptr, &length);
  if (length == 0 || length > kMaxReplyBytes) return {};
  std::string text(length + 1, '\0');
  // The size given is the buffer's, room for the NUL included: given the
  // text's length alone, the last character would be cut off.
  length = static_cast<DWORD>(text.size());
  if (!InternetGetLastResponseInfoA(&code, text.data(), &length)) return {};
  text.resize(std::min<std::size_t>(length, text.find('\0')));
  text = FromAnsi(text);
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.pop_back();
  return text.empty() ? text : text + "\r\n";
}

// The code of a reply (its last line's three digits); 0 when it has none.
int ReplyCode(const std::string& reply) {
  std::size_t line = reply.rfind('\n', reply.size() >= 2 ? reply.size() - 2 : 0);
  line = line == std::string::npos ? 0 : line + 1;
  if (reply.size() < line + 3) return 0;
  int code = 0;
  for (std::size_t i = line; i < line + 3; ++i) {
    if (reply[i] < '0' || reply[i] > '9') return 0;
    code = code * 10 + (reply[i] - '0');
  }
  return code;
}

// "YYYYMMDDHHMMSS" of a UTC file time, as MLSD gives it; empty when unknown.
std::string MlsdTime(const FILETIME& time) {
  SYSTEMTIME parts{};
  if ((time.dwLowDateTime == 0 && time.dwHighDateTime == 0) || !FileTimeToSystemTime(&time, &parts))
    return {};
  char text[32];
  // Six numbers of a system time: the text always fits.
  static_cast<void>(std::snprintf(text, sizeof text, "%04u%02u%02u%02u%02u%02u", parts.wYear, parts.wMonth,
                                  parts.wDay, parts.wHour, parts.wMinute, parts.wSecond));
  return text;
}

// One entry of the system's parsed listing as a listing line that the
// listing parser reads like an MLSD line.
std::string ListingLine(const WIN32_FIND_DATAA& data) {
  const bool folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  const std::uint64_t size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  std::string line = std::string("type=") + (folder ? "dir" : "file") + ";size=" + std::to_string(size) + ";";
  const std::string modified = MlsdTime(data.ftLastWriteTime);
  if (!modified.empty()) line += "modify=" + modified + ";";
  return line + " " + FromAnsi(data.cFileName) + "\r\n";
}

void SetTimeouts(HINTERNET handle, int seconds) {
  DWORD ms = static_cast<DWORD>(seconds > 0 ? seconds : 60) * 1000;
  for (DWORD option :
       {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT,
        INTERNET_OPTION_DATA_SEND_TIMEOUT, INTERNET_OPTION_DATA_RECEIVE_TIMEOUT}) {
    InternetSetOptionA(handle, option, &ms, sizeof ms);
  }
}

// A host as InternetConnectA takes it: an IPv6 address without its brackets.
std::string BareHost(const std::string& host) {
  if (host.size() > 2 && host.front() == '[' && host.back() == ']') return host.substr(1, host.size() - 2);
  return host;
}

}  // namespace

struct FtpSession::Impl {
  HINTERNET session = nullptr;
  HINTERNET connection = nullptr;
  FtpSessionOptions options;
  std::string current;
  unsigned last_error = 0;
  unsigned local_error = 0;
  std::string last_response;
  std::string refused;
  bool transfer_started = false;
  std::vector<std::string> features;
  bool restart = false;  // transfers can start part-way

  // Keeps the failure of the call that just returned: its code first, before
  // any other call can change it, then the server's reply.
  bool Fail(unsigned code) {
    last_error = code;
    last_response = LastResponseInfo();
    refused.clear();
    return false;
  }
  bool FailLast() { return Fail(GetLastError()); }
  // As FailLast, naming the command when the server refused it.
  bool FailLast(const char* verb) {
    FailLast();
    if (last_error == ftp_error::kExtendedError) refused = verb;
    return false;
  }
  // Sends one command that has no data reply; its reply code, or 0 with the
  // failure kept when no reply came (a dropped connection, a time-out).
  int Command(const std::string& line) {
    const bool sent = FtpCommandA(connection, FALSE, FTP_TRANSFER_TYPE_BINARY, line.c_str(), 0, nullptr);
    const DWORD why = GetLastError();
    // A refusal comes back as the extended error, and the reply holds its code.
    if (!sent && why != ftp_error::kExtendedError) {
      Fail(why);
      return 0;
    }
    const int code = ReplyCode(LastResponseInfo());
    if (code == 0) Fail(sent ? ftp_error::kInternalError : why);
    return code;
  }
  // Whether the reply was the one wanted; any other reply refuses the command.
  bool Replied(int code, bool wanted, const char* verb) {
    if (code == 0) return false;  // no reply: its failure is kept
    if (wanted) return true;
    Fail(ftp_error::kExtendedError);
    refused = verb;
    return false;
  }
  // An end request stops a transfer or a listing between two blocks.
  bool Go() { return !platform::EndRequested() || Fail(ftp_error::kOperationCancelled); }
  bool CheckName(const std::string& name) {
    if (connection == nullptr) return Fail(ftp_error::kInvalidHandle);
    if (HasLineBreak(name)) return Fail(ftp_error::kInvalidParameter);
    return true;
  }
  std::string Remote(const std::string& name) const { return ToAnsi(ResolveRemotePath(current, name)); }
  DWORD TransferType(bool binary) const {
    return binary ? FTP_TRANSFER_TYPE_BINARY : FTP_TRANSFER_TYPE_ASCII;
  }
  bool ReadCurrent(std::string* folder) {
    char buffer[1024] = {};
    DWORD length = sizeof buffer;
    if (!FtpGetCurrentDirectoryA(connection, buffer, &length)) return FailLast();
    *folder = FromAnsi(buffer);
    return true;
  }
  bool Simple(BOOL(WINAPI* call)(HINTERNET, LPCSTR), const std::string& name, const char* verb) {
    if (!CheckName(name)) return false;
    return call(connection, Remote(name).c_str()) || FailLast(verb);
  }
  // Has the next transfer start at byte `offset`: TYPE I first (servers
  // refuse restarts in ASCII), then REST. FtpOpenFileA sends TYPE and PASV
  // of its own before STOR or RETR; servers keep the marker through them
  // (pyftpdlib, the stand-in of the tests, does).
  bool Restart(int64_t offset) {
    if (offset <= 0) return true;
    const int type = Command("TYPE I");
    if (!Replied(type, type / 100 == 2, "TYPE")) return false;
    const int rest = Command("REST " + std::to_string(offset));
    return Replied(rest, rest == 350, "REST");
  }
  // The listing of the server's current folder, as MLSD lines.
  bool ListCurrent(std::string* text);
  // Closes a transfer's file handle; a refusal of the server at the end of
  // the transfer (its 226 missing) fails the transfer.
  bool CloseTransfer(HINTERNET file, bool ok) {
    const std::string before = LastResponseInfo();
    if (!InternetCloseHandle(file) && ok) return FailLast();
    // Wine takes the final reply at the close and says nothing when it
    // refuses the transfer (426 after a cut data connection, once every
    // byte had been written): a new reply of 4xx or 5xx fails it.
    const std::string after = LastResponseInfo();
    if (ok && after != before && ReplyCode(after) >= 400) return Fail(ftp_error::kExtendedError);
    // No final reply, only the transfer's 1xx: the control connection may
    // have been dropped during the transfer (by a router, with the bytes
    // still in the socket's buffer), and then what the server holds is not
    // known. A NOOP tells; when it gets no reply either, the transfer broke.
    if (ok && after == before && ReplyCode(after) / 100 == 1 && Command("NOOP") == 0) {
      return Fail(ftp_error::kConnectionAborted);
    }
    return ok;
  }
};

FtpSession::FtpSession() : impl_(std::make_unique<Impl>()) {
  impl_->session = InternetOpenA("Norvo Backup", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
}

FtpSession::~FtpSession() {
  Disconnect();
  if (impl_->session != nullptr) InternetCloseHandle(impl_->session);
}

bool FtpSession::Ready() const { return impl_->session != nullptr; }

bool FtpSession::Connect(const std::string& server, const std::string& user, const std::string& password,
                         const FtpSessionOptions& options) {
  Impl& s = *impl_;
  Disconnect();
  if (!Ready()) return s.Fail(ftp_error::kInternalError);
  const std::optional<HostPort> where = SplitHostPort(server);
  if (!where) return s.Fail(ftp_error::kNameNotResolved);
  if (HasLineBreak(user) || HasLineBreak(password)) return s.Fail(ftp_error::kInvalidParameter);
  // WinINet speaks FTP without TLS: a provider that requires it gets no
  // password sent in the clear.
  if (options.tls == settings::FtpTls::Require) return s.Fail(ftp_error::kSecurityChannelError);
  s.options = options;
  SetTimeouts(s.session, options.timeout_s);
  s.connection = InternetConnectA(s.session, ToAnsi(BareHost(where->host)).c_str(),
                                  static_cast<INTERNET_PORT>(where->port), ToAnsi(user).c_str(),
                                  ToAnsi(password).c_str(), INTERNET_SERVICE_FTP,
                                  options.passive ? INTERNET_FLAG_PASSIVE : 0, 0);
  if (s.connection == nullptr) return s.FailLast();
  if (!s.ReadCurrent(&s.current)) s.current.clear();
  // The FEAT reply names the digest commands. WinINet may hand out only its
  // last line (Wine does), and then no command is seen.
  s.features.clear();
  if (s.Command("FEAT") / 100 == 2) {
    const std::string reply = LastResponseInfo();
    for (size_t start = 0, end; (end = reply.find("\r\n", start)) != std::string::npos; start = end + 2) {
      s.features.push_back(reply.substr(start, end - start));
    }
  }
  // Without FEAT's lines, a REST the server accepts tells that it restarts.
  s.restart = FeatOffers(s.features, "REST", "STREAM");
  if (!s.restart && s.features.size() <= 1)
    s.restart = s.Command("TYPE I") / 100 == 2 && s.Command("REST 0") == 350;
  return true;
}

void FtpSession::Disconnect() {
  Impl& s = *impl_;
  if (s.connection != nullptr) InternetCloseHandle(s.connection);
  s.connection = nullptr;
  s.current.clear();
}

bool FtpSession::Connected() const { return impl_->connection != nullptr; }

const std::string& FtpSession::CurrentDirectory() const { return impl_->current; }

bool FtpSession::ChangeDirectory(const std::string& folder) {
  Impl& s = *impl_;
  if (!s.CheckName(folder)) return false;
  const std::string target = ResolveRemotePath(s.current, folder);
  if (!FtpSetCurrentDirectoryA(s.connection, ToAnsi(target).c_str())) return s.FailLast("CWD");
  if (!s.ReadCurrent(&s.current)) s.current = target;
  return true;
}

bool FtpSession::PrintDirectory(std::string* folder) {
  Impl& s = *impl_;
  if (!s.CheckName(s.current)) return false;
  return s.ReadCurrent(folder);
}

bool FtpSession::MakeDirectory(const std::string& name) {
  return impl_->Simple(FtpCreateDirectoryA, name, "MKD");
}
bool FtpSession::RemoveDirectory(const std::string& name) {
  return impl_->Simple(FtpRemoveDirectoryA, name, "RMD");
}
bool FtpSession::DeleteFile(const std::string& name) { return impl_->Simple(FtpDeleteFileA, name, "DELE"); }

// RNFR and RNTO sent one by one (FtpRenameFileA would not say which of the
// two the server refused): a refused RNTO tells a server that will not
// rename onto an existing name from an account that may not rename at all.
bool FtpSession::RenameFile(const std::string& from, const std::string& to) {
  Impl& s = *impl_;
  if (!s.CheckName(from) || !s.CheckName(to)) return false;
  const int from_reply = s.Command("RNFR " + s.Remote(from));
  if (!s.Replied(from_reply, from_reply == 350, "RNFR")) return false;
  const int to_reply = s.Command("RNTO " + s.Remote(to));
  return s.Replied(to_reply, to_reply / 100 == 2, "RNTO");
}

bool FtpSession::Store(const std::string& remote, bool binary, const FtpReadFn& read, int64_t,
                       int64_t offset) {
  Impl& s = *impl_;
  s.transfer_started = false;
  s.local_error = 0;
  if (!s.CheckName(remote)) return false;
  if (remote.empty()) return s.Fail(ftp_error::kInvalidParameter);
  if (!s.Restart(offset)) return false;
  HINTERNET file =
      FtpOpenFileA(s.connection, s.Remote(remote).c_str(), GENERIC_WRITE, s.TransferType(binary), 0);
  if (file == nullptr) return s.FailLast("STOR");
  s.transfer_started = true;
  std::vector<char> buffer(kTransferBlock);
  bool ok = true;
  while ((ok = s.Go())) {
    const long long got = read(buffer.data(), buffer.size());
    if (got < 0) {
      ok = s.Fail(s.local_error != 0 ? s.local_error : ftp_error::kReadFault);
      break;
    }
    if (got == 0) break;
    for (std::size_t done = 0; ok && done < static_cast<std::size_t>(got);) {
      DWORD written = 0;
      if (!InternetWriteFile(file, buffer.data() + done, static_cast<DWORD>(got - done), &written) ||
          written == 0) {
        ok = s.FailLast();
      }
      done += written;
    }
    if (!ok) break;
  }
  return s.CloseTransfer(file, ok);
}

bool FtpSession::Retrieve(const std::string& remote, bool binary, const FtpWriteFn& write, int64_t offset) {
  Impl& s = *impl_;
  s.transfer_started = false;
  s.local_error = 0;
  if (!s.CheckName(remote)) return false;
  if (remote.empty()) return s.Fail(ftp_error::kInvalidParameter);
  if (!s.Restart(offset)) return false;
  HINTERNET file =
      FtpOpenFileA(s.connection, s.Remote(remote).c_str(), GENERIC_READ, s.TransferType(binary), 0);
  if (file == nullptr) return s.FailLast("RETR");
  s.transfer_started = true;
  std::vector<char> buffer(ReceiveBlock(s.options.cap, kTransferBlock));
  bool ok = true;
  while ((ok = s.Go())) {
    DWORD got = 0;
    if (!InternetReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &got)) {
      ok = s.FailLast();
      break;
    }
    if (got == 0) break;
    if (!write(buffer.data(), got)) {
      ok = s.Fail(s.local_error != 0 ? s.local_error : ftp_error::kWriteFault);
      break;
    }
  }
  return s.CloseTransfer(file, ok);
}

bool FtpSession::List(const std::string& folder, std::string* text, bool* machine) {
  Impl& s = *impl_;
  text->clear();
  *machine = true;  // the lines are written below in MLSD form
  s.transfer_started = false;
  if (!s.CheckName(folder)) return false;
  // A search names files: a folder is listed by searching all of the
  // server's current folder, so another folder is entered for the listing.
  const std::string kept = s.current;
  if (!folder.empty() && !ChangeDirectory(folder)) return false;
  const bool ok = s.ListCurrent(text);
  if (!folder.empty() && !FtpSetCurrentDirectoryA(s.connection, ToAnsi(kept).c_str())) return s.FailLast();
  s.current = kept;
  return ok;
}

bool FtpSession::Impl::ListCurrent(std::string* text) {
  Impl& s = *this;
  WIN32_FIND_DATAA data{};
  HINTERNET find = FtpFindFirstFileA(s.connection, nullptr, &data, INTERNET_FLAG_RELOAD, 0);
  if (find == nullptr) {
    const DWORD code = GetLastError();
    if (code == ERROR_NO_MORE_FILES) return true;  // an empty folder
    return s.Fail(code);
  }
  s.transfer_started = true;
  // A server that keeps listing, or lists slowly without end, fails the
  // listing instead of holding the run or filling its memory.
  ExchangeBudget budget(kMaxListingBytes, ExchangeTimeLimit(s.options.timeout_s));
  bool ok = true;
  do {
    const std::string line = ListingLine(data);
    if (!budget.Take(line.size()) || budget.OverTime()) {
      ok = s.Fail(budget.Exceeded());
      break;
    }
    *text += line;
    if (!(ok = s.Go())) break;
    if (!InternetFindNextFileA(find, &data)) {
      const DWORD code = GetLastError();
      if (code != ERROR_NO_MORE_FILES) ok = s.Fail(code);
      break;
    }
  } while (true);
  InternetCloseHandle(find);
  return ok;
}

const std::vector<std::string>& FtpSession::Features() const { return impl_->features; }
bool FtpSession::OffersRestart() const { return impl_->restart; }

bool FtpSession::SendCommand(const std::string& command, std::string* reply) {
  Impl& s = *impl_;
  if (!s.CheckName(command)) return false;
  const int code = s.Command(ToAnsi(command));
  if (!s.Replied(code, code >= 200 && code < 400, command.substr(0, command.find(' ')).c_str())) return false;
  std::string last = LastResponseInfo();
  last.erase(last.find_last_not_of("\r\n") + 1);
  *reply = last.substr(last.rfind('\n') == std::string::npos ? 0 : last.rfind('\n') + 1);
  return true;
}

bool FtpSession::TransferStarted() const { return impl_->transfer_started; }
const std::string& FtpSession::RefusedCommand() const { return impl_->refused; }
void FtpSession::SetLocalError(unsigned code) { impl_->local_error = code; }
unsigned FtpSession::LastError() const { return impl_->last_error; }
// WinINet says nothing beyond its codes and the server's reply.
const std::string& FtpSession::FailureDetail() const {
  static const std::string kNone;
  return kNone;
}
const std::string& FtpSession::LastResponse() const { return impl_->last_response; }

}  // namespace norvo::net

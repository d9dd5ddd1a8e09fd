#pragma once
// One FTP session with a server: log-on, folder commands, streamed transfers
// and listings. Failures come back as false with an error code (numbered as
// in FtpErrors.h) and, when the server refused, the text of its reply.
//
// The session keeps the current remote folder itself (set from the log-in
// folder, changed only when a CWD succeeds) and names every file by its
// absolute path, so no command depends on the server's idea of the folder.
// This header is the seam between platforms: the libcurl backend lives in
// curl/FtpSessionCurl.cpp.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "net/TransferPace.h"
#include "settings/ProviderConfig.h"

namespace norvo::net {

struct FtpSessionOptions {
  bool passive = true;
  int timeout_s = 60;  // connect, every reply, and a stalled data connection
  settings::FtpTls tls = settings::FtpTls::Off;
  std::string ca_file;  // PEM certificates trusted for TLS besides the system's
  // The bandwidth cap of the uploads and restores, which pace their own
  // callbacks with it (TransferPace.h); the session itself does not use it.
  TransferCap cap;
};

// The options of the provider's configuration: its FTP time-out, TLS and own
// certificates, passive, and its bandwidth cap.
inline FtpSessionOptions FtpSessionOptionsFor(const settings::ProviderConfig& provider) {
  FtpSessionOptions options;
  options.timeout_s = provider.ftp_timeout_s;
  options.tls = provider.ftp_tls;
  options.ca_file = provider.ftp_ca_file;
  options.cap = {provider.ftp_max_kbps, provider.ftp_limit_hours};
  return options;
}

// Fills `buffer` with up to `size` bytes of the file to send; returns how many,
// 0 at its end, or -1 when it cannot be read (the transfer then fails).
using FtpReadFn = std::function<long long(char* buffer, size_t size)>;
// Takes the next bytes received; false stops the transfer as failed.
using FtpWriteFn = std::function<bool(const char* data, size_t size)>;

class FtpSession {
 public:
  FtpSession();
  ~FtpSession();
  FtpSession(const FtpSession&) = delete;
  FtpSession& operator=(const FtpSession&) = delete;

  // False when the library could not be set up (nothing else will work).
  bool Ready() const;

  // Connects to "host" or "host:port" and logs on.
  bool Connect(const std::string& server, const std::string& user, const std::string& password,
               const FtpSessionOptions& options);
  // Logs off and closes the connection; harmless when not connected.
  void Disconnect();
  bool Connected() const;

  // The current remote folder as kept by the session.
  const std::string& CurrentDirectory() const;
  // CWD to the folder (relative to the current one or absolute); on success
  // the current folder becomes what the server's PWD then reports.
  bool ChangeDirectory(const std::string& folder);
  // Asks the server (CWD to the kept folder, then PWD) for the current folder.
  bool PrintDirectory(std::string* folder);

  bool MakeDirectory(const std::string& name);
  bool RemoveDirectory(const std::string& name);
  bool DeleteFile(const std::string& name);
  bool RenameFile(const std::string& from, const std::string& to);

  // Stores a remote file from `read`; `size` is the byte count when known, or -1.
  // With `offset` > 0 the transfer goes on after the first `offset` bytes that
  // the server already holds (APPE on libcurl, REST and STOR on WinINet):
  // `read` then gives the bytes from there on, `size` stays the whole file's.
  bool Store(const std::string& remote, bool binary, const FtpReadFn& read, int64_t size, int64_t offset = 0);
  // Retrieves a remote file into `write`; with `offset` > 0, its bytes from
  // there on (REST before RETR).
  bool Retrieve(const std::string& remote, bool binary, const FtpWriteFn& write, int64_t offset = 0);
  // The listing text of a folder ("" for the current one): MLSD lines when the
  // server offers MLST (*machine = true), else LIST lines. A listing past
  // kMaxListingBytes or ExchangeTimeLimit fails (FtpLimits.h), as does any
  // request whose replies pass kMaxReplyBytes or, except for Store and
  // Retrieve, ExchangeTimeLimit. Every request ends early (12017, cancelled)
  // once the program is asked to end (platform/EndRequest.h).
  bool List(const std::string& folder, std::string* text, bool* machine);

  // The lines of the server's FEAT reply at log-on ("211-...", " HASH ...",
  // "211 End"); empty when the server has none. WinINet may hand out only
  // the reply's last line (it does under Wine).
  const std::vector<std::string>& Features() const;
  // Whether a transfer can start part-way (FEAT offers "REST STREAM"; on
  // WinINet, when FEAT's lines are not handed out, the server accepted a
  // "REST 0" at log-on).
  bool OffersRestart() const;
  // Sends one command that has no data reply ("XSHA256 /a/NAME.TMP"); true
  // with a 2xx or 3xx reply, whose final line goes to *reply. A refusal or a
  // lost connection fails as the other requests do.
  bool SendCommand(const std::string& command, std::string* reply);

  // Whether the server accepted the last transfer or listing command (its 1xx
  // reply arrived), which tells a refused start from a failure mid-way.
  bool TransferStarted() const;
  // The verb of the command ("RNTO", "CWD", ...) that the server refused with
  // a 4xx or 5xx reply in the last failed operation; empty when the failure
  // was no refusal (a dropped connection, a time-out, a reply past its bound).
  const std::string& RefusedCommand() const;
  // Sets the error of a failure found by the caller's callbacks (a local file).
  void SetLocalError(unsigned code);

  unsigned LastError() const;
  // What the library said of the last failure beyond its code (a refused
  // certificate, a reset connection); empty when it said nothing.
  const std::string& FailureDetail() const;
  // The server's last reply, each line ending in CR LF.
  const std::string& LastResponse() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace norvo::net

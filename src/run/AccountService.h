#pragma once
// Requests to the provider's account service: HTTP GETs of
// "http://<host>/funciones.php?Tipo=<n>&key=value...", keys in a fixed order.
// The account lookup (Tipo=3) returns the account fields; the reports (4, 5
// and 7) are sent and their answers not examined.
#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "settings/ProviderConfig.h"

namespace norvo::run {

// Bytes of one read of the service's answer: 250 in the run and the cloud
// check, 1000 for the list of copies, 100 before a download.
inline constexpr std::size_t kRunReplySize = 250;
inline constexpr std::size_t kCopyListReplySize = 1000;
inline constexpr std::size_t kDownloadReplySize = 100;

// Fields 1 to 6 of the lookup reply (index 0 is field 1): company name, FTP
// host, FTP user, FTP password, base path, unused.
using AccountFields = std::array<std::string, 6>;

// The reply split at ";", the text after the last ";" being the last field;
// nothing when it holds more than six fields. Fields keep the bytes received
// (the service's code page): the FTP server gets its user, password and paths
// back as they were sent, and texts are converted only to be shown.
std::optional<AccountFields> SplitAccountReply(std::string_view reply);

// The reply's first six fields, as the tray program reads it: from the sixth
// ";" on the reply is dropped, so it never has too many.
AccountFields FirstSixFields(std::string_view reply);

// A value as the service has always received it: its Windows-1252 bytes,
// percent-encoded where not safe in a URL.
std::string EscapeQueryValue(std::string_view text);
// Bytes percent-encoded as they are, for a value the service sent itself.
std::string EscapeQueryBytes(std::string_view bytes);
// The stored Cliente as it is, but with every character outside Base64's
// alphabet (A-Z a-z 0-9 + / =) percent-encoded: a hand-edited store cannot
// add query keys.
std::string EscapeStoredCliente(std::string_view cliente);

using QueryValues = std::vector<std::pair<std::string, std::string>>;
// The request URL. Values are given already in their final URL form.
std::string AccountServiceUrl(std::string_view host, int tipo, const QueryValues& values);

// Reads at most maxBytes of the answer to a GET of the URL; empty when the
// request fails. Never throws.
using HttpFetch = std::function<std::string(const std::string& url, std::size_t maxBytes)>;

// HttpFetch over libcurl with the given time-out in seconds. onFailure, when
// given, receives why a request failed (never the URL, which carries the
// customer's key).
HttpFetch CurlFetch(int timeoutSeconds, std::function<void(const std::string&)> onFailure = {});

class AccountService;

// The provider's account service: its host and HTTP time-out.
AccountService ProviderAccountService(const settings::ProviderConfig& provider,
                                      std::function<void(const std::string&)> onFailure = {});

class AccountService {
 public:
  AccountService(std::string host, HttpFetch fetch) : host_(std::move(host)), fetch_(std::move(fetch)) {}

  // Tipo=3 with Clave = cliente as stored (EscapeStoredCliente). The bytes
  // read (empty when failed).
  std::string LookupAccount(const std::string& cliente, std::size_t maxBytes = kRunReplySize) const;
  // Tipo=4: kind "BD" or "AR", item, copy name, state "Y" or "N".
  void ReportItem(const std::string& customerCode, const std::string& computerName, const std::string& kind,
                  const std::string& item, const std::string& copyName, const std::string& state) const;
  // Tipo=5: one error of the run; the company name goes back byte for byte.
  void ReportError(const std::string& customerCode, const std::string& companyName,
                   const std::string& computerName, const std::string& error) const;
  // Tipo=7: the notice of a run without errors.
  void NotifySuccess(const std::string& customerCode, const std::string& mailAddress,
                     const std::string& computerName) const;
  // Tipo=8 with Clave = cliente as stored and Equipo = computer name.
  std::string ListCopies(const std::string& cliente, const std::string& computerName,
                         std::size_t maxBytes = kCopyListReplySize) const;

 private:
  std::string Send(int tipo, const QueryValues& values, std::size_t maxBytes) const;

  std::string host_;
  HttpFetch fetch_;
};

}  // namespace norvo::run

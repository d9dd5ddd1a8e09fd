#include "run/AccountService.h"

#include "net/HttpGet.h"
#include "settings/Utf8.h"

namespace norvo::run {
namespace {

bool IsAlphanumeric(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}
bool IsUrlSafe(unsigned char c) { return IsAlphanumeric(c) || c == '-' || c == '.' || c == '_' || c == '~'; }
bool IsBase64(unsigned char c) { return IsAlphanumeric(c) || c == '+' || c == '/' || c == '='; }

std::string PercentEncode(std::string_view bytes, bool (*keep)(unsigned char)) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string escaped;
  for (unsigned char c : bytes) {
    if (keep(c)) {
      escaped += static_cast<char>(c);
    } else {
      escaped += '%';
      escaped += kHex[c >> 4];
      escaped += kHex[c & 0x0F];
    }
  }
  return escaped;
}

}  // namespace

std::optional<AccountFields> SplitAccountReply(std::string_view reply) {
  AccountFields fields;
  std::size_t index = 0;
  for (char c : reply) {
    if (c != ';') {
      fields[index] += c;
      continue;
    }
    if (++index == fields.size()) return std::nullopt;  // a seventh field
  }
  return fields;
}

AccountFields FirstSixFields(std::string_view reply) {
  std::size_t cut = 0;
  for (std::size_t separators = 0; cut < reply.size(); ++cut) {
    if (reply[cut] == ';' && ++separators == AccountFields{}.size()) break;
  }
  return SplitAccountReply(reply.substr(0, cut)).value_or(AccountFields{});
}

std::string EscapeQueryValue(std::string_view text) {
  return PercentEncode(settings::Utf8ToWindows1252(text), IsUrlSafe);
}

std::string EscapeQueryBytes(std::string_view bytes) { return PercentEncode(bytes, IsUrlSafe); }

std::string EscapeStoredCliente(std::string_view cliente) { return PercentEncode(cliente, IsBase64); }

std::string AccountServiceUrl(std::string_view host, int tipo, const QueryValues& values) {
  std::string url = "http://" + std::string(host) + "/funciones.php?Tipo=" + std::to_string(tipo);
  for (const auto& [key, value] : values) url += "&" + key + "=" + value;
  return url;
}

HttpFetch CurlFetch(int timeoutSeconds, std::function<void(const std::string&)> onFailure) {
  return [timeoutSeconds, onFailure](const std::string& url, std::size_t maxBytes) {
    net::HttpGetOptions options;
    options.max_bytes = maxBytes;
    options.timeout_s = timeoutSeconds;
    net::HttpGetResult result = net::HttpGet(url, options);
    if (!result.ok && onFailure) onFailure(result.error);
    return result.ok ? result.body : std::string();
  };
}

AccountService ProviderAccountService(const settings::ProviderConfig& provider,
                                      std::function<void(const std::string&)> onFailure) {
  return AccountService(provider.service_host, CurlFetch(provider.http_timeout_s, std::move(onFailure)));
}

std::string AccountService::Send(int tipo, const QueryValues& values, std::size_t maxBytes) const {
  if (!fetch_) return "";
  return fetch_(AccountServiceUrl(host_, tipo, values), maxBytes);
}

std::string AccountService::LookupAccount(const std::string& cliente, std::size_t maxBytes) const {
  // Cliente goes as stored: its Base64 "+", "/" and "=" stay as they are.
  return Send(3, {{"Clave", EscapeStoredCliente(cliente)}}, maxBytes);
}

void AccountService::ReportItem(const std::string& customerCode, const std::string& computerName,
                                const std::string& kind, const std::string& item, const std::string& copyName,
                                const std::string& state) const {
  Send(4,
       {{"CL", EscapeQueryValue(customerCode)},
        {"NE", EscapeQueryValue(computerName)},
        {"TR", EscapeQueryValue(kind)},
        {"RE", EscapeQueryValue(item)},
        {"CO", EscapeQueryValue(copyName)},
        {"ED", EscapeQueryValue(state)}},
       kRunReplySize);
}

void AccountService::ReportError(const std::string& customerCode, const std::string& companyName,
                                 const std::string& computerName, const std::string& error) const {
  Send(5,
       {{"CL", EscapeQueryValue(customerCode)},
        {"NO", EscapeQueryBytes(companyName)},
        {"NE", EscapeQueryValue(computerName)},
        {"ER", EscapeQueryValue(error)}},
       kRunReplySize);
}

void AccountService::NotifySuccess(const std::string& customerCode, const std::string& mailAddress,
                                   const std::string& computerName) const {
  Send(7,
       {{"CL", EscapeQueryValue(customerCode)},
        {"MA", EscapeQueryValue(mailAddress)},
        {"NE", EscapeQueryValue(computerName)}},
       kRunReplySize);
}

std::string AccountService::ListCopies(const std::string& cliente, const std::string& computerName,
                                       std::size_t maxBytes) const {
  return Send(8, {{"Clave", EscapeStoredCliente(cliente)}, {"Equipo", EscapeQueryValue(computerName)}},
              maxBytes);
}

}  // namespace norvo::run

#include "net/FtpText.h"

#include <cctype>

#include "settings/Text.h"

namespace norvo::net {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool ParsePort(std::string_view text, int& port) {
  if (text.empty() || text.size() > 5) return false;
  int value = 0;
  for (char c : text) {
    if (!IsDigit(c)) return false;
    value = value * 10 + (c - '0');
  }
  if (value > 65535) return false;
  port = value == 0 ? 21 : value;
  return true;
}

bool IsHostChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '_';
}

}  // namespace

int ReplyCode(std::string_view line) {
  if (line.size() < 3 || !IsDigit(line[0]) || !IsDigit(line[1]) || !IsDigit(line[2])) return 0;
  return (line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0');
}

bool IsFinalReplyLine(std::string_view line) {
  return ReplyCode(line) != 0 && (line.size() == 3 || line[3] == ' ');
}

std::optional<std::string> ParsePwdReply(std::string_view reply) {
  if (ReplyCode(reply) != 257) return std::nullopt;
  size_t open = reply.find('"');
  if (open == std::string_view::npos) return std::nullopt;
  std::string folder;
  for (size_t i = open + 1; i < reply.size(); ++i) {
    if (reply[i] != '"') {
      if (reply[i] == '\r' || reply[i] == '\n') return std::nullopt;
      folder += reply[i];
    } else if (i + 1 < reply.size() && reply[i + 1] == '"') {
      folder += '"';
      ++i;
    } else {
      return folder;
    }
  }
  return std::nullopt;  // no closing quote
}

bool FeatOffersMlst(const std::vector<std::string>& lines) { return FeatOffers(lines, "MLST"); }

bool FeatOffers(const std::vector<std::string>& lines, std::string_view name, std::string_view parameter) {
  for (const std::string& text : lines) {
    const std::string_view line(text);
    size_t start = line.find_first_not_of(' ');
    if (start == 0 || start == std::string::npos) continue;  // feature lines are indented
    size_t end = line.find_first_of(" \r", start);
    if (!settings::EqualsIgnoreCase(line.substr(start, end - start), name)) continue;
    if (parameter.empty()) return true;
    // The parameters follow, separated by blanks or semicolons ("REST STREAM").
    while (end != std::string::npos) {
      start = line.find_first_not_of(" ;\r", end);
      if (start == std::string::npos) break;
      end = line.find_first_of(" ;\r", start);
      if (settings::EqualsIgnoreCase(line.substr(start, end - start), parameter)) return true;
    }
  }
  return false;
}

std::optional<int64_t> ParseSizeReply(std::string_view reply) {
  if (ReplyCode(reply) != 213 || reply.size() < 5 || reply[3] != ' ') return std::nullopt;
  int64_t size = 0;
  size_t at = 4;
  for (; at < reply.size() && reply[at] >= '0' && reply[at] <= '9'; ++at) {
    if (size > (INT64_MAX - 9) / 10) return std::nullopt;
    size = size * 10 + (reply[at] - '0');
  }
  const std::string_view rest = reply.substr(at);
  if (at == 4 || rest.find_first_not_of(" \r\n") != std::string_view::npos) return std::nullopt;
  return size;
}

std::optional<HostPort> SplitHostPort(std::string_view server) {
  HostPort result;
  std::string_view host = server;
  std::string_view port;
  if (!server.empty() && server[0] == '[') {
    size_t close = server.find(']');
    if (close == std::string_view::npos || close == 1) return std::nullopt;
    for (char c : server.substr(1, close - 1)) {
      if (!std::isxdigit(static_cast<unsigned char>(c)) && c != ':' && c != '.') return std::nullopt;
    }
    host = server.substr(0, close + 1);
    std::string_view rest = server.substr(close + 1);
    if (!rest.empty()) {
      if (rest[0] != ':') return std::nullopt;
      port = rest.substr(1);
      if (!ParsePort(port, result.port)) return std::nullopt;
    }
    result.host = std::string(host);
    return result;
  }
  size_t colon = server.find(':');
  if (colon != std::string_view::npos) {
    host = server.substr(0, colon);
    if (!ParsePort(server.substr(colon + 1), result.port)) return std::nullopt;
  }
  if (host.empty()) return std::nullopt;
  for (char c : host) {
    if (!IsHostChar(c)) return std::nullopt;
  }
  result.host = std::string(host);
  return result;
}

bool HasLineBreak(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

std::string ResolveRemotePath(std::string_view current, std::string_view name) {
  if (!name.empty() && name[0] == '/') return std::string(name);
  if (current.empty()) return std::string(name);
  std::string path(current);
  if (name.empty()) return path;
  if (path.back() != '/') path += '/';
  path += name;
  return path;
}

std::string RemoteParent(std::string_view path) {
  size_t slash = path.rfind('/');
  if (slash == std::string_view::npos) return {};
  if (slash == 0) return "/";
  return std::string(path.substr(0, slash));
}

std::string RemoteBaseName(std::string_view path) {
  size_t slash = path.rfind('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

}  // namespace norvo::net

#pragma once
// Pure text helpers of the FTP session: server replies, host names and
// remote paths. No I/O, so they can be tested and fuzzed alone.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace norvo::net {

// The three-digit code of a reply line ("257 ..." gives 257), or 0.
int ReplyCode(std::string_view line);
// True for the last line of a reply: three digits and a blank (or nothing).
bool IsFinalReplyLine(std::string_view line);

// The folder named by a PWD reply: the text between the first quote and its
// closing quote, with doubled quotes inside read as one. Nothing when the
// reply is not a 257 or holds no quoted name.
std::optional<std::string> ParsePwdReply(std::string_view reply);

// Whether the lines of a FEAT reply offer MLST (and so MLSD).
bool FeatOffersMlst(const std::vector<std::string>& lines);
// Whether they offer the feature `name` ("SIZE"); with a parameter, that
// feature with that word among its parameters ("REST" with "STREAM").
bool FeatOffers(const std::vector<std::string>& lines, std::string_view name,
                std::string_view parameter = {});

// The byte count of a SIZE reply ("213 1234"); nothing for any other reply.
std::optional<int64_t> ParseSizeReply(std::string_view reply);

// A server given as "host" or "host:port" ("[v6]:port" for IPv6). Port 0 or
// none means 21. Nothing for an empty or malformed server or port.
struct HostPort {
  std::string host;  // as it goes in a URL (IPv6 keeps its brackets)
  int port = 21;
};
std::optional<HostPort> SplitHostPort(std::string_view server);

// True when the text holds a CR or LF (or NUL), which would end an FTP command
// early and let the rest run as a command of its own.
bool HasLineBreak(std::string_view text);

// The absolute path of a name relative to the folder `current`; a name that
// starts with "/" is taken as it is. An empty current folder leaves the name
// relative to the login folder.
std::string ResolveRemotePath(std::string_view current, std::string_view name);

// The folder part of a path ("/a/b/c" gives "/a/b", "/c" gives "/", "c" gives "")
// and the last part ("c").
std::string RemoteParent(std::string_view path);
std::string RemoteBaseName(std::string_view path);

}  // namespace norvo::net

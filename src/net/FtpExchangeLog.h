#pragma once
// What crossed the control connection during one request: each command sent
// and the reply lines that answered it. Fed from libcurl's debug callback.
#include <string>
#include <string_view>
#include <vector>

namespace norvo::net {

struct FtpExchange {
  std::string command;             // empty for the greeting
  std::vector<std::string> reply;  // lines without their line break
  int code = 0;                    // code of the final reply line, 0 while none came
};

class FtpExchangeLog {
 public:
  void Clear();
  void CommandSent(std::string_view text);
  void ReplyReceived(std::string_view text);

  // The exchange of the first command equal to `command` from position `from` on.
  const FtpExchange* Find(std::string_view command, size_t* from) const;
  // The last reply that was received, as lines each ending in CR LF.
  std::string LastReplyText() const;
  int LastReplyCode() const;
  // Whether a preliminary (1xx) reply arrived: a transfer started.
  bool SawPreliminary() const { return preliminary_; }
  // The first word of the first command of this request that the server
  // refused (4xx or 5xx); empty when nothing was refused.
  std::string RefusedVerb() const;

 private:
  std::vector<FtpExchange> exchanges_;
  std::string partial_;  // a reply line not yet ended
  bool preliminary_ = false;
  void AddLine(const std::string& line);
};

}  // namespace norvo::net

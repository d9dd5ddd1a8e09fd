#pragma once
// Sends one mail over SMTP with libcurl: STARTTLS when the server offers it,
// AUTH with the given login, time-outs on the connection and the whole talk.
#include <string>

#include "net/SmtpMessage.h"

namespace norvo::net {

struct SmtpSettings {
  std::string url;   // smtp://host:port or smtps://host:port
  std::string user;  // empty: no login
  std::string password;
  long connect_timeout_s = 15;
  long timeout_s = 60;
};

// True when the server accepted the message for every recipient. On failure
// the reason is in *error; nothing is thrown.
bool SendMail(const SmtpSettings& smtp, const MailMessage& message, std::string* error = nullptr);

}  // namespace norvo::net

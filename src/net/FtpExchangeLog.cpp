#include "net/FtpExchangeLog.h"

#include "net/FtpText.h"

namespace norvo::net {

void FtpExchangeLog::Clear() {
  exchanges_.clear();
  partial_.clear();
  preliminary_ = false;
}

void FtpExchangeLog::CommandSent(std::string_view text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.remove_suffix(1);
  FtpExchange exchange;
  exchange.command = std::string(text);
  exchanges_.push_back(std::move(exchange));
}

void FtpExchangeLog::ReplyReceived(std::string_view text) {
  for (char c : text) {
    if (c == '\n') {
      if (!partial_.empty() && partial_.back() == '\r') partial_.pop_back();
      AddLine(partial_);
      partial_.clear();
    } else {
      partial_ += c;
    }
  }
}

void FtpExchangeLog::AddLine(const std::string& line) {
  if (exchanges_.empty() || exchanges_.back().code != 0) {
    // A reply nobody asked for in this request (greeting, or a second reply
    // such as 226 after 150): keep it as an exchange of its own.
    exchanges_.push_back(FtpExchange{});
  }
  FtpExchange& exchange = exchanges_.back();
  exchange.reply.push_back(line);
  if (IsFinalReplyLine(line) &&
      (exchange.reply.size() == 1 || ReplyCode(line) == ReplyCode(exchange.reply.front()))) {
    exchange.code = ReplyCode(line);
    if (exchange.code >= 100 && exchange.code < 200) preliminary_ = true;
  }
}

const FtpExchange* FtpExchangeLog::Find(std::string_view command, size_t* from) const {
  for (size_t i = *from; i < exchanges_.size(); ++i) {
    if (exchanges_[i].command == command) {
      *from = i + 1;
      return &exchanges_[i];
    }
  }
  return nullptr;
}

std::string FtpExchangeLog::LastReplyText() const {
  for (auto it = exchanges_.rbegin(); it != exchanges_.rend(); ++it) {
    if (it->reply.empty()) continue;
    std::string text;
    for (const std::string& line : it->reply) text += line + "\r\n";
    return text;
  }
  return {};
}

std::string FtpExchangeLog::RefusedVerb() const {
  for (const FtpExchange& exchange : exchanges_) {
    if (exchange.code >= 400 && exchange.code < 600)
      return exchange.command.substr(0, exchange.command.find(' '));
  }
  return {};
}

int FtpExchangeLog::LastReplyCode() const {
  for (auto it = exchanges_.rbegin(); it != exchanges_.rend(); ++it) {
    if (it->code != 0) return it->code;
  }
  return 0;
}

}  // namespace norvo::net

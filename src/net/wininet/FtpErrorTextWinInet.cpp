// Texts of the error codes from the system: wininet.dll's message table for
// its own codes, the system's for the others, our table where both are silent
// (Wine, for one, has no text for 12003) and for the code of a bound passed.
#include <windows.h>

#include "net/FtpErrors.h"
#include "platform/windows/WideText.h"

namespace norvo::net {
namespace {

std::string MessageOf(DWORD source, HMODULE module, unsigned code) {
  char buffer[2048] = {};
  const DWORD length =
      FormatMessageA(source | FORMAT_MESSAGE_IGNORE_INSERTS, module, code, 0, buffer, 256, nullptr);
  return length > 0 ? platform::FromAnsi(std::string_view(buffer, length)) : std::string();
}

}  // namespace

std::string FtpErrorText(unsigned code) {
  // The program gives this code to a listing or reply past its bound, a
  // meaning of its own that the system's text would not say.
  if (code == ftp_error::kResponseTooLarge) return FtpErrorTableText(code);
  std::string text;
  if (HMODULE wininet = GetModuleHandleA("wininet.dll"); wininet != nullptr) {
    text = MessageOf(FORMAT_MESSAGE_FROM_HMODULE, wininet, code);
  }
  if (text.empty()) text = MessageOf(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code);
  if (text.empty()) return FtpErrorTableText(code);
  if (text.size() < 2 || text.compare(text.size() - 2, 2, "\r\n") != 0) {
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.pop_back();
    text += "\r\n";
  }
  return text;
}

}  // namespace norvo::net

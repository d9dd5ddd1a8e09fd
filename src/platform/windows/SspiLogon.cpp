// The logon check on Windows: one NTLM authentication of this process with
// itself through SSPI. The client side acquires credentials for the typed
// account, the server side its own, and the tokens pass between the two in
// memory until the server accepts or refuses the client's answer.
#ifndef SECURITY_WIN32
#define SECURITY_WIN32
#endif
#include <windows.h>
// security.h and secext.h need the types of windows.h first.
#include <secext.h>
#include <security.h>

#include <vector>

#include "platform/LogonCheck.h"
#include "platform/System.h"
#include "platform/windows/WideText.h"

namespace norvo::platform {
namespace {

wchar_t kPackage[] = L"NTLM";

// One side of the handshake; its handles are released with it.
struct AuthSequence {
  bool initialized = false;
  bool has_credentials = false;
  bool has_context = false;
  CredHandle credentials{};
  CtxtHandle context{};
  AuthSequence() = default;
  AuthSequence(const AuthSequence&) = delete;
  AuthSequence& operator=(const AuthSequence&) = delete;
  ~AuthSequence() {
    if (has_context) DeleteSecurityContext(&context);
    if (has_credentials) FreeCredentialsHandle(&credentials);
  }
};

// A token buffer of the package's largest size and the length in use.
struct Token {
  std::vector<unsigned char> bytes;
  unsigned long length = 0;
};

// The one-buffer description of a token that SSPI reads or fills.
struct Description {
  SecBuffer buffer;
  SecBufferDesc desc;
  Description(Token& token, unsigned long length)
      : buffer{length, SECBUFFER_TOKEN, token.bytes.data()}, desc{SECBUFFER_VERSION, 1, &buffer} {}
  Description(const Description&) = delete;
  Description& operator=(const Description&) = delete;
};

// What both sides do after their call: complete the token when the package
// asks, keep the length of what goes to the other side.
bool Finish(AuthSequence& side, SECURITY_STATUS status, Description& out, Token& output) {
  if (status < 0) return false;
  side.has_context = true;
  if (status == SEC_I_COMPLETE_NEEDED || status == SEC_I_COMPLETE_AND_CONTINUE) {
    if (CompleteAuthToken(&side.context, &out.desc) < 0) return false;
  }
  output.length = out.buffer.cbBuffer;
  side.initialized = true;
  return true;
}

bool ClientStep(AuthSequence& side, SEC_WINNT_AUTH_IDENTITY_W& identity, Token* input, Token& output) {
  TimeStamp expiry{};
  if (!side.initialized) {
    if (AcquireCredentialsHandleW(nullptr, kPackage, SECPKG_CRED_OUTBOUND, nullptr, &identity, nullptr,
                                  nullptr, &side.credentials, &expiry) < 0) {
      return false;
    }
    side.has_credentials = true;
  }
  Description out(output, static_cast<unsigned long>(output.bytes.size()));
  Description in(input != nullptr ? *input : output, input != nullptr ? input->length : 0);
  unsigned long attributes = 0;
  const SECURITY_STATUS status = InitializeSecurityContextW(
      &side.credentials, side.initialized ? &side.context : nullptr, nullptr, 0, 0, SECURITY_NATIVE_DREP,
      side.initialized ? &in.desc : nullptr, 0, &side.context, &out.desc, &attributes, &expiry);
  return Finish(side, status, out, output);
}

bool ServerStep(AuthSequence& side, Token& input, Token& output) {
  TimeStamp expiry{};
  if (!side.initialized) {
    if (AcquireCredentialsHandleW(nullptr, kPackage, SECPKG_CRED_INBOUND, nullptr, nullptr, nullptr, nullptr,
                                  &side.credentials, &expiry) < 0) {
      return false;
    }
    side.has_credentials = true;
  }
  Description out(output, static_cast<unsigned long>(output.bytes.size()));
  Description in(input, input.length);
  unsigned long attributes = 0;
  const SECURITY_STATUS status =
      AcceptSecurityContext(&side.credentials, side.initialized ? &side.context : nullptr, &in.desc, 0,
                            SECURITY_NATIVE_DREP, &side.context, &out.desc, &attributes, &expiry);
  return Finish(side, status, out, output);
}

// NTLM lets an unknown account in as Guest where the guest account is on,
// and an empty one in anonymously: neither can run a scheduled task.
bool IsGuestOrAnonymous(CtxtHandle& context) {
  HANDLE token = nullptr;
  if (QuerySecurityContextToken(&context, &token) < 0) return true;
  std::vector<unsigned char> buffer(256);
  DWORD size = 0;
  bool refused = true;
  if (!GetTokenInformation(token, TokenUser, buffer.data(), static_cast<DWORD>(buffer.size()), &size) &&
      GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
    buffer.resize(size);
  }
  if (GetTokenInformation(token, TokenUser, buffer.data(), static_cast<DWORD>(buffer.size()), &size)) {
    PSID sid = reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid;
    const UCHAR parts = *GetSidSubAuthorityCount(sid);
    const bool guest = parts > 0 && *GetSidSubAuthority(sid, parts - 1) == DOMAIN_USER_RID_GUEST;
    refused = guest || IsWellKnownSid(sid, WinAnonymousSid);
  }
  CloseHandle(token);
  return refused;
}

}  // namespace

bool CheckLogon(const LogonService&, const std::string& user, const std::string& domain,
                const std::string& password) {
  if (user.empty()) return false;  // no account has an empty name
  PSecPkgInfoW package = nullptr;
  if (QuerySecurityPackageInfoW(kPackage, &package) < 0) return false;
  const unsigned long max_token = package->cbMaxToken;
  FreeContextBuffer(package);

  std::wstring wide_user = Widen(user), wide_domain = Widen(domain), wide_password = Widen(password);
  SEC_WINNT_AUTH_IDENTITY_W identity{};
  identity.User = reinterpret_cast<unsigned short*>(wide_user.data());
  identity.UserLength = static_cast<unsigned long>(wide_user.size());
  identity.Domain = reinterpret_cast<unsigned short*>(wide_domain.data());
  identity.DomainLength = static_cast<unsigned long>(wide_domain.size());
  identity.Password = reinterpret_cast<unsigned short*>(wide_password.data());
  identity.PasswordLength = static_cast<unsigned long>(wide_password.size());
  identity.Flags = SEC_WINNT_AUTH_IDENTITY_UNICODE;

  bool accepted = false;
  {
    AuthSequence client, server;
    Token to_server{std::vector<unsigned char>(max_token)}, to_client{std::vector<unsigned char>(max_token)};
    accepted = ClientStep(client, identity, nullptr, to_server) && ServerStep(server, to_server, to_client) &&
               ClientStep(client, identity, &to_client, to_server) &&
               ServerStep(server, to_server, to_client) && !IsGuestOrAnonymous(server.context);
  }
  SecureZeroMemory(wide_password.data(), wide_password.size() * sizeof(wchar_t));
  return accepted;
}

LogonAccount LoggedOnAccount() {
  wchar_t name[256 + 1 + 256] = {};
  ULONG size = sizeof(name) / sizeof(name[0]);
  if (GetUserNameExW(NameSamCompatible, name, &size)) {
    const std::string account = Narrow(std::wstring_view(name, size));
    const std::size_t slash = account.find('\\');
    if (slash != std::string::npos) return {account.substr(0, slash), account.substr(slash + 1)};
  }
  DWORD length = sizeof(name) / sizeof(name[0]);
  if (!GetUserNameW(name, &length) || length == 0) return {ComputerName(), ""};
  return {ComputerName(), Narrow(std::wstring_view(name, length - 1))};
}

}  // namespace norvo::platform

#include <security/pam_appl.h>

#include <cstdlib>
#include <cstring>

#include "platform/LogonCheck.h"
#include "platform/posix/Accounts.h"

namespace norvo::platform {
namespace {

struct Credentials {
  const std::string* user;
  const std::string* password;
};

// Answers PAM's prompts: the user name where it echoes, the password where it
// does not; notices are acknowledged with no text.
int Converse(int count, const pam_message** messages, pam_response** answers, void* data) {
  if (count <= 0 || count > PAM_MAX_NUM_MSG) return PAM_CONV_ERR;
  const auto* credentials = static_cast<const Credentials*>(data);
  auto* replies = static_cast<pam_response*>(std::calloc(count, sizeof(pam_response)));
  if (replies == nullptr) return PAM_BUF_ERR;
  for (int i = 0; i < count; ++i) {
    const std::string* text = nullptr;
    if (messages[i]->msg_style == PAM_PROMPT_ECHO_OFF) text = credentials->password;
    if (messages[i]->msg_style == PAM_PROMPT_ECHO_ON) text = credentials->user;
    if (text == nullptr) continue;
    replies[i].resp = ::strdup(text->c_str());
    if (replies[i].resp == nullptr) {
      for (int j = 0; j < i; ++j) std::free(replies[j].resp);
      std::free(replies);
      return PAM_BUF_ERR;
    }
  }
  *answers = replies;
  return PAM_SUCCESS;
}

// A wrong password would otherwise cost the caller PAM's delay of seconds.
void NoFailDelay(int, unsigned, void*) {}

}  // namespace

bool CheckLogon(const LogonService& service, const std::string& user, const std::string& domain,
                const std::string& password) {
  if (user.empty()) return false;  // no account has an empty name
  const std::string account = AccountName(domain, user);
  Credentials credentials{&account, &password};
  const pam_conv conversation{Converse, &credentials};
  pam_handle_t* handle = nullptr;
  const char* folder = service.confdir.empty() ? nullptr : service.confdir.c_str();
  int status = ::pam_start_confdir(service.name.c_str(), account.c_str(), &conversation, folder, &handle);
  if (status != PAM_SUCCESS) {
    if (handle != nullptr) ::pam_end(handle, status);
    return false;
  }
  status = ::pam_set_item(handle, PAM_FAIL_DELAY, reinterpret_cast<const void*>(&NoFailDelay));
  if (status == PAM_SUCCESS) status = ::pam_authenticate(handle, PAM_SILENT | PAM_DISALLOW_NULL_AUTHTOK);
  if (status == PAM_SUCCESS) status = ::pam_acct_mgmt(handle, PAM_SILENT | PAM_DISALLOW_NULL_AUTHTOK);
  ::pam_end(handle, status);
  return status == PAM_SUCCESS;
}

}  // namespace norvo::platform

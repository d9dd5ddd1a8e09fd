#pragma once
// The access-password state the menu and the password window share: read
// from the settings at the start of every guarded menu action.
#include <string>

namespace norvo::tray {

struct AccessState {
  std::string sClave;     // the stored password (`Clave`); empty: none asked
  bool bClaveOk = false;  // set by the password window when the right one was typed
  std::string sMail;      // the customer's main mail (`Resp_ProgMail`), where reminders go
};

}  // namespace norvo::tray

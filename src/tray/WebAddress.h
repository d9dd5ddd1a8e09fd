#pragma once
// Opening the provider's web address in the user's browser.
#include <QString>

namespace norvo::tray {

// Completes an address typed without a scheme ("www.x" gives "http://www.x")
// and hands it to the desktop; a failure leaves a line on stderr only.
void OpenWebAddress(const QString& address);

}  // namespace norvo::tray

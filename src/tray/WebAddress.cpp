#include "tray/WebAddress.h"

#include <QUrl>

#include "platform/DesktopOpen.h"
#include "tray/Diagnostic.h"

namespace norvo::tray {

void OpenWebAddress(const QString& address) {
  const std::string url = QUrl::fromUserInput(address).toString().toStdString();
  std::string why;
  if (!platform::OpenWithDesktop(url, &why)) Diagnostic("cannot open " + url + ": " + why);
}

}  // namespace norvo::tray

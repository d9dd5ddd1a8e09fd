#include "tray/WebAddress.h"

#include <QUrl>
#include <cstdio>

#include "platform/DesktopOpen.h"

namespace norvo::tray {

void OpenWebAddress(const QString& address) {
  const std::string url = QUrl::fromUserInput(address).toString().toStdString();
  std::string why;
  if (!platform::OpenWithDesktop(url, &why))
    std::fprintf(stderr, "Norvo: cannot open %s: %s\n", url.c_str(), why.c_str());
}

}  // namespace norvo::tray

#include "cloud/CloudWindow.h"

#include <QPointer>

#include "cloud/frmCloud.h"

namespace norvo::cloud {

QWidget* CloudWindow() {
  static QPointer<frmCloud> window;
  if (!window) window = new frmCloud;
  return window;
}

}  // namespace norvo::cloud

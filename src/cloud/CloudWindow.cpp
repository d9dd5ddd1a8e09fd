#include "cloud/CloudWindow.h"

#include <QPointer>
#include <memory>

#include "cloud/frmCloud.h"

namespace norvo::cloud {

tray::WindowFactory CloudWindowFactory(const tray::ProgramContext& context, SaveDialogFunction saveDialog) {
  auto window = std::make_shared<QPointer<frmCloud>>();
  return [context, saveDialog = std::move(saveDialog), window]() -> QWidget* {
    if (!*window) *window = new frmCloud(context, saveDialog);
    return *window;
  };
}

}  // namespace norvo::cloud

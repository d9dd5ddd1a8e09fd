#include "config/window/ConfigWindow.h"

#include <QApplication>

#include "config/window/frmConfig.h"

namespace norvo::config {
namespace {

// The access state of the program's menu window, if one exists.
tray::AccessState* MenuAccessState() {
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (auto* menu = qobject_cast<tray::frmMenu*>(window)) return &menu->state();
  }
  return nullptr;
}

}  // namespace

tray::WindowFactory ConfigWindowFactory(const tray::ProgramContext& context) {
  return [context, services = DefaultConfigServices(context)]() -> QWidget* {
    return new frmConfig(context, services, MenuAccessState());
  };
}

}  // namespace norvo::config

#pragma once
// The configuration window as the tray menu makes it, for "Configuración".
#include "tray/ProgramContext.h"
#include "tray/frmMenu.h"

namespace norvo::config {

// Makes a new frmConfig with this build's services for the context (one
// database connection for every window it makes) and the access state of
// the program's menu window.
tray::WindowFactory ConfigWindowFactory(const tray::ProgramContext& context);

}  // namespace norvo::config

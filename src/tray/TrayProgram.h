#pragma once
// The start of the tray program: one instance per user, the hidden menu
// window with its icon, then the event loop until "Exit".
#include "tray/ProgramContext.h"
#include "tray/frmMenu.h"

class QApplication;

namespace norvo::tray {

// Windows that other parts of the program provide, plugged in by main().
struct TrayWindows {
  WindowFactory config;  // "Configuración": a new frmConfig
  WindowFactory cloud;   // "Cloud": a new frmCloud
};

// Runs the program with the context of its start and returns its exit code:
// 1 when another instance runs.
int RunTrayProgram(QApplication& app, const ProgramContext& context, const TrayWindows& windows);

}  // namespace norvo::tray

// Norvo: the tray program. The configuration window and the cloud browser
// are plugged into the menu here as they become part of the build.
#include <QApplication>

#include "cloud/CloudWindow.h"
#include "config/window/frmConfig.h"
#include "tray/TrayProgram.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  norvo::tray::TrayWindows windows;
  windows.config = [] { return new norvo::config::frmConfig; };
  windows.cloud = norvo::cloud::CloudWindow;
  return norvo::tray::RunTrayProgram(app, windows);
}

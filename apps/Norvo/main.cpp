// Norvo: the tray program. The context of its start (the provider
// configuration, read once here) goes to every window it makes.
#include <QApplication>

#include "cloud/CloudWindow.h"
#include "config/window/ConfigWindow.h"
#include "tray/ProgramContext.h"
#include "tray/TrayProgram.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  const norvo::tray::ProgramContext context = norvo::tray::LoadProgramContext();
  norvo::tray::TrayWindows windows;
  windows.config = norvo::config::ConfigWindowFactory(context);
  windows.cloud = norvo::cloud::CloudWindowFactory(context);
  return norvo::tray::RunTrayProgram(app, context, windows);
}

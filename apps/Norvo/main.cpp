// Norvo: the tray program. --help and --version are answered first; the
// context of its start (the provider configuration, read once here) goes to
// every window it makes.
#include <QApplication>
#include <iostream>

#include "cloud/CloudWindow.h"
#include "config/window/ConfigWindow.h"
#include "tray/CommandLine.h"
#include "tray/ProgramContext.h"
#include "tray/TrayProgram.h"

int main(int argc, char* argv[]) {
  // Answered before Qt looks for a display, so that they work without one.
  if (const auto answered = norvo::tray::AnswerCommandLine(argc, argv, std::cout)) return *answered;
  QApplication app(argc, argv);
  const norvo::tray::ProgramContext context = norvo::tray::LoadProgramContext();
  norvo::tray::TrayWindows windows;
  windows.config = norvo::config::ConfigWindowFactory(context);
  windows.cloud = norvo::cloud::CloudWindowFactory(context);
  return norvo::tray::RunTrayProgram(app, context, windows);
}

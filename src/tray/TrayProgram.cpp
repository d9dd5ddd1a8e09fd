#include "tray/TrayProgram.h"

#include <QApplication>
#include <QIcon>

#include "Version.h"
#include "tray/CopyWatch.h"
#include "tray/Diagnostic.h"
#include "tray/QtSpanish.h"
#include "tray/SingleInstance.h"

namespace norvo::tray {

int RunTrayProgram(QApplication& app, const ProgramContext& context, const TrayWindows& windows) {
  app.setApplicationName("Norvo");
  app.setApplicationVersion(QString(kVersion));
  std::string why;
  if (!InstallQtSpanish(app, &why)) {
    Diagnostic("Qt's own texts stay in English: " + why + " (install qt6-translations-l10n)");
  }

  SingleInstance instance;
  switch (instance.tryLock()) {
    case InstanceCheck::AlreadyRunning:
      context.ShowMessageBox(nullptr, BoxIcon::Critical, "Norvo Backup", "El programa se esta ejecutando");
      return 1;
    case InstanceCheck::LockUnavailable:
      Diagnostic("cannot check for another running instance: " + instance.errorText().toStdString());
      break;
    case InstanceCheck::First:
      break;
  }

  // The program lives in its icon: closing the last open window must not end it.
  app.setQuitOnLastWindowClosed(false);
  frmMenu menu(context);
  app.setWindowIcon(menu.trayIcon()->icon());
  menu.setConfigWindowFactory(windows.config);
  menu.setCloudWindowFactory(windows.cloud);
  menu.hide();
  menu.state().bClaveOk = false;
  menu.Colocar_Tray();
  menu.copyWatch()->Start();
  // Ending the session closes the program too; the icon goes with it.
  QObject::connect(&app, &QCoreApplication::aboutToQuit, &menu, &frmMenu::Quitar_Systray);
  return app.exec();
}

}  // namespace norvo::tray

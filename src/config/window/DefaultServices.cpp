#include <QDesktopServices>
#include <QFileDialog>
#include <QUrl>

#include "config/window/ConfigServices.h"
#include "platform/System.h"
#include "run/Database.h"
#include "tray/MessageBox.h"

namespace norvo::config {

ConfigServices DefaultConfigServices() {
  ConfigServices services;
  // A connection that does not open is told in a box, as everywhere in this program.
  run::SetDatabaseAlert([](const std::string& description) {
    tray::ShowMessageBox(nullptr, tray::BoxIcon::Critical, "Norvo", QString::fromStdString(description));
  });
  services.openDatabase = run::OpenDatabase;
  services.listDatabases = run::ListDatabases;
  services.computerName = [] { return platform::ComputerName(); };
  services.driveRoots = [] {
    std::vector<std::string> roots;
    for (const platform::Drive& drive : platform::WritableLocalDrives()) roots.push_back(drive.root);
    return roots;
  };
  services.browseFolder = [](QWidget* parent, const QString& title, const QString& start) {
    return QFileDialog::getExistingDirectory(parent, title, start);
  };
  services.browseFile = [](QWidget* parent, const QString& title) {
    return QFileDialog::getOpenFileName(parent, title, QString());
  };
  services.openAddress = [](const QString& address) { QDesktopServices::openUrl(QUrl::fromUserInput(address)); };
  return services;
}

}  // namespace norvo::config

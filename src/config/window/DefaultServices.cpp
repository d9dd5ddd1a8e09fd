#include <QFileDialog>
#include <memory>

#include "config/services/CloudTest.h"
#include "config/services/DatabaseList.h"
#include "config/services/Logon.h"
#include "config/services/Registration.h"
#include "config/window/ConfigServices.h"
#include "platform/LogonCheck.h"
#include "platform/System.h"
#include "run/Database.h"
#include "tray/WebAddress.h"

namespace norvo::config {
namespace {

std::string RegisterTask(const ScheduleRequest& task) {
  std::string why;
  return RegisterSchedule(task.day_text, task.time, task.domain, task.user, task.password, &why) ? "" : why;
}

}  // namespace

ConfigServices DefaultConfigServices(const tray::ProgramContext& context) {
  ConfigServices services;
  // A connection that does not open is told in a box, as everywhere in this program.
  auto database = std::make_shared<run::ProgramDatabase>(
      context.provider.odbc_driver, [context](const std::string& description) {
        context.ShowMessageBox(nullptr, tray::BoxIcon::Critical, "Norvo",
                               QString::fromStdString(description));
      });
  services.registerStartup = [] {
    std::string why;
    return RegisterStartup(&why) ? "" : why;
  };
  services.testCloud = [provider = context.provider] { return Test_Cloud(provider); };
  services.listDatabases = [database](const DatabaseLogin& login) {
    return ListDatabaseEntries(*database, login);
  };
  platform::LogonService logon;
  logon.name = context.provider.pam_service;
  services.validarLogon = [logon](const std::string& user, const std::string& domain,
                                  const std::string& password) {
    return Validar_Logon(user, domain, password, logon);
  };
  services.registerSchedule = RegisterTask;
  services.loggedOnUser = [] {
    const platform::LogonAccount account = platform::LoggedOnAccount();
    return account.domain + "\\" + account.user;
  };
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
  services.openAddress = tray::OpenWebAddress;
  return services;
}

}  // namespace norvo::config

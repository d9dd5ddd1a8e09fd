#include "ConfigWindowFixture.h"

#include <QApplication>
#include <QCursor>

#include "settings/Settings.h"

namespace norvo::test {
namespace {

Qt::CursorShape CurrentPointer() {
  const QCursor* cursor = QApplication::overrideCursor();
  return cursor ? cursor->shape() : Qt::ArrowCursor;
}

}  // namespace

config::ConfigServices FakeServices::Services() {
  config::ConfigServices services;
  services.registerStartup = [this] {
    calls.push_back("registerStartup");
    return std::string();
  };
  services.testCloud = [this] {
    calls.push_back("testCloud");
    pointers.push_back(CurrentPointer());
    return marks;
  };
  services.listDatabases = [this](const config::DatabaseLogin& login) {
    calls.push_back("listDatabases");
    pointers.push_back(CurrentPointer());
    database_logins.push_back(login);
    return real_list ? real_list(login) : listing;
  };
  services.validarLogon = [this](const std::string& user, const std::string& domain,
                                 const std::string& password) {
    calls.push_back("validarLogon");
    logon_calls.push_back({user, domain, password});
    return logon_valid;
  };
  services.registerSchedule = [this](const config::ScheduleRequest& task) {
    calls.push_back("registerSchedule");
    schedules.push_back(task);
    return std::string();
  };
  services.loggedOnUser = [this] {
    calls.push_back("loggedOnUser");
    return logged_on;
  };
  services.computerName = [this] { return computer_name; };
  services.driveRoots = [this] { return drives; };
  services.browseFolder = [this](QWidget*, const QString& title, const QString&) {
    dialog_titles.push_back(title);
    return folder_chosen;
  };
  services.browseFile = [this](QWidget*, const QString& title) {
    dialog_titles.push_back(title);
    return file_chosen;
  };
  services.openAddress = [this](const QString& address) { addresses.push_back(address); };
  return services;
}

void ConfigWindowTest::TearDown() {
  delete window.data();
  TrayTest::TearDown();
}

config::frmConfig& ConfigWindowTest::Open() { return OpenWith(fakes.Services()); }

config::frmConfig& ConfigWindowTest::OpenWith(config::ConfigServices services) {
  delete window.data();
  window = new config::frmConfig(Context(), std::move(services), &state);
  return *window;
}

config::frmConfig& ConfigWindowTest::OpenWithBothTabs() {
  Set("Resp_Archivo", "1");
  Set("Resp_Base", "1");
  return Open();
}

void ConfigWindowTest::Set(const char* name, const std::string& value) {
  settings::WriteSetting(name, value);
}
std::string ConfigWindowTest::Get(const char* name) { return settings::ReadSetting(name); }

std::vector<QString> ConfigWindowTest::BoxTexts() const {
  std::vector<QString> texts;
  for (const tray::BoxCall& box : boxes) texts.push_back(box.text);
  return texts;
}

}  // namespace norvo::test

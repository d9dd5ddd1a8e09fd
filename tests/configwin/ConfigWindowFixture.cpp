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
  services.registerStartup = [this] { calls.push_back("registerStartup"); };
  services.testCloud = [this] {
    calls.push_back("testCloud");
    pointers.push_back(CurrentPointer());
    return marks;
  };
  services.openDatabase = [this](const std::string& server, const std::string& instance, std::int16_t kind,
                                 const std::string& user, const std::string& password) {
    calls.push_back("openDatabase");
    pointers.push_back(CurrentPointer());
    database_calls.push_back({server, instance, kind, user, password});
    return database_opens;
  };
  services.listDatabases = [this](std::vector<run::DatabaseRow>& rows) {
    calls.push_back("listDatabases");
    rows = databases;
    return list_result;
  };
  services.validarLogon = [this](const std::string& user, const std::string& domain, const std::string& password) {
    calls.push_back("validarLogon");
    logon_calls.push_back({user, domain, password});
    return logon_valid;
  };
  services.registerSchedule = [this](const config::ScheduleRequest& task) {
    calls.push_back("registerSchedule");
    schedules.push_back(task);
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
  if (openDatabase) services.openDatabase = openDatabase;
  if (listDatabases) services.listDatabases = listDatabases;
  return services;
}

void ConfigWindowTest::TearDown() {
  delete window.data();
  TrayTest::TearDown();
}

config::frmConfig& ConfigWindowTest::Open() {
  delete window.data();
  window = new config::frmConfig(fakes.Services(), &state);
  return *window;
}

config::frmConfig& ConfigWindowTest::OpenWithBothTabs() {
  Set("Resp_Archivo", "1");
  Set("Resp_Base", "1");
  return Open();
}

void ConfigWindowTest::Set(const char* name, const std::string& value) { settings::WriteSetting(name, value); }
std::string ConfigWindowTest::Get(const char* name) { return settings::ReadSetting(name); }

std::vector<QString> ConfigWindowTest::BoxTexts() const {
  std::vector<QString> texts;
  for (const tray::BoxCall& box : boxes) texts.push_back(box.text);
  return texts;
}

}  // namespace norvo::test

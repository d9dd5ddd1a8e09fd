#pragma once
// Shared pieces of the configuration window tests: fakes of every service
// the window uses, recording what it was asked, and a fixture that opens the
// window over a private settings store.
#include <QPointer>
#include <QString>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "config/window/ConfigServices.h"
#include "config/window/frmConfig.h"
#include "support/TrayTest.h"
#include "tray/AccessState.h"

namespace norvo::test {

struct LogonCall {
  std::string user, domain, password;
};

// Fakes of the window's services with what they answer and what they saw.
struct FakeServices {
  // Answers.
  config::CloudTestMarks marks;
  // Nothing: the connection does not open.
  std::optional<config::DatabaseListing> listing = config::DatabaseListing{};
  bool logon_valid = true;
  std::string logged_on = "PC-OFICINA\\ana";
  std::string computer_name = "PC-OFICINA";
  // A real listing that replaces the fake when set.
  decltype(config::ConfigServices::listDatabases) real_list;
  std::vector<std::string> drives = {"/", "/srv/datos/"};
  QString folder_chosen;
  QString file_chosen;

  // What the window asked, in order of the calls.
  std::vector<std::string> calls;
  std::vector<config::DatabaseLogin> database_logins;
  std::vector<LogonCall> logon_calls;
  std::vector<config::ScheduleRequest> schedules;
  std::vector<QString> dialog_titles;
  std::vector<QString> addresses;
  // The application's pointer while the slow services ran.
  std::vector<Qt::CursorShape> pointers;

  config::ConfigServices Services();
};

class ConfigWindowTest : public TrayTest {
 protected:
  void TearDown() override;

  // Opens a new window over the current store and the fakes.
  config::frmConfig& Open();
  // Opens it over the given services.
  config::frmConfig& OpenWith(config::ConfigServices services);
  // Opens it with "Archivo" and "Base de dato" ticked, so their tabs are usable.
  config::frmConfig& OpenWithBothTabs();
  // The window's control of that name (e.g. "chkSem(3)"); throws when there is none.
  template <typename T>
  T& Control(const char* name) {
    T* control = window ? window->findChild<T*>(name) : nullptr;
    if (!control) throw std::runtime_error(std::string("no control ") + name);
    return *control;
  }
  void Set(const char* name, const std::string& value);
  std::string Get(const char* name);
  // The texts of the message boxes shown so far.
  std::vector<QString> BoxTexts() const;

  FakeServices fakes;
  tray::AccessState state;
  QPointer<config::frmConfig> window;
};

}  // namespace norvo::test

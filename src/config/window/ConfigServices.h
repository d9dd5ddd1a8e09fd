#pragma once
// What the configuration window asks of the rest of the program: the
// registrations, the cloud test, the database list, the logon check and the
// system's dialogs. The window only shows and stores; everything that talks
// to the system goes through these functions, so tests give it fakes.
// An empty function is a service this build lacks: its step does nothing,
// except the logon check, which then refuses.
#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "config/services/CloudTest.h"
#include "config/services/DatabaseList.h"
#include "tray/ProgramContext.h"

class QWidget;

namespace norvo::config {

// The weekly task of a save, as the window's fields hold it.
struct ScheduleRequest {
  std::string day_text;  // ",MON,FRI,"
  std::string time;      // the time box as shown
  std::string domain;
  std::string user;
  std::string password;
};

struct ConfigServices {
  // Start of the tray program at log-on (every opening). The failure's
  // text; empty when it is registered.
  std::function<std::string()> registerStartup;
  // The whole cloud test; the marks it reached.
  std::function<CloudTestMarks()> testCloud;
  // Connects with the login and lists the databases with the stored
  // selection; nothing when the connection did not open (the user was told why).
  std::function<std::optional<DatabaseListing>(const DatabaseLogin& login)> listDatabases;
  // Whether user, domain and password are a valid logon of this system.
  std::function<bool(const std::string& user, const std::string& domain, const std::string& password)>
      validarLogon;
  // Registers the weekly task. The failure's text; empty when it is registered.
  std::function<std::string(const ScheduleRequest& task)> registerSchedule;
  // The logged-on user as "domain\user".
  std::function<std::string()> loggedOnUser;
  // This computer's name.
  std::function<std::string()> computerName;
  // Root folders of the local drives the user can write to.
  std::function<std::vector<std::string>()> driveRoots;
  // The folder browser: the chosen folder, empty when cancelled.
  std::function<QString(QWidget* parent, const QString& title, const QString& start)> browseFolder;
  // The file-open dialog: the chosen file's full path, empty when cancelled.
  std::function<QString(QWidget* parent, const QString& title)> browseFile;
  // Opens an address with the desktop's browser.
  std::function<void(const QString& address)> openAddress;
};

// The services of this build for the program's context: the system's dialogs
// and facts, the registrations, the cloud test and logon check with the
// provider's configuration, and the database list over one connection that
// every copy of these services shares.
ConfigServices DefaultConfigServices(const tray::ProgramContext& context);

}  // namespace norvo::config

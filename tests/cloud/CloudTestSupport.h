#pragma once
// The cloud browser against its peers: the account-service stand-in, the
// pyftpdlib server holding this computer's cloud folder, and the SMTP server
// that receives error reports. The save dialog is answered by the test.
#include <QDateTime>
#include <QLocale>
#include <memory>
#include <string>
#include <vector>

#include "cloud/SaveDialog.h"
#include "peers/AccountServicePeer.h"
#include "peers/FtpPeer.h"
#include "support/Programs.h"
#include "support/TrayTest.h"
#include "tray/frmMenu.h"

namespace norvo::cloud {
class frmCloud;
}

namespace norvo::test {

inline constexpr const char* kCode = "C0105";
inline constexpr const char* kSupport = "soporte@norvo.test";
inline constexpr const char* kReport = "reportes@norvo.test";

class CloudTest : public TrayTest {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Called before the peers start, to ask for a slow FTP server.
  virtual FtpPeerOptions FtpOptions() const { return {}; }

  // The connection data the service gives, and its size table.
  void SetAccount(const std::string& tipo3, const std::string& tipo8 = "");
  std::string GoodAccount(const std::string& base = "/clientes/") const;
  // A file of the cloud folder with its modification time (local civil time).
  void AddCloudFile(const std::string& name, const std::string& content, const QDateTime& modified);
  std::string CloudPath(const std::string& name) const { return folder_ + "/" + name; }

  // A loaded window, shown as the menu shows it.
  cloud::frmCloud* OpenWindow();
  // The program's one cloud browser, as the menu's factory gives it.
  QWidget* CloudWindow();
  // The save dialog, answered with answer_.
  cloud::SaveDialogFunction SaveDialog();
  // Double-clicks the line of the list.
  void DoubleClickLine(cloud::frmCloud* window, int line);
  std::vector<std::string> ServiceQueries() const { return service_->Queries(); }

  std::unique_ptr<FtpPeer> ftp_;
  std::unique_ptr<AccountServicePeer> service_;
  std::unique_ptr<SmtpPeer> smtp_;
  std::string computer_;
  std::string folder_;
  QString answer_;  // what the save dialog returns
  std::vector<cloud::SaveDialogCall> dialogs_;

 private:
  tray::WindowFactory cloud_window_;
  QLocale previous_locale_;
};

}  // namespace norvo::test

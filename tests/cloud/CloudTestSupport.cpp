#include "CloudTestSupport.h"

#include <sys/time.h>

#include <QApplication>
#include <QListWidget>
#include <QTest>
#include <filesystem>

#include "cloud/CloudWindow.h"
#include "cloud/frmCloud.h"
#include "run/Transfer.h"
#include "settings/Base64.h"
#include "settings/Settings.h"

namespace norvo::test {

void CloudTest::SetUp() {
  TrayTest::SetUp();
  previous_locale_ = QLocale();
  // Day-month-year dates, "." for thousands and "," for decimals.
  QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Chile));
  ftp_ = std::make_unique<FtpPeer>(FtpOptions());
  ASSERT_TRUE(ftp_->Started());
  std::filesystem::create_directories(Path("service").toStdString());
  service_ = std::make_unique<AccountServicePeer>(Path("service").toStdString());
  smtp_ = std::make_unique<SmtpPeer>(kSupport, "clave-smtp", Path("smtp.log"));
  ASSERT_TRUE(smtp_->started());
  WriteProvider({{"service_host", service_->host()},
                 {"smtp_url", smtp_->url().toStdString()},
                 {"smtp_password", "clave-smtp"},
                 {"support_mailbox", kSupport},
                 {"report_mailbox", kReport},
                 {"http_timeout_s", "5"},
                 {"ftp_timeout_s", "10"}});
  settings::WriteSetting("Cliente", settings::EncodeSetting(kCode));
  computer_ = run::GetMachineName();
  folder_ = ftp_->Root() + "/clientes/" + kCode + "/" + computer_;
  std::filesystem::create_directories(folder_);
  SetAccount(GoodAccount());
  std::filesystem::create_directories(Path("out").toStdString());
}

void CloudTest::TearDown() {
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (qobject_cast<cloud::frmCloud*>(window)) window->close();
  }
  QLocale::setDefault(previous_locale_);
  smtp_.reset();
  service_.reset();
  ftp_.reset();
  TrayTest::TearDown();
}

std::string CloudTest::GoodAccount(const std::string& base) const {
  return "Empresa S.A.;" + ftp_->Address() + ";test;secret;" + base + ";";
}

void CloudTest::SetAccount(const std::string& tipo3, const std::string& tipo8) {
  service_->Configure({{"tipo3", tipo3}, {"tipo8", tipo8}});
}

void CloudTest::AddCloudFile(const std::string& name, const std::string& content, const QDateTime& modified) {
  std::string path = CloudPath(name);
  WriteFile(path, content);
  struct timeval times[2] = {{static_cast<time_t>(modified.toSecsSinceEpoch()), 0},
                             {static_cast<time_t>(modified.toSecsSinceEpoch()), 0}};
  ASSERT_EQ(::utimes(path.c_str(), times), 0);
}

cloud::SaveDialogFunction CloudTest::SaveDialog() {
  return [this](const cloud::SaveDialogCall& call) {
    dialogs_.push_back(call);
    return answer_;
  };
}

cloud::frmCloud* CloudTest::OpenWindow() {
  auto* window = new cloud::frmCloud(Context(), SaveDialog());
  window->show();
  return window;
}

QWidget* CloudTest::CloudWindow() {
  if (!cloud_window_) cloud_window_ = cloud::CloudWindowFactory(Context(), SaveDialog());
  return cloud_window_();
}

void CloudTest::DoubleClickLine(cloud::frmCloud* window, int line) {
  QListWidgetItem* item = window->lst->item(line);
  ASSERT_NE(item, nullptr);
  const QPoint center = window->lst->visualItemRect(item).center();
  QTest::mouseClick(window->lst->viewport(), Qt::LeftButton, {}, center);
  QTest::mouseDClick(window->lst->viewport(), Qt::LeftButton, {}, center);
}

}  // namespace norvo::test

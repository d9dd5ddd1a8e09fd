#pragma once
// Shared pieces of the tray tests: the offscreen application, a private
// environment per test (runtime folder, settings store, provider file), a
// recorder of message boxes, the SMTP peer and a driver for the password window.
#include <gtest/gtest.h>

#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tray/MessageBox.h"
#include "tray/ProgramContext.h"

namespace norvo::tray {
class frmClave;
}

namespace norvo::test {

// The one QApplication of the test program, made on first use.
void EnsureApplication();

// Base fixture: a private runtime folder, settings store and provider file,
// and every message box recorded instead of shown.
class TrayTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes the [provider] file with these keys (the rest keep their defaults).
  void WriteProvider(const std::map<std::string, std::string>& keys);
  QString Path(const QString& name) const { return dir_.filePath(name); }
  // The context the program gives its windows: the provider file as it is
  // now, and the boxes recorded.
  tray::ProgramContext Context();

  std::vector<tray::BoxCall> boxes;

 private:
  QTemporaryDir dir_;
};

// aiosmtpd on a free loopback port, requiring AUTH with one login.
class SmtpPeer {
 public:
  SmtpPeer(const QString& user, const QString& password, const QString& log_path);
  ~SmtpPeer();
  bool started() const { return port_ > 0; }
  int port() const { return port_; }
  QString url() const { return QString("smtp://127.0.0.1:%1").arg(port_); }
  // Every logged event ("auth" and "message"), in order.
  std::vector<QJsonObject> Events() const;
  std::vector<QJsonObject> Messages() const;

 private:
  QProcess process_;
  QString log_path_;
  int port_ = 0;
};

// Acts on the password window as soon as it is shown modally. The action
// must close the window, or the modal loop would never end.
class PasswordWindowDriver {
 public:
  explicit PasswordWindowDriver(std::function<void(tray::frmClave&)> action);
  ~PasswordWindowDriver();
  int times_shown() const { return shown_; }
  QString last_caption() const { return caption_; }

 private:
  QTimer timer_;
  std::function<void(tray::frmClave&)> action_;
  int shown_ = 0;
  QString caption_;
};

// Types the text into the password box and presses Enter.
void TypeAndEnter(tray::frmClave& window, const QString& text);

// Decodes standard Base64 (the peer's log fields).
QByteArray FromBase64(const QJsonObject& record, const char* field);

}  // namespace norvo::test

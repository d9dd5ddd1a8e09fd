#include "support/TrayTest.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QLineEdit>
#include <QTest>
#include <cstdlib>

#include "support/Programs.h"
#include "tray/frmClave.h"

namespace norvo::test {

void EnsureApplication() {
  if (QApplication::instance()) return;
  static int argc = 1;
  static char name[] = "tray_tests";
  static char* argv[] = {name, nullptr};
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static QApplication* app = new QApplication(argc, argv);
  app->setQuitOnLastWindowClosed(false);
}

void TrayTest::SetUp() {
  ASSERT_TRUE(dir_.isValid());
  QFile::setPermissions(dir_.path(),
                        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  setenv("XDG_RUNTIME_DIR", dir_.path().toUtf8().constData(), 1);
  setenv("NORVO_REGISTRY", Path("registry.db").toUtf8().constData(), 1);
  setenv("NORVO_PROVIDER_CONF", Path("provider.ini").toUtf8().constData(), 1);
  unsetenv("NORVO_MESSAGES");
  WriteProvider({});
  EnsureApplication();
}

void TrayTest::TearDown() {
  // Windows that closed themselves are deleted by the event loop.
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TrayTest::WriteProvider(const std::map<std::string, std::string>& keys) {
  QFile file(Path("provider.ini"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("[provider]\n");
  for (const auto& [key, value] : keys) file.write((key + " = " + value + "\n").c_str());
}

tray::ProgramContext TrayTest::Context() {
  tray::ProgramContext context;
  std::string error;
  std::optional<settings::ProviderConfig> provider =
      settings::LoadProviderConfigFrom(Path("provider.ini").toStdString(), &error);
  EXPECT_TRUE(provider) << error;
  if (provider) context.provider = *provider;
  context.messageBox = [this](const tray::BoxCall& call) { boxes.push_back(call); };
  return context;
}

SmtpPeer::SmtpPeer(const QString& user, const QString& password, const QString& log_path)
    : log_path_(log_path) {
  process_.setProgram("/usr/bin/python3");
  process_.setArguments({QString::fromStdString(PeerPath("smtp_server.py")), "--log", log_path, "--user",
                         user, "--password", password});
  process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  process_.start();
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < 10000 && process_.state() != QProcess::NotRunning) {
    if (!process_.canReadLine() && !process_.waitForReadyRead(200)) continue;
    QByteArray line = process_.readLine().trimmed();
    if (line.startsWith("PORT ")) {
      port_ = line.mid(5).toInt();
      break;
    }
  }
}

SmtpPeer::~SmtpPeer() {
  process_.terminate();
  if (!process_.waitForFinished(3000)) {
    process_.kill();
    process_.waitForFinished(3000);
  }
}

std::vector<QJsonObject> SmtpPeer::Events() const {
  std::vector<QJsonObject> events;
  QFile file(log_path_);
  if (!file.open(QIODevice::ReadOnly)) return events;
  while (!file.atEnd()) {
    QByteArray line = file.readLine().trimmed();
    if (!line.isEmpty()) events.push_back(QJsonDocument::fromJson(line).object());
  }
  return events;
}

std::vector<QJsonObject> SmtpPeer::Messages() const {
  std::vector<QJsonObject> messages;
  for (const QJsonObject& event : Events()) {
    if (event["event"].toString() == "message") messages.push_back(event);
  }
  return messages;
}

PasswordWindowDriver::PasswordWindowDriver(std::function<void(tray::frmClave&)> action)
    : action_(std::move(action)) {
  timer_.setInterval(5);
  QObject::connect(&timer_, &QTimer::timeout, [this] {
    auto* window = qobject_cast<tray::frmClave*>(QApplication::activeModalWidget());
    if (!window || window->property("driven").toBool()) return;
    window->setProperty("driven", true);
    ++shown_;
    caption_ = window->windowTitle();
    action_(*window);
  });
  timer_.start();
}

PasswordWindowDriver::~PasswordWindowDriver() { timer_.stop(); }

void TypeAndEnter(tray::frmClave& window, const QString& text) {
  window.txtClave->clear();
  QTest::keyClicks(window.txtClave, text);
  QTest::keyClick(window.txtClave, Qt::Key_Return);
}

QByteArray FromBase64(const QJsonObject& record, const char* field) {
  return QByteArray::fromBase64(record[field].toString().toLatin1());
}

}  // namespace norvo::test

// Under LeakSanitizer: fontconfig keeps a few allocations for the life of the
// process when Qt loads fonts; they are not ours to free.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig\n"; }

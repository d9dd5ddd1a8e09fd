// The program Norvo itself, run offscreen: one instance per user, and a lock
// left behind by a killed instance does not keep the next one out.
#include <QElapsedTimer>
#include <QFile>
#include <QProcessEnvironment>
#include <QThread>

#include "support/TrayTest.h"
#include "tray/SingleInstance.h"

namespace norvo::test {
namespace {

class SingleInstanceTest : public TrayTest {
 protected:
  void Start(QProcess& process) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("NORVO_MESSAGES", "stderr");
    process.setProcessEnvironment(env);  // XDG_RUNTIME_DIR and the store are this test's own
    process.start(QString(NORVO_BIN_DIR) + "/Norvo", QStringList{});
    ASSERT_TRUE(process.waitForStarted(5000));
  }
  // The PID written into the lock file, once a program holds it.
  qint64 LockOwner(qint64 expected) {
    QElapsedTimer clock;
    clock.start();
    qint64 pid = 0;
    while (clock.elapsed() < 10000) {
      QFile lock(Path("norvo-tray.lock"));
      if (lock.open(QIODevice::ReadOnly)) pid = lock.readLine().trimmed().toLongLong();
      if (pid == expected) break;
      QThread::msleep(20);
    }
    return pid;
  }
  void Stop(QProcess& process) {
    process.kill();
    process.waitForFinished(5000);
  }
};

TEST_F(SingleInstanceTest, ASecondStartIsRefusedAndAKilledFirstDoesNotLockOut) {
  ASSERT_EQ(tray::SingleInstance::DefaultLockPath(), Path("norvo-tray.lock"));
  QProcess first;
  Start(first);
  ASSERT_EQ(LockOwner(first.processId()), first.processId());

  QProcess second;
  Start(second);
  ASSERT_TRUE(second.waitForFinished(10000));
  EXPECT_EQ(second.exitCode(), 1);
  const QString said = QString::fromUtf8(second.readAllStandardError());
  EXPECT_TRUE(said.contains("Norvo Backup: El programa se esta ejecutando"));
  EXPECT_FALSE(said.contains("English")) << said.toStdString();  // Qt's own texts were found in Spanish
  EXPECT_EQ(first.state(), QProcess::Running);
  EXPECT_EQ(LockOwner(first.processId()), first.processId());

  Stop(first);  // SIGKILL: the lock file stays behind
  ASSERT_TRUE(QFile::exists(Path("norvo-tray.lock")));
  QProcess third;
  Start(third);
  EXPECT_EQ(LockOwner(third.processId()), third.processId());
  QThread::msleep(200);
  EXPECT_EQ(third.state(), QProcess::Running);
  Stop(third);
}

}  // namespace
}  // namespace norvo::test

// The tray's watch over the copies, with a stand-in for Norvo_T: a missed
// run is caught up once an hour at most and never doubled, and the tip, the
// warning and the notifications tell how old the last complete copy is.
#include <QFile>
#include <QTest>
#include <memory>

#include "platform/InstanceLock.h"
#include "platform/System.h"
#include "settings/Settings.h"
#include "support/TempDir.h"
#include "support/TrayTest.h"
#include "tray/CopyWatch.h"
#include "tray/WakeNotice.h"
#include "tray/frmMenu.h"

namespace norvo::test {
namespace {

using tray::CatchUpOutcome;

class CopyWatchTest : public TrayTest {
 protected:
  void SetUp() override {
    TrayTest::SetUp();
    ::tzset();
    menu = std::make_unique<tray::frmMenu>(Context());
    // A stand-in for Norvo_T that notes each start and its argument count.
    QFile script(Path("Norvo_T"));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\necho \"start $#\" >> \"$0.log\"\n");
    script.close();
    script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    menu->setRunProgram(Path("Norvo_T").toStdString());
    watch = menu->copyWatch();
    watch->setClock([this] { return now; });
    watch->setNotifier([this](const QString& title, const QString& text, bool warning) {
      notes << title + "|" + text + (warning ? "|!" : "");
    });
    settings::WriteSetting("Resp_ProgSem", ",FRI,");
    settings::WriteSetting("Resp_ProgHora", "23:00");
  }
  void TearDown() override {
    menu.reset();
    TrayTest::TearDown();
  }

  // The lines the stand-in wrote, once it wrote `count` of them.
  QStringList Starts(int count) {
    QStringList lines;
    for (int waited = 0; waited < 10000 && lines.size() < count; waited += 20) {
      QFile log(Path("Norvo_T.log"));
      if (log.open(QIODevice::ReadOnly))
        lines = QString::fromUtf8(log.readAll()).split('\n', Qt::SkipEmptyParts);
      if (lines.size() < count) QTest::qWait(20);
    }
    return lines;
  }

  ScopedEnv tz_{"TZ", "UTC"};
  // Sunday 8 March 2026, 12:00: Friday's 23:00 run is the latest one.
  std::time_t now = platform::FromLocalTime(std::tm{0, 0, 12, 8, 2, 126, 0, 0, -1, 0, nullptr});
  std::unique_ptr<tray::frmMenu> menu;
  tray::CopyWatch* watch = nullptr;
  QStringList notes;
};

TEST_F(CopyWatchTest, AStaleRunStartsOneCatchUpAndTheNextHourlyCheckTriesAgain) {
  settings::WriteSetting("Resp_RespFecha", "27-02-2026 23:05");
  EXPECT_EQ(watch->CheckForMissedRun(), CatchUpOutcome::Started);
  EXPECT_EQ(Starts(1), QStringList{"start 0"});
  // The stand-in ended before the account lookup, as a run without network does.
  now += 20 * 60;
  EXPECT_EQ(watch->CheckForMissedRun(), CatchUpOutcome::TriedThisHour);  // e.g. on waking
  EXPECT_EQ(watch->HourlyCheck(), CatchUpOutcome::Started);
  EXPECT_EQ(Starts(2), QStringList({"start 0", "start 0"}));
  EXPECT_EQ(notes, QStringList({"Norvo Backup|Aún no hay un respaldo completo|!",
                                "Norvo Backup|Se inicia el respaldo pendiente",
                                "Norvo Backup|Se inicia el respaldo pendiente"}));
}

TEST_F(CopyWatchTest, AFreshRunOrOneInProgressStartsNoneAndAMissingProgramNoLoop) {
  settings::WriteSetting("Resp_RespFecha", "06-03-2026 23:40");
  EXPECT_EQ(watch->CheckForMissedRun(), CatchUpOutcome::NotMissed);
  settings::WriteSetting("Resp_RespFecha", "27-02-2026 23:05");
  std::unique_ptr<platform::InstanceLock> running;
  ASSERT_EQ(platform::TryInstanceLock(platform::RunLockFile(), running), platform::LockOutcome::Acquired);
  EXPECT_EQ(watch->HourlyCheck(), CatchUpOutcome::RunGoing);
  settings::WriteSetting("Resp_ProgSem", ",");
  EXPECT_EQ(watch->HourlyCheck(), CatchUpOutcome::NoSchedule);
  EXPECT_FALSE(QFile::exists(Path("Norvo_T.log")));
  // A program that cannot be started is said, and tried no more often than a run that ended.
  settings::WriteSetting("Resp_ProgSem", ",FRI,");
  running.reset();
  menu->setRunProgram(Path("missing/Norvo_T").toStdString());
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(watch->HourlyCheck(), CatchUpOutcome::StartFailed);
  EXPECT_EQ(watch->CheckForMissedRun(), CatchUpOutcome::TriedThisHour);
  EXPECT_NE(::testing::internal::GetCapturedStderr().find("cannot start the missed backup run"),
            std::string::npos);
}

TEST_F(CopyWatchTest, TheTipTheWarningAndTheOldCopyNoticeOncePerLogOn) {
  const qint64 normal = menu->trayIcon()->icon().cacheKey();
  settings::WriteSetting("Resp_ProgSem", "");
  watch->RefreshStatus();
  EXPECT_EQ(menu->trayIcon()->toolTip(), "Norvo Backup\nÚltimo respaldo completo: ninguno");
  EXPECT_FALSE(watch->warningShown());  // nothing is scheduled: nothing is late

  settings::WriteSetting("Resp_ProgSem", ",FRI,");
  settings::WriteSetting("Resp_RespCompleta", "27-02-2026 23:05");
  watch->RefreshStatus();
  watch->RefreshStatus();
  EXPECT_EQ(menu->trayIcon()->toolTip(), "Norvo Backup\nÚltimo respaldo completo: 27-02-2026 23:05");
  EXPECT_TRUE(watch->warningShown());
  EXPECT_NE(menu->trayIcon()->icon().cacheKey(), normal);
  EXPECT_EQ(notes, QStringList{"Norvo Backup|No hay un respaldo completo desde el 27-02-2026 23:05|!"});

  settings::WriteSetting("Resp_RespCompleta", "06-03-2026 23:30");
  watch->RefreshStatus();
  EXPECT_FALSE(watch->warningShown());
  EXPECT_EQ(menu->trayIcon()->icon().cacheKey(), normal);
  EXPECT_EQ(notes.size(), 1);
}

TEST_F(CopyWatchTest, ValuesThatDoNotParseStartNoLoopAndAreSaidOnce) {
  settings::WriteSetting("Resp_ProgHora", "23h");
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(watch->CheckForMissedRun(), CatchUpOutcome::NoSchedule);
  EXPECT_EQ(watch->HourlyCheck(), CatchUpOutcome::NoSchedule);
  settings::WriteSetting("Resp_ProgHora", "23:00");
  settings::WriteSetting("Resp_RespFecha", "01-01-2030 00:00");  // written by a wrong clock
  EXPECT_EQ(watch->CheckForMissedRun(), CatchUpOutcome::Started);
  EXPECT_EQ(watch->CheckForMissedRun(), CatchUpOutcome::TriedThisHour);
  const std::string said = ::testing::internal::GetCapturedStderr();
  for (const char* line :
       {"Resp_ProgHora \"23h\" is not a time of day", "Resp_RespFecha \"01-01-2030 00:00\""}) {
    const std::size_t first = said.find(line);
    EXPECT_NE(first, std::string::npos) << said;
    EXPECT_EQ(said.find(line, first + 1), std::string::npos) << said;
  }
  Starts(1);  // the stand-in has written before its folder goes
}

TEST_F(CopyWatchTest, WithoutANotificationAreaTheNoticesGoToStderr) {
  // The offscreen test platform has no notification area, as some desktops do not.
  tray::CopyWatch bare(menu->trayIcon());
  bare.setClock([this] { return now; });
  bare.setRunProgram(Path("Norvo_T").toStdString());
  ::testing::internal::CaptureStderr();
  bare.RefreshStatus();
  EXPECT_EQ(bare.CheckForMissedRun(), CatchUpOutcome::Started);
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_TRUE(bare.warningShown());
  EXPECT_NE(said.find("no notification area to show: Aún no hay un respaldo completo"), std::string::npos)
      << said;
  EXPECT_NE(said.find("no notification area to show: Se inicia el respaldo pendiente"), std::string::npos)
      << said;
  EXPECT_EQ(Starts(1), QStringList{"start 0"});
}

// Waking is heard on a bus of the test's own, where logind's signal is sent
// as logind sends it; going to sleep is not waking.
TEST_F(CopyWatchTest, WakingFromSleepIsHeardOnTheBus) {
  QProcess bus;
  bus.start("dbus-daemon",
            {"--session", "--nofork", "--print-address=1", "--address=unix:path=" + Path("bus")});
  ASSERT_TRUE(bus.waitForReadyRead(10000)) << "dbus-daemon (package dbus-daemon) did not start";
  const QString address = QString::fromUtf8(bus.readLine()).trimmed();
  int woke = 0;
  {
    tray::WakeNotice notice(address, "*");
    ASSERT_TRUE(notice.available());
    QObject::connect(&notice, &tray::WakeNotice::woke, [&] { ++woke; });
    for (const char* going_to_sleep : {"boolean:true", "boolean:false"}) {
      ASSERT_EQ(
          QProcess::execute("dbus-send", {"--bus=" + address, "--type=signal", "/org/freedesktop/login1",
                                          "org.freedesktop.login1.Manager.PrepareForSleep", going_to_sleep}),
          0);
    }
    for (int waited = 0; waited < 10000 && woke == 0; waited += 20) QTest::qWait(20);
  }
  EXPECT_EQ(woke, 1);
  bus.terminate();
  bus.waitForFinished(5000);
}

}  // namespace
}  // namespace norvo::test

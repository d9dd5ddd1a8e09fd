// A save registers the weekly task through the program's own registration:
// the crontab stand-in ends up with one task line, replaced by the next save.
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>

#include "ConfigWindowFixture.h"
#include "platform/LogonCheck.h"
#include "platform/System.h"

namespace norvo::test {
namespace {

class ScheduleTest : public ConfigWindowTest {
 protected:
  void SetUp() override {
    ConfigWindowTest::SetUp();
    ASSERT_TRUE(QDir().mkpath(Path("cron")));
    setenv("NORVO_CRONTAB", NORVO_SOURCE_DIR "/tests/peers/crontab_standin.sh", 1);
    setenv("CRONTAB_STANDIN_DIR", Path("cron").toUtf8().constData(), 1);
  }
  void TearDown() override {
    unsetenv("NORVO_CRONTAB");
    unsetenv("CRONTAB_STANDIN_DIR");
    ConfigWindowTest::TearDown();
  }
  QStringList TaskLines(const std::string& user) {
    QFile table(Path(QString::fromStdString("cron/table." + user)));
    if (!table.open(QIODevice::ReadOnly)) return {};
    QStringList lines;
    for (const QString& line : QString::fromUtf8(table.readAll()).split('\n')) {
      if (line.endsWith("# NORVO BACKUP")) lines << line;
    }
    return lines;
  }
};

TEST_F(ScheduleTest, EachSaveLeavesOneTaskLineWithItsDays) {
  const platform::LogonAccount account = platform::LoggedOnAccount();
  config::ConfigServices services = fakes.Services();
  const config::ConfigServices real = config::DefaultConfigServices(Context());
  services.registerSchedule = real.registerSchedule;
  services.loggedOnUser = real.loggedOnUser;
  OpenWith(services);
  EXPECT_EQ(Control<QLineEdit>("txtWinUsr").text().toStdString(), account.user);
  EXPECT_EQ(Control<QLineEdit>("txtWinDom").text().toStdString(), platform::ComputerName());
  Control<QCheckBox>("chkSem(0)").setChecked(true);
  Control<QCheckBox>("chkSem(4)").setChecked(true);
  Control<QLineEdit>("mskProHora").setText("23:30");
  Control<QLineEdit>("txtCopias").setText("3");
  ASSERT_TRUE(window->Guardar());
  const QString program = QString::fromStdString(platform::ProgramFolder() + "Norvo_T");
  EXPECT_EQ(TaskLines(account.user), QStringList({"30 23 * * 1,5 '" + program + "' # NORVO BACKUP"}));

  Control<QCheckBox>("chkSem(0)").setChecked(false);
  Control<QCheckBox>("chkSem(4)").setChecked(false);
  Control<QCheckBox>("chkSem(6)").setChecked(true);
  Control<QLineEdit>("mskProHora").setText("07:05");
  ASSERT_TRUE(window->Guardar());
  EXPECT_EQ(TaskLines(account.user), QStringList({"5 7 * * 0 '" + program + "' # NORVO BACKUP"}));
  EXPECT_TRUE(boxes.empty());
}

TEST_F(ScheduleTest, ATaskTheSchedulerRefusesStillSavesTheSettings) {
  config::ConfigServices services = fakes.Services();
  services.registerSchedule = config::DefaultConfigServices(Context()).registerSchedule;
  OpenWith(services);
  Control<QCheckBox>("chkSem(2)").setChecked(true);
  Control<QLineEdit>("txtCopias").setText("3");
  // The time box left unfilled: no crontab line can be written for it.
  EXPECT_TRUE(window->Guardar());
  EXPECT_EQ(Get("Resp_ProgHora"), "__:__");
  EXPECT_EQ(Get("Resp_ProgSem"), ",WED,");
  EXPECT_TRUE(boxes.empty());
}

}  // namespace
}  // namespace norvo::test

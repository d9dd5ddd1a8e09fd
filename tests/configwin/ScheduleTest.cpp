// A save registers the weekly task through the program's own registration:
// the crontab stand-in ends up with one task line, replaced by the next save.
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>

#include "ConfigWindowFixture.h"
#include "platform/LogonCheck.h"
#include "platform/System.h"
#include "support/RegistrationFixtures.h"
#include "support/TempDir.h"

namespace norvo::test {
namespace {

class ScheduleTest : public ConfigWindowTest, protected CrontabStandIn {
 protected:
  QStringList TaskLines(const std::string& user) {
    QStringList lines;
    for (const QString& line : QString::fromStdString(Table(user)).split('\n')) {
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
  // The run finds the same settings store and provider file as this program.
  const QString command = "NORVO_REGISTRY='" + Path("registry.db") + "' NORVO_PROVIDER_CONF='" +
                          Path("provider.ini") + "' '" +
                          QString::fromStdString(platform::ProgramFolder() + "Norvo_T") + "' # NORVO BACKUP";
  EXPECT_EQ(TaskLines(account.user), QStringList({"30 23 * * 1,5 " + command}));

  Control<QCheckBox>("chkSem(0)").setChecked(false);
  Control<QCheckBox>("chkSem(4)").setChecked(false);
  Control<QCheckBox>("chkSem(6)").setChecked(true);
  Control<QLineEdit>("mskProHora").setText("07:05");
  ASSERT_TRUE(window->Guardar());
  EXPECT_EQ(TaskLines(account.user), QStringList({"5 7 * * 0 " + command}));
  EXPECT_TRUE(boxes.empty());
}

TEST_F(ScheduleTest, ATaskTheSchedulerRefusesSavesTheSettingsAndSaysSo) {
  config::ConfigServices services = fakes.Services();
  services.registerSchedule = config::DefaultConfigServices(Context()).registerSchedule;
  OpenWith(services);
  Control<QCheckBox>("chkSem(2)").setChecked(true);
  Control<QLineEdit>("txtCopias").setText("3");
  // The time box left unfilled: no crontab line can be written for it.
  EXPECT_TRUE(window->Guardar());
  EXPECT_EQ(Get("Resp_ProgHora"), "__:__");
  EXPECT_EQ(Get("Resp_ProgSem"), ",WED,");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].icon, tray::BoxIcon::Critical);
  EXPECT_EQ(boxes[0].title, "Configuración");
  EXPECT_TRUE(boxes[0].text.startsWith("La configuración se guardó, pero la programación no cambió."));
  EXPECT_TRUE(boxes[0].text.endsWith("la hora \"__:__\" no es una hora del día (hh:mm)"))
      << boxes[0].text.toStdString();

  // The task tool's own refusal comes in its words.
  Control<QLineEdit>("mskProHora").setText("10:00");
  {
    ScopedEnv refuse("CRONTAB_STANDIN_REFUSE", "1");
    EXPECT_TRUE(window->Guardar());
  }
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_TRUE(boxes[1].text.endsWith("crontab: errors in crontab file, can't install."))
      << boxes[1].text.toStdString();
  EXPECT_EQ(Get("Resp_ProgHora"), "10:00");
}

TEST_F(ScheduleTest, AStartAtLogOnEntryThatCannotBeWrittenIsSaid) {
  const QString config_home = Path("config-file");
  QFile blocker(config_home);  // a file where the folder should be
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  config::ConfigServices services = fakes.Services();
  services.registerStartup = config::DefaultConfigServices(Context()).registerStartup;
  {
    ScopedEnv config_home_env("XDG_CONFIG_HOME", config_home.toStdString());
    OpenWith(services);
  }
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].icon, tray::BoxIcon::Critical);
  EXPECT_EQ(boxes[0].title, "Configuración");
  EXPECT_TRUE(
      boxes[0].text.startsWith("No se pudo registrar el inicio de Norvo Backup al iniciar la sesión: "))
      << boxes[0].text.toStdString();
  EXPECT_TRUE(boxes[0].text.contains(config_home)) << boxes[0].text.toStdString();
  EXPECT_FALSE(window.isNull());  // the window opens all the same
}

}  // namespace
}  // namespace norvo::test

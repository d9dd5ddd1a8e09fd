// frmMenu: the menu, the password gate in front of four items, the immediate
// backup run and Exit.
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTranslator>

#include "platform/System.h"
#include "settings/Settings.h"
#include "support/TrayTest.h"
#include "tray/LinkLabel.h"
#include "tray/QtSpanish.h"
#include "tray/frmClave.h"
#include "tray/frmMenu.h"

namespace norvo::test {
namespace {

class MenuTest : public TrayTest {
 protected:
  void SetUp() override {
    TrayTest::SetUp();
    menu = std::make_unique<tray::frmMenu>(Context());
    menu->setQuitFunction([this] { ++quits; });
    menu->setConfigWindowFactory([this] {
      ++configs_made;
      auto* window = new QWidget;
      window->setAttribute(Qt::WA_DeleteOnClose);
      return window;
    });
    menu->setMailSender([this](const settings::ProviderConfig&, const net::MailMessage&, std::string*) {
      ++mails;
      return true;
    });
  }
  void TearDown() override {
    for (QWidget* window : QApplication::topLevelWidgets()) window->close();
    menu.reset();
    TrayTest::TearDown();
  }

  // A stand-in for Norvo_T: notes its start and argument count, waits, notes its end.
  QString WriteRunProgram(const char* pause) {
    QString path = Path("Norvo_T");
    QFile script(path);
    script.open(QIODevice::WriteOnly);
    // Ends as a run with a failed item does (status 2), which the menu ignores.
    script.write(QByteArray("#!/bin/sh\necho $# > \"$0.started\"\nsleep ") + pause +
                 "\ntouch \"$0.done\"\nexit 2\n");
    script.close();
    script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    menu->setRunProgram(path.toStdString());
    return path;
  }

  std::unique_ptr<tray::frmMenu> menu;
  int quits = 0;
  int configs_made = 0;
  int mails = 0;
};

TEST_F(MenuTest, IconTipAndTheSixEntriesInOrder) {
  EXPECT_EQ(menu->trayIcon()->toolTip(), "Norvo Backup");
  EXPECT_FALSE(menu->trayIcon()->icon().isNull());
  EXPECT_EQ(menu->mnupopup->title(), "popup");
  QStringList names, captions;
  for (QAction* action : menu->mnupopup->actions()) {
    names << action->objectName();
    captions << (action->isSeparator() ? "-" : action->text());
  }
  EXPECT_EQ(names,
            QStringList({"mnuConfig", "mnuRespHaora", "mnuCloud", "mnuLinea1", "mnuAcercade", "mnuExit"}));
  EXPECT_EQ(captions,
            QStringList({"Configuración", "Respaldar ahora", "Cloud", "-", "Acerca de...", "Exit"}));
  menu->Colocar_Tray();
  EXPECT_FALSE(menu->isVisible());
  // A double-click on the icon opens nothing.
  menu->trayIcon_Activated(QSystemTrayIcon::DoubleClick);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  EXPECT_EQ(configs_made, 0);
}

TEST_F(MenuTest, TheMenuOpensWhenTheRightButtonIsReleasedOverTheIcon) {
  EXPECT_EQ(menu->trayIcon()->contextMenu(), nullptr);  // Qt's own would open on the press
  QWidget icon;  // stands in for the icon window Qt draws in an X11 tray
  icon.resize(24, 24);
  icon.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&icon));
  QTest::mousePress(&icon, Qt::RightButton);
  menu->trayIcon_Activated(QSystemTrayIcon::Context);  // what Qt reports on the press
  EXPECT_FALSE(menu->mnupopup->isVisible());
  QTest::mouseRelease(&icon, Qt::RightButton);
  EXPECT_TRUE(menu->mnupopup->isVisible());
  menu->mnupopup->hide();
  // Released away from the icon: no menu.
  QTest::mousePress(&icon, Qt::RightButton);
  menu->trayIcon_Activated(QSystemTrayIcon::Context);
  QTest::mouseRelease(&icon, Qt::RightButton, {}, QPoint(200, 200));
  EXPECT_FALSE(menu->mnupopup->isVisible());
  // A tray host that reports the click once the button is up: the menu opens at once.
  menu->trayIcon_Activated(QSystemTrayIcon::Context);
  EXPECT_TRUE(menu->mnupopup->isVisible());
  menu->mnupopup->hide();
}

TEST_F(MenuTest, ThePasswordWindowOpensInTheMiddleOfTheScreen) {
  settings::WriteSetting("Clave", "x");
  QPoint centre, screen_centre;
  PasswordWindowDriver driver([&](tray::frmClave& w) {
    centre = w.geometry().center();
    screen_centre = w.screen()->availableGeometry().center();
    w.reject();
  });
  menu->mnuConfig->trigger();
  ASSERT_EQ(driver.times_shown(), 1);
  EXPECT_LE((centre - screen_centre).manhattanLength(), 2) << centre.x() << "," << centre.y();
}

TEST_F(MenuTest, QtsOwnButtonsAndDialogsSpeakSpanish) {
  std::string why;
  QTranslator* spanish = tray::InstallQtSpanish(*QCoreApplication::instance(), &why);
  ASSERT_NE(spanish, nullptr) << why;
  QMessageBox box(QMessageBox::Critical, "Norvo", "x", QMessageBox::Ok);
  EXPECT_EQ(box.button(QMessageBox::Ok)->text(), "Aceptar");
  QFileDialog dialog;
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  EXPECT_EQ(dialog.labelText(QFileDialog::Accept), "&Guardar");
  EXPECT_EQ(dialog.labelText(QFileDialog::Reject), "Cancelar");
  EXPECT_EQ(dialog.labelText(QFileDialog::LookIn), "Ver en:");
  QCoreApplication::removeTranslator(spanish);
  delete spanish;
}

TEST_F(MenuTest, WithoutPasswordTheGuardedItemsActAtOnce) {
  PasswordWindowDriver driver([](tray::frmClave& w) { w.reject(); });
  menu->mnuConfig->trigger();
  EXPECT_EQ(configs_made, 1);
  menu->mnuCloud->trigger();  // no cloud browser in this build: nothing happens, nothing breaks
  QString program = WriteRunProgram("0");
  menu->mnuRespHaora->trigger();
  EXPECT_TRUE(QFile::exists(program + ".done"));
  menu->mnuExit->trigger();
  EXPECT_EQ(quits, 1);
  EXPECT_EQ(driver.times_shown(), 0);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(MenuTest, CaptionsOfTheGateAndAboutNeverAsks) {
  settings::WriteSetting("Clave", "Secreta");
  PasswordWindowDriver driver([](tray::frmClave& w) { w.cmdCancelar_Click(); });
  menu->mnuExit->trigger();
  EXPECT_EQ(driver.last_caption(), "Salida");
  EXPECT_EQ(quits, 0);  // cancelled: the program keeps running
  for (QAction* item : {menu->mnuConfig, menu->mnuCloud, menu->mnuRespHaora}) {
    item->trigger();
    EXPECT_EQ(driver.last_caption(), "Ingreso") << item->objectName().toStdString();
  }
  EXPECT_EQ(driver.times_shown(), 4);
  EXPECT_EQ(configs_made, 0);
  menu->mnuAcercade->trigger();
  EXPECT_EQ(driver.times_shown(), 4);
  ASSERT_NE(menu->acercade(), nullptr);
  EXPECT_TRUE(menu->acercade()->isVisible());
  EXPECT_TRUE(boxes.empty());
}

TEST_F(MenuTest, TwoWrongEntriesThenTheRightOneIsAccepted) {
  settings::WriteSetting("Clave", "Secreta");
  int intentos_before_right = -1;
  PasswordWindowDriver driver([&](tray::frmClave& w) {
    TypeAndEnter(w, "secreta");  // other letter case: wrong
    TypeAndEnter(w, "Secret");
    intentos_before_right = w.intentos();
    TypeAndEnter(w, "Secreta");
  });
  menu->mnuConfig->trigger();
  EXPECT_EQ(intentos_before_right, 2);
  EXPECT_EQ(configs_made, 1);
  ASSERT_EQ(boxes.size(), 2u);
  for (const tray::BoxCall& box : boxes) {
    EXPECT_EQ(box.text, "Clave mal ingresada");
    EXPECT_EQ(box.icon, tray::BoxIcon::Critical);
    EXPECT_EQ(box.title, "Ingreso");
  }
}

TEST_F(MenuTest, ThreeStrikesCloseTheWindowAndTheNextActionStartsAfresh) {
  settings::WriteSetting("Clave", "Secreta");
  bool open_after_two = false;
  {
    PasswordWindowDriver strikes([&](tray::frmClave& w) {
      TypeAndEnter(w, "uno");
      w.cmdAceptar_Click();  // the button, with the text still in the box
      open_after_two = w.isVisible();
      TypeAndEnter(w, "tres");
    });
    menu->mnuExit->trigger();
  }
  EXPECT_TRUE(open_after_two);
  EXPECT_EQ(boxes.size(), 3u);
  EXPECT_EQ(quits, 0);

  // A new window: empty box, no attempts counted, link visible. Escape cancels.
  QString text_at_start = "?";
  int intentos_at_start = -1;
  bool link_visible = false;
  PasswordWindowDriver fresh([&](tray::frmClave& w) {
    text_at_start = w.txtClave->text();
    intentos_at_start = w.intentos();
    link_visible = w.Label2->isVisibleTo(&w);
    QTest::keyClick(w.txtClave, Qt::Key_Escape);
  });
  menu->mnuExit->trigger();
  EXPECT_EQ(text_at_start, "");
  EXPECT_EQ(intentos_at_start, 0);
  EXPECT_TRUE(link_visible);
  EXPECT_EQ(quits, 0);
  EXPECT_EQ(boxes.size(), 3u);
}

TEST_F(MenuTest, ThePasswordIsReadAgainAtEveryAction) {
  PasswordWindowDriver driver([](tray::frmClave& w) { TypeAndEnter(w, "nueva"); });
  menu->mnuConfig->trigger();
  EXPECT_EQ(driver.times_shown(), 0);
  settings::WriteSetting("Clave", "nueva");
  menu->mnuCloud->trigger();
  EXPECT_EQ(driver.times_shown(), 1);
  settings::WriteSetting("Clave", "");
  menu->mnuExit->trigger();
  EXPECT_EQ(driver.times_shown(), 1);
  EXPECT_EQ(quits, 1);
}

TEST_F(MenuTest, AnOpenConfigurationWindowIsAskedForButNotMadeAgain) {
  menu->setConfigWindowFactory([this] {
    ++configs_made;
    auto* window = new QWidget;
    window->setObjectName("FRMCONFIG");  // names compare without regard to case
    window->setAttribute(Qt::WA_DeleteOnClose);
    return window;
  });
  menu->mnuConfig->trigger();
  ASSERT_EQ(configs_made, 1);
  settings::WriteSetting("Clave", "x");
  PasswordWindowDriver driver([](tray::frmClave& w) { TypeAndEnter(w, "x"); });
  menu->mnuConfig->trigger();
  EXPECT_EQ(driver.times_shown(), 1);
  EXPECT_EQ(configs_made, 1);
}

TEST_F(MenuTest, RespaldarAhoraWaitsForTheRunWithTheMenuUnavailable) {
  QString program = WriteRunProgram("0.5");
  bool ticked = false, started_seen = false, menu_enabled_during_run = true;
  QTimer probe;
  probe.setInterval(20);
  QObject::connect(&probe, &QTimer::timeout, [&] {
    if (!QFile::exists(program + ".started")) return;
    ticked = true;  // the event loop runs during the wait: windows keep painting
    started_seen = true;
    for (QAction* action : menu->mnupopup->actions()) menu_enabled_during_run &= action->isEnabled();
  });
  probe.start();
  menu->mnuRespHaora->trigger();
  probe.stop();
  EXPECT_TRUE(QFile::exists(program + ".done"));  // the action returned only after the run ended
  EXPECT_TRUE(ticked && started_seen);
  EXPECT_FALSE(menu_enabled_during_run);
  for (QAction* action : menu->mnupopup->actions()) EXPECT_TRUE(action->isEnabled());
  QFile args(program + ".started");
  ASSERT_TRUE(args.open(QIODevice::ReadOnly));
  EXPECT_EQ(args.readAll().trimmed(), "0");  // started without arguments
  EXPECT_TRUE(boxes.empty()) << "nothing is shown after the run, whatever its exit status";
}

TEST_F(MenuTest, AMissingRunProgramIsNotACrash) {
  menu->setRunProgram(Path("no-such-Norvo_T").toStdString());
  menu->mnuRespHaora->trigger();
  for (QAction* action : menu->mnupopup->actions()) EXPECT_TRUE(action->isEnabled());
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(tray::NorvoTPath(), platform::ProgramFolder() + "Norvo_T");
}

TEST_F(MenuTest, ExitClosesTheOpenWindowsAndRemovesTheIcon) {
  menu->trayIcon()->show();
  menu->mnuAcercade->trigger();
  menu->mnuConfig->trigger();
  QPointer<tray::frmAcercade> about = menu->acercade();
  ASSERT_TRUE(about && about->isVisible());
  settings::WriteSetting("Clave", "fin");
  PasswordWindowDriver driver([](tray::frmClave& w) { TypeAndEnter(w, "fin"); });
  menu->mnuExit->trigger();
  EXPECT_EQ(quits, 1);
  EXPECT_FALSE(menu->trayIcon()->isVisible());
  for (QWidget* window : QApplication::topLevelWidgets())
    EXPECT_FALSE(window->isVisible()) << window->objectName().toStdString();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(about.isNull());
}

}  // namespace
}  // namespace norvo::test

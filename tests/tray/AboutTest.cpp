// frmAcercade: its lines before and after a run, and the picture's link.
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "Version.h"
#include "settings/Settings.h"
#include "support/TrayTest.h"
#include "tray/LinkLabel.h"
#include "tray/frmAcercade.h"
#include "tray/frmMenu.h"

namespace norvo::test {
namespace {

QStringList Lines(const tray::frmAcercade& about) {
  QStringList lines;
  for (int i = 0; i < about.lst->count(); ++i) lines << about.lst->item(i)->text();
  return lines;
}

class AboutTest : public TrayTest {
 protected:
  void SetUp() override {
    TrayTest::SetUp();
    WriteProvider(
        {{"contact_mailbox", "contacto@proveedor.test"}, {"web_address", "https://www.proveedor.test"}});
  }
};

TEST_F(AboutTest, TheTwelveLinesBeforeAndAfterARun) {
  QStringList expected = {"NORVO BACKUP",
                          "",
                          "Copias de seguridad",
                          "-----------------------------",
                          "",
                          "Versión: " + QString(kVersion),
                          "Fecha de compilación: 14/03/2013",
                          "Contacto : contacto@proveedor.test",
                          "",
                          "Ultimo Respaldo : ",
                          "",
                          "https://www.proveedor.test"};
  {
    tray::frmAcercade before(Context());
    EXPECT_EQ(Lines(before), expected);
  }
  settings::WriteSetting("Resp_RespFecha", "05-12-2026 23:07");
  tray::frmAcercade after(Context());
  expected[9] = "Ultimo Respaldo : 05-12-2026 23:07";
  EXPECT_EQ(Lines(after), expected);
}

TEST_F(AboutTest, ThePictureOpensTheWebSiteAndAceptarCloses) {
  tray::frmMenu menu(Context());
  menu.mnuAcercade->trigger();
  QPointer<tray::frmAcercade> about = menu.acercade();
  ASSERT_TRUE(about);
  QStringList opened;
  about->setUrlOpener([&](const QString& address) { opened << address; });
  QTest::mouseClick(about->Image1, Qt::LeftButton);
  EXPECT_EQ(opened, QStringList{"https://www.proveedor.test"});
  // Chosen again while open: the same window, not a second one.
  menu.mnuAcercade->trigger();
  EXPECT_EQ(menu.acercade(), about.data());
  int shown = 0;
  for (QWidget* window : QApplication::topLevelWidgets()) shown += window->objectName() == "frmAcercade";
  EXPECT_EQ(shown, 1);
  QTest::mouseClick(about->cmdAceptar, Qt::LeftButton);
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(about.isNull());
  menu.mnuAcercade->trigger();  // a new one after it was closed
  ASSERT_NE(menu.acercade(), nullptr);
  EXPECT_TRUE(menu.acercade()->isVisible());
  menu.acercade()->close();
}

}  // namespace
}  // namespace norvo::test

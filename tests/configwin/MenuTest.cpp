// The tray menu's "Configuración" opens the window made as the program makes
// it: behind the access password, at most once, and closing it forgets the
// password the menu read.
#include <QApplication>
#include <QLineEdit>

#include "ConfigWindowFixture.h"
#include "config/window/ConfigWindow.h"
#include "settings/Settings.h"
#include "tray/frmClave.h"
#include "tray/frmMenu.h"

namespace norvo::test {
namespace {

class MenuOpensConfigTest : public TrayTest {
 protected:
  void SetUp() override {
    TrayTest::SetUp();
    // Whatever the window's own services touch stays in this test's folders.
    setenv("XDG_CONFIG_HOME", Path("config").toUtf8().constData(), 1);
    WriteProvider({{"service_host", "127.0.0.1:1"}, {"http_timeout_s", "2"}});
  }
  void TearDown() override {
    for (QWidget* window : QApplication::topLevelWidgets()) {
      if (window->objectName() == "frmConfig") window->close();
    }
    TrayTest::TearDown();
  }
  static std::vector<config::frmConfig*> OpenConfigWindows() {
    std::vector<config::frmConfig*> open;
    for (QWidget* window : QApplication::topLevelWidgets()) {
      auto* config = qobject_cast<config::frmConfig*>(window);
      if (config && config->isVisible()) open.push_back(config);
    }
    return open;
  }
};

TEST_F(MenuOpensConfigTest, OneWindowBehindThePasswordThatForgetsItOnClosing) {
  settings::WriteSetting("Clave", "acceso");
  tray::frmMenu menu(Context());
  menu.setConfigWindowFactory(config::ConfigWindowFactory(Context()));
  PasswordWindowDriver driver([](tray::frmClave& window) { TypeAndEnter(window, "acceso"); });

  menu.mnuConfig->trigger();
  EXPECT_EQ(driver.times_shown(), 1);
  std::vector<config::frmConfig*> open = OpenConfigWindows();
  ASSERT_EQ(open.size(), 1u);
  EXPECT_EQ(open[0]->objectName(), "frmConfig");
  EXPECT_EQ(open[0]->findChild<QLineEdit*>("txtClave")->text(), "acceso");
  EXPECT_EQ(menu.state().sClave, "acceso");

  menu.mnuConfig->trigger();  // asks again, opens nothing more
  EXPECT_EQ(driver.times_shown(), 2);
  EXPECT_EQ(OpenConfigWindows().size(), 1u);

  open[0]->close();
  EXPECT_EQ(menu.state().sClave, "");
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(OpenConfigWindows().empty());
}

}  // namespace
}  // namespace norvo::test

// frmClave: the masked entry and the reminder mail, both held back and
// delivered through the SMTP peer.
#include <QLineEdit>
#include <QTest>

#include "settings/Settings.h"
#include "support/TrayTest.h"
#include "tray/LinkLabel.h"
#include "tray/frmClave.h"
#include "tray/frmMenu.h"

namespace norvo::test {
namespace {

const char* kExpectedBody =
    "Estimado Cliente,\r\n"
    "\r\n"
    "Por favor guarde esta información en un lugar seguro.\r\n"
    "Dirección de correo electrónico principal: cliente@example.org\r\n"
    "Contraseña: Clave-Ñ1\r\n"
    "Si tiene alguna consulta, no dude en ponerse en contacto con nosotros.\r\n"
    "\r\n"
    "Soporte Norvo Backup\r\n"
    "https://www.proveedor.test";

class ClaveTest : public TrayTest {
 protected:
  tray::AccessState state{"Clave-Ñ1", false, "cliente@example.org"};
  settings::ProviderConfig config = [] {
    settings::ProviderConfig c;
    c.web_address = "https://www.proveedor.test";
    c.support_mailbox = "soporte@proveedor.test";
    return c;
  }();
  // The program's context with the provider of this fixture.
  tray::ProgramContext ClaveContext() {
    tray::ProgramContext context = Context();
    context.provider = config;
    return context;
  }
};

TEST_F(ClaveTest, EveryTypedCharacterIsShownAsAStar) {
  tray::frmClave window(state, ClaveContext(), nullptr);
  window.show();
  QTest::keyClicks(window.txtClave, "abcÑ");
  EXPECT_EQ(window.txtClave->displayText(), "****");
  EXPECT_EQ(window.txtClave->text(), "abcÑ");
}

TEST_F(ClaveTest, ReminderGoesOutOnceWithTheHourglassAndHidesTheLink) {
  std::vector<net::MailMessage> sent;
  Qt::CursorShape cursor_while_sending = Qt::ArrowCursor;
  tray::frmClave* window_ptr = nullptr;
  tray::frmClave window(state, ClaveContext(),
                        [&](const settings::ProviderConfig&, const net::MailMessage& message, std::string*) {
                          cursor_while_sending = window_ptr->cursor().shape();
                          sent.push_back(message);
                          return true;
                        });
  window_ptr = &window;
  window.show();
  ASSERT_TRUE(window.Label2->isVisible());
  EXPECT_EQ(window.Label2->text(), "[Solicitar contraseña]");
  QTest::mouseDClick(window.Label2, Qt::LeftButton);
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(cursor_while_sending, Qt::WaitCursor);
  EXPECT_EQ(window.cursor().shape(), Qt::ArrowCursor);
  EXPECT_FALSE(window.Label2->isVisible());
  EXPECT_TRUE(window.isVisible());  // the window stays open
  EXPECT_FALSE(state.bClaveOk);
  const net::MailMessage& m = sent[0];
  EXPECT_EQ(m.recipients, std::vector<std::string>{"cliente@example.org"});
  EXPECT_EQ(m.subject, "INFO Su contraseña Norvo Backup");
  EXPECT_EQ(m.sender_name, "INFO Norvo Backup");
  EXPECT_EQ(m.sender_address, "soporte@proveedor.test");
  EXPECT_EQ(m.body, kExpectedBody);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(ClaveTest, AFailedReminderSaysNothingToTheUser) {
  tray::frmClave window(state, ClaveContext(),
                        [](const settings::ProviderConfig&, const net::MailMessage&, std::string* e) {
                          *e = "server gone";
                          return false;
                        });
  window.show();
  testing::internal::CaptureStderr();
  window.Label2_DblClick();
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("server gone"), std::string::npos) << err;
  EXPECT_TRUE(boxes.empty());
  EXPECT_TRUE(window.isVisible());
  EXPECT_FALSE(window.Label2->isVisible());
}

// The whole path: menu action, password window, link, provider file, SMTP with AUTH.
TEST_F(ClaveTest, ReminderFromTheMenuArrivesAtTheServer) {
  SmtpPeer peer("soporte@proveedor.test", "kfw5174", Path("smtp.log"));
  ASSERT_TRUE(peer.started());
  WriteProvider({{"smtp_url", peer.url().toStdString()},
                 {"support_mailbox", "soporte@proveedor.test"},
                 {"web_address", "https://www.proveedor.test"}});
  settings::WriteSetting("Clave", "Clave-Ñ1");
  settings::WriteSetting("Resp_ProgMail", "cliente@example.org");
  tray::frmMenu menu(Context());
  int quits = 0;
  menu.setQuitFunction([&] { ++quits; });
  bool link_hidden = false;
  PasswordWindowDriver driver([&](tray::frmClave& w) {
    QTest::mouseDClick(w.Label2, Qt::LeftButton);
    link_hidden = !w.Label2->isVisible();
    w.cmdCancelar_Click();
  });
  menu.mnuExit->trigger();
  EXPECT_TRUE(link_hidden);
  EXPECT_EQ(quits, 0);
  auto messages = peer.Messages();
  ASSERT_EQ(messages.size(), 1u);
  const QJsonObject& m = messages[0];
  EXPECT_EQ(m["login"].toString(), "soporte@proveedor.test");
  EXPECT_EQ(m["rcpt_tos"].toVariant().toStringList(), QStringList{"cliente@example.org"});
  EXPECT_EQ(m["from_name"].toString(), "INFO Norvo Backup");
  EXPECT_EQ(m["from_addr"].toString(), "soporte@proveedor.test");
  EXPECT_EQ(m["subject"].toString(), QString("INFO Su contraseña Norvo Backup"));
  EXPECT_EQ(FromBase64(m, "body_b64").toStdString(), kExpectedBody);
}

}  // namespace
}  // namespace norvo::test

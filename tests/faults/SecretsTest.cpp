// No password on display: runs through failure paths with distinctive
// passwords and looks for them wherever the system speaks: stderr, the
// requests to the account service, and the failure texts of the SMTP sender.
#include <gmock/gmock.h>

#include "FaultSupport.h"
#include "net/SmtpSender.h"
#include "settings/Base64.h"
#include "settings/Settings.h"

namespace norvo::test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

const char kArchivePassword[] = "ArchSecret7731";
const char kSqlPassword[] = "SqlSecret9904";
const char kFtpPassword[] = "FtpSecret5512";
const char kSmtpPassword[] = "SmtpSecret3310";
const char kAccessPassword[] = "AccessSecret4420";
const char kWindowsPassword[] = "WinSecret6651";

std::vector<std::string> Secrets() {
  return {kArchivePassword,
          kSqlPassword,
          kFtpPassword,
          kSmtpPassword,
          kAccessPassword,
          kWindowsPassword,
          settings::EncodeSetting(kWindowsPassword)};
}

void ExpectNoSecretIn(const std::string& where, const std::string& text) {
  for (const auto& secret : Secrets()) EXPECT_THAT(text, Not(HasSubstr(secret))) << where;
}

TEST_F(NorvoTFaultTest, NoPasswordInStderrOrReportsOfAFailingRun) {
  using settings::WriteSetting;
  WriteSetting("Resp_SeguPas", kArchivePassword);
  WriteSetting("Resp_Base", "1");
  WriteSetting("Resp_BaseSer", "127.0.0.1,1");  // nothing listens there
  WriteSetting("Resp_BaseAut", "Aut2");
  WriteSetting("Resp_BaseUsr", "sa");
  WriteSetting("Resp_BasePas", kSqlPassword);
  WriteSetting("Resp_BaseBas", ",1,");
  WriteSetting("Clave", kAccessPassword);
  WriteSetting("Resp_ProgWPas", settings::EncodeSetting(kWindowsPassword));
  WriteFile(dir_ / "provider.ini",
            ReadFile(dir_ / "provider.ini") + "smtp_password = " + kSmtpPassword + "\n");
  // The cloud refuses this FTP password.
  service_.Configure({{"tipo3", "Acme;" + ftp_.Address() + ";test;" + kFtpPassword + ";/base/"}});
  auto run = Run({{"FAKE_RAR_KILL", "9"}});
  EXPECT_EQ(run.exit_code, 2) << run.err;
  ExpectNoSecretIn("stderr", run.err);
  EXPECT_THAT(run.err, HasSubstr("was ended by signal 9"));
  const auto requests = service_.Requests();
  ASSERT_GE(requests.size(), 3u) << "the lookup and at least two error reports";
  for (const auto& request : requests) ExpectNoSecretIn("request", request.dump());
  EXPECT_THAT(Requests("5").front(), HasSubstr("Error de conexión con BDD"));
  // The archive password did reach the archiver, so the check above means something.
  EXPECT_THAT(ReadFile(dir_ / "rar.log"), HasSubstr(kArchivePassword));
}

TEST(SmtpSecrets, RefusedLoginAndUrlWithLoginShowNoPassword) {
  TempDir dir;
  PeerProcess peer({"/usr/bin/python3", PeerPath("smtp_server.py"), "--log", dir / "smtp.log", "--user",
                    "soporte@norvo.test", "--password", "the right one"});
  const std::string port = peer.FirstLine().substr(peer.FirstLine().find(' ') + 1);
  net::MailMessage message;
  message.sender_address = "soporte@norvo.test";
  message.recipients = {"cliente@norvo.test"};
  message.subject = "prueba";
  message.body = "cuerpo";
  net::SmtpSettings smtp;
  smtp.user = "soporte@norvo.test";
  smtp.password = kSmtpPassword;
  smtp.connect_timeout_s = 5;
  smtp.timeout_s = 10;
  for (const std::string& url :
       {"smtp://127.0.0.1:" + port, "smtp://soporte:" + std::string(kSmtpPassword) + "@127.0.0.1:" + port}) {
    smtp.url = url;
    std::string error;
    EXPECT_FALSE(net::SendMail(smtp, message, &error)) << url;
    EXPECT_NE(error, "");
    ExpectNoSecretIn("SMTP failure text", error);
  }
}

}  // namespace
}  // namespace norvo::test

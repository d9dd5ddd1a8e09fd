// The SMTP sender: header words, line ends and addresses, then real mails
// through aiosmtpd, checked as the server received and parsed them.
#include <QRegularExpression>
#include <QStringDecoder>

#include "net/SmtpMessage.h"
#include "net/SmtpProvider.h"
#include "settings/ProviderConfig.h"
#include "support/TrayTest.h"

namespace norvo::test {
namespace {

QByteArray DecodeWord(const QString& word) {
  static const QRegularExpression pattern(R"(^=\?UTF-8\?B\?([A-Za-z0-9+/=]+)\?=$)");
  auto match = pattern.match(word);
  return match.hasMatch() ? QByteArray::fromBase64(match.captured(1).toLatin1()) : QByteArray("<bad word>");
}

bool HasBareLineFeed(const QByteArray& data) {
  for (qsizetype i = 0; i < data.size(); ++i) {
    if (data[i] == '\n' && (i == 0 || data[i - 1] != '\r')) return true;
    if (data[i] == '\r' && (i + 1 == data.size() || data[i + 1] != '\n')) return true;
  }
  return false;
}

TEST(SmtpMessage, HeaderTextStaysPlainWhenAsciiAndIsEncodedInWholeCharactersOtherwise) {
  EXPECT_EQ(net::EncodeHeaderText("INFO Norvo Backup"), "INFO Norvo Backup");
  // Long enough for several words, with two- and three-byte characters at every offset.
  std::string text;
  for (int i = 0; i < 12; ++i) text += "Contraseña € año ";
  std::string encoded = net::EncodeHeaderText(text);
  QStringList words = QString::fromStdString(encoded).split("\r\n ");
  ASSERT_GT(words.size(), 2);
  QByteArray joined;
  for (const QString& word : words) {
    EXPECT_LE(word.size(), 75) << word.toStdString();
    QByteArray bytes = DecodeWord(word);
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString decoded = utf8(bytes);
    EXPECT_FALSE(utf8.hasError()) << "a character was split: " << word.toStdString();
    joined += bytes;
  }
  EXPECT_EQ(joined.toStdString(), text);
  // Line breaks in a header text cannot start a new header.
  std::string injected = net::EncodeHeaderText("hola\r\nBcc: otro@example.org");
  EXPECT_EQ(injected.find("\nBcc"), std::string::npos);
  EXPECT_EQ(DecodeWord(QString::fromStdString(injected)).toStdString(), "hola\r\nBcc: otro@example.org");
}

TEST(SmtpMessage, LineEndsAndAddresses) {
  EXPECT_EQ(net::ToCrLf("a\nb\r\nc\rd\n\n"), "a\r\nb\r\nc\r\nd\r\n\r\n");
  EXPECT_EQ(net::SplitAddresses(" a@x.org; ;b@y.org ;"), (std::vector<std::string>{"a@x.org", "b@y.org"}));
  EXPECT_TRUE(net::IsPlainAddress("cliente.uno@example.org"));
  for (const char* bad :
       {"", "sin-arroba", "a@b@c", "a b@c.org", "<a@b.org>", "a@b.org\r\nRCPT TO:<x@y.org>", "a,b@c.org"}) {
    EXPECT_FALSE(net::IsPlainAddress(bad)) << bad;
  }
}

TEST(SmtpMessage, MessageHasCrLfLinesAndAValidDate) {
  net::MailMessage mail{
      "Señor Envío", "soporte@example.org", {"a@example.org", "b@example.org"}, "Asunto", "uno\ndos\n"};
  QByteArray text = QByteArray::fromStdString(net::FormatMessage(mail, 1796000000, "id@example.org"));
  EXPECT_FALSE(HasBareLineFeed(text));
  for (const QByteArray& line : text.split('\n')) EXPECT_LE(line.size(), 78) << line.toStdString();
  EXPECT_TRUE(text.contains("To: <a@example.org>, <b@example.org>\r\n"));
  EXPECT_TRUE(
      QString::fromStdString(net::FormatMailDate(1796000000))
          .contains(QRegularExpression(
              R"(^(Mon|Tue|Wed|Thu|Fri|Sat|Sun), \d\d (Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) \d{4} \d\d:\d\d:\d\d [+-]\d{4}$)")));
}

class SmtpPeerTest : public TrayTest {
 protected:
  settings::ProviderConfig Config(const SmtpPeer& peer) {
    settings::ProviderConfig config;
    config.smtp_url = peer.url().toStdString();
    config.support_mailbox = "soporte@norvo.test";
    config.smtp_password = "kfw5174";
    return config;
  }
};

TEST_F(SmtpPeerTest, DeliversWithAuthDisplayNameEncodedSubjectAndExactBody) {
  SmtpPeer peer("soporte@norvo.test", "kfw5174", Path("smtp.log"));
  ASSERT_TRUE(peer.started());
  const std::string body = "Línea uno\r\n\r\nContraseña: ñandú\r\nfin";
  std::string error;
  ASSERT_TRUE(net::SendProviderMail(Config(peer), "cliente@example.org; jefe@example.org",
                                    "INFO Su contraseña Norvo Backup", body, &error))
      << error;
  auto messages = peer.Messages();
  ASSERT_EQ(messages.size(), 1u);
  const QJsonObject& m = messages[0];
  EXPECT_EQ(m["login"].toString(), "soporte@norvo.test");
  EXPECT_EQ(m["mail_from"].toString(), "soporte@norvo.test");
  EXPECT_EQ(m["rcpt_tos"].toVariant().toStringList(),
            QStringList({"cliente@example.org", "jefe@example.org"}));
  EXPECT_EQ(m["from_name"].toString(), "INFO Norvo Backup");
  EXPECT_EQ(m["from_addr"].toString(), "soporte@norvo.test");
  EXPECT_EQ(m["subject"].toString(), QString("INFO Su contraseña Norvo Backup"));
  EXPECT_EQ(m["charset"].toString(), "utf-8");
  EXPECT_EQ(FromBase64(m, "body_b64").toStdString(), body);
  EXPECT_FALSE(HasBareLineFeed(FromBase64(m, "data_b64")));
}

TEST_F(SmtpPeerTest, ExplicitLoginIsUsedAndARefusedLoginSendsNothing) {
  SmtpPeer peer("robot@norvo.test", "secreto", Path("smtp.log"));
  ASSERT_TRUE(peer.started());
  settings::ProviderConfig config = Config(peer);
  std::string error;
  EXPECT_FALSE(net::SendProviderMail(config, "a@example.org", "s", "b", &error));
  EXPECT_FALSE(error.empty());
  EXPECT_TRUE(peer.Messages().empty());

  config.smtp_user = "robot@norvo.test";
  config.smtp_password = "secreto";
  ASSERT_TRUE(net::SendProviderMail(config, "a@example.org", "s", "b", &error)) << error;
  auto events = peer.Events();
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[0]["login"].toString(), "soporte@norvo.test");
  EXPECT_FALSE(events[0]["ok"].toBool());
  EXPECT_TRUE(events[1]["ok"].toBool());
  EXPECT_EQ(events[2]["login"].toString(), "robot@norvo.test");
}

TEST_F(SmtpPeerTest, BadAddressesAndAnAbsentServerFailWithAReason) {
  SmtpPeer peer("soporte@norvo.test", "kfw5174", Path("smtp.log"));
  ASSERT_TRUE(peer.started());
  std::string error;
  EXPECT_FALSE(net::SendProviderMail(Config(peer), "", "s", "b", &error));
  EXPECT_NE(error.find("no recipient"), std::string::npos) << error;
  EXPECT_FALSE(net::SendProviderMail(Config(peer), "x@y.org>\r\nRCPT TO:<z@y.org", "s", "b", &error));
  EXPECT_NE(error.find("invalid recipient"), std::string::npos) << error;
  EXPECT_TRUE(peer.Events().empty());  // nothing reached the server

  settings::ProviderConfig closed = Config(peer);
  closed.smtp_url = "smtp://127.0.0.1:1";
  EXPECT_FALSE(net::SendProviderMail(closed, "a@example.org", "s", "b", &error));
  EXPECT_NE(error.find("127.0.0.1:1"), std::string::npos) << error;
}

}  // namespace
}  // namespace norvo::test

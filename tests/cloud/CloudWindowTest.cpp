// frmCloud against the account-service stand-in, pyftpdlib and aiosmtpd:
// loading the list, restoring a line, and the failures of a restore.
#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <filesystem>

#include "CloudTestSupport.h"
#include "Version.h"
#include "cloud/RestoreProgressDialog.h"
#include "cloud/frmCloud.h"
#include "tray/frmMenu.h"

namespace norvo::test {
namespace {

namespace fs = std::filesystem;

QDateTime Local(int year, int month, int day, int hour, int minute) {
  return QDateTime(QDate(year, month, day), QTime(hour, minute));
}

const char* const kSizes = "0105C01.RAR;1234567;0105C02.RAR;2048;0105C03.rar;10;0105C05.RAR;99;cortado";

class CloudWindowTest : public CloudTest {
 protected:
  // Four backups (one the service does not know) and a file that is no backup.
  void AddBackups() {
    SetAccount(GoodAccount(), kSizes);
    AddCloudFile("0105C02.RAR", std::string(70000, 'b'), Local(2013, 5, 21, 10, 0));
    AddCloudFile("0105C01.RAR", Content1(), Local(2013, 5, 20, 23, 15));
    AddCloudFile("0105C03.rar", "ccc", Local(2013, 5, 19, 8, 5));
    AddCloudFile("0105C04.RAR", "dddd", Local(2013, 5, 22, 12, 0));
    AddCloudFile("nota.txt", "n", Local(2013, 5, 18, 9, 0));
  }
  static std::string Content1() {
    std::string bytes;
    for (int i = 0; i < 300000; ++i) bytes += static_cast<char>((i * 7 + i / 256) & 0xFF);
    return bytes;
  }
  QStringList Lines(cloud::frmCloud* window) const {
    QStringList lines;
    for (int i = 0; i < window->lst->count(); ++i) lines << window->lst->item(i)->text();
    return lines;
  }
  void Settle() { QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
};

TEST_F(CloudWindowTest, UnknownAccountGivesAnEmptyListSilently) {
  AddBackups();
  SetAccount("", kSizes);
  QPointer<cloud::frmCloud> window = OpenWindow();
  EXPECT_EQ(window->lst->count(), 0);
  EXPECT_EQ(window->Label2->text(), "0 GB");
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(ServiceQueries(),
            std::vector<std::string>({"Tipo=8&Clave=QzAxMDU=&Equipo=" + computer_, "Tipo=3&Clave=QzAxMDU="}));
  // A wrong FTP password fails the same way.
  window->close();
  SetAccount("Empresa;" + ftp_->Address() + ";test;mala;/clientes/;", kSizes);
  window = OpenWindow();
  EXPECT_EQ(window->lst->count(), 0);
  EXPECT_EQ(window->Label2->text(), "0 GB");
  EXPECT_TRUE(boxes.empty());
}

TEST_F(CloudWindowTest, EmptyFolderShowsTheLabelForZero) {
  QPointer<cloud::frmCloud> window = OpenWindow();
  EXPECT_EQ(window->lst->count(), 0);
  EXPECT_EQ(window->Label2->text(), ",000 GB    -    0 KB");
  EXPECT_EQ(window->windowTitle(), "Cloud");
  EXPECT_EQ(window->Label1->text(), "Espacio utilizado");
  EXPECT_EQ(window->cmdAceptar->text(), "&Aceptar");
  EXPECT_EQ(window->cmdCancelar->text(), "&Cancelar");
  // The columns line up: every character of a line takes the same width, whatever font stands in.
  const QFontMetrics metrics(window->lst->font());
  for (QChar c : QStringLiteral("iW |-.:,"))
    EXPECT_EQ(metrics.horizontalAdvance(c), metrics.horizontalAdvance('0'));
  // At the lower right corner, 38 pixels (at 96 dpi) above the bottom.
  QScreen* screen = QGuiApplication::primaryScreen();
  const int margin = qRound(screen->logicalDotsPerInchY() * 570 / 1440.0);
  EXPECT_EQ(window->x() + window->width(), screen->geometry().right() + 1);
  EXPECT_EQ(window->y() + window->height() + margin, screen->geometry().bottom() + 1);
}

TEST_F(CloudWindowTest, ListsOldestFirstWithSizesAndTotal) {
  AddBackups();
  QPointer<cloud::frmCloud> window = OpenWindow();
  EXPECT_EQ(Lines(window), QStringList({"01 | 19-05-2013 | 08:05 | 0105C03.rar  |            10",
                                        "02 | 20-05-2013 | 23:15 | 0105C01.RAR  |     1.234.567",
                                        "03 | 21-05-2013 | 10:00 | 0105C02.RAR  |         2.048",
                                        "04 | 22-05-2013 | 12:00 | 0105C04.RAR  |             0"}));
  // 1234567 + 2048 + 10 KB; the file the service does not know adds nothing.
  EXPECT_EQ(window->Label2->text(), "1,179 GB    -    1.236.625 KB");
  EXPECT_EQ(window->PrimerIndice(), 97);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(CloudWindowTest, DatesReadDayMonthYearWithLeadingZerosInEveryLocale) {
  SetAccount(GoodAccount(), "");
  AddCloudFile("A.RAR", "a", Local(2023, 12, 31, 23, 59));
  AddCloudFile("B.RAR", "b", Local(2024, 3, 5, 9, 7));
  for (const QLocale& locale : {QLocale::c(), QLocale(QLocale::Spanish, QLocale::Spain),
                                QLocale(QLocale::English, QLocale::UnitedStates)}) {
    QLocale::setDefault(locale);
    QPointer<cloud::frmCloud> window = OpenWindow();
    QStringList columns;
    for (const QString& line : Lines(window)) columns << line.section(" | ", 1, 2);
    EXPECT_EQ(columns, QStringList({"31-12-2023 | 23:59", "05-03-2024 | 09:07"}))
        << locale.name().toStdString();
    window->close();
  }
}

TEST_F(CloudWindowTest, DoubleClickRestoresExactlyTheFileOfThatLine) {
  AddBackups();
  QPointer<cloud::frmCloud> window = OpenWindow();
  answer_ = Path("out/copia.rar");
  DoubleClickLine(window, 1);
  ASSERT_EQ(dialogs_.size(), 1u);
  EXPECT_EQ(dialogs_[0].title, "Guardar Respaldo Como");
  EXPECT_EQ(dialogs_[0].proposedName, "0105C01.RAR");
  EXPECT_EQ(dialogs_[0].folder, QDir::homePath());
  EXPECT_TRUE(dialogs_[0].filter.contains("*.rar"));
  EXPECT_EQ(ReadFile(answer_.toStdString()), Content1());
  EXPECT_FALSE(fs::exists(Path("out/copia.TMP").toStdString()));
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].icon, tray::BoxIcon::Information);
  EXPECT_EQ(boxes[0].title, "Cloud");
  EXPECT_EQ(boxes[0].text, "Se ha completado satisfactoriamente la descarga");
  EXPECT_TRUE(smtp_->Messages().empty());
  // The connection data were asked again before the download; the window is gone.
  EXPECT_EQ(ServiceQueries().back(), "Tipo=3&Clave=QzAxMDU=");
  EXPECT_EQ(ServiceQueries().size(), 3u);
  Settle();
  EXPECT_TRUE(window.isNull());
}

TEST_F(CloudWindowTest, AceptarRestoresTheSelectedLineToANameWithoutExtension) {
  AddBackups();
  QPointer<cloud::frmCloud> window = OpenWindow();
  answer_ = Path("out/respaldo");
  window->cmdAceptar->click();  // no line selected: nothing happens
  EXPECT_TRUE(dialogs_.empty());
  window->lst->setCurrentRow(2);
  window->cmdAceptar->click();
  ASSERT_EQ(dialogs_.size(), 1u);
  EXPECT_EQ(dialogs_[0].proposedName, "0105C02.RAR");
  EXPECT_EQ(ReadFile(answer_.toStdString()), std::string(70000, 'b'));
  EXPECT_FALSE(fs::exists(Path("out/respaTMP").toStdString()));
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].icon, tray::BoxIcon::Information);
}

TEST_F(CloudWindowTest, AnExistingDestinationIsReplaced) {
  AddBackups();
  answer_ = Path("out/copia.rar");
  WriteFile(answer_.toStdString(), std::string(500000, 'x'));
  WriteFile(Path("out/copia.TMP").toStdString(), "stale");
  QPointer<cloud::frmCloud> window = OpenWindow();
  DoubleClickLine(window, 0);
  EXPECT_EQ(ReadFile(answer_.toStdString()), "ccc");
  EXPECT_FALSE(fs::exists(Path("out/copia.TMP").toStdString()));
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].icon, tray::BoxIcon::Information);
}

TEST_F(CloudWindowTest, CancellingTheSaveDialogChangesNothing) {
  AddBackups();
  QPointer<cloud::frmCloud> window = OpenWindow();
  const QStringList before = Lines(window);
  answer_.clear();
  DoubleClickLine(window, 1);
  EXPECT_EQ(dialogs_.size(), 1u);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(Lines(window), before);
  EXPECT_EQ(window->respaldos()[98].Archivo, "0105C01.RAR");
  EXPECT_EQ(ServiceQueries().size(), 2u);
  EXPECT_TRUE(boxes.empty());
  EXPECT_TRUE(fs::is_empty(Path("out").toStdString()));
}

TEST_F(CloudWindowTest, FailedDownloadSendsOneReportAndShowsOneErrorBox) {
  AddBackups();
  QPointer<cloud::frmCloud> window = OpenWindow();
  fs::remove(CloudPath("0105C01.RAR"));  // gone from the server since the listing
  answer_ = Path("out/copia.rar");
  DoubleClickLine(window, 1);
  const std::string error = "Problema no se pudo bajar el archivo 0105C01.RAR";
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].icon, tray::BoxIcon::Critical);
  EXPECT_EQ(boxes[0].title, "Cloud");
  EXPECT_EQ(boxes[0].text, QString::fromStdString(error) + "\n\nSe ha reportado el error a Norvo Backup.");
  auto messages = smtp_->Messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0]["subject"].toString(), "Problema en cliente: Empresa S.A.");
  EXPECT_EQ(messages[0]["rcpt_tos"].toVariant().toStringList(), QStringList({kSupport, kReport}));
  EXPECT_EQ(messages[0]["from_addr"].toString(), kSupport);
  EXPECT_EQ(FromBase64(messages[0], "body_b64").toStdString(),
            "Se ha detectado problema en la descarga de backup:\r\n\r\n"
            "Código Cliente:C0105\r\n"
            "R.Social:      Empresa S.A.\r\n"
            "Nombre Equipo: " +
                computer_ +
                "\r\n"
                "Versión Aplicación: " +
                std::string(kVersion) +
                "\r\n"
                "Mensaje:\r\n" +
                error);
  EXPECT_FALSE(fs::exists(answer_.toStdString()));
  EXPECT_FALSE(fs::exists(Path("out/copia.TMP").toStdString()));
  Settle();
  EXPECT_TRUE(window.isNull());
}

TEST_F(CloudWindowTest, RefusedLoginAndMissingFolderAreReportedWithTheirTexts) {
  struct Case {
    std::string account;
    QString text;
  };
  const Case cases[] = {
      {"Empresa S.A.;" + ftp_->Address() + ";test;mala;/clientes/;", "No se puede conectar al Cloud"},
      {GoodAccount("/otros/"), "Problema al bajar el archivo 0105C01.RAR"},
  };
  AddBackups();
  for (const Case& c : cases) {
    boxes.clear();
    QPointer<cloud::frmCloud> window = OpenWindow();
    SetAccount(c.account, kSizes);
    answer_ = Path("out/copia.rar");
    DoubleClickLine(window, 1);
    ASSERT_EQ(boxes.size(), 1u) << c.text.toStdString();
    EXPECT_EQ(boxes[0].icon, tray::BoxIcon::Critical);
    EXPECT_EQ(boxes[0].text, c.text + "\n\nSe ha reportado el error a Norvo Backup.");
    EXPECT_FALSE(fs::exists(answer_.toStdString()));
    SetAccount(GoodAccount(), kSizes);
    Settle();
    EXPECT_TRUE(window.isNull());
  }
  EXPECT_EQ(smtp_->Messages().size(), 2u);
}

TEST_F(CloudWindowTest, UnknownAccountAtDownloadLeavesTheWindowHiddenForTheMenu) {
  AddBackups();
  QPointer<QWidget> window = CloudWindow();
  window->show();
  auto* cloud_window = qobject_cast<cloud::frmCloud*>(window.data());
  ASSERT_NE(cloud_window, nullptr);
  SetAccount("", kSizes);
  answer_ = Path("out/copia.rar");
  DoubleClickLine(cloud_window, 1);
  Settle();
  ASSERT_FALSE(window.isNull());
  EXPECT_FALSE(window->isVisible());
  EXPECT_TRUE(boxes.empty());
  EXPECT_TRUE(smtp_->Messages().empty());
  EXPECT_FALSE(fs::exists(answer_.toStdString()));
  // "Cloud" again shows the same window with its earlier list, without a new listing.
  const size_t queries = ServiceQueries().size();
  EXPECT_EQ(CloudWindow(), window.data());
  EXPECT_EQ(cloud_window->lst->count(), 4);
  EXPECT_EQ(ServiceQueries().size(), queries);
  window->close();
}

TEST_F(CloudWindowTest, ADestinationThatCannotBeWrittenIsReportedAndLeavesNoTemporaryFile) {
  AddBackups();
  fs::create_directories(Path("out/carpeta.rar/dentro").toStdString());
  QPointer<cloud::frmCloud> window = OpenWindow();
  answer_ = Path("out/carpeta.rar");  // a folder: the file cannot take its place
  DoubleClickLine(window, 1);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].icon, tray::BoxIcon::Critical);
  EXPECT_EQ(boxes[0].text,
            "No se pudo guardar el archivo " + answer_ + "\n\nSe ha reportado el error a Norvo Backup.");
  EXPECT_TRUE(fs::is_directory(Path("out/carpeta.rar/dentro").toStdString()));
  EXPECT_FALSE(fs::exists(Path("out/carpeta.TMP").toStdString()));
  EXPECT_EQ(smtp_->Messages().size(), 1u);
}

TEST_F(CloudWindowTest, AtMostOneHundredLinesAndOnlySizesOfTheFirstThousandBytes) {
  std::string sizes;
  for (int i = 0; i < 102; ++i) {
    std::string name = QString("F%1.RAR").arg(i, 3, 10, QChar('0')).toStdString();
    AddCloudFile(name, "x", Local(2013, 1, 1, 0, 0).addSecs(60 * i));
    sizes += name + ";1;";  // 11 bytes a pair: 90 whole pairs fit in the 1000 bytes read
  }
  SetAccount(GoodAccount(), sizes);
  QPointer<cloud::frmCloud> window = OpenWindow();
  QStringList lines = Lines(window);
  ASSERT_EQ(lines.size(), 100);
  // Which 101 of the 102 are kept depends on the listing's order; the oldest kept is not shown.
  for (int i = 0; i < 100; ++i) {
    EXPECT_TRUE(lines[i].startsWith(QString("%1 | 01-01-2013 | ").arg(i + 1, 2, 10, QChar('0')))) << i;
    if (i == 0) continue;
    EXPECT_LT(lines[i - 1].section(" | ", 3, 3), lines[i].section(" | ", 3, 3)) << i;  // names, oldest first
  }
  EXPECT_EQ(window->Label2->text(), ",000 GB    -    90 KB");
}

TEST_F(CloudWindowTest, TheMenuItemOpensTheBrowser) {
  AddBackups();
  tray::frmMenu menu(Context());
  menu.setCloudWindowFactory([this] { return CloudWindow(); });
  menu.mnuCloud_Click();  // no access password stored: no question
  auto* window = qobject_cast<cloud::frmCloud*>(CloudWindow());
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->objectName(), "frmCloud");
  EXPECT_EQ(window->lst->count(), 4);
  // While it is open, "Cloud" brings it forward instead of listing again.
  const size_t queries = ServiceQueries().size();
  menu.mnuCloud_Click();
  EXPECT_EQ(CloudWindow(), window);
  EXPECT_EQ(ServiceQueries().size(), queries);
  window->cmdCancelar->click();
  Settle();
  for (QWidget* top : QApplication::topLevelWidgets())
    EXPECT_EQ(qobject_cast<cloud::frmCloud*>(top), nullptr);
}

class SlowCloudTest : public CloudWindowTest {
 protected:
  FtpPeerOptions FtpOptions() const override {
    FtpPeerOptions options;
    options.throttle = 60000;
    return options;
  }
};

class HostileCloudTest : public CloudWindowTest {
 protected:
  FtpPeerOptions FtpOptions() const override {
    FtpPeerOptions options;
    options.flood = "LISTING";
    return options;
  }
};

TEST_F(HostileCloudTest, AListingWithoutEndShowsNothingAndSaysWhy) {
  ::testing::internal::CaptureStderr();
  QPointer<cloud::frmCloud> window = OpenWindow();
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(window->lst->count(), 0) << "never a part of the listing";
  EXPECT_EQ(window->Label2->text(), "0 GB");
  EXPECT_TRUE(boxes.empty());
  EXPECT_NE(err.find("the cloud folder could not be listed: InternetFindNextFile error code: 12152"),
            std::string::npos)
      << err;
}

TEST_F(SlowCloudTest, CancelDuringTheDownloadRemovesTheTemporaryFile) {
  AddBackups();
  QPointer<cloud::frmCloud> window = OpenWindow();
  answer_ = Path("out/copia.rar");
  QString label;
  bool temporary_seen = false;
  QTimer watcher;
  watcher.setInterval(20);
  QObject::connect(&watcher, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
    if (!dialog || dialog->objectName() != cloud::kProgressDialogName) return;
    if (dialog->maximum() == 0 || dialog->value() <= 0) return;
    label = dialog->labelText();
    temporary_seen = fs::exists(Path("out/copia.TMP").toStdString());
    for (QPushButton* button : dialog->findChildren<QPushButton*>()) button->click();
    watcher.stop();
  });
  watcher.start();
  DoubleClickLine(window, 1);
  EXPECT_TRUE(label.startsWith("0105C01.RAR\n")) << label.toStdString();
  EXPECT_TRUE(label.endsWith(" de 300.000 bytes")) << label.toStdString();
  EXPECT_TRUE(temporary_seen);
  EXPECT_FALSE(fs::exists(Path("out/copia.TMP").toStdString()));
  EXPECT_FALSE(fs::exists(answer_.toStdString()));
  EXPECT_TRUE(boxes.empty());
  EXPECT_TRUE(smtp_->Messages().empty());
}

}  // namespace
}  // namespace norvo::test

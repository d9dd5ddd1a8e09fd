#include "cloud/frmCloud.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QScreen>

#include "Version.h"
#include "cloud/CloudData.h"
#include "cloud/CloudListing.h"
#include "cloud/ErrorReport.h"
#include "cloud/RestoreProgressDialog.h"
#include "net/FtpSession.h"
#include "run/AccountService.h"
#include "run/Transfer.h"
#include "settings/DisplayText.h"
#include "settings/SettingNames.h"
#include "settings/Settings.h"
#include "tray/Diagnostic.h"

namespace norvo::cloud {

using ftp::PlaceRestoredFile;
using ftp::RestoreErrorText;
using ftp::RestoreFailure;
using ftp::RestoreRequest;

namespace {

constexpr int kBottomMarginTwips = 570;  // above the bottom of the screen
constexpr int kLineCharacters = 58;      // a whole list line with room to spare
constexpr int kVisibleLines = 12;

const char* const kCaption = "Cloud";
const char* const kReported = "Se ha reportado el error a Norvo Backup.";
const char* const kDone = "Se ha completado satisfactoriamente la descarga";

// Whether the characters of a list line all take the same width. Measured,
// because the fonts' own word for it is not to be trusted: Qt reports some
// monospaced fonts (Noto Sans Mono among them) as proportional.
bool HasFixedWidth(const QFont& font) {
  const QFontMetrics metrics(font);
  const int width = metrics.horizontalAdvance('0');
  for (QChar c : QStringLiteral("iW |-.:,")) {
    if (metrics.horizontalAdvance(c) != width) return false;
  }
  return true;
}

// Courier New, or the font the system offers in its place; else the system's fixed font.
QFont ListFont() {
  QFont font("Courier New", 9);
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  if (!HasFixedWidth(font)) {
    // Courier New maps to a face whose characters differ in width: the
    // system's fixed font then, still asked to be fixed.
    font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setFixedPitch(true);
  }
  return font;
}

}  // namespace

frmCloud::frmCloud(tray::ProgramContext context, SaveDialogFunction saveDialog, QWidget* parent)
    : QWidget(parent), context_(std::move(context)), saveDialog_(std::move(saveDialog)) {
  setObjectName("frmCloud");
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(kCaption);
  BuildControls();
  Form_Load();
}

void frmCloud::BuildControls() {
  lst = new QListWidget(this);
  lst->setObjectName("lst");
  lst->setFont(ListFont());
  lst->setSelectionMode(QAbstractItemView::SingleSelection);
  const QFontMetrics metrics(lst->font());
  lst->setMinimumWidth(metrics.horizontalAdvance(QString(kLineCharacters, '0')) + 24);
  lst->setMinimumHeight(metrics.lineSpacing() * kVisibleLines);
  cmdAceptar = new QPushButton("&Aceptar", this);
  cmdAceptar->setObjectName("cmdAceptar");
  cmdCancelar = new QPushButton("&Cancelar", this);
  cmdCancelar->setObjectName("cmdCancelar");
  Label1 = new QLabel("Espacio utilizado", this);
  Label1->setObjectName("Label1");
  Label2 = new QLabel("0 GB", this);
  Label2->setObjectName("Label2");

  // The used space on its own row, wide enough for terabytes; the buttons below it.
  Label2->setMinimumWidth(
      QFontMetrics(Label2->font()).horizontalAdvance("99999,999 GB    -    99.999.999.999 KB"));
  auto* layout = new QGridLayout(this);
  layout->addWidget(lst, 0, 0, 1, 4);
  layout->addWidget(Label1, 1, 0);
  layout->addWidget(Label2, 1, 1, 1, 3);
  layout->setColumnStretch(1, 1);
  layout->addWidget(cmdAceptar, 2, 2);
  layout->addWidget(cmdCancelar, 2, 3);
  connect(lst, &QListWidget::itemClicked, this, &frmCloud::lst_Click);
  connect(lst, &QListWidget::itemDoubleClicked, this, &frmCloud::lst_DblClick);
  connect(cmdAceptar, &QPushButton::clicked, this, &frmCloud::cmdAceptar_Click);
  connect(cmdCancelar, &QPushButton::clicked, this, &frmCloud::cmdCancelar_Click);
  setFixedSize(sizeHint());
}

void frmCloud::PlaceAtLowerRight() {
  QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->geometry();
  const int margin = qRound(screen->logicalDotsPerInchY() * kBottomMarginTwips / 1440.0);
  move(area.x() + area.width() - width(), area.y() + area.height() - (height() + margin));
}

void frmCloud::Form_Load() {
  PlaceAtLowerRight();
  const std::string cliente = settings::ReadSetting(settings::kCliente);
  const settings::ProviderConfig& config = context_.provider;
  CloudListing listing = LoadCloudListing(run::ProviderAccountService(config), cliente, run::GetMachineName(),
                                          net::FtpSessionOptionsFor(config));
  if (!listing.problem.empty()) {
    tray::Diagnostic("the cloud folder could not be listed: " + settings::DisplayText(listing.problem));
  }
  if (!listing.listed) return;  // the list stays empty and the label keeps "0 GB"
  lst->clear();
  respaldos_ = listing.respaldos;
  total_ = listing.total;
  Ordenar_Lista();
  Label2->setText(FormatUsedSpace(total_, QLocale()));
}

void frmCloud::Ordenar_Lista() {
  SortByDate(respaldos_);
  lst->addItems(ListLines(respaldos_, QLocale(), &primerIndice_, &lineRecords_));
}

QString frmCloud::Guardar_Como(const QString& Archivo) {
  SaveDialogCall call;
  call.parent = this;
  call.title = "Guardar Respaldo Como";
  call.folder = QDir::homePath();  // the user's own folder
  call.proposedName = Archivo;
  call.filter = "Archivos Respaldo Norvo Backup (*.rar)";
  return saveDialog_ ? saveDialog_(call) : QString();
}

void frmCloud::Enviar_Error(const std::string& zCod, const std::string& zRaz, const std::string& zEqu,
                            const std::string& zErr) {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  std::string why;
  // The user is not told when the report itself fails; the reason goes to stderr.
  if (!SendErrorReport(context_.provider, zCod, zRaz, zEqu, zErr, std::string(kVersion), &why)) {
    tray::Diagnostic("the restore error report was not sent: " + why);
  }
  QApplication::restoreOverrideCursor();
}

int frmCloud::SelectedLine() const {
  for (int row = 0; row < lst->count(); ++row) {
    if (lst->item(row)->isSelected()) return row;
  }
  return -1;
}

void frmCloud::lst_Click() { cmdAceptar->setFocus(); }
void frmCloud::lst_DblClick() { Descargar(); }
void frmCloud::cmdAceptar_Click() { Descargar(); }

void frmCloud::cmdCancelar_Click() {
  EmptyRespaldos(respaldos_);
  close();
}

void frmCloud::Descargar() {
  const int line = SelectedLine();
  if (line < 0 || line >= static_cast<int>(lineRecords_.size())) return;
  const QString archivo = respaldos_[lineRecords_[line]].Archivo;
  const QString destination = Guardar_Como(archivo);
  if (destination.isEmpty()) return;
  hide();
  QCoreApplication::processEvents();

  const std::string cliente = settings::ReadSetting(settings::kCliente);
  const std::string code = DecodeCustomerCode(cliente);
  const std::string computer = run::GetMachineName();
  const settings::ProviderConfig& config = context_.provider;
  const run::AccountFields fields = run::FirstSixFields(
      run::ProviderAccountService(config).LookupAccount(cliente, run::kDownloadReplySize));
  if (fields[0].empty()) return;  // unknown account: hidden, still loaded, no message

  RestoreRequest request = ftp::RestoreRequestFor(config);
  request.host = fields[1];
  request.user = fields[2];
  request.password = fields[3];
  request.folder = CustomerFolder(fields, code, computer);
  request.archivo = archivo.toStdString();
  request.temporary = TemporaryName(destination.toStdString());
  restoring_ = true;
  RestoreFailure failure = RunRestoreWithProgress(request);
  restoring_ = false;
  std::string error = RestoreErrorText(failure, request.archivo);
  if (failure == RestoreFailure::None && !PlaceRestoredFile(request.temporary, destination.toStdString())) {
    error = "No se pudo guardar el archivo " + destination.toStdString();
  }
  // The company name is the service's bytes: the mail shows it as text.
  if (failure != RestoreFailure::Cancelled) {
    FinishRestore(error, code, settings::TextOfOutsideBytes(fields[0]), computer);
  }
  EmptyRespaldos(respaldos_);
  close();
}

void frmCloud::FinishRestore(const std::string& error, const std::string& zCod, const std::string& zRaz,
                             const std::string& zEqu) {
  if (error.empty()) {
    context_.ShowMessageBox(nullptr, tray::BoxIcon::Information, kCaption, kDone);
    return;
  }
  Enviar_Error(zCod, zRaz, zEqu, error);
  context_.ShowMessageBox(nullptr, tray::BoxIcon::Critical, kCaption,
                          QString::fromStdString(error) + "\n\n" + kReported);
}

void frmCloud::setVisible(bool visible) {
  // A restore keeps the window hidden until it ends with the window closed.
  if (visible && restoring_) return;
  QWidget::setVisible(visible);
}

void frmCloud::closeEvent(QCloseEvent* event) {
  if (restoring_) {
    event->ignore();
    return;
  }
  EmptyRespaldos(respaldos_);
  event->accept();
}

}  // namespace norvo::cloud

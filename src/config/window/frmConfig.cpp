#include "config/window/frmConfig.h"

#include <QCloseEvent>
#include <QDir>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QStyle>

#include "config/services/FormText.h"
#include "config/window/BusyPointer.h"
#include "config/window/ControlArrays.h"
#include "platform/System.h"
#include "tray/PasswordBox.h"
#include "ui_frmConfig.h"

// Resources of a static library are registered by hand, outside any namespace.
static void InitTrayResources() { Q_INIT_RESOURCE(tray); }

namespace norvo::config {
namespace {

QString FromUtf8(const std::string& text) { return QString::fromStdString(text); }
std::string ToUtf8(const QString& text) { return text.toStdString(); }

}  // namespace

frmConfig::frmConfig(tray::ProgramContext context, ConfigServices services, tray::AccessState* state,
                     QWidget* parent)
    : QWidget(parent, Qt::Window),
      ui_(std::make_unique<Ui::frmConfig>()),
      context_(std::move(context)),
      services_(std::move(services)),
      state_(state ? state : &own_state_) {
  InitTrayResources();
  ui_->setupUi(this);
  setAttribute(Qt::WA_DeleteOnClose);
  NameControlArrays();
  const QPixmap failure = style()->standardIcon(QStyle::SP_DialogCancelButton).pixmap(16, 16);
  const QPixmap success = style()->standardIcon(QStyle::SP_DialogApplyButton).pixmap(16, 16);
  // The two marks of a line share one cell of the Test grid and one size, so
  // whichever is shown stands in the same column and the captions never move.
  const QSize mark_size = failure.deviceIndependentSize().toSize();
  for (QLabel* mark : {ui_->Image7_0, ui_->Image7_1, ui_->Image7_2}) {
    mark->setPixmap(failure);
    mark->setFixedSize(mark_size);
  }
  for (QLabel* mark : {ui_->Image6_0, ui_->Image6_1, ui_->Image6_2}) {
    mark->setPixmap(success);
    mark->setFixedSize(mark_size);
  }
  for (QLineEdit* box : {ui_->txtClave, ui_->txtClaveConf, ui_->txtBasePas, ui_->txtSegPas, ui_->txtSegPasRe,
                         ui_->txtWinPas}) {
    tray::MaskWithStars(box);
  }
  ui_->Image2->setPixmap(QPixmap(":/norvo/norvo-48.png"));
  ui_->Image2->setToolTip(FromUtf8(context_.provider.web_address));
  ui_->txtCopias->installEventFilter(this);
  ui_->txtCopias->setValidator(
      new QRegularExpressionValidator(QRegularExpression("[0-9,]*"), ui_->txtCopias));
  if (services_.driveRoots) {
    for (const std::string& root : services_.driveRoots()) ui_->drvUnidad->addItem(FromUtf8(root));
  }
  ConnectControls();
  Form_Load();
}

frmConfig::~frmConfig() = default;

void frmConfig::NameControlArrays() {
  NameArrays(this, {"chktpo", "Image6", "Image7", "optArch", "Label8", "optBaseAut", "chkSem"});
}

std::array<QCheckBox*, 7> frmConfig::DayBoxes() const {
  return {ui_->chkSem_0, ui_->chkSem_1, ui_->chkSem_2, ui_->chkSem_3,
          ui_->chkSem_4, ui_->chkSem_5, ui_->chkSem_6};
}

void frmConfig::ConnectControls() {
  connect(ui_->chktpo_1, &QCheckBox::toggled, this, [this] { chktpo_Click(1); });
  connect(ui_->chktpo_2, &QCheckBox::toggled, this, [this] { chktpo_Click(2); });
  connect(ui_->optArch_0, &QRadioButton::toggled, this, [this](bool on) {
    if (on) optArch_Click(0);
  });
  connect(ui_->optArch_1, &QRadioButton::toggled, this, [this](bool on) {
    if (on) optArch_Click(1);
  });
  connect(ui_->chkBasePas, &QCheckBox::toggled, this, &frmConfig::chkBasePas_Click);
  connect(ui_->chkSegPas, &QCheckBox::toggled, this, &frmConfig::chkSegPas_Click);
  connect(ui_->chkDrive, &QCheckBox::toggled, this, &frmConfig::chkDrive_Click);
  connect(ui_->Image2, &tray::LinkLabel::clicked, this, &frmConfig::Image2_Click);
  connect(ui_->cndExaminar, &QPushButton::clicked, this, &frmConfig::cndExaminar_Click);
  connect(ui_->cmdADD, &QPushButton::clicked, this, &frmConfig::cmdADD_Click);
  connect(ui_->lstArchivo, &QListWidget::itemDoubleClicked, this, &frmConfig::lstArchivo_DblClick);
  connect(ui_->cmdConectar, &QPushButton::clicked, this, &frmConfig::cmdConectar_Click);
  connect(ui_->cmdAceptar, &QPushButton::clicked, this, &frmConfig::cmdAceptar_Click);
  connect(ui_->cndAplicar, &QPushButton::clicked, this, &frmConfig::cndAplicar_Click);
  connect(ui_->cmdCancelar, &QPushButton::clicked, this, &frmConfig::cmdCancelar_Click);
}

void frmConfig::chktpo_Click(int index) {
  QCheckBox* box = index == 1 ? ui_->chktpo_1 : ui_->chktpo_2;
  ui_->sTab->setTabEnabled(index, box->isChecked());
}

void frmConfig::optArch_Click(int index) {
  const bool file = index == 0;
  ui_->Label8_1->setVisible(file);
  ui_->lblArchivo->setVisible(file);
  ui_->chkArchSub->setVisible(!file);
  ui_->Label7->setVisible(!file);
  ui_->txtFiltro->setVisible(!file);
}

void frmConfig::chkBasePas_Click() {
  ui_->txtBasePas->setEchoMode(ui_->chkBasePas->isChecked() ? QLineEdit::Normal : QLineEdit::Password);
}

void frmConfig::chkSegPas_Click() {
  const auto mode = ui_->chkSegPas->isChecked() ? QLineEdit::Normal : QLineEdit::Password;
  ui_->txtSegPas->setEchoMode(mode);
  ui_->txtSegPasRe->setEchoMode(mode);
}

void frmConfig::chkDrive_Click() {
  const bool by_default = ui_->chkDrive->isChecked();
  ui_->drvUnidad->setVisible(!by_default);
  ui_->chkDrive->setText(by_default ? "Drive por defecto" : "Drive");
}

void frmConfig::Image2_Click() {
  if (services_.openAddress) services_.openAddress(FromUtf8(context_.provider.web_address));
}

QString frmConfig::Buscar_Carpeta(const QString& Titulo, const QString& Path_Inicial) {
  if (!services_.browseFolder) return QString();
  return QDir::toNativeSeparators(services_.browseFolder(this, Titulo, Path_Inicial));
}

void frmConfig::cndExaminar_Click() {
  if (ui_->optArch_1->isChecked()) {
    ui_->lblRuta->setText(Buscar_Carpeta());
    return;
  }
  if (!services_.browseFile) return;
  const QString chosen = QDir::toNativeSeparators(services_.browseFile(this, "Buscar Archivo"));
  if (chosen.isEmpty()) return;
  const std::string separator(1, platform::kPathSeparator);
  const QString folder = FromUtf8(getPath(ToUtf8(chosen), separator));
  ui_->lblRuta->setText(folder);
  ui_->lblArchivo->setText(chosen.mid(folder.size()));
}

QString frmConfig::Trae_ADD() const {
  const bool file = ui_->optArch_0->isChecked();
  FileEntry entry;
  entry.kind = file ? "ARC" : "CAR";
  entry.folder = ToUtf8(ui_->lblRuta->text());
  entry.name = ToUtf8(file ? ui_->lblArchivo->text() : ui_->txtFiltro->text());
  entry.subfolders = !ui_->chkArchSub->isHidden() && ui_->chkArchSub->isChecked() ? "1" : "0";
  return FromUtf8(JoinFileEntry(entry));
}

void frmConfig::cmdADD_Click() {
  if (ui_->lblRuta->text().isEmpty()) {
    ui_->cndExaminar->setFocus();
    return;
  }
  if (ui_->optArch_0->isChecked()) {
    if (ui_->lblArchivo->text().isEmpty()) {
      ui_->cndExaminar->setFocus();
      return;
    }
  } else {
    const QString pattern = ui_->txtFiltro->text();
    if (pattern.size() < 3 || !pattern.contains('.')) {
      ui_->txtFiltro->setFocus();
      return;
    }
  }
  const int count = ui_->lstArchivo->count();
  if (count >= 3) return;  // the button is unavailable then; nothing beyond three sets is saved
  if (count == 2) ui_->cmdADD->setEnabled(false);
  ui_->lstArchivo->addItem(Trae_ADD());
  ui_->lblRuta->clear();
  ui_->lblArchivo->clear();
  ui_->txtFiltro->setText("*.*");
  ui_->chkArchSub->setChecked(false);
}

void frmConfig::lstArchivo_DblClick() {
  QListWidgetItem* selected = ui_->lstArchivo->currentItem();
  if (!selected || !selected->isSelected()) return;
  const FileEntry entry = SplitFileEntry(ToUtf8(selected->text()));
  if (entry.kind == "ARC") {
    ui_->optArch_0->setChecked(true);
    ui_->lblArchivo->setText(FromUtf8(entry.name));
  } else {
    ui_->optArch_1->setChecked(true);
    ui_->txtFiltro->setText(FromUtf8(entry.name));
  }
  ui_->lblRuta->setText(FromUtf8(entry.folder));
  ui_->chkArchSub->setChecked(entry.subfolders == "1");
  delete ui_->lstArchivo->takeItem(ui_->lstArchivo->row(selected));
  ui_->cmdADD->setEnabled(true);
}

void frmConfig::cmdConectar_Click() {
  if (!ui_->chktpo_2->isChecked()) return;
  BusyPointer busy;
  if (!services_.listDatabases) return;
  DatabaseLogin login;
  login.server = ToUtf8(ui_->lblNomServ->text());
  login.instance = ToUtf8(ui_->txtInstancia->text());
  login.windows = ui_->optBaseAut_0->isChecked();
  if (!login.windows) {
    login.user = ToUtf8(ui_->txtBaseUsr->text());
    login.password = ToUtf8(ui_->txtBasePas->text());
  }
  const std::optional<DatabaseListing> listing = services_.listDatabases(login);
  if (!listing) return;
  ui_->lstBases->clear();
  for (std::size_t row = 0; row < listing->entries.size(); ++row) {
    auto* item = new QListWidgetItem(FromUtf8(listing->entries[row]), ui_->lstBases);
    item->setSelected(row < listing->selected.size() && listing->selected[row]);
  }
  if (!listing->error.empty())
    context_.ShowMessageBox(this, tray::BoxIcon::Critical, "Norvo", FromUtf8(listing->error));
}

void frmConfig::GetUser() {
  if (!services_.loggedOnUser) return;
  const QString account = FromUtf8(services_.loggedOnUser());
  const qsizetype backslash = account.indexOf('\\');
  ui_->txtWinUsr->setText(account.mid(backslash + 1));
  ui_->txtWinDom->setText(backslash < 0 ? QString() : account.left(backslash));
}

void frmConfig::cmdAceptar_Click() {
  if (Guardar()) close();
}

void frmConfig::cndAplicar_Click() { Guardar(); }

void frmConfig::cmdCancelar_Click() { close(); }

void frmConfig::closeEvent(QCloseEvent* event) {
  state_->sClave.clear();
  event->accept();
}

// The copies box takes digits and "," only; "." is typed as ",". Keys that
// do not type a character (moving, deleting, shortcuts, Tab) pass.
bool frmConfig::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ui_->txtCopias && event->type() == QEvent::KeyPress) return !FiltroAcceptsKey(event);
  return QWidget::eventFilter(watched, event);
}

bool frmConfig::FiltroAcceptsKey(QEvent* event) {
  auto* key = static_cast<QKeyEvent*>(event);
  if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return true;
  if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab || key->key() == Qt::Key_Delete) return true;
  const QString typed = key->text();
  if (typed.size() != 1) return true;
  const char16_t code = typed.at(0).unicode();
  if (code >= 0x80) return false;
  const std::optional<char> kept = FilterCopiesChar(static_cast<char>(code));
  if (!kept) return false;
  if (*kept != static_cast<char>(code)) {
    ui_->txtCopias->insert(QString(QChar(*kept)));
    return false;
  }
  return true;
}

}  // namespace norvo::config

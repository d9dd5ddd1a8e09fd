#include "tray/frmClave.h"

#include <QCursor>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <utility>

#include "tray/Diagnostic.h"
#include "tray/LinkLabel.h"
#include "tray/PasswordBox.h"

namespace norvo::tray {

frmClave::frmClave(AccessState& state, ProgramContext context, MailSender sender, QWidget* parent)
    : QDialog(parent), state_(state), context_(std::move(context)), sender_(std::move(sender)) {
  setObjectName("frmClave");
  setWindowTitle("Clave");
  BuildControls();
  CenterOnScreen();
  intentos_ = 0;  // Load
}

// In the middle of the screen the pointer is on (where the tray icon was
// clicked), rather than over the hidden menu window that owns the dialog.
void frmClave::CenterOnScreen() {
  QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
  if (!screen) screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  adjustSize();
  QRect placed(QPoint(), size());
  placed.moveCenter(screen->availableGeometry().center());
  setGeometry(placed);  // the window's inside: its frame is not known before it is shown
}

void frmClave::BuildControls() {
  Label1 = new QLabel("Contraseña", this);
  txtClave = new QLineEdit(this);
  txtClave->setObjectName("txtClave");
  txtClave->setEchoMode(QLineEdit::Password);
  MaskWithStars(txtClave);
  txtClave->installEventFilter(this);
  cmdAceptar = new QPushButton("&Aceptar", this);
  cmdCancelar = new QPushButton("&Cancelar", this);
  // Enter and Escape are handled in the text box itself, never by a default button.
  cmdAceptar->setAutoDefault(false);
  cmdCancelar->setAutoDefault(false);
  Label2 = new LinkLabel(this);
  Label2->setText("[Solicitar contraseña]");
  Image1 = new QLabel(this);
  Image1->setPixmap(QPixmap(":/norvo/norvo-48.png"));

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cmdAceptar);
  buttons->addWidget(cmdCancelar);
  auto* grid = new QGridLayout(this);
  grid->addWidget(Image1, 0, 0, 3, 1, Qt::AlignTop);
  grid->addWidget(Label1, 0, 1);
  grid->addWidget(txtClave, 1, 1);
  grid->addWidget(Label2, 2, 1);
  grid->addLayout(buttons, 3, 0, 1, 2);

  connect(cmdAceptar, &QPushButton::clicked, this, &frmClave::cmdAceptar_Click);
  connect(cmdCancelar, &QPushButton::clicked, this, &frmClave::cmdCancelar_Click);
  connect(Label2, &LinkLabel::doubleClicked, this, &frmClave::Label2_DblClick);
  txtClave->setFocus();
}

void frmClave::cmdAceptar_Click() {
  // Plain byte comparison of the UTF-8 texts: case-sensitive, character by character.
  if (txtClave->text().toStdString() == state_.sClave) {
    state_.bClaveOk = true;
    accept();
    return;
  }
  context_.ShowMessageBox(this, BoxIcon::Critical, windowTitle(), "Clave mal ingresada");
  txtClave->setFocus();
  ++intentos_;
  if (intentos_ >= kMaxIntentos) reject();
}

void frmClave::cmdCancelar_Click() { reject(); }

void frmClave::Label2_DblClick() {
  setCursor(Qt::WaitCursor);
  std::string error = "no mail sender";
  const settings::ProviderConfig& provider = context_.provider;
  bool sent = sender_ && sender_(provider, ReminderMessage(provider, state_.sMail, state_.sClave), &error);
  unsetCursor();
  // The user is told nothing either way; a failure leaves a trace for the administrator.
  if (!sent) Diagnostic("the password reminder was not sent: " + error);
  Label2->hide();
}

bool frmClave::eventFilter(QObject* watched, QEvent* event) {
  if (watched == txtClave && event->type() == QEvent::KeyPress) {
    int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      cmdAceptar_Click();
      return true;
    }
    if (key == Qt::Key_Escape) {
      cmdCancelar_Click();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace norvo::tray

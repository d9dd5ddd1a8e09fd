#pragma once
// The password window: masked entry, Aceptar/Enter, Cancelar/Escape, three
// attempts, and the link that mails the stored password to the customer.
// A new window is made for every showing, so each starts afresh.
#include <QDialog>
#include <cstdint>

#include "tray/AccessState.h"
#include "tray/ProgramContext.h"
#include "tray/ReminderMail.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace norvo::tray {

class LinkLabel;

class frmClave : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kMaxIntentos = 3;

  frmClave(AccessState& state, ProgramContext context, MailSender sender, QWidget* parent = nullptr);

  QLabel* Label1 = nullptr;
  QLineEdit* txtClave = nullptr;
  QPushButton* cmdAceptar = nullptr;
  QPushButton* cmdCancelar = nullptr;
  LinkLabel* Label2 = nullptr;
  QLabel* Image1 = nullptr;

  std::int16_t intentos() const { return intentos_; }

 public slots:
  void cmdAceptar_Click();
  void cmdCancelar_Click();
  void Label2_DblClick();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  void CenterOnScreen();

  AccessState& state_;
  ProgramContext context_;
  MailSender sender_;
  std::int16_t intentos_ = 0;
};

}  // namespace norvo::tray

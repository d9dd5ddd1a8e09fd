#include "tray/frmAcercade.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "Version.h"
#include "settings/SettingNames.h"
#include "settings/Settings.h"
#include "tray/AboutText.h"
#include "tray/LinkLabel.h"
#include "tray/WebAddress.h"

namespace norvo::tray {

frmAcercade::frmAcercade(const ProgramContext& context, QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("frmAcercade");
  setWindowTitle("Acerca de...");
  setAttribute(Qt::WA_DeleteOnClose);
  opener_ = OpenWebAddress;

  const settings::ProviderConfig& config = context.provider;
  web_address_ = QString::fromStdString(config.web_address);
  QString last_run = QString::fromStdString(settings::ReadSetting(settings::kRespRespFecha));

  lst = new QListWidget(this);
  lst->addItems(AcercadeLines(QString(kVersion), QString::fromStdString(config.contact_mailbox), last_run,
                              web_address_));
  Image1 = new LinkLabel(this);
  Image1->setPixmap(QPixmap(":/norvo/norvo-48.png"));
  Image1->setToolTip(web_address_);
  cmdAceptar = new QPushButton("Aceptar", this);

  auto* top = new QHBoxLayout;
  top->addWidget(Image1, 0, Qt::AlignTop);
  top->addWidget(lst, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(cmdAceptar, 0, Qt::AlignRight);
  resize(420, 300);

  connect(cmdAceptar, &QPushButton::clicked, this, &frmAcercade::cmdAceptar_Click);
  connect(Image1, &LinkLabel::clicked, this, &frmAcercade::Image1_Click);
}

void frmAcercade::cmdAceptar_Click() { close(); }

void frmAcercade::Image1_Click() {
  if (opener_) opener_(web_address_);
}

}  // namespace norvo::tray

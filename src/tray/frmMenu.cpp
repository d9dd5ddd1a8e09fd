#include "tray/frmMenu.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QIcon>
#include <QMenu>

#include "platform/System.h"
#include "settings/SettingNames.h"
#include "settings/Settings.h"
#include "tray/CopyWatch.h"
#include "tray/Diagnostic.h"
#include "tray/MenuOnRelease.h"
#include "tray/RunAndWait.h"
#include "tray/frmAcercade.h"
#include "tray/frmClave.h"

// Resources of a static library are registered by hand, outside any namespace.
static void InitTrayResources() { Q_INIT_RESOURCE(tray); }

namespace norvo::tray {

std::string NorvoTPath() { return platform::SiblingProgram("Norvo_T"); }

frmMenu::frmMenu(ProgramContext context, QWidget* parent) : QWidget(parent), context_(std::move(context)) {
  InitTrayResources();
  setObjectName("frmMenu");
  setWindowTitle("Norvo Backup");
  quit_ = [] { QCoreApplication::quit(); };
  BuildMenu();
  tray_ = new QSystemTrayIcon(this);
  QIcon icon;
  icon.addFile(":/norvo/norvo-48.png");
  icon.addFile(":/norvo/norvo-256.png");
  tray_->setIcon(icon);
  tray_->setToolTip("Norvo Backup");
  copy_watch_ = new CopyWatch(tray_, this);
  setRunProgram(NorvoTPath());
  // No context menu of Qt's own: it would open on the press of the button.
  menu_opener_ = new MenuOnRelease([this](const QPoint& where) { mnupopup->popup(where); }, this);
  connect(tray_, &QSystemTrayIcon::activated, this, &frmMenu::trayIcon_Activated);
}

frmMenu::~frmMenu() { Quitar_Systray(); }

void frmMenu::setRunProgram(std::string path) {
  copy_watch_->setRunProgram(path);
  run_program_ = std::move(path);
}

void frmMenu::BuildMenu() {
  mnupopup = new QMenu("popup", this);
  mnupopup->setObjectName("mnupopup");
  auto add = [this](const char* name, const QString& caption) {
    QAction* action = mnupopup->addAction(caption);
    action->setObjectName(name);
    return action;
  };
  mnuConfig = add("mnuConfig", "Configuración");
  mnuRespHaora = add("mnuRespHaora", "Respaldar ahora");
  mnuCloud = add("mnuCloud", "Cloud");
  mnuLinea1 = mnupopup->addSeparator();
  mnuLinea1->setObjectName("mnuLinea1");
  mnuAcercade = add("mnuAcercade", "Acerca de...");
  mnuExit = add("mnuExit", "Exit");
  connect(mnuConfig, &QAction::triggered, this, &frmMenu::mnuConfig_Click);
  connect(mnuRespHaora, &QAction::triggered, this, &frmMenu::mnuRespHaora_Click);
  connect(mnuCloud, &QAction::triggered, this, &frmMenu::mnuCloud_Click);
  connect(mnuAcercade, &QAction::triggered, this, &frmMenu::mnuAcercade_Click);
  connect(mnuExit, &QAction::triggered, this, &frmMenu::mnuExit_Click);
}

void frmMenu::Colocar_Tray() {
  if (!QSystemTrayIcon::isSystemTrayAvailable()) {
    Diagnostic("no system tray is available; the icon is not shown");
  } else {
    tray_->show();
  }
  hide();
}

void frmMenu::Quitar_Systray() {
  if (tray_) tray_->hide();
}

// The menu opens when the right button is released over the icon; clicks
// and double-clicks of the left button do nothing.
void frmMenu::trayIcon_Activated(QSystemTrayIcon::ActivationReason reason) {
  if (reason == QSystemTrayIcon::Context) menu_opener_->ContextRequested();
}

bool frmMenu::PasswordGate(const QString& caption, bool process_events_after) {
  state_.bClaveOk = false;
  state_.sClave = settings::ReadSetting(settings::kClave);
  state_.sMail = settings::ReadSetting(settings::kRespProgMail);
  if (state_.sClave.empty()) return true;
  {
    frmClave clave(state_, context_, mail_sender_, this);
    clave.setWindowTitle(caption);
    clave.exec();
  }
  if (process_events_after) QCoreApplication::processEvents();
  return state_.bClaveOk;
}

QWidget* frmMenu::OpenWindowNamed(const QString& name) const {
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window->isVisible() && window->objectName().compare(name, Qt::CaseInsensitive) == 0) return window;
  }
  return nullptr;
}

void frmMenu::ShowMadeWindow(const WindowFactory& factory, const QString& name) {
  QWidget* window = factory ? factory() : nullptr;
  if (!window) {
    Diagnostic("the window " + name.toStdString() + " is not part of this build");
    return;
  }
  if (window->objectName().isEmpty()) window->setObjectName(name);
  window->show();
}

void frmMenu::mnuConfig_Click() {
  const bool already_open = OpenWindowNamed("frmConfig") != nullptr;
  if (!PasswordGate("Ingreso", false)) return;
  if (!already_open) ShowMadeWindow(config_factory_, "frmConfig");
}

void frmMenu::SetMenuEnabled(bool enabled) {
  for (QAction* action : mnupopup->actions()) action->setEnabled(enabled);
}

void frmMenu::mnuRespHaora_Click() {
  if (!PasswordGate("Ingreso", true)) return;
  SetMenuEnabled(false);
  platform::ProcessResult result = Ejecutar_y_Esperar(run_program_);
  SetMenuEnabled(true);
  copy_watch_->RefreshStatus();  // the run may have made a complete copy
  if (!result.started) Diagnostic("cannot start the backup run: " + result.error);
}

void frmMenu::mnuCloud_Click() {
  if (!PasswordGate("Ingreso", false)) return;
  if (QWidget* open = OpenWindowNamed("frmCloud")) {
    open->raise();
    open->activateWindow();
    return;
  }
  ShowMadeWindow(cloud_factory_, "frmCloud");
}

void frmMenu::mnuAcercade_Click() {
  if (!acercade_) acercade_ = new frmAcercade(context_);
  acercade_->show();
  acercade_->raise();
  acercade_->activateWindow();
}

void frmMenu::mnuExit_Click() {
  if (!PasswordGate("Salida", false)) return;
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window == this || !window->isVisible()) continue;
    // A window that refuses to close keeps the program (and its icon) alive.
    if (!window->close()) return;
  }
  close();
  if (quit_) quit_();
}

void frmMenu::closeEvent(QCloseEvent* event) {
  Quitar_Systray();
  event->accept();
}

}  // namespace norvo::tray

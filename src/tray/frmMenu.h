#pragma once
// The tray program's hidden main window: the notification icon, its pop-up
// menu and the action of every menu item, four of them behind the access
// password.
#include <QPointer>
#include <QSystemTrayIcon>
#include <QWidget>
#include <functional>
#include <string>

#include "tray/AccessState.h"
#include "tray/ProgramContext.h"
#include "tray/ReminderMail.h"
#include "tray/frmAcercade.h"

class QAction;
class QMenu;

namespace norvo::tray {

// Makes a window that other parts of the program provide; the menu shows it.
// The window should delete itself on close; frmMenu names it (objectName).
using WindowFactory = std::function<QWidget*()>;

class CopyWatch;
class MenuOnRelease;

class frmMenu : public QWidget {
  Q_OBJECT
 public:
  explicit frmMenu(ProgramContext context, QWidget* parent = nullptr);
  ~frmMenu() override;

  QMenu* mnupopup = nullptr;
  QAction* mnuConfig = nullptr;
  QAction* mnuRespHaora = nullptr;
  QAction* mnuCloud = nullptr;
  QAction* mnuLinea1 = nullptr;
  QAction* mnuAcercade = nullptr;
  QAction* mnuExit = nullptr;

  QSystemTrayIcon* trayIcon() const { return tray_; }
  AccessState& state() { return state_; }
  frmAcercade* acercade() const { return acercade_.data(); }
  // The catch-up of missed runs and the status of the last complete copy.
  CopyWatch* copyWatch() const { return copy_watch_; }

  // The configuration window and the cloud browser, made on demand.
  void setConfigWindowFactory(WindowFactory factory) { config_factory_ = std::move(factory); }
  void setCloudWindowFactory(WindowFactory factory) { cloud_factory_ = std::move(factory); }
  // The backup-run program "Respaldar ahora" and a catch-up start (Norvo_T
  // beside this program by default).
  void setRunProgram(std::string path);
  const std::string& runProgram() const { return run_program_; }
  // How the password window sends the reminder mail.
  void setMailSender(MailSender sender) { mail_sender_ = std::move(sender); }
  // What ends the program once every window is closed (QCoreApplication::quit by default).
  void setQuitFunction(std::function<void()> quit) { quit_ = std::move(quit); }

  void Colocar_Tray();
  void Quitar_Systray();

 public slots:
  void mnuConfig_Click();
  void mnuRespHaora_Click();
  void mnuCloud_Click();
  void mnuAcercade_Click();
  void mnuExit_Click();
  void trayIcon_Activated(QSystemTrayIcon::ActivationReason reason);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildMenu();
  bool PasswordGate(const QString& caption, bool process_events_after);
  void SetMenuEnabled(bool enabled);
  QWidget* OpenWindowNamed(const QString& name) const;
  void ShowMadeWindow(const WindowFactory& factory, const QString& name);

  ProgramContext context_;
  AccessState state_;
  QSystemTrayIcon* tray_ = nullptr;
  MenuOnRelease* menu_opener_ = nullptr;
  CopyWatch* copy_watch_ = nullptr;
  QPointer<frmAcercade> acercade_;
  WindowFactory config_factory_;
  WindowFactory cloud_factory_;
  std::string run_program_;
  MailSender mail_sender_ = SendWithProviderSmtp;
  std::function<void()> quit_;
};

// The backup-run program beside the running one.
std::string NorvoTPath();

}  // namespace norvo::tray

#pragma once
// The about box: product, version, contact, date of the last run, and a
// picture that opens the provider's web site.
#include <QString>
#include <QWidget>
#include <functional>

#include "tray/ProgramContext.h"

class QListWidget;
class QPushButton;

namespace norvo::tray {

class LinkLabel;

class frmAcercade : public QWidget {
  Q_OBJECT
 public:
  using UrlOpener = std::function<void(const QString&)>;

  // Reads the last run date from the settings; the provider's addresses come
  // from the program's context.
  explicit frmAcercade(const ProgramContext& context, QWidget* parent = nullptr);

  QListWidget* lst = nullptr;
  LinkLabel* Image1 = nullptr;
  QPushButton* cmdAceptar = nullptr;

  // How the web address is opened (the desktop's browser by default).
  void setUrlOpener(UrlOpener opener) { opener_ = std::move(opener); }

 public slots:
  void cmdAceptar_Click();
  void Image1_Click();

 private:
  QString web_address_;
  UrlOpener opener_;
};

}  // namespace norvo::tray

#include "tray/MessageBox.h"

#include <QMessageBox>

#include "tray/Diagnostic.h"

namespace norvo::tray {
namespace {

QMessageBox::Icon QtIcon(BoxIcon icon) {
  switch (icon) {
    case BoxIcon::Warning:
      return QMessageBox::Warning;
    case BoxIcon::Critical:
      return QMessageBox::Critical;
    case BoxIcon::Information:
      break;
  }
  return QMessageBox::Information;
}

}  // namespace

void ModalMessageBox(const BoxCall& call) {
  QMessageBox box(QtIcon(call.icon), call.title, call.text, QMessageBox::Ok, call.parent);
  box.exec();
}

void StderrMessageBox(const BoxCall& call) { Diagnostic((call.title + ": " + call.text).toStdString()); }

}  // namespace norvo::tray

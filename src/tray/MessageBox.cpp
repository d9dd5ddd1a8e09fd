#include "tray/MessageBox.h"

#include <QMessageBox>
#include <cstdio>

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

void StderrMessageBox(const BoxCall& call) {
  std::fprintf(stderr, "Norvo: %s: %s\n", call.title.toUtf8().constData(), call.text.toUtf8().constData());
}

}  // namespace norvo::tray

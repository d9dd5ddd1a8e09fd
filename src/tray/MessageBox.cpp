#include "tray/MessageBox.h"

#include <QMessageBox>
#include <cstdio>
#include <utility>

namespace norvo::tray {
namespace {

MessageBoxFunction& CurrentFunction() {
  static MessageBoxFunction function = ModalMessageBox;
  return function;
}

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

void ShowMessageBox(QWidget* parent, BoxIcon icon, const QString& title, const QString& text) {
  BoxCall call{parent, icon, title, text};
  MessageBoxFunction function = CurrentFunction();  // a copy: the box may replace it
  if (function) function(call);
}

MessageBoxFunction SetMessageBoxFunction(MessageBoxFunction function) {
  return std::exchange(CurrentFunction(), std::move(function));
}

void ModalMessageBox(const BoxCall& call) {
  QMessageBox box(QtIcon(call.icon), call.title, call.text, QMessageBox::Ok, call.parent);
  box.exec();
}

void StderrMessageBox(const BoxCall& call) {
  std::fprintf(stderr, "Norvo: %s: %s\n", call.title.toUtf8().constData(), call.text.toUtf8().constData());
}

}  // namespace norvo::tray

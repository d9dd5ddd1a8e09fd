#include "config/window/ControlArrays.h"

#include <QRegularExpression>
#include <QWidget>

namespace norvo::config {

void NameArrays(QWidget* window, const QStringList& arrays) {
  static const QRegularExpression element("^(\\w+)_(\\d+)$");
  for (QWidget* child : window->findChildren<QWidget*>()) {
    const QRegularExpressionMatch match = element.match(child->objectName());
    if (match.hasMatch() && arrays.contains(match.captured(1))) {
      child->setObjectName(match.captured(1) + "(" + match.captured(2) + ")");
    }
  }
}

}  // namespace norvo::config

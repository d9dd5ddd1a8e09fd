#include "tray/LinkLabel.h"

#include <QMouseEvent>

namespace norvo::tray {

LinkLabel::LinkLabel(QWidget* parent) : QLabel(parent) { setCursor(Qt::PointingHandCursor); }

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit clicked();
  QLabel::mouseReleaseEvent(event);
}

void LinkLabel::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) emit doubleClicked();
  QLabel::mouseDoubleClickEvent(event);
}

}  // namespace norvo::tray

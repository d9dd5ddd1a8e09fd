#include "tray/MenuOnRelease.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QWidget>
#include <utility>

namespace norvo::tray {

MenuOnRelease::MenuOnRelease(Opener opener, QObject* parent) : QObject(parent), opener_(std::move(opener)) {}

MenuOnRelease::~MenuOnRelease() { StopWaiting(); }

void MenuOnRelease::ContextRequested() {
  if (!(QGuiApplication::mouseButtons() & Qt::RightButton)) {
    if (opener_) opener_(QCursor::pos());
    return;
  }
  if (waiting_) return;
  QCoreApplication::instance()->installEventFilter(this);
  waiting_ = true;
}

void MenuOnRelease::StopWaiting() {
  if (!waiting_) return;
  if (QCoreApplication* app = QCoreApplication::instance()) app->removeEventFilter(this);
  waiting_ = false;
}

// The release goes to the widget that had the press (the icon); its
// position is relative to that widget.
bool MenuOnRelease::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::MouseButtonRelease || !watched->isWidgetType()) return false;
  const auto* mouse = static_cast<QMouseEvent*>(event);
  if (mouse->button() != Qt::RightButton) return false;
  StopWaiting();
  const auto* icon = static_cast<QWidget*>(watched);
  if (icon->rect().contains(mouse->position().toPoint()) && opener_) {
    opener_(mouse->globalPosition().toPoint());
  }
  return false;
}

}  // namespace norvo::tray

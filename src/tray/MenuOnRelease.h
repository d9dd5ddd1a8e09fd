#pragma once
// The tray menu opens when the right button is released over the icon, as
// in the Windows notification area. Where Qt draws the icon itself (an X11
// tray such as trayer) it reports the press of the button; this waits for
// the matching release, which goes to the same icon window, and opens the
// menu only when the pointer is still over the icon.
#include <QObject>
#include <QPoint>
#include <functional>

namespace norvo::tray {

class MenuOnRelease : public QObject {
  Q_OBJECT
 public:
  using Opener = std::function<void(const QPoint& global_position)>;
  explicit MenuOnRelease(Opener opener, QObject* parent = nullptr);
  ~MenuOnRelease() override;

  // The icon asked for its menu. With the right button still down the menu
  // waits for its release; otherwise (a tray host or system that reports the
  // click once it is over) it opens at once at the pointer.
  void ContextRequested();
  bool Waiting() const { return waiting_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void StopWaiting();

  Opener opener_;
  bool waiting_ = false;
};

}  // namespace norvo::tray

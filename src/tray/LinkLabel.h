#pragma once
// A label that reports clicks and double-clicks: the link of the password
// window and the picture of the about box.
#include <QLabel>

namespace norvo::tray {

class LinkLabel : public QLabel {
  Q_OBJECT
 public:
  explicit LinkLabel(QWidget* parent = nullptr);

 signals:
  void clicked();
  void doubleClicked();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
};

}  // namespace norvo::tray

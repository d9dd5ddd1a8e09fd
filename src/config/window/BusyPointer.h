#pragma once
// The busy (hourglass) pointer for as long as the object lives: shown while
// the window waits on the network or the database server.
#include <QApplication>

namespace norvo::config {

class BusyPointer {
 public:
  BusyPointer() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~BusyPointer() { QApplication::restoreOverrideCursor(); }
  BusyPointer(const BusyPointer&) = delete;
  BusyPointer& operator=(const BusyPointer&) = delete;
};

}  // namespace norvo::config

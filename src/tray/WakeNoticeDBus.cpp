#include <QDBusConnection>

#include "tray/WakeNotice.h"

namespace norvo::tray {

WakeNotice::WakeNotice(const QString& bus_address, const QString& sender, QObject* parent) : QObject(parent) {
  QDBusConnection bus = QDBusConnection::systemBus();
  if (!bus_address.isEmpty()) {
    connection_name_ = QString("norvo-wake-%1").arg(reinterpret_cast<quintptr>(this));
    bus = QDBusConnection::connectToBus(bus_address, connection_name_);
  }
  const QString from = sender.isEmpty() ? QString("org.freedesktop.login1")
                       : sender == "*"  ? QString()
                                        : sender;
  available_ =
      bus.isConnected() && bus.connect(from, "/org/freedesktop/login1", "org.freedesktop.login1.Manager",
                                       "PrepareForSleep", this, SLOT(PrepareForSleep(bool)));
}

WakeNotice::~WakeNotice() {
  if (!connection_name_.isEmpty()) QDBusConnection::disconnectFromBus(connection_name_);
}

void WakeNotice::PrepareForSleep(bool going_to_sleep) {
  if (!going_to_sleep) emit woke();
}

}  // namespace norvo::tray

#include "tray/WakeNotice.h"

// A build without Qt D-Bus: waking is noticed by the hourly check alone.
namespace norvo::tray {

WakeNotice::WakeNotice(const QString&, const QString&, QObject* parent) : QObject(parent) {}

WakeNotice::~WakeNotice() = default;

void WakeNotice::PrepareForSleep(bool going_to_sleep) {
  if (!going_to_sleep) emit woke();
}

}  // namespace norvo::tray

#pragma once
// Tells when the computer wakes from sleep, where the system announces it:
// on Linux logind's PrepareForSleep signal on the system bus, whose argument
// is false on waking. Where there is no such bus (or the build has no Qt
// D-Bus), available() is false and nothing is ever announced.
#include <QObject>
#include <QString>

namespace norvo::tray {

class WakeNotice : public QObject {
  Q_OBJECT
 public:
  // Listens on the bus at `bus_address` (the system bus when empty) for the
  // signal sent by `sender` (logind's name when empty; "*" takes any sender).
  explicit WakeNotice(const QString& bus_address = QString(), const QString& sender = QString(),
                      QObject* parent = nullptr);
  ~WakeNotice() override;

  bool available() const { return available_; }

 signals:
  void woke();

 private slots:
  void PrepareForSleep(bool going_to_sleep);

 private:
  bool available_ = false;
  QString connection_name_;
};

}  // namespace norvo::tray

#pragma once
// Keeps the office from going a week without a copy. At start-up, every hour
// and on waking from sleep it catches a missed scheduled run up by starting
// Norvo_T as the scheduler would (hidden, without the password, without
// waiting); and it shows on the icon when the last complete copy is old.
#include <QIcon>
#include <QObject>
#include <QString>
#include <QTimer>
#include <ctime>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "tray/CatchUpRule.h"

class QSystemTrayIcon;

namespace norvo::tray {

class WakeNotice;

// What a catch-up check found and did.
enum class CatchUpOutcome {
  NoSchedule,     // no day ticked, no time saved, or a value that does not parse
  NotMissed,      // the latest scheduled run took place, or its time is too recent
  RunGoing,       // a backup run holds the one-run-at-a-time lock
  TriedThisHour,  // a catch-up started less than an hour ago
  Started,        // the backup-run program was started
  StartFailed,    // it could not be started
};

class CopyWatch : public QObject {
  Q_OBJECT
 public:
  using Clock = std::function<std::time_t()>;
  // Shows a notification, with the warning sign or as information; the
  // icon's balloon by default, a line on stderr where there is none.
  using Notifier = std::function<void(const QString& title, const QString& text, bool warning)>;

  static constexpr int kCheckIntervalMs = 60 * 60 * 1000;
  static constexpr int kStatusIntervalMs = 5 * 60 * 1000;
  // The check at start-up and the one on waking wait this long, for the
  // network of a computer just switched on or woken: a catch-up started
  // without it ends before the account lookup and waits for the next hour.
  static constexpr int kNetworkWaitMs = 60 * 1000;

  // Watches for the icon, whose picture at this point is its normal one.
  explicit CopyWatch(QSystemTrayIcon* icon, QObject* parent = nullptr);

  void setRunProgram(std::string path) { run_program_ = std::move(path); }
  void setClock(Clock clock) { clock_ = std::move(clock); }
  void setNotifier(Notifier notifier) { notifier_ = std::move(notifier); }

  // Shows the status now, then checks for a missed run shortly after, every
  // hour and shortly after waking from sleep.
  void Start();

  // A check at start-up or on waking: starts a catch-up when the latest
  // scheduled run was missed, none is going on and none started within the hour.
  CatchUpOutcome CheckForMissedRun();
  // The hourly check: as above, and a catch-up that ended without a run
  // (before the account lookup) is tried again.
  CatchUpOutcome HourlyCheck();

  // The icon's tip with the date of the last complete copy, the warning on
  // the icon while that copy is old, and once per log-on its notification.
  void RefreshStatus();
  bool warningShown() const { return warning_shown_; }

 private:
  void CheckAfterNetworkWait();
  std::optional<WeeklySchedule> StoredSchedule();
  std::optional<LocalMinute> StoredDate(std::string_view name, const std::string& text,
                                        const LocalMinute& now);
  bool RunIsGoing();
  void SayOnce(const std::string& line);
  void Notify(const QString& text, bool warning);

  QSystemTrayIcon* icon_;
  QIcon normal_icon_;
  QIcon warning_icon_;
  std::string run_program_;
  Clock clock_;
  Notifier notifier_;
  QTimer hourly_;
  QTimer status_;
  WakeNotice* wake_ = nullptr;
  std::optional<std::time_t> catch_up_started_;
  bool ticked_since_catch_up_ = false;
  bool warning_shown_ = false;
  bool old_copy_notified_ = false;
  std::set<std::string> said_;
};

}  // namespace norvo::tray

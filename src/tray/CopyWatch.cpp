#include "tray/CopyWatch.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QSystemTrayIcon>
#include <memory>

#include "platform/InstanceLock.h"
#include "platform/Process.h"
#include "settings/SettingNames.h"
#include "settings/Settings.h"
#include "tray/Diagnostic.h"
#include "tray/WakeNotice.h"

namespace norvo::tray {
namespace {

constexpr std::time_t kHourSeconds = 60LL * 60;
const QString kTitle = "Norvo Backup";

// The icon with the style's warning sign over its lower right quarter.
QIcon WithWarningSign(const QIcon& icon) {
  QIcon marked;
  const QIcon sign = QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
  for (int size : {16, 24, 32, 48, 256}) {
    QPixmap pixmap = icon.pixmap(size, size);
    if (pixmap.isNull()) continue;
    QPainter painter(&pixmap);
    const int half = pixmap.width() / 2;
    painter.drawPixmap(pixmap.width() - half, pixmap.height() - half, sign.pixmap(half, half));
    painter.end();
    marked.addPixmap(pixmap);
  }
  return marked;
}

void ShowOnIcon(QSystemTrayIcon* icon, const QString& title, const QString& text, bool warning) {
  if (icon->isVisible() && QSystemTrayIcon::supportsMessages()) {
    icon->showMessage(title, text, warning ? QSystemTrayIcon::Warning : QSystemTrayIcon::Information);
    return;
  }
  Diagnostic("no notification area to show: " + text.toStdString());
}

}  // namespace

CopyWatch::CopyWatch(QSystemTrayIcon* icon, QObject* parent)
    : QObject(parent),
      icon_(icon),
      normal_icon_(icon->icon()),
      warning_icon_(WithWarningSign(icon->icon())),
      clock_([] { return std::time(nullptr); }),
      notifier_([icon](const QString& title, const QString& text, bool warning) {
        ShowOnIcon(icon, title, text, warning);
      }) {
  hourly_.setInterval(kCheckIntervalMs);
  hourly_.setTimerType(Qt::VeryCoarseTimer);
  connect(&hourly_, &QTimer::timeout, this, &CopyWatch::HourlyCheck);
  status_.setInterval(kStatusIntervalMs);
  status_.setTimerType(Qt::VeryCoarseTimer);
  connect(&status_, &QTimer::timeout, this, &CopyWatch::RefreshStatus);
}

void CopyWatch::Start() {
  RefreshStatus();
  CheckAfterNetworkWait();
  hourly_.start();
  status_.start();
  wake_ = new WakeNotice(QString(), QString(), this);
  connect(wake_, &WakeNotice::woke, this, &CopyWatch::CheckAfterNetworkWait);
  if (!wake_->available()) {
    Diagnostic(
        "the system does not say when it wakes from sleep here; a missed run is caught up at "
        "the next hourly check");
  }
}

void CopyWatch::CheckAfterNetworkWait() {
  QTimer::singleShot(kNetworkWaitMs, Qt::VeryCoarseTimer, this, &CopyWatch::CheckForMissedRun);
}

CatchUpOutcome CopyWatch::HourlyCheck() {
  ticked_since_catch_up_ = true;
  return CheckForMissedRun();
}

CatchUpOutcome CopyWatch::CheckForMissedRun() {
  RefreshStatus();
  const std::time_t moment = clock_();
  const LocalMinute now = settings::LocalMinuteOf(moment);
  const std::optional<WeeklySchedule> schedule = StoredSchedule();
  if (!schedule) return CatchUpOutcome::NoSchedule;
  const std::string last_run_text = settings::ReadSetting(settings::kRespRespFecha);
  if (!IsMissed(*schedule, StoredDate(settings::kRespRespFecha, last_run_text, now), now)) {
    return CatchUpOutcome::NotMissed;
  }
  if (RunIsGoing()) return CatchUpOutcome::RunGoing;
  // Once an hour at most: by the hourly timer (which does not count while
  // the computer sleeps) or by the wall clock (which does).
  if (catch_up_started_ && !ticked_since_catch_up_ && moment >= *catch_up_started_ &&
      moment - *catch_up_started_ < kHourSeconds) {
    return CatchUpOutcome::TriedThisHour;
  }
  catch_up_started_ = moment;
  ticked_since_catch_up_ = false;
  if (hourly_.isActive()) hourly_.start();  // the next hourly check comes an hour after this start
  std::string error;
  if (!platform::StartDetachedProcess({run_program_}, &error)) {
    Diagnostic("cannot start the missed backup run: " + error);
    return CatchUpOutcome::StartFailed;
  }
  Diagnostic("the scheduled backup run was missed (last run: " +
             (last_run_text.empty() ? std::string("none") : last_run_text) + "); it starts now");
  Notify("Se inicia el respaldo pendiente", false);
  return CatchUpOutcome::Started;
}

void CopyWatch::RefreshStatus() {
  const LocalMinute now = settings::LocalMinuteOf(clock_());
  const std::string complete_text = settings::ReadSetting(settings::kRespRespCompleta);
  const std::optional<LocalMinute> complete = StoredDate(settings::kRespRespCompleta, complete_text, now);
  const QString date = complete ? QString::fromStdString(complete_text) : QString();
  icon_->setToolTip(kTitle + "\nÚltimo respaldo completo: " + (complete ? date : QString("ninguno")));
  // Without a schedule no copy is due, so none is late.
  const std::optional<WeeklySchedule> schedule = StoredSchedule();
  const bool old = schedule && IsCopyOld(*schedule, complete, now);
  if (old != warning_shown_) icon_->setIcon(old ? warning_icon_ : normal_icon_);
  warning_shown_ = old;
  if (old && !old_copy_notified_) {
    old_copy_notified_ = true;
    Notify(complete ? "No hay un respaldo completo desde el " + date
                    : QString("Aún no hay un respaldo completo"),
           true);
  }
}

std::optional<WeeklySchedule> CopyWatch::StoredSchedule() {
  std::string problem;
  std::optional<WeeklySchedule> schedule =
      ParseSchedule(settings::ReadSetting(settings::kRespProgSem),
                    settings::ReadSetting(settings::kRespProgHora), &problem);
  if (!problem.empty()) SayOnce(problem + "; no missed run is caught up");
  return schedule;
}

std::optional<LocalMinute> CopyWatch::StoredDate(std::string_view name, const std::string& text,
                                                 const LocalMinute& now) {
  std::string problem;
  std::optional<LocalMinute> date = TrustedDate(name, text, now, &problem);
  if (!problem.empty()) SayOnce(problem + "; taken as absent");
  return date;
}

bool CopyWatch::RunIsGoing() {
  // Taking the lock for a moment is the way to ask; it is let go at once. A
  // scheduled run that starts in that very moment ends without touching
  // anything, and the next hourly check catches it up.
  std::unique_ptr<platform::InstanceLock> lock;
  std::string error;
  const platform::LockOutcome outcome = platform::TryInstanceLock(platform::RunLockFile(), lock, &error);
  if (outcome == platform::LockOutcome::Failed) SayOnce("cannot look at the run lock: " + error);
  return outcome == platform::LockOutcome::Busy;
}

void CopyWatch::SayOnce(const std::string& line) {
  if (said_.insert(line).second) Diagnostic(line);
}

void CopyWatch::Notify(const QString& text, bool warning) {
  if (notifier_) notifier_(kTitle, text, warning);
}

}  // namespace norvo::tray

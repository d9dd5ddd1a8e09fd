#include "cloud/RestoreProgressDialog.h"

#include <QEventLoop>
#include <QLocale>
#include <QProgressDialog>
#include <QTimer>
#include <thread>

#include "cloud/Respaldo.h"

namespace norvo::cloud {

using ftp::DownloadBackup;
using ftp::RestoreFailure;
using ftp::RestoreProgress;
using ftp::RestoreRequest;

namespace {

constexpr int kScale = 1000;  // the bar counts thousandths: sizes over 2 GiB fit an int

QString ProgressText(const QString& archivo, std::int64_t done, std::int64_t total) {
  QLocale locale;
  QString text = archivo + "\n" + FormatThousands(static_cast<double>(done), locale);
  if (total >= 0) text += " de " + FormatThousands(static_cast<double>(total), locale);
  return text + " bytes";
}

void Update(QProgressDialog& dialog, const QString& archivo, const RestoreProgress& progress) {
  const std::int64_t done = progress.done, total = progress.total;
  dialog.setLabelText(ProgressText(archivo, done, total));
  if (total > 0) {
    dialog.setMaximum(kScale);
    const double part = static_cast<double>(std::min(done, total)) / static_cast<double>(total);
    dialog.setValue(static_cast<int>(part * kScale));
  } else {
    dialog.setMaximum(0);  // a busy bar while the size is unknown
  }
}

}  // namespace

RestoreFailure RunRestoreWithProgress(const RestoreRequest& request, QWidget* parent) {
  const QString archivo = QString::fromStdString(request.archivo);
  QProgressDialog dialog(ProgressText(archivo, 0, -1), "&Cancelar", 0, 0, parent);
  dialog.setObjectName(kProgressDialogName);
  dialog.setWindowTitle("Cloud");
  dialog.setWindowModality(Qt::ApplicationModal);
  dialog.setAutoClose(false);
  dialog.setAutoReset(false);
  dialog.setMinimumDuration(0);

  RestoreProgress progress;
  RestoreFailure result = RestoreFailure::None;
  QObject::connect(&dialog, &QProgressDialog::canceled, [&progress] { progress.cancel = true; });
  std::thread worker([&] {
    result = DownloadBackup(request, progress);
    progress.finished = true;
  });

  // The window's thread keeps drawing and answering while the worker runs.
  QEventLoop loop;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (progress.finished) {
      loop.quit();
      return;
    }
    Update(dialog, archivo, progress);
  });
  poll.start(50);
  dialog.show();
  loop.exec();
  poll.stop();
  worker.join();
  dialog.hide();
  return result;
}

}  // namespace norvo::cloud

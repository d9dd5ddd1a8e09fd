#include "tray/RunAndWait.h"

#include <QEventLoop>
#include <QMetaObject>
#include <thread>

namespace norvo::tray {

platform::ProcessResult Ejecutar_y_Esperar(const std::string& path) {
  platform::ProcessResult result;
  QEventLoop loop;
  std::thread waiter([&] {
    // The backup run finishes its work even when the tray program ends.
    platform::ProcessOptions options;
    options.endsWithCaller = false;
    result = platform::RunAndWaitProcess({path}, options);
    // Queued: if the program ended before the loop started, the loop ends at once.
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  loop.exec(QEventLoop::ExcludeUserInputEvents);
  // The loop also ends when the application quits; the program is still waited for.
  waiter.join();
  return result;
}

}  // namespace norvo::tray

#include "tray/QtSpanish.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace norvo::tray {

QTranslator* InstallQtSpanish(QCoreApplication& app, std::string* error) {
  const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  auto* translator = new QTranslator(&app);
  if (translator->load("qtbase_es", folder) && QCoreApplication::installTranslator(translator)) {
    return translator;
  }
  delete translator;
  if (error) *error = "cannot load qtbase_es.qm from " + folder.toStdString();
  return nullptr;
}

}  // namespace norvo::tray

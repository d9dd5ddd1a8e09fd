#pragma once
// Qt's own texts in Spanish, like every text of the program: the buttons of
// the message boxes ("Aceptar"), the file and folder pickers and the save
// dialog ("Guardar", "Cancelar"). Debian ships Qt's catalogue in
// qt6-translations-l10n.
#include <string>

class QCoreApplication;
class QTranslator;

namespace norvo::tray {

// Loads Qt's Spanish catalogue (qtbase_es.qm from Qt's translations folder)
// into the application, whatever the user's locale. The translator belongs
// to the application; null with the reason in *error when it cannot be loaded.
QTranslator* InstallQtSpanish(QCoreApplication& app, std::string* error = nullptr);

}  // namespace norvo::tray

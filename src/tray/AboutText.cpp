#include "tray/AboutText.h"

namespace norvo::tray {

QString ProgramVersion() {
  return QString("%1.%2.%3")
      .arg(NORVO_PROGRAM_VERSION_MAJOR)
      .arg(NORVO_PROGRAM_VERSION_MINOR)
      .arg(NORVO_PROGRAM_VERSION_REVISION);
}

QStringList AcercadeLines(const QString& version, const QString& contact_mailbox, const QString& last_run,
                          const QString& web_address) {
  return {
      "NORVO BACKUP",
      "",
      "Copias de seguridad",
      QString(29, '-'),
      "",
      "Versión: " + version,
      "Fecha de compilación: 14/03/2013",
      "Contacto : " + contact_mailbox,
      "",
      "Ultimo Respaldo : " + last_run,
      "",
      web_address,
  };
}

}  // namespace norvo::tray

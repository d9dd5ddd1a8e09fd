#include "tray/AboutText.h"

namespace norvo::tray {

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

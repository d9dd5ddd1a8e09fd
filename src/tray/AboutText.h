#pragma once
// The lines of the about box.
#include <QString>
#include <QStringList>

namespace norvo::tray {

// The twelve lines, in order: product, version, build date, contact mailbox,
// date of the last run (empty before the first), web address.
QStringList AcercadeLines(const QString& version, const QString& contact_mailbox, const QString& last_run,
                          const QString& web_address);

}  // namespace norvo::tray

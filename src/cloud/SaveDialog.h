#pragma once
// The save-file dialog of a restore, a function the cloud browser is given
// so that tests can answer it instead of a person.
#include <QString>
#include <functional>

class QWidget;

namespace norvo::cloud {

struct SaveDialogCall {
  QWidget* parent = nullptr;
  QString title;         // "Guardar Respaldo Como"
  QString folder;        // the folder it opens in
  QString proposedName;  // the file name offered
  QString filter;        // "Archivos Respaldo Norvo Backup (*.rar)"
};

// Returns the full path chosen, or the empty text when the user cancelled.
using SaveDialogFunction = std::function<QString(const SaveDialogCall&)>;

// A modal QFileDialog (the program's own): no question before an existing file is
// replaced and no extension added to a name typed without one.
QString ModalSaveDialog(const SaveDialogCall& call);

}  // namespace norvo::cloud

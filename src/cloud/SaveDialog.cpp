#include "cloud/SaveDialog.h"

#include <QDir>
#include <QFileDialog>

namespace norvo::cloud {

QString ModalSaveDialog(const SaveDialogCall& call) {
  QFileDialog dialog(call.parent, call.title, call.folder, call.filter);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
  dialog.setDefaultSuffix(QString());
  dialog.selectFile(QDir(call.folder).filePath(call.proposedName));
  if (dialog.exec() != QDialog::Accepted) return {};
  const QStringList chosen = dialog.selectedFiles();
  return chosen.isEmpty() ? QString() : chosen.first();
}

}  // namespace norvo::cloud

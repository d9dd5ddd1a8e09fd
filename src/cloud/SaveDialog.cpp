#include "cloud/SaveDialog.h"

#include <QDir>
#include <QFileDialog>
#include <utility>

namespace norvo::cloud {
namespace {

SaveDialogFunction& CurrentFunction() {
  static SaveDialogFunction function = ModalSaveDialog;
  return function;
}

}  // namespace

SaveDialogFunction SetSaveDialogFunction(SaveDialogFunction function) {
  return std::exchange(CurrentFunction(), std::move(function));
}

QString ShowSaveDialog(const SaveDialogCall& call) {
  SaveDialogFunction function = CurrentFunction();  // a copy: the dialog may replace it
  return function ? function(call) : QString();
}

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

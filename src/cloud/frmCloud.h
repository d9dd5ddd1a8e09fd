#pragma once
// The cloud browser: the backups this computer has stored in the customer's
// cloud folder, oldest first with their sizes and the space used, and the
// restore of one of them to a file the user chooses. A failed restore is
// mailed to the provider and shown.
#include <QString>
#include <QWidget>
#include <cstdint>
#include <string>
#include <vector>

#include "cloud/Respaldo.h"
#include "cloud/SaveDialog.h"
#include "tray/ProgramContext.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace norvo::cloud {

class frmCloud : public QWidget {
  Q_OBJECT
 public:
  // Builds the window and loads the list (Form_Load) with the program's
  // context; saveDialog asks where a restore goes. Show it afterwards. The
  // window deletes itself when it closes.
  frmCloud(tray::ProgramContext context, SaveDialogFunction saveDialog, QWidget* parent = nullptr);

  QListWidget* lst = nullptr;
  QPushButton* cmdAceptar = nullptr;
  QPushButton* cmdCancelar = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;

  const Respaldos& respaldos() const { return respaldos_; }
  std::int16_t PrimerIndice() const { return primerIndice_; }

  void Form_Load();
  void Ordenar_Lista();
  // The path chosen in the save dialog for the file, or empty when cancelled.
  QString Guardar_Como(const QString& Archivo);
  void Enviar_Error(const std::string& zCod, const std::string& zRaz, const std::string& zEqu,
                    const std::string& zErr);

  void setVisible(bool visible) override;

 public slots:
  void lst_Click();
  void lst_DblClick();
  void cmdAceptar_Click();
  void cmdCancelar_Click();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildControls();
  void PlaceAtLowerRight();
  void Descargar();
  int SelectedLine() const;
  void FinishRestore(const std::string& error, const std::string& zCod, const std::string& zRaz,
                     const std::string& zEqu);

  tray::ProgramContext context_;
  SaveDialogFunction saveDialog_;
  Respaldos respaldos_;
  std::int16_t primerIndice_ = 0;
  std::vector<int> lineRecords_;
  double total_ = 0;
  bool restoring_ = false;
};

}  // namespace norvo::cloud

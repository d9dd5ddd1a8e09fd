#pragma once
// The configuration window "Configuración": five tabs of settings, loaded on
// opening, checked and saved in one go by `Guardar`, which also registers the
// weekly task. Every control carries its name as objectName; the controls of
// an array are named "name(index)", e.g. "chkSem(3)".
#include <QString>
#include <QWidget>
#include <array>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "config/window/ConfigServices.h"
#include "tray/AccessState.h"
#include "tray/ProgramContext.h"

class QCheckBox;

namespace Ui {
class frmConfig;
}

namespace norvo::config {

// One value of a save: name and text, in the order they are written.
using SavedValue = std::pair<std::string, std::string>;

class frmConfig : public QWidget {
  Q_OBJECT
 public:
  // With the program's context, the given services and access state (null: a
  // private empty one). ConfigWindow.h makes it as the tray menu opens it.
  frmConfig(tray::ProgramContext context, ConfigServices services, tray::AccessState* state,
            QWidget* parent = nullptr);
  ~frmConfig() override;

  // Validates, writes every setting and registers the task; true when all was written.
  bool Guardar();
  // The file-list entry built from the editing controls of the "Archivo" tab.
  QString Trae_ADD() const;
  // The folder chosen in the folder browser, or the empty text.
  QString Buscar_Carpeta(const QString& Titulo = QString(), const QString& Path_Inicial = QString());
  // Fills the Windows account fields with the logged-on user.
  void GetUser();
  // The values a save writes, in the order it writes them (after the checks).
  std::vector<SavedValue> ValuesToSave() const;

 public slots:
  void chktpo_Click(int index);
  void optArch_Click(int index);
  void chkBasePas_Click();
  void chkSegPas_Click();
  void chkDrive_Click();
  void Image2_Click();
  void cndExaminar_Click();
  void cmdADD_Click();
  void lstArchivo_DblClick();
  void cmdConectar_Click();
  void cmdAceptar_Click();
  void cndAplicar_Click();
  void cmdCancelar_Click();

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void NameControlArrays();
  void ConnectControls();
  void Form_Load();
  void LoadFileList();
  void LoadDrive();
  void Test_Cloud();
  void SetMark(int line, bool success);
  bool CheckInput();
  bool Refuse(int tab, const char* message, QWidget* focus);
  std::string DatabaseListText() const;
  std::array<QCheckBox*, 7> DayBoxes() const;
  std::array<bool, 7> TickedDays() const;
  bool WriteValues(const std::vector<SavedValue>& values);
  bool FiltroAcceptsKey(QEvent* event);

  std::unique_ptr<Ui::frmConfig> ui_;
  tray::ProgramContext context_;
  ConfigServices services_;
  tray::AccessState own_state_;
  tray::AccessState* state_;
};

}  // namespace norvo::config
